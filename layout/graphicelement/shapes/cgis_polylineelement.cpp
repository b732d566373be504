// The polyline element: vertices in its feature, moved and scaled one by one
// and stroked with the feature's line symbol.
#include "layout/graphicelement/shapes/cgis_polylineelement.h"

#include "host/featra/igis_feature.h"

using namespace md::layout::shapes;

namespace {

// Two vertices at least for every change. A factor or size of 0 is
// accepted: it lines the vertices up on the left or bottom edge.
constexpr SGIS_VertexRules kPolylineRules{
    .nMinToMove = 2, .nMinToFit = 2, .bAllowZero = true, .bClosedRing = false};

}  // namespace

CGIS_PolylineElement::CGIS_PolylineElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_VertexShapeImpl("CGIS_PolylineElement", "线整饰单元", GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE,
                           kPolylineRules) {
  BindShape(m_core, pOwner, pFeature,
            {.szType = GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE,
             .nKind = GIS_FEATURE_KIND_POLYLINE,
             .nSymbolType = GIS_SYMBOL_LINE,
             .nSymbolCode = 3331});
}

BOOL CGIS_PolylineElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  SGIS_DrawInputs in;
  if (!GatherDrawInputs(m_core, pDisplay,
                        {.szNoSymbol = "p_polyLine_symbol == NULL", .szNoGeometry = nullptr}, in)) {
    return FALSE;
  }
  return DrawVertices(m_core, hdc, bPrint, pDisplay, in, 2,
                      "pointCount = pPolyLine->GetPoints(pointCount, gis_pts) < 0 ");
}

IGIS_Symbol* CGIS_PolylineElement::GetSymbolPtr() { return FeatureSymbol(m_core, false); }

void CGIS_PolylineElement::SetSymbolPtr(IGIS_Symbol* pSymbol) {
  SetFeatureSymbol(m_core, pSymbol, GIS_UPDATE_SYMBOL);
}

IGIS_Element* CGIS_PolylineElement::Clone() {
  if (m_core.RequireFeature("Clone") == nullptr) return nullptr;
  auto* pCopy = NewSibling<IGIS_PolylineElement>(m_core, GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE);
  if (pCopy == nullptr) return nullptr;
  pCopy->SetHVScaleRatio(GetHVScaleRatio());
  pCopy->SetLock(IsLock());
  pCopy->SetSymbolPtr(GetSymbolPtr());
  IGIS_Feature* pNewFeature = pCopy->GetFeaturePtr();
  IGIS_Geometry* pNew = pNewFeature != nullptr ? pNewFeature->GetGeometry() : nullptr;
  IGIS_Feature* pFeature = GetFeaturePtr();
  IGIS_Geometry* pOld = pFeature != nullptr ? pFeature->GetGeometry() : nullptr;
  if (pNew == nullptr || pOld == nullptr) return pCopy;
  const int n = pOld->GetPointCount();
  for (int i = 0; i < n; ++i) pNew->InsertPoint(i, pOld->GetPoint(i, 0), 0);
  return pCopy;
}

BOOL CGIS_PolylineElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL /*bWithCommonPages*/) {
  return m_core.OpenPropertySheet(pDisplay, "线属性", "p_element == NULL");
}
