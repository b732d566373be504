// The clip sequence every drawing element follows, and the symbol scale.
#include <algorithm>
#include <cmath>

#include "host/display/igis_display.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "platform/win/wingdi.h"

namespace {

IGIS_DisplayView* ClippingView(IGIS_Display* pDisplay) {
  if (pDisplay == nullptr) return nullptr;
  IGIS_DisplayView* pView = pDisplay->GetView();
  if (pView == nullptr || !pView->IsClipping()) return nullptr;
  return pView;
}

}  // namespace

HRGN SaveDCClipRgn(HDC hdc, IGIS_Display* pDisplay) {
  if (hdc == nullptr || ClippingView(pDisplay) == nullptr) return nullptr;
  // The context's own clip region (device pixels), not its bounding box: a
  // map frame's polygon clip must come back as the polygon it was.
  HRGN hRegion = CreateRectRgn(0, 0, 0, 0);
  if (hRegion == nullptr) return nullptr;
  if (GetClipRgn(hdc, hRegion) != 1) {
    DeleteObject(hRegion);
    return nullptr;
  }
  return hRegion;
}

HRGN CreateElementClipRgn(IGIS_Display* pDisplay) {
  IGIS_DisplayView* pView = ClippingView(pDisplay);
  if (pView == nullptr) return nullptr;
  auto* pPrinter = static_cast<IGIS_DisplayPrinter*>(pDisplay->GetInterface(GIS_INTERFACE_DISP_PRINTER));
  if (pPrinter == nullptr) return nullptr;
  POINT a{0, 0};
  POINT b{pPrinter->GetPaperWidth(), -pPrinter->GetPaperHeight()};
  pView->LogicalToDevice(&a);
  pView->LogicalToDevice(&b);
  return CreateRectRgn(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
}

void SelectElementClipRgn(IGIS_Display* pDisplay, HDC hdc, HRGN hRegion) {
  if (hdc == nullptr || hRegion == nullptr || ClippingView(pDisplay) == nullptr) return;
  ExtSelectClipRgn(hdc, hRegion, RGN_AND);
}

double GetDisplayRatio(IGIS_Display* pDisplay) {
  if (pDisplay == nullptr) return 1.0;
  IGIS_DisplayView* pView = pDisplay->GetView();
  if (pView == nullptr) return 1.0;
  if (pView->IsClipping()) return pView->GetSymbolRatio();
  const double s = pView->GetScale();
  if (!(s > 0.0) || !std::isfinite(s)) return 1.0;
  return 1.0 / s;
}

CGIS_ElementClipScope::CGIS_ElementClipScope(HDC hdc, IGIS_Display* pDisplay) : m_hdc(hdc) {
  m_bClipping = hdc != nullptr && ClippingView(pDisplay) != nullptr;
  if (!m_bClipping) return;
  m_hSaved = SaveDCClipRgn(hdc, pDisplay);
  m_hElement = CreateElementClipRgn(pDisplay);
  SelectElementClipRgn(pDisplay, hdc, m_hElement);
}

CGIS_ElementClipScope::~CGIS_ElementClipScope() {
  if (!m_bClipping) return;
  SelectClipRgn(m_hdc, m_hSaved);  // NULL: the context had no clip before
  if (m_hSaved != nullptr) DeleteObject(m_hSaved);
  if (m_hElement != nullptr) DeleteObject(m_hElement);
}
