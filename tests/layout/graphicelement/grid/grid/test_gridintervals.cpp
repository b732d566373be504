// The intervals and origins the grid kinds and labels share: the interval
// search of the graticule of fixed rows and columns and whole-interval
// origins.
#include <gtest/gtest.h>

#include <limits>

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

}  // namespace
