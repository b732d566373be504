// The polygon element: a closed ring of points in its feature, moved and
// scaled point by point and filled with the feature's fill symbol.
#include "layout/graphicelement/shapes/cgis_polygonelement.h"

#include "host/featra/igis_feature.h"

using namespace md::layout::shapes;

namespace {

// A ring of three corners at least; any vertices move. The closing vertex
// follows the first, so the ring stays closed.
constexpr SGIS_VertexRules kPolygonRules{
    .nMinToMove = 0, .nMinToFit = 3, .bAllowZero = false, .bClosedRing = true};

}  // namespace

CGIS_PolygonElement::CGIS_PolygonElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_VertexShapeImpl("CGIS_PolygonElement", "多边形整饰单元", GIS_TYPE_GRAPHIC_ELEMENT_POLYGON,
                           kPolygonRules) {
  BindShape(m_core, pOwner, pFeature,
            {.szType = GIS_TYPE_GRAPHIC_ELEMENT_POLYGON,
             .nKind = GIS_FEATURE_KIND_POLYGON,
             .nSymbolType = GIS_SYMBOL_FILL,
             .nSymbolCode = 3361});
}

BOOL CGIS_PolygonElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  SGIS_DrawInputs in;
  if (!GatherDrawInputs(m_core, pDisplay, {}, in)) return FALSE;
  return DrawVertices(m_core, hdc, bPrint, pDisplay, in, 4,
                      "pointCount = pPolygon->GetPoints(pointCount, gis_pts) < 0 ");
}

IGIS_Symbol* CGIS_PolygonElement::GetSymbolPtr() { return FeatureSymbol(m_core, true); }

void CGIS_PolygonElement::SetSymbolPtr(IGIS_Symbol* pSymbol) {
  SetFeatureSymbol(m_core, pSymbol, GIS_UPDATE_SYMBOL);
}

IGIS_Element* CGIS_PolygonElement::Clone() {
  IGIS_Feature* pFeature = m_core.RequireFeature("Clone");
  if (pFeature == nullptr) return nullptr;
  auto* pCopy = NewSibling<IGIS_PolygonElement>(m_core, GIS_TYPE_GRAPHIC_ELEMENT_POLYGON);
  if (pCopy == nullptr) return nullptr;
  pCopy->SetHVScaleRatio(GetHVScaleRatio());
  pCopy->SetLock(IsLock());
  pCopy->SetSymbolPtr(GetSymbolPtr());
  IGIS_Feature* pNewFeature = pCopy->GetFeaturePtr();
  IGIS_Geometry* pNew = pNewFeature != nullptr ? pNewFeature->GetGeometry() : nullptr;
  IGIS_Geometry* pOld = GetFeaturePtr() != nullptr ? GetFeaturePtr()->GetGeometry() : nullptr;
  if (pNew != nullptr && pOld != nullptr) {
    const int n = pOld->GetPointCount();
    pNew->SetPointCount(n);
    for (int i = 0; i < n; ++i) pNew->SetPoint(i, pOld->GetPoint(i, 0), 0);
  }
  Commit(m_core, pNewFeature, GIS_UPDATE_ALL);
  return pCopy;
}

BOOL CGIS_PolygonElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL /*bWithCommonPages*/) {
  return m_core.OpenPropertySheet(pDisplay, "面属性", "p_element == NULL");
}
