// The figure of a measured grid, walked for its drawing and its conversion.
#include "layout/graphicelement/grid/measure/measuregridwalk.h"

#include <cmath>
#include <utility>

#include "host/calcora/igis_geoarithmetic.h"
#include "layout/graphicelement/element/mapdeckgeometry.h"
#include "layout/graphicelement/grid/grid/gridtolerance.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"

namespace md::layout::measure {

namespace {

// The margin a line runs beyond the extent: one interval of the other
// direction, none when that interval is unusable.
double Margin(double dInterval) { return dInterval > 0.0 && std::isfinite(dInterval) ? dInterval : 0.0; }

bool IsVertical(GridSide side) { return side == GridSide::kBottom || side == GridSide::kTop; }

// Bottom and left take the first point of a traced line, top and right the last.
bool TakesLast(GridSide side) { return side == GridSide::kTop || side == GridSide::kRight; }

// The line of a side's direction at coordinate c, across the extent and one
// interval of the other direction beyond it.
void LineEnds(const MeasureGridPlan& plan, bool bVertical, double c, double dOtherInterval,
              SGIS_DPoint* pFrom, SGIS_DPoint* pTo) {
  const SGIS_DRect& e = plan.extent;
  const double m = Margin(dOtherInterval);
  if (bVertical) {
    *pFrom = SGIS_DPoint(c, e.y2 - m);
    *pTo = SGIS_DPoint(c, e.y1 + m);
  } else {
    *pFrom = SGIS_DPoint(e.x1 - m, c);
    *pTo = SGIS_DPoint(e.x2 + m, c);
  }
}

// The line of the direction at c lies in the extent, its edges decided with
// the grids' tolerance of the interval.
bool InExtent(const MeasureGridPlan& plan, bool bVertical, double c, double dInterval) {
  const SGIS_DRect& e = plan.extent;
  return bVertical ? grid::WithinGridEdges(c, e.x1, e.x2, dInterval)
                   : grid::WithinGridEdges(c, e.y2, e.y1, dInterval);
}

void WalkLines(const MeasureGridPlan& plan, MeasureLineTracer& tracer, MeasureGridSink& sink,
               grid::CGIS_GridCapRecord& caps) {
  const struct {
    const grid::GridLineRun* run;
    double dInterval;
    double dOther;
    bool bVertical;
  } passes[] = {{&plan.rows, plan.dYInterval, plan.dXInterval, false},
                {&plan.columns, plan.dXInterval, plan.dYInterval, true}};
  for (const auto& pass : passes) {
    if (!grid::LayGridLines(caps, "lines", pass.run->nCount)) continue;
    for (int i = 0; i < pass.run->nCount; ++i) {
      const double c = pass.run->At(i, pass.dInterval);
      if (!InExtent(plan, pass.bVertical, c, pass.dInterval)) continue;
      SGIS_DPoint from, to;
      LineEnds(plan, pass.bVertical, c, pass.dOther, &from, &to);
      const int m = tracer.Trace(from, to);
      if (m > 0) sink.OnLine(tracer.Kept(), m);
    }
  }
}

void WalkMarks(const MeasureGridPlan& plan, MeasureGridSink& sink, grid::CGIS_GridCapRecord& caps) {
  const double dCrossings = static_cast<double>(plan.columns.nCount) * plan.rows.nCount;
  if (!grid::LayGridPoints(caps, "marks", dCrossings)) return;
  long long nTried = 0;
  for (int i = 0; i < plan.columns.nCount; ++i) {
    const double x = plan.columns.At(i, plan.dXInterval);
    for (int j = 0; j < plan.rows.nCount; ++j) {
      if (nTried++ == grid::kMaxGridMarks) {
        caps.Note("marks", grid::kMaxGridMarks);
        return;
      }
      const double y = plan.rows.At(j, plan.dYInterval);
      const SGIS_Point rounded = SGIS_Point::FromDoubles(x, y);
      if (!grid::WithinGridExtent(plan.extent, rounded.x, rounded.y, plan.dXInterval, plan.dYInterval))
        continue;
      sink.OnMark(SGIS_DPoint(x, y));
    }
  }
}

// The run, interval and other interval of a side's tick lines.
struct TickLines {
  const grid::GridLineRun* run;
  double dInterval;
  double dOther;
};

TickLines TickLinesOf(const MeasureGridPlan& plan, GridSide side) {
  if (IsVertical(side)) return {&plan.tickColumns, plan.dXTick, plan.dYTick};
  return {&plan.tickRows, plan.dYTick, plan.dXTick};
}

// Finds where the line of a side at c meets the frame on that side and
// hands that crossing on.
void TickAt(const MeasureGridPlan& plan, GridSide side, bool bSub, double c, const TickLines& lines,
            MeasureLineTracer& tracer, MeasureGridSink& sink) {
  const bool bVertical = IsVertical(side);
  if (!InExtent(plan, bVertical, c, lines.dInterval)) return;
  SGIS_DPoint from, to;
  LineEnds(plan, bVertical, c, lines.dOther, &from, &to);
  const bool bLast = TakesLast(side);
  const grid::LineCutEnds ends = tracer.TraceEnds(from, to, bLast);
  if (ends.nKept > 0) sink.OnTick(side, bSub, bLast ? ends.last : ends.first);
}

void WalkTicks(const MeasureGridPlan& plan, const MeasureGridParts& parts, MeasureLineTracer& tracer,
               MeasureGridSink& sink, grid::CGIS_GridCapRecord& caps) {
  for (GridSide side : kGridSides) {
    if (!parts.ticks[static_cast<int>(side)]) continue;
    const TickLines lines = TickLinesOf(plan, side);
    if (!grid::LayGridPoints(caps, "ticks", lines.run->nCount)) continue;
    for (int i = 0; i < lines.run->nCount; ++i) {
      TickAt(plan, side, false, lines.run->At(i, lines.dInterval), lines, tracer, sink);
    }
  }
}

void WalkSubTicks(const MeasureGridPlan& plan, const MeasureGridParts& parts, MeasureLineTracer& tracer,
                  MeasureGridSink& sink, grid::CGIS_GridCapRecord& caps) {
  const int nSub = plan.nSubTickCount;
  if (nSub <= 1) return;
  for (GridSide side : kGridSides) {
    if (!parts.subTicks[static_cast<int>(side)]) continue;
    const TickLines lines = TickLinesOf(plan, side);
    const double dStep = lines.dInterval / nSub;
    if (!plan.resolution.Shows(dStep, IsVertical(side))) {
      caps.Note("sub-ticks", grid::TooCloseGridLineRun(), grid::kMaxGridSubTicks);
      continue;
    }
    const double dSubTicks = static_cast<double>(lines.run->nCount) * (nSub - 1);
    if (!grid::LayGridPoints(caps, "sub-ticks", dSubTicks, grid::kMaxGridSubTicks)) continue;
    long long nTried = 0;
    bool bCut = false;
    for (int i = 0; i < lines.run->nCount && !bCut; ++i) {
      const double c0 = lines.run->At(i, lines.dInterval);
      for (int m = 1; m < nSub; ++m) {
        if (nTried++ == grid::kMaxGridSubTicks) {
          caps.Note("sub-ticks", grid::kMaxGridSubTicks);
          bCut = true;
          break;
        }
        TickAt(plan, side, true, c0 + m * dStep, lines, tracer, sink);
      }
    }
  }
}

}  // namespace

MeasureGridParts MeasureGridPartsOf(IGIS_MapGrid* pGrid) {
  MeasureGridParts parts;
  const int nType = pGrid->GetGridlineType();
  parts.bLines = nType == GIS_GRIDLINE_LINES && pGrid->GetLineSymbol() != nullptr;
  parts.bMarks = nType == GIS_GRIDLINE_MARKS && pGrid->GetMarkSymbol() != nullptr;
  bool ticks[4], subTicks[4];  // by GridSide
  pGrid->GetTickVisible(&ticks[2], &ticks[1], &ticks[3], &ticks[0]);
  pGrid->GetSubTickVisible(&subTicks[2], &subTicks[1], &subTicks[3], &subTicks[0]);
  const bool bTicks = pGrid->GetTickLineSymbol() != nullptr && std::isfinite(pGrid->GetTickLength());
  const bool bSubTicks = pGrid->GetSubTickLineSymbol() != nullptr && std::isfinite(pGrid->GetSubTickLength());
  for (int s = 0; s < 4; ++s) {
    parts.ticks[s] = ticks[s] && bTicks;
    parts.subTicks[s] = subTicks[s] && bSubTicks;
  }
  return parts;
}

MeasureLineTracer::MeasureLineTracer(IGIS_GeoArithmetic* pArithmetic, const SGIS_Rect& frame, int nSegments,
                                     grid::GridPointCarrier carry)
    : m_pArithmetic(pArithmetic),
      m_lowerLeft(frame.left, frame.bottom),
      m_upperRight(frame.right, frame.top),
      m_nSegments(nSegments > 0 ? nSegments : 1),
      m_carry(std::move(carry)) {
  m_samples.reserve(static_cast<std::size_t>(m_nSegments) + 5);
  // The cut writes at most twice the points it is given.
  m_kept.resize(2 * (static_cast<std::size_t>(m_nSegments) + 1));
}

int MeasureLineTracer::Trace(SGIS_DPoint from, SGIS_DPoint to) {
  grid::CountGridLineTraced();
  const int n = m_carryAll
                    ? grid::SampleGridLine(from, to, m_nSegments, m_carryAll, &m_work, &m_carried, &m_samples)
                    : grid::SampleGridLine(from, to, m_nSegments, m_carry, &m_samples);
  if (n == 0 || m_pArithmetic == nullptr) return 0;
  return m_pArithmetic->ClipPolylineToRect(m_lowerLeft, m_upperRight, n, m_samples.data(), m_kept.data());
}

grid::LineCutEnds MeasureLineTracer::TraceEnds(SGIS_DPoint from, SGIS_DPoint to, bool bLast) const {
  if (m_pArithmetic == nullptr) return grid::LineCutEnds();
  grid::CountGridLineTraced();
  const grid::GridLineSampler samples(from, to, m_nSegments);
  return grid::CutCrossingLineEnds(
      *m_pArithmetic, m_lowerLeft, m_upperRight, samples.Count(),
      [&](int j, SGIS_Point* pOut) { return samples.At(j, m_carry, pOut); }, bLast);
}

void WalkMeasureGrid(const MeasureGridPlan& plan, const MeasureGridParts& parts, MeasureLineTracer& tracer,
                     MeasureGridSink& sink, grid::CGIS_GridCapRecord& caps) {
  if (parts.bLines || parts.bMarks) {
    caps.Note("lines", plan.columns, grid::kMaxGridLines);
    caps.Note("lines", plan.rows, grid::kMaxGridLines);
  }
  if (parts.bLines) {
    WalkLines(plan, tracer, sink, caps);
  } else if (parts.bMarks) {
    WalkMarks(plan, sink, caps);
  }
  bool bTicks = false;
  for (int s = 0; s < 4; ++s) bTicks = bTicks || parts.ticks[s] || parts.subTicks[s];
  if (bTicks) {
    caps.Note("ticks", plan.tickColumns, grid::kMaxGridTicks);
    caps.Note("ticks", plan.tickRows, grid::kMaxGridTicks);
  }
  WalkTicks(plan, parts, tracer, sink, caps);
  WalkSubTicks(plan, parts, tracer, sink, caps);
}

}  // namespace md::layout::measure
