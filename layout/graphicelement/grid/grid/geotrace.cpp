// Tracing lines of longitude and latitude into a drawing's or a
// conversion's space.
#include "layout/graphicelement/grid/grid/geotrace.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "host/display/igis_display.h"
#include "host/helmora/igis_mapview.h"
#include "layout/graphicelement/grid/grid/geographicframe.h"

namespace md::layout::grid {

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool SameBits(const SGIS_DPoint& a, const SGIS_DPoint& b) { return SameBits(a.x, b.x) && SameBits(a.y, b.y); }

// The samples of one line, each carried at most once, when first asked for,
// held in buffers of the caller's (reused from line to line).
class CarriedSamples {
 public:
  CarriedSamples(int nSamples, const GridSampleSource& sampleAt, std::vector<unsigned char>& state,
                 std::vector<SGIS_Point>& points)
      : m_sampleAt(sampleAt), m_state(state), m_points(points) {
    const std::size_t n = static_cast<std::size_t>(std::max(nSamples, 0));
    m_state.assign(n, kUnknown);
    if (m_points.size() < n) m_points.resize(n);
  }
  // Sample j carried into *pOut; false when it is left out.
  bool At(int j, SGIS_Point* pOut) {
    const std::size_t i = static_cast<std::size_t>(j);
    if (m_state[i] == kUnknown) m_state[i] = m_sampleAt(j, &m_points[i]) ? kKept : kLeftOut;
    *pOut = m_points[i];
    return m_state[i] == kKept;
  }
  bool IsCarried(int j) const { return m_state[static_cast<std::size_t>(j)] == kKept; }
  const SGIS_Point& Point(int j) const { return m_points[static_cast<std::size_t>(j)]; }

