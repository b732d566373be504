// The text sheet and its registration for the text element.
#include "layout/graphicelement/text/dialogs/cgis_textelementsheet.h"

#include <memory>

#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/text/dialogs/cgis_dlgelementtext.h"

CGIS_TextElementSheet::CGIS_TextElementSheet(IGIS_Element* pElement, IGIS_Display* pDisplay)
    : CGIS_ElementPropertySheet(IDS_TEXT_SHEET, pElement, pDisplay),
      m_pContentPage(AddOwnedPage(std::make_unique<CGIS_DlgElementText>(pElement, pDisplay))),
      m_pSizePage(AddOwnedPage(std::make_unique<CSizeAndPosition>(pElement, pDisplay))) {}

namespace {
bool RunTextSheet(IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle) {
  CGIS_TextElementSheet sheet(pElement, pDisplay);
  sheet.SetTitle(szTitle);
  return sheet.DoModal() == IDOK;
}
const struct Registration {
  Registration() { md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_TEXT, &RunTextSheet); }
} g_registration;
}  // namespace
