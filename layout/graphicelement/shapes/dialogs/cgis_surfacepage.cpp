// The fill-symbol page.
#include "layout/graphicelement/shapes/dialogs/cgis_surfacepage.h"

#include "host/glyphor/igis_symbol.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/shapes/igis_ellipseelement.h"
#include "layout/graphicelement/shapes/igis_polygonelement.h"
#include "layout/graphicelement/shapes/igis_rectelement.h"

namespace {
int g_nSurfaceChooserState = 0;

// Calls f with the element seen as the fill shape it is; false for another.
template <class F>
bool WithFillShape(IGIS_Element* pElement, F f) {
  if (auto* p = dynamic_cast<IGIS_RectElement*>(pElement)) return f(p), true;
  if (auto* p = dynamic_cast<IGIS_PolygonElement*>(pElement)) return f(p), true;
  if (auto* p = dynamic_cast<IGIS_EllipseElement*>(pElement)) return f(p), true;
  return false;
}
}  // namespace

CGIS_SurfacePage::CGIS_SurfacePage(IGIS_Element* pElement, IGIS_Display* pContext)
    : CGIS_ShapeSymbolPage(IDD_SURFACE_PAGE, IDC_SURFACE_PREVIEW, IDC_SURFACE_SYMBOL, GIS_CHOOSE_FILL,
                           &g_nSurfaceChooserState, pElement, pContext) {}

IGIS_Symbol* CGIS_SurfacePage::GetSymbol() {
  WithFillShape(GetElement(), [this](auto* p) { m_pSymbol = p->GetSymbolPtr(); });
  return m_pSymbol;
}

void CGIS_SurfacePage::SetSymbol(IGIS_Symbol* pChosen) {
  WithFillShape(GetElement(), [pChosen](auto* p) { p->SetSymbolPtr(pChosen->AsFillSymbol()); });
}

std::vector<POINT> CGIS_SurfacePage::PreviewPoints(const RECT& r) {
  return {{r.left, r.top}, {r.left, r.bottom}, {r.right, r.bottom}, {r.right, r.top}, {r.left, r.top}};
}
