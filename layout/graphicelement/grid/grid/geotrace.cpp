// Tracing lines of longitude and latitude into a drawing's or a
// conversion's space.
#include "layout/graphicelement/grid/grid/geotrace.h"

#include <cmath>
#include <vector>

#include "host/display/igis_display.h"
#include "host/helmora/igis_mapview.h"
#include "layout/graphicelement/grid/grid/geographicframe.h"

namespace md::layout::grid {

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
                        const GridLineSampler& samples, const GridPointCarrier& carry, bool bLast) {
  // The cut of a whole line puts down, stretch by stretch, the points each
  // stretch keeps, leaving out a point equal to the one before: the first
  // point comes from the first stretch that reaches the rectangle, the last
  // from the last one, each as the cut of that stretch alone gives it.
  LineCutEnds ends;
  const int n = samples.Count();
  SGIS_Point stretch[2];
  SGIS_Point cut[4];
  int nCarried = 0;
  int jFirst = -1;  // the later sample of the first stretch that reaches it
  for (int j = 0; j < n && jFirst < 0; ++j) {
    if (!samples.At(j, carry, &stretch[nCarried == 0 ? 0 : 1])) continue;
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
  for (int j = n - 1; j >= jFirst; --j) {
    SGIS_Point p;
    if (!samples.At(j, carry, &p)) continue;
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
      SampleGridLine(samples, carry, &all);
      kept.resize(all.size() * 2);
      const int m = clipper.ClipPolylineToRect(lowerLeft, upperRight, static_cast<int>(all.size()), all.data(),
                                               kept.data());
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
  const LineCutEnds ends =
      CutLineEnds(*m_pClipper, SGIS_Point(m_frame.left, m_frame.bottom, 0),
                  SGIS_Point(m_frame.right, m_frame.top, 0), GridLineSampler(run.from, run.to, nSteps), m_carry, false);
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
