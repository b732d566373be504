// Tracing only as far as a line meets the frame: the ends found that way and
// the tick lines' first points are those of the cut of the whole line, for
// straight, winding, touching and partly refused lines, and for lines
// walked both ways.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/calcora/igis_geoarithmetic.h"
#include "layout/graphicelement/grid/grid/geotrace.h"
#include "layout/graphicelement/grid/grid/gridlines.h"

namespace {

using md::layout::grid::CutLineEnds;
using md::layout::grid::GeoRun;
using md::layout::grid::GridLineSampler;
using md::layout::grid::GridPointCarrier;
using md::layout::grid::LineCutEnds;
using md::layout::grid::SampleGridLine;

const SGIS_Point kLowerLeft(100, 100);
const SGIS_Point kUpperRight(300, 200);

// A winding carrier: x and y scaled, waves across the line, samples refused
// where the wave says so.
struct Wave {
  double scale = 1.0, amplitude = 0.0, frequency = 0.0, refuseAbove = 1e300;
  bool operator()(SGIS_DPoint* p) const {
    const double w = amplitude * std::sin(frequency * (p->x + p->y));
    if (w > refuseAbove) return false;
    p->x = p->x * scale + w;
    p->y = p->y * scale - w;
    return true;
  }
};

// The ends as the cut of the whole line gives them.
LineCutEnds WholeCut(IGIS_GeoArithmetic& clipper, SGIS_DPoint from, SGIS_DPoint to, int nSteps,
                     const GridPointCarrier& carry) {
  std::vector<SGIS_Point> samples;
  const int n = SampleGridLine(from, to, nSteps, carry, &samples);
  std::vector<SGIS_Point> kept(2 * samples.size() + 2);
  const int m =
      n > 0 ? clipper.ClipPolylineToRect(kLowerLeft, kUpperRight, n, samples.data(), kept.data()) : 0;
  LineCutEnds ends;
  ends.nKept = m >= 2 ? 2 : m;
  if (m >= 1) {
    ends.first = kept[0];
    ends.last = kept[static_cast<std::size_t>(m) - 1];
  }
  return ends;
}

struct Case {
  const char* name;
  SGIS_DPoint from, to;
  int nSteps;
  Wave wave;
  GridPointCarrier carry = nullptr;  // in place of the wave
};

// Sample j of a run from (0, 0) to (n, 0) carried to points[j].
GridPointCarrier Through(std::vector<SGIS_DPoint> points) {
  return [points](SGIS_DPoint* p) {
    const auto j = static_cast<std::size_t>(p->x);
    if (j >= points.size()) return false;
    *p = points[j];
    return true;
  };
}

// Lines through, beside, along and into the corner of the rectangle
// (100..300 x 100..200).
std::vector<Case> Cases() {
  std::vector<Case> cases = {
      {"across", {0, 150}, {400, 150}, 200, {}},
      {"back across", {400, 150}, {0, 150}, 200, {}},
      {"beside", {0, 50}, {400, 50}, 200, {}},
      {"along the bottom edge", {0, 100}, {400, 100}, 40, {}},
      {"touching a corner", {0, 400}, {400, 0}, 8, {}},
      {"starting inside", {150, 150}, {400, 150}, 20, {}},
      {"ending inside", {0, 150}, {150, 150}, 20, {}},
      {"one step", {0, 150}, {400, 150}, 1, {}},
      {"no step", {0, 150}, {400, 150}, 0, {}},
      {"winding in and out", {0, 95}, {400, 95}, 200, {1.0, 30.0, 0.05}},
      {"winding, some refused", {0, 150}, {400, 150}, 200, {1.0, 60.0, 0.08, 40.0}},
      {"all refused", {200, 150}, {200, 150}, 4, {1.0, 0.0, 0.0, -1.0}},
  };
  // One carried sample: only the end, inside (every other sample refused).
  cases.push_back(
      {"one sample inside", {0, 150}, {200, 150}, 2, {}, [](SGIS_DPoint* p) { return p->x == 200.0; }});
  // Touching the corner (100, 100) first and last, in between only touching
  // it again or running into the rectangle.
  const SGIS_DPoint out(50, 50), corner(100, 100), in(150, 150);
  cases.push_back({"touching one corner", {0, 0}, {4, 0}, 4, {}, Through({out, corner, out, corner, out})});
  cases.push_back(
      {"touching, in, touching", {0, 0}, {6, 0}, 6, {}, Through({out, corner, out, in, out, corner, out})});
  // Random winding lines, many of them entering and leaving several times.
  std::mt19937 random(7);
  std::uniform_real_distribution<double> coordinate(-100.0, 500.0), amplitude(0.0, 80.0), frequency(0.0, 0.3);
  for (int i = 0; i < 300; ++i) {
    cases.push_back({"random",
                     {coordinate(random), coordinate(random)},
                     {coordinate(random), coordinate(random)},
                     1 + i % 60,
                     {1.0, amplitude(random), frequency(random), i % 3 == 0 ? 50.0 : 1e300}});
  }
  return cases;
}

TEST(CutLineEnds, GivesTheEndsOfTheWholeCutAskingEachSampleOnce) {
  md::basilo::ReleasePtr<IGIS_GeoArithmetic> clipper(GIS_CreateGeoArithmeticObject());
  ASSERT_TRUE(clipper);
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    const GridPointCarrier carry = c.carry ? c.carry : GridPointCarrier(c.wave);
    const LineCutEnds whole = WholeCut(*clipper, c.from, c.to, c.nSteps, carry);
    const GridLineSampler samples(c.from, c.to, c.nSteps);
    for (bool bLast : {true, false}) {
      std::vector<int> asked(static_cast<std::size_t>(samples.Count()), 0);
      const LineCutEnds ends = CutLineEnds(
          *clipper, kLowerLeft, kUpperRight, samples.Count(),
          [&](int j, SGIS_Point* p) {
            ++asked[static_cast<std::size_t>(j)];
            return samples.At(j, carry, p);
          },
          bLast);
      for (int n : asked) EXPECT_LE(n, 1);
      EXPECT_EQ(ends.nKept >= 1, whole.nKept >= 1);
      if (whole.nKept < 1) continue;
      EXPECT_EQ(ends.first, whole.first);
      if (!bLast) continue;
      EXPECT_EQ(ends.nKept, whole.nKept);
      EXPECT_EQ(ends.last, whole.last);
    }
  }
}

