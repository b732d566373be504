// The graticule of fixed rows and columns as an object: its count setters,
// the labels it takes, its copies, its stored form (read back by the grid
// factory) and its sheet through the grids' seam.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "layout/graphicelement/grid/graticulemn/cgis_graticulemngrid.h"
#include "layout/graphicelement/grid/grid/cgis_gridspacing.h"
#include "layout/graphicelement/grid/grid/gridsheet.h"
#include "tests/layout/graphicelement/grid/grid/gridtest.h"
#include "tests/support/dmslabeldouble.h"
#include "tests/support/logmark.h"

namespace {

using md::test::DmsLabelDouble;
using md::test::Owned;
using md::test::Stored;
using Grid = Owned<CGIS_GraticuleMNGrid>;

constexpr const char* kSetLabel = "CGIS_GraticuleMNGrid::SetLabelFormat";

TEST(GraticuleMNGrid, KeepsCountsOfAtLeastOne) {
  struct Row {
    int value;
    int latitude, longitude;  // the counts after both setters were given the value
  };
  const Row rows[] = {{0, 4, 4}, {-2, 4, 4}, {1, 1, 1}, {2147483647, 2147483647, 2147483647}};
  for (const Row& r : rows) {
    Grid h(new CGIS_GraticuleMNGrid());
    md::test::LogMark mark;
    h->SetLatitudeCount(r.value);
    h->SetLongitudeCount(r.value);
    EXPECT_EQ(h->GetLatitudeCount(), r.latitude) << r.value;
    EXPECT_EQ(h->GetLongitudeCount(), r.longitude) << r.value;
    EXPECT_EQ(mark.Count(), 0u) << r.value;
  }
}

TEST(GraticuleMNGrid, TakesOnlyDegreesMinutesSecondsLabelsAndCopiesOfSpacings) {
  Grid g(new CGIS_GraticuleMNGrid());
  Owned<DmsLabelDouble> dms(new DmsLabelDouble());
  Owned<DmsLabelDouble> mixedFont(new DmsLabelDouble());
  mixedFont->type = GIS_GRIDLABEL_MIXEDFONT;
  md::test::LogMark mark;
  g->SetLabelFormat(dms.get());
  auto* held = dynamic_cast<DmsLabelDouble*>(g->GetLabelFormat());
  g->SetLabelFormat(mixedFont.get());
  g->SetLabelFormat(nullptr);
  g->SetGridSpacingPtr(nullptr);
  // A bound copy of the DMS label stays; the others are refused with records.
  ASSERT_NE(held, nullptr);
  EXPECT_NE(held, dms.get());
  EXPECT_EQ(held->grid, g.get());
  EXPECT_EQ(g->GetLabelFormat(), held);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, kSetLabel, " == NULL"));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, kSetLabel, "right == NULL"));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GraticuleMNGrid::SetGridSpacingPtr", "right == NULL"));
  ASSERT_NE(g->GetGridSpacing(), nullptr);

  Owned<IGIS_GridSpacing> minutes(new CGIS_GridSpacing());
  minutes->SetUnitsType(GIS_GRIDSPACING_UNITS_ANGULAR);
  minutes->SetUnits(2);
  g->SetGridSpacingPtr(minutes.get());
  EXPECT_NE(g->GetGridSpacing(), minutes.get());
  EXPECT_EQ(g->GetGridSpacing()->GetUnits(), 2);
  minutes->SetUnits(3);
  EXPECT_EQ(g->GetGridSpacing()->GetUnits(), 2);
}

TEST(GraticuleMNGrid, CloneKeepsTheCountsWithAFreshSpacing) {
  Grid g(new CGIS_GraticuleMNGrid());
  g->SetLatitudeCount(6);
  g->SetLongitudeCount(3);
  g->SetGridlineType(GIS_GRIDLINE_MARKS);
  g->SetTickDivision(5);
  // What a drawing records in the spacing is not copied.
  g->GetGridSpacing()->SetXIntervalSize(0.25);
  g->GetGridSpacing()->SetUnits(2);
  Owned<IGIS_MapGrid> clone(g->Clone());
  auto* c = dynamic_cast<CGIS_GraticuleMNGrid*>(clone.get());
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->GetLatitudeCount(), 6);
  ASSERT_NE(c->GetGridSpacing(), nullptr);
  EXPECT_NE(c->GetGridSpacing(), g->GetGridSpacing());
  EXPECT_EQ(c->GetGridSpacing()->GetXIntervalSize(), 10.0);
  EXPECT_EQ(c->GetGridSpacing()->GetUnits(), 1);
  EXPECT_EQ(Stored(c), Stored(g.get()));
}

// The stored bytes with a key's value replaced, or the key renamed away.
std::vector<BYTE> WithInt(const std::vector<BYTE>& bytes, const char* key, int value) {
  return md::test::Edited(bytes, [&](IGIS_PropertySet* s) { s->GetProperty(key)->SetInt(value); });
}
std::vector<BYTE> Without(const std::vector<BYTE>& bytes, const char* key) {
  return md::test::Edited(bytes, [&](IGIS_PropertySet* s) { s->GetProperty(key)->SetName("Other"); });
}

