#include "layout/graphicelement/mapframe/dialogs/cgis_mappropertysheet.h"

#include <memory>

#include "host/helmora/igis_map.h"
#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"

CGIS_MapPropertySheet::CGIS_MapPropertySheet(IGIS_MapElement* pElement, IGIS_Display* pDisplay)
    : CGIS_ElementPropertySheet(IDS_GIS_MAP_SHEET, pElement, pDisplay),
      m_pDataframe(AddOwnedPage(std::make_unique<CGIS_MapDataframe>(pElement, pDisplay))),
      m_pFramePage(AddOwnedPage(std::make_unique<CLayoutFrame>(pElement, pDisplay))),
      m_pSizePage(AddOwnedPage(std::make_unique<CSizeAndPosition>(pElement, pDisplay))),
      m_pGridsPage(AddOwnedPage(std::make_unique<CGIS_MapGridsPage>())) {
  // The frame page edits the frame's own frame property in place, the grids
  // page the frame's own grids.
  m_pFramePage->m_pFrame = pElement != nullptr ? pElement->GetFramePropertyPtr() : nullptr;
  m_pGridsPage->m_pMapElement = pElement;
}

namespace {

bool RunMapSheet(IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle) {
  auto* pMap = dynamic_cast<IGIS_MapElement*>(pElement);
  if (pMap == nullptr) return false;
  double dReferenceScale = 1.0;
  if (IGIS_Map* pBound = pMap->GetMap()) dReferenceScale = static_cast<double>(pBound->GetReferenceScale());
  CGIS_MapPropertySheet sheet(pMap, pDisplay);
  sheet.SetTitle(szTitle);
  sheet.GetDataframePage().SetReferenceScale(dReferenceScale);
  return sheet.DoModal() == IDOK;
}

const struct Registration {
  Registration() { md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_MAP, &RunMapSheet); }
} g_registration;

}  // namespace
