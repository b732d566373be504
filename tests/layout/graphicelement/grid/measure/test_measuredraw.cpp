// The measured grid's drawing over map frames of the sample maps on a
// recording printer page (1 pixel = 10 page units; page point (x, y) is
// pixel (x / 10, (30000 - y) / 10)): where lines, marks, ticks and sub-ticks
// fall, what each setting changes, the failures and the clip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/helmora/igis_mainobject.h"
#include "host/helmora/igis_mapview.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"
#include "platform/win/wingdi.h"
#include "tests/layout/graphicelement/grid/measure/measuretest.h"
#include "tests/support/logmark.h"

namespace {

using md::canvas::Point;
using md::test::kLineColor;
constexpr COLORREF kBorderColor = RGB(250, 160, 0);
using md::test::kMarkColor;
using md::test::kSubTickColor;
using md::test::kTickColor;
using md::test::MeasurePage;
using md::test::Printer;
using md::test::Stroke;
using md::test::StrokesOf;

using Grid = md::basilo::ReleasePtr<IGIS_MeasureGrid>;

// The sheet frame spans pixels x 200..2200, y 1200..2800; kilometre lines
// lie 200 pixels apart.
constexpr double kLeft = 200, kRight = 2200, kTop = 1200, kBottom = 2800;

bool IsVertical(const Stroke& s) { return s.points.front().x == s.points.back().x; }

// The x of vertical strokes and the y of horizontal ones, in drawing order.
std::vector<double> Positions(const std::vector<Stroke>& strokes, bool bVertical) {
  std::vector<double> out;
  for (const Stroke& s : strokes) {
    if (IsVertical(s) == bVertical) out.push_back(bVertical ? s.points.front().x : s.points.front().y);
  }
  return out;
}

std::vector<double> Steps(double from, double to, double step) {
  std::vector<double> v;
  for (double x = from; step > 0 ? x <= to + 1e-9 : x >= to - 1e-9; x += step) v.push_back(x);
  return v;
}

class MeasureDraw : public MeasurePage {
 protected:
  // Draws a grid over the sheet frame on the printer.
  bool DrawSheetGrid(IGIS_MeasureGrid* grid) {
    bool result = false;
    DrawGrid(printer_, frame_, grid, &result);
    return result;
  }
  void SetUp() override {
    MeasurePage::SetUp();
    frame_ = SheetFrame();
  }
  CGIS_MapElement* frame_ = nullptr;
  Printer printer_;
};

TEST_F(MeasureDraw, KilometreLinesOverTheSheetAreStraightAndEvenlySpaced) {
  Grid grid(md::test::NewMeasureGrid(frame_));
  ASSERT_TRUE(DrawSheetGrid(grid.get()));
  const std::vector<Stroke> lines = StrokesOf(printer_.canvas, kLineColor);
  // Rows from the bottom (N 4416000) up, then columns from the left (E 420000).
  EXPECT_EQ(Positions(lines, false), Steps(kBottom, kTop, -200));
  EXPECT_EQ(Positions(lines, true), Steps(kLeft, kRight, 200));
  ASSERT_EQ(lines.size(), 20u);
  for (const Stroke& s : lines) {
    for (const Point& p : s.points) {
      // Straight: every point on the line's own x or y, within the frame.
      if (IsVertical(s)) {
        EXPECT_EQ(p.x, s.points.front().x);
      } else {
        EXPECT_EQ(p.y, s.points.front().y);
      }
      EXPECT_TRUE(kLeft <= p.x && p.x <= kRight && kTop <= p.y && p.y <= kBottom);
    }
    // Each runs from edge to edge.
    if (IsVertical(s)) {
      EXPECT_EQ(s.points.front().y, kBottom);
      EXPECT_EQ(s.points.back().y, kTop);
    } else {
      EXPECT_EQ(s.points.front().x, kLeft);
      EXPECT_EQ(s.points.back().x, kRight);
    }
  }
}

TEST_F(MeasureDraw, TicksPointOutwardWithSubTicksHalfway) {
  Grid grid(md::test::NewMeasureGrid(frame_));
  ASSERT_TRUE(DrawSheetGrid(grid.get()));
  const std::vector<Stroke> ticks = StrokesOf(printer_.canvas, kTickColor);
  const std::vector<Stroke> subTicks = StrokesOf(printer_.canvas, kSubTickColor);
  // 11 columns at the bottom and top, 9 rows at the left and right.
  ASSERT_EQ(ticks.size(), 40u);
  ASSERT_EQ(subTicks.size(), 36u);  // 10 and 8 intervals
  // Bottom ticks: from the frame's bottom edge 200 page units (20 pixels) down.
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(ticks[i].points.front(), (Point{kLeft + 200 * i, kBottom}));
    EXPECT_EQ(ticks[i].points.back(), (Point{kLeft + 200 * i, kBottom + 20}));
    EXPECT_EQ(ticks[11 + i].points.back(), (Point{kLeft + 200 * i, kTop - 20}));  // top
  }
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(ticks[22 + i].points.back(), (Point{kLeft - 20, kBottom - 200 * i}));   // left
    EXPECT_EQ(ticks[31 + i].points.back(), (Point{kRight + 20, kBottom - 200 * i}));  // right
  }
  // Sub-ticks 100 page units long, halfway between the ticks.
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(subTicks[i].points.front(), (Point{kLeft + 100 + 200 * i, kBottom}));
    EXPECT_EQ(subTicks[i].points.back(), (Point{kLeft + 100 + 200 * i, kBottom + 10}));
  }
  EXPECT_EQ(subTicks[35].points.back(), (Point{kRight + 10, kTop + 100}));
}

