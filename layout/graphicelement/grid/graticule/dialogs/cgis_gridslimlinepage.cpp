#include "layout/graphicelement/grid/graticule/dialogs/cgis_gridslimlinepage.h"

#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/grid/grid/dialogs/symbolbutton.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "platform/ui/app.h"

namespace graticule = md::layout::graticule;

namespace {

// Remembered chooser states of the three symbol buttons.
int g_nHatchSymbolState = 0;
int g_nMainSymbolState = 0;
int g_nSubSymbolState = 0;

constexpr graticule::DmsRowIds kLongitudeRow{IDC_GIS_SL_LON_DEGREES, IDC_GIS_SL_LON_MINUTES,
                                             IDC_GIS_SL_LON_SECONDS};
constexpr graticule::DmsRowIds kLatitudeRow{IDC_GIS_SL_LAT_DEGREES, IDC_GIS_SL_LAT_MINUTES,
                                            IDC_GIS_SL_LAT_SECONDS};

// A length as the page shows it: rounded half away from zero.
int RoundedLength(double dLength) { return static_cast<int>(dLength >= 0.0 ? dLength + 0.5 : dLength - 0.5); }

// One hatch symbol button: the symbol's getter and setter on the graticule.
void MapHatchSymbol(CGIS_MapGridPage* pPage, int nButton, int* pState,
                    IGIS_Symbol* (IGIS_GraticuleGrid::*get)(),
                    void (IGIS_GraticuleGrid::*set)(IGIS_Symbol*)) {
  pPage->MapClicked(static_cast<UINT>(nButton), [pPage, pState, get, set] {
    IGIS_GraticuleGrid* pGrid = graticule::GraticuleOf(pPage->m_pMapGrid, "CGIS_GridSlimLinePage::OnSymbol");
    if (pGrid == nullptr) return;
    md::layout::grid::ChooseSymbol((pGrid->*get)(), GIS_CHOOSE_LINE, pState,
                                   [pGrid, set](IGIS_Symbol* pLine) { (pGrid->*set)(pLine); });
  });
}

}  // namespace

CGIS_GridSlimLinePage::CGIS_GridSlimLinePage() : CGIS_MapGridPage(IDD_GIS_SLIMLINE_PAGE) {
  graticule::MapDmsRowFilters(this, kLongitudeRow);
  graticule::MapDmsRowFilters(this, kLatitudeRow);
  for (int id : {IDC_GIS_SL_HATCH_LENGTH, IDC_GIS_SL_MAIN_LENGTH, IDC_GIS_SL_SUB_LENGTH,
                 IDC_GIS_SL_MAIN_COUNT, IDC_GIS_SL_SUB_COUNT})
    MapEditFilter(this, id, &FilterUnsignedIntegerEdit);
  MapHatchSymbol(this, IDC_GIS_SL_HATCH_SYMBOL, &g_nHatchSymbolState, &IGIS_GraticuleGrid::GetHatchLineSymbol,
                 &IGIS_GraticuleGrid::SetHatchLineSymbolPtr);
  MapHatchSymbol(this, IDC_GIS_SL_MAIN_SYMBOL, &g_nMainSymbolState,
                 &IGIS_GraticuleGrid::GetMainHatchLineSymbol, &IGIS_GraticuleGrid::SetMainHatchLineSymbolPtr);
  MapHatchSymbol(this, IDC_GIS_SL_SUB_SYMBOL, &g_nSubSymbolState, &IGIS_GraticuleGrid::GetSubHatchLineSymbol,
                 &IGIS_GraticuleGrid::SetSubHatchLineSymbolPtr);
}

