// The page "DMS标注", the one page of the degrees-minutes-seconds label's
// dialog: whether the labels show minutes and seconds, the standard or the
// stacked display with the font of its minutes and seconds, and the
// decimal places. It edits the label in place: the font at once, the rest
// when the page is left and on Apply.
#pragma once

#include "platform/ui/cedit.h"
#include "platform/ui/cspinbuttonctrl.h"
#include "platform/ui/propsheet.h"

class IGIS_DMSGridLabel;

enum {
  IDD_GIS_DMSLABEL_PAGE = 5074,
  IDC_GIS_DMS_TYPE = 5272,
  IDC_GIS_DMS_GROUP = 5285,
  IDC_GIS_DMS_MINUTES = 5274,
  IDC_GIS_DMS_SECONDS = 5275,
  IDC_GIS_DMS_FONT = 5284,
  IDC_GIS_DMS_DECIMALS = 3153,
  IDC_GIS_DMS_DECIMALS_SPIN = 3154,
  // Kept hidden and never read.
  IDC_GIS_DMS_HIDDEN_FONT = 5295,
  IDC_GIS_DMS_HIDDEN_DECIMAL_PLACES = 3151,
  IDC_GIS_DMS_HIDDEN_SIGNIFICANT = 3152,
  IDC_GIS_DMS_HIDDEN_ZEROS = 3076,
};

class CGIS_DMSLabelPage : public CPropertyPage {
 public:
  CGIS_DMSLabelPage();

  // The decimals' up-down, with a label; TRUE exactly when a label is set.
  BOOL OnInitDialog() override;
  // Reads the label; refused (with a level-3 record) without one.
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnApply() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // The label the page edits (not owned); NULL until its dialog sets it.
  IGIS_DMSGridLabel* m_pDMSGridLabel = nullptr;

  int m_nShowMinutes = 0;
  int m_nShowSeconds = 0;
  // GIS_DMSLABEL_*: the list's entry.
  int m_nLabelType = 0;
  // 0 to 10.
  int m_nDecimals = 0;

 private:
  // Validates and writes the label; false (nothing written) when a field is
  // refused.
  bool WriteLabel();
  // The font button is usable for the stacked display only.
  void EnableFont(bool bStacked);
  void OnFont();

  CEdit m_editDecimals;
  CSpinButtonCtrl m_spinDecimals;
};