 private:
  enum : unsigned char { kUnknown, kKept, kLeftOut };
  const GridSampleSource& m_sampleAt;
  std::vector<unsigned char>& m_state;
  std::vector<SGIS_Point>& m_points;
};

// The rectangle of the cut, edges included, as ClipPolylineToRect takes it.
struct CutBox {
  std::int64_t xMin, xMax, yMin, yMax;
  CutBox(SGIS_Point a, SGIS_Point b)
      : xMin(std::min<std::int64_t>(a.x, b.x)),
        xMax(std::max<std::int64_t>(a.x, b.x)),
        yMin(std::min<std::int64_t>(a.y, b.y)),
        yMax(std::max<std::int64_t>(a.y, b.y)) {}
  // How far p lies on the inner side of edge line e (0 left, 1 right, 2
  // bottom, 3 top): at least 0 within the half-plane of the rectangle.
  std::int64_t Inward(int e, const SGIS_Point& p) const {
    switch (e) {
      case 0:
        return p.x - xMin;
      case 1:
        return xMax - p.x;
      case 2:
        return p.y - yMin;
      default:
        return yMax - p.y;
    }
  }
};

// Finds in lo .. hi, where sample lo lies outside the half-plane of edge e
// and sample hi inside it (bEntry; the other way round otherwise), the two
// neighbours between which the line crosses the edge's line, guessing from
// the distances to the line first and halving after. False when a sample is
// left out. *pLo, *pHi hold the two samples' indices.
bool CrossingOfEdge(CarriedSamples& samples, const CutBox& box, int e, bool bEntry, int* pLo, int* pHi) {
  int lo = *pLo, hi = *pHi;
  SGIS_Point p;
  if (!samples.At(lo, &p)) return false;
  double dLo = static_cast<double>(box.Inward(e, p));
  if (!samples.At(hi, &p)) return false;
  double dHi = static_cast<double>(box.Inward(e, p));
  // Sample j lies on hi's side of the edge's line.
  auto onHiSide = [&](int j, double* pD) {
    if (!samples.At(j, &p)) return false;
    const std::int64_t d = box.Inward(e, p);
    *pD = static_cast<double>(d);
    return true;
  };
  for (int nRound = 0; hi - lo > 1; ++nRound) {
    int g = lo + (hi - lo) / 2;
    // The line is nearly straight between samples far apart: the first
    // rounds aim where the distances to the edge's line fall to 0.
    if (nRound < 2 && dHi != dLo) {
      const double t = dLo / (dLo - dHi);
      g = lo + static_cast<int>(std::lround(t * (hi - lo)));
      g = std::clamp(g, lo + 1, hi - 1);
    }
    double d = 0.0;
    if (!onHiSide(g, &d)) return false;
    const bool bHiSide = bEntry ? d >= 0.0 : d < 0.0;
    if (bHiSide) {
      hi = g;
      dHi = d;
      // The neighbour towards lo often closes the bracket.
      if (nRound < 2 && g - 1 > lo) {
        if (!onHiSide(g - 1, &d)) return false;
        if (bEntry ? d >= 0.0 : d < 0.0) {
          hi = g - 1;
          dHi = d;
        } else {
          lo = g - 1;
          dLo = d;
        }
      }
    } else {
      lo = g;
      dLo = d;
      if (nRound < 2 && g + 1 < hi) {
        if (!onHiSide(g + 1, &d)) return false;
        if (bEntry ? d >= 0.0 : d < 0.0) {
          hi = g + 1;
          dHi = d;
        } else {
          lo = g + 1;
          dLo = d;
        }
      }
    }
  }
  *pLo = lo;
  *pHi = hi;
  return true;
}

// The samples between which a line of nSamples samples crosses the lines
// of the rectangle's edges, for a line whose coordinate across each such
// edge changes one way only along it (a meridian or parallel across a map
// frame). *pStart: the last sample before the line is inside the
// half-plane of every edge its start lies beyond (0 when there is none);
// *pStop: the first sample after it left that of an edge its end lies
// beyond (nSamples - 1 when none); *pEnters: whether there is an edge of
// the first kind. The samples up to *pStart lie outside the rectangle, as
// do those from *pStop on. False when a sample the search needed was left
// out. bEntryOnly: only *pStart is searched for.
bool CrossingRange(CarriedSamples& samples, const CutBox& box, int nSamples, int* pStart, int* pStop,
                   bool* pEnters, bool bEntryOnly = false) {
  *pStart = 0;
  *pStop = nSamples - 1;
  *pEnters = false;
  if (nSamples < 2) return true;
  SGIS_Point first, last;
  if (!samples.At(0, &first) || !samples.At(nSamples - 1, &last)) return false;
  for (int e = 0; e < 4; ++e) {
    const bool bFirstIn = box.Inward(e, first) >= 0;
    const bool bLastIn = box.Inward(e, last) >= 0;
    if (bFirstIn == bLastIn || (bEntryOnly && bFirstIn)) continue;
    int lo = 0, hi = nSamples - 1;
    if (!CrossingOfEdge(samples, box, e, bLastIn, &lo, &hi)) return false;
    if (bLastIn) {
      *pStart = std::max(*pStart, lo);
      *pEnters = true;
    } else {
      *pStop = std::min(*pStop, hi);
    }
  }
  return true;
}

}  // namespace

bool GeoDeviceSpace::FromDegrees(double dLon, double dLat, SGIS_DPoint* pOut) {
  SGIS_DPoint p(dLon, dLat, 0.0);
  if (!m_geo.ToMap(&p)) return false;
  *pOut = m_pMapView->PageToDevicePoint(p, nullptr);
  return std::isfinite(pOut->x) && std::isfinite(pOut->y);
}

SGIS_DPoint GeoDeviceSpace::ToPage(SGIS_DPoint point) { return m_pView->DeviceToPagePoint(point, m_pPage); }

SGIS_DPoint GeoDeviceSpace::FromPage(SGIS_DPoint point) { return m_pView->PageToDevicePoint(point, m_pPage); }

