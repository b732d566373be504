// The geographic frame of the grids that follow longitude and latitude.
#include "layout/graphicelement/grid/grid/geographicframe.h"

#include <cmath>

namespace md::layout::grid {

namespace {

constexpr int kDegreeUnit = 1;
constexpr int kSamplesPerEdge = 64;

}  // namespace

bool GeographicFrame::Build(IGIS_SpatialReference* pMapReference) {
  m_pTransform.reset();
  m_pDegrees.reset();
  m_pMap = nullptr;
  if (pMapReference == nullptr) return false;
  IGIS_GeographicCoordSys* pBase = nullptr;
  switch (pMapReference->GetKind()) {
    case GIS_SPATIALREFERENCE_GEOGRAPHIC:
      pBase = pMapReference->GetGeographicCoordSys();
      break;
    case GIS_SPATIALREFERENCE_PROJECTED: {
      IGIS_ProjectedCoordSys* pProjected = pMapReference->GetProjectedCoordSys();
      pBase = pProjected != nullptr ? pProjected->GetGeographicCoordSys() : nullptr;
      break;
    }
    default:
      return false;
  }
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  if (pBase == nullptr || pFactory == nullptr) return false;
  IGIS_GeographicCoordSys* pSystem = pFactory->CreateGeographicCoordSys(
      "度", "angle", pBase->GetDatum(), pBase->GetPrimeMeridian(), pFactory->GetAngularUnit(kDegreeUnit));
  if (pSystem == nullptr) return false;
  m_pDegrees.reset(
      pFactory->CreateGeographicReference("度", "angle", nullptr, pSystem, pFactory->GetLinearUnit(0)));
  if (!m_pDegrees) return false;
  m_pTransform.reset(pFactory->CreateCoordTransform("度1", "angle1", pMapReference, m_pDegrees.get()));
  if (!m_pTransform) {
    m_pDegrees.reset();
    return false;
  }
  m_pMap = pMapReference;
  return true;
}

bool GeographicFrame::ToDegrees(SGIS_DRect* pRect) {
  if (!m_pTransform || pRect == nullptr) return false;
  return m_pTransform->TransformRect(pRect, kSamplesPerEdge, 1) != FALSE;
}

void GeographicFrame::AimToMap() {
  if (m_pTransform) m_pTransform->SetSourceAndTarget(m_pDegrees.get(), m_pMap);
}

bool GeographicFrame::ToMap(SGIS_DPoint* pPoint) {
  if (!m_pTransform || pPoint == nullptr) return false;
  if (!std::isfinite(pPoint->x) || !std::isfinite(pPoint->y)) return false;
  if (m_pTransform->TransformPoint(1, pPoint, 1) == FALSE) return false;
  return std::isfinite(pPoint->x) && std::isfinite(pPoint->y);
}

double DegreesPerAngularUnit(int nUnitIndex) {
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  if (pFactory == nullptr) return 1.0;
  const int nCount = pFactory->GetAngularUnitCount();
  if (nUnitIndex < 0 || nUnitIndex >= nCount || kDegreeUnit >= nCount) return 1.0;
  IGIS_Unit* pUnit = pFactory->GetAngularUnit(nUnitIndex);
  IGIS_Unit* pDegree = pFactory->GetAngularUnit(kDegreeUnit);
  if (pUnit == nullptr || pDegree == nullptr) return 1.0;
  const double f0 = pDegree->GetFactor();
  const double f1 = pUnit->GetFactor();
  if (!(f0 > 0.0) || !std::isfinite(f0) || !std::isfinite(f1)) return 1.0;
  return f1 / f0;
}

}  // namespace md::layout::grid
