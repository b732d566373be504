// Tracing only as far as a line meets the frame: the ends found that way and
// the tick lines' first points are those of the cut of the whole line, for
// straight, winding, touching and partly refused lines, and for lines
// walked both ways, and for the meridians and parallels of a sheet.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/calcora/igis_geoarithmetic.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/geographicframe.h"
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

// A 1:50,000 sheet (116°–116°15′ E, 39°50′–40° N) in Gauss-Krüger zone 20
// on the page: its frame the bound of the sheet's outline in the map, 0.5 m
// of the map a page unit.
class Sheet {
 public:
  static constexpr double kWest = 116.0, kEast = 116.25, kSouth = 39.0 + 50.0 / 60.0, kNorth = 40.0;
  static constexpr double kScale = 0.5;

  Sheet()
      : m_reference(GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 6,
                                                                                       20, FALSE)) {
    bReady = m_reference && m_geo.Build(m_reference.get());
    if (!bReady) return;
    m_geo.AimToMap();
    bool bFirst = true;
    for (int i = 0; i <= 64 && bReady; ++i) {
      const double t = i / 64.0;
      const SGIS_DPoint outline[4] = {{kWest + t * (kEast - kWest), kSouth, 0.0},
                                      {kWest + t * (kEast - kWest), kNorth, 0.0},
                                      {kWest, kSouth + t * (kNorth - kSouth), 0.0},
                                      {kEast, kSouth + t * (kNorth - kSouth), 0.0}};
      for (SGIS_DPoint p : outline) {
        bReady = bReady && m_geo.ToMap(&p);
        if (bFirst) m_bound = SGIS_DRect(p.x, p.y, p.x, p.y);
        bFirst = false;
        m_bound.x1 = std::min(m_bound.x1, p.x);
        m_bound.x2 = std::max(m_bound.x2, p.x);
        m_bound.y1 = std::max(m_bound.y1, p.y);
        m_bound.y2 = std::min(m_bound.y2, p.y);
      }
    }
    const int nWidth = static_cast<int>(std::lround((m_bound.x2 - m_bound.x1) / kScale));
    const int nHeight = static_cast<int>(std::lround((m_bound.y1 - m_bound.y2) / kScale));
    frame = SGIS_Rect(2000, 3000 + nHeight, 2000 + nWidth, 3000);
    m_pSpace = std::make_unique<md::layout::grid::GeoPageSpace>(m_geo, m_bound, frame, kScale);
  }
  md::layout::grid::GeoSpace& Space() { return *m_pSpace; }

  bool bReady = false;
  SGIS_Rect frame;

 private:
  md::basilo::ReleasePtr<IGIS_SpatialReference> m_reference;
  md::layout::grid::GeographicFrame m_geo;
  SGIS_DRect m_bound;
  std::unique_ptr<md::layout::grid::GeoPageSpace> m_pSpace;
};

TEST(CrossingSearch, FindsTheCrossingsOfTheGeneralTraceOnASheet) {
  Sheet sheet;
  ASSERT_TRUE(sheet.bReady);
  md::basilo::ReleasePtr<IGIS_GeoArithmetic> clipper(GIS_CreateGeoArithmeticObject());
  ASSERT_TRUE(clipper);
  // Lines run two 5′ intervals past the sheet, as the graticule's lines do,
  // from the side they are labelled or ticked on.
  constexpr double kPast = 10.0 / 60.0;
  const double kMinute = 1.0 / 60.0;
  struct Case {
    const char* name;
    bool bMeridian;
    double dValue;
    bool bFromLow;  // from the south (west) end
    bool bMeets;
  };
  const Case cases[] = {
      {"west edge's meridian from the south", true, Sheet::kWest, true, true},
      {"west edge's meridian from the north", true, Sheet::kWest, false, true},
      {"inner meridian from the south", true, Sheet::kWest + 5 * kMinute, true, true},
      {"inner meridian from the north", true, Sheet::kWest + 7 * kMinute, false, true},
      {"east edge's meridian from the south", true, Sheet::kEast, true, true},
      {"meridian west of the sheet", true, Sheet::kWest - 5 * kMinute, true, false},
      {"meridian east of the sheet", true, Sheet::kEast + 5 * kMinute, false, false},
      {"south edge's parallel from the west", false, Sheet::kSouth, true, true},
      {"inner parallel from the west", false, Sheet::kSouth + 3 * kMinute, true, true},
      {"inner parallel from the east", false, Sheet::kSouth + 6 * kMinute, false, true},
      {"north edge's parallel from the east", false, Sheet::kNorth, false, true},
      {"parallel north of the sheet", false, Sheet::kNorth + 5 * kMinute, true, false},
  };
  const auto near = [](SGIS_Point a, SGIS_Point b) {
    EXPECT_NEAR(a.x, b.x, 0.01);
    EXPECT_NEAR(a.y, b.y, 0.01);
  };
  const SGIS_Point lowerLeft(sheet.frame.left, sheet.frame.bottom),
      upperRight(sheet.frame.right, sheet.frame.top);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SGIS_DPoint low = c.bMeridian ? SGIS_DPoint(c.dValue, Sheet::kSouth - kPast, 0.0)
                                  : SGIS_DPoint(Sheet::kWest - kPast, c.dValue, 0.0);
    SGIS_DPoint high = c.bMeridian ? SGIS_DPoint(c.dValue, Sheet::kNorth + kPast, 0.0)
                                   : SGIS_DPoint(Sheet::kEast + kPast, c.dValue, 0.0);
    if (!c.bFromLow) std::swap(low, high);
    const GeoRun run{low, high};
    constexpr int kSteps = 200;
    // The tick's crossing: the search against the walk.
    md::layout::grid::GeoLineTracer walked(sheet.Space(), sheet.frame), searched(sheet.Space(), sheet.frame);
    ASSERT_EQ(walked.TraceToFrame(run, kSteps), c.bMeets);
    ASSERT_EQ(searched.TraceToEdge(run, kSteps), c.bMeets);
    if (c.bMeets) near(searched.Kept()[0], walked.Kept()[0]);
    // The label's first and last points: the search against the cut.
    const GridLineSampler samples(run.from, run.to, kSteps);
    const GridPointCarrier carry = [&sheet](SGIS_DPoint* p) {
      return sheet.Space().FromDegrees(p->x, p->y, p);
    };
    const auto at = [&](int j, SGIS_Point* p) { return samples.At(j, carry, p); };
    const LineCutEnds whole = CutLineEnds(*clipper, lowerLeft, upperRight, samples.Count(), at, true);
    const LineCutEnds crossing =
        md::layout::grid::CutCrossingLineEnds(*clipper, lowerLeft, upperRight, samples.Count(), at, true);
    ASSERT_EQ(whole.nKept, c.bMeets ? 2 : 0);
    ASSERT_EQ(crossing.nKept, whole.nKept);
    if (!c.bMeets) continue;
    near(crossing.first, whole.first);
    near(crossing.last, whole.last);
  }
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
