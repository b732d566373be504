// The rectangle element: a closed five-point ring in its feature, resized
// about its left-bottom corner and drawn with the feature's fill symbol.
#include "layout/graphicelement/shapes/cgis_rectelement.h"

#include <algorithm>

#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"

using namespace md::layout::shapes;

CGIS_RectElement::CGIS_RectElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_BoxShapeImpl("CGIS_RectElement", "矩形整饰单元", GIS_TYPE_GRAPHIC_ELEMENT_RECT) {
  BindShape(m_core, pOwner, pFeature,
            {.szType = GIS_TYPE_GRAPHIC_ELEMENT_RECT,
             .nKind = GIS_FEATURE_KIND_RECTANGLE,
             .nSymbolType = GIS_SYMBOL_FILL,
             .nSymbolCode = 3361});
}

SGIS_Rect CGIS_RectElement::GetRect() {
  SGIS_Rect r;
  IGIS_Feature* pFeature = GetFeaturePtr();
  if (pFeature == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, m_core.Method("GetRect").c_str(), "m_pFeature == NULL");
    return r;
  }
  pFeature->GetBound(&r, 1, 0);
  return r;
}

// Any rectangle is taken, an empty one too.
void CGIS_RectElement::SetRect(SGIS_Rect rect) {
  rect.Normalize();
  MoveAndResize(rect);
}

BOOL CGIS_RectElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  SGIS_DrawInputs in;
  if (!GatherDrawInputs(m_core, pDisplay,
                        {.szNoFeature = "GetFeaturePtr() == NULL", .szGeometryMethodPrefix = " "}, in)) {
    return FALSE;
  }
  SGIS_Point ring[5] = {};
  const int count = in.pGeometry->GetPoints(5, ring, 0, 0);
  POINT device[5] = {};
  for (int i = 0; i < 5; ++i) {
    int x = ring[i].x;
    int y = ring[i].y;
    in.pView->PageToDevice(&x, &y, in.pReference);
    device[i].x = x;
    device[i].y = y;
  }
  DrawDevicePoints(hdc, bPrint, pDisplay, in.pSymbol, device, std::clamp(count, 0, 5));
  return TRUE;
}

IGIS_Symbol* CGIS_RectElement::GetSymbolPtr() {
  IGIS_Feature* pFeature = GetFeaturePtr();
  if (pFeature == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, (" " + m_core.Method("GetSymbolPtr")).c_str(), "m_pFeature == NULL");
    return nullptr;
  }
  return pFeature->GetSymbol();
}

void CGIS_RectElement::SetSymbolPtr(IGIS_Symbol* pSymbol) {
  SetFeatureSymbol(m_core, pSymbol, GIS_UPDATE_ALL);
}

IGIS_Element* CGIS_RectElement::Clone() {
  auto* pCopy = NewSibling<IGIS_RectElement>(m_core, GIS_TYPE_GRAPHIC_ELEMENT_RECT);
  if (pCopy == nullptr) return nullptr;
  pCopy->SetRect(GetRect());
  pCopy->SetHVScaleRatio(GetHVScaleRatio());
  pCopy->SetLock(IsLock());
  pCopy->SetSymbolPtr(GetSymbolPtr());
  return pCopy;
}

BOOL CGIS_RectElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL /*bWithCommonPages*/) {
  return m_core.OpenPropertySheet(pDisplay, "矩形属性", "p_element == NULL");
}