TEST(CutLineEnds, StopsCarryingOnceBothEndsAreFound) {
  md::basilo::ReleasePtr<IGIS_GeoArithmetic> clipper(GIS_CreateGeoArithmeticObject());
  ASSERT_TRUE(clipper);
  // 200 steps of 2 across x = 0..400: the rectangle spans x 100..300, so the
  // first stretch reaching it ends at sample 50 and the last starts at 150.
  const GridLineSampler samples(SGIS_DPoint(0, 150), SGIS_DPoint(400, 150), 200);
  int nAsked = 0;
  auto at = [&](int j, SGIS_Point* p) {
    ++nAsked;
    return samples.At(j, nullptr, p);
  };
  const LineCutEnds ends = CutLineEnds(*clipper, kLowerLeft, kUpperRight, samples.Count(), at, true);
  EXPECT_EQ(ends.nKept, 2);
  EXPECT_EQ(ends.first, SGIS_Point(100, 150));
  EXPECT_EQ(ends.last, SGIS_Point(300, 150));
  EXPECT_EQ(nAsked, 51 + 51);
  // Only the start for the first point.
  nAsked = 0;
  EXPECT_EQ(CutLineEnds(*clipper, kLowerLeft, kUpperRight, samples.Count(), at, false).first,
            SGIS_Point(100, 150));
  EXPECT_EQ(nAsked, 51);
}

// Degrees carried by a wave, the page the same as the space.
class WaveSpace final : public md::layout::grid::GeoSpace {
 public:
  explicit WaveSpace(Wave wave) : m_wave(wave) {}
  bool FromDegrees(double dLon, double dLat, SGIS_DPoint* pOut) override {
    ++nCarried;
    *pOut = SGIS_DPoint(dLon, dLat, 0.0);
    return m_wave(pOut);
  }
  SGIS_DPoint ToPage(SGIS_DPoint point) override { return point; }
  SGIS_DPoint FromPage(SGIS_DPoint point) override { return point; }
  int nCarried = 0;

 private:
  Wave m_wave;
};

TEST(GeoLineTracer, TraceToFrameKeepsTheFirstPointOfTheWholeTrace) {
  const SGIS_Rect frame(100, 200, 300, 100);
  std::mt19937 random(11);
  std::uniform_real_distribution<double> coordinate(-100.0, 500.0), amplitude(0.0, 60.0), frequency(0.0, 0.2);
  for (int k = 0; k < 40; ++k) {
    SCOPED_TRACE(k);
    const Wave wave{1.0, amplitude(random), frequency(random), k % 4 == 0 ? 45.0 : 1e300};
    WaveSpace whole(wave), ahead(wave);
    md::layout::grid::GeoLineTracer full(whole, frame), lazy(ahead, frame);
    // Lines walked one way and then the other, as the ticks of opposite
    // sides walk them; some miss the frame.
    for (int i = 0; i < 12; ++i) {
      const GeoRun run{SGIS_DPoint(coordinate(random), coordinate(random), 0.0),
                       SGIS_DPoint(coordinate(random), coordinate(random), 0.0)};
      for (const GeoRun& r : {run, GeoRun{run.to, run.from}}) {
        const int n = 1 + (i * 17) % 120;
        const bool bMeets = full.Trace(r, n) >= 1;
        ASSERT_EQ(lazy.TraceToFrame(r, n), bMeets);
        if (!bMeets) continue;
        EXPECT_EQ(lazy.Kept()[0], full.Kept()[0]);
        SGIS_Point fullFrom, fullTo, lazyFrom, lazyTo;
        const bool bTick = full.TickAtFirst(md::layout::grid::TickSide::Left, 50.0, &fullFrom, &fullTo);
        ASSERT_EQ(lazy.TickAtFirst(md::layout::grid::TickSide::Left, 50.0, &lazyFrom, &lazyTo), bTick);
        if (bTick) {
          EXPECT_EQ(lazyFrom, fullFrom);
          EXPECT_EQ(lazyTo, fullTo);
        }
      }
    }
    EXPECT_LT(ahead.nCarried, whole.nCarried);
  }
}

TEST(GeoLineTracer, ALineThatMissedTheFrameIsNotCarriedAgainTheOtherWay) {
  const SGIS_Rect frame(100, 200, 300, 100);
  WaveSpace space(Wave{});
  md::layout::grid::GeoLineTracer tracer(space, frame);
  const GeoRun below{SGIS_DPoint(0, 50, 0), SGIS_DPoint(400, 50, 0)};
  EXPECT_FALSE(tracer.TraceToFrame(below, 200));
  EXPECT_EQ(space.nCarried, 201);
  // The same line the other way: every sample starts from the same degrees.
  EXPECT_FALSE(tracer.TraceToFrame(GeoRun{below.to, below.from}, 200));
  EXPECT_EQ(space.nCarried, 201);
  // Kept for one walk back only.
  EXPECT_FALSE(tracer.TraceToFrame(GeoRun{below.to, below.from}, 200));
  EXPECT_EQ(space.nCarried, 402);
}

}  // namespace