struct SettingRow {
  const char* name;
  int gridlineType, subTickCount, tickDivision;
  double tickLength;
  std::size_t lines, ticks, subTicks, marks;
};

TEST_F(MeasureDraw, WhatEachSettingDraws) {
  const SettingRow rows[] = {
      {"defaults", 1, 2, 1, 200, 20, 40, 36, 0},
      {"no lines or marks: ticks stay", 0, 2, 1, 200, 0, 40, 36, 0},
      {"marks at every crossing, the frame's edges included", 2, 2, 1, 200, 0, 40, 36, 99},
      {"one sub-interval: no sub-ticks", 1, 1, 1, 200, 20, 40, 0, 0},
      {"no sub-intervals", 1, 0, 1, 200, 20, 40, 0, 0},
      {"three sub-intervals", 1, 3, 1, 200, 20, 40, 72, 0},
      {"tick division 2 doubles the ticks only", 1, 2, 2, 200, 20, 76, 72, 0},
      {"a tick length that is not finite draws no ticks", 1, 2, 1, NAN, 20, 0, 36, 0},
  };
  for (const SettingRow& r : rows) {
    SCOPED_TRACE(r.name);
    Grid grid(md::test::NewMeasureGrid(frame_));
    grid->SetGridlineType(r.gridlineType);
    grid->SetSubTickCount(r.subTickCount);
    grid->SetTickDivision(r.tickDivision);
    grid->SetTickLength(r.tickLength);
    ASSERT_TRUE(DrawSheetGrid(grid.get()));
    EXPECT_EQ(StrokesOf(printer_.canvas, kLineColor).size(), r.lines);
    EXPECT_EQ(StrokesOf(printer_.canvas, kTickColor).size(), r.ticks);
    EXPECT_EQ(StrokesOf(printer_.canvas, kSubTickColor).size(), r.subTicks);
    EXPECT_EQ(md::test::MarksOf(printer_.canvas, kMarkColor).size(), r.marks);
  }
}

TEST_F(MeasureDraw, NegativeTickLengthsPointInward) {
  Grid grid(md::test::NewMeasureGrid(frame_));
  grid->SetTickLength(-200);
  grid->SetSubTickLength(-100);
  ASSERT_TRUE(DrawSheetGrid(grid.get()));
  const std::vector<Stroke> ticks = StrokesOf(printer_.canvas, kTickColor);
  ASSERT_EQ(ticks.size(), 40u);
  EXPECT_EQ(ticks[0].points.back(), (Point{kLeft, kBottom - 20}));
  EXPECT_EQ(ticks[39].points.back(), (Point{kRight - 20, kTop}));
  EXPECT_EQ(StrokesOf(printer_.canvas, kSubTickColor)[0].points.back(), (Point{kLeft + 100, kBottom - 10}));
}

