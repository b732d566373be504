// The legend wizard and the runner it installs for the legend element.
#include "layout/graphicelement/legend/dialogs/cgis_legendpropertywizard.h"

#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/legend/igis_legendelement.h"
#include "layout/graphicelement/legend/igis_legendformat.h"
#include "layout/graphicelement/legend/igis_legenditem.h"
#include "layout/graphicelement/legend/legendtext.h"
#include "layout/graphicelement/legend/legendwizard.h"
#include "platform/ui/app.h"

CGIS_LegendPropertyWizard::CGIS_LegendPropertyWizard(CWnd* pParent) : CPropertySheet(134, pParent) {
  SetWizardMode();
  AddPage(&m_pageLayers);
  AddPage(&m_pageTitle);
  AddPage(&m_pageGaps);
}

namespace {

bool RunLegendWizard(IGIS_LegendElement* pLegend, md::layout::SGIS_LegendWizardResult* pResult) {
  if (pLegend == nullptr || pResult == nullptr) return false;
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CGIS_LegendPropertyWizard wizard;
  if (const char* title = pLegend->GetTitle()) wizard.SetTitle(title);
  wizard.m_pageLayers.SetLegend(pLegend);
  wizard.m_pageTitle.SetTitleText("图例说明");
  wizard.m_pageGaps.SetLegendFormat(pLegend->GetLegendFormat());
  if (wizard.DoModal() != static_cast<INT_PTR>(ID_WIZFINISH)) return false;
  IGIS_LegendFormat* pFormat = wizard.m_pageGaps.GetLegendFormat();
  pResult->format.reset(pFormat != nullptr ? pFormat->Clone() : nullptr);
  pResult->titleSymbol.reset(md::layout::legend::CloneTextSymbol(wizard.m_pageTitle.GetTitleSymbol()));
  pResult->title = wizard.m_pageTitle.GetTitleText();
  pResult->items.clear();
  for (int i = 0; i < wizard.m_pageLayers.GetItemCount(); ++i) {
    IGIS_LegendItem* pItem = wizard.m_pageLayers.GetItem(i);
    if (IGIS_LegendItem* pCopy = pItem != nullptr ? pItem->Clone() : nullptr)
      pResult->items.emplace_back(pCopy);
  }
  return true;
}

const struct Registration {
  Registration() { md::layout::SetLegendWizardRunner(&RunLegendWizard); }
} g_registration;

}  // namespace

namespace md::layout {
// Installs the wizard as the legend's (tests that replaced it put it back).
LegendWizardRunner LegendWizard() { return &RunLegendWizard; }
}  // namespace md::layout
