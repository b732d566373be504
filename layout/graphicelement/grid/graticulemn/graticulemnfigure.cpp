// The figure of the graticule of fixed rows and columns and its walk.
#include "layout/graphicelement/grid/graticulemn/graticulemnfigure.h"

#include <cmath>

#include "layout/graphicelement/element/mapdeckgeometry.h"
#include "layout/graphicelement/grid/grid/gridtolerance.h"
#include "layout/graphicelement/grid/grid/igis_graticulemngrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"

namespace md::layout::graticulemn {

namespace {

int R(double v) { return md::basilo::detail::RoundToInt32(v); }

constexpr grid::TickSide kTickSides[kSides] = {grid::TickSide::Bottom, grid::TickSide::Top,
                                               grid::TickSide::Left, grid::TickSide::Right};

}  // namespace

namespace {

double TickInterval(double d, int nTickDivision) { return nTickDivision > 0 ? d / nTickDivision : d; }

// The tick lines of the plan across x (meridians) and across y, at the tick
// interval, selected from the extent: cut to the ticks' cap, not held to
// the lines' budget (a tick only finds where its line meets the frame).
LineSet TickMeridians(const grid::FixedCountLines& l, double t) {
  return LineSet::Over(true, l.plan.dX0, t, l.extent.x1, l.extent.x2, grid::kMaxGridTicks, l.resolution, 0);
}
LineSet TickParallels(const grid::FixedCountLines& l, double t) {
  return LineSet::Over(false, l.plan.dY0, t, l.extent.y2, l.extent.y1, grid::kMaxGridTicks, l.resolution, 0);
}

}  // namespace

void RecordFixedCountSpacing(IGIS_GraticuleMNGrid* pGrid, const grid::FixedCountGraticule& plan) {
  // What was found before the search; the spacing is not stored.
  IGIS_GridSpacing* pSpacing = pGrid->GetGridSpacing();
  pSpacing->SetXIntervalSize(plan.dColumnWidth);
  pSpacing->SetYIntervalSize(plan.dRowHeight);
  pSpacing->SetXOrigin(plan.dWestDegree);
  pSpacing->SetYOrigin(plan.dSouthDegree);
}

Figure DrawingFigure(const grid::FixedCountLines& lines, int nTickDivision, int nSubTickCount, int nSamples) {
  Figure f;
  f.nSamples = nSamples;
  f.resolution = lines.resolution;
  const SGIS_DRect& turned = lines.turned;
  const SGIS_DRect& e = lines.extent;
  f.parallels = lines.parallels;
  f.meridians = lines.meridians;
  f.markMeridians = f.meridians;
  f.markParallels = f.parallels;
  f.markExtent = e;
  f.bMarksInFrame = true;
  const double t = TickInterval(lines.plan.Interval(), nTickDivision);
  f.dTick = t;
  // Ticks are traced from one tick interval outside the turned extent.
  const double south = turned.y2 - t;
  const double west = turned.x1 - t;
  const LineSet across = TickMeridians(lines, t);
  const LineSet up = TickParallels(lines, t);
  f.ticks[kBottom] = across.Along(south, e.y1 + t);
  f.ticks[kTop] = across.Along(e.y1 + t, south);
  f.ticks[kLeft] = up.Along(e.x1 - t, e.x2 + t);
  f.ticks[kRight] = up.Along(e.x2 + t, e.x1 - t);
  f.subTicks[kBottom] = f.ticks[kBottom];
  f.subTicks[kTop] = f.ticks[kTop];
  f.subTicks[kLeft] = up.Along(west, e.x2 + t);
  f.subTicks[kRight] = up.Along(e.x2 + t, west);
  f.nSubTickCount = nSubTickCount;
  return f;
}

Figure ConversionFigure(const grid::FixedCountLines& lines, int nTickDivision, int nSubTickCount) {
  Figure f;
  f.nSamples = kSamplesClipping;
  f.resolution = lines.resolution;
  const grid::FixedCountGraticule& plan = lines.plan;
  const double d = plan.Interval();
  const SGIS_DRect& e = lines.extent;
  f.parallels = lines.parallels;
  f.meridians = lines.meridians;
  // Every crossing from the origins on is tried: the extent alone, by whole
  // degrees, decides.
  f.markMeridians = LineSet::FromOrigin(true, plan.dX0, d, e.x2, grid::kMaxGridLines, lines.resolution);
  f.markParallels = LineSet::FromOrigin(false, plan.dY0, d, e.y1, grid::kMaxGridLines, lines.resolution);
  f.markExtent = e;
  f.bMarksInFrame = false;
  const double t = TickInterval(d, nTickDivision);
  f.dTick = t;
  const LineSet across = TickMeridians(lines, t);
  const LineSet up = TickParallels(lines, t);
  f.ticks[kBottom] = across.Along(plan.dY0 - t, e.y1 + t);
  f.ticks[kTop] = across.Along(e.y1 + t, plan.dY0 - t);
  f.ticks[kLeft] = up.Along(plan.dX0 - t, e.x2 + t);
  f.ticks[kRight] = up.Along(e.x2 + t, e.x1 - t);
  f.subTicks[kBottom] = f.ticks[kBottom];
  f.subTicks[kTop] = across.Along(e.y1 + t, e.y2 - t);
  f.subTicks[kLeft] = f.ticks[kLeft];
  f.subTicks[kRight] = up.Along(e.x2 + t, plan.dX0 - t);
  f.nSubTickCount = nSubTickCount;
  return f;
}

Parts Parts::Of(IGIS_MapGrid* pGrid) {
  Parts p;
  const int nType = pGrid->GetGridlineType();
  p.bLines = nType == GIS_GRIDLINE_LINES && pGrid->GetLineSymbol() != nullptr;
  p.bMarks = nType == GIS_GRIDLINE_MARKS && pGrid->GetMarkSymbol() != nullptr;
  p.dTickLength = pGrid->GetTickLength();
  p.dSubTickLength = pGrid->GetSubTickLength();
  const bool bTick = pGrid->GetTickLineSymbol() != nullptr && std::isfinite(p.dTickLength);
  const bool bSub = pGrid->GetSubTickLineSymbol() != nullptr && std::isfinite(p.dSubTickLength);
  bool t[kSides], s[kSides];
  pGrid->GetTickVisible(&t[kLeft], &t[kTop], &t[kRight], &t[kBottom]);
  pGrid->GetSubTickVisible(&s[kLeft], &s[kTop], &s[kRight], &s[kBottom]);
  for (int i = 0; i < kSides; ++i) {
    p.ticks[i] = bTick && t[i];
    p.subTicks[i] = bSub && s[i];
  }
  return p;
}

namespace {

class Walk {
 public:
  Walk(const Figure& f, const Parts& p, grid::GeoLineTracer& tracer, grid::GeoFigureSink& sink,
       grid::CGIS_GridCapRecord& cap)
      : m_f(f), m_p(p), m_tracer(tracer), m_sink(sink), m_cap(cap) {}

