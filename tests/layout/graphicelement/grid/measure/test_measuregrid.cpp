// The measured grid as an object: its defaults, the label types it takes,
// its own spacing and reference, copies, the property sheet through the
// seam, and its stored form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/gridsheet.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/measure/cgis_measuregrid.h"
#include "tests/layout/graphicelement/grid/grid/gridtest.h"
#include "tests/support/logmark.h"

namespace {

using md::test::Journal;
using md::test::Stored;
using md::test::TestLabel;
namespace grid = md::layout::grid;

using Grid = md::basilo::ReleasePtr<IGIS_MeasureGrid>;

IGIS_MeasureGrid* NewGrid() { return static_cast<IGIS_MeasureGrid*>(GIS_CreateMapGridPropertyObject(1)); }

double CentralMeridian(IGIS_SpatialReference* r) {
  double v = 0.0;
  r->GetProjectedCoordSys()->GetProjection()->GetParameter(GIS_PROJPARAM_CENTRAL_MERIDIAN, &v);
  return v;
}

TEST(MeasureGrid, Defaults) {
  Grid g(NewGrid());
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->GetType(), GIS_MAPGRID_MEASURE);
  IGIS_GridSpacing* s = g->GetGridSpacing();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->GetXIntervalSize(), 1000.0);
  EXPECT_EQ(s->GetYIntervalSize(), 1000.0);
  EXPECT_EQ(s->GetUnitsType(), GIS_GRIDSPACING_UNITS_LINEAR);
  EXPECT_EQ(s->GetUnits(), 0);
  EXPECT_FALSE(s->GetFixedOrigin());
  EXPECT_EQ(s->GetXOrigin(), 0.0);
  // The formatted label, bound to the grid.
  ASSERT_NE(g->GetLabelFormat(), nullptr);
  EXPECT_EQ(g->GetLabelFormat()->GetType(), GIS_GRIDLABEL_FORMATTED);
  // The CGCS2000 Gauss-Kruger 3-degree zone 39 in metres.
  IGIS_SpatialReference* r = g->GetSpatialReference();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->GetKind(), GIS_SPATIALREFERENCE_PROJECTED);
  EXPECT_EQ(CentralMeridian(r), 117.0);
  // The common defaults of every grid.
  EXPECT_STREQ(g->GetName(), "格网");
  EXPECT_EQ(g->GetGridlineType(), GIS_GRIDLINE_LINES);
  ASSERT_NE(g->GetBorder(), nullptr);
  EXPECT_EQ(g->GetBorder()->GetMapGrid(), g.get());
}

struct LabelRow {
  int type;
  bool accepted;
};

TEST(MeasureGrid, TakesFormattedAndMixedFontLabelsOnly) {
  const LabelRow rows[] = {{GIS_GRIDLABEL_DMS, false},          {GIS_GRIDLABEL_MIXEDFONT, true},
                           {GIS_GRIDLABEL_FORMATTED, true},     {GIS_GRIDLABEL_INDEX_BACKGROUND, false},
                           {GIS_GRIDLABEL_INDEX_BOTTON, false}, {GIS_GRIDLABEL_INDEX_CONTINUOUS, false},
                           {GIS_GRIDLABEL_INDEX_ROUNDED, false}};
  for (const LabelRow& r : rows) {
    SCOPED_TRACE(r.type);
    Journal j;
    Grid g(NewGrid());
    IGIS_GridLabel* before = g->GetLabelFormat();
    md::basilo::ReleasePtr<TestLabel> label(new TestLabel(&j, r.type, "x"));
    md::test::LogMark mark;
    g->SetLabelFormat(label.get());
    if (r.accepted) {
      // A copy of its own, bound to the grid; the caller keeps its label.
      ASSERT_NE(g->GetLabelFormat(), label.get());
      EXPECT_EQ(g->GetLabelFormat()->GetType(), r.type);
      EXPECT_EQ(static_cast<TestLabel*>(g->GetLabelFormat())->grid(), g.get());
      EXPECT_EQ(label->grid(), nullptr);
      EXPECT_EQ(mark.Count(), 0u);
    } else {
      EXPECT_EQ(g->GetLabelFormat(), before);
      EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_MeasureGrid::SetLabelFormat", " == NULL"));
    }
  }
  Grid g(NewGrid());
  IGIS_GridLabel* held = g->GetLabelFormat();
  md::test::LogMark mark;
  g->SetLabelFormat(nullptr);
  g->SetLabelFormat(held);
  EXPECT_EQ(g->GetLabelFormat(), held);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_MeasureGrid::SetLabelFormat", "right == NULL"));
  EXPECT_EQ(mark.Count(), 1u);
}

