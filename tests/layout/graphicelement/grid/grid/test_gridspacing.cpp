// The grid spacing: defaults, the unit rules against the spatial-reference
// factory's lists, the stored keys and copies.
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/cgis_gridspacing.h"
#include "tests/layout/graphicelement/grid/grid/gridtest.h"
#include "tests/support/logmark.h"

namespace {

using md::test::Owned;

struct Values {
  bool fixed;
  double xInterval, yInterval, xOrigin, yOrigin;
  int units, unitsType;
  bool operator==(const Values&) const = default;
};

Values Of(IGIS_GridSpacing* s) {
  return {s->GetFixedOrigin(), s->GetXIntervalSize(), s->GetYIntervalSize(), s->GetXOrigin(),
          s->GetYOrigin(),     s->GetUnits(),         s->GetUnitsType()};
}

TEST(GridSpacing, ANewSpacingHasTheDefaults) {
  Owned<CGIS_GridSpacing> s(new CGIS_GridSpacing());
  EXPECT_EQ(Of(s.get()), (Values{true, 10.0, 10.0, 0.0, 0.0, 0, GIS_GRIDSPACING_UNITS_NONE}));
}

TEST(GridSpacing, UnitsAreCheckedAgainstTheListTheTypeSelects) {
  IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
  const int linear = f->GetLinearUnitCount();
  const int angular = f->GetAngularUnitCount();
  ASSERT_EQ(linear, 10);
  ASSERT_EQ(angular, 5);
  struct Row {
    int unitsType;
    int before;  // set first (within the list)
    int index;
    int expected;
  };
  const Row rows[] = {
      {GIS_GRIDSPACING_UNITS_NONE, 0, 3, 0},
      {GIS_GRIDSPACING_UNITS_NONE, 0, -1, 0},
      {GIS_GRIDSPACING_UNITS_LINEAR, 2, linear - 1, linear - 1},
      {GIS_GRIDSPACING_UNITS_LINEAR, 2, linear, 2},
      {GIS_GRIDSPACING_UNITS_LINEAR, 2, -1, 2},
      {GIS_GRIDSPACING_UNITS_ANGULAR, 1, angular - 1, angular - 1},
      {GIS_GRIDSPACING_UNITS_ANGULAR, 1, angular, 1},
      {GIS_GRIDSPACING_UNITS_ANGULAR, 1, 0, 0},
  };
  for (const Row& r : rows) {
    Owned<CGIS_GridSpacing> s(new CGIS_GridSpacing());
    s->SetUnitsType(r.unitsType);
    s->SetUnits(r.before);
    s->SetUnits(r.index);
    EXPECT_EQ(s->GetUnits(), r.expected) << r.unitsType << " " << r.index;
  }
  Owned<CGIS_GridSpacing> s(new CGIS_GridSpacing());
  s->SetUnitsType(GIS_GRIDSPACING_UNITS_LINEAR);
  s->SetUnits(4);
  s->SetUnitsType(3);
  EXPECT_EQ(s->GetUnitsType(), GIS_GRIDSPACING_UNITS_LINEAR);
  s->SetUnitsType(GIS_GRIDSPACING_UNITS_NONE);
  EXPECT_EQ(s->GetUnitsType(), GIS_GRIDSPACING_UNITS_NONE);
  EXPECT_EQ(s->GetUnits(), 4);
}

TEST(GridSpacing, StoresItsSevenKeysAndReadsThemAsStored) {
  Owned<CGIS_GridSpacing> s(new CGIS_GridSpacing());
  s->SetFixedOrigin(false);
  s->SetXIntervalSize(-2.5);
  s->SetYIntervalSize(0.0);
  s->SetXOrigin(117.25);
  s->SetYOrigin(-30.0);
  s->SetUnitsType(GIS_GRIDSPACING_UNITS_ANGULAR);
  s->SetUnits(3);
  const std::vector<BYTE> bytes = md::test::Stored(s.get());
  EXPECT_EQ(md::test::KeysOf(bytes),
            (std::vector<std::string>{"FixedOrigin", "XIntervalSize", "YIntervalSize", "XOrigin", "YOrigin",
                                      "Units", "UnitsType"}));
  Owned<IGIS_PropertySet> set(md::test::SetOf(bytes));
  for (IGIS_Field* f = set->GetFirstPosition(); f != nullptr; f = set->GetNext(f)) {
    EXPECT_STREQ(f->GetDescription(), f->GetLabel());
  }
  Owned<CGIS_GridSpacing> read(new CGIS_GridSpacing());
  IGIS_DataBuffer* b = md::test::BufferOf(bytes);
  EXPECT_TRUE(read->Open(b));
  b->Release();
  EXPECT_EQ(Of(read.get()), Of(s.get()));

  // Stored values skip the setters' rules; absent keys keep their values.
  IGIS_PropertySet* partial = GIS_CreatePropertySetObject();
  partial->AddProperty("XIntervalSize", "XIntervalSize", GIS_FIELD_TYPE_DOUBLE, 1)->SetDouble(0.5);
  partial->AddProperty("UnitsType", "UnitsType", GIS_FIELD_TYPE_INT, 1)->SetInt(7);
  partial->AddProperty("Units", "Units", GIS_FIELD_TYPE_INT, 1)->SetInt(99);
  b = GIS_CreateDataBufferObject(0);
  partial->Archive(b, GIS_ARCHIVE_WRITE, 0);
  partial->Release();
  Owned<CGIS_GridSpacing> other(new CGIS_GridSpacing());
  EXPECT_TRUE(other->Open(b));
  b->Release();
  EXPECT_EQ(Of(other.get()), (Values{true, 0.5, 10.0, 0.0, 0.0, 99, 7}));
}

TEST(GridSpacing, UnreadableBuffersChangeNothing) {
  Owned<CGIS_GridSpacing> s(new CGIS_GridSpacing());
  const Values before = Of(s.get());
  md::test::LogMark mark;
  EXPECT_FALSE(s->Open(nullptr));
  const std::vector<BYTE> junk = {'M', 'D', 'P', 'S', 1};
  IGIS_DataBuffer* b = md::test::BufferOf(junk);
  EXPECT_FALSE(s->Open(b));
  b->Release();
  EXPECT_EQ(Of(s.get()), before);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GridSpacing::Open", "pDataBuffer为空"));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GridSpacing::Open", "b_ret  == NULL"));
}

TEST(GridSpacing, ACloneIsEqualAndIndependent) {
  Owned<CGIS_GridSpacing> s(new CGIS_GridSpacing());
  s->SetXIntervalSize(3.0);
  s->SetUnitsType(GIS_GRIDSPACING_UNITS_LINEAR);
  s->SetUnits(1);
  Owned<IGIS_GridSpacing> copy(s->Clone());
  EXPECT_EQ(Of(copy.get()), Of(s.get()));
  copy->SetXIntervalSize(9.0);
  EXPECT_EQ(s->GetXIntervalSize(), 3.0);
  EXPECT_EQ(s->Copy(nullptr), s.get());
}

}  // namespace
