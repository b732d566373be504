// The three-north sheet and its registration for the three-north element.
#include "layout/graphicelement/furniture/dialogs/cgis_threenorthsheet.h"

#include <memory>

#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"
#include "layout/graphicelement/furniture/dialogs/cgis_threenorth.h"
#include "layout/graphicelement/furniture/igis_threenorthelement.h"

CGIS_ThreeNorthSheet::CGIS_ThreeNorthSheet(IGIS_ThreeNorthElement* pElement, IGIS_Display* pDisplay,
                                           bool bWithCommonPages)
    : CGIS_ElementPropertySheet(IDS_THREENORTH_SHEET, pElement, pDisplay),
      m_pThreeNorthPage(AddOwnedPage(std::make_unique<CGIS_ThreeNorth>(pElement, pDisplay))) {
  // The shared pages only when the element's caller asked for them.
  if (!bWithCommonPages) return;
  m_pFramePage = AddOwnedPage(std::make_unique<CLayoutFrame>(pElement, pDisplay));
  m_pFramePage->m_pFrame = pElement->GetFramePropertyPtr();
  m_pSizePage = AddOwnedPage(std::make_unique<CSizeAndPosition>(pElement, pDisplay));
}

namespace {
bool RunThreeNorthSheet(IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle,
                        BOOL bWithCommonPages) {
  auto* pDiagram = dynamic_cast<IGIS_ThreeNorthElement*>(pElement);
  if (pDiagram == nullptr) return false;
  CGIS_ThreeNorthSheet sheet(pDiagram, pDisplay, bWithCommonPages != FALSE);
  sheet.SetTitle(szTitle);
  return sheet.DoModal() == IDOK;
}
const struct Registration {
  Registration() {
    md::layout::RegisterPagedPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH, &RunThreeNorthSheet);
  }
} g_registration;
}  // namespace