TEST(GraticuleMNGrid, TheCountsAreStoredBeforeTheCommonKeysAndReadAsStored) {
  Grid g(new CGIS_GraticuleMNGrid());
  g->SetLatitudeCount(6);
  g->SetLongitudeCount(3);
  const std::vector<BYTE> bytes = Stored(g.get());
  const std::vector<std::string> keys = md::test::KeysOf(bytes);
  ASSERT_GT(keys.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 3),
            (std::vector<std::string>{"LatitudeCount", "LongitudeCount", "ExteriorWidth"}));

  struct Row {
    const char* name;
    std::vector<BYTE> stored;
    int latitude, longitude;  // read into a grid of 5 x 2
    bool rebuilt;             // the factory's reader makes the kind
  };
  const Row rows[] = {
      {"both counts", bytes, 6, 3, true},
      {"no LongitudeCount", Without(bytes, "LongitudeCount"), 6, 2, true},
      {"a stored 0 and -7", WithInt(WithInt(bytes, "LatitudeCount", 0), "LongitudeCount", -7), 0, -7, true},
      {"no GridType", Without(bytes, "GridType"), 6, 3, false},
  };
  for (const Row& r : rows) {
    Grid read(new CGIS_GraticuleMNGrid());
    read->SetLatitudeCount(5);
    read->SetLongitudeCount(2);
    Owned<IGIS_DataBuffer> b(md::test::BufferOf(r.stored));
    EXPECT_TRUE(read->Open(b.get())) << r.name;
    EXPECT_EQ(read->GetLatitudeCount(), r.latitude) << r.name;
    EXPECT_EQ(read->GetLongitudeCount(), r.longitude) << r.name;
    Owned<IGIS_MapGrid> made(GIS_CreateMapGridPropertyObjectFromBuffer(b.get()));
    EXPECT_EQ(made.get() != nullptr, r.rebuilt) << r.name;
    if (made.get() != nullptr) {
      EXPECT_EQ(made->GetType(), GIS_MAPGRID_GRATICULE_MN) << r.name;
    }
  }
  md::test::LogMark mark;
  Grid other(new CGIS_GraticuleMNGrid());
  EXPECT_FALSE(other->Open(nullptr));
  EXPECT_FALSE(other->Save(nullptr));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GraticuleMNGrid::Open", "pDataBuffer为空"));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GraticuleMNGrid::Save", "pDataBuffer为空"));
}

bool g_confirm = false;

// The graticule page of the sheet: line kind and both counts.
bool CountsPageSheet(IGIS_MapGrid* pGrid, const char* szTitle) {
  EXPECT_STREQ(szTitle, "经纬网(行列数固定)属性");
  auto* g = dynamic_cast<IGIS_GraticuleMNGrid*>(pGrid);
  EXPECT_NE(g, nullptr);
  if (g == nullptr) return false;
  g->SetGridlineType(GIS_GRIDLINE_NONE);
  g->SetLatitudeCount(12);
  g->SetLongitudeCount(20);
  g->SetTickLength(-50.0);
  return g_confirm;
}

TEST(GraticuleMNGrid, CancelRestoresTheStoredFormAndOkKeepsTheEdits) {
  namespace grid = md::layout::grid;
  const grid::GridSheetRunner previous = grid::SetGridSheetRunner(GIS_MAPGRID_GRATICULE_MN, &CountsPageSheet);
  for (bool confirm : {false, true}) {
    g_confirm = confirm;
    Grid g(new CGIS_GraticuleMNGrid());
    Owned<DmsLabelDouble> label(new DmsLabelDouble());
    g->SetLabelFormat(label.get());
    const std::vector<BYTE> before = Stored(g.get());
    EXPECT_EQ(g->OnOpenPropertyDlg(), confirm);
    if (confirm) {
      EXPECT_EQ(g->GetLatitudeCount(), 12);
      EXPECT_EQ(g->GetLongitudeCount(), 20);
      EXPECT_EQ(g->GetGridlineType(), GIS_GRIDLINE_NONE);
    } else {
      EXPECT_EQ(Stored(g.get()), before);
      ASSERT_NE(g->GetLabelFormat(), nullptr);
      EXPECT_EQ(static_cast<DmsLabelDouble*>(g->GetLabelFormat())->grid, g.get());
    }
  }
  // Without the sheet nothing runs and nothing changes.
  grid::SetGridSheetRunner(GIS_MAPGRID_GRATICULE_MN, nullptr);
  Grid g(new CGIS_GraticuleMNGrid());
  const std::vector<BYTE> before = Stored(g.get());
  EXPECT_FALSE(g->OnOpenPropertyDlg());
  EXPECT_EQ(Stored(g.get()), before);
  grid::SetGridSheetRunner(GIS_MAPGRID_GRATICULE_MN, previous);
}

}  // namespace
