// Drawing a plain shape's vertices or device points with a symbol.
#include "layout/graphicelement/shapes/shapedraw.h"

#include <algorithm>
#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/shapes/shapefeature.h"

namespace md::layout::shapes {

void AppendDistinct(std::vector<POINT>& points, int x, int y) {
  if (!points.empty() && points.back().x == x && points.back().y == y) return;
  POINT p;
  p.x = x;
  p.y = y;
  points.push_back(p);
}

void PageToDeviceDistinct(IGIS_DisplayView* pView, IGIS_SpatialReference* pReference,
                          const SGIS_Point* pPoints, int nCount, std::vector<POINT>& out) {
  out.clear();
  for (int i = 0; i < nCount; ++i) {
    int x = pPoints[i].x;
    int y = pPoints[i].y;
    pView->PageToDevice(&x, &y, pReference);
    AppendDistinct(out, x, y);
  }
}

bool GatherDrawInputs(CGIS_ElementCore& core, IGIS_Display* pDisplay, const SGIS_DrawTexts& texts,
                      SGIS_DrawInputs& in) {
  const std::string method = core.Method("OnDraw");
  in.pReference = PageReference(core);
  if (in.pReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_spatialreference== NULL ");
    return false;
  }
  in.pFeature = core.Self()->GetFeaturePtr();
  if (in.pFeature == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "%s", texts.szNoFeature);
    return false;
  }
  if (GIS_GetSymbolizationObject() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_symbolization == NULL");
    return false;
  }
  in.pSymbol = in.pFeature->GetSymbol();
  if (in.pSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "%s", texts.szNoSymbol);
    return false;
  }
  in.pGeometry = in.pFeature->GetGeometry();
  if (in.pGeometry == nullptr) {
    if (texts.szNoGeometry != nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, (texts.szGeometryMethodPrefix + method).c_str(), "%s", texts.szNoGeometry);
    }
    return false;
  }
  in.pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (in.pView == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "pDisplay == NULL");
    return false;
  }
  return true;
}

BOOL DrawVertices(CGIS_ElementCore& core, HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                  const SGIS_DrawInputs& in, int nMinCount, const char* szTooFew) {
  const int n = in.pGeometry->GetPointCount();
  std::vector<SGIS_Point> points;
  std::vector<POINT> device;
  try {
    points.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    device.reserve(points.size());
  } catch (const std::bad_alloc&) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, core.Method("OnDraw").c_str(), "数组太大，不能够分配充足的内存 ");
    return FALSE;
  }
  const int count = n > 0 ? std::clamp(in.pGeometry->GetPoints(n, points.data(), 0, 0), 0, n) : 0;
  if (count < nMinCount) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, core.Method("OnDraw").c_str(), "%s", szTooFew);
    return FALSE;
  }
  PageToDeviceDistinct(in.pView, in.pReference, points.data(), count, device);
  DrawDevicePoints(hdc, bPrint, pDisplay, in.pSymbol, device.data(), static_cast<int>(device.size()));
  return TRUE;
}

BOOL DrawDevicePoints(HDC hdc, bool bPrint, IGIS_Display* pDisplay, IGIS_Symbol* pSymbol, POINT* pPoints,
                      int nCount, double dScale) {
  IGIS_SymbolRenderer* pRenderer = GIS_GetSymbolizationObject();
  if (pRenderer == nullptr) return FALSE;
  SGIS_DrawParam param;
  param.hdc = hdc;
  param.points = pPoints;
  param.pointCount = nCount;
  param.printFlag = bPrint ? 1 : 0;
  param.symbolScale = dScale > 0.0 ? dScale : GetDisplayRatio(pDisplay);
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView != nullptr && pView->IsClipping()) {
    param.viewValue = reinterpret_cast<std::intptr_t>(pView->GetClipContext());
  }
  // The element region narrows the clip while the view clips; the scope puts
  // the context's clip back and frees both regions however the call ends.
  CGIS_ElementClipScope clip(hdc, pDisplay);
  return pRenderer->Draw(pSymbol, &param, GIS_DRAW_CHECK);
}

}  // namespace md::layout::shapes
