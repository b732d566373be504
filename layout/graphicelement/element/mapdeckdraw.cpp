// Symbols drawn at page points through the display's view and the renderer.
#include "layout/graphicelement/element/mapdeckdraw.h"

#include <vector>

#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/element/mapdeckclip.h"

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
