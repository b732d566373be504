// The scale and units page of the scale bar sheet.
#include "layout/graphicelement/scalebar/dialogs/cgis_scalebarunit.h"

#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/dialogs/pagehelpers.h"
#include "layout/graphicelement/scalebar/igis_scalebar.h"

namespace {
// The font button's remembered chooser state, one for the process.
int g_nFontState = 0;
}  // namespace

CGIS_ScaleBarUnit::CGIS_ScaleBarUnit(IGIS_ScaleBar* pBar, void* pOther)
    : CPropertyPage(4045), m_pBar(pBar), m_pOther(pOther) {
  MapClicked(4164, [this] { OnFont(); });
  MapCommand(CBN_SELCHANGE, 4024, [this] { OnResizeHintChanged(); });
  MapCommand(CBN_SELCHANGE, 4163, [this] { MarkModified(); });
  MapCommand(CBN_SELCHANGE, 4022, [this] { OnUnitsChanged(); });
  MapClicked(4159, [this] { MarkModified(); });
  for (UINT id : {4184u, 4035u, 4041u, 4153u, 4148u}) MapCommand(EN_CHANGE, id, [this] { MarkModified(); });
  MapCommand(EN_UPDATE, 4148, [this] { FilterUnsignedIntegerEdit(&m_editSubDivisions); });
  MapCommand(EN_UPDATE, 4153, [this] { FilterUnsignedIntegerEdit(&m_editDivisions); });
  MapCommand(EN_UPDATE, 4041, [this] { FilterUnsignedDecimalEdit(&m_editDivision); });
  MapCommand(EN_UPDATE, 4184, [this] { FilterSignedIntegerEdit(&m_editGap); });
}

void CGIS_ScaleBarUnit::MarkModified() {
  if (!IsExchangingData()) SetModified(TRUE);
}

void CGIS_ScaleBarUnit::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, 4041, m_dDivision);
  DDV_MinMaxDouble(pDX, m_dDivision, 0.0, 1e10);
  DDX_Text(pDX, 4153, m_nDivisions);
  DDV_MinMaxInt(pDX, m_nDivisions, 1, 100);
  DDX_Text(pDX, 4148, m_nSubDivisions);
  DDV_MinMaxInt(pDX, m_nSubDivisions, 0, 100);
  DDX_Check(pDX, 4159, m_nBeforeZero);
  DDX_CBIndex(pDX, 4024, m_nResizeHint);
  DDX_CBIndex(pDX, 4022, m_nUnits);
  DDX_CBIndex(pDX, 4163, m_nUnitLabelPosition);
  DDX_Text(pDX, 4035, m_strUnitLabel);
  DDV_MaxChars(pDX, m_strUnitLabel, 100);
  DDX_Text(pDX, 4184, m_nUnitLabelGap);
  DDV_MinMaxInt(pDX, m_nUnitLabelGap, -10000, 10000);
}

BOOL CGIS_ScaleBarUnit::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_editDivision.SubclassDlgItem(4041, this);
  m_editDivisions.SubclassDlgItem(4153, this);
  m_editSubDivisions.SubclassDlgItem(4148, this);
  m_editGap.SubclassDlgItem(4184, this);
  m_spinDivisions.SubclassDlgItem(4155, this);
  m_spinSubDivisions.SubclassDlgItem(4149, this);
  m_spinGap.SubclassDlgItem(4174, this);
  m_comboUnits.SubclassDlgItem(4022, this);
  InitSpinButton(&m_editGap, &m_spinGap, 0, 10000, 10);
  InitSpinButton(&m_editSubDivisions, &m_spinSubDivisions, 1, 100, 10);
  InitSpinButton(&m_editDivisions, &m_spinDivisions, 1, 100, 10);
  md::layout::FillUnitList(&m_comboUnits);
  if (m_pBar != nullptr) {
    m_comboUnits.SetCurSel(m_pBar->GetUnits());
    m_strUnitLabel = m_pBar->GetUnitLabel();
  }
  return TRUE;
}

void CGIS_ScaleBarUnit::EnableByResizeHint() {
  GetDlgItem(4041)->EnableWindow(m_nResizeHint != GIS_SCALEBAR_RESIZE_DIVISION);
  GetDlgItem(4153)->EnableWindow(m_nResizeHint != GIS_SCALEBAR_RESIZE_DIVISIONS);
}

BOOL CGIS_ScaleBarUnit::OnSetActive() {
  // A page made by its class name alone has nothing to show.
  if (m_pBar == nullptr) return FALSE;
  if (m_pBar != nullptr) {
    m_nDivisions = m_pBar->GetDivisions();
    m_dDivision = m_pBar->GetDivision();
    m_nResizeHint = m_pBar->GetResizeHint();
    m_nBeforeZero = m_pBar->GetDivisionsBeforeZero() ? 1 : 0;
    m_nSubDivisions = m_pBar->GetSubDivisions();
    m_nUnitLabelPosition = m_pBar->GetUnitLabelPosition();
    m_nUnits = m_pBar->GetUnits();
    m_nUnitLabelGap = m_pBar->GetUnitLabelGap();
    m_strUnitLabel = m_pBar->GetUnitLabel();
  }
  m_spinSubDivisions.SetPos32(m_nSubDivisions);
  m_spinDivisions.SetPos32(m_nDivisions);
  m_spinGap.SetPos32(m_nUnitLabelGap);
  EnableByResizeHint();
  UpdateData(FALSE);
  return CPropertyPage::OnSetActive();
}

void CGIS_ScaleBarUnit::WriteBar() {
  if (m_pBar == nullptr) return;
  m_pBar->SetResizeHint(m_nResizeHint);
  m_pBar->SetDivisions(m_nDivisions);
  m_pBar->SetDivision(m_dDivision);
  m_pBar->SetDivisionsBeforeZero(m_nBeforeZero != 0);
  m_pBar->SetSubDivisions(m_nSubDivisions);
  m_pBar->SetUnitLabelPosition(m_nUnitLabelPosition);
  m_pBar->SetUnits(m_nUnits);
  m_pBar->SetUnitLabelGap(m_nUnitLabelGap);
  m_pBar->SetUnitLabel(m_strUnitLabel.c_str());
}

BOOL CGIS_ScaleBarUnit::OnKillActive() {
  if (!UpdateData(TRUE)) return FALSE;
  WriteBar();
  return TRUE;
}

BOOL CGIS_ScaleBarUnit::OnApply() {
  if (!UpdateData(TRUE)) return FALSE;
  WriteBar();
  if (m_pBar != nullptr) m_pBar->Refresh();
  return CPropertyPage::OnApply();
}

void CGIS_ScaleBarUnit::OnResizeHintChanged() {
  if (IsExchangingData() || !UpdateData(TRUE)) return;
  EnableByResizeHint();
  SetModified(TRUE);
}

void CGIS_ScaleBarUnit::OnUnitsChanged() {
  if (IsExchangingData() || !UpdateData(TRUE)) return;
  // The label follows the chosen unit's name.
  m_comboUnits.GetLBText(m_nUnits, m_strUnitLabel);
  SetModified(TRUE);
  UpdateData(FALSE);
}

void CGIS_ScaleBarUnit::OnFont() {
  if (m_pBar == nullptr) return;
  const bool bChosen = md::layout::ChooseSymbol(
      m_pBar->GetUnitLabelSymbol(), GIS_CHOOSE_TEXT, &g_nFontState,
      [this](IGIS_Symbol* pSymbol) { m_pBar->SetUnitLabelSymbolPtr(pSymbol->GetTextPart()); });
  if (bChosen) SetModified(TRUE);
}
