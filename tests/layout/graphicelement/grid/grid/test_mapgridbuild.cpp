// Grids built from the values of the grid wizard's pages, without any
// window: each kind's spacing, lines, ticks, label and border, the label's
// minutes and seconds from the typed intervals, and what is refused.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_graticulemngrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_indexgrid.h"
#include "layout/graphicelement/grid/grid/igis_indexgridtabstyle.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"
#include "layout/graphicelement/grid/grid/igis_mapgridvalues.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "tests/support/logmark.h"

namespace {

using md::basilo::ReleasePtr;

ReleasePtr<IGIS_Symbol> Styled(int type, int code) {
  ReleasePtr<IGIS_Symbol> s(GIS_GetSymbolFactoryObject()->CreateSymbol(type));
  s->SetCode(code);
  return s;
}

int CodeOf(IGIS_Symbol* s) { return s != nullptr ? s->GetStyleCode() : -1; }

ReleasePtr<IGIS_MapGrid> Build(const SGIS_MapGridValues& v) {
  return ReleasePtr<IGIS_MapGrid>(GIS_CreateMapGridFromValues(&v));
}

// Two typed intervals (parallels, meridians) and what the graticule's
// label writes and its spacing holds.
struct IntervalRow {
  SGIS_DMSValue parallel;
  SGIS_DMSValue meridian;
  bool bMinutes;
  bool bSeconds;
  double dX;  // the meridians' interval
  double dY;  // the parallels'
};

const IntervalRow kIntervalRows[] = {
    // Only one interval has minutes: both get minutes, so 32°30′ is written so.
    {{2, 30, 0.0}, {5, 0, 0.0}, true, false, 5.0, 2.5},
    {{2, 30, 0.0}, {5, 15, 0.0}, true, false, 5.25, 2.5},
    {{1, 0, 0.0}, {1, 0, 0.0}, false, false, 1.0, 1.0},
    // Seconds in one interval show minutes and seconds.
    {{0, 0, 30.0}, {1, 0, 0.0}, true, true, 1.0, 30.0 / 3600.0},
    {{0, 5, 0.0}, {0, 5, 0.0}, true, false, 5.0 / 60.0, 5.0 / 60.0},
    // 0°60′ is one degree, written with its minutes field.
    {{0, 60, 0.0}, {1, 0, 0.0}, true, false, 1.0, 1.0},
};

TEST(MapGridValues, TheGraticulesSpacingAndLabelFollowTheTypedIntervals) {
  for (const IntervalRow& row : kIntervalRows) {
    SCOPED_TRACE(std::to_string(row.parallel.nDegrees) + "/" + std::to_string(row.parallel.nMinutes) + " " +
                 std::to_string(row.meridian.nDegrees) + "/" + std::to_string(row.meridian.nMinutes));
    SGIS_MapGridValues v;
    v.graticule.parallel = row.parallel;
    v.graticule.meridian = row.meridian;
    ReleasePtr<IGIS_MapGrid> g = Build(v);
    auto* graticule = dynamic_cast<IGIS_GraticuleGrid*>(g.get());
    ASSERT_NE(graticule, nullptr);
    IGIS_GridSpacing* s = graticule->GetGridSpacing();
    EXPECT_DOUBLE_EQ(s->GetXIntervalSize(), row.dX);
    EXPECT_DOUBLE_EQ(s->GetYIntervalSize(), row.dY);
    EXPECT_EQ(s->GetUnitsType(), GIS_GRIDSPACING_UNITS_ANGULAR);
    EXPECT_EQ(s->GetUnits(), 1);  // degrees
    EXPECT_FALSE(s->GetFixedOrigin());
    auto* label = dynamic_cast<IGIS_DMSGridLabel*>(g->GetLabelFormat());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->IsShowMinutes(), row.bMinutes);
    EXPECT_EQ(label->IsShowSeconds(), row.bSeconds);
  }
}

