// The line-symbol page.
#include "layout/graphicelement/shapes/dialogs/cgis_linepage.h"

#include "host/glyphor/igis_symbol.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/shapes/igis_polylineelement.h"
#include "platform/ui/app.h"

namespace {
int g_nLineChooserState = 0;
}  // namespace

CGIS_LinePage::CGIS_LinePage(IGIS_Element* pElement, IGIS_Display* pContext)
    : CGIS_ShapeSymbolPage(IDD_LINE_PAGE, IDC_LINE_PREVIEW, IDC_LINE_SYMBOL, GIS_CHOOSE_LINE,
                           &g_nLineChooserState, dynamic_cast<IGIS_PolylineElement*>(pElement), pContext) {}

IGIS_Symbol* CGIS_LinePage::GetSymbol() {
  auto* pLine = dynamic_cast<IGIS_PolylineElement*>(GetElement());
  return pLine != nullptr ? pLine->GetSymbolPtr() : nullptr;
}

void CGIS_LinePage::SetSymbol(IGIS_Symbol* pChosen) {
  if (auto* pLine = dynamic_cast<IGIS_PolylineElement*>(GetElement()))
    pLine->SetSymbolPtr(pChosen->AsLineSymbol());
}

std::vector<POINT> CGIS_LinePage::PreviewPoints(const RECT& r) {
  const LONG m = (r.top + r.bottom) / 2;
  return {{r.left + 2, m}, {r.right - 2, m}};
}

namespace {
const md::ui::WindowClassRegistration<CGIS_LinePage> g_linePageClass("CGIS_LinePage");
}  // namespace