void CGIS_GridSlimLinePage::DoDataExchange(CDataExchange* pDX) {
  CGIS_MapGridPage::DoDataExchange(pDX);
  graticule::ExchangeDmsRow(pDX, kLongitudeRow, &m_longitude);
  graticule::ExchangeDmsRow(pDX, kLatitudeRow, &m_latitude);
  DDX_Text(pDX, IDC_GIS_SL_HATCH_LENGTH, m_nHatchLength);
  DDV_MinMaxInt(pDX, m_nHatchLength, 0, 1000000);
  DDX_Check(pDX, IDC_GIS_SL_HATCH_DIRECTIONAL, m_nHatchDirectional);
  DDX_Text(pDX, IDC_GIS_SL_MAIN_LENGTH, m_nMainLength);
  DDV_MinMaxInt(pDX, m_nMainLength, 0, 1000000);
  DDX_Check(pDX, IDC_GIS_SL_MAIN_DIRECTIONAL, m_nMainDirectional);
  DDX_Text(pDX, IDC_GIS_SL_MAIN_COUNT, m_nMainCount);
  DDV_MinMaxInt(pDX, m_nMainCount, 1, 100);
  DDX_Text(pDX, IDC_GIS_SL_SUB_LENGTH, m_nSubLength);
  DDV_MinMaxInt(pDX, m_nSubLength, 0, 1000000);
  DDX_Check(pDX, IDC_GIS_SL_SUB_DIRECTIONAL, m_nSubDirectional);
  DDX_Text(pDX, IDC_GIS_SL_SUB_COUNT, m_nSubCount);
  DDV_MinMaxInt(pDX, m_nSubCount, 1, 100);
}

BOOL CGIS_GridSlimLinePage::OnInitDialog() {
  CGIS_MapGridPage::OnInitDialog();
  m_editMainCount.SubclassDlgItem(IDC_GIS_SL_MAIN_COUNT, this);
  m_editSubCount.SubclassDlgItem(IDC_GIS_SL_SUB_COUNT, this);
  m_spinMainCount.SubclassDlgItem(IDC_GIS_SL_MAIN_COUNT_SPIN, this);
  m_spinSubCount.SubclassDlgItem(IDC_GIS_SL_SUB_COUNT_SPIN, this);
  InitSpinButton(&m_editMainCount, &m_spinMainCount, 0, 100, 10);
  InitSpinButton(&m_editSubCount, &m_spinSubCount, 0, 100, 10);
  return TRUE;
}

BOOL CGIS_GridSlimLinePage::OnSetActive() {
  IGIS_GraticuleGrid* pGrid = graticule::GraticuleOf(m_pMapGrid, "CGIS_GridSlimLinePage::OnSetActive");
  if (pGrid == nullptr) return FALSE;
  graticule::SplitDegrees(pGrid->GetHatchIntervalX(), true, &m_longitude);
  graticule::SplitDegrees(pGrid->GetHatchIntervalY(), true, &m_latitude);
  m_nHatchLength = RoundedLength(pGrid->GetHatchLength());
  m_nHatchDirectional = pGrid->GetHatchDirectional() ? 1 : 0;
  m_nMainDirectional = pGrid->GetMainHatchDirectional() ? 1 : 0;
  m_nSubDirectional = pGrid->GetSubHatchDirectional() ? 1 : 0;
  m_nMainCount = pGrid->GetMainHatchCount();
  m_nSubCount = pGrid->GetSubHatchCount();
  m_nMainLength = pGrid->GetMainHatchLength();
  m_nSubLength = pGrid->GetSubHatchLength();
  UpdateData(FALSE);
  return CGIS_MapGridPage::OnSetActive();
}

bool CGIS_GridSlimLinePage::WriteGrid() {
  // A page refused for want of a graticule has nothing of its own to write.
  auto* pGrid = dynamic_cast<IGIS_GraticuleGrid*>(m_pMapGrid);
  if (pGrid == nullptr) return true;
  if (!UpdateData(TRUE)) return false;
  pGrid->SetHatchIntervalX(graticule::JoinDegrees(m_longitude));
  pGrid->SetHatchIntervalY(graticule::JoinDegrees(m_latitude));
  pGrid->SetHatchLength(m_nHatchLength);
  pGrid->SetHatchDirectional(m_nHatchDirectional == 1);
  pGrid->SetMainHatchDirectional(m_nMainDirectional == 1);
  pGrid->SetMainHatchCount(m_nMainCount);
  pGrid->SetMainHatchLength(m_nMainLength);
  pGrid->SetSubHatchDirectional(m_nSubDirectional == 1);
  pGrid->SetSubHatchCount(m_nSubCount);
  pGrid->SetSubHatchLength(m_nSubLength);
  return true;
}

BOOL CGIS_GridSlimLinePage::OnKillActive() { return WriteGrid() ? CGIS_MapGridPage::OnKillActive() : FALSE; }

BOOL CGIS_GridSlimLinePage::OnApply() { return WriteGrid() ? CGIS_MapGridPage::OnApply() : FALSE; }

namespace {
const md::ui::WindowClassRegistration<CGIS_GridSlimLinePage> g_class("CGIS_GridSlimLinePage");
}  // namespace
