// Tracing lines of longitude and latitude into a drawing's or a
// conversion's space.
#include "layout/graphicelement/grid/grid/geotrace.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "host/display/igis_display.h"
#include "host/helmora/igis_mapview.h"
#include "layout/graphicelement/grid/grid/geographicframe.h"

namespace md::layout::grid {

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool SameBits(const SGIS_DPoint& a, const SGIS_DPoint& b) { return SameBits(a.x, b.x) && SameBits(a.y, b.y); }

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

GeoLineTracer::GeoLineTracer(GeoSpace& space, const SGIS_Rect& frame)
    : m_space(space), m_frame(frame), m_pClipper(GIS_CreateGeoArithmeticObject()) {
  m_frame.Normalize();
  m_carry = [this](SGIS_DPoint* p) { return m_space.FromDegrees(p->x, p->y, p); };
}

int GeoLineTracer::Trace(const GeoRun& run, int nSteps) {
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

bool GeoLineTracer::TickAtFirst(TickSide side, double dLength, SGIS_Point* pFrom, SGIS_Point* pTo) {
  if (m_kept.empty()) return false;
  const SGIS_Point p = m_kept[0];
  const bool bAcross = side == TickSide::Bottom || side == TickSide::Top;
  if (bAcross ? (p.x == m_frame.left || p.x == m_frame.right) : (p.y == m_frame.top || p.y == m_frame.bottom))
    return false;
  const SGIS_DPoint page = m_space.ToPage(SGIS_DPoint(p.x, p.y, 0.0));
  // Away from the frame across the side: down, up, left, right.
  static constexpr double kOutward[4][2] = {{0.0, -1.0}, {0.0, 1.0}, {-1.0, 0.0}, {1.0, 0.0}};
  const double* out = kOutward[static_cast<int>(side)];
  const SGIS_DPoint end(page.x + out[0] * dLength, page.y + out[1] * dLength, 0.0);
  const SGIS_DPoint from = m_space.FromPage(page);
  const SGIS_DPoint to = m_space.FromPage(end);
  *pFrom = SGIS_Point::FromDoubles(from.x, from.y);
  *pTo = SGIS_Point::FromDoubles(to.x, to.y);
  return true;
}

}  // namespace md::layout::grid
