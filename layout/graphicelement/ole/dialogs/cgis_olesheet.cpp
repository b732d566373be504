// The embedded-object sheet and its registration for the element.
#include "layout/graphicelement/ole/dialogs/cgis_olesheet.h"

#include <memory>

#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"
#include "layout/graphicelement/ole/dialogs/cgis_oleobjectpage.h"
#include "layout/graphicelement/ole/igis_oleelement.h"

CGIS_OleSheet::CGIS_OleSheet(IGIS_Element* pElement, IGIS_Display* pDisplay)
    : CGIS_ElementPropertySheet(IDS_OLE_SHEET, pElement, pDisplay),
      m_pFramePage(AddOwnedPage(std::make_unique<CLayoutFrame>(pElement, pDisplay))),
      m_pSizePage(AddOwnedPage(std::make_unique<CSizeAndPosition>(pElement, pDisplay))),
      m_pObjectPage(AddOwnedPage(std::make_unique<CGIS_OleObjectPage>(pElement, pDisplay))) {
  if (auto* pOle = dynamic_cast<IGIS_OleElement*>(pElement))
    m_pFramePage->m_pFrame = pOle->GetFramePropertyPtr();
}

namespace {
bool RunOleSheet(IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle) {
  CGIS_OleSheet sheet(pElement, pDisplay);
  sheet.SetTitle(szTitle);
  return sheet.DoModal() == IDOK;
}
const struct Registration {
  Registration() { md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_OLE, &RunOleSheet); }
} g_registration;
}  // namespace