TEST(MapGridValues, TheGraticuleTakesThePagesSymbolsTicksAndBorder) {
  ReleasePtr<IGIS_Symbol> line = Styled(GIS_SYMBOL_LINE, 0xD05);
  ReleasePtr<IGIS_Symbol> mark = Styled(GIS_SYMBOL_POINT, 0xCE8);
  ReleasePtr<IGIS_Symbol> tick = Styled(GIS_SYMBOL_LINE, 0xD06);
  ReleasePtr<IGIS_Symbol> subTick = Styled(GIS_SYMBOL_LINE, 0xD07);
  ReleasePtr<IGIS_Symbol> border = Styled(GIS_SYMBOL_LINE, 0xD08);
  ReleasePtr<IGIS_Symbol> text(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT));
  text->GetFontSizePtr()->lfHeight = -13;
  SGIS_MapGridValues v;
  v.szName = "经纬网3";
  v.graticule.lines = {GIS_GRIDLINE_MARKS, line.get(), mark.get()};
  v.axes = {text.get(), tick.get(), subTick.get(), 7, 1, 1};
  v.finish = {1, border.get()};
  ReleasePtr<IGIS_MapGrid> g = Build(v);
  ASSERT_NE(g, nullptr);
  EXPECT_STREQ(g->GetName(), "经纬网3");
  EXPECT_EQ(g->GetGridlineType(), GIS_GRIDLINE_MARKS);
  EXPECT_EQ(CodeOf(g->GetLineSymbol()), 0xD05);
  EXPECT_EQ(CodeOf(g->GetMarkSymbol()), 0xCE8);
  EXPECT_EQ(CodeOf(g->GetTickLineSymbol()), 0xD06);
  EXPECT_EQ(CodeOf(g->GetSubTickLineSymbol()), 0xD07);
  EXPECT_EQ(g->GetSubTickCount(), 7);
  // Copies, not the pages' own objects.
  EXPECT_NE(g->GetLineSymbol(), line.get());
  EXPECT_EQ(CodeOf(g->GetBorder()->GetSimpleSymbol()), 0xD08);
  EXPECT_NE(g->GetBorder()->GetSimpleSymbol(), border.get());
  EXPECT_EQ(g->GetLabelFormat()->GetTextSymbolPtr()->GetFontSizePtr()->lfHeight, -13);
  bool l = false, t = false, r = false, b = false;
  g->GetTickVisible(&l, &t, &r, &b);
  EXPECT_TRUE(l && t && r && b);
}

// The border box and the two tick boxes of the pages.
TEST(MapGridValues, UncheckedBoxesLeaveTheBorderWithoutSymbolAndHideTheTicks) {
  for (int kind : {GIS_MAPGRID_GRATICULE, GIS_MAPGRID_MEASURE, GIS_MAPGRID_GRATICULE_MN, GIS_MAPGRID_INDEX}) {
    SCOPED_TRACE(kind);
    SGIS_MapGridValues v;
    v.nType = kind;
    v.axes.bTicks = 0;
    ReleasePtr<IGIS_MapGrid> g = Build(v);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->GetBorder()->GetSimpleSymbol(), nullptr);
    bool l = true, t = true, r = true, b = true;
    g->GetTickVisible(&l, &t, &r, &b);
    // The index grid takes nothing from the axes page.
    EXPECT_EQ(l || t || r || b, kind == GIS_MAPGRID_INDEX);
    g->GetSubTickVisible(&l, &t, &r, &b);
    EXPECT_TRUE(l && t && r && b);

    v.axes.bTicks = 1;
    v.axes.bSubTicks = 0;
    v.finish.bBorder = 1;  // no symbol given: the grid's own stays
    ReleasePtr<IGIS_MapGrid> g2 = Build(v);
    EXPECT_NE(g2->GetBorder()->GetSimpleSymbol(), nullptr);
    g2->GetSubTickVisible(&l, &t, &r, &b);
    EXPECT_EQ(l || t || r || b, kind == GIS_MAPGRID_INDEX);
  }
}

TEST(MapGridValues, TheFixedCountGraticuleTakesCountsAndTheGraticulesIntervalsInWholeDegrees) {
  ReleasePtr<IGIS_Symbol> line = Styled(GIS_SYMBOL_LINE, 0xD05);
  SGIS_MapGridValues v;
  v.nType = GIS_MAPGRID_GRATICULE_MN;
  v.graticule.parallel = {0, 0, 0.0};  // the graticule's page was never shown
  v.graticule.meridian = {0, 30, 0.0};
  v.fixedCount = {{GIS_GRIDLINE_LINES, line.get(), nullptr}, 7, 3};
  ReleasePtr<IGIS_MapGrid> g = Build(v);
  auto* fixed = dynamic_cast<IGIS_GraticuleMNGrid*>(g.get());
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->GetLatitudeCount(), 7);
  EXPECT_EQ(fixed->GetLongitudeCount(), 3);
  EXPECT_EQ(g->GetGridlineType(), GIS_GRIDLINE_LINES);
  EXPECT_EQ(CodeOf(g->GetLineSymbol()), 0xD05);
  EXPECT_DOUBLE_EQ(fixed->GetGridSpacing()->GetXIntervalSize(), 0.5);
  EXPECT_DOUBLE_EQ(fixed->GetGridSpacing()->GetYIntervalSize(), 0.0);
  auto* label = dynamic_cast<IGIS_DMSGridLabel*>(g->GetLabelFormat());
  ASSERT_NE(label, nullptr);
  EXPECT_FALSE(label->IsShowMinutes());
  EXPECT_FALSE(label->IsShowSeconds());
}

