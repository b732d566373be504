// The calibrated-border dialog: the fill and no-fill symbols, the width and
// the bar length of a calibrated band, and whether it is drawn as two half
// bands that alternate against each other. It edits either a grid's border
// or a calibrated map border (the map border when both are given), writing
// the symbols at once and the numbers on OK; the caller keeps a copy of the
// object from before and puts it back unless the dialog ends with OK.
#pragma once

#include "platform/ui/cedit.h"
#include "platform/ui/cspinbuttonctrl.h"
#include "platform/ui/dialog.h"

class IGIS_MapBorderCalibrated;
class IGIS_MapGridBorder;

enum {
  IDD_GIS_CALIBRATEDBORDER = 5124,
  IDC_GIS_CB_FILL_SYMBOL = 3071,
  IDC_GIS_CB_NOFILL_SYMBOL = 3072,
  IDC_GIS_CB_WIDTH = 5348,
  IDC_GIS_CB_WIDTH_SPIN = 5349,
  IDC_GIS_CB_INTERVAL = 5350,
  IDC_GIS_CB_INTERVAL_SPIN = 5351,
  IDC_GIS_CB_ALTERNATING = 3076,
};

class CGIS_CalibratedBorderDlg : public CDialog {
 public:
  explicit CGIS_CalibratedBorderDlg(CWnd* pParent = nullptr);

  // Reads the object's values; FALSE (nothing read, the up-downs left
  // alone) when neither object is set.
  BOOL OnInitDialog() override;
  // Writes interval, width and the double style once they are in range.
  void OnOK() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // The objects to edit, not owned; set before DoModal.
  IGIS_MapGridBorder* m_pMapGridBorder = nullptr;
  IGIS_MapBorderCalibrated* m_pMapBorder = nullptr;

  int m_nWidth = 0;     // 0.01 mm
  int m_nInterval = 0;  // 0.01 mm
  int m_nAlternating = 0;

 private:
  void OnSymbol(bool bFill);

  CEdit m_editWidth, m_editInterval;
  CSpinButtonCtrl m_spinWidth, m_spinInterval;
};
