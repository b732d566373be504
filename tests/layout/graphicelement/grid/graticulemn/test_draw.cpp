// The drawing of the graticule of fixed rows and columns on a recording
// printer page (1 pixel = 10 page units; page point (x, y) is pixel (x / 10,
// (30000 - y) / 10)) over frames of the region, a map in degrees, where a
// degree is a whole number of pixels, and of the projected sheet: where
// lines, marks, ticks and sub-ticks fall, what each setting changes, what
// the spacing records, the failures and the clip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/mapgridbordermaker.h"
#include "tests/layout/graphicelement/grid/graticulemn/mntest.h"
#include "tests/support/logmark.h"

namespace {

using md::canvas::Point;
using md::test::kLineColor;
using md::test::kMarkColor;
using md::test::kSubTickColor;
using md::test::kTickColor;
using md::test::Stroke;
using Grid = md::basilo::ReleasePtr<CGIS_GraticuleMNGrid>;

constexpr const char* kOnDraw = "CGIS_GraticuleMNGrid::OnDraw";

// The worked example's frame, 100 to 110 east and 20 to 30 north, spans
// pixels x 200..1200 and y 1800..2800: a degree is 100 pixels.
double X(double lon) { return 200 + (lon - 100) * 100; }
double Y(double lat) { return 2800 - (lat - 20) * 100; }

// What one drawing stroked, by part.
struct Drawn {
  std::vector<Stroke> lines, ticks, subTicks;
  std::vector<Point> marks;
};

// The x of the strokes that start on the row y (bottom ticks start on the
// frame's bottom edge), in drawing order.
std::vector<double> StartingOn(const std::vector<Stroke>& strokes, double y) {
  std::vector<double> xs;
  for (const Stroke& s : strokes) {
    if (s.points.front().y == y) xs.push_back(s.points.front().x);
  }
  return xs;
}

class MNDraw : public md::test::MNPage {
 protected:
  // Draws the frame's map, then the grid alone on a fresh canvas.
  Drawn Draw(CGIS_MapElement* frame, IGIS_MapGrid* grid, bool expected = true) {
    bool result = !expected;
    DrawGrid(printer_, frame, grid, &result);
    EXPECT_EQ(result, expected);
    return Drawn{
        md::test::StrokesOf(printer_.canvas, kLineColor), md::test::StrokesOf(printer_.canvas, kTickColor),
        md::test::StrokesOf(printer_.canvas, kSubTickColor), md::test::MarksOf(printer_.canvas, kMarkColor)};
  }
  CGIS_MapElement* Example() { return DegreesFrame(SGIS_DRect(100, 30, 110, 20)); }

  md::test::Printer printer_;
};

TEST_F(MNDraw, TheWorkedExampleFromItsOrigins) {
  // The worked example: 100 to 110 east, 20 to 30 north, 4 columns and 4 rows.
  CGIS_MapElement* frame = Example();
  Grid grid(md::test::NewMNGrid(frame));
  const Drawn d = Draw(frame, grid.get());
  // Parallels from the south, then meridians from the west, every 5 degrees,
  // the frame's own edges included.
  ASSERT_EQ(d.lines.size(), 6u);
  const double along[] = {Y(20), Y(25), Y(30), X(100), X(105), X(110)};
  for (std::size_t i = 0; i < 6; ++i) {
    const Stroke& s = d.lines[i];
    const bool parallel = i < 3;
    EXPECT_EQ(parallel ? s.points.front().y : s.points.front().x, along[i]) << i;
    EXPECT_EQ(parallel ? s.points.back().y : s.points.back().x, along[i]) << i;
    EXPECT_EQ(parallel ? s.points.front().x : s.points.front().y, parallel ? X(100) : Y(20)) << i;
    EXPECT_EQ(parallel ? s.points.back().x : s.points.back().y, parallel ? X(110) : Y(30)) << i;
  }
  // The meridians on the left and right edges get no bottom or top tick,
  // the parallels on the bottom and top edges no left or right tick: one
  // tick a side, at 105 east and 25 north, 200 page units outward.
  ASSERT_EQ(d.ticks.size(), 4u);
  const Point ends[][2] = {{{X(105), Y(20)}, {X(105), Y(20) + 20}},
                           {{X(105), Y(30)}, {X(105), Y(30) - 20}},
                           {{X(100), Y(25)}, {X(100) - 20, Y(25)}},
                           {{X(110), Y(25)}, {X(110) + 20, Y(25)}}};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(d.ticks[i].points.front(), ends[i][0]) << i;
    EXPECT_EQ(d.ticks[i].points.back(), ends[i][1]) << i;
  }
  // Sub-ticks halfway, 100 page units long: two a side.
  ASSERT_EQ(d.subTicks.size(), 8u);
  EXPECT_EQ(StartingOn(d.subTicks, Y(20)), (std::vector<double>{X(102.5), X(107.5)}));
  EXPECT_EQ(d.subTicks[0].points.back(), (Point{X(102.5), Y(20) + 10}));
  // The spacing holds what was found before the search.
  IGIS_GridSpacing* s = grid->GetGridSpacing();
  EXPECT_EQ(s->GetXIntervalSize(), 2.5);
  EXPECT_EQ(s->GetYIntervalSize(), 2.5);
  EXPECT_EQ(s->GetXOrigin(), 100.0);
  EXPECT_EQ(s->GetYOrigin(), 20.0);
}

