// The number-format dialog.
#include "layout/graphicelement/dialogs/cgis_numericformatdlg.h"

#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "platform/ui/app.h"

CGIS_NumericFormatDlg::CGIS_NumericFormatDlg(CWnd* pParent) : CDialog(IDD_NUMERIC_FORMAT, pParent) {
  MapEditFilter(this, IDC_NUMFMT_WIDTH, &FilterUnsignedIntegerEdit);
  MapEditFilter(this, IDC_NUMFMT_DIGITS, &FilterUnsignedIntegerEdit);
}

void CGIS_NumericFormatDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_NUMFMT_DIGITS_SPIN, m_spinDigits);
  DDX_Control(pDX, IDC_NUMFMT_WIDTH_SPIN, m_spinWidth);
  DDX_Control(pDX, IDC_NUMFMT_DIGITS, m_editDigits);
  DDX_Control(pDX, IDC_NUMFMT_WIDTH, m_editWidth);
  DDX_Text(pDX, IDC_NUMFMT_WIDTH, m_nWidth);
  DDV_MinMaxInt(pDX, m_nWidth, 0, GIS_NUMERICFORMAT_MAX_WIDTH);
  DDX_Text(pDX, IDC_NUMFMT_DIGITS, m_nDigits);
  DDV_MinMaxInt(pDX, m_nDigits, 0, GIS_NUMERICFORMAT_MAX_DIGITS);
  DDX_Radio(pDX, IDC_NUMFMT_LEFT, m_nAlignment);
  DDX_Radio(pDX, IDC_NUMFMT_DECIMALS, m_nRoundingMode);
  DDX_Check(pDX, IDC_NUMFMT_PLUS, m_nPlusSign);
  DDX_Check(pDX, IDC_NUMFMT_SEPARATOR, m_nThousandsSeparator);
  DDX_Check(pDX, IDC_NUMFMT_ZEROS, m_nZeroPadding);
}

BOOL CGIS_NumericFormatDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_spinWidth.SetBuddy(&m_editWidth);
  m_spinWidth.SetRange(0, GIS_NUMERICFORMAT_MAX_WIDTH);
  m_spinDigits.SetBuddy(&m_editDigits);
  m_spinDigits.SetRange(0, GIS_NUMERICFORMAT_MAX_DIGITS);
  UpdateData(FALSE);
  return TRUE;
}

BOOL EditNumericFormat(IGIS_NumericFormat* pFormat) {
  if (pFormat == nullptr) return FALSE;
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CGIS_NumericFormatDlg dlg(nullptr);
  dlg.m_nWidth = pFormat->GetWidth();
  dlg.m_nDigits = pFormat->GetDigits();
  dlg.m_nAlignment = pFormat->GetAlignment();
  dlg.m_nRoundingMode = pFormat->GetRoundingMode();
  dlg.m_nPlusSign = pFormat->GetShowPlusSign() ? 1 : 0;
  dlg.m_nThousandsSeparator = pFormat->GetShowThousandsSeparator() ? 1 : 0;
  dlg.m_nZeroPadding = pFormat->GetZeroPadding() ? 1 : 0;
  if (dlg.DoModal() != IDOK) return FALSE;
  pFormat->SetWidth(dlg.m_nWidth);
  pFormat->SetDigits(dlg.m_nDigits);
  pFormat->SetAlignment(dlg.m_nAlignment);
  pFormat->SetRoundingMode(dlg.m_nRoundingMode);
  pFormat->SetShowPlusSign(dlg.m_nPlusSign == 1);
  pFormat->SetShowThousandsSeparator(dlg.m_nThousandsSeparator == 1);
  pFormat->SetZeroPadding(dlg.m_nZeroPadding == 1);
  return TRUE;
}
