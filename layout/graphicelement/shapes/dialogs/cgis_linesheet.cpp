// The line sheet and its registration for the polyline.
#include "layout/graphicelement/shapes/dialogs/cgis_linesheet.h"

#include <memory>

#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/shapes/dialogs/cgis_linepage.h"

CGIS_LineSheet::CGIS_LineSheet(IGIS_Element* pElement, IGIS_Display* pContext)
    : CGIS_ElementPropertySheet(IDS_LINE_SHEET, pElement, pContext),
      m_pLinePage(AddOwnedPage(std::make_unique<CGIS_LinePage>(pElement, pContext))),
      m_pSizePage(AddOwnedPage(std::make_unique<CSizeAndPosition>(pElement, pContext))) {}

namespace {
bool RunLineSheet(IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle) {
  CGIS_LineSheet sheet(pElement, pDisplay);
  sheet.SetTitle(szTitle);
  return sheet.DoModal() == IDOK;
}
const struct Registration {
  Registration() { md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE, &RunLineSheet); }
} g_registration;
}  // namespace
