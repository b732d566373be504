#include "layout/graphicelement/grid/label/dialogs/cgis_keynumberdlg.h"

namespace {
constexpr int kMaxDigits = 20;
}  // namespace

CGIS_KeyNumberDlg::CGIS_KeyNumberDlg(CWnd* pParent) : CDialog(IDD_GIS_KEYNUMBER, pParent) {}

void CGIS_KeyNumberDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_GIS_KN_KEY_DIGITS, m_nKeyDigits);
  DDV_MinMaxInt(pDX, m_nKeyDigits, 0, kMaxDigits);
  DDX_Text(pDX, IDC_GIS_KN_BASE_DIGITS, m_nBaseDigits);
  DDV_MinMaxInt(pDX, m_nBaseDigits, 0, kMaxDigits);
  DDX_Text(pDX, IDC_GIS_KN_UNIT_SUFFIX, m_strUnitSuffix);
  DDX_Text(pDX, IDC_GIS_KN_EASTING_SUFFIX, m_strEastingSuffix);
  DDX_Text(pDX, IDC_GIS_KN_NORTHING_SUFFIX, m_strNorthingSuffix);
}
