// The page of the scale text sheet.
#include "layout/graphicelement/scalebar/dialogs/cgis_scaletext.h"

#include "host/basilo/igis_log.h"
#include "host/glyphor/igis_symbol.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/dialogs/cgis_numericformatdlg.h"
#include "layout/graphicelement/dialogs/pagehelpers.h"
#include "layout/graphicelement/scalebar/igis_scaletextelement.h"

using md::layout::ChooseSymbol;
using md::layout::FillUnitList;

namespace {
// The font button's remembered chooser state, one for the process.
int g_nFontState = 0;
constexpr int kUnitControls[] = {4193, 4180, 4195, 4051};
}  // namespace

CGIS_ScaleText::CGIS_ScaleText(IGIS_ScaleTextElement* pElement, IGIS_Display* pDisplay)
    : CPropertyPage(4053), m_pElement(pElement), m_pDisplay(pDisplay) {
  if (m_pElement != nullptr) m_nStyle = m_pElement->GetScaleTextStyle() == 1 ? 1 : 0;
  MapClicked(4197, [this] { OnStyle(0); });
  MapClicked(4198, [this] { OnStyle(1); });
  MapCommand(CBN_SELCHANGE, 4193, [this] { OnPageUnit(); });
  MapCommand(CBN_SELCHANGE, 4195, [this] { OnMapUnit(); });
  MapCommand(EN_KILLFOCUS, 4180, [this] { OnLabelLeft(false); });
  MapCommand(EN_KILLFOCUS, 4051, [this] { OnLabelLeft(true); });
  MapClicked(3017, [this] { OnFont(); });
  MapClicked(4196, [this] { OnNumberFormat(); });
}

void CGIS_ScaleText::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, 4051, m_strMapUnitLabel);
  DDV_MaxChars(pDX, m_strMapUnitLabel, 50);
  DDX_CBIndex(pDX, 4195, m_nMapUnit);
  DDX_Text(pDX, 4180, m_strPageUnitLabel);
  DDV_MaxChars(pDX, m_strPageUnitLabel, 50);
  DDX_CBIndex(pDX, 4193, m_nPageUnit);
  DDX_Radio(pDX, 4197, m_nStyle);
  DDX_Text(pDX, 3084, m_strPreview);
}

BOOL CGIS_ScaleText::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_comboPageUnit.SubclassDlgItem(4193, this);
  m_comboMapUnit.SubclassDlgItem(4195, this);
  if (GIS_GetSpatialReferenceFactoryObject() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_ScaleText::OnInitDialog", "pSpatialReferenceFactoryObject== NULL ");
    return FALSE;
  }
  m_comboPageUnit.ResetContent();
  m_comboPageUnit.AddString("厘米");
  m_comboPageUnit.SetCurSel(0);
  if (m_pElement != nullptr) {
    m_nMapUnit = m_pElement->GetMapUnit();
    m_strMapUnitLabel = m_pElement->GetMapUnitLabel();
    m_strPageUnitLabel = m_pElement->GetPageUnitLabel();
    m_nStyle = m_pElement->GetScaleTextStyle() == 1 ? 1 : 0;
  }
  FillUnitList(&m_comboMapUnit);
  m_comboMapUnit.SetCurSel(m_nMapUnit);
  return TRUE;
}

void CGIS_ScaleText::EnableUnitControls(bool bEnable) {
  for (int id : kUnitControls) GetDlgItem(id)->EnableWindow(bEnable);
}

BOOL CGIS_ScaleText::OnSetActive() {
  // A page made by its class name alone has nothing to show.
  if (m_pElement == nullptr) return FALSE;
  if (m_pElement != nullptr) {
    m_pSymbol = m_pElement->GetSymbolPtr();
    m_nStyle = m_pElement->GetScaleTextStyle() == 1 ? 1 : 0;
    m_nMapUnit = m_pElement->GetMapUnit();
    m_nPageUnit = m_pElement->GetPageUnit();
    m_strPageUnitLabel = m_pElement->GetPageUnitLabel();
    m_strMapUnitLabel = m_pElement->GetMapUnitLabel();
    m_pElement->RebuildText();
    m_strPreview = m_pElement->GetText();
  }
  EnableUnitControls(m_nStyle == 1);
  UpdateData(FALSE);
  return TRUE;
}

