// The one tolerance of "on a grid line" and "on the edge".
#include <gtest/gtest.h>

#include <limits>

#include "layout/graphicelement/grid/grid/gridtolerance.h"

namespace {

namespace grid = md::layout::grid;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(GridTolerance, OnALineAndOnTheEdgeWithinABillionthOfTheIntervalOrTheValue) {
  const struct {
    const char* what;
    double value, low, high, scale;
    bool within;
  } edges[] = {
      {"a carried edge below its line", 30.0, 20.0, 29.999999999999996, 5.0, true},
      {"a carried edge above its line", 20.0, 20.000000000000004, 30.0, 5.0, true},
      {"a sum past its edge", 0.30000000000000004, 0.0, 0.3, 0.1, true},
      {"beyond a billionth of the value", 30.0 + 1e-7, 20.0, 30.0, 5.0, false},
      {"far from the origin, its rounding", 4424000.000000001, 4416000.0, 4424000.0, 1e-6, true},
      {"far from the origin, a centimetre out", 4424000.01, 4416000.0, 4424000.0, 1000.0, false},
      {"inside", 25.0, 20.0, 30.0, 5.0, true},
      {"no value", kNaN, 20.0, 30.0, 5.0, false},
  };
  for (const auto& r : edges) {
    EXPECT_EQ(grid::WithinGridEdges(r.value, r.low, r.high, r.scale), r.within) << r.what;
    EXPECT_EQ(
        grid::WithinGridExtent(SGIS_DRect(r.high, r.high, r.low, r.low), r.value, r.value, r.scale, r.scale),
        r.within)
        << r.what;
  }
  const struct {
    double value, interval;
    bool on;
  } lines[] = {
      {10.0, 5.0, true},        {11.0, 5.0, false}, {3 * 0.1, 0.1, true}, {0.3 + 1e-12, 0.1, true},
      {0.3 + 1e-9, 0.1, false}, {10.0, 0.0, false}, {10.0, kNaN, false},  {kNaN, 5.0, false},
  };
  for (const auto& r : lines) EXPECT_EQ(grid::LiesOnGridLine(r.value, r.interval), r.on) << r.value;
}

}  // namespace