TEST(MeasureGrid, SpacingAndReferenceSettersKeepCopies) {
  Grid g(NewGrid());
  IGIS_GridSpacing* spacing = g->GetGridSpacing();
  IGIS_SpatialReference* reference = g->GetSpatialReference();
  const std::vector<BYTE> before = Stored(g.get());
  // Its own objects and NULL change nothing; NULL spacing is refused with a record.
  md::test::LogMark mark;
  g->SetGridSpacingPtr(spacing);
  g->SetSpatialReference(reference);
  g->SetSpatialReference(nullptr);
  g->SetGridSpacingPtr(nullptr);
  EXPECT_EQ(g->GetGridSpacing(), spacing);
  EXPECT_EQ(g->GetSpatialReference(), reference);
  EXPECT_EQ(Stored(g.get()), before);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_MeasureGrid::SetGridSpacingPtr", "right == NULL"));
  EXPECT_EQ(mark.Count(), 1u);

  // Another grid's spacing and reference are copied; the grid keeps its own objects.
  Grid other(NewGrid());
  other->GetGridSpacing()->SetXIntervalSize(500.0);
  md::basilo::ReleasePtr<IGIS_SpatialReference> zone40(
      GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 3, 40, FALSE));
  g->SetGridSpacingPtr(other->GetGridSpacing());
  g->SetSpatialReference(zone40.get());
  EXPECT_NE(g->GetGridSpacing(), other->GetGridSpacing());
  EXPECT_EQ(g->GetGridSpacing()->GetXIntervalSize(), 500.0);
  EXPECT_EQ(g->GetSpatialReference(), reference);
  EXPECT_EQ(CentralMeridian(g->GetSpatialReference()), 120.0);
  other->GetGridSpacing()->SetXIntervalSize(7.0);
  EXPECT_EQ(g->GetGridSpacing()->GetXIntervalSize(), 500.0);
}

TEST(MeasureGrid, ACloneIsEqualAndIndependent) {
  Grid g(NewGrid());
  g->GetGridSpacing()->SetYIntervalSize(250.0);
  g->SetTickDivision(4);
  g->SetName("方里网");
  Grid clone(static_cast<IGIS_MeasureGrid*>(g->Clone()));
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(Stored(clone.get()), Stored(g.get()));
  EXPECT_NE(clone->GetGridSpacing(), g->GetGridSpacing());
  EXPECT_NE(clone->GetSpatialReference(), g->GetSpatialReference());
  clone->GetGridSpacing()->SetYIntervalSize(10.0);
  md::basilo::ReleasePtr<IGIS_SpatialReference> zone40(
      GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 3, 40, FALSE));
  clone->SetSpatialReference(zone40.get());
  EXPECT_EQ(g->GetGridSpacing()->GetYIntervalSize(), 250.0);
  EXPECT_EQ(CentralMeridian(g->GetSpatialReference()), 117.0);
}

// What the sheet double's pages do, and how the user ends it.
bool g_confirm = false;
std::string g_title;

