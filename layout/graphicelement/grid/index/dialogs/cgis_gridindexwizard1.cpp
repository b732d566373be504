#include "layout/graphicelement/grid/index/dialogs/cgis_gridindexwizard1.h"

#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/grid/grid/dialogs/symbolbutton.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/grid/index/dialogs/cgis_gridindexwizard2.h"
#include "platform/ui/app.h"

namespace {

// The grid wizard's start page.
constexpr LRESULT kWizardStartPage = 107;

constexpr int kMinCount = 1;
constexpr int kMaxCount = 20;
constexpr int kDefaultCount = 5;

// Remembered chooser states of the symbol button, one per symbol it edits.
int g_nLineSymbolState = 0;
int g_nMarkSymbolState = 0;

}  // namespace

CGIS_GridIndexWizard1::CGIS_GridIndexWizard1() : CPropertyPage(IDD_GIS_INDEX_WIZARD1) {
  MapClicked(IDC_GIS_IW_TABS_ONLY, [this] { m_nAppearance = GIS_GRIDLINE_NONE; });
  MapClicked(IDC_GIS_IW_LINES, [this] { m_nAppearance = GIS_GRIDLINE_LINES; });
  MapClicked(IDC_GIS_IW_MARKS, [this] { m_nAppearance = GIS_GRIDLINE_MARKS; });
  MapClicked(IDC_GIS_IW_SYMBOL, [this] { OnSymbol(); });
  MapEditFilter(this, IDC_GIS_IW_COLUMNS, &FilterUnsignedIntegerEdit);
  MapEditFilter(this, IDC_GIS_IW_ROWS, &FilterUnsignedIntegerEdit);
}

void CGIS_GridIndexWizard1::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Radio(pDX, IDC_GIS_IW_TABS_ONLY, m_nAppearance);
  DDX_Text(pDX, IDC_GIS_IW_COLUMNS, m_nColumnCount);
  DDV_MinMaxInt(pDX, m_nColumnCount, kMinCount, kMaxCount);
  DDX_Text(pDX, IDC_GIS_IW_ROWS, m_nRowCount);
  DDV_MinMaxInt(pDX, m_nRowCount, kMinCount, kMaxCount);
}

BOOL CGIS_GridIndexWizard1::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_nAppearance = GIS_GRIDLINE_NONE;
  m_nColumnCount = kDefaultCount;
  m_nRowCount = kDefaultCount;
  m_editColumns.SubclassDlgItem(IDC_GIS_IW_COLUMNS, this);
  m_editRows.SubclassDlgItem(IDC_GIS_IW_ROWS, this);
  m_spinColumns.SubclassDlgItem(IDC_GIS_IW_COLUMNS_SPIN, this);
  m_spinRows.SubclassDlgItem(IDC_GIS_IW_ROWS_SPIN, this);
  InitSpinButton(&m_editColumns, &m_spinColumns, kMinCount, kMaxCount, 10);
  InitSpinButton(&m_editRows, &m_spinRows, kMinCount, kMaxCount, 10);
  m_spinColumns.SetPos32(kDefaultCount);
  m_spinRows.SetPos32(kDefaultCount);
  m_pLineSymbol.reset(md::layout::grid::NewDefaultLineSymbol());
  m_pMarkSymbol.reset(md::layout::grid::NewDefaultMarkSymbol());
  UpdateData(FALSE);
  return TRUE;
}

BOOL CGIS_GridIndexWizard1::OnSetActive() {
  if (CPropertySheet* pSheet = GetSheet()) pSheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
  return CPropertyPage::OnSetActive();
}

LRESULT CGIS_GridIndexWizard1::OnWizardBack() { return kWizardStartPage; }

LRESULT CGIS_GridIndexWizard1::OnWizardNext() { return IDD_GIS_INDEX_WIZARD2; }

void CGIS_GridIndexWizard1::OnSymbol() {
  md::layout::grid::ChooseHeldGridLineSymbol(m_nAppearance, &m_pMarkSymbol, &m_pLineSymbol,
                                             &g_nMarkSymbolState, &g_nLineSymbolState);
}

namespace {
const md::ui::WindowClassRegistration<CGIS_GridIndexWizard1> g_class("CGIS_GridIndexWizard1");
}  // namespace
