#include "host/helmora/cgis_mapview.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "host/basilo/igis_log.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "platform/win/cdc.h"
#include "platform/win/wingdi.h"

namespace {

constexpr double kMinSymbolRatio = 1.0 / 32.0;
constexpr double kMaxSymbolRatio = 32.0;

bool Finite(double v) { return std::isfinite(v); }
std::int32_t Round(double v) { return md::basilo::detail::RoundToInt32(v); }

SGIS_DRect Normalised(SGIS_DRect r) {
  if (r.x1 > r.x2) std::swap(r.x1, r.x2);
  if (r.y1 > r.y2) std::swap(r.y1, r.y2);
  return r;
}

bool Usable(const SGIS_DRect& r) {
  return Finite(r.x1) && Finite(r.x2) && Finite(r.y1) && Finite(r.y2) && r.x1 != r.x2 && r.y1 != r.y2;
}

}  // namespace

CGIS_MapView::CGIS_MapView() = default;

CGIS_MapView::~CGIS_MapView() {
  if (m_pReference) m_pReference->Release();
}

void CGIS_MapView::BindMap(IGIS_Map* map) {
  m_pMap = map;
  AdoptReference(map ? map->GetSpatialReference() : nullptr);
  m_dReferenceScale = map ? map->GetReferenceScale() : 0.0;
  // A newly bound map is shown whole until someone zooms.
  SGIS_DRect full;
  if (map && Usable(*map->GetFullExtent(&full, 0))) {
    m_request = Normalised(full);
    Fit();
  }
}

void CGIS_MapView::AdoptReference(IGIS_SpatialReference* reference) {
  if (m_pReference) m_pReference->Release();
  m_pReference = nullptr;
  if (reference == nullptr) return;
  m_pReference = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
  if (m_pReference) m_pReference->CopyFrom(reference);
}

// ---- the mapping ------------------------------------------------------------

double CGIS_MapView::DeviceCentreX() const {
  return (static_cast<double>(m_device.left) + m_device.right) / 2.0;
}
double CGIS_MapView::DeviceCentreY() const {
  return (static_cast<double>(m_device.top) + m_device.bottom) / 2.0;
}

void CGIS_MapView::Fit() {
  const double w = m_device.Width();
  const double h = m_device.Height();
  const double ew = m_request.x2 - m_request.x1;
  const double eh = m_request.y2 - m_request.y1;
  if (w > 0 && h > 0 && ew > 0 && eh > 0) m_dResolution = std::min(w / ew, h / eh);
}

void CGIS_MapView::ToDevice(double x, double y, double* dx, double* dy) const {
  const double cx = (m_request.x1 + m_request.x2) / 2.0;
  const double cy = (m_request.y1 + m_request.y2) / 2.0;
  const double ux = x - cx;
  const double uy = y - cy;
  const double rx = ux * m_dCos - uy * m_dSin;
  const double ry = ux * m_dSin + uy * m_dCos;
  *dx = DeviceCentreX() + m_dResolution * rx;
  *dy = DeviceCentreY() + YSign() * m_dResolution * ry;
}

void CGIS_MapView::ToMap(double x, double y, double* mx, double* my) const {
  const double cx = (m_request.x1 + m_request.x2) / 2.0;
  const double cy = (m_request.y1 + m_request.y2) / 2.0;
  const double rx = (x - DeviceCentreX()) / m_dResolution;
  const double ry = (y - DeviceCentreY()) / (YSign() * m_dResolution);
  *mx = cx + rx * m_dCos + ry * m_dSin;
  *my = cy - rx * m_dSin + ry * m_dCos;
}

// ---- settings -----------------------------------------------------------------

void CGIS_MapView::EndUpdate() {
  if (m_nUpdateDepth > 0) --m_nUpdateDepth;
}

BOOL CGIS_MapView::SetDeviceRect(SGIS_Rect rect) {
  if (rect.Width() == 0 || rect.Height() == 0) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapView::SetDeviceRect", "empty device rectangle");
    return FALSE;
  }
  m_device = rect;
  Fit();
  return TRUE;
}

BOOL CGIS_MapView::ZoomToExtent(SGIS_DRect rect, int, IGIS_SpatialReference* reference, int) {
  if (!Usable(rect)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapView::ZoomToExtent", "extent not usable");
    return FALSE;
  }
  if (reference != nullptr && m_pReference != nullptr && reference != m_pReference) {
    IGIS_CoordTransform* t =
        GIS_GetSpatialReferenceFactoryObject()->CreateCoordTransform("", "", reference, m_pReference);
    SGIS_DRect carried = rect;
    const BOOL ok = t && t->TransformRect(&carried, 16, 1);
    if (t) t->Release();
    if (!ok || !Usable(carried)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapView::ZoomToExtent",
              "extent cannot be carried into the view's reference");
      return FALSE;
    }
    rect = carried;
  }
  m_request = Normalised(rect);
  Fit();
  return TRUE;
}

