// The legend property sheet and its registration for the legend.
#include "layout/graphicelement/legend/dialogs/cgis_legendproperty.h"

#include <memory>

#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/legend/dialogs/cgis_legendformatdlg.h"
#include "layout/graphicelement/legend/dialogs/clegenditempage.h"
#include "layout/graphicelement/legend/dialogs/clegendpage.h"
#include "layout/graphicelement/legend/igis_legendelement.h"

CGIS_LegendProperty::CGIS_LegendProperty(IGIS_LegendElement* pElement, IGIS_Display* pDisplay)
    : CGIS_ElementPropertySheet(135, pElement, pDisplay),
      m_pLegendPage(AddOwnedPage(std::make_unique<CLegendPage>(pElement, pDisplay))),
      m_pFormatPage(AddOwnedPage(std::make_unique<CGIS_LegendFormatDlg>(pElement, pDisplay))),
      m_pItemPage(AddOwnedPage(std::make_unique<CLegendItemPage>(pElement, pDisplay))),
      m_pFramePage(AddOwnedPage(std::make_unique<CLayoutFrame>(pElement, pDisplay))),
      m_pSizePage(AddOwnedPage(std::make_unique<CSizeAndPosition>(pElement, pDisplay))) {}

namespace {
bool RunLegendSheet(IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle) {
  auto* pLegend = dynamic_cast<IGIS_LegendElement*>(pElement);
  if (pLegend == nullptr) return false;
  CGIS_LegendProperty sheet(pLegend, pDisplay);
  sheet.SetTitle(szTitle);
  return sheet.DoModal() == IDOK;
}
const struct Registration {
  Registration() { md::layout::RegisterPropertySheet(GIS_TYPE_GRAPHIC_ELEMENT_LEGEND, &RunLegendSheet); }
} g_registration;
}  // namespace
