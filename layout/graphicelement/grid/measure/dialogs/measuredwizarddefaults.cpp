#include "layout/graphicelement/grid/measure/dialogs/measuredwizarddefaults.h"

#include <cmath>

#include "host/basilo/igis_log.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace md::layout::measure {

namespace {

// The measured grid's own interval.
constexpr double kFallbackInterval = 1000.0;
// Powers of ten tried: a finite double has fewer than 310 digits before the
// point.
constexpr int kMaxPower = 310;

}  // namespace

bool ChooseZone(int nFrameWidth, const SGIS_DRect& bound, double dUnitFactor, double dOriginX,
                double dSixDegreeRatio, ZoneChoice* pZone) {
  if (pZone == nullptr || !std::isfinite(dUnitFactor) || dUnitFactor <= 0.0) return false;
  const double dWidth = std::fabs(bound.x2 - bound.x1) / dUnitFactor;
  const double dCentre = ((bound.x1 + bound.x2) / 2.0 + dOriginX) / dUnitFactor;
  if (!std::isfinite(dWidth) || dWidth <= 0.0 || !std::isfinite(dCentre)) return false;
  const int nFrame = nFrameWidth / 1000;
  const double dRatio = nFrame / dWidth;
  if (dRatio <= dSixDegreeRatio) {
    pZone->dMeridian = (std::floor(dCentre / 6.0) + 1.0) * 6.0 - 3.0;
    pZone->nWidth = 6;
  } else {
    pZone->dMeridian = (std::floor((dCentre - 1.5) / 3.0) + 1.0) * 3.0;
    pZone->nWidth = 3;
  }
  return true;
}

bool SetFrameZone(IGIS_SpatialReference* pReference, IGIS_MapElement* pFrame,
                  IGIS_SpatialReference* pMapReference, double dSixDegreeRatio, const char* szMethod) {
  SGIS_DRect bound;
  pFrame->GetMapBound(&bound);
  SGIS_DPoint origin{};
  pMapReference->GetOrigin(&origin);
  ZoneChoice zone;
  if (!ChooseZone(pFrame->GetRect().Width(), bound, pMapReference->GetUnitFactor(), origin.x, dSixDegreeRatio,
                  &zone)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "the map's unit factor or extent gives no zone");
    return false;
  }
  IGIS_ProjectedCoordSys* pSystem = pReference->GetProjectedCoordSys();
  IGIS_Projection* pProjection = pSystem != nullptr ? pSystem->GetProjection() : nullptr;
  if (pProjection == nullptr) return false;
  pProjection->SetParameter(GIS_PROJPARAM_CENTRAL_MERIDIAN, zone.dMeridian);
  pProjection->SetParameter(GIS_PROJPARAM_ZONE_WIDTH, zone.nWidth);
  return true;
}

double DefaultInterval(double dSide) {
  if (!std::isfinite(dSide) || dSide <= 0.0) return kFallbackInterval;
  double dPower = 1.0;
  for (int k = 0; k < kMaxPower; ++k, dPower *= 10.0) {
    // Rounded half away from zero; the side is positive.
    if (std::floor(dSide / dPower + 0.5) <= 10.0) return dPower;
  }
  return dPower;
}

}  // namespace md::layout::measure
