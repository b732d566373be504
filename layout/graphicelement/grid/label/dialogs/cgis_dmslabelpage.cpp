#include "layout/graphicelement/grid/label/dialogs/cgis_dmslabelpage.h"

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/grid/grid/dialogs/symbolbutton.h"
#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"
#include "platform/ui/app.h"
#include "platform/ui/ccombobox.h"

namespace {

constexpr int kMaxDecimals = 10;
constexpr const char* kLabelTypes[] = {"标准的", "堆积显示"};

// The font button's remembered chooser state.
int g_nSecondsFontState = 0;

}  // namespace

CGIS_DMSLabelPage::CGIS_DMSLabelPage() : CPropertyPage(IDD_GIS_DMSLABEL_PAGE) {
  MapClicked(IDC_GIS_DMS_MINUTES, [this] { m_nShowMinutes = m_nShowMinutes == 1 ? 0 : 1; });
  MapClicked(IDC_GIS_DMS_SECONDS, [this] { m_nShowSeconds = m_nShowSeconds == 1 ? 0 : 1; });
  MapClicked(IDC_GIS_DMS_FONT, [this] { OnFont(); });
  MapCommand(CBN_SELCHANGE, IDC_GIS_DMS_TYPE, [this] {
    if (auto* pTypes = static_cast<CComboBox*>(GetDlgItem(IDC_GIS_DMS_TYPE)))
      EnableFont(pTypes->GetCurSel() == GIS_DMSLABEL_STACKED);
  });
  MapEditFilter(this, IDC_GIS_DMS_DECIMALS, &FilterSignedIntegerEdit);
}

void CGIS_DMSLabelPage::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_CBIndex(pDX, IDC_GIS_DMS_TYPE, m_nLabelType);
  DDX_Check(pDX, IDC_GIS_DMS_MINUTES, m_nShowMinutes);
  DDX_Check(pDX, IDC_GIS_DMS_SECONDS, m_nShowSeconds);
  DDX_Text(pDX, IDC_GIS_DMS_DECIMALS, m_nDecimals);
  DDV_MinMaxInt(pDX, m_nDecimals, 0, kMaxDecimals);
}

BOOL CGIS_DMSLabelPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  if (m_pDMSGridLabel == nullptr) return FALSE;
  m_editDecimals.SubclassDlgItem(IDC_GIS_DMS_DECIMALS, this);
  m_spinDecimals.SubclassDlgItem(IDC_GIS_DMS_DECIMALS_SPIN, this);
  InitSpinButton(&m_editDecimals, &m_spinDecimals, 0, kMaxDecimals, 10);
  return TRUE;
}

BOOL CGIS_DMSLabelPage::OnSetActive() {
  if (m_pDMSGridLabel == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_DMSLabelPage::OnSetActive", "m_pDMSGridLabel == NULL");
    return FALSE;
  }
  m_nShowMinutes = m_pDMSGridLabel->IsShowMinutes() ? 1 : 0;
  m_nShowSeconds = m_pDMSGridLabel->IsShowSeconds() ? 1 : 0;
  m_nLabelType = m_pDMSGridLabel->GetDMSLabelType();
  m_nDecimals = m_pDMSGridLabel->GetDecimalDigits();
  EnableFont(m_nLabelType != GIS_DMSLABEL_STANDARD);
  m_spinDecimals.SetPos32(m_nDecimals);
  if (auto* pTypes = static_cast<CComboBox*>(GetDlgItem(IDC_GIS_DMS_TYPE))) {
    pTypes->ResetContent();
    for (const char* szType : kLabelTypes) pTypes->AddString(szType);
  }
  UpdateData(FALSE);
  return CPropertyPage::OnSetActive();
}

bool CGIS_DMSLabelPage::WriteLabel() {
  if (m_pDMSGridLabel == nullptr) return true;
  if (!UpdateData(TRUE)) return false;
  // Minutes first: showing seconds brings minutes with it, so the order
  // decides what a lone "显示秒" gives.
  m_pDMSGridLabel->SetShowMinutes(m_nShowMinutes == 1);
  m_pDMSGridLabel->SetShowSeconds(m_nShowSeconds == 1);
  m_pDMSGridLabel->SetDMSLabelType(m_nLabelType);
  m_pDMSGridLabel->SetDecimalDigits(m_nDecimals);
  return true;
}

BOOL CGIS_DMSLabelPage::OnKillActive() { return WriteLabel() ? CPropertyPage::OnKillActive() : FALSE; }

BOOL CGIS_DMSLabelPage::OnApply() { return WriteLabel() ? CPropertyPage::OnApply() : FALSE; }

void CGIS_DMSLabelPage::EnableFont(bool bStacked) {
  if (CWnd* pFont = GetDlgItem(IDC_GIS_DMS_FONT)) pFont->EnableWindow(bStacked ? TRUE : FALSE);
}

void CGIS_DMSLabelPage::OnFont() {
  IGIS_DMSGridLabel* pLabel = m_pDMSGridLabel;
  if (pLabel == nullptr) return;
  md::layout::grid::ChooseSymbol(pLabel->GetSecondsSymbolText(), GIS_CHOOSE_TEXT, &g_nSecondsFontState,
                                 [pLabel](IGIS_Symbol* pText) { pLabel->SetSecondsSymbolTextPtr(pText); });
}

namespace {
const md::ui::WindowClassRegistration<CGIS_DMSLabelPage> g_class("CGIS_DMSLabelPage");
}  // namespace
