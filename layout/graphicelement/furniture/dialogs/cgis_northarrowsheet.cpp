// The north arrow sheet and its registration for the north arrow element.
#include "layout/graphicelement/furniture/dialogs/cgis_northarrowsheet.h"

#include <memory>

#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"
#include "layout/graphicelement/furniture/dialogs/cgis_northarrow.h"
#include "layout/graphicelement/furniture/igis_northarrowelement.h"

CGIS_NorthArrowSheet::CGIS_NorthArrowSheet(IGIS_NorthArrowElement* pElement, IGIS_Display* pDisplay)
    : CGIS_ElementPropertySheet(IDS_NORTHARROW_SHEET, pElement, pDisplay),
      m_pArrowPage(AddOwnedPage(std::make_unique<CGIS_NorthArrow>(pElement, pDisplay))),
      m_pFramePage(AddOwnedPage(std::make_unique<CLayoutFrame>(pElement, pDisplay))),
      m_pSizePage(AddOwnedPage(std::make_unique<CSizeAndPosition>(pElement, pDisplay))) {
  m_pFramePage->m_pFrame = pElement->GetFramePropertyPtr();
}

namespace {
bool RunNorthArrowSheet(IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle) {
  auto* pArrow = dynamic_cast<IGIS_NorthArrowElement*>(pElement);
  if (pArrow == nullptr) return false;
  CGIS_NorthArrowSheet sheet(pArrow, pDisplay);
  sheet.SetTitle(szTitle);
  return sheet.DoModal() == IDOK;
}
const struct Registration {
  Registration() {
    md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_NORTHARROW, &RunNorthArrowSheet);
  }
} g_registration;
}  // namespace
