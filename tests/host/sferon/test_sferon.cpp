#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/element/cgis_spatialreferenceholder.h"
#include "tests/host/sferon/sferon_test_util.h"
#include "tests/support/onthreads.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

using RefPtr = md::basilo::ReleasePtr<IGIS_SpatialReference>;
using TransformPtr = md::basilo::ReleasePtr<IGIS_CoordTransform>;

IGIS_SpatialReferenceFactory* Factory() { return GIS_GetSpatialReferenceFactoryObject(); }

// A geographic reference in degrees on a predefined datum.
RefPtr Geographic(int datum) {
  IGIS_SpatialReferenceFactory* f = Factory();
  IGIS_GeographicCoordSys* g = f->CreateGeographicCoordSys("度", "angle", f->GetDatum(datum),
                                                           f->GetPrimeMeridian(0), f->GetAngularUnit(1));
  return RefPtr(f->CreateGeographicReference("度", "angle", nullptr, g, f->GetLinearUnit(0)));
}

RefPtr GaussKruger(int datum, int width, int zone, BOOL prefix) {
  return RefPtr(Factory()->CreateGaussKrugerReference(datum, width, zone, prefix));
}

TransformPtr Transform(IGIS_SpatialReference* from, IGIS_SpatialReference* to) {
  return TransformPtr(Factory()->CreateCoordTransform("t", "t", from, to));
}

// Length of the meridian from the equator to latitude phi (radians) on an
// ellipsoid, by Simpson's rule over the radius of curvature: an independent
// check of the northing on the central meridian.
double MeridianArc(double a, double b, double phi) {
  const double e2 = 1.0 - (b * b) / (a * a);
  auto m = [&](double p) {
    const double s = std::sin(p);
    return a * (1.0 - e2) / std::pow(1.0 - e2 * s * s, 1.5);
  };
  const int n = 2000;
  const double h = phi / n;
  double sum = m(0.0) + m(phi);
  for (int i = 1; i < n; ++i) sum += m(i * h) * (i % 2 == 1 ? 4.0 : 2.0);
  return sum * h / 3.0;
}

std::size_t LogMark() { return GIS_GetLogPtr()->GetRecordCount(); }
bool LoggedSince(std::size_t mark, const std::string& method) {
  for (const auto& r : GIS_GetLogPtr()->GetRecordsSince(mark)) {
    if (r.method == method) return true;
  }
  return false;
}

}  // namespace

TEST(SpatialReferenceUnits, TablesNamesAndFactors) {
  IGIS_SpatialReferenceFactory* f = Factory();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f, GIS_GetSpatialReferenceFactoryObject());

  IGIS_Unit* degree = f->GetAngularUnit(1);
  ASSERT_NE(degree, nullptr);
  EXPECT_STREQ(degree->GetName(), "度");
  EXPECT_DOUBLE_EQ(degree->GetFactor(), kPi / 180.0);
  EXPECT_TRUE(degree->IsAngular());
  EXPECT_EQ(f->GetUnitByName("度"), degree);

  IGIS_Unit* metre = f->GetLinearUnit(0);
  ASSERT_NE(metre, nullptr);
  EXPECT_STREQ(metre->GetName(), "米");
  EXPECT_DOUBLE_EQ(metre->GetFactor(), 1.0);
  EXPECT_FALSE(metre->IsAngular());
  EXPECT_EQ(f->GetUnitByName("米"), metre);
  EXPECT_EQ(f->GetUnitByName("no such unit"), nullptr);
  EXPECT_EQ(f->GetUnitByName(nullptr), nullptr);

  // Every unit of a table has a name and a positive size, and the names
  // find their own unit.
  for (int i = 0; i < f->GetAngularUnitCount(); ++i) {
    IGIS_Unit* u = f->GetAngularUnit(i);
    ASSERT_NE(u, nullptr);
    EXPECT_GT(u->GetFactor(), 0.0);
    EXPECT_EQ(f->GetUnitByName(u->GetName()), u);
  }
  for (int i = 0; i < f->GetLinearUnitCount(); ++i) {
    IGIS_Unit* u = f->GetLinearUnit(i);
    ASSERT_NE(u, nullptr);
    EXPECT_GT(u->GetFactor(), 0.0);
    EXPECT_EQ(f->GetUnitByName(u->GetName()), u);
  }
  EXPECT_DOUBLE_EQ(f->GetUnitByName("千米")->GetFactor() / metre->GetFactor(), 1000.0);
  EXPECT_DOUBLE_EQ(f->GetUnitByName("秒")->GetFactor() * 3600.0, degree->GetFactor());

  const std::size_t mark = LogMark();
  EXPECT_EQ(f->GetAngularUnit(-1), nullptr);
  EXPECT_EQ(f->GetAngularUnit(f->GetAngularUnitCount()), nullptr);
  EXPECT_EQ(f->GetLinearUnit(f->GetLinearUnitCount()), nullptr);
  EXPECT_TRUE(LoggedSince(mark, "CGIS_SpatialReferenceFactory::GetLinearUnit"));
}

