// The figure of the measured grid, walked over a frame whose coordinates are
// the grid's own: which lines, crossings, ticks and sub-ticks there are, in
// which order, where the ticks are taken, and the caps.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/calcora/igis_geoarithmetic.h"
#include "layout/graphicelement/grid/measure/measuregridwalk.h"
#include "tests/support/logmark.h"

namespace {

using md::layout::grid::GridRunRounding;
using md::layout::measure::GridSide;
using md::layout::measure::MeasureGridParts;
using md::layout::measure::MeasureGridPlan;
using md::layout::measure::MeasureLineTracer;
using md::layout::measure::PlanMeasureGrid;

constexpr GridRunRounding kDrawing = GridRunRounding::kQuotientFirst;
constexpr GridRunRounding kConversion = GridRunRounding::kMarginFirst;

// One thing the walk handed on.
struct Event {
  char kind;  // 'L' line, 'M' mark, 'T' tick, 'S' sub-tick
  GridSide side = GridSide::kBottom;
  std::vector<SGIS_Point> points;  // a line's points, or the tick's crossing
  SGIS_DPoint grid;                // a mark's crossing
};

class Recorder final : public md::layout::measure::MeasureGridSink {
 public:
  void OnLine(const SGIS_Point* p, int n) override {
    events.push_back({'L', GridSide::kBottom, {p, p + n}, {}});
  }
  void OnMark(SGIS_DPoint g) override { events.push_back({'M', GridSide::kBottom, {}, g}); }
  void OnTick(GridSide side, bool bSub, SGIS_Point c) override {
    events.push_back({bSub ? 'S' : 'T', side, {c}, {}});
  }
  // The kinds in order, runs of one kind and side written once ("L T0 T1 ...").
  std::string Outline() const {
    std::string s, last;
    for (const Event& e : events) {
      std::string k(1, e.kind);
      if (e.kind == 'T' || e.kind == 'S') k += std::to_string(static_cast<int>(e.side));
      if (k != last) s += (s.empty() ? "" : " ") + k;
      last = k;
    }
    return s;
  }
  // The x of vertical lines (constant x) or y of horizontal ones.
  std::vector<int> LineCoordinates(bool bVertical) const {
    std::vector<int> out;
    for (const Event& e : events) {
      if (e.kind != 'L') continue;
      const bool vertical = e.points.front().x == e.points.back().x;
      if (vertical == bVertical) out.push_back(bVertical ? e.points.front().x : e.points.front().y);
    }
    return out;
  }
  // Where the ticks of a side stand along it.
  std::vector<int> Ticks(char kind, GridSide side) const {
    std::vector<int> out;
    for (const Event& e : events) {
      if (e.kind != kind || e.side != side) continue;
      const bool vertical = side == GridSide::kBottom || side == GridSide::kTop;
      out.push_back(vertical ? e.points[0].x : e.points[0].y);
    }
    return out;
  }
  std::vector<Event> events;
};

MeasureGridParts AllParts(bool bLines) {
  MeasureGridParts parts;
  parts.bLines = bLines;
  parts.bMarks = !bLines;
  for (int s = 0; s < 4; ++s) parts.ticks[s] = parts.subTicks[s] = true;
  return parts;
}

// Walks the plan over a frame equal to its extent (rounded), the grid's
// coordinates carried unchanged.
Recorder Walk(const MeasureGridPlan& plan, const MeasureGridParts& parts, int nSegments = 20,
              SGIS_Rect frame = SGIS_Rect()) {
  md::basilo::ReleasePtr<IGIS_GeoArithmetic> g(GIS_CreateGeoArithmeticObject());
  if (frame == SGIS_Rect()) {
    const SGIS_Point ll = SGIS_Point::FromDoubles(plan.extent.x1, plan.extent.y2);
    const SGIS_Point ur = SGIS_Point::FromDoubles(plan.extent.x2, plan.extent.y1);
    frame = SGIS_Rect(ll.x, ur.y, ur.x, ll.y);
  }
  MeasureLineTracer tracer(g.get(), frame, nSegments, nullptr);
  Recorder r;
  md::layout::grid::CGIS_GridCapRecord caps("CGIS_MeasureGrid::OnDraw");
  md::layout::measure::WalkMeasureGrid(plan, parts, tracer, r, caps);
  return r;
}

std::vector<int> Range(int from, int to, int step) {
  std::vector<int> v;
  for (int x = from; x <= to; x += step) v.push_back(x);
  return v;
}

struct CountRow {
  const char* name;
  GridRunRounding rounding;
  double x1, x2, interval;
  int count, first;
  std::vector<int> columns;  // the columns drawn
};

TEST(MeasureGridWalk, CountsFirstIndicesAndTheColumnsDrawn) {
  const CountRow rows[] = {
      {"drawing, 500..10500", kDrawing, 500, 10500, 1000, 15, -1, Range(1000, 10000, 1000)},
      {"conversion, 500..10500", kConversion, 500, 10500, 1000, 15, -2, Range(1000, 10000, 1000)},
      {"drawing, narrower than one interval", kDrawing, 1200, 1500, 1000, 5, -1, {}},
      {"conversion, narrower than one interval", kConversion, 1200, 1500, 1000, 5, -1, {}},
      {"drawing, lines on both edges", kDrawing, 1000, 3000, 1000, 7, -1, {1000, 2000, 3000}},
      {"conversion, lines just outside both edges", kConversion, 1000.5, 2999.5, 1000, 7, -1, {2000}},
      // Edges carried a rounding away from their lines still have them on them.
      {"drawing, edges rounded inwards",
       kDrawing,
       1000.0000000000002,
       2999.9999999999995,
       1000,
       7,
       -1,
       {1000, 2000, 3000}},
  };
  for (const CountRow& r : rows) {
    SCOPED_TRACE(r.name);
    const MeasureGridPlan plan =
        PlanMeasureGrid(SGIS_DRect(r.x1, 4000, r.x2, 0), r.interval, 1000, 1, 2, r.rounding);
    EXPECT_EQ(plan.columns.nCount, r.count);
    EXPECT_EQ(plan.columns.nFirst, r.first);
    EXPECT_EQ(Walk(plan, AllParts(true)).LineCoordinates(true), r.columns);
  }
}

TEST(MeasureGridWalk, OrderOfLinesTicksAndSubTicks) {
  const MeasureGridPlan plan =
      PlanMeasureGrid(SGIS_DRect(500, 4500, 3500, 500), 1000, 1000, 1, 2, kConversion);
  const Recorder lines = Walk(plan, AllParts(true));
  EXPECT_EQ(lines.Outline(), "L T0 T1 T2 T3 S0 S1 S2 S3");
  // Rows first (bottom to top), then columns (left to right).
  EXPECT_EQ(lines.LineCoordinates(false), Range(1000, 4000, 1000));
  EXPECT_EQ(lines.LineCoordinates(true), Range(1000, 3000, 1000));
  EXPECT_EQ(lines.events.front().points.front(), SGIS_Point(500, 1000));  // rows run left to right
  const Recorder marks = Walk(plan, AllParts(false));
  EXPECT_EQ(marks.Outline(), "M T0 T1 T2 T3 S0 S1 S2 S3");
  // Column by column, bottom to top.
  ASSERT_GE(marks.events.size(), 13u);
  EXPECT_EQ(marks.events[0].grid, SGIS_DPoint(1000, 1000));
  EXPECT_EQ(marks.events[1].grid, SGIS_DPoint(1000, 2000));
  EXPECT_EQ(marks.events[4].grid, SGIS_DPoint(2000, 1000));
  EXPECT_EQ(marks.events[11].grid, SGIS_DPoint(3000, 4000));
  EXPECT_EQ(marks.events[12].kind, 'T');
}

struct TickRow {
  const char* name;
  GridRunRounding rounding;
  double x1, x2;
  int division, subCount;
  std::vector<int> ticks, subTicks;
};

TEST(MeasureGridWalk, TicksAndSubTicksInsideTheExtent) {
  const TickRow rows[] = {
      {"four sub-intervals", kDrawing, 900, 2100, 1, 4, {1000, 2000}, {1250, 1500, 1750}},
      // Every tick of the extent, whatever the sub-tick count.
      {"drawing, no sub-ticks, 1400..11400", kDrawing, 1400, 11400, 1, 0, Range(2000, 11000, 1000), {}},
      {"conversion, no sub-ticks, 1400..11400", kConversion, 1400, 11400, 1, 0, Range(2000, 11000, 1000), {}},
      {"negative sub-tick count", kConversion, 1400, 3400, 1, -3, {2000, 3000}, {}},
  };
  for (const TickRow& r : rows) {
    SCOPED_TRACE(r.name);
    const MeasureGridPlan plan =
        PlanMeasureGrid(SGIS_DRect(r.x1, 1000, r.x2, 0), 1000, 1000, r.division, r.subCount, r.rounding);
    const Recorder rec = Walk(plan, AllParts(true));
    EXPECT_EQ(rec.Ticks('T', GridSide::kBottom), r.ticks);
    EXPECT_EQ(rec.Ticks('T', GridSide::kTop), r.ticks);
    EXPECT_EQ(rec.Ticks('S', GridSide::kBottom), r.subTicks);
    EXPECT_EQ(rec.Ticks('S', GridSide::kTop), r.subTicks);
    // The tick division leaves the grid lines alone.
    EXPECT_EQ(rec.LineCoordinates(true), Range(static_cast<int>((r.x1 + 999) / 1000) * 1000,
                                               static_cast<int>(r.x2 / 1000) * 1000, 1000));
  }
}

TEST(MeasureGridWalk, ACrossingCountsByItsRoundedCoordinates) {
  // The crossing at x = 3 * 333.2 = 999.6 lies left of the extent's 999.8 but
  // rounds to 1000, inside it.
  const MeasureGridPlan plan =
      PlanMeasureGrid(SGIS_DRect(999.8, 1000, 1200, 0), 333.2, 1000, 1, 2, kConversion);
  MeasureGridParts parts;
  parts.bMarks = true;
  const Recorder r = Walk(plan, parts);
  std::set<double> xs;
  for (const Event& e : r.events) xs.insert(e.grid.x);
  ASSERT_EQ(xs.size(), 1u);
  EXPECT_NEAR(*xs.begin(), 999.6, 1e-9);
}

TEST(MeasureGridWalk, TicksCarryTheirLinesOnlyUpToTheFrame) {
  // 0..10000 at 1000, lines of 200 segments over 12000 units: a tick line
  // meets the frame after 17 of its samples from either end; the whole line
  // has 201. The crossings are those of the whole line.
  const MeasureGridPlan plan = PlanMeasureGrid(SGIS_DRect(0, 10000, 10000, 0), 1000, 1000, 1, 2, kDrawing);
  md::basilo::ReleasePtr<IGIS_GeoArithmetic> g(GIS_CreateGeoArithmeticObject());
  for (int side = 0; side < 4; ++side) {
    for (bool sub : {false, true}) {
      SCOPED_TRACE(std::to_string(side) + (sub ? " sub-ticks" : " ticks"));
      MeasureGridParts parts;
      (sub ? parts.subTicks : parts.ticks)[side] = true;
      long long carried = 0;
      MeasureLineTracer tracer(g.get(), SGIS_Rect(0, 10000, 10000, 0), 200, [&carried](SGIS_DPoint*) {
        ++carried;
        return true;
      });
      Recorder r;
      md::layout::grid::CGIS_GridCapRecord caps("CGIS_MeasureGrid::OnDraw");
      md::layout::measure::WalkMeasureGrid(plan, parts, tracer, r, caps);
      const std::vector<int> at = r.Ticks(sub ? 'S' : 'T', static_cast<GridSide>(side));
      EXPECT_EQ(at, sub ? Range(500, 9500, 1000) : Range(0, 10000, 1000));
      EXPECT_LE(carried, 40 * static_cast<long long>(at.size()));
    }
  }
}

TEST(MeasureGridWalk, PassesBeyondTheirCapsAreCutWithOneRecord) {
  {
    md::test::LogMark mark;
    // 1e6 lines each way: more than one pass lays, so neither run has
    // lines nor are there crossings to mark; one record.
    const MeasureGridPlan plan = PlanMeasureGrid(SGIS_DRect(0, 1e6, 1e6, 0), 1, 1, 1, 2, kDrawing);
    EXPECT_TRUE(plan.columns.bOverBudget);
    EXPECT_EQ(plan.columns.nCount, 0);
    MeasureGridParts parts;
    parts.bMarks = true;
    const Recorder r = Walk(plan, parts, 1);
    EXPECT_TRUE(r.events.empty());
    EXPECT_EQ(mark.Count(), 1u);
    EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_MeasureGrid::OnDraw",
                         "lines capped at 0: 1000005 of them, more than the 500 one pass lays"));
  }
  {
    md::test::LogMark mark;
    // 40000 sub-intervals between two ticks: the side tries two tick
    // intervals left of the extent (79998 sub-ticks), then stops at its cap
    // after 20002 sub-ticks inside it.
    const MeasureGridPlan plan = PlanMeasureGrid(SGIS_DRect(0, 10, 2000, 0), 1000, 1000, 1, 40000, kDrawing);
    MeasureGridParts parts;
    parts.subTicks[0] = true;
    const Recorder r = Walk(plan, parts, 1);
    EXPECT_EQ(r.events.size(), 20002u);
    EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_MeasureGrid::OnDraw", "sub-ticks capped at 100000"));
  }
}

}  // namespace
