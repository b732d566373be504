// The figure of the graticule of fixed rows and columns, without a map:
// which lines are traced and over which stretch, held to the globe, in the
// drawing and in the conversion.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "layout/graphicelement/grid/graticulemn/graticulemnfigure.h"

namespace {

namespace mn = md::layout::graticulemn;
namespace grid = md::layout::grid;

// The coordinates of the lines of a set that are traced.
std::vector<double> Traced(const mn::LineSet& set) {
  std::vector<double> out;
  grid::GeoRun run;
  for (int i = 0; i < set.run.nCount; ++i) {
    if (set.RunAt(set.At(i), &run)) out.push_back(set.At(i));
  }
  return out;
}

TEST(GraticuleMNFigure, LinesAreTracedInTheirRangeAndHeldToTheGlobe) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // Parallels of 5 degrees between 60 and 100 north, from 0 to 40 east;
  // meridians of 10 degrees between 200 and 150 west, from 100 south to 120
  // north.
  const mn::LineSet parallels = mn::LineSet::Over(false, 60, 5, 60, 100, 100).Along(0, 40);
  const mn::LineSet meridians = mn::LineSet::Over(true, -200, 10, -200, -150, 100).Along(-100, 120);
  struct Row {
    const char* name;
    const mn::LineSet& set;
    double at;
    bool traced;
    SGIS_DPoint from, to;
  };
  const Row rows[] = {
      {"a parallel inside", parallels, 85, true, {0, 85}, {40, 85}},
      {"a parallel within an interval of the pole runs on it", parallels, 95, true, {0, 90}, {40, 90}},
      {"a parallel further north", parallels, 100, false, {}, {}},
      {"a parallel south of the range", parallels, 55, false, {}, {}},
      {"no coordinate", parallels, nan, false, {}, {}},
      {"a meridian within an interval of -180, its ends held to the poles",
       meridians,
       -185,
       true,
       {-180, -90},
       {-180, 90}},
      {"a meridian further west", meridians, -195, false, {}, {}},
      {"a meridian inside", meridians, -170, true, {-170, -90}, {-170, 90}},
  };
  for (const Row& r : rows) {
    grid::GeoRun run;
    ASSERT_EQ(r.set.RunAt(r.at, &run), r.traced) << r.name;
    if (!r.traced) continue;
    EXPECT_EQ(run.from.x, r.from.x) << r.name;
    EXPECT_EQ(run.from.y, r.from.y) << r.name;
    EXPECT_EQ(run.to.x, r.to.x) << r.name;
    EXPECT_EQ(run.to.y, r.to.y) << r.name;
  }
  // A stretch wholly beyond the globe is not traced.
  grid::GeoRun run;
  EXPECT_FALSE(parallels.Along(190, 200).RunAt(85, &run));
  EXPECT_FALSE(meridians.Along(95, 120).RunAt(-170, &run));
  // The run tries the lines about the range, one before and two past it.
  EXPECT_EQ(Traced(parallels), (std::vector<double>{60, 65, 70, 75, 80, 85, 90, 95}));
}

