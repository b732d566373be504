// Symbols drawn at page points through the display's view and the renderer.
#include "layout/graphicelement/element/mapdeckdraw.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "platform/win/wingdi.h"

IGIS_SpatialReference* PageReferenceOf(IGIS_FeatureSet* pOwner) {
  IGIS_FeatureClass* pClass = pOwner != nullptr ? pOwner->GetFeatureClass() : nullptr;
  return pClass != nullptr ? pClass->GetSpatialReference() : nullptr;
}

BOOL DrawSymbolAtPagePoints(HDC hdc, bool bPrint, IGIS_Display* pDisplay, IGIS_SpatialReference* pReference,
                            IGIS_Symbol* pSymbol, const SGIS_Point* pPoints, int nCount,
                            const char* szMethod) {
  if (pReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "pSpatialReference == NULL");
    return FALSE;
  }
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "pDisplay == NULL");
    return FALSE;
  }
  IGIS_SymbolRenderer* pRenderer = GIS_GetSymbolizationObject();
  if (pRenderer == nullptr || pSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod,
            pRenderer == nullptr ? "pSymbolization == NULL" : "pSymbol == NULL");
    return FALSE;
  }
  if (pPoints == nullptr || nCount <= 0 || nCount > GIS_GEOMETRY_MAX_POINTS) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "nCount == %d", nCount);
    return FALSE;
  }
  std::vector<SGIS_Point> device(pPoints, pPoints + nCount);
  pView->PageToDevicePoints(device.data(), nCount, pReference);
  std::vector<POINT> points(static_cast<std::size_t>(nCount));
  for (int i = 0; i < nCount; ++i) points[static_cast<std::size_t>(i)] = POINT{device[i].x, device[i].y};

  SGIS_DrawParam param;
  param.hdc = hdc;
  param.printFlag = bPrint ? 1 : 0;
  param.points = points.data();
  param.pointCount = nCount;
  CGIS_ElementClipScope clip(hdc, pDisplay);
  if (clip.IsClipping()) {
    param.viewValue = reinterpret_cast<std::intptr_t>(pView->GetClipContext());
    param.symbolScale = GetDisplayRatio(pDisplay);
  }
  pRenderer->Draw(pSymbol, &param, GIS_DRAW_CHECK);
  return TRUE;
}

CGIS_PageSymbolPainter::CGIS_PageSymbolPainter(HDC hdc, bool bFlag, IGIS_Display* pDisplay,
                                               IGIS_SpatialReference* pReference, const char* szMethod,
                                               IGIS_FeatureSet* pOwner)
    : m_pView(pDisplay != nullptr ? pDisplay->GetView() : nullptr),
      m_pReference(pReference),
      m_pOwner(pOwner),
      m_szMethod(szMethod),
      m_clip(hdc, pDisplay) {
  m_param.hdc = hdc;
  m_param.printFlag = bFlag ? 1 : 0;
  m_param.symbolScale = GetDisplayRatio(pDisplay);
  if (m_clip.IsClipping()) m_param.viewValue = reinterpret_cast<std::intptr_t>(m_pView->GetClipContext());
}

void CGIS_PageSymbolPainter::Draw(IGIS_Symbol* pSymbol, const SGIS_Point* pPagePoints, int nCount) {
  DrawPoints(pSymbol, pPagePoints, nCount, true);
}

void CGIS_PageSymbolPainter::DrawDevice(IGIS_Symbol* pSymbol, const SGIS_Point* pDevicePoints, int nCount) {
  DrawPoints(pSymbol, pDevicePoints, nCount, false);
}

void CGIS_PageSymbolPainter::DrawPoints(IGIS_Symbol* pSymbol, const SGIS_Point* pPoints, int nCount,
                                        bool bPage) {
  IGIS_SymbolRenderer* pRenderer = GIS_GetSymbolizationObject();
  if (pRenderer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_szMethod, "p_symbolization == NULL");
    return;
  }
  if (m_pView == nullptr || pSymbol == nullptr || pPoints == nullptr || nCount < 1 ||
      nCount > GIS_GEOMETRY_MAX_POINTS) {
    return;
  }
  // The pieces are short: a few points on the stack, longer lists on the heap.
  constexpr int kOnStack = 16;
  SGIS_Point deviceOnStack[kOnStack];
  POINT pointsOnStack[kOnStack];
  std::vector<SGIS_Point> deviceOnHeap;
  std::vector<POINT> pointsOnHeap;
  SGIS_Point* device = deviceOnStack;
  POINT* points = pointsOnStack;
  if (nCount > kOnStack) {
    deviceOnHeap.resize(static_cast<std::size_t>(nCount));
    pointsOnHeap.resize(static_cast<std::size_t>(nCount));
    device = deviceOnHeap.data();
    points = pointsOnHeap.data();
  }
  std::copy(pPoints, pPoints + nCount, device);
  if (bPage) m_pView->PageToDevicePoints(device, nCount, m_pReference);
  for (int i = 0; i < nCount; ++i) points[i] = POINT{device[i].x, device[i].y};
  SGIS_DrawParam param = m_param;
  param.points = points;
  param.pointCount = nCount;
  param.symbolScale = md::layout::SymbolDrawScale(pSymbol, m_param.symbolScale, m_pOwner);
  pRenderer->Draw(pSymbol, &param, GIS_DRAW_CHECK);
}

void DrawPlaceholder(HDC hdc, int left, int top, int right, int bottom) {
  // Three device pixels in the context's units, for the light line's width.
  POINT span[2] = {{0, 0}, {3, 0}};
  DPtoLP(hdc, span, 2);
  const int wide = std::max(1, std::abs(span[1].x - span[0].x));
  HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(NULL_BRUSH));
  HGDIOBJ oldPen = nullptr;
  // A wide white line under a thin black one: the box and its cross show on
  // any colour below them.
  for (const auto& [width, colour] : {std::pair{wide, RGB(255, 255, 255)}, std::pair{1, RGB(0, 0, 0)}}) {
    HPEN pen = CreatePen(PS_SOLID, width, colour);
    HGDIOBJ previous = SelectObject(hdc, pen);
    if (oldPen == nullptr) oldPen = previous;
    Rectangle(hdc, left, top, right, bottom);
    MoveToEx(hdc, left, top, nullptr);
    LineTo(hdc, right, bottom);
    MoveToEx(hdc, left, bottom, nullptr);
    LineTo(hdc, right, top);
    SelectObject(hdc, oldPen);
    DeleteObject(pen);
  }
  SelectObject(hdc, oldBrush);
}
