// The numbers and marks page of the scale bar sheet.
#include "layout/graphicelement/scalebar/dialogs/cgis_scalenumbermark.h"

#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/dialogs/cgis_numericformatdlg.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/dialogs/pagehelpers.h"
#include "layout/graphicelement/scalebar/igis_scalebar.h"
#include "layout/graphicelement/scalebar/igis_scalemarks.h"

using md::layout::ChooseSymbol;

namespace {
// Remembered chooser states of the three symbol buttons, one each for the process.
int g_nLabelFontState = 0;
int g_nDivisionState = 0;
int g_nSubdivisionState = 0;
constexpr UINT kMarkControls[] = {4030, 4032, 4067, 4028, 4161};
}  // namespace

CGIS_ScaleNumberMark::CGIS_ScaleNumberMark(IGIS_ScaleBar* pBar, IGIS_Display* pDisplay)
    : CPropertyPage(4047), m_pBar(pBar), m_pDisplay(pDisplay) {
  for (UINT id : {4166u, 4170u, 4161u}) MapCommand(CBN_SELCHANGE, id, [this] { MarkModified(); });
  MapCommand(CBN_SELCHANGE, 4168, [this] { OnMarkFrequencyChanged(); });
  MapCommand(EN_CHANGE, 4172, [this] { MarkModified(); });
  MapCommand(EN_CHANGE, 4067, [this] { MarkModified(); });
  MapCommand(EN_CHANGE, 4028, [this] { MarkModified(); });
  MapCommand(EN_UPDATE, 4172, [this] { FilterUnsignedIntegerEdit(&m_editGap); });
  MapCommand(EN_UPDATE, 4067, [this] { FilterUnsignedIntegerEdit(&m_editDivision); });
  MapCommand(EN_UPDATE, 4028, [this] { FilterUnsignedIntegerEdit(&m_editSubdivision); });
  MapClicked(4171, [this] {
    if (m_pBar != nullptr &&
        ChooseSymbol(m_pBar->GetLabelSymbol(), GIS_CHOOSE_TEXT, &g_nLabelFontState,
                     [this](IGIS_Symbol* pSymbol) { m_pBar->SetLabelSymbolPtr(pSymbol->GetTextPart()); }))
      SetModified(TRUE);
  });
  MapClicked(4196, [this] { OnNumberFormat(); });
  MapClicked(4030, [this] {
    IGIS_ScaleMarks* pMarks = m_pBar != nullptr ? m_pBar->GetScaleMarks() : nullptr;
    if (pMarks != nullptr &&
        ChooseSymbol(pMarks->GetDivisionMarkSymbol(), GIS_CHOOSE_LINE, &g_nDivisionState,
                     [pMarks](IGIS_Symbol* pSymbol) { pMarks->SetDivisionMarkSymbolPtr(pSymbol); }))
      SetModified(TRUE);
  });
  MapClicked(4032, [this] {
    IGIS_ScaleMarks* pMarks = m_pBar != nullptr ? m_pBar->GetScaleMarks() : nullptr;
    if (pMarks != nullptr &&
        ChooseSymbol(pMarks->GetSubdivisionMarkSymbol(), GIS_CHOOSE_LINE, &g_nSubdivisionState,
                     [pMarks](IGIS_Symbol* pSymbol) { pMarks->SetSubdivisionMarkSymbolPtr(pSymbol); }))
      SetModified(TRUE);
  });
}

void CGIS_ScaleNumberMark::MarkModified() {
  if (!IsExchangingData()) SetModified(TRUE);
}

void CGIS_ScaleNumberMark::DoDataExchange(CDataExchange* pDX) {
  DDX_CBIndex(pDX, 4166, m_nLabelFrequency);
  DDX_CBIndex(pDX, 4170, m_nLabelPosition);
  DDX_Text(pDX, 4172, m_nLabelGap);
  DDV_MinMaxInt(pDX, m_nLabelGap, 0, 1000000);
  DDX_Text(pDX, 4028, m_nSubdivisionHeight);
  DDV_MinMaxInt(pDX, m_nSubdivisionHeight, 0, 1000000);
  DDX_CBIndex(pDX, 4161, m_nMarkPosition);
  DDX_CBIndex(pDX, 4168, m_nMarkFrequency);
  DDX_Text(pDX, 4067, m_nDivisionHeight);
  DDV_MinMaxInt(pDX, m_nDivisionHeight, 0, 1000000);
}

