// The title page of the legend wizard.
#include "layout/graphicelement/legend/dialogs/cgis_legendwizard2.h"

#include "host/glyphor/igis_symbol.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/dialogs/pagehelpers.h"
#include "layout/graphicelement/legend/legendtext.h"

namespace {
// The font button's remembered chooser state, one for the process.
int g_nTitleFontState = 0;
}  // namespace

CGIS_LegendWizard2::CGIS_LegendWizard2()
    : CPropertyPage(31745), m_pTitleSymbol(md::layout::legend::NewTextSymbol()) {
  MapClicked(3019, [this] { OnFont(); });
}

void CGIS_LegendWizard2::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, 4245, m_strTitle);
  DDX_Radio(pDX, 1004, m_nAlign);
}

BOOL CGIS_LegendWizard2::OnSetActive() {
  if (CPropertySheet* pSheet = GetSheet()) pSheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
  return CPropertyPage::OnSetActive();
}

LRESULT CGIS_LegendWizard2::OnWizardNext() {
  UpdateData(TRUE);
  return CPropertyPage::OnWizardNext();
}

void CGIS_LegendWizard2::OnFont() {
  md::layout::ChooseSymbol(m_pTitleSymbol.get(), GIS_CHOOSE_TEXT, &g_nTitleFontState,
                           [this](IGIS_Symbol* pChosen) {
                             if (IGIS_Symbol* pText = pChosen->GetTextPart())
                               m_pTitleSymbol.reset(md::layout::legend::CloneTextSymbol(pText));
                           });
}