TEST(SpatialReferenceUnits, CreatedUnitsAreKeptOncePerDefinition) {
  IGIS_SpatialReferenceFactory* f = Factory();
  IGIS_Unit* mi = f->CreateLinearUnit("mi", "mi", 1.0);
  ASSERT_NE(mi, nullptr);
  EXPECT_EQ(f->CreateLinearUnit("mi", "mi", 1.0), mi);
  EXPECT_NE(f->CreateLinearUnit("mi", "mi", 2.0), mi);
  for (double bad : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(f->CreateLinearUnit("x", "x", bad), nullptr) << bad;
  }
  IGIS_Datum* d = f->GetDatum(GIS_DATUM_XIAN1980);
  IGIS_GeographicCoordSys* g1 = f->CreateGeographicCoordSys("度", "angle", d, nullptr, f->GetAngularUnit(1));
  IGIS_GeographicCoordSys* g2 = f->CreateGeographicCoordSys("度", "angle", d, nullptr, f->GetAngularUnit(1));
  ASSERT_NE(g1, nullptr);
  EXPECT_EQ(g1, g2);
  EXPECT_STREQ(g1->GetDatum()->GetName(), "Xian 1980");
  EXPECT_DOUBLE_EQ(g1->GetDatum()->GetEllipsoid()->GetSemiMajorAxis(), 6378140.0);
  EXPECT_EQ(f->CreateGeographicCoordSys("x", "x", nullptr, nullptr, nullptr), nullptr);
}

// Pages print on several threads and share the one factory: systems made
// at once from several threads are each kept once.
TEST(SpatialReferenceUnits, SystemsMadeAtOnceFromSeveralThreadsAreKeptOnce) {
  IGIS_SpatialReferenceFactory* f = Factory();
  IGIS_Datum* d = f->GetDatum(GIS_DATUM_XIAN1980);
  constexpr int kThreads = 4, kNames = 150;
  std::vector<std::vector<IGIS_GeographicCoordSys*>> made(kThreads,
                                                          std::vector<IGIS_GeographicCoordSys*>(kNames));
  md::test::OnThreads(kThreads, [&](int t) {
    for (int i = 0; i < kNames; ++i)
      made[t][i] =
          f->CreateGeographicCoordSys(std::to_string(i).c_str(), "", d, nullptr, f->GetAngularUnit(1));
  });
  for (int i = 0; i < kNames; ++i) {
    ASSERT_NE(made[0][i], nullptr);
    EXPECT_STREQ(made[0][i]->GetName(), std::to_string(i).c_str());
    for (int t = 1; t < kThreads; ++t) EXPECT_EQ(made[t][i], made[0][i]) << i;
  }
}

// A document's reference stored, copied and compared on several threads at
// once gives each the bytes and answers a lone reference gives.
TEST(SpatialReferenceThreads, OneReferenceStoredAndComparedOnSeveralThreadsAtOnce) {
  auto stored = [](IGIS_SpatialReference* r) {
    md::test::BufferPtr b(GIS_CreateDataBufferObject(0));
    EXPECT_TRUE(r->Archive(b.get(), GIS_ARCHIVE_WRITE));
    return std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize());
  };
  const RefPtr shared = GaussKruger(GIS_DATUM_CGCS2000, 3, 39, FALSE);
  const std::vector<BYTE> expected = stored(GaussKruger(GIS_DATUM_CGCS2000, 3, 39, FALSE).get());
  ASSERT_TRUE(shared && !expected.empty());
  md::test::OnThreads(4, [&](int) {
    for (int i = 0; i < 50; ++i) {
      RefPtr mine(Factory()->CreateSpatialReference(0));
      mine->CopyFrom(shared.get());
      EXPECT_TRUE(stored(shared.get()) == expected && stored(mine.get()) == expected &&
                  GIS_SpatialReferencesIdentical(shared.get(), mine.get()));
    }
  });
}

