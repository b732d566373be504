// The meridians and parallels a degrees-minutes-seconds label writes.
#include "layout/graphicelement/grid/label/dmslabellines.h"

#include <algorithm>
#include <cmath>

#include "layout/graphicelement/element/mapdeckgeometry.h"
#include "layout/graphicelement/grid/grid/geographicframe.h"
#include "layout/graphicelement/grid/grid/graticuleplan.h"
#include "layout/graphicelement/grid/grid/gridintervals.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/grid/gridtolerance.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_graticulemngrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"

namespace md::layout::label {

namespace {

bool IsInterval(double d) { return std::isfinite(d) && d > 0.0; }

// A series of the graticule's run at step (grid/grid/graticuleplan.h). A
// run beyond the cap, or too long to count, is noted.
DmsLineSeries WholeMultiples(const grid::GridLineRun& run, double dSpan, double dStep, bool* pCapped) {
  DmsLineSeries s;
  if (!IsInterval(dStep)) return s;
  const double q = dSpan / dStep;
  if (run.bCapped || (run.nCount == 0 && !(q <= grid::kMaxGridLines))) *pCapped = true;
  s.dStep = dStep;
  s.dFirst = run.nFirst;
  s.nCount = run.nCount;
  return s;
}

// The fixed-count graticule's lines of one direction that may lie in low ..
// high: line k at origin + k * step, from the one at or below low (none
// before the origin) to the one past high.
DmsLineSeries FromOrigin(double dOrigin, double dLow, double dHigh, double dStep, bool* pCapped) {
  DmsLineSeries s;
  if (!IsInterval(dStep) || !std::isfinite(dOrigin) || !std::isfinite(dLow) || !std::isfinite(dHigh))
    return s;
  const double first = std::max(0.0, std::floor((dLow - dOrigin) / dStep));
  const double last = std::floor((dHigh - dOrigin) / dStep) + 1.0;
  const double count = last - first + 1.0;
  if (!std::isfinite(count) || count < 1.0) return s;
  s.dBase = dOrigin;
  s.dStep = dStep;
  s.dFirst = first;
  if (count > grid::kMaxGridLines) {
    *pCapped = true;
    s.nCount = grid::kMaxGridLines;
  } else {
    s.nCount = static_cast<int>(count);
  }
  return s;
}

}  // namespace

DmsLinesResult DmsLabelLines::Prepare(IGIS_MapGrid* pGrid, const SGIS_DRect& extent, double dRotateAngle) {
  m_meridians = DmsLineSeries();
  m_parallels = DmsLineSeries();
  m_dXOrigin = m_dYOrigin = 0.0;
  m_bCapped = false;
  m_extent = extent;
  m_extent.Normalize();
  if (pGrid == nullptr) return DmsLinesResult::kOtherKind;
  const bool bFinite = std::isfinite(m_extent.x1) && std::isfinite(m_extent.x2) &&
                       std::isfinite(m_extent.y1) && std::isfinite(m_extent.y2);
  const bool bTurned = dRotateAngle != 0.0 && std::isfinite(dRotateAngle);
  switch (pGrid->GetType()) {
    case GIS_MAPGRID_GRATICULE: {
      auto* pGraticule = dynamic_cast<IGIS_GraticuleGrid*>(pGrid);
      IGIS_GridSpacing* pSpacing = pGraticule != nullptr ? pGraticule->GetGridSpacing() : nullptr;
      if (pSpacing == nullptr) return DmsLinesResult::kNoSpacing;
      double dx = 0.0, dy = 0.0;
      const double f = grid::GraticuleIntervals(pSpacing, &dx, &dy);
      m_dXOrigin = pSpacing->GetXOrigin() * f;
      m_dYOrigin = pSpacing->GetYOrigin() * f;
      if (!bFinite) return DmsLinesResult::kLines;
      if (bTurned) {
        m_extent = GetRotatedRectBound(m_extent, dRotateAngle);
        m_extent.Normalize();
      }
      // The lines the graticule draws: its plan over its widened extent.
      m_extent = grid::WidenGraticuleExtent(m_extent, dx, dy);
      const grid::GraticuleLines lines = grid::CountGraticuleLines(m_extent, dx, dy);
      m_meridians = WholeMultiples(lines.meridians, m_extent.Width(), dx, &m_bCapped);
      m_parallels = WholeMultiples(lines.parallels, m_extent.Height(), dy, &m_bCapped);
      return DmsLinesResult::kLines;
    }
    case GIS_MAPGRID_GRATICULE_MN: {
      auto* pFixed = dynamic_cast<IGIS_GraticuleMNGrid*>(pGrid);
      IGIS_GridSpacing* pSpacing = pFixed != nullptr ? pFixed->GetGridSpacing() : nullptr;
      if (pSpacing == nullptr) return DmsLinesResult::kNoSpacing;
      const grid::FixedCountGraticule plan =
          grid::PlanFixedCountGraticule(extent, pFixed->GetLatitudeCount(), pFixed->GetLongitudeCount(),
                                        grid::DegreesPerAngularUnit(pSpacing->GetUnits()));
      m_extent = plan.extent;
      if (!plan.HasLines()) return DmsLinesResult::kLines;
      if (bTurned) {
        m_extent = GetRotatedRectBound(m_extent, dRotateAngle);
        m_extent.Normalize();
      }
      m_meridians = FromOrigin(plan.dX0, m_extent.x1, m_extent.x2, plan.Interval(), &m_bCapped);
      m_parallels = FromOrigin(plan.dY0, m_extent.y2, m_extent.y1, plan.Interval(), &m_bCapped);
      return DmsLinesResult::kLines;
    }
    default:
      return DmsLinesResult::kOtherKind;
  }
}

int DmsLabelLines::LineCount(bool bVertical) const {
  return bVertical ? m_meridians.nCount : m_parallels.nCount;
}

double DmsLabelLines::LineAt(bool bVertical, int i) const {
  return bVertical ? m_meridians.At(i) : m_parallels.At(i);
}

bool DmsLabelLines::Accepts(LabelSide side, double c) const {
  if (!std::isfinite(c)) return false;
  // Edges and the globe's limits are decided with the grids' tolerance.
  if (LabelsVerticalLines(side)) {
    const double dx = XInterval();
    return grid::WithinGridEdges(c, m_extent.x1, m_extent.x2, dx) &&
           grid::WithinGridEdges(c, -180.0, 180.0, dx);
  }
  const double dy = std::max(YInterval(), 0.0);
  return grid::WithinGridEdges(c, m_extent.y2, m_extent.y1, dy) &&
         grid::WithinGridEdges(c, -90.0 - dy, 90.0 + dy, dy);
}

double DmsLabelLines::LabelValue(LabelSide side, double c) const {
  return LabelsVerticalLines(side) ? c + m_dXOrigin : std::clamp(c, -90.0, 90.0) + m_dYOrigin;
}

void DmsLabelLines::LineEnds(LabelSide side, double c, SGIS_DPoint* pFrom, SGIS_DPoint* pTo) const {
  // A direction without lines reaches no further than the extent.
  const double dx = std::max(XInterval(), 0.0);
  const double dy = std::max(YInterval(), 0.0);
  if (LabelsVerticalLines(side)) {
    const double lon = std::clamp(c, -180.0, 180.0);
    *pFrom = SGIS_DPoint(lon, std::clamp(m_extent.y2 - dy, -90.0, 90.0));
    *pTo = SGIS_DPoint(lon, std::clamp(m_extent.y1 + dy, -90.0, 90.0));
  } else {
    const double lat = std::clamp(c, -90.0, 90.0);
    *pFrom = SGIS_DPoint(std::clamp(m_extent.x1 - dx, -180.0, 180.0), lat);
    *pTo = SGIS_DPoint(std::clamp(m_extent.x2 + dx, -180.0, 180.0), lat);
  }
}

}  // namespace md::layout::label
