// The map index's symbols page.
#include "layout/graphicelement/furniture/dialogs/cgis_mapindexsymboldlg.h"

#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/furniture/dialogs/furniturepages.h"
#include "layout/graphicelement/furniture/igis_mapindexelement.h"
#include "platform/ui/app.h"

namespace {
constexpr int kSizeLimit = 1000000;
int g_nMapIndexChooserStates[4] = {};
}  // namespace

CGIS_MapIndexSymbolDlg::CGIS_MapIndexSymbolDlg(IGIS_MapIndexElement* pElement, IGIS_Display* pDisplay)
    : CPropertyPage(IDD_MAPINDEX_SYMBOL_PAGE), m_pElement(pElement), m_pDisplay(pDisplay) {
  using Role = md::layout::furniture::SymbolRole<IGIS_MapIndexElement>;
  // Only the text button marks the page when the chooser gave no symbol.
  const Role roles[] = {
      {IDC_MAPINDEX_TEXT_SYMBOL, GIS_CHOOSE_TEXT, &IGIS_MapIndexElement::GetTextSymbolPtr,
       &IGIS_MapIndexElement::SetTextSymbolPtr, true},
      {IDC_MAPINDEX_INSIDE_SYMBOL, GIS_CHOOSE_LINE, &IGIS_MapIndexElement::GetInsideLineSymbolPtr,
       &IGIS_MapIndexElement::SetInsideLineSymbolPtr, false},
      {IDC_MAPINDEX_BORDER_SYMBOL, GIS_CHOOSE_LINE, &IGIS_MapIndexElement::GetBorderLineSymbolPtr,
       &IGIS_MapIndexElement::SetBorderLineSymbolPtr, false},
      {IDC_MAPINDEX_FILL_SYMBOL, GIS_CHOOSE_FILL, &IGIS_MapIndexElement::GetFillSymbolPtr,
       &IGIS_MapIndexElement::SetFillSymbolPtr, false},
  };
  md::layout::furniture::MapSymbolRoles(this, m_pElement, roles, g_nMapIndexChooserStates);
  md::layout::furniture::MapModifiedOnChange(this, {IDC_MAPINDEX_COL_WIDTH, IDC_MAPINDEX_ROW_HEIGHT});
  MapEditFilter(this, IDC_MAPINDEX_COL_WIDTH, &FilterUnsignedIntegerEdit);
  MapEditFilter(this, IDC_MAPINDEX_ROW_HEIGHT, &FilterUnsignedIntegerEdit);
}

void CGIS_MapIndexSymbolDlg::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_MAPINDEX_COL_WIDTH, m_editColWidth);
  DDX_Control(pDX, IDC_MAPINDEX_ROW_HEIGHT, m_editRowHeight);
  DDX_Text(pDX, IDC_MAPINDEX_COL_WIDTH, m_nColWidth);
  DDV_MinMaxInt(pDX, m_nColWidth, 1, kSizeLimit);
  DDX_Text(pDX, IDC_MAPINDEX_ROW_HEIGHT, m_nRowHeight);
  DDV_MinMaxInt(pDX, m_nRowHeight, 1, kSizeLimit);
}

BOOL CGIS_MapIndexSymbolDlg::OnSetActive() {
  if (m_pElement != nullptr) {
    m_nColWidth = m_pElement->GetColWidth();
    m_nRowHeight = m_pElement->GetRowHeight();
  }
  UpdateData(FALSE);
  return CPropertyPage::OnSetActive();
}

void CGIS_MapIndexSymbolDlg::WriteElement() {
  if (m_pElement == nullptr) return;
  m_pElement->SetColWidth(m_nColWidth);
  m_pElement->SetRowHeight(m_nRowHeight);
}

BOOL CGIS_MapIndexSymbolDlg::OnKillActive() {
  if (!UpdateData(TRUE)) return FALSE;
  WriteElement();
  return CPropertyPage::OnKillActive();
}

BOOL CGIS_MapIndexSymbolDlg::OnApply() {
  if (!UpdateData(TRUE)) return FALSE;
  WriteElement();
  if (m_pElement != nullptr) m_pElement->UpdateGeometry();
  return CPropertyPage::OnApply();
}

namespace {
const md::ui::WindowClassRegistration<CGIS_MapIndexSymbolDlg> g_symbolPageClass("CGIS_MapIndexSymbolDlg");
}  // namespace
