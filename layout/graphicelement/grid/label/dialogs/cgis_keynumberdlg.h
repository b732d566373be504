// The dialog "关键数字": how many key and base digits a kilometre grid's
// label would write, and the suffixes after the unit, the easting and the
// northing. Nothing in the library opens it and no grid or label takes its
// values yet; its font button does nothing.
#pragma once

#include <string>

#include "platform/ui/dialog.h"

enum {
  IDD_GIS_KEYNUMBER = 108,
  IDC_GIS_KN_FONT = 5498,
  IDC_GIS_KN_KEY_DIGITS = 5499,
  IDC_GIS_KN_KEY_DIGITS_SPIN = 5500,
  IDC_GIS_KN_BASE_DIGITS = 5501,
  IDC_GIS_KN_BASE_DIGITS_SPIN = 5502,
  IDC_GIS_KN_UNIT_SUFFIX = 5507,
  IDC_GIS_KN_EASTING_SUFFIX = 5508,
  IDC_GIS_KN_NORTHING_SUFFIX = 5509,
};

class CGIS_KeyNumberDlg : public CDialog {
 public:
  explicit CGIS_KeyNumberDlg(CWnd* pParent = nullptr);

  void DoDataExchange(CDataExchange* pDX) override;

  // 0 to 20 each.
  int m_nKeyDigits = 0;
  int m_nBaseDigits = 0;
  std::string m_strUnitSuffix;
  std::string m_strEastingSuffix;
  std::string m_strNorthingSuffix;
};