TEST(SpatialReference, KindCodesOfTheFactory) {
  IGIS_SpatialReferenceFactory* f = Factory();
  RefPtr none(f->CreateSpatialReference(0));
  ASSERT_TRUE(none);
  EXPECT_EQ(none->GetKind(), GIS_SPATIALREFERENCE_NONE);
  EXPECT_EQ(none->GetGeographicCoordSys(), nullptr);
  EXPECT_EQ(none->GetProjectedCoordSys(), nullptr);

  RefPtr geo(f->CreateSpatialReference(1));
  ASSERT_TRUE(geo);
  EXPECT_EQ(geo->GetKind(), GIS_SPATIALREFERENCE_GEOGRAPHIC);
  ASSERT_NE(geo->GetGeographicCoordSys(), nullptr);
  EXPECT_EQ(geo->GetProjectedCoordSys(), nullptr);
  EXPECT_DOUBLE_EQ(geo->GetGeographicCoordSys()->GetAngularUnit()->GetFactor(), kPi / 180.0);

  for (int code : {2, 3}) {
    RefPtr proj(f->CreateSpatialReference(code));
    ASSERT_TRUE(proj);
    EXPECT_EQ(proj->GetKind(), GIS_SPATIALREFERENCE_PROJECTED);
    IGIS_ProjectedCoordSys* p = proj->GetProjectedCoordSys();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(proj->GetGeographicCoordSys(), nullptr);
    EXPECT_STREQ(p->GetProjection()->GetModelName(), GIS_PROJECTION_GAUSS);
    double meridian = 0.0;
    EXPECT_TRUE(p->GetProjection()->GetParameter(GIS_PROJPARAM_CENTRAL_MERIDIAN, &meridian));
    EXPECT_DOUBLE_EQ(meridian, 117.0);
    EXPECT_STREQ(p->GetLinearUnit()->GetName(), "米");
    EXPECT_STREQ(p->GetGeographicCoordSys()->GetDatum()->GetName(), "CGCS2000");
  }

  const std::size_t mark = LogMark();
  EXPECT_EQ(f->CreateSpatialReference(4), nullptr);
  EXPECT_EQ(f->CreateSpatialReference(-1), nullptr);
  EXPECT_TRUE(LoggedSince(mark, "CGIS_SpatialReferenceFactory::CreateSpatialReference"));
}

TEST(SpatialReference, GaussKrugerZonesAndBadArguments) {
  struct Row {
    int width, zone;
    double meridian;
  } rows[] = {{3, 39, 117.0}, {6, 20, 117.0}, {3, 38, 114.0}, {6, 1, 3.0}, {3, 120, 360.0}};
  for (const Row& r : rows) {
    RefPtr ref = GaussKruger(GIS_DATUM_BEIJING1954, r.width, r.zone, TRUE);
    ASSERT_TRUE(ref) << r.width << "/" << r.zone;
    double meridian = 0.0;
    ref->GetProjectedCoordSys()->GetProjection()->GetParameter(GIS_PROJPARAM_CENTRAL_MERIDIAN, &meridian);
    EXPECT_DOUBLE_EQ(meridian, r.meridian);
  }
  const std::size_t mark = LogMark();
  EXPECT_FALSE(GaussKruger(GIS_DATUM_CGCS2000, 4, 10, FALSE));
  EXPECT_FALSE(GaussKruger(GIS_DATUM_CGCS2000, 3, 0, FALSE));
  EXPECT_FALSE(GaussKruger(GIS_DATUM_CGCS2000, 3, 121, FALSE));
  EXPECT_FALSE(GaussKruger(GIS_DATUM_CGCS2000, 6, 61, FALSE));
  EXPECT_FALSE(GaussKruger(9, 6, 20, FALSE));
  EXPECT_FALSE(GaussKruger(-1, 6, 20, FALSE));
  EXPECT_TRUE(LoggedSince(mark, "CGIS_SpatialReferenceFactory::CreateGaussKrugerReference"));
}

// On the central meridian the easting is the false easting (with the zone in
// the millions when asked) and the northing is the meridian arc.
TEST(CoordTransform, CentralMeridianMatchesTheMeridianArc) {
  IGIS_SpatialReferenceFactory* f = Factory();
  struct Row {
    int datum, width, zone;
    BOOL prefix;
    double falseEasting;
  } rows[] = {
      {GIS_DATUM_CGCS2000, 3, 39, FALSE, 500000.0},
      {GIS_DATUM_CGCS2000, 3, 39, TRUE, 39500000.0},
      {GIS_DATUM_XIAN1980, 6, 20, TRUE, 20500000.0},
      {GIS_DATUM_BEIJING1954, 6, 20, FALSE, 500000.0},
  };
  for (const Row& r : rows) {
    RefPtr geo = Geographic(r.datum);
    RefPtr gk = GaussKruger(r.datum, r.width, r.zone, r.prefix);
    TransformPtr t = Transform(geo.get(), gk.get());
    IGIS_Ellipsoid* e = f->GetDatum(r.datum)->GetEllipsoid();
    for (double lat : {0.0, 18.5, 31.25, 53.0}) {
      SGIS_DPoint p(117.0, lat);
      ASSERT_TRUE(t->TransformPoint(1, &p, 1));
      EXPECT_NEAR(p.x, r.falseEasting, 1e-6);
      EXPECT_NEAR(p.y, MeridianArc(e->GetSemiMajorAxis(), e->GetSemiMinorAxis(), lat * kPi / 180.0), 1e-3)
          << "datum " << r.datum << " lat " << lat;
    }
    // Points mirrored about the central meridian mirror about the false easting.
    SGIS_DPoint east(118.2, 35.0), west(115.8, 35.0);
    ASSERT_TRUE(t->TransformPoint(1, &east, 1));
    ASSERT_TRUE(t->TransformPoint(1, &west, 1));
    EXPECT_NEAR(east.x - r.falseEasting, r.falseEasting - west.x, 1e-6);
    EXPECT_NEAR(east.y, west.y, 1e-6);
    EXPECT_GT(east.x - r.falseEasting, 100000.0);
  }
}

