#include <geodesic.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/calcora/igis_geoarithmetic.h"
#include "tests/host/sferon/sferon_test_util.h"
#include "tests/support/logmark.h"

namespace {

using md::test::LogMark;

using ArithmeticPtr = md::basilo::ReleasePtr<IGIS_GeoArithmetic>;
using md::test::Factory;
using md::test::Project;
using md::test::RefPtr;

ArithmeticPtr Make() { return ArithmeticPtr(GIS_CreateGeoArithmeticObject()); }

// The geodesic between two longitude/latitude points on an ellipsoid.
double Geodesic(double a, double rf, double lon1, double lat1, double lon2, double lat2,
                double* arc = nullptr) {
  geod_geodesic g;
  geod_init(&g, a, 1.0 / rf);
  double s12 = 0.0;
  const double a12 =
      geod_geninverse(&g, lat1, lon1, lat2, lon2, &s12, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  if (arc != nullptr) *arc = a12;
  return s12;
}

constexpr double kCgcsA = 6378137.0;
constexpr double kCgcsRf = 298.257222101;

TEST(GeoArithmeticDistance, GeographicPointsAlongTheGeodesic) {
  ArithmeticPtr g = Make();
  RefPtr geographic(Factory()->CreateSpatialReference(1));
  struct Row {
    double lon1, lat1, lon2, lat2;
  };
  const Row rows[] = {{116.39, 39.91, 121.47, 31.23},
                      {0.0, 0.0, 0.0, 1.0},
                      {75.0, 20.0, 135.0, 53.0},
                      {116.0, 40.0, 116.0, 40.0}};
  for (const Row& r : rows) {
    double arc = 0.0;
    const double expected = Geodesic(kCgcsA, kCgcsRf, r.lon1, r.lat1, r.lon2, r.lat2, &arc);
    EXPECT_NEAR(g->Distance(r.lon1, r.lat1, r.lon2, r.lat2, geographic.get(), GIS_DISTANCE_METRE), expected,
                0.001);
    EXPECT_NEAR(g->Distance(r.lon1, r.lat1, r.lon2, r.lat2, geographic.get(), GIS_DISTANCE_DEGREE), arc,
                1e-12);
  }
  // A degree of latitude from the equator is close to 110.574 km.
  EXPECT_NEAR(g->Distance(0.0, 0.0, 0.0, 1.0, geographic.get(), GIS_DISTANCE_METRE), 110574.4, 0.1);
}

TEST(GeoArithmeticDistance, ProjectedPointsAreTakenBackFirst) {
  ArithmeticPtr g = Make();
  RefPtr cm117(Factory()->CreateSpatialReference(2));
  // The sample sheet's corners, 116E..116.25E, 39.8333N..40N.
  const double lon1 = 116.0, lat1 = 39.0 + 50.0 / 60.0, lon2 = 116.25, lat2 = 40.0;
  const SGIS_DPoint a = Project(cm117.get(), lon1, lat1);
  const SGIS_DPoint b = Project(cm117.get(), lon2, lat2);
  const double expected = Geodesic(kCgcsA, kCgcsRf, lon1, lat1, lon2, lat2);
  EXPECT_NEAR(g->Distance(a.x, a.y, b.x, b.y, cm117.get(), GIS_DISTANCE_METRE), expected, 0.001);
  // Map coordinates in kilometres (unit factor 0.001) give the same ground distance.
  RefPtr km(Factory()->CreateSpatialReference(2));
  km->SetUnitFactor(0.001);
  EXPECT_NEAR(g->Distance(a.x / 1000, a.y / 1000, b.x / 1000, b.y / 1000, km.get(), GIS_DISTANCE_METRE),
              expected, 0.001);
  // On another datum the ellipsoid of that datum is used.
  RefPtr krass(Factory()->CreateGaussKrugerReference(GIS_DATUM_BEIJING1954, 6, 20, TRUE));
  const SGIS_DPoint c(20500000.0, 4400000.0, 0.0), d(20520000.0, 4410000.0, 0.0);
  const double dk = g->Distance(c.x, c.y, d.x, d.y, krass.get(), GIS_DISTANCE_METRE);
  EXPECT_GT(dk, 22000.0);
  EXPECT_LT(dk, 22500.0);  // the grid distance is 22361 m; the scale error near 117E is tiny
}

TEST(GeoArithmeticDistance, EachCallMeasuresOnTheReferenceAsItIsThen) {
  ArithmeticPtr g = Make();
  RefPtr cm117(Factory()->CreateSpatialReference(2));
  RefPtr krass(Factory()->CreateGaussKrugerReference(GIS_DATUM_BEIJING1954, 6, 20, TRUE));
  const SGIS_DPoint a = Project(cm117.get(), 116.0, 39.8), b = Project(cm117.get(), 116.3, 40.0);
  const SGIS_DPoint c(20500000.0, 4400000.0, 0.0), d(20520000.0, 4410000.0, 0.0);
  auto on117 = [&] { return g->Distance(a.x, a.y, b.x, b.y, cm117.get(), GIS_DISTANCE_METRE); };
  auto onKrass = [&] { return g->Distance(c.x, c.y, d.x, d.y, krass.get(), GIS_DISTANCE_METRE); };
  const double first117 = on117(), firstKrass = onKrass();
  // Taking turns between references, or asking again, gives the same figures.
  EXPECT_EQ(on117(), first117);
  EXPECT_EQ(on117(), first117);
  EXPECT_EQ(onKrass(), firstKrass);
  EXPECT_EQ(on117(), first117);
  // The same object changed between calls is measured as it is now: in
  // kilometres the coordinates a thousandth as large are as far apart.
  cm117->SetUnitFactor(0.001);
  EXPECT_NEAR(g->Distance(a.x / 1000, a.y / 1000, b.x / 1000, b.y / 1000, cm117.get(), GIS_DISTANCE_METRE),
              first117, 0.001);
  // A failed call is recorded each time and leaves the next one right.
  RefPtr geographic(Factory()->CreateSpatialReference(1));
  LogMark mark;
  EXPECT_EQ(g->Distance(0, 95.0, 1, 1, geographic.get(), GIS_DISTANCE_METRE), 0.0);
  EXPECT_EQ(g->Distance(0, 95.0, 1, 1, geographic.get(), GIS_DISTANCE_METRE), 0.0);
  EXPECT_EQ(mark.Count(), 2u);
  EXPECT_NEAR(g->Distance(0.0, 0.0, 0.0, 1.0, geographic.get(), GIS_DISTANCE_METRE), 110574.4, 0.1);
}

// A call right after another that differs in one input only answers for its
// own inputs.
TEST(GeoArithmeticDistance, ChangingOneInputAfterACallGivesItsOwnDistance) {
  ArithmeticPtr g = Make();
  RefPtr geographic(Factory()->CreateSpatialReference(1));
  struct Row {
    double lon1, lat1, lon2, lat2;
    int unit;
  };
  const Row base{116.0, 39.8, 116.3, 40.0, GIS_DISTANCE_METRE};
  const Row rows[] = {
      {116.1, 39.8, 116.3, 40.0, GIS_DISTANCE_METRE},  {116.0, 39.9, 116.3, 40.0, GIS_DISTANCE_METRE},
      {116.0, 39.8, 116.4, 40.0, GIS_DISTANCE_METRE},  {116.0, 39.8, 116.3, 40.1, GIS_DISTANCE_METRE},
      {116.0, 39.8, 116.3, 40.0, GIS_DISTANCE_DEGREE}, {116.0, 39.8, 116.3, 40.0, GIS_DISTANCE_METRE}};
  for (const Row& r : rows) {
    g->Distance(base.lon1, base.lat1, base.lon2, base.lat2, geographic.get(), base.unit);
    double arc = 0.0;
    const double metres = Geodesic(kCgcsA, kCgcsRf, r.lon1, r.lat1, r.lon2, r.lat2, &arc);
    const double expected = r.unit == GIS_DISTANCE_METRE ? metres : arc;
    EXPECT_NEAR(g->Distance(r.lon1, r.lat1, r.lon2, r.lat2, geographic.get(), r.unit), expected, 1e-6)
        << r.lon1 << " " << r.lat1 << " " << r.lon2 << " " << r.lat2 << " " << r.unit;
  }
}

TEST(GeoArithmeticDistance, RefusedInputsAnswerZeroWithALogRecord) {
  ArithmeticPtr g = Make();
  RefPtr none(Factory()->CreateSpatialReference(0));
  RefPtr geographic(Factory()->CreateSpatialReference(1));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  LogMark mark;
  EXPECT_EQ(g->Distance(0, 0, 1, 1, nullptr, GIS_DISTANCE_METRE), 0.0);
  EXPECT_EQ(g->Distance(0, 0, 1, 1, none.get(), GIS_DISTANCE_METRE), 0.0);
  EXPECT_EQ(g->Distance(nan, 0, 1, 1, geographic.get(), GIS_DISTANCE_METRE), 0.0);
  EXPECT_EQ(
      g->Distance(0, 0, std::numeric_limits<double>::infinity(), 1, geographic.get(), GIS_DISTANCE_METRE),
      0.0);
  EXPECT_EQ(g->Distance(0, 0, 1, 1, geographic.get(), 0), 0.0);
  EXPECT_EQ(g->Distance(0, 0, 1, 1, geographic.get(), 3), 0.0);
  EXPECT_EQ(g->Distance(0, 95.0, 1, 1, geographic.get(), GIS_DISTANCE_METRE), 0.0);  // beyond the pole
  EXPECT_EQ(mark.Count(), 7u);
}

struct ClipCase {
  const char* name;
  SGIS_Point lowerLeft, upperRight;
  std::vector<SGIS_Point> points;
  std::vector<SGIS_Point> expected;
};

TEST(GeoArithmeticClip, TableOfPolylines) {
  const SGIS_Point o(0, 0), c(100, 100);
  const ClipCase cases[] = {
      {"inside", o, c, {{10, 10}, {20, 20}}, {{10, 10}, {20, 20}}},
      {"inside, on the edges and corners",
       o,
       c,
       {{0, 0}, {100, 40}, {100, 100}, {30, 100}},
       {{0, 0}, {100, 40}, {100, 100}, {30, 100}}},
      {"across", o, c, {{-50, 50}, {150, 50}}, {{0, 50}, {100, 50}}},
      {"diagonal in through the bottom, out through the right",
       o,
       c,
       {{-10, -20}, {110, 100}},
       {{10, 0}, {100, 90}}},
      {"outside", o, c, {{-10, -10}, {-5, 200}}, {}},
      {"leaves and comes back",
       o,
       c,
       {{50, 50}, {150, 50}, {150, 80}, {50, 80}},
       {{50, 50}, {100, 50}, {100, 80}, {50, 80}}},
      {"edge crossing rounded on the other axis", o, c, {{-3, 1}, {7, 2}}, {{0, 1}, {7, 2}}},
      {"half rounds away from zero",
       SGIS_Point(0, 0),
       SGIS_Point(10, 10),
       {{1, -7}, {4, 13}},
       {{2, 0}, {4, 10}}},
      {"corners given the other way round", c, o, {{-50, 50}, {150, 50}}, {{0, 50}, {100, 50}}},
      {"along an edge", o, c, {{0, -10}, {0, 110}}, {{0, 0}, {0, 100}}},
      {"touches a corner", o, c, {{-10, 110}, {10, 90}}, {{0, 100}, {10, 90}}},
      {"single point inside", o, c, {{5, 5}}, {{5, 5}}},
      {"single point outside", o, c, {{-5, 5}}, {}},
      {"repeated points written once", o, c, {{5, 5}, {5, 5}, {6, 6}}, {{5, 5}, {6, 6}}},
      {"negative rectangle",
       SGIS_Point(-200, -100),
       SGIS_Point(-100, -50),
       {{-250, -75}, {-50, -75}},
       {{-200, -75}, {-100, -75}}},
  };
  ArithmeticPtr g = Make();
  for (const ClipCase& k : cases) {
    std::vector<SGIS_Point> out(2 * k.points.size() + 1, SGIS_Point(-999, -999));
    const int n = g->ClipPolylineToRect(k.lowerLeft, k.upperRight, static_cast<int>(k.points.size()),
                                        k.points.data(), out.data());
    ASSERT_EQ(n, static_cast<int>(k.expected.size())) << k.name;
    for (int i = 0; i < n; ++i) {
      EXPECT_EQ(out[i].x, k.expected[i].x) << k.name << " point " << i;
      EXPECT_EQ(out[i].y, k.expected[i].y) << k.name << " point " << i;
    }
  }
}

// Random polylines: every written point lies in the rectangle, is an input
// point or lies exactly on an edge, and the count never passes 2n.
TEST(GeoArithmeticClip, RandomPolylinesStayInsideAndBounded) {
  ArithmeticPtr g = Make();
  std::mt19937 rng(20261207);
  std::uniform_int_distribution<int> coord(-300, 300);
  const SGIS_Point lo(-100, -50), hi(120, 80);
  for (int round = 0; round < 500; ++round) {
    const int n = 1 + round % 40;
    std::vector<SGIS_Point> pts;
    for (int i = 0; i < n; ++i) pts.emplace_back(coord(rng), coord(rng));
    std::vector<SGIS_Point> out(2 * n + 8, SGIS_Point(7777, 7777));
    const int k = g->ClipPolylineToRect(lo, hi, n, pts.data(), out.data());
    ASSERT_GE(k, 0);
    ASSERT_LE(k, 2 * n);
    EXPECT_EQ(out[2 * n].x, 7777);  // nothing written past 2n
    for (int i = 0; i < k; ++i) {
      const SGIS_Point& p = out[i];
      ASSERT_TRUE(p.x >= lo.x && p.x <= hi.x && p.y >= lo.y && p.y <= hi.y) << round;
      bool isInput = false;
      for (const SGIS_Point& q : pts) isInput = isInput || (q.x == p.x && q.y == p.y);
      const bool onEdge = p.x == lo.x || p.x == hi.x || p.y == lo.y || p.y == hi.y;
      EXPECT_TRUE(isInput || onEdge) << round << " point " << i;
      if (i > 0) {
        EXPECT_FALSE(out[i] == out[i - 1]);
      }
    }
  }
}

TEST(GeoArithmeticClip, RefusedArguments) {
  ArithmeticPtr g = Make();
  SGIS_Point pts[2] = {{1, 1}, {2, 2}};
  SGIS_Point out[4];
  LogMark mark;
  EXPECT_EQ(g->ClipPolylineToRect(SGIS_Point(0, 0), SGIS_Point(9, 9), 0, pts, out), 0);
  EXPECT_EQ(mark.Count(), 0u);
  EXPECT_EQ(g->ClipPolylineToRect(SGIS_Point(0, 0), SGIS_Point(9, 9), -3, pts, out), 0);
  EXPECT_EQ(g->ClipPolylineToRect(SGIS_Point(0, 0), SGIS_Point(9, 9), 2, nullptr, out), 0);
  EXPECT_EQ(g->ClipPolylineToRect(SGIS_Point(0, 0), SGIS_Point(9, 9), 2, pts, nullptr), 0);
  EXPECT_EQ(mark.Count(), 3u);
  // Extreme coordinates do not overflow.
  SGIS_Point far[2] = {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}};
  ASSERT_EQ(g->ClipPolylineToRect(SGIS_Point(-10, -10), SGIS_Point(10, 10), 2, far, out), 2);
  EXPECT_EQ(out[0].x, -10);
  EXPECT_EQ(out[0].y, -10);
  EXPECT_EQ(out[1].x, 10);
  EXPECT_EQ(out[1].y, 10);
}

}  // namespace