TEST_F(MeasureDraw, AZeroXIntervalIsRecordedAndDrawsOnlyRows) {
  Grid grid(md::test::NewMeasureGrid(frame_));
  grid->GetGridSpacing()->SetXIntervalSize(0.0);
  grid->SetGridlineType(2);
  md::test::LogMark mark;
  ASSERT_TRUE(DrawSheetGrid(grid.get()));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_SYMBOL, "CGIS_MeasureGrid.OnDraw", "X_interval == 0"));
  EXPECT_TRUE(md::test::MarksOf(printer_.canvas, kMarkColor).empty());
  // Left and right ticks only; rows still draw as lines.
  const std::vector<Stroke> ticks = StrokesOf(printer_.canvas, kTickColor);
  EXPECT_EQ(ticks.size(), 18u);
  for (const Stroke& s : ticks) EXPECT_FALSE(IsVertical(s));
  grid->SetGridlineType(1);
  ASSERT_TRUE(DrawSheetGrid(grid.get()));
  const std::vector<Stroke> lines = StrokesOf(printer_.canvas, kLineColor);
  EXPECT_TRUE(Positions(lines, true).empty());
  EXPECT_EQ(Positions(lines, false).size(), 9u);

  grid->GetGridSpacing()->SetXIntervalSize(1000.0);
  grid->GetGridSpacing()->SetYIntervalSize(-5.0);
  md::test::LogMark yMark;
  ASSERT_TRUE(DrawSheetGrid(grid.get()));
  EXPECT_TRUE(yMark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_MeasureGrid::OnDraw", "Y_interval == 0"));
  EXPECT_EQ(Positions(StrokesOf(printer_.canvas, kLineColor), false).size(), 0u);
}

TEST_F(MeasureDraw, IntervalsInTheSpacingsUnit) {
  // 2 km in kilometres (linear unit 1): every other line of the default grid.
  Grid grid(md::test::NewMeasureGrid(frame_));
  grid->GetGridSpacing()->SetUnits(1);
  grid->GetGridSpacing()->SetXIntervalSize(2.0);
  grid->GetGridSpacing()->SetYIntervalSize(2.0);
  ASSERT_TRUE(DrawSheetGrid(grid.get()));
  const std::vector<Stroke> lines = StrokesOf(printer_.canvas, kLineColor);
  EXPECT_EQ(Positions(lines, true), Steps(kLeft, kRight, 400));
  EXPECT_EQ(Positions(lines, false), Steps(kBottom, kTop, -400));
}

TEST_F(MeasureDraw, WithoutAMapOnlyTheBorderAndLabelsAndWithoutAFrameNothing) {
  CGIS_MapElement* empty = Frame(sheet_, SGIS_DRect(420000, 4424000, 430000, 4416000), 0.5, {2000, 2000});
  empty->SetMap(nullptr);
  Grid grid(md::test::NewMeasureGrid(empty));
  md::basilo::ReleasePtr<IGIS_Symbol> band(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE));
  band->SetColor(kBorderColor);
  grid->GetBorder()->SetSimpleSymbolPtr(band.get());
  md::test::LogMark mark;
  bool result = true;
  DrawGrid(printer_, empty, grid.get(), &result);
  EXPECT_FALSE(result);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_MeasureGrid::OnDraw", "p_map == NULL"));
  EXPECT_FALSE(StrokesOf(printer_.canvas, kBorderColor).empty());
  EXPECT_TRUE(StrokesOf(printer_.canvas, kLineColor).empty());
  EXPECT_TRUE(StrokesOf(printer_.canvas, kTickColor).empty());

  grid->SetMapElement(nullptr);
  printer_.canvas.clear();
  EXPECT_FALSE(grid->OnDraw(printer_.hdc, true, printer_.display.get()));
  EXPECT_TRUE(printer_.canvas.records().empty());
}

TEST_F(MeasureDraw, MarksWithoutAMarkSymbolDrawNothing) {
  Grid grid(md::test::NewMeasureGrid(frame_));
  grid->SetGridlineType(2);
  grid->SetMarkSymbol(nullptr);
  md::test::LogMark mark;
  ASSERT_TRUE(DrawSheetGrid(grid.get()));
  EXPECT_TRUE(md::test::MarksOf(printer_.canvas, kMarkColor).empty());
  EXPECT_EQ(StrokesOf(printer_.canvas, kTickColor).size(), 40u);
  EXPECT_EQ(mark.Count(), 0u);
}

// Stored values a setter would refuse or that no drawing can use.
struct StoredRow {
  const char* name;
  double xInterval, yInterval;
  int subTickCount, tickDivision;
  double subTickLength;
  bool capped;
};

