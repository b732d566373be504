#include "host/display/cgis_printdisplay.h"

#include <cstring>

#include "host/basilo/igis_log.h"
#include "platform/win/wingdi.h"

namespace {
constexpr int kPageUnitsPerInch = 2540;  // 0.01 mm
}

CGIS_PrintDisplay::CGIS_PrintDisplay(HDC hdc, int paperWidth, int paperHeight, SGIS_Point pageTopLeft)
    : m_view(hdc),
      m_nPaperWidth(paperWidth > 0 ? paperWidth : 0),
      m_nPaperHeight(paperHeight > 0 ? paperHeight : 0) {
  if (paperWidth <= 0 || paperHeight <= 0) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PrintDisplay::CGIS_PrintDisplay", "bad paper size %d x %d", paperWidth,
            paperHeight);
  }
  m_view.SetMapping(pageTopLeft.x, pageTopLeft.y, 1.0, 1.0);
  m_view.SetScale(1.0);
  m_view.SetSymbolRatio(1.0);
  m_view.SetClipping(TRUE);
  PrepareDC();
}

BOOL CGIS_PrintDisplay::PrepareDC() {
  HDC hdc = m_view.GetDC();
  if (hdc == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PrintDisplay::PrepareDC", "hdc == NULL");
    return FALSE;
  }
  const int dpiX = GetDeviceCaps(hdc, LOGPIXELSX);
  const int dpiY = GetDeviceCaps(hdc, LOGPIXELSY);
  if (dpiX <= 0 || dpiY <= 0) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PrintDisplay::PrepareDC", "no resolution");
    return FALSE;
  }
  // Device pixels start at the printable area, which lies the unprintable
  // margin inside the paper.
  const int offsetX = GetDeviceCaps(hdc, PHYSICALOFFSETX);
  const int offsetY = GetDeviceCaps(hdc, PHYSICALOFFSETY);
  SetMapMode(hdc, MM_ANISOTROPIC);
  SetWindowOrgEx(hdc, 0, 0, nullptr);
  SetWindowExtEx(hdc, kPageUnitsPerInch, kPageUnitsPerInch, nullptr);
  SetViewportExtEx(hdc, dpiX, -dpiY, nullptr);
  SetViewportOrgEx(hdc, -offsetX, -offsetY, nullptr);
  return TRUE;
}

void* CGIS_PrintDisplay::GetInterface(const char* name) {
  if (name != nullptr && std::strcmp(name, GIS_INTERFACE_DISP_PRINTER) == 0) {
    return static_cast<IGIS_DisplayPrinter*>(this);
  }
  return nullptr;
}
