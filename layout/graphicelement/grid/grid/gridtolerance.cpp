// The one tolerance of "on a grid line" and "on the edge".
#include "layout/graphicelement/grid/grid/gridtolerance.h"

#include <algorithm>
#include <cmath>

namespace md::layout::grid {

namespace {

double Size(double v) { return std::isfinite(v) ? std::fabs(v) : 0.0; }

}  // namespace

double GridTolerance(double dScale, double dValue) {
  return kGridTolerance * std::max(Size(dScale), Size(dValue));
}

bool LiesOnGridLine(double dValue, double dInterval) {
  if (!std::isfinite(dInterval) || !(dInterval > 0.0) || !std::isfinite(dValue)) return false;
  const double k = std::round(dValue / dInterval);
  if (!std::isfinite(k)) return false;
  return std::fabs(dValue - k * dInterval) <= GridTolerance(dInterval, dValue);
}

bool WithinGridEdges(double dValue, double dLow, double dHigh, double dScale) {
  if (!std::isfinite(dValue)) return false;
  return dLow - GridTolerance(dScale, dLow) <= dValue && dValue <= dHigh + GridTolerance(dScale, dHigh);
}

bool WithinGridExtent(const SGIS_DRect& extent, double x, double y, double dScaleX, double dScaleY) {
  return WithinGridEdges(x, std::min(extent.x1, extent.x2), std::max(extent.x1, extent.x2), dScaleX) &&
         WithinGridEdges(y, std::min(extent.y1, extent.y2), std::max(extent.y1, extent.y2), dScaleY);
}

}  // namespace md::layout::grid
