#include "layout/graphicelement/grid/graticule/dialogs/cgis_gridgraticulewizard.h"

#include "host/glyphor/igis_symbol.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridwizardstart.h"
#include "layout/graphicelement/grid/grid/dialogs/symbolbutton.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"

namespace {

// The style button's remembered chooser states, one per kind it chooses.
int g_nMarkSymbolState = 0;
int g_nLineSymbolState = 0;

constexpr int kMaxParallelDegrees = 20;
constexpr int kMaxMeridianDegrees = 40;

constexpr md::layout::graticule::DmsRowIds kParallelRow = {
    IDC_GIS_GGW_PARALLEL_DEGREES, IDC_GIS_GGW_PARALLEL_MINUTES, IDC_GIS_GGW_PARALLEL_SECONDS};
constexpr md::layout::graticule::DmsRowIds kMeridianRow = {
    IDC_GIS_GGW_MERIDIAN_DEGREES, IDC_GIS_GGW_MERIDIAN_MINUTES, IDC_GIS_GGW_MERIDIAN_SECONDS};

}  // namespace

CGIS_GridGraticuleWizard::CGIS_GridGraticuleWizard() : CPropertyPage(IDD_GIS_GRID_WIZARD_GRATICULE) {
  MapClicked(IDC_GIS_GGW_LABELS_ONLY, [this] { OnAppearance(GIS_GRIDLINE_NONE); });
  MapClicked(IDC_GIS_GGW_LINES, [this] { OnAppearance(GIS_GRIDLINE_LINES); });
  MapClicked(IDC_GIS_GGW_MARKS, [this] { OnAppearance(GIS_GRIDLINE_MARKS); });
  MapClicked(IDC_GIS_GGW_STYLE, [this] { OnStyle(); });
  md::layout::graticule::MapDmsRowFilters(this, kParallelRow);
  md::layout::graticule::MapDmsRowFilters(this, kMeridianRow);
}

void CGIS_GridGraticuleWizard::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  // The radios in template order: labels only, lines, marks.
  DDX_Radio(pDX, IDC_GIS_GGW_LABELS_ONLY, m_nAppearance);
  md::layout::graticule::ExchangeDmsRow(pDX, kParallelRow, &m_parallel, kMaxParallelDegrees);
  md::layout::graticule::ExchangeDmsRow(pDX, kMeridianRow, &m_meridian, kMaxMeridianDegrees);
}

BOOL CGIS_GridGraticuleWizard::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_nAppearance = GIS_GRIDLINE_LINES;
  m_parallel = {1, 0, 0.0};
  m_meridian = {1, 0, 0.0};
  UpdateData(FALSE);
  m_pMarkSymbol.reset(md::layout::grid::NewDefaultMarkSymbol());
  m_pLineSymbol.reset(md::layout::grid::NewDefaultLineSymbol());
  return TRUE;
}

BOOL CGIS_GridGraticuleWizard::OnSetActive() {
  if (const char* szText = md::layout::grid::GridWizardPageText(md::layout::grid::GridWizardType(this)))
    SetWindowText(szText);
  if (CPropertySheet* pSheet = GetSheet()) pSheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
  return CPropertyPage::OnSetActive();
}

BOOL CGIS_GridGraticuleWizard::OnKillActive() {
  if (!UpdateData(TRUE)) return FALSE;
  if (md::layout::graticule::JoinDegrees(m_parallel) > kMaxParallelDegrees) {
    MessageBox("纬度间隔大于20!", "错误提示", MB_OK);
    return FALSE;
  }
  if (md::layout::graticule::JoinDegrees(m_meridian) > kMaxMeridianDegrees) {
    MessageBox("经度间隔大于40!", "错误提示", MB_OK);
    return FALSE;
  }
  return TRUE;
}

BOOL CGIS_GridGraticuleWizard::OnApply() { return UpdateData(TRUE) ? CPropertyPage::OnApply() : FALSE; }

LRESULT CGIS_GridGraticuleWizard::OnWizardBack() { return IDD_GIS_GRID_WIZARD_START; }

LRESULT CGIS_GridGraticuleWizard::OnWizardNext() { return IDD_GIS_GRID_WIZARD_AXES; }

void CGIS_GridGraticuleWizard::OnAppearance(int nAppearance) {
  m_nAppearance = nAppearance;
  if (CWnd* pButton = GetDlgItem(IDC_GIS_GGW_STYLE)) pButton->EnableWindow(nAppearance != GIS_GRIDLINE_NONE);
}

void CGIS_GridGraticuleWizard::OnStyle() {
  md::layout::grid::ChooseHeldGridLineSymbol(m_nAppearance, &m_pMarkSymbol, &m_pLineSymbol,
                                             &g_nMarkSymbolState, &g_nLineSymbolState);
}