TEST_F(MeasureDraw, StoredExtremesDrawWithinTheCaps) {
  const double nan = std::nan(""), inf = INFINITY;
  const StoredRow rows[] = {
      {"intervals not a number", nan, nan, 2, 1, 100, false},
      {"infinite intervals", inf, inf, 2, 1, 100, false},
      {"a millimetre interval: capped lines", 0.001, 1000, 2, 1, 100, true},
      {"a tick division of a million: capped ticks", 1000, 1000, 2, 1000000, 100, true},
      {"a micrometre interval 420 km out, beyond 32-bit indices: capped lines", 1e-6, 1e-6, 2, 1, 100, true},
      {"ticks beyond the 32-bit range: capped ticks", 1000, 1000, 2, 2000000000, 100, true},
      {"the largest sub-tick count: capped sub-ticks", 1000, 1000, 2147483647, 1, 100, true},
      {"a sub-tick length that is not a number", 1000, 1000, 2, 1, nan, false},
  };
  for (const StoredRow& r : rows) {
    SCOPED_TRACE(r.name);
    Grid grid(md::test::NewMeasureGrid(frame_));
    grid->GetGridSpacing()->SetXIntervalSize(r.xInterval);
    grid->GetGridSpacing()->SetYIntervalSize(r.yInterval);
    grid->SetSubTickCount(r.subTickCount);
    grid->SetTickDivision(r.tickDivision);
    grid->SetSubTickLength(r.subTickLength);
    md::test::LogMark mark;
    ASSERT_TRUE(DrawSheetGrid(grid.get()));
    int capped = 0;
    for (const SGIS_LogRecord& rec : mark.Records()) {
      capped += rec.method == "CGIS_MeasureGrid::OnDraw" && rec.text.find("capped at") != std::string::npos;
    }
    EXPECT_EQ(capped, r.capped ? 1 : 0);
    if (!std::isfinite(r.subTickLength)) {
      EXPECT_TRUE(StrokesOf(printer_.canvas, kSubTickColor).empty());
    }
  }
}

TEST_F(MeasureDraw, OnAScreenLinesTakeTwentySegments) {
  // On the region in degrees the lines bend, so their samples stay apart.
  CGIS_MapElement* frame = Frame(region_, SGIS_DRect(116.0, 40.0, 118.0, 38.5), 1e-4, SGIS_Point(2000, 2000));
  Grid grid(md::test::NewMeasureGrid(frame));
  grid->GetGridSpacing()->SetXIntervalSize(20000);
  grid->GetGridSpacing()->SetYIntervalSize(20000);
  bool result = false;
  md::test::Screen screen;
  DrawGrid(screen, frame, grid.get(), &result);
  ASSERT_TRUE(result);
  DrawGrid(printer_, frame, grid.get(), &result);
  ASSERT_TRUE(result);
  std::size_t most = 0, mostPrinted = 0;
  for (const Stroke& s : StrokesOf(screen.canvas, kLineColor)) most = std::max(most, s.points.size());
  for (const Stroke& s : StrokesOf(printer_.canvas, kLineColor))
    mostPrinted = std::max(mostPrinted, s.points.size());
  EXPECT_GT(most, 5u);
  EXPECT_LE(most, 21u);
  EXPECT_GT(mostPrinted, 21u);
}

TEST_F(MeasureDraw, TheClipIsRestored) {
  Grid grid(md::test::NewMeasureGrid(frame_));
  frame_->OnDraw(printer_.hdc, true, printer_.display.get());
  EXPECT_TRUE(md::test::LeavesTheClipAsItWas(
      printer_.hdc, [&] { return grid->OnDraw(printer_.hdc, true, printer_.display.get()); }));
}

TEST_F(MeasureDraw, ATurnedMapStillHasLinesInEveryCorner) {
  sheet_->SetRotateAngle(45.0);
  Grid grid(md::test::NewMeasureGrid(frame_));
  ASSERT_TRUE(DrawSheetGrid(grid.get()));
  const std::vector<Stroke> lines = StrokesOf(printer_.canvas, kLineColor);
  // Each corner lies within half a cell's diagonal (about 141 pixels) of a line.
  for (const Point corner :
       {Point{kLeft, kTop}, Point{kRight, kTop}, Point{kLeft, kBottom}, Point{kRight, kBottom}}) {
    double nearest = 1e9;
    for (const Stroke& s : lines) {
      for (std::size_t i = 1; i < s.points.size(); ++i) {
        const Point a = s.points[i - 1], b = s.points[i];
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double len2 = dx * dx + dy * dy;
        const double t =
            len2 > 0 ? std::clamp(((corner.x - a.x) * dx + (corner.y - a.y) * dy) / len2, 0.0, 1.0) : 0;
        nearest = std::min(nearest, std::hypot(a.x + t * dx - corner.x, a.y + t * dy - corner.y));
      }
    }
    EXPECT_LE(nearest, 142.0) << corner.x << ", " << corner.y;
  }
}

}  // namespace