bool GeoPageSpace::FromDegrees(double dLon, double dLat, SGIS_DPoint* pOut) {
  SGIS_DPoint p(dLon, dLat, 0.0);
  if (!m_geo.ToMap(&p)) return false;
  *pOut = MapToPage(p, m_bound, m_frame, m_dScale);
  return std::isfinite(pOut->x) && std::isfinite(pOut->y);
}

LineCutEnds CutLineEnds(IGIS_GeoArithmetic& clipper, SGIS_Point lowerLeft, SGIS_Point upperRight,
                        int nSamples, const GridSampleSource& sampleAt, bool bLast) {
  // The cut of a whole line puts down, stretch by stretch, the points each
  // stretch keeps, leaving out a point equal to the one before: the first
  // point comes from the first stretch that reaches the rectangle, the last
  // from the last one, each as the cut of that stretch alone gives it.
  LineCutEnds ends;
  std::vector<SGIS_Point> carried(static_cast<std::size_t>(std::max(nSamples, 0)));
  std::vector<bool> bCarried(carried.size(), false);
  auto at = [&](int j, SGIS_Point* p) {
    const std::size_t i = static_cast<std::size_t>(j);
    bCarried[i] = sampleAt(j, &carried[i]);
    *p = carried[i];
    return bCarried[i];
  };
  SGIS_Point stretch[2];
  SGIS_Point cut[4];
  int nCarried = 0;
  int jFirst = -1;  // the later sample of the first stretch that reaches it
  for (int j = 0; j < nSamples && jFirst < 0; ++j) {
    if (!at(j, &stretch[nCarried == 0 ? 0 : 1])) continue;
    if (++nCarried == 1) continue;
    const int k = clipper.ClipPolylineToRect(lowerLeft, upperRight, 2, stretch, cut);
    if (k >= 1) {
      ends = LineCutEnds{k, cut[0], cut[k - 1]};
      jFirst = j;
    }
    stretch[0] = stretch[1];
  }
  if (jFirst < 0) {
    // A line of one carried sample keeps it when it lies in the rectangle.
    if (nCarried == 1 && clipper.ClipPolylineToRect(lowerLeft, upperRight, 1, stretch, cut) >= 1)
      ends = LineCutEnds{1, cut[0], cut[0]};
    return ends;
  }
  if (!bLast) return ends;
  // Back from the end: stretch = {earlier, later}, as the cut walks it.
  int jLater = -1;
  int jBack = nSamples;  // the samples from here on are carried
  for (int j = nSamples - 1; j >= jFirst; --j) {
    SGIS_Point p;
    if (j == jFirst) {
      if (!bCarried[static_cast<std::size_t>(j)]) continue;
      p = carried[static_cast<std::size_t>(j)];
    } else {
      jBack = j;
      if (!at(j, &p)) continue;
    }
    if (jLater < 0) {
      stretch[1] = p;
      jLater = j;
      continue;
    }
    stretch[0] = p;
    const int k = clipper.ClipPolylineToRect(lowerLeft, upperRight, 2, stretch, cut);
    if (k >= 1) {
      ends.last = cut[k - 1];
      if (ends.nKept >= 2 || k >= 2 || ends.first != cut[0]) {
        ends.nKept = 2;
        return ends;
      }
      // Both stretches keep the same single point: the stretches between
      // decide whether the whole cut keeps more than that one.
      std::vector<SGIS_Point> all, kept;
      for (int i = 0; i < nSamples; ++i) {
        if (i > jFirst && i < jBack) at(i, &p);
        if (bCarried[static_cast<std::size_t>(i)]) all.push_back(carried[static_cast<std::size_t>(i)]);
      }
      kept.resize(all.size() * 2);
      const int m = clipper.ClipPolylineToRect(lowerLeft, upperRight, static_cast<int>(all.size()),
                                               all.data(), kept.data());
      ends.nKept = m >= 2 ? 2 : m;
      return ends;
    }
    stretch[1] = stretch[0];
    jLater = j;
  }
  // The first stretch that reaches the rectangle is also the last.
  return ends;
}