struct TickRow {
  const char* name;
  std::function<void(IGIS_MapGrid*)> set;
  std::vector<double> ticks, subTicks;  // longitudes of the bottom ticks and sub-ticks
  double length;                        // pixels down the page of a bottom tick
};

TEST_F(MNDraw, WhatTheTickSettingsDraw) {
  const TickRow rows[] = {
      {"tick division 2: a tick between the lines",
       [](IGIS_MapGrid* g) { g->SetTickDivision(2); },
       {102.5, 105, 107.5},
       {101.25, 103.75, 106.25, 108.75},
       20},
      {"tick division 0 is refused",
       [](IGIS_MapGrid* g) { g->SetTickDivision(0); },
       {105},
       {102.5, 107.5},
       20},
      {"no sub-ticks", [](IGIS_MapGrid* g) { g->SetSubTickCount(0); }, {105}, {}, 20},
      {"one sub-interval: no sub-tick", [](IGIS_MapGrid* g) { g->SetSubTickCount(1); }, {105}, {}, 20},
      {"four sub-intervals",
       [](IGIS_MapGrid* g) { g->SetSubTickCount(4); },
       {105},
       {101.25, 102.5, 103.75, 106.25, 107.5, 108.75},
       20},
      {"a negative length points inward",
       [](IGIS_MapGrid* g) { g->SetTickLength(-300); },
       {105},
       {102.5, 107.5},
       -30},
      {"bottom switches off",
       [](IGIS_MapGrid* g) { g->SetTickVisible(true, true, true, false); },
       {},
       {102.5, 107.5},
       20},
  };
  for (const TickRow& r : rows) {
    CGIS_MapElement* frame = Example();
    Grid grid(md::test::NewMNGrid(frame));
    r.set(grid.get());
    const Drawn d = Draw(frame, grid.get());
    std::vector<double> ticks, subTicks;
    for (double x : StartingOn(d.ticks, Y(20))) ticks.push_back(100 + (x - 200) / 100);
    for (double x : StartingOn(d.subTicks, Y(20))) subTicks.push_back(100 + (x - 200) / 100);
    std::sort(subTicks.begin(), subTicks.end());
    EXPECT_EQ(ticks, r.ticks) << r.name;
    EXPECT_EQ(subTicks, r.subTicks) << r.name;
    for (const Stroke& s : d.ticks) {
      if (s.points.front().y != Y(20)) continue;
      EXPECT_EQ(s.points.back().y - s.points.front().y, r.length) << r.name;
    }
  }
}

TEST_F(MNDraw, LinesOrMarksByTheLineKind) {
  struct Row {
    const char* name;
    int kind;
    bool markSymbol;
    std::size_t lines, marks;
  };
  const Row rows[] = {
      {"marks at the crossings, the frame's edges included", GIS_GRIDLINE_MARKS, true, 0, 9},
      {"marks without a mark symbol", GIS_GRIDLINE_MARKS, false, 0, 0},
      {"neither: ticks only", GIS_GRIDLINE_NONE, true, 0, 0},
  };
  for (const Row& r : rows) {
    CGIS_MapElement* frame = Example();
    Grid grid(md::test::NewMNGrid(frame));
    grid->SetGridlineType(r.kind);
    if (!r.markSymbol) grid->SetMarkSymbol(nullptr);
    const Drawn d = Draw(frame, grid.get());
    EXPECT_EQ(d.lines.size(), r.lines) << r.name;
    EXPECT_EQ(d.marks.size(), r.marks) << r.name;
    EXPECT_EQ(d.ticks.size(), 4u) << r.name;
  }
}