BOOL CGIS_MapView::SetExtent(SGIS_DRect rect) { return ZoomToExtent(rect, 0, nullptr, 0); }

SGIS_DRect* CGIS_MapView::GetExtent(SGIS_DRect* out) {
  if (out == nullptr) return nullptr;
  const double cx = (m_request.x1 + m_request.x2) / 2.0;
  const double cy = (m_request.y1 + m_request.y2) / 2.0;
  double hw = (m_request.x2 - m_request.x1) / 2.0;
  double hh = (m_request.y2 - m_request.y1) / 2.0;
  if (m_device.Width() > 0 && m_device.Height() > 0 && m_dResolution > 0) {
    hw = m_device.Width() / m_dResolution / 2.0;
    hh = m_device.Height() / m_dResolution / 2.0;
  }
  *out = SGIS_DRect(cx - hw, cy + hh, cx + hw, cy - hh);
  return out;
}

SGIS_DRect* CGIS_MapView::GetFullExtent(SGIS_DRect* out, int option) {
  if (out == nullptr) return nullptr;
  *out = SGIS_DRect();
  if (m_pMap) m_pMap->GetFullExtent(out, option);
  return out;
}

BOOL CGIS_MapView::ZoomFullExtent(int option) {
  SGIS_DRect full;
  GetFullExtent(&full, option);
  if (!Usable(full)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapView::ZoomFullExtent", "no full extent");
    return FALSE;
  }
  return ZoomToExtent(full, 0, nullptr, 0);
}

BOOL CGIS_MapView::SetRotateAngle(double degrees, int) {
  if (!Finite(degrees)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapView::SetRotateAngle", "angle not finite");
    return FALSE;
  }
  m_dAngle = degrees;
  const double a = std::fmod(degrees, 360.0) * std::numbers::pi / 180.0;
  m_dCos = std::cos(a);
  m_dSin = std::sin(a);
  return TRUE;
}

BOOL CGIS_MapView::SetScale(double scale) {
  if (!Finite(scale) || scale <= 0.0) return FALSE;
  m_dScale = scale;
  return TRUE;
}

BOOL CGIS_MapView::SetReferenceScale(double scale) {
  if (!Finite(scale) || scale < 0.0) return FALSE;
  m_dReferenceScale = scale;
  return TRUE;
}

// Symbols keep their real size until both scales are known; a ratio far
// from 1 (a scale set from a map without layers) is held to a range in
// which symbols still read as symbols.
double CGIS_MapView::GetSymbolRatio() {
  if (m_dReferenceScale > 0.0 && m_dScale > 0.0)
    return std::clamp(m_dReferenceScale / m_dScale, kMinSymbolRatio, kMaxSymbolRatio);
  return 1.0;
}

// ---- map to device ------------------------------------------------------------

void CGIS_MapView::PageToDevicePoints(double* xy, int count, IGIS_SpatialReference*) {
  if (xy == nullptr) return;
  for (int i = 0; i < count; ++i) ToDevice(xy[2 * i], xy[2 * i + 1], &xy[2 * i], &xy[2 * i + 1]);
}

SGIS_Rect CGIS_MapView::PageToDeviceRect(SGIS_Rect r, IGIS_SpatialReference* reference) {
  const SGIS_DRect d = PageToDeviceRect(SGIS_DRect(r.left, r.top, r.right, r.bottom), reference);
  return SGIS_Rect(Round(d.x1), Round(d.y1), Round(d.x2), Round(d.y2));
}

SGIS_Point CGIS_MapView::PageToDevicePoint(SGIS_Point p, IGIS_SpatialReference*) {
  double x = 0, y = 0;
  ToDevice(p.x, p.y, &x, &y);
  return SGIS_Point(Round(x), Round(y), p.z);
}

void CGIS_MapView::PageToDevice(int* x, int* y, IGIS_SpatialReference*) {
  if (x == nullptr || y == nullptr) return;
  double dx = 0, dy = 0;
  ToDevice(*x, *y, &dx, &dy);
  *x = Round(dx);
  *y = Round(dy);
}

// A rotated rectangle's corners do not stay corners: the result is the
// device bound of the four turned corners, left/top taking the smaller
// values in the device's own orientation.
SGIS_DRect CGIS_MapView::PageToDeviceRect(SGIS_DRect r, IGIS_SpatialReference*) {
  if (m_dSin == 0.0) {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    ToDevice(r.x1, r.y1, &x1, &y1);
    ToDevice(r.x2, r.y2, &x2, &y2);
    return SGIS_DRect(x1, y1, x2, y2);
  }
  const SGIS_DRect b = CornerBound(r, &CGIS_MapView::ToDevice);
  return YSign() < 0 ? SGIS_DRect(b.x1, b.y1, b.x2, b.y2) : SGIS_DRect(b.x1, b.y2, b.x2, b.y1);
}

