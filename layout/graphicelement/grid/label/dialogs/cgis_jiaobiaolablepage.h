// The page "拐角标注": at which corners of the frame a kilometre grid's
// label would write the whole coordinate value. No sheet of the library
// shows it and no grid or label takes its flags yet; it is made by its
// class name.
#pragma once

#include "platform/ui/propsheet.h"

enum {
  IDD_GIS_CORNERLABEL_PAGE = 109,
  IDC_GIS_CL_UPPER_LEFT = 5503,
  IDC_GIS_CL_UPPER_RIGHT = 5504,
  IDC_GIS_CL_LOWER_LEFT = 5505,
  IDC_GIS_CL_LOWER_RIGHT = 5506,
};

class CGIS_JiaoBiaoLablePage : public CPropertyPage {
 public:
  CGIS_JiaoBiaoLablePage();

  void DoDataExchange(CDataExchange* pDX) override;

  // 1 where the corner's box is ticked.
  int m_nLowerLeft = 0;
  int m_nUpperLeft = 0;
  int m_nLowerRight = 0;
  int m_nUpperRight = 0;
};
