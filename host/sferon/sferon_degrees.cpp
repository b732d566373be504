#include "host/sferon/sferon_degrees.h"

#include "host/basilo/releaseptr.h"
#include "host/sferon/sferon_model.h"

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

namespace {

// The transform into degrees of one reference definition, and the degrees
// reference it goes to.
struct DegreesTransform {
  ReferenceDef def;
  md::basilo::ReleasePtr<IGIS_SpatialReference> degrees;
  md::basilo::ReleasePtr<IGIS_CoordTransform> transform;
};

// Makes the degrees reference and the transform into it; the transform is
// NULL when the degrees reference is.
void MakeDegreesTransform(IGIS_SpatialReference* reference, DegreesTransform* pOut) {
  pOut->degrees.reset(CreateDegreesReferenceFor(reference));
  if (pOut->degrees == nullptr) return;
  pOut->transform.reset(GIS_GetSpatialReferenceFactoryObject()->CreateCoordTransform(
      "距离", "distance", reference, pOut->degrees.get()));
}

DegreesResult Apply(const DegreesTransform& t, SGIS_DPoint* points, int count) {
  if (t.degrees == nullptr) return DegreesResult::kNoDegrees;
  if (t.transform == nullptr || !t.transform->TransformPoint(count, points, 1))
    return DegreesResult::kNotTransformed;
  return DegreesResult::kDone;
}

}  // namespace

DegreesResult ToDegrees(IGIS_SpatialReference* reference, SGIS_DPoint* points, int count) {
  const ReferenceDef* def = DefinitionOf(reference);
  if (def == nullptr) {
    DegreesTransform once;
    MakeDegreesTransform(reference, &once);
    return Apply(once, points, count);
  }
  // Transforms are used on the thread that made them.
  thread_local DegreesTransform kept;
  if (kept.degrees == nullptr || !(kept.def == *def)) {
    kept = DegreesTransform();
    MakeDegreesTransform(reference, &kept);
    kept.def = *def;
  }
  const DegreesResult result = Apply(kept, points, count);
  if (result != DegreesResult::kDone) kept = DegreesTransform();
  return result;
}

}  // namespace md::sferon
