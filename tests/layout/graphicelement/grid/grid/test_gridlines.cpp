// The arithmetic the grids and their labels share: line runs with both
// roundings and the caps, unit factors, sampling, the shown part of a map
// and the page mapping with its unscaled rule.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "tests/support/logmark.h"

namespace {

using md::layout::grid::GridLineRun;
using md::layout::grid::GridRunRounding;
using md::layout::grid::kMaxGridLines;
using md::layout::grid::MakeGridLineRun;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct RunRow {
  const char* name;
  double low, span, interval;
  GridRunRounding rounding;
  long long first;
  int count;
  bool capped;
};

TEST(GridLineRun, CountsAndFirstIndices) {
  const auto Q = GridRunRounding::kQuotientFirst;
  const auto M = GridRunRounding::kMarginFirst;
  const RunRow rows[] = {
      // 500..10500 at 1000: round(0.5) - 2 = -1 against round(0.5 - 2) = round(-1.5) = -2.
      {"quotient first", 500, 10000, 1000, Q, -1, 15, false},
      {"margin first", 500, 10000, 1000, M, -2, 15, false},
      // Narrower than one interval: still five lines.
      {"narrow, quotient first", 1200, 300, 1000, Q, -1, 5, false},
      {"narrow, margin first", 1200, 300, 1000, M, -1, 5, false},
      // Negative ends round away from zero.
      {"negative, quotient first", -2500, 1000, 1000, Q, -5, 6, false},
      {"negative, margin first", -2500, 1000, 1000, M, -5, 6, false},
      {"capped", 0, 1e6, 1, M, -2, kMaxGridLines, true},
      {"zero interval", 0, 1000, 0, M, 0, 0, false},
      {"negative interval", 0, 1000, -10, Q, 0, 0, false},
      {"NaN interval", 0, 1000, kNaN, M, 0, 0, false},
      {"infinite interval", 0, 1000, kInf, M, 0, 0, false},
      {"infinite span", 0, kInf, 10, Q, 0, 0, false},
      {"NaN low end", kNaN, 1000, 10, M, 0, 0, false},
      // Indices are 64-bit: a fine interval far out still has its lines.
      {"indices beyond 32 bits", 1e15, 10, 1, Q, 999999999999998, 15, false},
      {"last index beyond 32 bits, capped", 2147483000.0, 1e6, 1, M, 2147482998, kMaxGridLines, true},
      // Beyond 2^53 lines are no longer apart in doubles: none, but cut.
      {"indices beyond 2^53", 1e17, 10, 1, Q, 0, 0, true},
      {"the last index beyond 2^53", 9007199254740000.0, 1e6, 1, M, 0, 0, true},
  };
  for (const RunRow& r : rows) {
    SCOPED_TRACE(r.name);
    const GridLineRun run = MakeGridLineRun(r.low, r.span, r.interval, 5, 2, r.rounding);
    EXPECT_EQ(run.nFirst, r.first);
    EXPECT_EQ(run.nCount, r.count);
    EXPECT_EQ(run.bCapped, r.capped);
  }
}

TEST(GridLineRun, BothRoundingsReachTheSameLinesInsideTheExtent) {
  // The lines of 500..10500 at 1000 that lie inside: 1000 .. 10000 with either rule.
  for (GridRunRounding rounding : {GridRunRounding::kQuotientFirst, GridRunRounding::kMarginFirst}) {
    const GridLineRun run = MakeGridLineRun(500, 10000, 1000, 5, 2, rounding);
    std::vector<double> inside;
    for (int i = 0; i < run.nCount; ++i) {
      const double x = run.At(i, 1000);
      if (500 <= x && x <= 10500) inside.push_back(x);
    }
    EXPECT_EQ(inside, (std::vector<double>{1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000}));
  }
}

TEST(GridCapRecord, WritesOneRecordForTheFirstCutPass) {
  md::test::LogMark mark;
  {
    md::layout::grid::CGIS_GridCapRecord caps("CGIS_Test::OnDraw");
    EXPECT_FALSE(caps.Capped());
    caps.Note("lines", 10000);
    caps.Note("marks", 250000);
    EXPECT_TRUE(caps.Capped());
  }
  EXPECT_EQ(mark.Count(), 1u);
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_Test::OnDraw", "lines capped at 10000"));
}

TEST(SpacingUnitFactor, UnitsOverTheFirstUnitOfTheirList) {
  struct Row {
    int units;
    bool angular;
    double factor;
  } rows[] = {
      {0, false, 1.0},          // metre
      {1, false, 1000.0},       // kilometre
      {4, false, 0.001},        // millimetre
      {1, true, M_PI / 180.0},  // degree over radian
      {99, false, 1.0},         // no such unit: the stored value as it is
      {-1, false, 1.0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.units);
    EXPECT_NEAR(md::layout::grid::SpacingUnitFactor(r.units, r.angular), r.factor, r.factor * 1e-12);
  }
}

TEST(SampleGridLine, CarriesEverySampleAndDropsRefusedOnes) {
  std::vector<SGIS_Point> out;
  // Ten steps; the carrier shifts by (0.5, -0.5) and refuses x = 30.
  auto carry = [](SGIS_DPoint* p) {
    if (p->x == 30.0) return false;
    p->x += 0.5;
    p->y -= 0.5;
    return true;
  };
  const int n = md::layout::grid::SampleGridLine(SGIS_DPoint(0, 10), SGIS_DPoint(100, 10), 10, carry, &out);
  ASSERT_EQ(n, 10);
  EXPECT_EQ(out.front(), SGIS_Point(1, 10));  // 0.5 and 9.5 rounded away from zero
  EXPECT_EQ(out[2], SGIS_Point(21, 10));
  EXPECT_EQ(out[3], SGIS_Point(41, 10));  // 30 refused
  EXPECT_EQ(out.back(), SGIS_Point(101, 10));
  auto nan = [](SGIS_DPoint* p) {
    p->y = kNaN;
    return true;
  };
  EXPECT_EQ(md::layout::grid::SampleGridLine(SGIS_DPoint(0, 0), SGIS_DPoint(1, 1), 4, nan, &out), 0);
  EXPECT_EQ(md::layout::grid::SampleGridLine(SGIS_DPoint(0, 0), SGIS_DPoint(1, 1), 0, nullptr, &out), 0);
  // Carried all at once, each point as the one-point carrier does: the same samples.
  auto negative = [](SGIS_DPoint* p) {  // halves below zero, and a point far out
    p->x = p->x == 50.0 ? -3e9 : -p->x - 0.5;
    p->y = -2.5;
    return true;
  };
  const std::function<bool(SGIS_DPoint*)> carriers[] = {carry, nan, negative};
  for (const auto& one : carriers) {
    std::vector<SGIS_Point> each, all;
    std::vector<SGIS_DPoint> work;
    std::vector<char> carried;
    const md::layout::grid::GridPointsCarrier batch = [&](SGIS_DPoint* p, int count, char* ok) {
      for (int i = 0; i < count; ++i) ok[i] = one(&p[i]) ? 1 : 0;
    };
    md::layout::grid::SampleGridLine(SGIS_DPoint(0, 10), SGIS_DPoint(100, 10), 10, one, &each);
    EXPECT_EQ(md::layout::grid::SampleGridLine(SGIS_DPoint(0, 10), SGIS_DPoint(100, 10), 10, batch, &work,
                                               &carried, &all),
              static_cast<int>(each.size()));
    EXPECT_EQ(all, each);
  }
}

TEST(PageMapping, ShownBoundAndPagePoints) {
  // A frame of 200 x 100 mm showing a map bound of 10 x 10 km: the bound is
  // widened along x to 20 km about its centre, one map unit per page unit.
  const SGIS_Rect frame(1000, 11000, 21000, 1000);
  double s = 0.0;
  const SGIS_DRect shown = md::layout::grid::ShownMapBound(SGIS_DRect(0, 10000, 10000, 0), frame, &s);
  EXPECT_DOUBLE_EQ(s, 1.0);
  EXPECT_DOUBLE_EQ(shown.x1, -5000);
  EXPECT_DOUBLE_EQ(shown.x2, 15000);
  EXPECT_DOUBLE_EQ(shown.y1, 10000);
  EXPECT_DOUBLE_EQ(shown.y2, 0);
  md::layout::grid::ShownMapBound(SGIS_DRect(0, 10000, 10000, 0), SGIS_Rect(0, 0, 0, 0), &s);
  EXPECT_EQ(s, 0.0);

  struct Row {
    const char* name;
    double scale, angle;
    SGIS_DPoint map, page;
  } rows[] = {
      {"centre", 1.0, 0, {5000, 5000}, {11000, 6000}},
      {"two map units per page unit", 2.0, 0, {5000, 5000}, {6000, 3500}},
      {"lower-left corner", 1.0, 0, {-5000, 0}, {1000, 1000}},
      {"zero scale: unscaled", 0.0, 0, {-4000, 300}, {2000, 1300}},
      {"negative scale: unscaled", -2.0, 0, {-4000, 300}, {2000, 1300}},
      {"NaN scale: unscaled", kNaN, 0, {-4000, 300}, {2000, 1300}},
      // The frame's centre is (11000, 6000): its right-middle turns to its top.
      {"turned 90 degrees", 1.0, 90, {15000, 5000}, {11000, 16000}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const SGIS_DPoint p = md::layout::grid::MapToPage(r.map, shown, frame, r.scale, r.angle);
    EXPECT_NEAR(p.x, r.page.x, 1e-6);
    EXPECT_NEAR(p.y, r.page.y, 1e-6);
  }
}

}  // namespace