TEST(CoordTransform, GeographicToGaussKrugerAndBackOnEveryDatum) {
  for (int datum : {GIS_DATUM_CGCS2000, GIS_DATUM_XIAN1980, GIS_DATUM_BEIJING1954}) {
    for (int width : {3, 6}) {
      RefPtr geo = Geographic(datum);
      RefPtr gk = GaussKruger(datum, width, width == 3 ? 39 : 20, TRUE);
      TransformPtr t = Transform(geo.get(), gk.get());
      for (double lon = 113.0; lon <= 121.0; lon += 0.7) {
        for (double lat = 18.0; lat <= 54.0; lat += 4.5) {
          SGIS_DPoint p(lon, lat);
          ASSERT_TRUE(t->TransformPoint(1, &p, 1));
          EXPECT_GT(std::fabs(p.x - lon), 1000.0);
          ASSERT_TRUE(t->TransformPoint(1, &p, 0));
          EXPECT_NEAR(p.x, lon, 1e-9);
          EXPECT_NEAR(p.y, lat, 1e-9);
        }
      }
    }
  }
}

// Transformations of one pair of references made and used at once on several
// threads (they share made operations) give what one alone gives, and one
// released while another of the same pair lives leaves the other working.
TEST(CoordTransform, ConcurrentTransformationsOfOnePairAgree) {
  RefPtr geo = Geographic(GIS_DATUM_CGCS2000);
  RefPtr gk = GaussKruger(GIS_DATUM_BEIJING1954, 3, 39, TRUE);
  const auto projectAll = [&](std::vector<SGIS_DPoint>* out) {
    for (int k = 0; k < 20; ++k) {
      TransformPtr t = Transform(geo.get(), gk.get());
      TransformPtr other = Transform(geo.get(), gk.get());
      other.reset();
      out->clear();
      for (int i = 0; i < 50; ++i) {
        SGIS_DPoint p(114.0 + i * 0.1, 30.0 + i * 0.2);
        if (!t->TransformPoint(1, &p, 1)) p = SGIS_DPoint(0.0, 0.0);
        out->push_back(p);
      }
    }
  };
  std::vector<SGIS_DPoint> expected;
  projectAll(&expected);
  std::vector<std::vector<SGIS_DPoint>> results(6);
  std::vector<std::thread> threads;
  for (auto& r : results) threads.emplace_back(projectAll, &r);
  for (std::thread& t : threads) t.join();
  for (const auto& r : results) {
    ASSERT_EQ(r.size(), expected.size());
    for (std::size_t i = 0; i < r.size(); ++i) {
      EXPECT_EQ(r[i].x, expected[i].x);
      EXPECT_EQ(r[i].y, expected[i].y);
    }
  }
  EXPECT_GT(expected[0].x, 39000000.0);
}

TEST(CoordTransform, DatumChangeMovesPointsAndReturns) {
  RefPtr cgcs = Geographic(GIS_DATUM_CGCS2000);
  RefPtr gk54 = GaussKruger(GIS_DATUM_BEIJING1954, 3, 39, FALSE);
  RefPtr gk2000 = GaussKruger(GIS_DATUM_CGCS2000, 3, 39, FALSE);
  TransformPtr to54 = Transform(cgcs.get(), gk54.get());
  TransformPtr to2000 = Transform(cgcs.get(), gk2000.get());
  SGIS_DPoint a(116.4, 39.9), b(116.4, 39.9);
  ASSERT_TRUE(to54->TransformPoint(1, &a, 1));
  ASSERT_TRUE(to2000->TransformPoint(1, &b, 1));
  // Different ellipsoids put the same place at different grid coordinates.
  EXPECT_GT(std::hypot(a.x - b.x, a.y - b.y), 10.0);
  ASSERT_TRUE(to54->TransformPoint(1, &a, 0));
  EXPECT_NEAR(a.x, 116.4, 1e-9);
  EXPECT_NEAR(a.y, 39.9, 1e-9);

  // Grid to grid across datums goes both ways.
  TransformPtr grid = Transform(gk2000.get(), gk54.get());
  SGIS_DPoint g(440000.0, 4420000.0);
  ASSERT_TRUE(grid->TransformPoint(1, &g, 1));
  ASSERT_TRUE(grid->TransformPoint(1, &g, 0));
  EXPECT_NEAR(g.x, 440000.0, 1e-3);
  EXPECT_NEAR(g.y, 4420000.0, 1e-3);
}