  void Run() {
    if (m_p.bLines) {
      Lines(m_f.parallels);
      Lines(m_f.meridians);
    } else if (m_p.bMarks) {
      Marks();
    }
    for (int side = 0; side < kSides; ++side) {
      if (m_p.ticks[side]) Ticks(side);
    }
    if (m_f.nSubTickCount <= 0) return;
    for (int side = 0; side < kSides; ++side) {
      if (m_p.subTicks[side]) SubTicks(side);
    }
  }

 private:
  void Lines(const LineSet& set) {
    m_cap.Note("lines", set.run, grid::kMaxGridLines);
    if (!grid::LayGridLines(m_cap, "lines", set.run.nCount)) return;
    grid::GeoRun run;
    for (int i = 0; i < set.run.nCount; ++i) {
      if (!set.RunAt(set.At(i), &run)) continue;
      const int n = m_tracer.Trace(run, m_f.nSamples);
      if (n >= 2) m_sink.Line(m_tracer.Kept(), n);
    }
  }

  void Marks() {
    const LineSet& across = m_f.markMeridians;
    const LineSet& up = m_f.markParallels;
    m_cap.Note("lines", across.run, grid::kMaxGridLines);
    m_cap.Note("lines", up.run, grid::kMaxGridLines);
    const double dCrossings = static_cast<double>(across.run.nCount) * up.run.nCount;
    if (!grid::LayGridPoints(m_cap, "marks", dCrossings)) return;
    long long nTried = 0;
    for (int i = 0; i < across.run.nCount; ++i) {
      for (int j = 0; j < up.run.nCount; ++j) {
        if (++nTried > grid::kMaxGridMarks) {
          m_cap.Note("marks", grid::kMaxGridMarks);
          return;
        }
        const double lon = across.At(i);
        const double lat = up.At(j);
        // Whole degrees decide, edges included.
        if (!grid::WithinGridExtent(m_f.markExtent, R(lon), R(lat), across.dStep, up.dStep)) continue;
        SGIS_DPoint p;
        if (!m_tracer.Space().FromDegrees(lon, lat, &p)) continue;
        const SGIS_Point at = SGIS_Point::FromDoubles(p.x, p.y);
        if (m_f.bMarksInFrame && HitTestRectEdge(m_tracer.Frame(), at.x, at.y, 0) == SGIS_Rect::OUTSIDE)
          continue;
        m_sink.Marker(at);
      }
    }
  }

