#include "host/display/cgis_pageview.h"

#include <cmath>

#include "host/basilo/igis_log.h"
#include "platform/win/cdc.h"
#include "platform/win/wingdi.h"

namespace {

bool Finite(double v) { return std::isfinite(v); }
std::int32_t Round(double v) { return md::basilo::detail::RoundToInt32(v); }

}  // namespace

BOOL CGIS_PageView::SetMapping(double originX, double originY, double factorX, double factorY) {
  if (!Finite(originX) || !Finite(originY) || !Finite(factorX) || !Finite(factorY) || factorX == 0.0 ||
      factorY == 0.0) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PageView::SetMapping", "bad mapping");
    return FALSE;
  }
  m_dOriginX = originX;
  m_dOriginY = originY;
  m_dFactorX = factorX;
  m_dFactorY = factorY;
  return TRUE;
}

BOOL CGIS_PageView::SetScale(double scale) {
  if (!Finite(scale) || scale <= 0.0) return FALSE;
  m_dScale = scale;
  return TRUE;
}

BOOL CGIS_PageView::SetSymbolRatio(double ratio) {
  if (!Finite(ratio) || ratio <= 0.0) return FALSE;
  m_dSymbolRatio = ratio;
  return TRUE;
}

// ---- page to device ---------------------------------------------------------

void CGIS_PageView::PageToDevicePoints(double* xy, int count, IGIS_SpatialReference*) {
  if (xy == nullptr) return;
  for (int i = 0; i < count; ++i) {
    xy[2 * i] = ToDeviceX(xy[2 * i]);
    xy[2 * i + 1] = ToDeviceY(xy[2 * i + 1]);
  }
}

SGIS_Rect CGIS_PageView::PageToDeviceRect(SGIS_Rect r, IGIS_SpatialReference*) {
  return SGIS_Rect(Round(ToDeviceX(r.left)), Round(ToDeviceY(r.top)), Round(ToDeviceX(r.right)),
                   Round(ToDeviceY(r.bottom)));
}

SGIS_Point CGIS_PageView::PageToDevicePoint(SGIS_Point p, IGIS_SpatialReference*) {
  return SGIS_Point(Round(ToDeviceX(p.x)), Round(ToDeviceY(p.y)), p.z);
}

void CGIS_PageView::PageToDevice(int* x, int* y, IGIS_SpatialReference*) {
  if (x == nullptr || y == nullptr) return;
  const double dx = ToDeviceX(*x);
  const double dy = ToDeviceY(*y);
  *x = Round(dx);
  *y = Round(dy);
}

SGIS_DRect CGIS_PageView::PageToDeviceRect(SGIS_DRect r, IGIS_SpatialReference*) {
  return SGIS_DRect(ToDeviceX(r.x1), ToDeviceY(r.y1), ToDeviceX(r.x2), ToDeviceY(r.y2));
}

SGIS_DPoint CGIS_PageView::PageToDevicePoint(SGIS_DPoint p, IGIS_SpatialReference*) {
  return SGIS_DPoint(ToDeviceX(p.x), ToDeviceY(p.y), p.z);
}

void CGIS_PageView::PageToDevicePoints(SGIS_Point* points, int count, IGIS_SpatialReference* reference) {
  if (points == nullptr) return;
  for (int i = 0; i < count; ++i) points[i] = PageToDevicePoint(points[i], reference);
}

// ---- device to page ---------------------------------------------------------

void CGIS_PageView::DeviceToPagePoints(double* xy, int count, IGIS_SpatialReference*) {
  if (xy == nullptr) return;
  for (int i = 0; i < count; ++i) {
    xy[2 * i] = ToPageX(xy[2 * i]);
    xy[2 * i + 1] = ToPageY(xy[2 * i + 1]);
  }
}

SGIS_Rect CGIS_PageView::DeviceToPageRect(SGIS_Rect r, IGIS_SpatialReference*) {
  return SGIS_Rect(Round(ToPageX(r.left)), Round(ToPageY(r.top)), Round(ToPageX(r.right)),
                   Round(ToPageY(r.bottom)));
}

SGIS_Point CGIS_PageView::DeviceToPagePoint(SGIS_Point p, IGIS_SpatialReference*) {
  return SGIS_Point(Round(ToPageX(p.x)), Round(ToPageY(p.y)), p.z);
}

void CGIS_PageView::DeviceToPage(int* x, int* y, IGIS_SpatialReference*) {
  if (x == nullptr || y == nullptr) return;
  const double px = ToPageX(*x);
  const double py = ToPageY(*y);
  *x = Round(px);
  *y = Round(py);
}

SGIS_DRect CGIS_PageView::DeviceToPageRect(SGIS_DRect r, IGIS_SpatialReference*) {
  return SGIS_DRect(ToPageX(r.x1), ToPageY(r.y1), ToPageX(r.x2), ToPageY(r.y2));
}

SGIS_DPoint CGIS_PageView::DeviceToPagePoint(SGIS_DPoint p, IGIS_SpatialReference*) {
  return SGIS_DPoint(ToPageX(p.x), ToPageY(p.y), p.z);
}

void CGIS_PageView::DeviceToPagePoints(SGIS_Point* points, int count, IGIS_SpatialReference* reference) {
  if (points == nullptr) return;
  for (int i = 0; i < count; ++i) points[i] = DeviceToPagePoint(points[i], reference);
}

// ---- the device -------------------------------------------------------------

BOOL CGIS_PageView::GetDeviceRect(RECT* rect) {
  if (rect == nullptr || m_hdc == nullptr) return FALSE;
  rect->left = 0;
  rect->top = 0;
  rect->right = GetDeviceCaps(m_hdc, HORZRES);
  rect->bottom = GetDeviceCaps(m_hdc, VERTRES);
  return TRUE;
}

void CGIS_PageView::Redraw(int, BOOL) { ++m_nRedraws; }

CDC* CGIS_PageView::GetClipContext() { return CDC::FromHandle(m_hdc); }

SGIS_Rect CGIS_PageView::GetDeviceClipRect() {
  RECT r{0, 0, 0, 0};
  if (!GetDeviceRect(&r)) return SGIS_Rect();
  POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
  if (!DPtoLP(m_hdc, corners, 2)) return SGIS_Rect();
  return SGIS_Rect(corners[0].x, corners[0].y, corners[1].x, corners[1].y);
}

BOOL CGIS_PageView::LogicalToDevice(POINT* point) {
  if (point == nullptr || m_hdc == nullptr) return FALSE;
  return LPtoDP(m_hdc, point, 1);
}