TEST(CoordTransform, DatumShiftOfAForeignDatum) {
  IGIS_SpatialReferenceFactory* f = Factory();
  // Shifted 100 m along the geocentric X axis from WGS 84 on its ellipsoid.
  md::test::ForeignDatum datum("shifted", 6378137.0, 6378137.0 * (1.0 - 1.0 / 298.257223563), 100.0, 0.0,
                               0.0);
  IGIS_GeographicCoordSys* g = f->CreateGeographicCoordSys("s", "s", &datum, nullptr, nullptr);
  ASSERT_NE(g, nullptr);
  EXPECT_DOUBLE_EQ(g->GetDatum()->GetEllipsoid()->GetShiftX(), 100.0);
  RefPtr shifted(f->CreateGeographicReference("s", "s", nullptr, g, nullptr));
  RefPtr wgs = Geographic(GIS_DATUM_WGS84);
  TransformPtr t = Transform(shifted.get(), wgs.get());
  // On the equator at 90 E the point lies on the Y axis: moving it 100 m
  // along X turns its longitude back by 100 m over the equatorial radius.
  SGIS_DPoint p(90.0, 0.0);
  ASSERT_TRUE(t->TransformPoint(1, &p, 1));
  EXPECT_NEAR(p.x, 90.0 - 100.0 / 6378137.0 * 180.0 / kPi, 1e-9);
  EXPECT_NEAR(p.y, 0.0, 1e-9);
  // At 0 E the shift is radial: the position stays.
  SGIS_DPoint q(0.0, 0.0);
  ASSERT_TRUE(t->TransformPoint(1, &q, 1));
  EXPECT_NEAR(q.x, 0.0, 1e-9);
  EXPECT_NEAR(q.y, 0.0, 1e-9);
  ASSERT_TRUE(t->TransformPoint(1, &p, 0));
  EXPECT_NEAR(p.x, 90.0, 1e-9);
}

TEST(CoordTransform, UnitsFactorAndOriginOfTheMapCoordinates) {
  IGIS_SpatialReferenceFactory* f = Factory();
  RefPtr degrees = Geographic(GIS_DATUM_CGCS2000);
  IGIS_GeographicCoordSys* gs = f->CreateGeographicCoordSys("秒", "seconds", f->GetDatum(GIS_DATUM_CGCS2000),
                                                            nullptr, f->GetUnitByName("秒"));
  RefPtr seconds(f->CreateGeographicReference("秒", "seconds", nullptr, gs, nullptr));
  ASSERT_TRUE(seconds);
  TransformPtr t = Transform(degrees.get(), seconds.get());
  SGIS_DPoint p(117.0, 30.5);
  ASSERT_TRUE(t->TransformPoint(1, &p, 1));
  EXPECT_NEAR(p.x, 117.0 * 3600.0, 1e-6);
  EXPECT_NEAR(p.y, 30.5 * 3600.0, 1e-6);

  // Scaled and shifted grid coordinates: c = v * factor - origin.
  RefPtr gk = GaussKruger(GIS_DATUM_CGCS2000, 3, 39, FALSE);
  RefPtr scaled(f->CreateSpatialReference(0));
  scaled->CopyFrom(gk.get());
  EXPECT_TRUE(scaled->SetUnitFactor(100.0));
  EXPECT_TRUE(scaled->SetOrigin(SGIS_DPoint(1000.0, -2000.0, 0.0)));
  EXPECT_FALSE(scaled->SetUnitFactor(0.0));
  EXPECT_FALSE(scaled->SetUnitFactor(std::nan("")));
  EXPECT_FALSE(scaled->SetOrigin(SGIS_DPoint(std::nan(""), 0.0)));
  EXPECT_DOUBLE_EQ(scaled->GetUnitFactor(), 100.0);
  SGIS_DPoint origin;
  scaled->GetOrigin(&origin);
  EXPECT_EQ(origin, SGIS_DPoint(1000.0, -2000.0, 0.0));

  TransformPtr plain = Transform(degrees.get(), gk.get());
  TransformPtr shifted = Transform(degrees.get(), scaled.get());
  SGIS_DPoint a(116.3, 33.3), b(116.3, 33.3);
  ASSERT_TRUE(plain->TransformPoint(1, &a, 1));
  ASSERT_TRUE(shifted->TransformPoint(1, &b, 1));
  EXPECT_NEAR(b.x, a.x * 100.0 - 1000.0, 1e-4);
  EXPECT_NEAR(b.y, a.y * 100.0 + 2000.0, 1e-4);
}

