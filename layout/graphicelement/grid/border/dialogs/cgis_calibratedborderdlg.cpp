#include "layout/graphicelement/grid/border/dialogs/cgis_calibratedborderdlg.h"

#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/grid/border/igis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/grid/dialogs/gridbordereditor.h"
#include "layout/graphicelement/grid/grid/dialogs/symbolbutton.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"

namespace {
// Remembered chooser states of the fill and no-fill buttons.
int g_nFillState = 0;
int g_nNoFillState = 0;
constexpr int kMaxValue = 1000000;

// The grid axes page's editor of a calibrated grid border: this dialog on it.
bool EditCalibratedGridBorder(IGIS_MapGridBorder* pBorder) {
  CGIS_CalibratedBorderDlg dlg;
  dlg.m_pMapGridBorder = pBorder;
  return dlg.DoModal() == IDOK;
}

const struct Registration {
  Registration() { md::layout::grid::SetGridBorderEditor(&EditCalibratedGridBorder); }
} g_registration;

}  // namespace

CGIS_CalibratedBorderDlg::CGIS_CalibratedBorderDlg(CWnd* pParent)
    : CDialog(IDD_GIS_CALIBRATEDBORDER, pParent) {
  MapClicked(IDC_GIS_CB_FILL_SYMBOL, [this] { OnSymbol(true); });
  MapClicked(IDC_GIS_CB_NOFILL_SYMBOL, [this] { OnSymbol(false); });
  MapEditFilter(this, IDC_GIS_CB_WIDTH, &FilterUnsignedIntegerEdit);
  MapEditFilter(this, IDC_GIS_CB_INTERVAL, &FilterUnsignedIntegerEdit);
}

void CGIS_CalibratedBorderDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_GIS_CB_WIDTH, m_nWidth);
  DDV_MinMaxInt(pDX, m_nWidth, 1, kMaxValue);
  DDX_Text(pDX, IDC_GIS_CB_INTERVAL, m_nInterval);
  DDV_MinMaxInt(pDX, m_nInterval, 1, kMaxValue);
  DDX_Check(pDX, IDC_GIS_CB_ALTERNATING, m_nAlternating);
}

BOOL CGIS_CalibratedBorderDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (m_pMapBorder != nullptr) {
    m_nInterval = m_pMapBorder->GetInterval();
    m_nWidth = m_pMapBorder->GetBorderWidth();
    m_nAlternating = m_pMapBorder->GetAlternating() ? 1 : 0;
  } else if (m_pMapGridBorder != nullptr) {
    m_nInterval = m_pMapGridBorder->GetInterval();
    m_nWidth = m_pMapGridBorder->GetBorderWidth();
    m_nAlternating = m_pMapGridBorder->GetAlternating() ? 1 : 0;
  } else {
    return FALSE;
  }
  m_editWidth.SubclassDlgItem(IDC_GIS_CB_WIDTH, this);
  m_editInterval.SubclassDlgItem(IDC_GIS_CB_INTERVAL, this);
  m_spinWidth.SubclassDlgItem(IDC_GIS_CB_WIDTH_SPIN, this);
  m_spinInterval.SubclassDlgItem(IDC_GIS_CB_INTERVAL_SPIN, this);
  InitSpinButton(&m_editInterval, &m_spinInterval, 1, kMaxValue, 10);
  InitSpinButton(&m_editWidth, &m_spinWidth, 1, kMaxValue, 10);
  UpdateData(FALSE);
  return TRUE;
}

void CGIS_CalibratedBorderDlg::OnSymbol(bool bFill) {
  using md::layout::grid::ChooseSymbol;
  int* pState = bFill ? &g_nFillState : &g_nNoFillState;
  if (IGIS_MapBorderCalibrated* pBorder = m_pMapBorder) {
    ChooseSymbol(bFill ? pBorder->GetBackgroundSymbolPtr() : pBorder->GetForegroundSymbolPtr(),
                 GIS_CHOOSE_FILL, pState, [pBorder, bFill](IGIS_Symbol* pFill) {
                   bFill ? pBorder->SetBackgroundSymbolPtr(pFill) : pBorder->SetForegroundSymbolPtr(pFill);
                 });
  } else if (IGIS_MapGridBorder* pGridBorder = m_pMapGridBorder) {
    ChooseSymbol(bFill ? pGridBorder->GetBackgroundSymbol() : pGridBorder->GetForegroundSymbol(),
                 GIS_CHOOSE_FILL, pState, [pGridBorder, bFill](IGIS_Symbol* pFill) {
                   bFill ? pGridBorder->SetBackgroundSymbolPtr(pFill)
                         : pGridBorder->SetForegroundSymbolPtr(pFill);
                 });
  } else {
    ChooseSymbol(nullptr, GIS_CHOOSE_FILL, pState, [](IGIS_Symbol*) {});
  }
}

void CGIS_CalibratedBorderDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  if (m_pMapBorder != nullptr) {
    m_pMapBorder->SetInterval(m_nInterval);
    m_pMapBorder->SetBorderWidth(m_nWidth);
    m_pMapBorder->SetAlternating(m_nAlternating == 1);
  } else if (m_pMapGridBorder != nullptr) {
    m_pMapGridBorder->SetInterval(m_nInterval);
    m_pMapGridBorder->SetBorderWidth(m_nWidth);
    m_pMapGridBorder->SetAlternating(m_nAlternating == 1);
  }
  EndDialog(IDOK);
}