TEST_F(MNDraw, TheSpacingRecordsTheExtentOverTheCountsNotTheDrawnInterval) {
  // 40 x 30 degrees in 4 columns and 3 rows: the spacing holds 10 and 10;
  // the lines are drawn 5 degrees apart (10 pixels at this scale).
  CGIS_MapElement* frame = Frame(region_, SGIS_DRect(100, 50, 140, 20), 1e-2, SGIS_Point(2000, 2000));
  Grid grid(md::test::NewMNGrid(frame));
  grid->SetLongitudeCount(3);
  const Drawn d = Draw(frame, grid.get());
  EXPECT_EQ(grid->GetGridSpacing()->GetXIntervalSize(), 10.0);
  EXPECT_EQ(grid->GetGridSpacing()->GetYIntervalSize(), 10.0);
  std::vector<double> meridians;
  for (const Stroke& s : d.lines) {
    if (s.points.front().x == s.points.back().x) meridians.push_back(s.points.front().x);
  }
  EXPECT_EQ(meridians, (std::vector<double>{200, 250, 300, 350, 400, 450, 500, 550, 600}));
  EXPECT_EQ(d.lines.size(), 9u + 7u);
}

TEST_F(MNDraw, OriginsRoundDownSoNoLineIsMissedWestOrSouth) {
  // West edge -117.3, south edge -37.5: the lines start from -120 and -40,
  // so the meridian at -115 and the parallel at -35 are drawn.
  CGIS_MapElement* frame =
      Frame(region_, SGIS_DRect(-117.3, -17.5, -97.3, -37.5), 1e-2, SGIS_Point(2000, 2000));
  Grid grid(md::test::NewMNGrid(frame));
  const Drawn d = Draw(frame, grid.get());
  std::vector<double> meridians, parallels;
  for (const Stroke& s : d.lines) {
    const bool vertical = s.points.front().x == s.points.back().x;
    (vertical ? meridians : parallels).push_back(vertical ? s.points.front().x : s.points.front().y);
  }
  // Pixel x = 200 + (lon + 117.3) * 10, y = 2800 - (lat + 37.5) * 10.
  EXPECT_EQ(meridians, (std::vector<double>{223, 273, 323, 373}));
  EXPECT_EQ(parallels, (std::vector<double>{2775, 2725, 2675, 2625}));
  EXPECT_EQ(grid->GetGridSpacing()->GetXOrigin(), -118.0);
  EXPECT_EQ(grid->GetGridSpacing()->GetYOrigin(), -38.0);
}

TEST_F(MNDraw, AStoredCountBelowOneDividesAsOne) {
  CGIS_MapElement* frame = Example();
  Grid grid(md::test::NewMNGrid(frame));
  IGIS_DataBuffer* stored = GIS_CreateDataBufferObject(0);
  md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  set->AddProperty("LatitudeCount", "LatitudeCount", GIS_FIELD_TYPE_INT, 1)->SetInt(0);
  set->Archive(stored, GIS_ARCHIVE_WRITE, 0);
  ASSERT_TRUE(grid->Open(stored));
  stored->Release();
  ASSERT_EQ(grid->GetLatitudeCount(), 0);
  const Drawn d = Draw(frame, grid.get());
  EXPECT_EQ(grid->GetGridSpacing()->GetXIntervalSize(), 10.0);
  EXPECT_EQ(grid->GetLatitudeCount(), 0);
  EXPECT_EQ(d.lines.size(), 6u);
}

