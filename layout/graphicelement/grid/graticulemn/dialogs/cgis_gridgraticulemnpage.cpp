#include "layout/graphicelement/grid/graticulemn/dialogs/cgis_gridgraticulemnpage.h"

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/grid/grid/dialogs/symbolbutton.h"
#include "layout/graphicelement/grid/grid/igis_graticulemngrid.h"
#include "platform/ui/app.h"

namespace {
// Remembered chooser states of the symbol button, one per kind it chooses.
int g_nMarkSymbolState = 0;
int g_nLineSymbolState = 0;
}  // namespace

CGIS_GridGraticuleMNPage::CGIS_GridGraticuleMNPage()
    : CGIS_MapGridPage(IDD_GIS_GRATICULEMN_PAGE),
      m_counts(this, {IDC_GIS_MP_COLUMNS, IDC_GIS_MP_COLUMNS_SPIN, IDC_GIS_MP_ROWS, IDC_GIS_MP_ROWS_SPIN}) {
  MapClicked(IDC_GIS_MP_NONE, [this] { m_nAppearance = GIS_GRIDLINE_NONE; });
  MapClicked(IDC_GIS_MP_LINES, [this] { m_nAppearance = GIS_GRIDLINE_LINES; });
  MapClicked(IDC_GIS_MP_MARKS, [this] { m_nAppearance = GIS_GRIDLINE_MARKS; });
  MapClicked(IDC_GIS_MP_SYMBOL, [this] { OnSymbol(); });
}

void CGIS_GridGraticuleMNPage::DoDataExchange(CDataExchange* pDX) {
  CGIS_MapGridPage::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_GIS_MP_NONE, m_nAppearance);
  m_counts.Exchange(pDX);
}

IGIS_GraticuleMNGrid* CGIS_GridGraticuleMNPage::Graticule(const char* szMethod) const {
  if (!CheckGrid(szMethod)) return nullptr;
  auto* pGrid = dynamic_cast<IGIS_GraticuleMNGrid*>(m_pMapGrid);
  if (pGrid == nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_graticuleMN == NULL");
  return pGrid;
}

BOOL CGIS_GridGraticuleMNPage::OnInitDialog() {
  CGIS_MapGridPage::OnInitDialog();
  m_counts.Init();
  if (m_pMapGrid != nullptr) m_nAppearance = m_pMapGrid->GetGridlineType();
  return TRUE;
}

BOOL CGIS_GridGraticuleMNPage::OnSetActive() {
  IGIS_GraticuleMNGrid* pGrid = Graticule("CGIS_GridGraticuleMNPage::OnSetActive");
  if (pGrid == nullptr) return FALSE;
  m_nAppearance = pGrid->GetGridlineType();
  m_counts.m_nColumns = pGrid->GetLatitudeCount();
  m_counts.m_nRows = pGrid->GetLongitudeCount();
  UpdateData(FALSE);
  return CGIS_MapGridPage::OnSetActive();
}

bool CGIS_GridGraticuleMNPage::WriteGrid() {
  auto* pGrid = dynamic_cast<IGIS_GraticuleMNGrid*>(m_pMapGrid);
  if (pGrid == nullptr) return true;
  if (!UpdateData(TRUE)) return false;
  pGrid->SetGridlineType(m_nAppearance);
  pGrid->SetLatitudeCount(m_counts.m_nColumns);
  pGrid->SetLongitudeCount(m_counts.m_nRows);
  return true;
}

BOOL CGIS_GridGraticuleMNPage::OnKillActive() {
  return WriteGrid() ? CGIS_MapGridPage::OnKillActive() : FALSE;
}

BOOL CGIS_GridGraticuleMNPage::OnApply() { return WriteGrid() ? CGIS_MapGridPage::OnApply() : FALSE; }

void CGIS_GridGraticuleMNPage::OnSymbol() {
  md::layout::grid::ChooseGridLineSymbol(m_pMapGrid, m_nAppearance, &g_nMarkSymbolState, &g_nLineSymbolState);
}

namespace {
const md::ui::WindowClassRegistration<CGIS_GridGraticuleMNPage> g_class("CGIS_GridGraticuleMNPage");
}  // namespace
