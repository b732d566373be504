// The intervals and origins the grid kinds and labels share: the interval
// search of the graticule of fixed rows and columns and whole-interval
// origins.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "layout/graphicelement/grid/grid/gridintervals.h"

namespace {

namespace grid = md::layout::grid;

TEST(GridIntervals, FixedCountIntervalSearch) {
  struct Row {
    double width, height;
    int columns, rows;
    double column, row, interval;
  };
  const Row rows[] = {
      {40, 30, 4, 4, 10, 5, 5},
      {120, 60, 4, 4, 10, 25, 10},
      {5, 5, 4, 4, 1, 2.5, 1},
      {0.3, 0.2, 4, 4, 0.1, 0.05, 0.05},
      {0, 0, 4, 4, 5e-9, 5e-9, 5e-9},
      {20, 20, 0, -2, 10, 5, 5},
      // Too wide even for the first value with one column: that value, not
      // a run down to 5e-9.
      {120, 60, 1, 1, 10, 25, 10},
      {360, 180, 1, 1, 10, 25, 10},
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

TEST(GridIntervals, WholeIntervalStartsRoundDown) {
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

TEST(GridIntervals, FixedCountPlanOriginsRoundDownToTens) {
  // The plan of the graticule of fixed rows and columns over an extent in
  // degrees: what it records, its interval and its first lines (the label
  // takes the same).
  struct Row {
    double west, south, east, north;
    int columns, rows;
    double ratio;
    double columnWidth, rowHeight, westDegree, southDegree, interval, x0, y0;
  };
  const Row rows[] = {
      {100, 20, 110, 30, 4, 4, 1, 2.5, 2.5, 100, 20, 5, 100, 20},
      {117.3, 39.5, 117.7, 39.8, 4, 4, 1, 0.1, 0.075, 117, 39, 0.05, 110, 30},
      {-117.3, -37.5, -97.3, -17.5, 4, 4, 1, 5, 5, -118, -38, 5, -120, -40},
      {100, 20, 140, 50, 4, 3, 1, 10, 10, 100, 20, 5, 100, 20},
      {0, 0, 0, 0, 4, 4, 1, 0, 0, 0, 0, 5e-9, 0, 0},
      // Counts below 1 divide as 1; a ratio of 60 (minutes) scales the
      // search and the origins.
      {100, 20, 120, 30, 0, -3, 1, 20, 10, 100, 20, 5, 100, 20},
      {100.5, 20.5, 101, 21, 4, 4, 60, 0.125, 0.125, 100, 20, 5, 6000, 1200},
      // An extent carried through a transformation stands for the whole
      // values it was: 10 x 10 degrees, interval 5.
      {99.999999999999986, 20.000000000000004, 110.00000000000001, 29.999999999999996, 4, 4, 1, 2.5, 2.5, 100,
       20, 5, 100, 20},
  };
  for (const Row& r : rows) {
    const grid::FixedCountGraticule g = grid::PlanFixedCountGraticule(
        SGIS_DRect(r.west, r.north, r.east, r.south), r.columns, r.rows, r.ratio);
    const std::string row = std::to_string(r.west) + ", " + std::to_string(r.south);
    EXPECT_NEAR(g.dColumnWidth, r.columnWidth, 1e-9) << row;
    EXPECT_NEAR(g.dRowHeight, r.rowHeight, 1e-9) << row;
    EXPECT_EQ(g.dWestDegree, r.westDegree) << row;
    EXPECT_EQ(g.dSouthDegree, r.southDegree) << row;
    EXPECT_NEAR(g.Interval(), r.interval, r.interval * 1e-9) << row;
    EXPECT_EQ(g.dX0, r.x0) << row;
    EXPECT_EQ(g.dY0, r.y0) << row;
  }
  // Corners given the other way round plan the same; an empty or not finite
  // extent places no line.
  EXPECT_EQ(grid::PlanFixedCountGraticule(SGIS_DRect(110, 20, 100, 30), 4, 4, 1).dX0, 100);
  EXPECT_TRUE(grid::PlanFixedCountGraticule(SGIS_DRect(100, 30, 110, 20), 4, 4, 1).HasLines());
  EXPECT_FALSE(grid::PlanFixedCountGraticule(SGIS_DRect(100, 30, 100, 20), 4, 4, 1).HasLines());
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(grid::PlanFixedCountGraticule(SGIS_DRect(nan, 30, 110, 20), 4, 4, 1).HasLines());
}

}  // namespace