TEST(CoordTransform, EmptyIdentityAndImpossibleTransformations) {
  IGIS_SpatialReferenceFactory* f = Factory();
  RefPtr geo = Geographic(GIS_DATUM_CGCS2000);
  RefPtr none(f->CreateSpatialReference(0));
  RefPtr none2(f->CreateSpatialReference(0));

  TransformPtr empty = Transform(nullptr, nullptr);
  SGIS_DPoint p(1.5, 2.5);
  EXPECT_TRUE(empty->TransformPoint(1, &p, 1));
  EXPECT_EQ(p, SGIS_DPoint(1.5, 2.5));

  TransformPtr same = Transform(geo.get(), geo.get());
  EXPECT_TRUE(same->TransformPoint(1, &p, 1));
  EXPECT_EQ(p, SGIS_DPoint(1.5, 2.5));
  TransformPtr unknown = Transform(none.get(), none2.get());
  EXPECT_TRUE(unknown->TransformPoint(1, &p, 1));
  EXPECT_EQ(p, SGIS_DPoint(1.5, 2.5));

  std::size_t mark = LogMark();
  TransformPtr mixed = Transform(none.get(), geo.get());
  EXPECT_TRUE(LoggedSince(mark, "CGIS_CoordTransform::SetSourceAndTarget"));
  EXPECT_FALSE(mixed->TransformPoint(1, &p, 1));
  EXPECT_EQ(p, SGIS_DPoint(1.5, 2.5));
  SGIS_DRect r(1.0, 2.0, 3.0, 0.0);
  EXPECT_FALSE(mixed->TransformRect(&r, 16, 1));
  EXPECT_EQ(r, SGIS_DRect(1.0, 2.0, 3.0, 0.0));

  TransformPtr half = Transform(geo.get(), nullptr);
  EXPECT_FALSE(half->TransformPoint(1, &p, 1));
  EXPECT_EQ(p, SGIS_DPoint(1.5, 2.5));

  // Bad input points are refused one by one; the others are transformed.
  RefPtr gk = GaussKruger(GIS_DATUM_CGCS2000, 3, 39, FALSE);
  TransformPtr t = Transform(geo.get(), gk.get());
  SGIS_DPoint pts[3] = {SGIS_DPoint(117.0, 30.0), SGIS_DPoint(std::nan(""), 30.0), SGIS_DPoint(117.0, 95.0)};
  EXPECT_FALSE(t->TransformPoint(3, pts, 1));
  EXPECT_NEAR(pts[0].x, 500000.0, 1e-6);
  EXPECT_TRUE(std::isnan(pts[1].x));
  EXPECT_EQ(pts[2], SGIS_DPoint(117.0, 95.0));
  EXPECT_FALSE(t->TransformPoint(1, nullptr, 1));
  EXPECT_TRUE(t->TransformPoint(0, nullptr, 1));
  EXPECT_FALSE(t->TransformRect(nullptr, 16, 1));
}

TEST(CoordTransform, ReaimingAndEditsThroughTheReference) {
  RefPtr geo = Geographic(GIS_DATUM_CGCS2000);
  RefPtr gk = GaussKruger(GIS_DATUM_CGCS2000, 3, 39, FALSE);
  TransformPtr t = Transform(geo.get(), gk.get());
  SGIS_DPoint p(116.0, 30.0);
  ASSERT_TRUE(t->TransformPoint(1, &p, 1));
  const SGIS_DPoint grid = p;

  t->SetSourceAndTarget(gk.get(), geo.get());
  ASSERT_TRUE(t->TransformPoint(1, &p, 1));
  EXPECT_NEAR(p.x, 116.0, 1e-9);
  EXPECT_NEAR(p.y, 30.0, 1e-9);

  // Moving the central meridian to 116 puts the point on it. The
  // transformation copied the old definition and keeps it until re-aimed.
  IGIS_ProjectedCoordSys* sys = gk->GetProjectedCoordSys();
  ASSERT_TRUE(sys->GetProjection()->SetParameter(GIS_PROJPARAM_CENTRAL_MERIDIAN, 116.0));
  EXPECT_FALSE(sys->GetProjection()->SetParameter(GIS_PROJPARAM_COUNT, 1.0));
  EXPECT_FALSE(sys->GetProjection()->SetParameter(-1, 1.0));
  EXPECT_FALSE(sys->GetProjection()->SetParameter(1, std::nan("")));
  SGIS_DPoint q(116.0, 30.0);
  t->SetSourceAndTarget(geo.get(), gk.get());
  ASSERT_TRUE(t->TransformPoint(1, &q, 1));
  EXPECT_NEAR(q.x, 500000.0, 1e-6);
  IGIS_Ellipsoid* e = Factory()->GetDatum(GIS_DATUM_CGCS2000)->GetEllipsoid();
  EXPECT_NEAR(q.y, MeridianArc(e->GetSemiMajorAxis(), e->GetSemiMinorAxis(), 30.0 * kPi / 180.0), 1e-3);
  EXPECT_LT(q.y, grid.y);

  // A copy takes over the whole definition; the systems a reference handed
  // out stay valid and show the new definition.
  RefPtr other = GaussKruger(GIS_DATUM_BEIJING1954, 6, 20, TRUE);
  gk->CopyFrom(other.get());
  EXPECT_EQ(gk->GetProjectedCoordSys(), sys);
  EXPECT_STREQ(sys->GetGeographicCoordSys()->GetDatum()->GetName(), "Beijing 1954");
  double meridian = 0.0;
  sys->GetProjection()->GetParameter(GIS_PROJPARAM_CENTRAL_MERIDIAN, &meridian);
  EXPECT_DOUBLE_EQ(meridian, 117.0);
  gk->CopyFrom(nullptr);
  EXPECT_STREQ(sys->GetGeographicCoordSys()->GetDatum()->GetName(), "Beijing 1954");

  // A reference made from another's projection and geographic system
  // computes the same grid coordinates.
  IGIS_SpatialReferenceFactory* f = Factory();
  RefPtr rebuilt(f->CreateGeographicReference("GK", "GK", other->GetProjectedCoordSys()->GetProjection(),
                                              other->GetProjectedCoordSys()->GetGeographicCoordSys(),
                                              nullptr));
  ASSERT_TRUE(rebuilt);
  EXPECT_EQ(rebuilt->GetKind(), GIS_SPATIALREFERENCE_PROJECTED);
  RefPtr geo54 = Geographic(GIS_DATUM_BEIJING1954);
  TransformPtr t1 = Transform(geo54.get(), other.get());
  TransformPtr t2 = Transform(geo54.get(), rebuilt.get());
  SGIS_DPoint a(118.0, 36.0), b(118.0, 36.0);
  ASSERT_TRUE(t1->TransformPoint(1, &a, 1));
  ASSERT_TRUE(t2->TransformPoint(1, &b, 1));
  EXPECT_NEAR(a.x, b.x, 1e-9);
  EXPECT_NEAR(a.y, b.y, 1e-9);
}

