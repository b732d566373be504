#include "layout/graphicelement/grid/grid/dialogs/cgis_gridwizardfinish.h"

#include "host/glyphor/igis_symbol.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridwizardstart.h"
#include "layout/graphicelement/grid/grid/dialogs/symbolbutton.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"

namespace {

// The border button's remembered chooser state.
int g_nBorderSymbolState = 0;

}  // namespace

CGIS_GridWizardFinish::CGIS_GridWizardFinish() : CPropertyPage(IDD_GIS_GRID_WIZARD_FINISH) {
  MapClicked(IDC_GIS_GF_BORDER, [this] { OnBorder(); });
  MapClicked(IDC_GIS_GF_BORDER_SYMBOL, [this] { OnBorderSymbol(); });
  MapClicked(IDC_GIS_GF_STATIC, [this] { m_nStorage = GIS_GRIDWIZARD_STORE_ELEMENTS; });
  MapClicked(IDC_GIS_GF_FOLLOWING, [this] { m_nStorage = GIS_GRIDWIZARD_STORE_GRID; });
}

void CGIS_GridWizardFinish::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Check(pDX, IDC_GIS_GF_BORDER, m_nBorder);
  DDX_Check(pDX, IDC_GIS_GF_OUTLINE, m_nOutline);
  DDX_Radio(pDX, IDC_GIS_GF_STATIC, m_nStorage);
}

BOOL CGIS_GridWizardFinish::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_nOutline = 0;
  m_nBorder = 0;
  m_nStorage = GIS_GRIDWIZARD_STORE_GRID;
  if (CWnd* pButton = GetDlgItem(IDC_GIS_GF_OUTLINE_SYMBOL)) pButton->EnableWindow(FALSE);
  if (CWnd* pButton = GetDlgItem(IDC_GIS_GF_BORDER_SYMBOL)) pButton->EnableWindow(FALSE);
  m_pOutlineSymbol.reset(md::layout::grid::NewDefaultLineSymbol());
  if (m_pOutlineSymbol) {
    m_pBorderSymbol.reset(md::layout::SymbolPartOf(m_pOutlineSymbol->Clone(), md::layout::SymbolKind::Line));
  }
  UpdateData(FALSE);
  return TRUE;
}

BOOL CGIS_GridWizardFinish::OnSetActive() {
  if (const char* szText = md::layout::grid::GridWizardPageText(md::layout::grid::GridWizardType(this)))
    SetWindowText(szText);
  if (CPropertySheet* pSheet = GetSheet()) pSheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
  return CPropertyPage::OnSetActive();
}

LRESULT CGIS_GridWizardFinish::OnWizardBack() {
  switch (md::layout::grid::GridWizardType(this)) {
    case GIS_MAPGRID_GRATICULE:
    case GIS_MAPGRID_MEASURE:
      return IDD_GIS_GRID_WIZARD_AXES;
    case GIS_MAPGRID_INDEX:
      return IDD_GIS_GRID_WIZARD_INDEX2;
    default:
      return CPropertyPage::OnWizardBack();
  }
}

BOOL CGIS_GridWizardFinish::OnWizardFinish() {
  if (!UpdateData(TRUE)) return FALSE;
  return CPropertyPage::OnWizardFinish();
}

void CGIS_GridWizardFinish::OnBorder() {
  m_nBorder = m_nBorder == 0 ? 1 : 0;
  if (CWnd* pButton = GetDlgItem(IDC_GIS_GF_BORDER_SYMBOL)) pButton->EnableWindow(m_nBorder == 1);
}

void CGIS_GridWizardFinish::OnBorderSymbol() {
  md::layout::grid::ChooseHeldSymbol(&m_pBorderSymbol, GIS_CHOOSE_LINE, &g_nBorderSymbolState);
}