TEST(MapGridValues, TheKilometreGridTakesItsReferenceIntervalsAndAFormattedLabel) {
  IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
  ReleasePtr<IGIS_SpatialReference> zone20(f->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 6, 20, FALSE));
  SGIS_MapGridValues v;
  v.nType = GIS_MAPGRID_MEASURE;
  v.measured.pReference = zone20.get();
  v.measured.dXInterval = 1000.0;
  v.measured.dYInterval = 2000.0;
  v.measured.lines.nGridlineType = GIS_GRIDLINE_NONE;
  ReleasePtr<IGIS_MapGrid> g = Build(v);
  auto* measure = dynamic_cast<IGIS_MeasureGrid*>(g.get());
  ASSERT_NE(measure, nullptr);
  EXPECT_EQ(g->GetGridlineType(), GIS_GRIDLINE_NONE);
  IGIS_GridSpacing* s = measure->GetGridSpacing();
  EXPECT_DOUBLE_EQ(s->GetXIntervalSize(), 1000.0);
  EXPECT_DOUBLE_EQ(s->GetYIntervalSize(), 2000.0);
  EXPECT_EQ(s->GetUnitsType(), GIS_GRIDSPACING_UNITS_LINEAR);
  EXPECT_EQ(s->GetUnits(), 0);  // metres
  EXPECT_NE(measure->GetSpatialReference(), zone20.get());
  EXPECT_STREQ(measure->GetSpatialReference()->GetName(), zone20->GetName());
  IGIS_GridLabel* label = g->GetLabelFormat();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->GetType(), GIS_GRIDLABEL_FORMATTED);
  bool l = true, r = true, t = true, b = true;
  label->GetLabelAlignment(&l, &r, &t, &b);
  EXPECT_FALSE(l || r || t || b);
}

TEST(MapGridValues, TheIndexGridTakesItsCellsLetteringAndTabs) {
  ReleasePtr<IGIS_Symbol> fill = Styled(GIS_SYMBOL_FILL, 0xD22);
  for (int lettering : {0, 1}) {
    SGIS_MapGridValues v;
    v.nType = GIS_MAPGRID_INDEX;
    v.index.nColumns = 8;
    v.index.nRows = 4;
    v.index.nLettering = lettering;
    v.index.nTabStyle = 2;
    v.index.pTabBackground = fill.get();
    v.index.lines.nGridlineType = GIS_GRIDLINE_LINES;
    ReleasePtr<IGIS_MapGrid> g = Build(v);
    auto* index = dynamic_cast<IGIS_IndexGrid*>(g.get());
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->GetColumnCount(), 8);
    EXPECT_EQ(index->GetRowCount(), 4);
    EXPECT_EQ(index->GetXYLabelType(), lettering == 0);
    EXPECT_EQ(g->GetGridlineType(), GIS_GRIDLINE_LINES);
    // The tab style of the page, with its fill, depth and inside tabs.
    auto* tabs = dynamic_cast<IGIS_IndexGridTabStyle*>(g->GetLabelFormat());
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->GetType(), GIS_GRIDLABEL_INDEX_CONTINUOUS);
    EXPECT_EQ(tabs->GetThickness(), 200);
    EXPECT_TRUE(tabs->GetInside());
    EXPECT_EQ(CodeOf(tabs->GetForegroundSymbolPtr()), 0xD22);
  }
}

TEST(MapGridValues, NoValuesOrAnotherTypeBuildNothing) {
  md::test::LogMark log;
  EXPECT_EQ(GIS_CreateMapGridFromValues(nullptr), nullptr);
  EXPECT_TRUE(log.Has(3, "GIS_CreateMapGridFromValues", "pValues == NULL"));
  for (int type : {-1, 4, 5, 9}) {
    SGIS_MapGridValues v;
    v.nType = type;
    EXPECT_EQ(GIS_CreateMapGridFromValues(&v), nullptr) << type;
  }
}