BOOL CGIS_ScaleNumberMark::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_editGap.SubclassDlgItem(4172, this);
  m_editDivision.SubclassDlgItem(4067, this);
  m_editSubdivision.SubclassDlgItem(4028, this);
  m_spinGap.SubclassDlgItem(4179, this);
  m_spinDivision.SubclassDlgItem(4157, this);
  m_spinSubdivision.SubclassDlgItem(4151, this);
  InitSpinButton(&m_editDivision, &m_spinDivision, 0, 100000, 10);
  InitSpinButton(&m_editSubdivision, &m_spinSubdivision, 0, 100000, 10);
  InitSpinButton(&m_editGap, &m_spinGap, 0, 100000, 10);
  return TRUE;
}

BOOL CGIS_ScaleNumberMark::OnSetActive() {
  // A page made by its class name alone has nothing to show.
  if (m_pBar == nullptr) return FALSE;
  if (m_pBar != nullptr) {
    m_nLabelFrequency = m_pBar->GetLabelFrequency();
    m_nLabelPosition = m_pBar->GetLabelPosition();
    m_nLabelGap = m_pBar->GetLabelGap();
    if (IGIS_ScaleMarks* pMarks = m_pBar->GetScaleMarks()) {
      m_nSubdivisionHeight = pMarks->GetSubdivisionMarkHeight();
      m_nMarkPosition = pMarks->GetMarkPosition();
      m_nMarkFrequency = pMarks->GetMarkFrequency();
      m_nDivisionHeight = pMarks->GetDivisionMarkHeight();
    }
  }
  m_spinGap.SetPos32(m_nLabelGap);
  m_spinSubdivision.SetPos32(m_nSubdivisionHeight);
  m_spinDivision.SetPos32(m_nDivisionHeight);
  UpdateData(FALSE);
  return CPropertyPage::OnSetActive();
}

void CGIS_ScaleNumberMark::WriteBar() {
  if (m_pBar == nullptr) return;
  m_pBar->SetLabelFrequency(m_nLabelFrequency);
  m_pBar->SetLabelPosition(m_nLabelPosition);
  m_pBar->SetLabelGap(m_nLabelGap);
  if (IGIS_ScaleMarks* pMarks = m_pBar->GetScaleMarks()) {
    pMarks->SetSubdivisionMarkHeight(m_nSubdivisionHeight);
    pMarks->SetMarkPosition(m_nMarkPosition);
    pMarks->SetMarkFrequency(m_nMarkFrequency);
    pMarks->SetDivisionMarkHeight(m_nDivisionHeight);
  }
}

BOOL CGIS_ScaleNumberMark::OnKillActive() {
  if (!UpdateData(TRUE)) return FALSE;
  WriteBar();
  return TRUE;
}

BOOL CGIS_ScaleNumberMark::OnApply() {
  if (!UpdateData(TRUE)) return FALSE;
  WriteBar();
  if (m_pBar != nullptr) m_pBar->Refresh();
  return CPropertyPage::OnApply();
}

void CGIS_ScaleNumberMark::OnNumberFormat() {
  if (m_pBar == nullptr || !EditNumericFormat(m_pBar->GetNumericFormat())) return;
  UpdateData(FALSE);
  SetModified(TRUE);
}

void CGIS_ScaleNumberMark::OnMarkFrequencyChanged() {
  if (IsExchangingData() || !UpdateData(TRUE)) return;
  // No division lines: nothing of the marks to set.
  for (UINT id : kMarkControls) GetDlgItem(static_cast<int>(id))->EnableWindow(m_nMarkFrequency != 0);
  SetModified(TRUE);
}
