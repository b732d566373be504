// The plan of a measured grid, shared by its drawing, conversion and labels.
#include "layout/graphicelement/grid/grid/measuregridplan.h"

#include <cmath>

#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/element/mapdeckgeometry.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"

namespace md::layout::grid {

MeasureGridPlan PlanMeasureGrid(SGIS_DRect extent, double dXInterval, double dYInterval, int nTickDivision,
                                int nSubTickCount, GridRunRounding rounding) {
  MeasureGridPlan plan;
  extent.Normalize();
  plan.extent = extent;
  plan.nSubTickCount = nSubTickCount;
  const double w = extent.x2 - extent.x1;
  const double h = extent.y1 - extent.y2;
  auto run = [&](double dLow, double dSpan, double dInterval, int nCap) {
    return MakeGridLineRun(dLow, dSpan, dInterval, kMeasureCountMargin, kMeasureStartMargin, rounding, nCap);
  };
  plan.dXInterval = dXInterval;
  plan.dYInterval = dYInterval;
  plan.columns = run(extent.x1, w, dXInterval, kMaxGridLines);
  plan.rows = run(extent.y2, h, dYInterval, kMaxGridLines);
  plan.dXTick = nTickDivision > 0 ? dXInterval / nTickDivision : dXInterval;
  plan.dYTick = nTickDivision > 0 ? dYInterval / nTickDivision : dYInterval;
  plan.tickColumns = run(extent.x1, w, plan.dXTick, kMaxGridTicks);
  plan.tickRows = run(extent.y2, h, plan.dYTick, kMaxGridTicks);
  return plan;
}

double MeasureIntervals(double dXStored, double dYStored, int nUnits, double* pX, double* pY) {
  const double dFactor = SpacingUnitFactor(nUnits, false);
  *pX = dXStored * dFactor;
  *pY = dYStored * dFactor;
  return dFactor;
}

void MeasureGridIntervals(IGIS_GridSpacing* pSpacing, double* pX, double* pY) {
  MeasureIntervals(pSpacing->GetXIntervalSize(), pSpacing->GetYIntervalSize(), pSpacing->GetUnits(), pX, pY);
}

bool MeasureGridExtent(IGIS_CoordTransform* pMapToGrid, const SGIS_DRect& shown, double dRotateAngle,
                       const SGIS_DRect* pWorld, SGIS_DRect* pOut) {
  SGIS_DRect extent = shown;
  const bool bAll = pMapToGrid->TransformRect(&extent, kMeasureExtentSamples, 1) != FALSE;
  bool bCarried = bAll || !(extent == shown);
  bCarried = bCarried && std::isfinite(extent.x1) && std::isfinite(extent.x2) && std::isfinite(extent.y1) &&
             std::isfinite(extent.y2);
  if (pWorld != nullptr) extent = IntersectDRect(*pWorld, extent);
  extent.Normalize();
  const bool bArea = extent.Width() != 0.0 || extent.Height() != 0.0;
  if (dRotateAngle != 0.0 && std::isfinite(dRotateAngle)) extent = GetRotatedRectBound(extent, dRotateAngle);
  *pOut = extent;
  return bCarried && bArea;
}

}  // namespace md::layout::grid
