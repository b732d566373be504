// The plan of the graticules' lines, built once by a drawing or conversion
// and read by the grid's figure and its label.
#include "layout/graphicelement/grid/grid/graticuleplan.h"

#include <algorithm>
#include <cmath>

#include "host/helmora/igis_map.h"
#include "layout/graphicelement/element/mapdeckgeometry.h"
#include "layout/graphicelement/grid/grid/gridtolerance.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_graticulemngrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace md::layout::grid {

namespace {

bool IsInterval(double d) { return std::isfinite(d) && d > 0.0; }

double Clamp(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }

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

GraticuleLines CountGraticuleLines(const SGIS_DRect& extent, double dX, double dY,
                                   const GridResolution& resolution, int nBudget) {
  const double west = std::min(extent.x1, extent.x2);
  const double east = std::max(extent.x1, extent.x2);
  const double south = std::min(extent.y1, extent.y2);
  const double north = std::max(extent.y1, extent.y2);
  auto run = [&](bool bAcrossX, double dLow, double dSpan, double dInterval) {
    return MakeShownGridLineRun(resolution, bAcrossX, dLow, dSpan, dInterval, kGraticuleCountMargin,
                                kGraticuleStartMargin, GridRunRounding::kQuotientFirst, kMaxGridLines,
                                nBudget);
  };
  GraticuleLines lines;
  lines.meridians = run(true, west, east - west, dX);
  lines.parallels = run(false, south, north - south, dY);
  return lines;
}

// ---- Line sets ----------------------------------------------------------------

GraticuleLineSet GraticuleLineSet::Over(bool bMeridians, double dOrigin, double dStep, double dLow,
                                        double dHigh, int nCap, const GridResolution& resolution,
                                        int nBudget) {
  // One index before the low end and two past the high end, so that
  // rounding loses no line; the selection test decides.
  return GraticuleLineSet{bMeridians,
                          dOrigin,
                          dStep,
                          MakeShownGridLineRun(resolution, bMeridians, dLow - dOrigin, dHigh - dLow, dStep, 3,
                                               1, GridRunRounding::kQuotientFirst, nCap, nBudget),
                          dLow,
                          dHigh};
}

GraticuleLineSet GraticuleLineSet::FromOrigin(bool bMeridians, double dOrigin, double dStep, double dHigh,
                                              int nCap, const GridResolution& resolution, int nBudget) {
  GraticuleLineSet set = Over(bMeridians, dOrigin, dStep, dOrigin, dHigh, nCap, resolution, nBudget);
  set.run = MakeShownGridLineRun(resolution, bMeridians, 0.0, dHigh - dOrigin, dStep, 2, 0,
                                 GridRunRounding::kQuotientFirst, nCap, nBudget);
  return set;
}

bool GraticuleLineSet::Selects(double v) const {
  const double dLimit = bMeridians ? 180.0 : 90.0;
  return WithinGridEdges(v, dLow, dHigh, dStep) && WithinGridEdges(v, -dLimit - dStep, dLimit + dStep, dStep);
}

bool GraticuleLineSet::RunAt(double v, GeoRun* pOut) const {
  if (!Selects(v)) return false;
  const double dLimit = bMeridians ? 180.0 : 90.0;
  const double dAlong = bMeridians ? 90.0 : 180.0;
  const double fixed = Clamp(v, -dLimit, dLimit);
  const double a = Clamp(dFrom, -dAlong, dAlong);
  const double b = Clamp(dTo, -dAlong, dAlong);
  if (!std::isfinite(a) || !std::isfinite(b) || a == b) return false;
  if (bMeridians) {
    *pOut = GeoRun{SGIS_DPoint(fixed, a, 0.0), SGIS_DPoint(fixed, b, 0.0)};
  } else {
    *pOut = GeoRun{SGIS_DPoint(a, fixed, 0.0), SGIS_DPoint(b, fixed, 0.0)};
  }
  return true;
}

GraticuleLineSet GraticuleLineSet::Along(double dFromValue, double dToValue) const {
  GraticuleLineSet set = *this;
  set.dFrom = dFromValue;
  set.dTo = dToValue;
  return set;
}

FixedCountLines PlanFixedCountLines(const FixedCountGraticule& plan, bool bDrawing, double dRotateAngle,
                                    const GridResolution& resolution) {
  FixedCountLines lines;
  lines.plan = plan;
  lines.resolution = resolution;
  const double d = plan.Interval();
  const SGIS_DRect& e = plan.extent;
  if (!bDrawing) {
    lines.turned = e;
    lines.extent = e;
    lines.parallels = GraticuleLineSet::Over(false, plan.dY0, d, e.y2, e.y1, kMaxGridLines, resolution)
                          .Along(plan.dX0 - d, e.x2 + d);
    lines.meridians = GraticuleLineSet::Over(true, plan.dX0, d, e.x1, e.x2, kMaxGridLines, resolution)
                          .Along(plan.dY0 - d, e.y1 + d);
    return lines;
  }
  // The extent turned with the map covers a turned frame; lines start two
  // intervals out on every side.
  lines.turned = std::isfinite(dRotateAngle) ? GetRotatedRectBound(e, dRotateAngle) : e;
  lines.turned.Normalize();
  const SGIS_DRect& t = lines.turned;
  lines.extent = SGIS_DRect(t.x1 - 2 * d, t.y1 + 2 * d, t.x2 + 2 * d, t.y2 - 2 * d);
  const SGIS_DRect& o = lines.extent;
  lines.parallels = GraticuleLineSet::Over(false, plan.dY0, d, o.y2, o.y1, kMaxGridLines, resolution)
                        .Along(o.x1 + d, o.x2 + 4 * d);
  lines.meridians = GraticuleLineSet::Over(true, plan.dX0, d, o.x1, o.x2, kMaxGridLines, resolution)
                        .Along(o.y2 + d, o.y1 + 4 * d);
  return lines;
}

// ---- The pass -----------------------------------------------------------------

bool GraticulePass::SpacingOf(IGIS_MapGrid* pGrid, IGIS_GridSpacing** ppSpacing) {
  m_nType = pGrid != nullptr ? pGrid->GetType() : -1;
  *ppSpacing = nullptr;
  if (m_nType == GIS_MAPGRID_GRATICULE) {
    auto* pGraticule = dynamic_cast<IGIS_GraticuleGrid*>(pGrid);
    if (pGraticule == nullptr) return false;
    *ppSpacing = pGraticule->GetGridSpacing();
    return true;
  }
  if (m_nType == GIS_MAPGRID_GRATICULE_MN) {
    auto* pFixed = dynamic_cast<IGIS_GraticuleMNGrid*>(pGrid);
    if (pFixed == nullptr) return false;
    *ppSpacing = pFixed->GetGridSpacing();
    return true;
  }
  return false;
}

bool GraticulePass::Make(IGIS_MapGrid* pGrid, IGIS_Display* pDisplay, GeographicFrameCache* pCache) {
  IGIS_GridSpacing* pSpacing = nullptr;
  if (!SpacingOf(pGrid, &pSpacing)) return false;
  IGIS_MapElement* pFrame = pGrid->GetMapElement();
  IGIS_Map* pMap = pFrame != nullptr ? pFrame->GetMap() : nullptr;
  if (pMap == nullptr || !m_geo.Build(pMap->GetSpatialReference(), pCache)) return false;
  m_bBuilt = true;
  m_shown = ShownByFrame(pFrame);
  LaidFrame laid;
  if (!LayFrame(pFrame, m_shown, pDisplay, &laid)) return false;
  m_pMapView = laid.pMapView;
  SGIS_DRect degrees = m_shown.bound;
  m_bAllCarried = m_geo.ToDegrees(&degrees);
  // Nothing carried: the extent is still in map units.
  m_bCarried = m_bAllCarried || !(degrees == m_shown.bound);
  m_geo.AimToMap();
  degrees.Normalize();
  return PlanLines(pGrid, degrees, laid.dRotateAngle, pDisplay != nullptr,
                   GridResolution::Of(laid.dWidth, laid.dHeight, degrees));
}

bool GraticulePass::PlanLines(IGIS_MapGrid* pGrid, const SGIS_DRect& degrees, double dRotateAngle,
                              bool bDrawing, const GridResolution& resolution) {
  IGIS_GridSpacing* pSpacing = nullptr;
  if (!SpacingOf(pGrid, &pSpacing)) return false;
  m_bSpacing = pSpacing != nullptr;
  m_extent = SGIS_DRect();
  m_meridians = GraticuleLineSet();
  m_parallels = GraticuleLineSet();
  m_dXOrigin = m_dYOrigin = 0.0;
  m_fixed = FixedCountLines();
  m_degrees = degrees;
  m_degrees.Normalize();
  m_dRotateAngle = dRotateAngle;
  m_resolution = resolution;
  // An extent that is not finite places no lines.
  if (!std::isfinite(m_degrees.x1) || !std::isfinite(m_degrees.x2) || !std::isfinite(m_degrees.y1) ||
      !std::isfinite(m_degrees.y2))
    return true;
  if (m_nType == GIS_MAPGRID_GRATICULE) {
    PlanGraticule(pSpacing, bDrawing);
  } else if (m_bSpacing) {
    auto* pFixed = dynamic_cast<IGIS_GraticuleMNGrid*>(pGrid);
    PlanFixedCount(pFixed->GetLatitudeCount(), pFixed->GetLongitudeCount(), pSpacing, bDrawing);
  }
  return true;
}

void GraticulePass::PlanGraticule(IGIS_GridSpacing* pSpacing, bool bDrawing) {
  double dX = 0.0, dY = 0.0;
  const double f = GraticuleIntervals(pSpacing, &dX, &dY);
  m_dXOrigin = pSpacing != nullptr ? pSpacing->GetXOrigin() * f : 0.0;
  m_dYOrigin = pSpacing != nullptr ? pSpacing->GetYOrigin() * f : 0.0;
  // A drawing's lines start two intervals out on every side of the extent
  // turned with the map, so that a turned frame is covered.
  m_extent =
      bDrawing ? WidenGraticuleExtent(GetRotatedRectBound(m_degrees, m_dRotateAngle), dX, dY) : m_degrees;
  const GraticuleLines lines = CountGraticuleLines(m_extent, dX, dY, m_resolution);
  // An interval that places no lines reaches no further either.
  auto set = [](bool bMeridians, double d, const GridLineRun& run, double a, double b) {
    return GraticuleLineSet{bMeridians, 0.0, IsInterval(d) ? d : 0.0, run, std::min(a, b), std::max(a, b)};
  };
  m_meridians = set(true, dX, lines.meridians, m_extent.x1, m_extent.x2);
  m_parallels = set(false, dY, lines.parallels, m_extent.y1, m_extent.y2);
}

void GraticulePass::PlanFixedCount(int nLatitudeCount, int nLongitudeCount, IGIS_GridSpacing* pSpacing,
                                   bool bDrawing) {
  const FixedCountGraticule plan = PlanFixedCountGraticule(m_degrees, nLatitudeCount, nLongitudeCount,
                                                           DegreesPerAngularUnit(pSpacing->GetUnits()));
  m_fixed = PlanFixedCountLines(plan, bDrawing, m_dRotateAngle, m_resolution);
  if (!plan.HasLines()) {
    m_extent = plan.extent;
    return;
  }
  m_extent = m_fixed.extent;
  m_meridians = m_fixed.meridians;
  m_parallels = m_fixed.parallels;
}

}  // namespace md::layout::grid