  // The tick of the line at v on the side, when the line meets the frame.
  void TickAt(const LineSet& set, int side, bool bSub, double v) {
    grid::GeoRun run;
    if (!set.RunAt(v, &run) || !m_tracer.TraceToEdge(run, m_f.nSamples)) return;
    SGIS_Point from, to;
    const double dLength = bSub ? m_p.dSubTickLength : m_p.dTickLength;
    if (m_tracer.TickAtFirst(kTickSides[side], dLength, &from, &to)) m_sink.Tick(bSub, from, to);
  }

  void Ticks(int side) {
    const LineSet& set = m_f.ticks[side];
    m_cap.Note("ticks", set.run, grid::kMaxGridTicks);
    if (!grid::LayGridPoints(m_cap, "ticks", set.run.nCount)) return;
    for (int i = 0; i < set.run.nCount; ++i) TickAt(set, side, false, set.At(i));
  }

  void SubTicks(int side) {
    const LineSet& ticks = m_f.ticks[side];
    const LineSet& set = m_f.subTicks[side];
    const double s = m_f.dTick / m_f.nSubTickCount;
    if (!m_f.resolution.Shows(s, side == kBottom || side == kTop)) {
      m_cap.Note("sub-ticks", grid::TooCloseGridLineRun(), grid::kMaxGridSubTicks);
      return;
    }
    const double dSubTicks = static_cast<double>(ticks.run.nCount) * (m_f.nSubTickCount - 1);
    if (!grid::LayGridPoints(m_cap, "sub-ticks", dSubTicks, grid::kMaxGridSubTicks)) return;
    long long nTried = 0;
    for (int i = 0; i < ticks.run.nCount; ++i) {
      for (int k = 1; k < m_f.nSubTickCount; ++k) {
        if (++nTried > grid::kMaxGridSubTicks) {
          m_cap.Note("sub-ticks", grid::kMaxGridSubTicks);
          return;
        }
        TickAt(set, side, true, ticks.At(i) + k * s);
      }
    }
  }

  const Figure& m_f;
  const Parts& m_p;
  grid::GeoLineTracer& m_tracer;
  grid::GeoFigureSink& m_sink;
  grid::CGIS_GridCapRecord& m_cap;
};

}  // namespace

void WalkFigure(const Figure& figure, const Parts& parts, grid::GeoLineTracer& tracer,
                grid::GeoFigureSink& sink, grid::CGIS_GridCapRecord& cap) {
  if (!tracer.Ready()) return;
  Walk(figure, parts, tracer, sink, cap).Run();
}

}  // namespace md::layout::graticulemn
