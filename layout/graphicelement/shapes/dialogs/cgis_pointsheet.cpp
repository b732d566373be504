// The point sheet and its registration for the point element.
#include "layout/graphicelement/shapes/dialogs/cgis_pointsheet.h"

#include <memory>

#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/shapes/dialogs/cgis_pointpage.h"

CGIS_PointSheet::CGIS_PointSheet(IGIS_Element* pElement, IGIS_Display* pContext)
    : CGIS_ElementPropertySheet(IDS_POINT_SHEET, pElement, pContext),
      m_pPointPage(AddOwnedPage(std::make_unique<CGIS_PointPage>(pElement, pContext))),
      m_pSizePage(AddOwnedPage(std::make_unique<CSizeAndPosition>(pElement, pContext))) {}

namespace {
bool RunPointSheet(IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle) {
  CGIS_PointSheet sheet(pElement, pDisplay);
  sheet.SetTitle(szTitle);
  return sheet.DoModal() == IDOK;
}
const struct Registration {
  Registration() { md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_POINT, &RunPointSheet); }
} g_registration;
}  // namespace