LineCutEnds CutCrossingLineEnds(IGIS_GeoArithmetic& clipper, SGIS_Point lowerLeft, SGIS_Point upperRight,
                                int nSamples, const GridSampleSource& sampleAt, bool bLast) {
  std::vector<unsigned char> state;
  std::vector<SGIS_Point> points;
  CarriedSamples samples(nSamples, sampleAt, state, points);
  int jStart = 0, jStop = nSamples - 1;
  bool bEnters = false;
  SGIS_Point p;
  if (!CrossingRange(samples, CutBox(lowerLeft, upperRight), nSamples, &jStart, &jStop, &bEnters) ||
      (jStart < jStop && (!samples.At(jStart, &p) || !samples.At(jStop, &p)))) {
    jStart = 0;
    jStop = nSamples - 1;
  } else if (nSamples >= 2 && jStart >= jStop) {
    return LineCutEnds();  // every stretch lies beyond an edge the line crosses
  }
  // The stretches outside the range stay outside the rectangle: the cut of
  // the range alone has the same ends.
  return CutLineEnds(
      clipper, lowerLeft, upperRight, jStop - jStart + 1,
      [&samples, jStart](int j, SGIS_Point* pOut) { return samples.At(j + jStart, pOut); }, bLast);
}

GeoLineTracer::GeoLineTracer(GeoSpace& space, const SGIS_Rect& frame)
    : m_space(space), m_frame(frame), m_pClipper(GIS_CreateGeoArithmeticObject()) {
  m_frame.Normalize();
  m_carry = [this](SGIS_DPoint* p) { return m_space.FromDegrees(p->x, p->y, p); };
}

int GeoLineTracer::Trace(const GeoRun& run, int nSteps) {
  CountGridLineTraced();
  SampleGridLine(run.from, run.to, nSteps, m_carry, &m_carried);
  if (m_carried.empty() || !m_pClipper) return 0;
  m_kept.resize(m_carried.size() * 2);
  return m_pClipper->ClipPolylineToRect(SGIS_Point(m_frame.left, m_frame.bottom, 0),
                                        SGIS_Point(m_frame.right, m_frame.top, 0),
                                        static_cast<int>(m_carried.size()), m_carried.data(), m_kept.data());
}

bool GeoLineTracer::TraceToFrame(const GeoRun& run, int nSteps) {
  m_kept.clear();
  if (!m_pClipper) return false;
  CountGridLineTraced();
  const GridLineSampler samples(run.from, run.to, nSteps);
  const int n = samples.Count();
  auto back = std::find_if(m_missed.begin(), m_missed.end(), [&](const MissedLine& m) {
    return m.nSteps == nSteps && SameBits(m.run.from, run.to) && SameBits(m.run.to, run.from);
  });
  const CarriedSample* pBack = back != m_missed.end() ? back->samples.data() : nullptr;
  m_trail.resize(static_cast<std::size_t>(n));
  auto sampleAt = [&](int j, SGIS_Point* pOut) {
    CarriedSample& s = m_trail[static_cast<std::size_t>(j)];
    s.input = samples.Input(j);
    const CarriedSample* pSame = pBack != nullptr ? &pBack[n - 1 - j] : nullptr;
    if (pSame != nullptr && SameBits(pSame->input, s.input)) {
      s.bKept = pSame->bKept;
      s.point = pSame->point;
    } else {
      s.bKept = GridLineSampler::Carry(s.input, m_carry, &s.point);
    }
    if (s.bKept) *pOut = s.point;
    return s.bKept;
  };
  const LineCutEnds ends = CutLineEnds(*m_pClipper, SGIS_Point(m_frame.left, m_frame.bottom, 0),
                                       SGIS_Point(m_frame.right, m_frame.top, 0), n, sampleAt, false);
  if (pBack != nullptr) {
    m_missed.erase(back);
  } else if (ends.nKept < 1 && n > 0 && m_missed.size() < kMaxMissedLines) {
    m_missed.push_back(MissedLine{run, nSteps, m_trail});
  }
  if (ends.nKept < 1) return false;
  m_kept.assign(1, ends.first);
  return true;
}