TEST(CoordTransform, RectangleExtentFollowsTheDensifiedEdges) {
  RefPtr geo = Geographic(GIS_DATUM_CGCS2000);
  RefPtr gk = GaussKruger(GIS_DATUM_CGCS2000, 3, 39, FALSE);
  TransformPtr t = Transform(geo.get(), gk.get());

  // Parallels bend towards the pole away from the central meridian, so the
  // lowest grid y of the box lies where its bottom edge crosses 117 degrees.
  SGIS_DPoint bottomMiddle(117.0, 30.0),
      corners[4] = {{116.0, 30.0}, {118.0, 30.0}, {116.0, 32.0}, {118.0, 32.0}};
  ASSERT_TRUE(t->TransformPoint(1, &bottomMiddle, 1));
  ASSERT_TRUE(t->TransformPoint(4, corners, 1));

  SGIS_DRect dense(118.0, 30.0, 116.0, 32.0);  // given unnormalised
  ASSERT_TRUE(t->TransformRect(&dense, 81, 1));
  EXPECT_NEAR(dense.y2, bottomMiddle.y, 1e-6);
  EXPECT_NEAR(dense.x1, std::min(corners[0].x, corners[2].x), 1e-6);
  EXPECT_NEAR(dense.x2, std::max(corners[1].x, corners[3].x), 1e-6);
  EXPECT_NEAR(dense.y1, std::max(corners[2].y, corners[3].y), 1e-6);

  SGIS_DRect sparse(116.0, 32.0, 118.0, 30.0);
  ASSERT_TRUE(t->TransformRect(&sparse, 2, 1));
  EXPECT_NEAR(sparse.y2, corners[0].y, 1e-6);
  EXPECT_GT(sparse.y2, dense.y2 + 1.0);

  // Back again: the grid extent covers at least the original box.
  SGIS_DRect back = dense;
  ASSERT_TRUE(t->TransformRect(&back, 64, 0));
  EXPECT_LE(back.x1, 116.0 + 1e-9);
  EXPECT_GE(back.x2, 118.0 - 1e-9);
  EXPECT_GE(back.y1, 32.0 - 1e-9);
  EXPECT_LE(back.y2, 30.0 + 1e-9);

  // A box partly beyond the pole keeps what could be transformed.
  SGIS_DRect polar(116.0, 100.0, 118.0, 80.0);
  EXPECT_FALSE(t->TransformRect(&polar, 16, 1));
  EXPECT_GT(polar.y2, 8000000.0);
  // Nothing transformable: unchanged, logged.
  const std::size_t mark = LogMark();
  SGIS_DRect beyond(116.0, 100.0, 118.0, 95.0);
  EXPECT_FALSE(t->TransformRect(&beyond, 16, 1));
  EXPECT_EQ(beyond, SGIS_DRect(116.0, 100.0, 118.0, 95.0));
  EXPECT_TRUE(LoggedSince(mark, "CGIS_CoordTransform::TransformRect"));
  // Huge sample counts are bounded.
  SGIS_DRect big(116.0, 32.0, 118.0, 30.0);
  EXPECT_TRUE(t->TransformRect(&big, 1 << 30, 1));
  EXPECT_NEAR(big.y2, bottomMiddle.y, 1e-3);
}

