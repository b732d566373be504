// The figure of a graticule, laid into a drawing's or a conversion's space.
#include "layout/graphicelement/grid/graticule/graticulefigure.h"

#include <algorithm>
#include <cmath>

#include "layout/graphicelement/element/mapdeckgeometry.h"
#include "layout/graphicelement/grid/grid/gridtolerance.h"

namespace md::layout::graticule {

namespace {

using grid::GridLineRun;
using grid::GridRunRounding;

int R(double v) { return md::basilo::detail::RoundToInt32(v); }

// The lines k = R(low / interval) - nBefore .. of one direction, R(span /
// interval) + nExtra of them: the hatches' runs.
GridLineRun LinesOver(double dLow, double dSpan, double dInterval, int nExtra, int nBefore) {
  return grid::MakeGridLineRun(dLow, dSpan, dInterval, nExtra, nBefore, GridRunRounding::kQuotientFirst);
}

// The extent's four sides, whichever way its corners were given.
struct Sides {
  double west, east, south, north;
  explicit Sides(const SGIS_DRect& e)
      : west(std::min(e.x1, e.x2)),
        east(std::max(e.x1, e.x2)),
        south(std::min(e.y1, e.y2)),
        north(std::max(e.y1, e.y2)) {}
  double Width() const { return east - west; }
  double Height() const { return north - south; }
};

// An interval that reaches past an extent: the interval itself, or 0 when it
// places no lines.
double Reach(double d) { return IsInterval(d) ? d : 0.0; }

// Edges and the globe's limits are decided with the grids' tolerance.
bool IsMeridianInExtent(double dLon, const Sides& s, double dX) {
  return grid::WithinGridEdges(dLon, s.west, s.east, dX) &&
         grid::WithinGridEdges(dLon, -180.0 - dX, 180.0 + dX, dX);
}
bool IsParallelInExtent(double dLat, const Sides& s, double dY) {
  return grid::WithinGridEdges(dLat, s.south, s.north, dY) &&
         grid::WithinGridEdges(dLat, -90.0 - dY, 90.0 + dY, dY);
}

GeoRun Along(bool bParallel, double dFixed, double dFrom, double dTo) {
  return bParallel ? GeoRun{SGIS_DPoint(dFrom, dFixed, 0.0), SGIS_DPoint(dTo, dFixed, 0.0)}
                   : GeoRun{SGIS_DPoint(dFixed, dFrom, 0.0), SGIS_DPoint(dFixed, dTo, 0.0)};
}

constexpr bool IsVerticalSide(TickSide side) { return side == TickSide::Bottom || side == TickSide::Top; }

}  // namespace

bool IsInterval(double d) { return std::isfinite(d) && d > 0.0; }

bool ParallelRun(double dLat, const SGIS_DRect& extent, double dX, double dY, LineReach reach, GeoRun* pOut) {
  const Sides s(extent);
  dX = Reach(dX);
  dY = Reach(dY);
  if (pOut == nullptr || !IsParallelInExtent(dLat, s, dY)) return false;
  const double east = reach == LineReach::Drawing ? s.east + 4.0 * dX : s.east + dX;
  *pOut = Along(true, std::clamp(dLat, -90.0, 90.0), std::clamp(s.west - dX, -180.0, 180.0),
                std::clamp(east, -180.0, 180.0));
  return true;
}

bool MeridianRun(double dLon, const SGIS_DRect& extent, double dX, double dY, LineReach reach, GeoRun* pOut) {
  const Sides s(extent);
  dX = Reach(dX);
  dY = Reach(dY);
  if (pOut == nullptr || !IsMeridianInExtent(dLon, s, dX)) return false;
  const double north = reach == LineReach::Drawing ? s.north + 4.0 * dY : s.north + dY;
  *pOut = Along(false, std::clamp(dLon, -180.0, 180.0), std::clamp(s.south - dY, -90.0, 90.0),
                std::clamp(north, -90.0, 90.0));
  return true;
}

bool TickRun(TickSide side, double dValue, const SGIS_DRect& extent, double dX, double dY, GeoRun* pOut) {
  const Sides s(extent);
  dX = Reach(dX);
  dY = Reach(dY);
  if (pOut == nullptr) return false;
  if (IsVerticalSide(side)) {
    if (!IsMeridianInExtent(dValue, s, dX)) return false;
    const double south = std::clamp(s.south - dY, -90.0, 90.0);
    const double north = std::clamp(s.north + dY, -90.0, 90.0);
    if (south == north) return false;
    const bool bUp = side == TickSide::Bottom;
    *pOut = Along(false, std::clamp(dValue, -180.0, 180.0), bUp ? south : north, bUp ? north : south);
  } else {
    if (!IsParallelInExtent(dValue, s, dY)) return false;
    const double west = std::clamp(s.west - dX, -180.0, 180.0);
    const double east = std::clamp(s.east + dX, -180.0, 180.0);
    if (west == east) return false;
    const bool bEastward = side == TickSide::Left;
    *pOut = Along(true, std::clamp(dValue, -90.0, 90.0), bEastward ? west : east, bEastward ? east : west);
  }
  return true;
}

// ---- The walker -------------------------------------------------------------

GraticuleWalker::GraticuleWalker(GraticuleSpace& space, const SGIS_Rect& frame, grid::CGIS_GridCapRecord& cap,
                                 const grid::GridResolution& resolution)
    : m_space(space),
      m_tracer(space, frame),
      m_frame(m_tracer.Frame()),
      m_cap(cap),
      m_resolution(resolution) {}

bool GraticuleWalker::CountMark() {
  if (m_nMarks >= grid::kMaxGridMarks) {
    m_cap.Note("marks", grid::kMaxGridMarks);
    return false;
  }
  ++m_nMarks;
  return true;
}

void GraticuleWalker::Lines(const LinePass& pass, GraticuleSink& sink) {
  if (!Ready()) return;
  const GraticuleLines& lines = pass.lines;
  m_cap.Note("lines", lines.meridians, grid::kMaxGridLines);
  m_cap.Note("lines", lines.parallels, grid::kMaxGridLines);
  GeoRun run;
  if (pass.nGridlineType == 1) {
    const bool bParallels = grid::LayGridLines(m_cap, "lines", lines.parallels.nCount);
    for (int j = 0; bParallels && j < lines.parallels.nCount; ++j) {
      if (!ParallelRun(lines.parallels.At(j, pass.dY), pass.extent, pass.dX, pass.dY, pass.reach, &run))
        continue;
      const int n = m_tracer.Trace(run, pass.nSamples);
      if (n >= 2) sink.Line(m_tracer.Kept(), n);
    }
    const bool bMeridians = grid::LayGridLines(m_cap, "lines", lines.meridians.nCount);
    for (int i = 0; bMeridians && i < lines.meridians.nCount; ++i) {
      if (!MeridianRun(lines.meridians.At(i, pass.dX), pass.extent, pass.dX, pass.dY, pass.reach, &run))
        continue;
      const int n = m_tracer.Trace(run, pass.nSamples);
      if (n >= 2) sink.Line(m_tracer.Kept(), n);
    }
  } else if (pass.nGridlineType == 2) {
    if (!grid::LayGridPoints(m_cap, "marks",
                             static_cast<double>(lines.meridians.nCount) * lines.parallels.nCount))
      return;
    m_nMarks = 0;
    for (int i = 0; i < lines.meridians.nCount; ++i) {
      for (int j = 0; j < lines.parallels.nCount; ++j) {
        if (!CountMark()) return;
        const double lon = lines.meridians.At(i, pass.dX);
        const double lat = lines.parallels.At(j, pass.dY);
        if (!grid::WithinGridExtent(pass.extent, lon, lat, pass.dX, pass.dY)) continue;
        SGIS_DPoint p;
        if (!m_space.FromDegrees(lon, lat, &p)) continue;
        const SGIS_Point at = SGIS_Point::FromDoubles(p.x, p.y);
        if (pass.bMarkersInFrame && HitTestRectEdge(m_frame, at.x, at.y, 0) == SGIS_Rect::OUTSIDE) continue;
        sink.Marker(at);
      }
    }
  }
}

void GraticuleWalker::Ticks(const TickPass& pass, GraticuleSink& sink) {
  if (!Ready()) return;
  constexpr TickSide kSides[] = {TickSide::Bottom, TickSide::Top, TickSide::Left, TickSide::Right};
  for (TickSide side : kSides) {
    if (pass.bMain[static_cast<int>(side)]) TicksOfSide(side, pass, false, sink);
  }
  if (pass.nSubCount <= 0) return;
  for (TickSide side : kSides) {
    if (pass.bSub[static_cast<int>(side)]) TicksOfSide(side, pass, true, sink);
  }
}

void GraticuleWalker::TicksOfSide(TickSide side, const TickPass& pass, bool bSub, GraticuleSink& sink) {
  const double dLength = bSub ? pass.dSubLength : pass.dLength;
  if (!std::isfinite(dLength)) return;
  // A tick only finds where its line meets the frame: the run is not held
  // to the lines' budget.
  const GraticuleLines lines = CountGraticuleLines(pass.extent, pass.dX, pass.dY, m_resolution, 0);
  const bool bVertical = IsVerticalSide(side);
  const GridLineRun& run = bVertical ? lines.meridians : lines.parallels;
  const double d = bVertical ? pass.dX : pass.dY;
  m_cap.Note(run.bTooClose ? "ticks" : "lines", run, grid::kMaxGridLines);
  GeoRun tick;
  auto tickAt = [&](double v) {
    if (TickRun(side, v, pass.extent, pass.dX, pass.dY, &tick) && m_tracer.TraceToEdge(tick, pass.nSamples))
      Tick(side, bSub, dLength, pass.dOffset, sink);
  };
  const int nMain = std::min(run.nCount, grid::kMaxGridTicks);
  if (run.nCount > nMain) m_cap.Note("ticks", grid::kMaxGridTicks);
  if (!bSub) {
    if (!grid::LayGridPoints(m_cap, "ticks", nMain)) return;
    for (int i = 0; i < nMain; ++i) tickAt(run.At(i, d));
    return;
  }
  const double dSub = d / pass.nSubCount;
  if (!m_resolution.Shows(dSub, bVertical)) {
    m_cap.Note("sub-ticks", grid::TooCloseGridLineRun(), grid::kMaxGridSubTicks);
    return;
  }
  const double dSubTicks = static_cast<double>(nMain) * (pass.nSubCount - 1);
  if (!grid::LayGridPoints(m_cap, "sub-ticks", dSubTicks, grid::kMaxGridSubTicks)) return;
  long long nTried = 0;
  for (int i = 0; i < nMain; ++i) {
    for (int q = 1; q < pass.nSubCount; ++q) {
      if (++nTried > grid::kMaxGridSubTicks) {
        m_cap.Note("sub-ticks", grid::kMaxGridSubTicks);
        return;
      }
      tickAt(run.At(i, d) + q * dSub);
    }
  }
}

void GraticuleWalker::Tick(TickSide side, bool bSub, double dLength, double dOffset, GraticuleSink& sink) {
  SGIS_Point from, to;
  if (m_tracer.TickAtFirst(side, dLength, &from, &to, dOffset)) sink.Tick(bSub, from, to);
}

void GraticuleWalker::HatchMark(HatchRank rank, bool bVertical, double dLon, double dLat,
                                const HatchRankStyle& style, GraticuleSink& sink) {
  if (!std::isfinite(style.dLength)) return;
  SGIS_DPoint c;
  if (!m_space.FromDegrees(dLon, dLat, &c)) return;
  if (HitTestRectEdge(m_frame, R(c.x), R(c.y), 1) == SGIS_Rect::OUTSIDE) return;
  const SGIS_DPoint page = m_space.ToPage(c);
  const double half = style.bIntegerHalf ? std::trunc(style.dLength / 2.0) : style.dLength / 2.0;
  const double lo = style.bDirectional ? 0.0 : -half;
  const double hi = style.bDirectional ? style.dLength : half;
  SGIS_DPoint a = page, b = page;
  if (bVertical) {
    a.y += lo;
    b.y += hi;
  } else {
    a.x += lo;
    b.x += hi;
  }
  const SGIS_DPoint from = m_space.FromPage(a);
  const SGIS_DPoint to = m_space.FromPage(b);
  sink.Hatch(rank, SGIS_Point::FromDoubles(from.x, from.y), SGIS_Point::FromDoubles(to.x, to.y));
}

void GraticuleWalker::Hatches(const HatchPass& pass, GraticuleSink& sink) {
  const Sides s(pass.extent);
  const int nMain = std::max(1, pass.nMainCount);
  const int nSub = std::max(1, pass.nSubCount);
  const HatchRankStyle& sub = pass.rank[static_cast<int>(HatchRank::Sub)];
  const HatchRankStyle& main = pass.rank[static_cast<int>(HatchRank::Main)];
  const HatchRankStyle& interval = pass.rank[static_cast<int>(HatchRank::Interval)];

  // One position of a pass: its sub and main marks, then its interval mark
  // unless it lies on a grid line across the pass. False at the cap.
  auto position = [&](bool bVertical, double lon, double lat, double h) {
    const double dMain = h / nMain;
    const double dSub = dMain / nSub;
    for (int m = 0; m < nMain; ++m) {
      const double start = (bVertical ? lon : lat) + m * dMain;
      for (int k = 1; k < nSub; ++k) {
        if (!CountMark()) return false;
        const double v = start + k * dSub;
        HatchMark(HatchRank::Sub, bVertical, bVertical ? v : lon, bVertical ? lat : v, sub, sink);
      }
      if (m >= 1) {
        if (!CountMark()) return false;
        HatchMark(HatchRank::Main, bVertical, bVertical ? start : lon, bVertical ? lat : start, main, sink);
      }
    }
    if (!CountMark()) return false;
    if (bVertical) {
      if (!LiesOnGridLine(lon, pass.dX)) HatchMark(HatchRank::Interval, true, lon, lat, interval, sink);
    } else {
      const double latc = std::clamp(lat, -90.0, 90.0);
      if (!LiesOnGridLine(latc, pass.dY))
        HatchMark(HatchRank::Interval, false, std::clamp(lon, -180.0, 180.0), latc, interval, sink);
    }
    return true;
  };

  // Marks closer together than the resolution shows: the finest step along
  // a pass, and its lines across it.
  auto shown = [&](bool bAlongX, double h, double dAcross) {
    const double dFinest = h / (static_cast<double>(nMain) * nSub);
    if (m_resolution.Shows(dFinest, bAlongX) && m_resolution.Shows(dAcross, !bAlongX)) return true;
    m_cap.Note("hatches", grid::TooCloseGridLineRun(), grid::kMaxGridMarks);
    return false;
  };

  // Along the parallels: marks up the page, parallel by parallel from the
  // south, position by position from the west.
  if (IsInterval(pass.dIntervalX) && IsInterval(pass.dY) && shown(true, pass.dIntervalX, pass.dY)) {
    const GridLineRun cols = LinesOver(s.west, s.Width(), pass.dIntervalX, 4, 2);
    const GridLineRun rows = LinesOver(s.south, s.Height(), pass.dY, 4, 2);
    if (cols.bCapped || rows.bCapped) m_cap.Note("lines", grid::kMaxGridLines);
    m_nMarks = 0;
    bool bGoing =
        grid::LayGridPoints(m_cap, "hatches", static_cast<double>(cols.nCount) * rows.nCount * nMain * nSub);
    for (int i = 0; i < rows.nCount && bGoing; ++i) {
      const double lat = rows.At(i, pass.dY);
      for (int j = 0; j < cols.nCount && bGoing; ++j)
        bGoing = position(true, cols.At(j, pass.dIntervalX), lat, pass.dIntervalX);
    }
  }
  // Along the meridians: marks to the right, meridian by meridian from the
  // west, position by position from the south.
  if (IsInterval(pass.dIntervalY) && IsInterval(pass.dX) && shown(false, pass.dIntervalY, pass.dX)) {
    const GridLineRun cols = LinesOver(s.west, s.Width(), pass.dX, 4, 2);
    const GridLineRun rows = LinesOver(s.south, s.Height(), pass.dIntervalY, 4, 2);
    if (cols.bCapped || rows.bCapped) m_cap.Note("lines", grid::kMaxGridLines);
    m_nMarks = 0;
    bool bGoing =
        grid::LayGridPoints(m_cap, "hatches", static_cast<double>(cols.nCount) * rows.nCount * nMain * nSub);
    for (int i = 0; i < cols.nCount && bGoing; ++i) {
      const double lon = cols.At(i, pass.dX);
      if (!grid::WithinGridEdges(lon, s.west, s.east, pass.dX)) continue;
      for (int j = 0; j < rows.nCount && bGoing; ++j)
        bGoing = position(false, lon, rows.At(j, pass.dIntervalY), pass.dIntervalY);
    }
  }
}

void GraticuleWalker::Labels(const LabelPass& pass, GraticuleSink& sink) {
  const GraticuleLines lines = CountGraticuleLines(pass.extent, pass.dX, pass.dY, m_resolution, 0);
  const GridLineRun& cols = lines.meridians;
  const GridLineRun& rows = lines.parallels;
  m_cap.Note("lines", cols, grid::kMaxGridLines);
  m_cap.Note("lines", rows, grid::kMaxGridLines);
  if (!grid::LayGridPoints(m_cap, "labels", static_cast<double>(cols.nCount) * rows.nCount)) return;
  m_nMarks = 0;
  for (int i = 0; i < cols.nCount; ++i) {
    for (int j = 0; j < rows.nCount; ++j) {
      if (!CountMark()) return;
      const double lon = cols.At(i, pass.dX);
      const double lat = rows.At(j, pass.dY);
      if (!grid::WithinGridExtent(pass.extent, lon, lat, pass.dX, pass.dY)) continue;
      SGIS_DPoint p;
      if (!m_space.FromDegrees(lon, lat, &p)) continue;
      const SGIS_Point anchor = SGIS_Point::FromDoubles(p.x, p.y);
      if (HitTestRectEdge(m_frame, anchor.x, anchor.y, 0) == SGIS_Rect::OUTSIDE) continue;
      sink.Label(anchor, lon, lat);
    }
  }
}

}  // namespace md::layout::graticule
