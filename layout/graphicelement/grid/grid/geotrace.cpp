// Tracing lines of longitude and latitude into a drawing's or a
// conversion's space.
#include "layout/graphicelement/grid/grid/geotrace.h"

#include <cmath>

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
  const SGIS_Point lowerLeft(m_frame.left, m_frame.bottom, 0);
  const SGIS_Point upperRight(m_frame.right, m_frame.top, 0);
  // The cut of a whole line keeps first the entry of the first stretch
  // between two carried samples that reaches the frame; the cut of that
  // stretch alone keeps the same point first.
  const GridLineSampler samples(run.from, run.to, nSteps);
  SGIS_Point stretch[2];
  SGIS_Point cut[4];
  int nCarried = 0;
  for (int j = 0; j < samples.Count(); ++j) {
    if (!samples.At(j, m_carry, &stretch[nCarried == 0 ? 0 : 1])) continue;
    if (++nCarried == 1) continue;
    if (m_pClipper->ClipPolylineToRect(lowerLeft, upperRight, 2, stretch, cut) >= 1) {
      m_kept.assign(1, cut[0]);
      return true;
    }
    stretch[0] = stretch[1];
  }
  // A single carried sample is kept when it lies in the frame.
  if (nCarried == 1 && m_pClipper->ClipPolylineToRect(lowerLeft, upperRight, 1, stretch, cut) >= 1) {
    m_kept.assign(1, cut[0]);
    return true;
  }
  return false;
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