TEST(GraticuleMNFigure, DrawingAndConversionOfTheWorkedExample) {
  // 100 to 110 east, 20 to 30 north, 4 columns and 4 rows: interval 5 from
  // (100, 20). The conversion traces the parallels 20, 25, 30 (not 35) and
  // the meridians 100, 105, 110 over the extent itself; the drawing covers
  // two intervals more on every side and reaches further.
  const grid::FixedCountGraticule plan =
      grid::PlanFixedCountGraticule(SGIS_DRect(100, 30, 110, 20), 4, 4, 1.0);
  ASSERT_EQ(plan.Interval(), 5.0);
  const grid::FixedCountLines converted = grid::PlanFixedCountLines(plan, false, 0.0);
  const mn::Figure conversion = mn::ConversionFigure(converted, 1, 2);
  const mn::Figure drawing =
      mn::DrawingFigure(grid::PlanFixedCountLines(plan, true, 0.0), 1, 2, mn::kSamplesPlain);
  const mn::Figure halved = mn::ConversionFigure(converted, 2, 2);
  EXPECT_EQ(conversion.nSamples, mn::kSamplesClipping);
  EXPECT_EQ(drawing.nSamples, mn::kSamplesPlain);
  EXPECT_FALSE(conversion.bMarksInFrame);
  EXPECT_TRUE(drawing.bMarksInFrame);
  EXPECT_EQ(halved.dTick, 2.5);

  struct Row {
    const char* name;
    const mn::LineSet& set;
    std::vector<double> traced;
    double from, to;
  };
  using mn::kBottom, mn::kLeft, mn::kRight, mn::kTop;
  const Row rows[] = {
      {"conversion parallels", conversion.parallels, {20, 25, 30}, 95, 115},
      {"conversion meridians", conversion.meridians, {100, 105, 110}, 15, 35},
      {"conversion bottom ticks", conversion.ticks[kBottom], {100, 105, 110}, 15, 35},
      {"conversion top ticks", conversion.ticks[kTop], {100, 105, 110}, 35, 15},
      {"conversion left ticks", conversion.ticks[kLeft], {20, 25, 30}, 95, 115},
      {"conversion right ticks", conversion.ticks[kRight], {20, 25, 30}, 115, 95},
      {"conversion top sub-ticks", conversion.subTicks[kTop], {100, 105, 110}, 35, 15},
      {"conversion right sub-ticks", conversion.subTicks[kRight], {20, 25, 30}, 115, 95},
      {"conversion ticks at half the interval",
       halved.ticks[kBottom],
       {100, 102.5, 105, 107.5, 110},
       17.5,
       32.5},
      {"drawing parallels", drawing.parallels, {10, 15, 20, 25, 30, 35, 40}, 95, 140},
      {"drawing meridians", drawing.meridians, {90, 95, 100, 105, 110, 115, 120}, 15, 60},
      {"drawing bottom ticks", drawing.ticks[kBottom], {90, 95, 100, 105, 110, 115, 120}, 15, 45},
      {"drawing top ticks", drawing.ticks[kTop], {90, 95, 100, 105, 110, 115, 120}, 45, 15},
      {"drawing left ticks", drawing.ticks[kLeft], {10, 15, 20, 25, 30, 35, 40}, 85, 125},
      {"drawing right ticks", drawing.ticks[kRight], {10, 15, 20, 25, 30, 35, 40}, 125, 85},
      {"drawing left sub-ticks", drawing.subTicks[kLeft], {10, 15, 20, 25, 30, 35, 40}, 95, 125},
      {"drawing right sub-ticks", drawing.subTicks[kRight], {10, 15, 20, 25, 30, 35, 40}, 125, 95},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(Traced(r.set), r.traced) << r.name;
    EXPECT_EQ(r.set.dFrom, r.from) << r.name;
    EXPECT_EQ(r.set.dTo, r.to) << r.name;
  }
}

TEST(GraticuleMNFigure, LinesOnTheExtentsEdgesAreTracedThoughTheirSumsRound) {
  // 0 to 0.6 degrees, 4 columns and rows: interval 0.1, and the seventh line
  // sums to 0.6000000000000001, past the east and north edges.
  const grid::FixedCountGraticule plan = grid::PlanFixedCountGraticule(SGIS_DRect(0, 0.6, 0.6, 0), 4, 4, 1.0);
  ASSERT_EQ(plan.Interval(), 0.1);
  const mn::Figure conversion = mn::ConversionFigure(grid::PlanFixedCountLines(plan, false, 0.0), 1, 2);
  for (const mn::LineSet* set : {&conversion.meridians, &conversion.parallels, &conversion.ticks[mn::kTop]}) {
    const std::vector<double> traced = Traced(*set);
    ASSERT_EQ(traced.size(), 7u);
    EXPECT_DOUBLE_EQ(traced.back(), 0.6);
  }
}

}  // namespace
