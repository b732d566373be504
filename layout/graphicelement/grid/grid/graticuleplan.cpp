// The plan of a graticule's lines, shared by its drawing and its label.
#include "layout/graphicelement/grid/grid/graticuleplan.h"

#include <algorithm>
#include <cmath>

#include "layout/graphicelement/grid/grid/geographicframe.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"

namespace md::layout::grid {

namespace {

bool IsInterval(double d) { return std::isfinite(d) && d > 0.0; }

GridLineRun Run(double dLow, double dSpan, double dInterval) {
  return MakeGridLineRun(dLow, dSpan, dInterval, kGraticuleCountMargin, kGraticuleStartMargin,
                         GridRunRounding::kQuotientFirst);
}

}  // namespace

double GraticuleIntervals(IGIS_GridSpacing* pSpacing, double* pX, double* pY) {
  *pX = 0.0;
  *pY = 0.0;
  if (pSpacing == nullptr) return 1.0;
  const double k = DegreesPerAngularUnit(pSpacing->GetUnits());
  *pX = pSpacing->GetXIntervalSize() * k;
  *pY = pSpacing->GetYIntervalSize() * k;
  return k;
}

SGIS_DRect WidenGraticuleExtent(const SGIS_DRect& extent, double dX, double dY) {
  const double wx = IsInterval(dX) ? kGraticuleMargin * dX : 0.0;
  const double wy = IsInterval(dY) ? kGraticuleMargin * dY : 0.0;
  return SGIS_DRect(extent.x1 - wx, extent.y1 + wy, extent.x2 + wx, extent.y2 - wy);
}

GraticuleLines CountGraticuleLines(const SGIS_DRect& extent, double dX, double dY) {
  const double west = std::min(extent.x1, extent.x2);
  const double east = std::max(extent.x1, extent.x2);
  const double south = std::min(extent.y1, extent.y2);
  const double north = std::max(extent.y1, extent.y2);
  GraticuleLines lines;
  lines.meridians = Run(west, east - west, dX);
  lines.parallels = Run(south, north - south, dY);
  return lines;
}

}  // namespace md::layout::grid