void CGIS_ScaleText::WriteElement() {
  if (m_pElement == nullptr) return;
  m_pElement->SetMapUnit(m_nMapUnit);
  m_pElement->SetPageUnit(m_nPageUnit);
  m_pElement->SetScaleTextStyle(m_nStyle);
  if (m_pSymbol != nullptr) m_pElement->SetSymbolPtr(m_pSymbol);
  m_pElement->SetMapUnitLabel(m_strMapUnitLabel.c_str());
  m_pElement->SetPageUnitLabel(m_strPageUnitLabel.c_str());
}

BOOL CGIS_ScaleText::OnKillActive() {
  if (!UpdateData(TRUE)) return FALSE;
  WriteElement();
  return TRUE;
}

BOOL CGIS_ScaleText::OnApply() {
  if (!UpdateData(TRUE)) return FALSE;
  WriteElement();
  if (m_pElement != nullptr) m_pElement->RebuildText();
  return CPropertyPage::OnApply();
}

void CGIS_ScaleText::Recompose() {
  if (m_pElement != nullptr) {
    m_pElement->RebuildText();
    m_strPreview = m_pElement->GetText();
  }
  UpdateData(FALSE);
  SetModified(TRUE);
}

void CGIS_ScaleText::OnStyle(int nStyle) {
  if (IsExchangingData() || m_nStyle == nStyle || m_pElement == nullptr) return;
  m_nStyle = nStyle;
  m_pElement->SetScaleTextStyle(nStyle);
  if (nStyle == 1) {
    m_pElement->SetMapUnit(m_nMapUnit);
    m_pElement->SetMapUnitLabel(m_strMapUnitLabel.c_str());
    m_pElement->SetPageUnit(m_nPageUnit);
    m_pElement->SetPageUnitLabel(m_strPageUnitLabel.c_str());
  }
  EnableUnitControls(nStyle == 1);
  Recompose();
}

void CGIS_ScaleText::OnPageUnit() {
  if (IsExchangingData() || m_pElement == nullptr) return;
  m_nPageUnit = m_comboPageUnit.GetCurSel();
  if (m_nPageUnit < 0) return;
  m_comboPageUnit.GetLBText(m_nPageUnit, m_strPageUnitLabel);
  m_pElement->SetPageUnit(m_nPageUnit);
  m_pElement->SetPageUnitLabel(m_strPageUnitLabel.c_str());
  Recompose();
}

void CGIS_ScaleText::OnMapUnit() {
  if (IsExchangingData() || m_pElement == nullptr) return;
  m_nMapUnit = m_comboMapUnit.GetCurSel();
  if (m_nMapUnit < 0) return;
  m_comboMapUnit.GetLBText(m_nMapUnit, m_strMapUnitLabel);
  m_pElement->SetMapUnitLabel(m_strMapUnitLabel.c_str());
  m_pElement->SetMapUnit(m_nMapUnit);
  Recompose();
}

void CGIS_ScaleText::OnLabelLeft(bool bMapLabel) {
  if (IsExchangingData() || m_pElement == nullptr || !UpdateData(TRUE)) return;
  if (bMapLabel) {
    m_pElement->SetMapUnitLabel(m_strMapUnitLabel.c_str());
  } else {
    m_pElement->SetPageUnitLabel(m_strPageUnitLabel.c_str());
  }
  Recompose();
}

void CGIS_ScaleText::OnFont() {
  if (m_pElement == nullptr) return;
  if (ChooseSymbol(m_pElement->GetSymbolPtr(), GIS_CHOOSE_TEXT, &g_nFontState, [this](IGIS_Symbol* pSymbol) {
        m_pElement->SetSymbolPtr(pSymbol);
        m_pSymbol = m_pElement->GetSymbolPtr();
      })) {
    Recompose();
  }
}

void CGIS_ScaleText::OnNumberFormat() {
  if (m_pElement == nullptr || !EditNumericFormat(m_pElement->GetNumericFormatPtr())) return;
  Recompose();
}
