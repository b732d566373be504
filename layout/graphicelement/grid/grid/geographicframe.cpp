// The geographic frame of the grids that follow longitude and latitude.
#include "layout/graphicelement/grid/grid/geographicframe.h"

#include <cmath>

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/grid/igis_graticulemngrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"

namespace md::layout::grid {

namespace {

constexpr int kDegreeUnit = 1;
constexpr int kSamplesPerEdge = 64;

}  // namespace

bool GeographicFrame::Build(IGIS_SpatialReference* pMapReference) {
  m_pTransform.reset();
  m_pDegrees.reset();
  m_pMap = nullptr;
  IGIS_GeographicCoordSys* pBase = GeographicSystemOf(pMapReference);
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

IGIS_GeographicCoordSys* GeographicSystemOf(IGIS_SpatialReference* pReference) {
  if (pReference == nullptr) return nullptr;
  switch (pReference->GetKind()) {
    case GIS_SPATIALREFERENCE_GEOGRAPHIC:
      return pReference->GetGeographicCoordSys();
    case GIS_SPATIALREFERENCE_PROJECTED: {
      IGIS_ProjectedCoordSys* pProjected = pReference->GetProjectedCoordSys();
      return pProjected != nullptr ? pProjected->GetGeographicCoordSys() : nullptr;
    }
    default:
      return nullptr;
  }
}

double DegreesPerAngularUnit(int nUnitIndex) {
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  if (pFactory == nullptr || nUnitIndex < 0 || nUnitIndex >= pFactory->GetAngularUnitCount()) return 1.0;
  return SpacingUnitFactor(nUnitIndex, true) / SpacingUnitFactor(kDegreeUnit, true);
}

FixedCountGraticule PlanGraticuleOfFixedCounts(IGIS_GraticuleMNGrid* pGrid, GeographicFrame& geo,
                                               const SGIS_DRect& shownBound, const char* szMethod) {
  SGIS_DRect degrees = shownBound;
  if (!geo.ToDegrees(&degrees)) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "b_ret == NULL");
  IGIS_GridSpacing* pSpacing = pGrid->GetGridSpacing();
  const double dRatio = pSpacing != nullptr ? DegreesPerAngularUnit(pSpacing->GetUnits()) : 1.0;
  return PlanFixedCountGraticule(degrees, pGrid->GetLatitudeCount(), pGrid->GetLongitudeCount(), dRatio);
}

}  // namespace md::layout::grid
