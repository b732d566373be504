// Intervals and origins shared by the grid kinds and the grid labels.
#include "layout/graphicelement/grid/grid/gridintervals.h"

#include <cmath>

namespace md::layout::grid {

double WholeIntervalStart(double dValue, double dInterval, double dOrigin) {
  if (!std::isfinite(dValue) || !std::isfinite(dOrigin) || !std::isfinite(dInterval) || !(dInterval > 0.0)) {
    return dValue;
  }
  return dOrigin + std::floor((dValue - dOrigin) / dInterval) * dInterval;
}

namespace {

// The first value of the search's sequence that puts more than one and at
// most 4 x nCount intervals across dExtent; the sequence starts at 50 and is
// multiplied by dEven on even steps and by dOdd on odd ones. The first value
// that puts more than 4 x nCount across ends the search too: the values only
// fall, so none further on would do.
double SearchInterval(double dExtent, int nCount, double dEven, double dOdd) {
  constexpr int kSteps = 20;
  double d = 50.0;
  for (int i = 0; i < kSteps; ++i) {
    d *= (i % 2 == 0) ? dEven : dOdd;
    const double n = std::trunc(dExtent / d);
    if (n > 1.0 && n <= 4.0 * nCount) break;
    if (n > 4.0 * nCount) break;
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

double FixedCountOrigin(double dEdgeDegrees, double dUnitRatio) {
  return WholeIntervalStart(std::floor(std::floor(dEdgeDegrees) * dUnitRatio), 10.0);
}

bool FixedCountGraticule::HasLines() const {
  const bool bFinite = std::isfinite(extent.x1) && std::isfinite(extent.x2) && std::isfinite(extent.y1) &&
                       std::isfinite(extent.y2);
  return bFinite && extent.Width() > 0.0 && extent.Height() > 0.0 && std::isfinite(dX0) && std::isfinite(dY0);
}

namespace {

// An edge to a billionth of a degree, so that one carried through a
// transformation (29.999999999999996) stands for the value it was (30) in
// the search, the origins and the choice of lines at the extent's edges.
double Edge(double v) {
  constexpr double kSteps = 1e9;
  return std::isfinite(v) && std::fabs(v) < 1e6 ? std::round(v * kSteps) / kSteps : v;
}

}  // namespace

FixedCountGraticule PlanFixedCountGraticule(const SGIS_DRect& extentDegrees, int nColumns, int nRows,
                                            double dUnitRatio) {
  FixedCountGraticule g;
  g.extent = SGIS_DRect(Edge(extentDegrees.x1), Edge(extentDegrees.y1), Edge(extentDegrees.x2),
                        Edge(extentDegrees.y2));
  g.extent.Normalize();
  const int nCols = nColumns < 1 ? 1 : nColumns;
  const int nRowCount = nRows < 1 ? 1 : nRows;
  const double w = g.extent.Width();
  const double h = g.extent.Height();
  g.dColumnWidth = w / nCols;
  g.dRowHeight = h / nRowCount;
  g.dWestDegree = std::floor(g.extent.x1);
  g.dSouthDegree = std::floor(g.extent.y2);
  g.search = SearchFixedCountIntervals(w * dUnitRatio, h * dUnitRatio, nCols, nRowCount);
  g.dX0 = FixedCountOrigin(g.extent.x1, dUnitRatio);
  g.dY0 = FixedCountOrigin(g.extent.y2, dUnitRatio);
  return g;
}

}  // namespace md::layout::grid