bool GeoLineTracer::TraceToEdge(const GeoRun& run, int nSteps) {
  m_kept.clear();
  if (!m_pClipper) return false;
  CountGridLineTraced();
  const GridLineSampler samples(run.from, run.to, nSteps);
  const int n = samples.Count();
  // The ends are kept: the tick of the opposite side walks the same line
  // the other way.
  const GridSampleSource sampleAt = [&](int j, SGIS_Point* pOut) {
    if (j != 0 && j != n - 1) return samples.At(j, m_carry, pOut);
    const SGIS_DPoint input = samples.Input(j);
    std::uint64_t key[2];
    std::memcpy(&key[0], &input.x, sizeof key[0]);
    std::memcpy(&key[1], &input.y, sizeof key[1]);
    const EndKey k{key[0], key[1]};
    const auto found = m_ends.find(k);
    if (found != m_ends.end()) {
      *pOut = found->second.point;
      return found->second.bKept;
    }
    CarriedEnd end;
    end.bKept = GridLineSampler::Carry(input, m_carry, &end.point);
    if (m_ends.size() < kMaxEnds) m_ends.emplace(k, end);
    *pOut = end.point;
    return end.bKept;
  };
  CarriedSamples carried(n, sampleAt, m_sampleState, m_samplePoints);
  const SGIS_Point lowerLeft(m_frame.left, m_frame.bottom, 0), upperRight(m_frame.right, m_frame.top, 0);
  int jStart = 0, jStop = n - 1;
  bool bEnters = false;
  if (n < 2 || !CrossingRange(carried, CutBox(lowerLeft, upperRight), n, &jStart, &jStop, &bEnters, true) ||
      !bEnters)
    return TraceToFrame(run, nSteps);
  SGIS_Point stretch[2], cut[4];
  if (!carried.At(jStart, &stretch[0]) || !carried.At(jStart + 1, &stretch[1]))
    return TraceToFrame(run, nSteps);
  // Crossing the edge's line beside the frame, the line could come in only
  // across the ends of the side: no tick stands there.
  if (m_pClipper->ClipPolylineToRect(lowerLeft, upperRight, 2, stretch, cut) < 1) return false;
  m_kept.assign(1, cut[0]);
  return true;
}

bool GeoLineTracer::TickAtFirst(TickSide side, double dLength, SGIS_Point* pFrom, SGIS_Point* pTo,
                                double dOffset) {
  if (m_kept.empty()) return false;
  const SGIS_Point p = m_kept[0];
  const bool bAcross = side == TickSide::Bottom || side == TickSide::Top;
  if (bAcross ? (p.x == m_frame.left || p.x == m_frame.right) : (p.y == m_frame.top || p.y == m_frame.bottom))
    return false;
  const SGIS_DPoint edge = m_space.ToPage(SGIS_DPoint(p.x, p.y, 0.0));
  // Away from the frame across the side: down, up, left, right.
  static constexpr double kOutward[4][2] = {{0.0, -1.0}, {0.0, 1.0}, {-1.0, 0.0}, {1.0, 0.0}};
  const double* out = kOutward[static_cast<int>(side)];
  const SGIS_DPoint page(edge.x + out[0] * dOffset, edge.y + out[1] * dOffset, 0.0);
  const SGIS_DPoint end(page.x + out[0] * dLength, page.y + out[1] * dLength, 0.0);
  const SGIS_DPoint from = m_space.FromPage(page);
  const SGIS_DPoint to = m_space.FromPage(end);
  *pFrom = SGIS_Point::FromDoubles(from.x, from.y);
  *pTo = SGIS_Point::FromDoubles(to.x, to.y);
  return true;
}

}  // namespace md::layout::grid