bool EditingSheet(IGIS_MapGrid* pGrid, const char* szTitle) {
  g_title = szTitle;
  auto* g = static_cast<IGIS_MeasureGrid*>(pGrid);
  g->GetGridSpacing()->SetXIntervalSize(250.0);
  g->GetGridSpacing()->SetUnits(1);
  md::basilo::ReleasePtr<IGIS_SpatialReference> zone40(
      GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 3, 40, TRUE));
  g->SetSpatialReference(zone40.get());
  g->SetGridlineType(GIS_GRIDLINE_MARKS);
  g->SetTickDivision(3);
  g->SetSubTickCount(5);
  g->SetLabelFormat(nullptr);
  g->SetBorder(nullptr);
  return g_confirm;
}

TEST(MeasureGrid, TheSheetKeepsEditsOnOkAndRestoresTheStoredFormOtherwise) {
  const grid::GridSheetRunner previous = grid::SetGridSheetRunner(GIS_MAPGRID_MEASURE, &EditingSheet);
  for (bool confirm : {true, false}) {
    SCOPED_TRACE(confirm);
    Grid g(NewGrid());
    const std::vector<BYTE> before = Stored(g.get());
    g_confirm = confirm;
    EXPECT_EQ(g->OnOpenPropertyDlg(), confirm);
    EXPECT_EQ(g_title, "方里网属性");
    if (confirm) {
      EXPECT_EQ(g->GetGridSpacing()->GetXIntervalSize(), 250.0);
      EXPECT_EQ(g->GetTickDivision(), 3);
      EXPECT_NE(Stored(g.get()), before);
    } else {
      EXPECT_EQ(Stored(g.get()), before);
      EXPECT_EQ(g->GetTickDivision(), 1);
      EXPECT_EQ(CentralMeridian(g->GetSpatialReference()), 117.0);
      ASSERT_NE(g->GetLabelFormat(), nullptr);
      ASSERT_NE(g->GetBorder(), nullptr);
      EXPECT_EQ(g->GetBorder()->GetMapGrid(), g.get());
    }
  }
  grid::SetGridSheetRunner(GIS_MAPGRID_MEASURE, nullptr);
  Grid g(NewGrid());
  EXPECT_FALSE(g->OnOpenPropertyDlg());  // no sheet yet: not confirmed
  grid::SetGridSheetRunner(GIS_MAPGRID_MEASURE, previous);
}

TEST(MeasureGridStored, OwnKeysFirstAndARoundTripThroughTheFactory) {
  Grid g(NewGrid());
  g->GetGridSpacing()->SetXIntervalSize(2.0);
  g->GetGridSpacing()->SetUnits(1);
  g->GetGridSpacing()->SetXOrigin(-3.5);
  md::basilo::ReleasePtr<IGIS_SpatialReference> zone40(
      GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 3, 40, TRUE));
  g->SetSpatialReference(zone40.get());
  g->SetGridlineType(GIS_GRIDLINE_MARKS);
  g->SetSubTickLength(-40.0);
  g->SetName("公里网");
  const std::vector<BYTE> bytes = Stored(g.get());
  const std::vector<std::string> keys = md::test::KeysOf(bytes);
  ASSERT_GE(keys.size(), 3u);
  EXPECT_EQ(keys[0], "GridSpacing");
  EXPECT_EQ(keys[1], "SpatialReference");
  EXPECT_EQ(keys[2], "ExteriorWidth");
  md::basilo::ReleasePtr<IGIS_DataBuffer> buffer(md::test::BufferOf(bytes));
  Grid back(static_cast<IGIS_MeasureGrid*>(GIS_CreateMapGridPropertyObjectFromBuffer(buffer.get())));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->GetType(), GIS_MAPGRID_MEASURE);
  EXPECT_EQ(Stored(back.get()), bytes);
  EXPECT_EQ(back->GetGridSpacing()->GetUnits(), 1);
  EXPECT_EQ(back->GetGridSpacing()->GetXOrigin(), -3.5);
  EXPECT_EQ(CentralMeridian(back->GetSpatialReference()), 120.0);
  EXPECT_STREQ(back->GetName(), "公里网");
}

