#include "layout/graphicelement/grid/measure/dialogs/measuredwizarddefaults.h"

#include <cmath>

namespace md::layout::measure {

namespace {

// Frames at most this many times wider (frame metres per degree of bound)
// use 6-degree zones.
constexpr double kSixDegreeRatio = 1000.0;
// The measured grid's own interval.
constexpr double kFallbackInterval = 1000.0;
// Powers of ten tried: a finite double has fewer than 310 digits before the
// point.
constexpr int kMaxPower = 310;

}  // namespace

bool ChooseZone(int nFrameWidth, const SGIS_DRect& bound, double dUnitFactor, double dOriginX,
                ZoneChoice* pZone) {
  if (pZone == nullptr || !std::isfinite(dUnitFactor) || dUnitFactor <= 0.0) return false;
  const double dWidth = std::fabs(bound.x2 - bound.x1) / dUnitFactor;
  const double dCentre = ((bound.x1 + bound.x2) / 2.0 + dOriginX) / dUnitFactor;
  if (!std::isfinite(dWidth) || dWidth <= 0.0 || !std::isfinite(dCentre)) return false;
  const int nFrame = nFrameWidth / 1000;
  const double dRatio = nFrame / dWidth;
  if (dRatio <= kSixDegreeRatio) {
    pZone->dMeridian = (std::floor(dCentre / 6.0) + 1.0) * 6.0 - 3.0;
    pZone->nWidth = 6;
  } else {
    pZone->dMeridian = (std::floor((dCentre - 1.5) / 3.0) + 1.0) * 3.0;
    pZone->nWidth = 3;
  }
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
