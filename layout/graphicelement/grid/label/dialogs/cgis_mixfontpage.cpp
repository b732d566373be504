#include "layout/graphicelement/grid/label/dialogs/cgis_mixfontpage.h"

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/dialogs/cgis_numericformatdlg.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/grid/grid/dialogs/symbolbutton.h"
#include "layout/graphicelement/grid/label/igis_mixedfontgridlabel.h"
#include "platform/ui/app.h"
#include "platform/ui/ccombobox.h"

namespace {

constexpr int kMaxDigits = 10;
// The up-down reaches further than the field accepts.
constexpr int kMaxDigitsSpin = 20;

// The label's positions, in the order of their values.
constexpr const char* kPositions[] = {"所有标注", "四个交点的标注", "次要标注", "四个交点和次要标注"};

// Remembered chooser states of the two font buttons.
int g_nSecondaryFontState = 0;
int g_nZoneFontState = 0;

}  // namespace

CGIS_MixFontPage::CGIS_MixFontPage() : CPropertyPage(IDD_GIS_MIXFONT_PAGE) {
  MapEditFilter(this, IDC_GIS_MF_DIGITS, &FilterUnsignedIntegerEdit);
  MapClicked(IDC_GIS_MF_SHOW_ZONE, [this] { m_nShowZone = m_nShowZone == 1 ? 0 : 1; });
  MapClicked(IDC_GIS_MF_SECONDARY_FONT, [this] { OnSecondaryFont(); });
  MapClicked(IDC_GIS_MF_ZONE_FONT, [this] { OnZoneFont(); });
  MapClicked(IDC_GIS_MF_NUMBER_FORMAT, [this] { OnNumberFormat(); });
}

void CGIS_MixFontPage::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_GIS_MF_DIGITS, m_nDigitCount);
  // A disabled field cannot be corrected: its count goes back as stored.
  if (m_nGroupedDigitsType == 1) DDV_MinMaxInt(pDX, m_nDigitCount, 0, kMaxDigits);
  DDX_Check(pDX, IDC_GIS_MF_SHOW_ZONE, m_nShowZone);
}

BOOL CGIS_MixFontPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_editDigits.SubclassDlgItem(IDC_GIS_MF_DIGITS, this);
  m_spinDigits.SubclassDlgItem(IDC_GIS_MF_DIGITS_SPIN, this);
  InitSpinButton(&m_editDigits, &m_spinDigits, 0, kMaxDigitsSpin, 10);
  if (auto* pPositions = static_cast<CComboBox*>(GetDlgItem(IDC_GIS_MF_POSITION))) {
    for (const char* szPosition : kPositions) pPositions->AddString(szPosition);
  }
  return TRUE;
}

BOOL CGIS_MixFontPage::OnSetActive() {
  IGIS_MixedFontGridLabel* pLabel = m_pMixedFontGridLabel;
  if (pLabel == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MixFontPage::OnSetActive", "m_pMixedFontGridLabel == NULL");
    return FALSE;
  }
  m_nGroupedDigitsType = pLabel->GetGroupedDigitsType() ? 1 : 0;
  const BOOL bGrouped = m_nGroupedDigitsType == 1 ? TRUE : FALSE;
  m_editDigits.EnableWindow(bGrouped);
  m_spinDigits.EnableWindow(bGrouped);
  // Read whether or not the field is enabled, so that it goes back unchanged.
  m_nDigitCount = pLabel->GetNumGroupedDigits();
  m_nShowZone = pLabel->GetShowZone() ? 1 : 0;
  if (auto* pPositions = static_cast<CComboBox*>(GetDlgItem(IDC_GIS_MF_POSITION)))
    pPositions->SetCurSel(pLabel->GetPosition());
  UpdateData(FALSE);
  return CPropertyPage::OnSetActive();
}

bool CGIS_MixFontPage::WriteLabel() {
  IGIS_MixedFontGridLabel* pLabel = m_pMixedFontGridLabel;
  if (pLabel == nullptr) return true;
  const int nStoredCount = pLabel->GetNumGroupedDigits();
  if (!UpdateData(TRUE)) return false;
  pLabel->SetGroupedDigitsType(m_nGroupedDigitsType == 1);
  pLabel->SetNumGroupedDigits(m_nGroupedDigitsType == 1 ? m_nDigitCount : nStoredCount);
  pLabel->SetShowZone(m_nShowZone == 1);
  // A typed text selects no entry, which the label ignores.
  if (auto* pPositions = static_cast<CComboBox*>(GetDlgItem(IDC_GIS_MF_POSITION)))
    pLabel->SetPosition(pPositions->GetCurSel());
  return true;
}

BOOL CGIS_MixFontPage::OnKillActive() { return WriteLabel() ? CPropertyPage::OnKillActive() : FALSE; }

BOOL CGIS_MixFontPage::OnApply() { return WriteLabel() ? CPropertyPage::OnApply() : FALSE; }

void CGIS_MixFontPage::OnSecondaryFont() {
  IGIS_MixedFontGridLabel* pLabel = m_pMixedFontGridLabel;
  if (pLabel == nullptr) return;
  md::layout::grid::ChooseSymbol(pLabel->GetSecondarySymbolText(), GIS_CHOOSE_TEXT, &g_nSecondaryFontState,
                                 [pLabel](IGIS_Symbol* pText) { pLabel->SetSecondarySymbolTextPtr(pText); });
}

void CGIS_MixFontPage::OnZoneFont() {
  IGIS_MixedFontGridLabel* pLabel = m_pMixedFontGridLabel;
  if (pLabel == nullptr) return;
  md::layout::grid::ChooseSymbol(pLabel->GetZoneSymbolText(), GIS_CHOOSE_TEXT, &g_nZoneFontState,
                                 [pLabel](IGIS_Symbol* pText) { pLabel->SetZoneSymbolTextPtr(pText); });
}

void CGIS_MixFontPage::OnNumberFormat() {
  if (m_pMixedFontGridLabel != nullptr) EditNumericFormat(m_pMixedFontGridLabel->GetNumericFormat());
}

namespace {
const md::ui::WindowClassRegistration<CGIS_MixFontPage> g_class("CGIS_MixFontPage");
}  // namespace