// A stored set holding only the given keys of a saved grid.
std::vector<BYTE> WithOnly(const std::vector<BYTE>& bytes, std::vector<std::string> keys) {
  md::basilo::ReleasePtr<IGIS_PropertySet> all(md::test::SetOf(bytes));
  md::basilo::ReleasePtr<IGIS_PropertySet> some(GIS_CreatePropertySetObject());
  for (const std::string& k : keys) {
    IGIS_Field* f = all->GetProperty(k.c_str());
    IGIS_Field* n = some->AddProperty(k.c_str(), f->GetDescription(), f->GetType(), 0);
    if (f->GetType() == GIS_FIELD_TYPE_BUFFER) {
      n->GetDataBuffer()->SetSize(f->GetDataBuffer()->GetSize());
      std::copy(f->GetDataBuffer()->GetData(), f->GetDataBuffer()->GetData() + f->GetDataBuffer()->GetSize(),
                n->GetDataBuffer()->GetData());
    } else {
      n->SetString(f->GetString());
    }
  }
  md::basilo::ReleasePtr<IGIS_DataBuffer> out(GIS_CreateDataBufferObject(0));
  some->Archive(out.get(), GIS_ARCHIVE_WRITE, 0);
  return std::vector<BYTE>(out->GetData(), out->GetData() + out->GetSize());
}

TEST(MeasureGridStored, MissingKeysKeepWhatTheGridHas) {
  Grid source(NewGrid());
  source->GetGridSpacing()->SetXIntervalSize(123.0);
  source->SetName("只有名字");
  const std::vector<BYTE> bytes = Stored(source.get());
  struct Row {
    const char* name;
    std::vector<std::string> keys;
    double interval;
    const char* gridName;
  } rows[] = {
      {"no spacing", {"SpatialReference", "szName"}, 1000.0, "只有名字"},
      {"spacing only", {"GridSpacing"}, 123.0, "格网"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Grid g(NewGrid());
    IGIS_GridSpacing* spacing = g->GetGridSpacing();
    md::basilo::ReleasePtr<IGIS_DataBuffer> buffer(md::test::BufferOf(WithOnly(bytes, r.keys)));
    EXPECT_TRUE(g->Open(buffer.get()));
    EXPECT_EQ(g->GetGridSpacing(), spacing);
    EXPECT_EQ(g->GetGridSpacing()->GetXIntervalSize(), r.interval);
    EXPECT_STREQ(g->GetName(), r.gridName);
  }
}

TEST(MeasureGridStored, UnreadableBuffersChangeNothing) {
  Grid g(NewGrid());
  const std::vector<BYTE> before = Stored(g.get());
  md::test::LogMark mark;
  EXPECT_FALSE(g->Open(nullptr));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_MeasureGrid::Open", "pDataBuffer为空"));
  md::basilo::ReleasePtr<IGIS_DataBuffer> junk(
      md::test::BufferOf({'n', 'o', 't', ' ', 'a', ' ', 's', 'e', 't'}));
  EXPECT_FALSE(g->Open(junk.get()));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_MeasureGrid::Open", "b_ret == FALSE "));
  EXPECT_EQ(Stored(g.get()), before);
  EXPECT_FALSE(g->Save(nullptr));
  // A damaged reference or spacing inside a readable set is refused by its
  // reader; the grid keeps its own.
  std::vector<BYTE> bytes = before;
  md::basilo::ReleasePtr<IGIS_PropertySet> set(md::test::SetOf(bytes));
  set->GetProperty("SpatialReference")->GetDataBuffer()->SetSize(5);
  set->GetProperty("GridSpacing")->GetDataBuffer()->SetSize(3);
  md::basilo::ReleasePtr<IGIS_DataBuffer> damaged(GIS_CreateDataBufferObject(0));
  set->Archive(damaged.get(), GIS_ARCHIVE_WRITE, 0);
  EXPECT_TRUE(g->Open(damaged.get()));
  EXPECT_EQ(Stored(g.get()), before);
}

}  // namespace
