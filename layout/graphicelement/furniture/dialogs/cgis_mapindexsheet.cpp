// The map index sheet and its registration for the map index element.
#include "layout/graphicelement/furniture/dialogs/cgis_mapindexsheet.h"

#include <memory>

#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"
#include "layout/graphicelement/furniture/dialogs/cgis_mapindexdlg.h"
#include "layout/graphicelement/furniture/dialogs/cgis_mapindexsymboldlg.h"
#include "layout/graphicelement/furniture/igis_mapindexelement.h"

CGIS_MapIndexSheet::CGIS_MapIndexSheet(IGIS_MapIndexElement* pElement, IGIS_Display* pDisplay)
    : CGIS_ElementPropertySheet(IDS_MAPINDEX_SHEET, pElement, pDisplay),
      m_pNamesPage(AddOwnedPage(std::make_unique<CGIS_MapIndexDlg>(pElement, pDisplay))),
      m_pSymbolPage(AddOwnedPage(std::make_unique<CGIS_MapIndexSymbolDlg>(pElement, pDisplay))),
      m_pFramePage(AddOwnedPage(std::make_unique<CLayoutFrame>(pElement, pDisplay))),
      m_pSizePage(AddOwnedPage(std::make_unique<CSizeAndPosition>(pElement, pDisplay))) {
  m_pFramePage->m_pFrame = pElement->GetFramePropertyPtr();
}

namespace {
bool RunMapIndexSheet(IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle) {
  auto* pIndex = dynamic_cast<IGIS_MapIndexElement*>(pElement);
  if (pIndex == nullptr) return false;
  CGIS_MapIndexSheet sheet(pIndex, pDisplay);
  sheet.SetTitle(szTitle);
  return sheet.DoModal() == IDOK;
}
const struct Registration {
  Registration() { md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_MAPINDEX, &RunMapIndexSheet); }
} g_registration;
}  // namespace
