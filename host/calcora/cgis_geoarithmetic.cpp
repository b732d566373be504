// The geometric arithmetic object.
#include <geodesic.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/calcora/igis_geoarithmetic.h"
#include "host/calcora/polyline_clip.h"
#include "host/sferon/sferon_degrees.h"
#include "host/sferon/sferon_model.h"

namespace md::calcora {

namespace {

// The last distance worked out on this thread: the result is a function of
// the reference's definition, the four coordinates and the unit only.
struct DistanceMemo {
  bool bValid = false;
  sferon::ReferenceDef def;
  double coordinates[4] = {};
  int unit = 0;
  double result = 0.0;

  bool Matches(const sferon::ReferenceDef& d, const double (&c)[4], int u) const {
    return bValid && unit == u && std::memcmp(coordinates, c, sizeof c) == 0 && def == d;
  }
};

class CGeoArithmetic final : public IGIS_GeoArithmetic {
 public:
  void Release() override { delete this; }

  int ClipPolylineToRect(SGIS_Point lowerLeft, SGIS_Point upperRight, int count, const SGIS_Point* points,
                         SGIS_Point* out) override {
    if (count < 1) {
      if (count < 0)
        GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_GeoArithmetic::ClipPolylineToRect", "count %d below 0", count);
      return 0;
    }
    if (points == nullptr || out == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_GeoArithmetic::ClipPolylineToRect", "points == NULL or out == NULL");
      return 0;
    }
    return detail::ClipPolyline(lowerLeft, upperRight, count, points, out);
  }

  double Distance(double x1, double y1, double x2, double y2, IGIS_SpatialReference* reference,
                  int unit) override {
    const char* method = "CGIS_GeoArithmetic::Distance";
    if (unit != GIS_DISTANCE_METRE && unit != GIS_DISTANCE_DEGREE) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "unknown distance unit %d", unit);
      return 0.0;
    }
    if (reference == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "reference == NULL");
      return 0.0;
    }
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "coordinates not finite");
      return 0.0;
    }
    const double coordinates[4] = {x1, y1, x2, y2};
    const sferon::ReferenceDef* def = sferon::DefinitionOf(reference);
    thread_local DistanceMemo memo;
    if (def != nullptr && memo.Matches(*def, coordinates, unit)) return memo.result;
    IGIS_GeographicCoordSys* base = sferon::GeographicBaseOf(reference);
    IGIS_Datum* datum = base != nullptr ? base->GetDatum() : nullptr;
    IGIS_Ellipsoid* ellipsoid = datum != nullptr ? datum->GetEllipsoid() : nullptr;
    if (ellipsoid == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "reference without a coordinate system");
      return 0.0;
    }
    const double a = ellipsoid->GetSemiMajorAxis();
    const double b = ellipsoid->GetSemiMinorAxis();
    if (!std::isfinite(a) || !std::isfinite(b) || a <= 0.0 || b <= 0.0 || b > a) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "bad ellipsoid");
      return 0.0;
    }
    // Longitude and latitude in degrees east of Greenwich on the same datum.
    SGIS_DPoint p[2] = {SGIS_DPoint(x1, y1, 0.0), SGIS_DPoint(x2, y2, 0.0)};
    switch (sferon::ToDegrees(reference, p, 2)) {
      case sferon::DegreesResult::kNoDegrees:
        GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "no geographic reference");
        return 0.0;
      case sferon::DegreesResult::kNotTransformed:
        GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "points cannot be taken to longitude and latitude");
        return 0.0;
      case sferon::DegreesResult::kDone:
        break;
    }
    geod_geodesic g;
    geod_init(&g, a, (a - b) / a);
    double s12 = 0.0;
    const double a12 = geod_geninverse(&g, p[0].y, p[0].x, p[1].y, p[1].x, &s12, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, nullptr);
    const double result = unit == GIS_DISTANCE_METRE ? s12 : a12;
    if (!std::isfinite(result)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "distance not finite");
      return 0.0;
    }
    if (def != nullptr) {
      memo.bValid = false;
      memo.def = *def;
      std::memcpy(memo.coordinates, coordinates, sizeof coordinates);
      memo.unit = unit;
      memo.result = result;
      memo.bValid = true;
    }
    return result;
  }

 private:
  ~CGeoArithmetic() override = default;
};

}  // namespace

}  // namespace md::calcora

extern "C" IGIS_GeoArithmetic* GIS_CreateGeoArithmeticObject() { return new md::calcora::CGeoArithmetic(); }
