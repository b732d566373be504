// The figure of the graticule of fixed rows and columns and its walk.
#include "layout/graphicelement/grid/graticulemn/graticulemnfigure.h"

#include <cmath>

#include "layout/graphicelement/element/mapdeckgeometry.h"
#include "layout/graphicelement/grid/grid/gridtolerance.h"
#include "layout/graphicelement/grid/grid/igis_graticulemngrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"

namespace md::layout::graticulemn {

namespace {

double Clamp(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }

int R(double v) { return md::basilo::detail::RoundToInt32(v); }

constexpr grid::TickSide kTickSides[kSides] = {grid::TickSide::Bottom, grid::TickSide::Top,
                                               grid::TickSide::Left, grid::TickSide::Right};

}  // namespace

LineSet LineSet::Over(bool bMeridians, double dOrigin, double dStep, double dLow, double dHigh, int nCap) {
  // One index before the low end and two past the high end, so that
  // rounding loses no line; the selection test decides.
  return LineSet{bMeridians,
                 dOrigin,
                 dStep,
                 grid::MakeGridLineRun(dLow - dOrigin, dHigh - dLow, dStep, 3, 1,
                                       grid::GridRunRounding::kQuotientFirst, nCap),
                 dLow,
                 dHigh};
}

LineSet LineSet::FromOrigin(bool bMeridians, double dOrigin, double dStep, double dHigh, int nCap) {
  LineSet set = Over(bMeridians, dOrigin, dStep, dOrigin, dHigh, nCap);
  set.run =
      grid::MakeGridLineRun(0.0, dHigh - dOrigin, dStep, 2, 0, grid::GridRunRounding::kQuotientFirst, nCap);
  return set;
}

bool LineSet::Selects(double v) const {
  const double dLimit = bMeridians ? 180.0 : 90.0;
  return grid::WithinGridEdges(v, dLow, dHigh, dStep) &&
         grid::WithinGridEdges(v, -dLimit - dStep, dLimit + dStep, dStep);
}

bool LineSet::RunAt(double v, grid::GeoRun* pOut) const {
  if (!Selects(v)) return false;
  const double dLimit = bMeridians ? 180.0 : 90.0;
  const double dAlong = bMeridians ? 90.0 : 180.0;
  const double fixed = Clamp(v, -dLimit, dLimit);
  const double a = Clamp(dFrom, -dAlong, dAlong);
  const double b = Clamp(dTo, -dAlong, dAlong);
  if (!std::isfinite(a) || !std::isfinite(b) || a == b) return false;
  if (bMeridians) {
    *pOut = grid::GeoRun{SGIS_DPoint(fixed, a, 0.0), SGIS_DPoint(fixed, b, 0.0)};
  } else {
    *pOut = grid::GeoRun{SGIS_DPoint(a, fixed, 0.0), SGIS_DPoint(b, fixed, 0.0)};
  }
  return true;
}

LineSet LineSet::Along(double dFromValue, double dToValue) const {
  LineSet set = *this;
  set.dFrom = dFromValue;
  set.dTo = dToValue;
  return set;
}

namespace {

// The lines and ticks of a figure over an extent, the parts that differ
// between drawing and conversion given by the caller.
struct Over {
  SGIS_DRect extent;  // selects the lines
  double dX0, dY0, d, t;
};

LineSet Meridians(const Over& o, double dStep, int nCap) {
  return LineSet::Over(true, o.dX0, dStep, o.extent.x1, o.extent.x2, nCap);
}
LineSet Parallels(const Over& o, double dStep, int nCap) {
  return LineSet::Over(false, o.dY0, dStep, o.extent.y2, o.extent.y1, nCap);
}

double TickInterval(double d, int nTickDivision) { return nTickDivision > 0 ? d / nTickDivision : d; }

}  // namespace

grid::FixedCountGraticule PlanGraticuleMN(IGIS_GraticuleMNGrid* pGrid, grid::GeographicFrame& geo,
                                          const SGIS_DRect& shownBound, const char* szMethod) {
  const grid::FixedCountGraticule plan = grid::PlanGraticuleOfFixedCounts(pGrid, geo, shownBound, szMethod);
  // What was found before the search; the spacing is not stored.
  IGIS_GridSpacing* pSpacing = pGrid->GetGridSpacing();
  pSpacing->SetXIntervalSize(plan.dColumnWidth);
  pSpacing->SetYIntervalSize(plan.dRowHeight);
  pSpacing->SetXOrigin(plan.dWestDegree);
  pSpacing->SetYOrigin(plan.dSouthDegree);
  geo.AimToMap();
  return plan;
}

Figure DrawingFigure(const grid::FixedCountGraticule& plan, double dRotateAngle, int nTickDivision,
                     int nSubTickCount, int nSamples) {
  Figure f;
  f.nSamples = nSamples;
  const double d = plan.Interval();
  // The extent turned with the map covers a turned frame; lines start two
  // intervals out on every side.
  SGIS_DRect turned =
      std::isfinite(dRotateAngle) ? GetRotatedRectBound(plan.extent, dRotateAngle) : plan.extent;
  turned.Normalize();
  Over o{SGIS_DRect(turned.x1 - 2 * d, turned.y1 + 2 * d, turned.x2 + 2 * d, turned.y2 - 2 * d), plan.dX0,
         plan.dY0, d, TickInterval(d, nTickDivision)};
  const SGIS_DRect& e = o.extent;
  f.parallels = Parallels(o, d, grid::kMaxGridLines).Along(e.x1 + d, e.x2 + 4 * d);
  f.meridians = Meridians(o, d, grid::kMaxGridLines).Along(e.y2 + d, e.y1 + 4 * d);
  f.markMeridians = f.meridians;
  f.markParallels = f.parallels;
  f.markExtent = e;
  f.bMarksInFrame = true;
  f.dTick = o.t;
  // Ticks are traced from one tick interval outside the turned extent.
  const double south = turned.y2 - o.t;
  const double west = turned.x1 - o.t;
  const LineSet across = Meridians(o, o.t, grid::kMaxGridTicks);
  const LineSet up = Parallels(o, o.t, grid::kMaxGridTicks);
  f.ticks[kBottom] = across.Along(south, e.y1 + o.t);
  f.ticks[kTop] = across.Along(e.y1 + o.t, south);
  f.ticks[kLeft] = up.Along(e.x1 - o.t, e.x2 + o.t);
  f.ticks[kRight] = up.Along(e.x2 + o.t, e.x1 - o.t);
  f.subTicks[kBottom] = f.ticks[kBottom];
  f.subTicks[kTop] = f.ticks[kTop];
  f.subTicks[kLeft] = up.Along(west, e.x2 + o.t);
  f.subTicks[kRight] = up.Along(e.x2 + o.t, west);
  f.nSubTickCount = nSubTickCount;
  return f;
}

Figure ConversionFigure(const grid::FixedCountGraticule& plan, int nTickDivision, int nSubTickCount) {
  Figure f;
  f.nSamples = kSamplesClipping;
  const double d = plan.Interval();
  Over o{plan.extent, plan.dX0, plan.dY0, d, TickInterval(d, nTickDivision)};
  const SGIS_DRect& e = o.extent;
  f.parallels = Parallels(o, d, grid::kMaxGridLines).Along(o.dX0 - d, e.x2 + d);
  f.meridians = Meridians(o, d, grid::kMaxGridLines).Along(o.dY0 - d, e.y1 + d);
  // Every crossing from the origins on is tried: the extent alone, by whole
  // degrees, decides.
  f.markMeridians = LineSet::FromOrigin(true, o.dX0, d, e.x2, grid::kMaxGridLines);
  f.markParallels = LineSet::FromOrigin(false, o.dY0, d, e.y1, grid::kMaxGridLines);
  f.markExtent = e;
  f.bMarksInFrame = false;
  f.dTick = o.t;
  const double t = o.t;
  const LineSet across = Meridians(o, t, grid::kMaxGridTicks);
  const LineSet up = Parallels(o, t, grid::kMaxGridTicks);
  f.ticks[kBottom] = across.Along(o.dY0 - t, e.y1 + t);
  f.ticks[kTop] = across.Along(e.y1 + t, o.dY0 - t);
  f.ticks[kLeft] = up.Along(o.dX0 - t, e.x2 + t);
  f.ticks[kRight] = up.Along(e.x2 + t, e.x1 - t);
  f.subTicks[kBottom] = f.ticks[kBottom];
  f.subTicks[kTop] = across.Along(e.y1 + t, e.y2 - t);
  f.subTicks[kLeft] = f.ticks[kLeft];
  f.subTicks[kRight] = up.Along(e.x2 + t, o.dX0 - t);
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
    if (set.run.bCapped) m_cap.Note("lines", grid::kMaxGridLines);
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
    if (across.run.bCapped || up.run.bCapped) m_cap.Note("lines", grid::kMaxGridLines);
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
    if (set.run.bCapped) m_cap.Note("ticks", grid::kMaxGridTicks);
    for (int i = 0; i < set.run.nCount; ++i) TickAt(set, side, false, set.At(i));
  }

  void SubTicks(int side) {
    const LineSet& ticks = m_f.ticks[side];
    const LineSet& set = m_f.subTicks[side];
    const double s = m_f.dTick / m_f.nSubTickCount;
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