TEST(CoordTransform, RectanglesAskedForAgainGiveTheSameBoundForTheSameReferencesOnly) {
  RefPtr geo = Geographic(GIS_DATUM_CGCS2000);
  RefPtr zone39 = GaussKruger(GIS_DATUM_CGCS2000, 3, 39, FALSE);
  RefPtr zone40 = GaussKruger(GIS_DATUM_CGCS2000, 3, 40, FALSE);
  const SGIS_DRect box(116.0, 32.0, 118.0, 30.0);
  // Each transformation new, as a drawing makes them: the same bound to the
  // bit, and the same answer for a box partly beyond the pole.
  for (const SGIS_DRect& given : {box, SGIS_DRect(116.0, 100.0, 118.0, 80.0)}) {
    SGIS_DRect first = given, again = given;
    const BOOL bFirst = Transform(geo.get(), zone39.get())->TransformRect(&first, 64, 1);
    const BOOL bAgain = Transform(geo.get(), zone39.get())->TransformRect(&again, 64, 1);
    EXPECT_EQ(bAgain, bFirst);
    EXPECT_EQ(std::memcmp(&first, &again, sizeof first), 0);
  }
  // Another zone, another sample count, the other way: bounds of their own.
  SGIS_DRect in39 = box, in40 = box, sparse = box, back = box;
  ASSERT_TRUE(Transform(geo.get(), zone39.get())->TransformRect(&in39, 64, 1));
  ASSERT_TRUE(Transform(geo.get(), zone40.get())->TransformRect(&in40, 64, 1));
  ASSERT_TRUE(Transform(geo.get(), zone39.get())->TransformRect(&sparse, 2, 1));
  SGIS_DPoint corner(116.0, 30.0);
  ASSERT_TRUE(Transform(geo.get(), zone40.get())->TransformPoint(1, &corner, 1));
  EXPECT_NEAR(in40.x1, corner.x, 1e-6);
  EXPECT_LT(in40.x2, in39.x1);
  EXPECT_GT(sparse.y2, in39.y2 + 1.0);
  back = in39;
  ASSERT_TRUE(Transform(geo.get(), zone39.get())->TransformRect(&back, 64, 0));
  EXPECT_NEAR(back.x1, 116.0, 0.1);
  // Nothing transformable is logged every time.
  for (int i = 0; i < 2; ++i) {
    const std::size_t mark = LogMark();
    SGIS_DRect beyond(116.0, 100.0, 118.0, 95.0);
    EXPECT_FALSE(Transform(geo.get(), zone39.get())->TransformRect(&beyond, 16, 1));
    EXPECT_TRUE(LoggedSince(mark, "CGIS_CoordTransform::TransformRect"));
  }
}

TEST(SpatialReferenceHolder, GeographicToGaussKrugerAndBack) {
  RefPtr geo = Geographic(GIS_DATUM_CGCS2000);
  RefPtr gk = GaussKruger(GIS_DATUM_CGCS2000, 3, 39, FALSE);  // central meridian 117 E
  CGIS_SpatialReferenceHolder holder;
  EXPECT_EQ(holder.Get(), nullptr);
  ASSERT_TRUE(holder.Create(geo.get(), gk.get(), nullptr, nullptr));
  ASSERT_NE(holder.Get(), nullptr);

  CGIS_SpatialReferenceHolder back;
  ASSERT_TRUE(back.Create(gk.get(), geo.get(), "back", "back"));
  const SGIS_DPoint places[] = {{117.0, 0.5}, {115.52, 28.68}, {118.49, 31.95}, {116.4, 39.9}, {117.9, 45.0}};
  for (const SGIS_DPoint& place : places) {
    SGIS_DPoint p = place;
    ASSERT_TRUE(holder.Get()->TransformPoint(1, &p, 1));
    EXPECT_GT(p.y, 10000.0);  // metres now
    ASSERT_TRUE(back.Get()->TransformPoint(1, &p, 1));
    EXPECT_NEAR(p.x, place.x, 1e-6);
    EXPECT_NEAR(p.y, place.y, 1e-6);
  }

  // A second Create replaces the held transformation; Release empties it.
  ASSERT_TRUE(holder.Create(gk.get(), geo.get(), nullptr, nullptr));
  SGIS_DPoint q(500000.0, 3320000.0);
  ASSERT_TRUE(holder.Get()->TransformPoint(1, &q, 1));
  EXPECT_NEAR(q.x, 117.0, 1e-9);
  holder.Release();
  EXPECT_EQ(holder.Get(), nullptr);
  holder.Release();

  // Made empty, it is aimed later.
  CGIS_SpatialReferenceHolder empty;
  ASSERT_TRUE(empty.Create(nullptr, nullptr, nullptr, nullptr));
  SGIS_DPoint r(117.0, 30.0);
  EXPECT_TRUE(empty.Get()->TransformPoint(1, &r, 1));
  EXPECT_EQ(r, SGIS_DPoint(117.0, 30.0));
  empty.Get()->SetSourceAndTarget(geo.get(), gk.get());
  EXPECT_TRUE(empty.Get()->TransformPoint(1, &r, 1));
  EXPECT_NEAR(r.x, 500000.0, 1e-6);
}
