#include "layout/graphicelement/grid/grid/dialogs/cgis_gridlinepage.h"

#include "layout/graphicelement/grid/grid/dialogs/symbolbutton.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "platform/ui/app.h"

namespace {
// Remembered chooser states of the symbol button, one per kind it chooses.
int g_nMarkSymbolState = 0;
int g_nLineSymbolState = 0;
}  // namespace

CGIS_GridLinePage::CGIS_GridLinePage() : CGIS_MapGridPage(IDD_GIS_GRIDLINE_PAGE) {
  MapClicked(IDC_GIS_GL_NONE, [this] { OnLineType(GIS_GRIDLINE_NONE); });
  MapClicked(IDC_GIS_GL_LINES, [this] { OnLineType(GIS_GRIDLINE_LINES); });
  MapClicked(IDC_GIS_GL_MARKS, [this] { OnLineType(GIS_GRIDLINE_MARKS); });
  MapClicked(IDC_GIS_GL_SYMBOL, [this] { OnSymbol(); });
}

void CGIS_GridLinePage::DoDataExchange(CDataExchange* pDX) {
  CGIS_MapGridPage::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_GIS_GL_NONE, m_nLineType);
}

BOOL CGIS_GridLinePage::OnInitDialog() {
  CGIS_MapGridPage::OnInitDialog();
  m_nLineType = GIS_GRIDLINE_NONE;
  if (!CheckGrid("CGIS_GridLinePage::OnInitDialog")) return FALSE;
  UpdateData(FALSE);
  return TRUE;
}

BOOL CGIS_GridLinePage::OnSetActive() {
  if (!CheckGrid("CGIS_GridLinePage::OnSetActive")) return FALSE;
  m_nLineType = m_pMapGrid->GetGridlineType();
  UpdateData(FALSE);
  return CGIS_MapGridPage::OnSetActive();
}

bool CGIS_GridLinePage::WriteGrid() {
  if (m_pMapGrid == nullptr) return true;
  if (!UpdateData(TRUE)) return false;
  m_pMapGrid->SetGridlineType(m_nLineType);
  return true;
}

BOOL CGIS_GridLinePage::OnKillActive() { return WriteGrid() ? CGIS_MapGridPage::OnKillActive() : FALSE; }

BOOL CGIS_GridLinePage::OnApply() { return WriteGrid() ? CGIS_MapGridPage::OnApply() : FALSE; }

void CGIS_GridLinePage::OnLineType(int nType) {
  if (IsExchangingData() || !UpdateData(TRUE)) return;
  m_nLineType = nType;
  UpdateData(FALSE);
}

void CGIS_GridLinePage::OnSymbol() {
  md::layout::grid::ChooseGridLineSymbol(m_pMapGrid, m_nLineType, &g_nMarkSymbolState, &g_nLineSymbolState);
}

namespace {
const md::ui::WindowClassRegistration<CGIS_GridLinePage> g_class("CGIS_GridLinePage");
}  // namespace