TEST_F(MNDraw, TheDrawingEndsEarlyWithoutAFrameAMapOrDegrees) {
  {  // No frame: nothing, no record.
    Grid grid(new CGIS_GraticuleMNGrid());
    md::test::LogMark mark;
    EXPECT_FALSE(grid->OnDraw(printer_.hdc, true, printer_.display.get()));
    EXPECT_EQ(mark.Count(), 0u);
  }
  {  // A frame without a map.
    auto* frame = new CGIS_MapElement(set_, nullptr);
    frames_.push_back(frame);
    frame->SetRect(SGIS_Rect(2000, 12000, 12000, 2000));
    Grid grid(md::test::NewMNGrid(frame));
    md::test::LogMark mark;
    const Drawn d = Draw(frame, grid.get(), false);
    EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, kOnDraw, "m_pMapElement->GetMap( == NULL"));
    EXPECT_TRUE(printer_.canvas.records().empty());
  }
  {  // A map whose reference is of kind 0: nothing, not even the border.
    CGIS_MapElement* frame = Example();
    md::basilo::ReleasePtr<IGIS_SpatialReference> none(
        GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0));
    region_->GetSpatialReference()->CopyFrom(none.get());
    ASSERT_EQ(region_->GetSpatialReference()->GetKind(), GIS_SPATIALREFERENCE_NONE);
    Grid grid(md::test::NewMNGrid(frame));
    grid->SetBorder(
        md::basilo::ReleasePtr<IGIS_MapGridBorder>(md::layout::grid::CreateMapGridBorder(nullptr)).get());
    md::test::LogMark mark;
    Draw(frame, grid.get(), false);
    EXPECT_FALSE(mark.Has(GIS_LOG_LEVEL_CHECK, kOnDraw));
    EXPECT_TRUE(printer_.canvas.records().empty());
  }
}

TEST_F(MNDraw, ATinyExtentDrawsAFewLinesAtTheLastIntervalOfTheSearch) {
  // 2e-8 degrees a side: the search runs out at 5e-9 degrees; the lines
  // tried are those about the extent, not every one from the origins (110,
  // 30), so no pass comes near its cap.
  CGIS_MapElement* frame =
      Frame(region_, SGIS_DRect(110, 30 + 2e-8, 110 + 2e-8, 30), 2e-12, SGIS_Point(2000, 2000));
  Grid grid(md::test::NewMNGrid(frame));
  md::test::LogMark mark;
  const Drawn d = Draw(frame, grid.get());
  EXPECT_GE(d.lines.size(), 4u);
  EXPECT_LE(d.lines.size(), 20u);
  EXPECT_FALSE(mark.Has(GIS_LOG_LEVEL_CHECK, kOnDraw));
}

TEST_F(MNDraw, ScreensSampleLinesMoreCoarselyThanPrinters) {
  CGIS_MapElement* frame = WholeSheetFrame();
  Grid grid(md::test::NewMNGrid(frame));
  md::test::Screen screen;
  bool result = false;
  DrawGrid(screen, frame, grid.get(), &result);
  ASSERT_TRUE(result);
  const Drawn printed = Draw(frame, grid.get());
  std::size_t most = 0, mostPrinted = 0;
  for (const Stroke& s : md::test::StrokesOf(screen.canvas, kLineColor))
    most = std::max(most, s.points.size());
  for (const Stroke& s : printed.lines) mostPrinted = std::max(mostPrinted, s.points.size());
  EXPECT_GT(most, 2u);
  EXPECT_LE(most, 21u);
  EXPECT_GT(mostPrinted, 21u);
}

TEST_F(MNDraw, ATurnedSheetHasLinesInEveryCorner) {
  ASSERT_TRUE(sheet_->SetRotateAngle(30.0));
  CGIS_MapElement* frame = WholeSheetFrame();
  Grid grid(md::test::NewMNGrid(frame));
  const Drawn d = Draw(frame, grid.get());
  // The frame spans pixels 500..3000 x 500..2500; the lines of the sheet's
  // 4 x 4 grid lie about 400 pixels apart.
  for (const Point corner : {Point{500, 500}, Point{3000, 500}, Point{500, 2500}, Point{3000, 2500}}) {
    double nearest = 1e9;
    for (const Stroke& s : d.lines) {
      for (const Point& p : s.points) nearest = std::min(nearest, std::hypot(p.x - corner.x, p.y - corner.y));
    }
    EXPECT_LE(nearest, 400.0) << corner.x << ", " << corner.y;
  }
}

TEST_F(MNDraw, TheClipIsRestored) {
  CGIS_MapElement* frame = Example();
  Grid grid(md::test::NewMNGrid(frame));
  frame->OnDraw(printer_.hdc, true, printer_.display.get());
  EXPECT_TRUE(md::test::LeavesTheClipAsItWas(
      printer_.hdc, [&] { return grid->OnDraw(printer_.hdc, true, printer_.display.get()); }));
}

}  // namespace
