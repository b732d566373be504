// The dialog "数字格式": seven plain settings of a numeric format (rounding,
// digits, alignment, field width, plus sign, thousands separators, zero
// padding). The dialog never touches a format; EditNumericFormat is the one
// way openers run it on a format.
#pragma once

#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"

class IGIS_NumericFormat;

enum {
  IDD_NUMERIC_FORMAT = 132,
  IDC_NUMFMT_DECIMALS = 1004,
  IDC_NUMFMT_SIGNIFICANT = 1005,
  IDC_NUMFMT_DIGITS = 1002,
  IDC_NUMFMT_DIGITS_SPIN = 1007,
  IDC_NUMFMT_LEFT = 1008,
  IDC_NUMFMT_RIGHT = 1009,
  IDC_NUMFMT_WIDTH = 1010,
  IDC_NUMFMT_WIDTH_SPIN = 3014,
  IDC_NUMFMT_SEPARATOR = 1011,
  IDC_NUMFMT_ZEROS = 1012,
  IDC_NUMFMT_PLUS = 1013,
};

class CGIS_NumericFormatDlg : public CDialog {
 public:
  explicit CGIS_NumericFormatDlg(CWnd* pParent = nullptr);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

  CSpinButtonCtrl m_spinDigits;
  CSpinButtonCtrl m_spinWidth;
  CEdit m_editDigits;
  CEdit m_editWidth;

  int m_nWidth = 0;         // 0..50 characters
  int m_nDigits = 0;        // 0..10
  int m_nAlignment = 0;     // 0 left, 1 right
  int m_nRoundingMode = 0;  // 0 decimal places, 1 significant digits
  int m_nPlusSign = 0;      // 0 or 1
  int m_nThousandsSeparator = 0;
  int m_nZeroPadding = 0;
};

// Runs the dialog on the format's seven settings and, only when the user
// confirmed, writes them back. TRUE when the format was written; a NULL
// format shows nothing.
BOOL EditNumericFormat(IGIS_NumericFormat* pFormat);
