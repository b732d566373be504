// Symbols and texts of the furniture elements, drawn inside the clip sequence.
#include "layout/graphicelement/furniture/furniturepainter.h"

#include <cstdint>

#include "host/display/igis_display.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "platform/win/cdc.h"

CGIS_FurniturePainter::CGIS_FurniturePainter(HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                                             IGIS_SpatialReference* pReference, IGIS_FeatureSet* pOwner)
    : m_hdc(hdc),
      m_bPrint(bPrint),
      m_pDisplay(pDisplay),
      m_pView(pDisplay != nullptr ? pDisplay->GetView() : nullptr),
      m_pReference(pReference),
      m_pOwner(pOwner),
      m_pRenderer(GIS_GetSymbolizationObject()),
      m_pDrawer(GIS_GetAnnotationDrawerObject()),
      m_clip(hdc, pDisplay),
      m_dRatio(GetDisplayRatio(pDisplay)) {
  m_param.hdc = hdc;
  m_param.printFlag = bPrint ? 1 : 0;
  m_param.symbolScale = m_dRatio;
  if (m_pView != nullptr && (m_clip.IsClipping() || bPrint)) {
    m_param.viewValue = reinterpret_cast<std::intptr_t>(m_pView->GetClipContext());
  }
}

SGIS_Point CGIS_FurniturePainter::ToDevice(SGIS_Point page) const {
  if (m_pView == nullptr) return page;
  return m_pView->PageToDevicePoint(page, m_pReference);
}

void CGIS_FurniturePainter::DrawSymbol(IGIS_Symbol* pSymbol, const SGIS_Point* pPagePoints, int nCount) {
  if (pSymbol == nullptr || m_pRenderer == nullptr || pPagePoints == nullptr || nCount < 1 ||
      nCount > kMaxPoints) {
    return;
  }
  POINT device[kMaxPoints];
  for (int i = 0; i < nCount; ++i) {
    const SGIS_Point p = ToDevice(pPagePoints[i]);
    device[i] = POINT{p.x, p.y};
  }
  SGIS_DrawParam param = m_param;
  param.points = device;
  param.pointCount = nCount;
  param.symbolScale = md::layout::SymbolDrawScale(pSymbol, m_dRatio, m_pOwner);
  m_pRenderer->Draw(pSymbol, &param, GIS_DRAW_CHECK);
}

void CGIS_FurniturePainter::DrawText(IGIS_AnnoPointStyle* pStyle, const char* szText, SGIS_Point page) {
  if (pStyle == nullptr || szText == nullptr) return;
  const SGIS_Point device = ToDevice(page);
  DrawWithDrawer(m_pDrawer, m_pDisplay, CDC::FromHandle(m_hdc), m_bPrint, m_dRatio, pStyle, szText, &device,
                 1, m_pOwner);
}
