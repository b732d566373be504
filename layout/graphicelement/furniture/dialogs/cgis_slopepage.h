// The slope rule page: the number of slope lines, the spacing of the
// vertical lines, the contour interval, the gaps of the texts, and the four
// text symbols and two line symbols.
#pragma once

#include "platform/ui/controls.h"
#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_SlopeElement;

enum {
  IDD_SLOPE_PAGE = 3054,
  IDC_SLOPE_TITLE_GAP = 1002,
  IDC_SLOPE_ANGLE_GAP = 1003,
  IDC_SLOPE_AXIS_INTERVAL = 1004,
  IDC_SLOPE_LINE_NUMBER = 1010,
  IDC_SLOPE_CONTOUR_INTERVAL = 3075,
  IDC_SLOPE_PERCENT_GAP = 3077,
  IDC_SLOPE_DESCRIPTION_GAP = 3078,
  IDC_SLOPE_PERCENT_SYMBOL = 3069,
  IDC_SLOPE_AXIS_SYMBOL = 3070,
  IDC_SLOPE_TITLE_FONT = 3071,
  IDC_SLOPE_ANGLE_FONT = 3072,
  IDC_SLOPE_DESCRIPTION_FONT = 3073,
  IDC_SLOPE_LINE_SYMBOL = 3074,
};

class CGIS_SlopePage : public CPropertyPage {
 public:
  CGIS_SlopePage() : CGIS_SlopePage(nullptr, nullptr) {}
  CGIS_SlopePage(IGIS_SlopeElement* pElement, IGIS_Display* pDisplay);

  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnSetActive() override;
  // Writes the seven values and lays the rule out again.
  BOOL OnKillActive() override;
  BOOL OnApply() override;

  int m_nAngleGap = 0;              // 0.01 mm, 0..10000
  int m_nAxislineInterval = 0;      // 0.01 mm, 100..1000
  double m_dContourInterval = 0.0;  // metres, 0..100000
  int m_nSlopelineNumber = 0;       // 3..6
  int m_nPercentGap = 0;            // 0.01 mm, 0..100000
  int m_nTitleGap = 0;              // 0.01 mm, 0..50000
  int m_nGapDescription = 0;        // 0.01 mm, 0..10000

 private:
  void ReadElement();
  bool WriteElement();

  IGIS_SlopeElement* m_pElement;
  IGIS_Display* m_pDisplay;
  CEdit m_edits[7];
};
