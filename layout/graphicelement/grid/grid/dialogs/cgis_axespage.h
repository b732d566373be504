// The page "坐标轴" every grid's property sheet shows first: the major and
// minor ticks along the four sides (on or off per side, count, line symbol,
// length and whether they point into or out of the frame) and the kind of
// the grid's border band with its properties.
//
// The grid keeps a tick length signed (above 0 outside the frame, otherwise
// inside); the page shows it as a length and a direction.
#pragma once

#include "layout/graphicelement/grid/grid/dialogs/cgis_mapgridpage.h"
#include "platform/ui/cedit.h"
#include "platform/ui/cspinbuttonctrl.h"

enum {
  IDD_GIS_AXES_PAGE = 5056,
  IDC_GIS_AX_TICK_TOP = 5099,
  IDC_GIS_AX_TICK_RIGHT = 5105,
  IDC_GIS_AX_TICK_LEFT = 5102,
  IDC_GIS_AX_TICK_BOTTOM = 5107,
  IDC_GIS_AX_TICK_COUNT = 5139,
  IDC_GIS_AX_TICK_COUNT_SPIN = 5141,
  IDC_GIS_AX_TICK_SYMBOL = 5119,
  IDC_GIS_AX_TICK_INSIDE = 5222,
  IDC_GIS_AX_TICK_OUTSIDE = 5225,
  IDC_GIS_AX_TICK_LENGTH = 5122,
  IDC_GIS_AX_SUBTICK_TOP = 5127,
  IDC_GIS_AX_SUBTICK_RIGHT = 5132,
  IDC_GIS_AX_SUBTICK_LEFT = 5129,
  IDC_GIS_AX_SUBTICK_BOTTOM = 5135,
  IDC_GIS_AX_SUBTICK_COUNT = 5138,
  IDC_GIS_AX_SUBTICK_COUNT_SPIN = 5140,
  IDC_GIS_AX_SUBTICK_SYMBOL = 5150,
  IDC_GIS_AX_SUBTICK_INSIDE = 5228,
  IDC_GIS_AX_SUBTICK_OUTSIDE = 5231,
  IDC_GIS_AX_SUBTICK_LENGTH = 5157,
  IDC_GIS_AX_BORDER_KIND = 5344,
  IDC_GIS_AX_BORDER_PROPERTY = 5345,
};

class CGIS_AxesPage : public CGIS_MapGridPage {
 public:
  // One kind of tick (major or minor) as the page shows it.
  struct TickFields {
    // A side's box (0 or 1).
    int nTop = 0, nLeft = 0, nRight = 0, nBottom = 0;
    // 0 "在内部" (into the frame), 1 "在外部".
    int nDirection = 0;
    // The grid's tick division (major) or sub-tick count (minor).
    int nCount = 0;
    // As shown: never negative.
    double dLength = 0.0;
  };

  CGIS_AxesPage();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnApply() override;
  void DoDataExchange(CDataExchange* pDX) override;

  TickFields m_ticks;
  TickFields m_subTicks;

 private:
  // The lengths from the grid, split into length and direction.
  void LoadLengths();
  // Validates the fields and writes them into the grid; false (nothing
  // written) when one is refused.
  bool WriteGrid();
  // The kind selected in the list into the grid's border (at once, also
  // before the page is left).
  void WriteBorderKind();
  void OnBorderProperty();

  CEdit m_editTickCount, m_editSubTickCount;
  CSpinButtonCtrl m_spinTickCount, m_spinSubTickCount;
};
