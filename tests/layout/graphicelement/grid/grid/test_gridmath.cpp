// The arithmetic the grid kinds and labels share: the interval search of
// the graticule of fixed rows and columns, whole-interval origins, the page
// mapping of map points and the caps of one drawing.
#include <cmath>
#include <limits>

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/grid/grid/gridmath.h"
#include "tests/layout/graphicelement/grid/grid/gridtest.h"
#include "tests/support/logmark.h"

namespace {

namespace grid = md::layout::grid;

TEST(GridMath, FixedCountIntervalSearch) {
  struct Row {
    double width, height;
    int columns, rows;
    double column, row, interval;
  };
  const Row rows[] = {
      {40, 30, 4, 4, 10, 5, 5},          {120, 60, 4, 4, 10, 25, 10},    {5, 5, 4, 4, 1, 2.5, 1},
      {0.3, 0.2, 4, 4, 0.1, 0.05, 0.05}, {0, 0, 4, 4, 5e-9, 5e-9, 5e-9}, {20, 20, 0, -2, 10, 5, 5},
  };
  for (const Row& r : rows) {
    const grid::FixedCountIntervals found =
        grid::SearchFixedCountIntervals(r.width, r.height, r.columns, r.rows);
    EXPECT_NEAR(found.dColumn, r.column, r.column * 1e-9) << r.width << " x " << r.height;
    EXPECT_NEAR(found.dRow, r.row, r.row * 1e-9) << r.width << " x " << r.height;
    EXPECT_NEAR(found.dInterval, r.interval, r.interval * 1e-9) << r.width << " x " << r.height;
  }
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_NEAR(grid::SearchFixedCountIntervals(nan, nan, 4, 4).dInterval, 5e-9, 1e-18);
}

TEST(GridMath, WholeIntervalStartsRoundDown) {
  struct Row {
    double value, interval, origin, expected;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Row rows[] = {
      {-117.3, 10, 0, -120}, {117.3, 10, 0, 110}, {120, 10, 0, 120}, {-120, 10, 0, -120}, {7, 5, 1, 6},
      {-0.5, 1, 0, -1},      {42, 0, 0, 42},      {42, -3, 0, 42},   {42, inf, 0, 42},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(grid::WholeIntervalStart(r.value, r.interval, r.origin), r.expected)
        << r.value << " / " << r.interval;
  }
}

TEST(GridMath, MapPointsMapOntoTheFrameFromTheBoundsLowerLeft) {
  struct Row {
    double mx, my, scale;
    SGIS_Point expected;
  };
  // Bound x 1000..4000, y 2000 (bottom)..3500; frame from (100, 200).
  SGIS_DRect bound;
  bound.x1 = 1000;
  bound.x2 = 4000;
  bound.y1 = 3500;
  bound.y2 = 2000;
  const SGIS_Rect frame(100, 1700, 3100, 200);
  const Row rows[] = {
      {1000, 2000, 2.0, SGIS_Point(100, 200)},  {4000, 3500, 2.0, SGIS_Point(1600, 950)},
      {1001, 2001, 2.0, SGIS_Point(101, 201)},  {999, 1999, 2.0, SGIS_Point(100, 200)},
      {997, 1997, 2.0, SGIS_Point(99, 199)},    {1500, 2500, 0.0, SGIS_Point(600, 700)},
      {1500, 2500, -1.0, SGIS_Point(600, 700)},
  };
  for (const Row& r : rows) {
    const SGIS_Point p = grid::MapPointToPage(r.mx, r.my, bound, r.scale, frame);
    EXPECT_EQ(p.x, r.expected.x) << r.mx << " " << r.scale;
    EXPECT_EQ(p.y, r.expected.y) << r.my << " " << r.scale;
  }
}

TEST(GridMath, CountsAreCappedWithOneRecordPerDrawing) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(grid::StepCount(0, 100, 10), 11.0);
  EXPECT_EQ(grid::StepCount(0, 99.9, 10), 10.0);
  EXPECT_EQ(grid::StepCount(5, 4, 1), 0.0);
  EXPECT_EQ(grid::StepCount(0, 1, 0), inf);
  EXPECT_EQ(grid::StepCount(0, inf, 1), inf);
  md::test::LogMark mark;
  grid::GridCountCap cap("CGIS_TestGrid::OnDraw");
  EXPECT_EQ(cap.Cap(11, grid::kMaxGridLines), 11);
  EXPECT_EQ(cap.Cap(-3, grid::kMaxGridLines), 0);
  EXPECT_EQ(cap.Cap(std::nan(""), grid::kMaxGridLines), 0);
  EXPECT_FALSE(cap.Capped());
  EXPECT_EQ(mark.Count(), 0u);
  EXPECT_EQ(cap.Cap(grid::StepCount(0, 1, 1e-12), grid::kMaxGridLines), grid::kMaxGridLines);
  EXPECT_EQ(cap.Cap(inf, grid::kMaxGridTicks), grid::kMaxGridTicks);
  EXPECT_TRUE(cap.Capped());
  EXPECT_EQ(mark.Count(), 1u);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_TestGrid::OnDraw"));
}

}  // namespace
