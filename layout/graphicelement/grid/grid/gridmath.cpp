// Arithmetic shared by the grid kinds and the grid labels.
#include "layout/graphicelement/grid/grid/gridmath.h"

#include <cmath>
#include <limits>

#include "host/basilo/igis_log.h"

namespace md::layout::grid {

int GridCountCap::Cap(double dCount, int nMax) {
  if (!(dCount > 0.0)) return 0;
  if (dCount <= nMax) return static_cast<int>(dCount);
  if (!m_bCapped) GIS_LOG(GIS_LOG_LEVEL_CHECK, m_szMethod, "%g items capped at %d", dCount, nMax);
  m_bCapped = true;
  return nMax;
}

double StepCount(double dFrom, double dTo, double dStep) {
  if (!std::isfinite(dFrom) || !std::isfinite(dTo) || !std::isfinite(dStep) || !(dStep > 0.0)) {
    return std::numeric_limits<double>::infinity();
  }
  if (dTo < dFrom) return 0.0;
  return std::floor((dTo - dFrom) / dStep) + 1.0;
}

double WholeIntervalStart(double dValue, double dInterval, double dOrigin) {
  if (!std::isfinite(dValue) || !std::isfinite(dOrigin) || !std::isfinite(dInterval) || !(dInterval > 0.0)) {
    return dValue;
  }
  return dOrigin + std::floor((dValue - dOrigin) / dInterval) * dInterval;
}

SGIS_Point MapPointToPage(double dMapX, double dMapY, const SGIS_DRect& bound, double dScale,
                          const SGIS_Rect& frame) {
  double dx = dMapX - bound.x1;
  double dy = dMapY - bound.y2;
  if (dScale > 0.0) {
    dx /= dScale;
    dy /= dScale;
  }
  return SGIS_Point::FromDoubles(dx + frame.left, dy + frame.bottom);
}

namespace {

// The first value of the search's sequence that puts more than one and at
// most 4 x nCount intervals across dExtent; the sequence starts at 50 and is
// multiplied by dEven on even steps and by dOdd on odd ones.
double SearchInterval(double dExtent, int nCount, double dEven, double dOdd) {
  constexpr int kSteps = 20;
  double d = 50.0;
  for (int i = 0; i < kSteps; ++i) {
    d *= (i % 2 == 0) ? dEven : dOdd;
    const double n = std::trunc(dExtent / d);
    if (n > 1.0 && n <= 4.0 * nCount) break;
  }
  return d;
}

}  // namespace

FixedCountIntervals SearchFixedCountIntervals(double dWidth, double dHeight, int nColumns, int nRows) {
  FixedCountIntervals out;
  out.dColumn = SearchInterval(dWidth, nColumns < 1 ? 1 : nColumns, 0.2, 0.5);
  out.dRow = SearchInterval(dHeight, nRows < 1 ? 1 : nRows, 0.5, 0.2);
  out.dInterval = out.dColumn <= out.dRow ? out.dColumn : out.dRow;
  return out;
}

}  // namespace md::layout::grid
