// The legend page of the legend sheet.
#include "layout/graphicelement/legend/dialogs/clegendpage.h"

#include "host/glyphor/igis_symbol.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/dialogs/pagehelpers.h"
#include "layout/graphicelement/legend/igis_legendelement.h"
#include "layout/graphicelement/legend/igis_legendformat.h"
#include "platform/ui/app.h"

namespace {
constexpr int kTitle = 4026, kShowTitle = 3027, kPosition = 4082, kTitleFont = 4070;
constexpr int kMaxPatch = 1000000;
// The font button's remembered chooser state, one for the process.
int g_nTitleFontState = 0;
const md::ui::WindowClassRegistration<CLegendPage> g_pageClass("CLegendPage");
}  // namespace

CLegendPage::CLegendPage(IGIS_LegendElement* pElement, IGIS_Display* pDisplay)
    : CPropertyPage(31746), m_pElement(pElement), m_pDisplay(pDisplay) {
  MapClicked(kShowTitle, [this] { OnShowTitle(); });
  MapClicked(kTitleFont, [this] { OnTitleFont(); });
}

void CLegendPage::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, kTitle, m_strTitle);
  DDX_Text(pDX, 4108, m_nPatchWidth);
  DDX_Text(pDX, 4109, m_nPatchHeight);
  DDV_MinMaxInt(pDX, m_nPatchHeight, 1, kMaxPatch);
  DDV_MinMaxInt(pDX, m_nPatchWidth, 1, kMaxPatch);
  DDX_CBIndex(pDX, kPosition, m_nTitlePosition);
  DDX_Check(pDX, kShowTitle, m_nShowTitle);
}

void CLegendPage::EnableTitleControls(bool bEnable) {
  for (int id : {kTitle, kPosition, kTitleFont}) GetDlgItem(id)->EnableWindow(bEnable);
}

BOOL CLegendPage::OnSetActive() {
  // A page made by its class name alone has nothing to show.
  IGIS_LegendFormat* pFormat = m_pElement != nullptr ? m_pElement->GetLegendFormat() : nullptr;
  if (pFormat == nullptr) return FALSE;
  const char* title = m_pElement->GetTitle();
  m_strTitle = title != nullptr ? title : "";
  m_nPatchWidth = pFormat->GetDefaultPatchWidth();
  m_nPatchHeight = pFormat->GetDefaultPatchHeight();
  m_nTitlePosition = pFormat->GetTitlePosition();
  m_nShowTitle = pFormat->GetShowTitle() ? 1 : 0;
  EnableTitleControls(m_nShowTitle == 1);
  UpdateData(FALSE);
  return CPropertyPage::OnSetActive();
}

BOOL CLegendPage::OnKillActive() {
  if (!UpdateData(TRUE)) return FALSE;
  IGIS_LegendFormat* pFormat = m_pElement != nullptr ? m_pElement->GetLegendFormat() : nullptr;
  if (pFormat != nullptr) {
    m_pElement->SetTitle(m_strTitle.c_str());
    pFormat->SetDefaultPatchWidth(m_nPatchWidth);
    pFormat->SetDefaultPatchHeight(m_nPatchHeight);
    // A stored position that names no entry shows none and is kept.
    if (m_nTitlePosition >= 0) pFormat->SetTitlePosition(m_nTitlePosition);
    pFormat->SetShowTitle(m_nShowTitle == 1);
    m_pElement->RecalcRect();
  }
  return TRUE;
}

void CLegendPage::OnShowTitle() {
  m_nShowTitle = m_nShowTitle == 1 ? 0 : 1;
  EnableTitleControls(m_nShowTitle == 1);
}

void CLegendPage::OnTitleFont() {
  IGIS_LegendFormat* pFormat = m_pElement != nullptr ? m_pElement->GetLegendFormat() : nullptr;
  if (pFormat == nullptr) return;
  md::layout::ChooseSymbol(pFormat->GetTitleSymbol(), GIS_CHOOSE_TEXT, &g_nTitleFontState,
                           [pFormat](IGIS_Symbol* pChosen) { pFormat->SetTitleSymbolPtr(pChosen); });
}
