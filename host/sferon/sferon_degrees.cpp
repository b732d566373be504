#include "host/sferon/sferon_degrees.h"

namespace md::sferon {

IGIS_GeographicCoordSys* GeographicBaseOf(IGIS_SpatialReference* reference) {
  if (reference == nullptr) return nullptr;
  switch (reference->GetKind()) {
    case GIS_SPATIALREFERENCE_GEOGRAPHIC:
      return reference->GetGeographicCoordSys();
    case GIS_SPATIALREFERENCE_PROJECTED:
      if (IGIS_ProjectedCoordSys* p = reference->GetProjectedCoordSys()) return p->GetGeographicCoordSys();
      return nullptr;
    default:
      return nullptr;
  }
}

IGIS_SpatialReference* CreateDegreesReferenceFor(IGIS_SpatialReference* reference) {
  IGIS_GeographicCoordSys* base = GeographicBaseOf(reference);
  if (base == nullptr || base->GetDatum() == nullptr) return nullptr;
  IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
  IGIS_GeographicCoordSys* degrees = f->CreateGeographicCoordSys(
      "度", "angle", base->GetDatum(), f->GetPrimeMeridian(0), f->GetAngularUnit(1));
  return f->CreateGeographicReference("度", "angle", nullptr, degrees, f->GetLinearUnit(0));
}

}  // namespace md::sferon
