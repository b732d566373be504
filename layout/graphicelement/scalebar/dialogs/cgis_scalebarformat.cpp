// The format page of the scale bar sheet.
#include "layout/graphicelement/scalebar/dialogs/cgis_scalebarformat.h"

#include <cstring>

#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/dialogs/pagehelpers.h"
#include "layout/graphicelement/scalebar/igis_doublefillscalebar.h"
#include "layout/graphicelement/scalebar/igis_scalebar.h"

using md::layout::ChooseSymbol;

namespace {
// Remembered chooser states of the three buttons, one each for the process.
int g_nFontState = 0;
int g_nSymbol1State = 0;
int g_nSymbol2State = 0;

bool TypeIs(IGIS_ScaleBar* pBar, const char* szType) { return std::strcmp(pBar->GetType(), szType) == 0; }
}  // namespace

CGIS_ScalebarFormat::CGIS_ScalebarFormat(IGIS_ScaleBar* pBar, IGIS_Display* pDisplay)
    : CPropertyPage(4050), m_pBar(pBar), m_pDisplay(pDisplay) {
  MapClicked(4060, [this] { OnFont(); });
  MapClicked(4063, [this] { OnSymbol1(); });
  MapClicked(4064, [this] { OnSymbol2(); });
  MapCommand(EN_CHANGE, 1002, [this] {
    if (!IsExchangingData()) SetModified(TRUE);
  });
  MapCommand(EN_UPDATE, 1002, [this] { FilterUnsignedIntegerEdit(&m_editHeight); });
}

bool CGIS_ScalebarFormat::IsLineKind() const {
  return m_pBar != nullptr && (TypeIs(m_pBar, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE) ||
                               TypeIs(m_pBar, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE));
}

bool CGIS_ScalebarFormat::HasSecondFill() const {
  return m_pBar != nullptr && (TypeIs(m_pBar, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING) ||
                               TypeIs(m_pBar, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING) ||
                               TypeIs(m_pBar, GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW));
}

void CGIS_ScalebarFormat::DoDataExchange(CDataExchange* pDX) {
  DDX_Text(pDX, 1002, m_nBarHeight);
  DDV_MinMaxInt(pDX, m_nBarHeight, 0, 100000);
}

BOOL CGIS_ScalebarFormat::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_editHeight.SubclassDlgItem(1002, this);
  m_spinHeight.SubclassDlgItem(3052, this);
  InitSpinButton(&m_editHeight, &m_spinHeight, 0, 10000, 10);
  if (IsLineKind()) GetDlgItem(4064)->EnableWindow(FALSE);
  return TRUE;
}

BOOL CGIS_ScalebarFormat::OnSetActive() {
  // A page made by its class name alone has nothing to show.
  if (m_pBar == nullptr) return FALSE;
  if (m_pBar != nullptr) m_nBarHeight = m_pBar->GetBarHeight();
  m_spinHeight.SetPos32(m_nBarHeight);
  if (IsLineKind()) GetDlgItem(4064)->EnableWindow(FALSE);
  UpdateData(FALSE);
  return CPropertyPage::OnSetActive();
}

BOOL CGIS_ScalebarFormat::OnKillActive() {
  if (!UpdateData(TRUE)) return FALSE;
  if (m_pBar != nullptr) m_pBar->SetBarHeight(m_nBarHeight);
  return CPropertyPage::OnKillActive();
}

BOOL CGIS_ScalebarFormat::OnApply() {
  if (!UpdateData(TRUE)) return FALSE;
  if (m_pBar != nullptr) {
    m_pBar->SetBarHeight(m_nBarHeight);
    m_pBar->Refresh();
  }
  return CPropertyPage::OnApply();
}

// One font for the unit label and the numbers.
void CGIS_ScalebarFormat::OnFont() {
  if (m_pBar == nullptr) return;
  if (ChooseSymbol(m_pBar->GetUnitLabelSymbol(), GIS_CHOOSE_TEXT, &g_nFontState,
                   [this](IGIS_Symbol* pSymbol) {
                     m_pBar->SetUnitLabelSymbolPtr(pSymbol->GetTextPart());
                     m_pBar->SetLabelSymbolPtr(pSymbol->GetTextPart());
                   })) {
    SetModified(TRUE);
  }
}

void CGIS_ScalebarFormat::OnSymbol1() {
  if (m_pBar == nullptr) return;
  const int nKind = IsLineKind() ? GIS_CHOOSE_LINE : GIS_CHOOSE_FILL;
  if (ChooseSymbol(m_pBar->GetBarSymbol(), nKind, &g_nSymbol1State,
                   [this](IGIS_Symbol* pSymbol) { m_pBar->SetBarSymbol(pSymbol); })) {
    SetModified(TRUE);
  }
}

void CGIS_ScalebarFormat::OnSymbol2() {
  auto* pBar = dynamic_cast<IGIS_DoubleFillScaleBar*>(m_pBar);
  if (pBar == nullptr || !HasSecondFill()) return;
  if (ChooseSymbol(pBar->GetSymbol2(), GIS_CHOOSE_FILL, &g_nSymbol2State,
                   [pBar](IGIS_Symbol* pSymbol) { pBar->SetSymbol2(pSymbol); })) {
    SetModified(TRUE);
  }
}
