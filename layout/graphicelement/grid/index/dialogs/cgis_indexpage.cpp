#include "layout/graphicelement/grid/index/dialogs/cgis_indexpage.h"

#include <algorithm>

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/grid/grid/igis_indexgrid.h"
#include "platform/ui/app.h"
#include "platform/ui/clistbox.h"

namespace {

constexpr int kMinCount = 1;
constexpr int kMaxCount = 20;

}  // namespace

CGIS_IndexPage::CGIS_IndexPage() : CGIS_MapGridPage(IDD_GIS_INDEX_PAGE) {
  MapEditFilter(this, IDC_GIS_IX_COLUMNS, &FilterUnsignedIntegerEdit);
  MapEditFilter(this, IDC_GIS_IX_ROWS, &FilterUnsignedIntegerEdit);
  MapCommand(EN_CHANGE, IDC_GIS_IX_COLUMNS, [this] { OnCountChanged(IDC_GIS_IX_COLUMN_TITLES, true); });
  MapCommand(EN_CHANGE, IDC_GIS_IX_ROWS, [this] { OnCountChanged(IDC_GIS_IX_ROW_TITLES, false); });
}

void CGIS_IndexPage::DoDataExchange(CDataExchange* pDX) {
  CGIS_MapGridPage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_GIS_IX_COLUMNS, m_nColumnCount);
  DDV_MinMaxInt(pDX, m_nColumnCount, kMinCount, kMaxCount);
  DDX_Text(pDX, IDC_GIS_IX_ROWS, m_nRowCount);
  DDV_MinMaxInt(pDX, m_nRowCount, kMinCount, kMaxCount);
}

std::string CGIS_IndexPage::Title(int nIndex, bool bLetters) {
  return bLetters ? std::string(1, static_cast<char>('A' + nIndex)) : std::to_string(nIndex + 1);
}

IGIS_IndexGrid* CGIS_IndexPage::IndexGrid(const char* szMethod) const {
  if (!CheckGrid(szMethod)) return nullptr;
  auto* pGrid = dynamic_cast<IGIS_IndexGrid*>(m_pMapGrid);
  if (pGrid == nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_indexGrid == NULL");
  return pGrid;
}

BOOL CGIS_IndexPage::OnInitDialog() {
  CGIS_MapGridPage::OnInitDialog();
  m_editColumns.SubclassDlgItem(IDC_GIS_IX_COLUMNS, this);
  m_editRows.SubclassDlgItem(IDC_GIS_IX_ROWS, this);
  m_spinColumns.SubclassDlgItem(IDC_GIS_IX_COLUMNS_SPIN, this);
  m_spinRows.SubclassDlgItem(IDC_GIS_IX_ROWS_SPIN, this);
  InitSpinButton(&m_editColumns, &m_spinColumns, kMinCount, kMaxCount, 10);
  InitSpinButton(&m_editRows, &m_spinRows, kMinCount, kMaxCount, 10);
  return TRUE;
}

void CGIS_IndexPage::FillTitles(int nListId, int nCount, bool bColumns) {
  auto* pList = static_cast<CListBox*>(GetDlgItem(nListId));
  auto* pGrid = dynamic_cast<IGIS_IndexGrid*>(m_pMapGrid);
  if (pList == nullptr || pGrid == nullptr) return;
  pList->ResetContent();
  // Columns carry letters when the grid's XYLabelType is set, rows when not.
  // A stored count beyond the page's range lists the titles the page allows.
  const int nTitles = std::clamp(nCount, 0, kMaxCount);
  for (int i = 0; i < nTitles; ++i) pList->AddString(Title(i, pGrid->GetXYLabelType() == bColumns).c_str());
}

BOOL CGIS_IndexPage::OnSetActive() {
  IGIS_IndexGrid* pGrid = IndexGrid("CGIS_IndexPage::OnSetActive");
  if (pGrid == nullptr) return FALSE;
  m_nColumnCount = pGrid->GetColumnCount();
  m_nRowCount = pGrid->GetRowCount();
  FillTitles(IDC_GIS_IX_COLUMN_TITLES, m_nColumnCount, true);
  FillTitles(IDC_GIS_IX_ROW_TITLES, m_nRowCount, false);
  UpdateData(FALSE);
  m_bShown = true;
  return CGIS_MapGridPage::OnSetActive();
}

void CGIS_IndexPage::OnCountChanged(int nListId, bool bColumns) {
  if (!m_bShown || IsExchangingData()) return;
  // The edits keep what is being typed: only the titles follow it.
  if (!UpdateData(TRUE)) return;
  FillTitles(nListId, bColumns ? m_nColumnCount : m_nRowCount, bColumns);
}

bool CGIS_IndexPage::WriteGrid() {
  auto* pGrid = dynamic_cast<IGIS_IndexGrid*>(m_pMapGrid);
  if (pGrid == nullptr) return true;
  if (!UpdateData(TRUE)) return false;
  pGrid->SetRowCount(m_nRowCount);
  pGrid->SetColumnCount(m_nColumnCount);
  return true;
}

BOOL CGIS_IndexPage::OnKillActive() { return WriteGrid() ? CGIS_MapGridPage::OnKillActive() : FALSE; }

BOOL CGIS_IndexPage::OnApply() { return WriteGrid() ? CGIS_MapGridPage::OnApply() : FALSE; }

namespace {
const md::ui::WindowClassRegistration<CGIS_IndexPage> g_class("CGIS_IndexPage");
}  // namespace