// A value outside what its page allows is refused with a record naming it;
// the type's own pages count, the others' values are not looked at.
TEST(MapGridValues, AValueOutsideItsPageIsRefusedWithARecord) {
  struct Row {
    const char* record;
    int type;
    void (*change)(SGIS_MapGridValues*);
  };
  const Row rows[] = {
      {"index.nTabStyle 2147483647 not in 0..3", GIS_MAPGRID_INDEX,
       [](SGIS_MapGridValues* v) { v->index.nTabStyle = std::numeric_limits<int>::max(); }},
      {"index.nTabStyle -1 not in 0..3", GIS_MAPGRID_INDEX,
       [](SGIS_MapGridValues* v) { v->index.nTabStyle = -1; }},
      {"index.nTabStyle 4 not in 0..3", GIS_MAPGRID_INDEX,
       [](SGIS_MapGridValues* v) { v->index.nTabStyle = 4; }},
      {"index.nLettering 2 not in 0..1", GIS_MAPGRID_INDEX,
       [](SGIS_MapGridValues* v) { v->index.nLettering = 2; }},
      {"index.nColumns 21 not in 1..20", GIS_MAPGRID_INDEX,
       [](SGIS_MapGridValues* v) { v->index.nColumns = 21; }},
      {"index.nRows 0 not in 1..20", GIS_MAPGRID_INDEX, [](SGIS_MapGridValues* v) { v->index.nRows = 0; }},
      {"index.lines.nGridlineType 3 not in 0..2", GIS_MAPGRID_INDEX,
       [](SGIS_MapGridValues* v) { v->index.lines.nGridlineType = 3; }},
      {"graticule.lines.nGridlineType -1 not in 0..2", GIS_MAPGRID_GRATICULE,
       [](SGIS_MapGridValues* v) { v->graticule.lines.nGridlineType = -1; }},
      {"graticule.parallel.nMinutes 61 not in 0..60", GIS_MAPGRID_GRATICULE,
       [](SGIS_MapGridValues* v) { v->graticule.parallel.nMinutes = 61; }},
      {"graticule.meridian.nDegrees -1 not in 0..360", GIS_MAPGRID_GRATICULE,
       [](SGIS_MapGridValues* v) { v->graticule.meridian.nDegrees = -1; }},
      {"graticule.meridian.dSeconds nan not in 0..60", GIS_MAPGRID_GRATICULE,
       [](SGIS_MapGridValues* v) { v->graticule.meridian.dSeconds = std::nan(""); }},
      {"axes.nSubTickCount 21 not in 1..20", GIS_MAPGRID_GRATICULE,
       [](SGIS_MapGridValues* v) { v->axes.nSubTickCount = 21; }},
      {"fixedCount.nColumns 0 not in 1..20", GIS_MAPGRID_GRATICULE_MN,
       [](SGIS_MapGridValues* v) { v->fixedCount.nColumns = 0; }},
      {"fixedCount.nRows 2147483647 not in 1..20", GIS_MAPGRID_GRATICULE_MN,
       [](SGIS_MapGridValues* v) { v->fixedCount.nRows = std::numeric_limits<int>::max(); }},
      {"measured.dXInterval -1 not in 0..1e+08", GIS_MAPGRID_MEASURE,
       [](SGIS_MapGridValues* v) { v->measured.dXInterval = -1.0; }},
      {"measured.dYInterval inf not in 0..1e+08", GIS_MAPGRID_MEASURE,
       [](SGIS_MapGridValues* v) { v->measured.dYInterval = std::numeric_limits<double>::infinity(); }},
      {"measured.lines.nGridlineType 7 not in 0..2", GIS_MAPGRID_MEASURE,
       [](SGIS_MapGridValues* v) { v->measured.lines.nGridlineType = 7; }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.record);
    SGIS_MapGridValues v;
    v.nType = row.type;
    ASSERT_NE(Build(v), nullptr);
    row.change(&v);
    md::test::LogMark log;
    EXPECT_EQ(Build(v), nullptr);
    EXPECT_EQ(log.Count(), 1u);
    EXPECT_TRUE(log.Has(3, "GIS_CreateMapGridFromValues", row.record));
    // Another kind's pages do not count.
    v.nType = row.type == GIS_MAPGRID_INDEX ? GIS_MAPGRID_MEASURE : GIS_MAPGRID_INDEX;
    EXPECT_NE(Build(v), nullptr);
  }
}

}  // namespace
