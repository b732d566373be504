#include "layout/graphicelement/grid/graticulemn/dialogs/cgis_gridgraticulemnwizard.h"

#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/grid/grid/dialogs/symbolbutton.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "platform/ui/app.h"

namespace {

// Remembered chooser states of the symbol button, one per kind it chooses.
int g_nMarkSymbolState = 0;
int g_nLineSymbolState = 0;

constexpr int kDefaultCount = 5;

}  // namespace

CGIS_GridGraticuleMNWizard::CGIS_GridGraticuleMNWizard()
    : CPropertyPage(IDD_GIS_GRATICULEMN_WIZARD),
      m_counts(this, {IDC_GIS_MW_COLUMNS, IDC_GIS_MW_COLUMNS_SPIN, IDC_GIS_MW_ROWS, IDC_GIS_MW_ROWS_SPIN}) {
  MapClicked(IDC_GIS_MW_LABELS_ONLY, [this] { m_nAppearance = GIS_GRIDLINE_NONE; });
  MapClicked(IDC_GIS_MW_LINES, [this] { m_nAppearance = GIS_GRIDLINE_LINES; });
  MapClicked(IDC_GIS_MW_MARKS, [this] { m_nAppearance = GIS_GRIDLINE_MARKS; });
  MapClicked(IDC_GIS_MW_SYMBOL, [this] { OnSymbol(); });
}

void CGIS_GridGraticuleMNWizard::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_GIS_MW_LABELS_ONLY, m_nAppearance);
  m_counts.Exchange(pDX);
}

BOOL CGIS_GridGraticuleMNWizard::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_nAppearance = GIS_GRIDLINE_NONE;
  m_counts.m_nColumns = kDefaultCount;
  m_counts.m_nRows = kDefaultCount;
  m_counts.Init();
  m_pLineSymbol.reset(md::layout::grid::NewDefaultLineSymbol());
  m_pMarkSymbol.reset(md::layout::grid::NewDefaultMarkSymbol());
  UpdateData(FALSE);
  return TRUE;
}

BOOL CGIS_GridGraticuleMNWizard::OnSetActive() {
  if (CPropertySheet* pSheet = GetSheet()) pSheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
  return CPropertyPage::OnSetActive();
}

BOOL CGIS_GridGraticuleMNWizard::OnApply() { return UpdateData(TRUE) ? CPropertyPage::OnApply() : FALSE; }

void CGIS_GridGraticuleMNWizard::OnSymbol() {
  md::layout::grid::ChooseHeldGridLineSymbol(m_nAppearance, &m_pMarkSymbol, &m_pLineSymbol,
                                             &g_nMarkSymbolState, &g_nLineSymbolState);
}

namespace {
const md::ui::WindowClassRegistration<CGIS_GridGraticuleMNWizard> g_class("CGIS_GridGraticuleMNWizard");
}  // namespace
