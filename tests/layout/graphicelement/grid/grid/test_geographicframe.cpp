// The geographic frame's cache: a frame built on a reference the cache has
// seen carries points and rectangles as a frame without a cache does, and
// whatever in the reference changes, or another reference, starts afresh.
#include <gtest/gtest.h>

#include <functional>

#include "host/basilo/releaseptr.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/geographicframe.h"

namespace {

using md::layout::grid::GeographicFrame;
using md::layout::grid::GeographicFrameCache;

using Reference = md::basilo::ReleasePtr<IGIS_SpatialReference>;

Reference GaussKruger(int nZone) {
  return Reference(GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 6,
                                                                                      nZone, FALSE));
}

// What a frame carries: a rectangle about the sheet into degrees, then two
// points of the sheet to the map.
struct Carried {
  SGIS_DRect degrees;
  SGIS_DPoint points[2];
};

Carried Carry(IGIS_SpatialReference* pReference, GeographicFrameCache* pCache) {
  GeographicFrame geo;
  Carried c;
  EXPECT_TRUE(geo.Build(pReference, pCache));
  c.degrees = SGIS_DRect(400000.0, 4440000.0, 430000.0, 4410000.0);
  EXPECT_TRUE(geo.ToDegrees(&c.degrees));
  geo.AimToMap();
  c.points[0] = SGIS_DPoint(116.0, 39.875, 0.0);
  c.points[1] = SGIS_DPoint(116.25, 40.0, 0.0);
  for (SGIS_DPoint& p : c.points) EXPECT_TRUE(geo.ToMap(&p));
  return c;
}

void ExpectSame(const Carried& a, const Carried& b) {
  EXPECT_EQ(a.degrees.x1, b.degrees.x1);
  EXPECT_EQ(a.degrees.y1, b.degrees.y1);
  EXPECT_EQ(a.degrees.x2, b.degrees.x2);
  EXPECT_EQ(a.degrees.y2, b.degrees.y2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(a.points[i].x, b.points[i].x);
    EXPECT_EQ(a.points[i].y, b.points[i].y);
  }
}

TEST(GeographicFrameCache, CarriesAsAFrameWithoutOneUntilTheReferenceChanges) {
  struct Case {
    const char* name;
    // Changes the reference, or gives another one in its place.
    std::function<void(Reference* pReference)> change;
    bool bChanges;
  };
  const Case cases[] = {
      {"unchanged", [](Reference*) {}, false},
      {"the same definition in another object", [](Reference* p) { *p = GaussKruger(20); }, false},
      {"origin", [](Reference* p) { (*p)->SetOrigin(SGIS_DPoint(1000.0, -500.0, 0.0)); }, true},
      {"unit factor", [](Reference* p) { (*p)->SetUnitFactor(2.0); }, true},
      {"central meridian",
       [](Reference* p) {
         (*p)->GetProjectedCoordSys()->GetProjection()->SetParameter(GIS_PROJPARAM_CENTRAL_MERIDIAN, 116.0);
       },
       true},
      {"another zone", [](Reference* p) { *p = GaussKruger(19); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reference reference = GaussKruger(20);
    ASSERT_TRUE(reference);
    GeographicFrameCache cache;
    const Carried first = Carry(reference.get(), &cache);
    ExpectSame(first, Carry(reference.get(), nullptr));
    c.change(&reference);
    const Carried fresh = Carry(reference.get(), nullptr);
    ExpectSame(Carry(reference.get(), &cache), fresh);
    // Twice: the second time from what the first kept.
    ExpectSame(Carry(reference.get(), &cache), fresh);
    EXPECT_EQ(fresh.points[0].x != first.points[0].x || fresh.points[0].y != first.points[0].y, c.bChanges);
  }
}

}  // namespace
