// The slope rule sheet and its registration for the slope rule element.
#include "layout/graphicelement/furniture/dialogs/cgis_slopesheet.h"

#include <memory>

#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"
#include "layout/graphicelement/furniture/dialogs/cgis_slopepage.h"
#include "layout/graphicelement/furniture/igis_slopeelement.h"

CGIS_SlopeSheet::CGIS_SlopeSheet(IGIS_SlopeElement* pElement, IGIS_Display* pDisplay, bool bWithCommonPages)
    : CGIS_ElementPropertySheet(IDS_SLOPE_SHEET, pElement, pDisplay),
      m_pSlopePage(AddOwnedPage(std::make_unique<CGIS_SlopePage>(pElement, pDisplay))) {
  // The shared pages only when the element's caller asked for them.
  if (!bWithCommonPages) return;
  m_pFramePage = AddOwnedPage(std::make_unique<CLayoutFrame>(pElement, pDisplay));
  m_pFramePage->m_pFrame = pElement->GetFramePropertyPtr();
  m_pSizePage = AddOwnedPage(std::make_unique<CSizeAndPosition>(pElement, pDisplay));
}

namespace {
bool RunSlopeSheet(IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle,
                   BOOL bWithCommonPages) {
  auto* pSlope = dynamic_cast<IGIS_SlopeElement*>(pElement);
  if (pSlope == nullptr) return false;
  CGIS_SlopeSheet sheet(pSlope, pDisplay, bWithCommonPages != FALSE);
  sheet.SetTitle(szTitle);
  return sheet.DoModal() == IDOK;
}
const struct Registration {
  Registration() {
    md::layout::RegisterPagedPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_SLOPERULE, &RunSlopeSheet);
  }
} g_registration;
}  // namespace
