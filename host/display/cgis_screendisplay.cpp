#include "host/display/cgis_screendisplay.h"

#include <cmath>

#include "host/basilo/igis_log.h"
#include "platform/win/wingdi.h"

namespace {
constexpr double kPageUnitsPerInch = 2540.0;  // 0.01 mm
}

CGIS_ScreenDisplay::CGIS_ScreenDisplay(HDC hdc, double zoom, double originX, double originY) : m_view(hdc) {
  if (!Apply(zoom, originX, originY)) Apply(1.0, 0.0, 0.0);
}

BOOL CGIS_ScreenDisplay::SetZoom(double zoom) { return Apply(zoom, m_dOriginX, m_dOriginY); }

BOOL CGIS_ScreenDisplay::SetOrigin(double pageX, double pageY) { return Apply(m_dZoom, pageX, pageY); }

BOOL CGIS_ScreenDisplay::Apply(double zoom, double originX, double originY) {
  if (!std::isfinite(zoom) || zoom <= 0.0 || !std::isfinite(originX) || !std::isfinite(originY)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_ScreenDisplay::Apply", "bad zoom or origin");
    return FALSE;
  }
  HDC hdc = m_view.GetDC();
  int dpiX = hdc != nullptr ? GetDeviceCaps(hdc, LOGPIXELSX) : 0;
  int dpiY = hdc != nullptr ? GetDeviceCaps(hdc, LOGPIXELSY) : 0;
  if (dpiX <= 0) dpiX = 96;
  if (dpiY <= 0) dpiY = 96;
  const double fx = zoom * dpiX / kPageUnitsPerInch;
  const double fy = -zoom * dpiY / kPageUnitsPerInch;  // page y up, pixels y down
  if (!m_view.SetMapping(originX, originY, fx, fy)) return FALSE;
  m_view.SetScale(1.0 / zoom);
  m_view.SetSymbolRatio(zoom);
  m_view.SetClipping(FALSE);
  m_dZoom = zoom;
  m_dOriginX = originX;
  m_dOriginY = originY;
  return TRUE;
}

void* CGIS_ScreenDisplay::GetInterface(const char*) { return nullptr; }
