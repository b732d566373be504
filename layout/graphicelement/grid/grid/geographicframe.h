// The geographic frame of the grids that follow longitude and latitude: the
// map's own geographic base in degrees (its datum and prime meridian), and
// the transformation between it and the map's coordinates. A drawing or
// conversion builds one, carries the map bound into degrees, aims the
// transformation back and then carries geographic points to the map.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/basilo/recentring.h"
#include "host/basilo/releaseptr.h"
#include "host/basilo/sgis_types.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/gridintervals.h"

namespace md::layout::grid {

// What the geographic frames of one object's drawings work out alike while
// the map's reference stays the same: that the frame could be built, the
// extents in degrees of the map rectangles carried, and the map points of
// the geographic points carried to the map. Kept by the object that draws
// (a grid, a label) for its next drawing, keyed by everything the
// transformation depends on in the map's reference, so that another
// reference (or the same one changed) starts afresh. A frame checks the
// values out while it works and back in when it ends: drawings on several
// threads at once each work with values of their own.
class GeographicFrameCache {
 public:
  GeographicFrameCache() = default;
  // A copy of the object that keeps it starts without values.
  GeographicFrameCache(const GeographicFrameCache&) {}
  GeographicFrameCache& operator=(const GeographicFrameCache&) { return *this; }

 private:
  friend class GeographicFrame;
  struct PointKey {
    std::uint64_t x, y;
    bool operator==(const PointKey& o) const { return x == o.x && y == o.y; }
  };
  struct PointKeyHash {
    std::size_t operator()(const PointKey& k) const {
      return static_cast<std::size_t>((k.x * 0x9E3779B97F4A7C15ull) ^ (k.y + (k.x >> 29)));
    }
  };
  struct MapPoint {
    bool bCarried = false;
    double x = 0.0, y = 0.0;
  };
  static constexpr std::size_t kMaxExtents = 8;
  struct Values {
    std::string reference;  // the reference's key (ReferenceKey)
    bool bBuilt = false;    // a frame was built on it
    // The extents in degrees of the map rectangles carried last.
    md::basilo::RecentRing<SGIS_DRect, SGIS_DRect, kMaxExtents> extents;
    std::unordered_map<PointKey, MapPoint, PointKeyHash> toMap;
  };
  static constexpr std::size_t kMaxPoints = 1u << 16;

  // The values kept for the reference key (new ones for another key).
  std::unique_ptr<Values> CheckOut(const std::string& reference);
  void CheckIn(std::unique_ptr<Values> pValues);

  std::mutex m_mutex;
  std::unique_ptr<Values> m_pValues;
};

// Everything a transformation between the reference and degrees on its own
// datum depends on, as bytes: equal keys carry points alike. Empty for
// NULL.
std::string ReferenceKey(IGIS_SpatialReference* pReference);

class GeographicFrame {
 public:
  GeographicFrame() = default;
  GeographicFrame(const GeographicFrame&) = delete;
  GeographicFrame& operator=(const GeographicFrame&) = delete;
  // Hands the values worked out back to the cache given to Build.
  ~GeographicFrame();

  // Makes the geographic system "度" on the datum and prime meridian under
  // the map's reference (its own system for a geographic reference, that of
  // its projected system for a projected one) in the angular unit of index 1,
  // the reference "度" on it, and the transformation "度1" from the map's
  // reference to it. False for a NULL reference, one of kind 0, or when any
  // of them cannot be made. With a cache, a reference it has seen built is
  // taken as buildable and the objects are made only when a point or
  // rectangle is carried that the cache does not hold.
  bool Build(IGIS_SpatialReference* pMapReference, GeographicFrameCache* pCache = nullptr);

  // Replaces a rectangle of map coordinates by its extent in degrees (x1
  // west, x2 east, y1 north, y2 south), 64 samples an edge. False when some
  // samples failed: the rectangle is then as the transformation left it.
  bool ToDegrees(SGIS_DRect* pRect);
  // Aims the transformation from degrees to the map's coordinates.
  void AimToMap();
  // Carries one point in place (after AimToMap: degrees to map
  // coordinates). False when it cannot be carried or is not finite after.
  bool ToMap(SGIS_DPoint* pPoint);

  // The reference in degrees (NULL before a successful Build).
  IGIS_SpatialReference* Degrees();

 private:
  // Makes the system, reference and transformation on m_pMap, aimed as
  // m_bToMap says; false when one of them cannot be made.
  bool Make();
  // Makes them when Build left that for later; false when they cannot be.
  bool Made() { return m_bMade || (m_bPending && Make()); }

  IGIS_SpatialReference* m_pMap = nullptr;
  md::basilo::ReleasePtr<IGIS_SpatialReference> m_pDegrees;
  md::basilo::ReleasePtr<IGIS_CoordTransform> m_pTransform;
  bool m_bMade = false;     // the objects are made
  bool m_bPending = false;  // built on the cache's word, not made yet
  bool m_bToMap = false;    // aimed from degrees to the map
  GeographicFrameCache* m_pCache = nullptr;
  std::unique_ptr<GeographicFrameCache::Values> m_pValues;
};

// The geographic system under a map's reference: its own for a geographic
// reference, that of its projected system for a projected one; NULL for
// NULL, a reference of another kind or one without a system.
IGIS_GeographicCoordSys* GeographicSystemOf(IGIS_SpatialReference* pReference);

// How many degrees one unit of a spacing's angular unit (its position in
// the factory's angular units) makes; 1.0 for a position without a unit.
double DegreesPerAngularUnit(int nUnitIndex);

}  // namespace md::layout::grid