SGIS_DRect CGIS_MapView::CornerBound(const SGIS_DRect& r, Convert convert) const {
  const double xs[4] = {r.x1, r.x2, r.x2, r.x1};
  const double ys[4] = {r.y1, r.y1, r.y2, r.y2};
  double minX = 0, maxX = 0, minY = 0, maxY = 0;
  for (int i = 0; i < 4; ++i) {
    double x = 0, y = 0;
    (this->*convert)(xs[i], ys[i], &x, &y);
    if (i == 0 || x < minX) minX = x;
    if (i == 0 || x > maxX) maxX = x;
    if (i == 0 || y < minY) minY = y;
    if (i == 0 || y > maxY) maxY = y;
  }
  return SGIS_DRect(minX, minY, maxX, maxY);
}

SGIS_DPoint CGIS_MapView::PageToDevicePoint(SGIS_DPoint p, IGIS_SpatialReference*) {
  double x = 0, y = 0;
  ToDevice(p.x, p.y, &x, &y);
  return SGIS_DPoint(x, y, p.z);
}

void CGIS_MapView::PageToDevicePoints(SGIS_Point* points, int count, IGIS_SpatialReference* reference) {
  if (points == nullptr) return;
  for (int i = 0; i < count; ++i) points[i] = PageToDevicePoint(points[i], reference);
}

// ---- device to map ------------------------------------------------------------

void CGIS_MapView::DeviceToPagePoints(double* xy, int count, IGIS_SpatialReference*) {
  if (xy == nullptr) return;
  for (int i = 0; i < count; ++i) ToMap(xy[2 * i], xy[2 * i + 1], &xy[2 * i], &xy[2 * i + 1]);
}

SGIS_Rect CGIS_MapView::DeviceToPageRect(SGIS_Rect r, IGIS_SpatialReference* reference) {
  const SGIS_DRect d = DeviceToPageRect(SGIS_DRect(r.left, r.top, r.right, r.bottom), reference);
  return SGIS_Rect(Round(d.x1), Round(d.y1), Round(d.x2), Round(d.y2));
}

SGIS_Point CGIS_MapView::DeviceToPagePoint(SGIS_Point p, IGIS_SpatialReference*) {
  double x = 0, y = 0;
  ToMap(p.x, p.y, &x, &y);
  return SGIS_Point(Round(x), Round(y), p.z);
}

void CGIS_MapView::DeviceToPage(int* x, int* y, IGIS_SpatialReference*) {
  if (x == nullptr || y == nullptr) return;
  double mx = 0, my = 0;
  ToMap(*x, *y, &mx, &my);
  *x = Round(mx);
  *y = Round(my);
}

SGIS_DRect CGIS_MapView::DeviceToPageRect(SGIS_DRect r, IGIS_SpatialReference*) {
  const SGIS_DRect b = CornerBound(r, &CGIS_MapView::ToMap);
  return SGIS_DRect(b.x1, b.y2, b.x2, b.y1);
}

SGIS_DPoint CGIS_MapView::DeviceToPagePoint(SGIS_DPoint p, IGIS_SpatialReference*) {
  double x = 0, y = 0;
  ToMap(p.x, p.y, &x, &y);
  return SGIS_DPoint(x, y, p.z);
}

void CGIS_MapView::DeviceToPagePoints(SGIS_Point* points, int count, IGIS_SpatialReference* reference) {
  if (points == nullptr) return;
  for (int i = 0; i < count; ++i) points[i] = DeviceToPagePoint(points[i], reference);
}

// ---- the device -------------------------------------------------------------

BOOL CGIS_MapView::GetDeviceRect(RECT* rect) {
  if (rect == nullptr || m_device.Width() == 0 || m_device.Height() == 0) return FALSE;
  rect->left = std::min(m_device.left, m_device.right);
  rect->right = std::max(m_device.left, m_device.right);
  rect->top = std::min(m_device.top, m_device.bottom);
  rect->bottom = std::max(m_device.top, m_device.bottom);
  return TRUE;
}

void CGIS_MapView::Redraw(int, BOOL) { ++m_nRedraws; }

CDC* CGIS_MapView::GetClipContext() { return m_hdc ? CDC::FromHandle(m_hdc) : nullptr; }

BOOL CGIS_MapView::LogicalToDevice(POINT* point) {
  if (point == nullptr || m_hdc == nullptr) return FALSE;
  return LPtoDP(m_hdc, point, 1);
}
