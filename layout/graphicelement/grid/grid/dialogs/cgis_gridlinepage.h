// The page "线条": whether the grid draws nothing of its own lines, its
// lines, or a marker at each line crossing, and the line or marker symbol
// for it.
#pragma once

#include "layout/graphicelement/grid/grid/dialogs/cgis_mapgridpage.h"

enum {
  IDD_GIS_GRIDLINE_PAGE = 5019,
  IDC_GIS_GL_NONE = 5245,
  IDC_GIS_GL_LINES = 5240,
  IDC_GIS_GL_MARKS = 5243,
  IDC_GIS_GL_SYMBOL = 5075,
};

class CGIS_GridLinePage : public CGIS_MapGridPage {
 public:
  CGIS_GridLinePage();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnApply() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // The grid's line type (GIS_GRIDLINE_*), as the index of the radio group.
  int m_nLineType = 0;

 private:
  // Validates and writes the line type; false when the fields are refused.
  bool WriteGrid();
  void OnLineType(int nType);
  // The line symbol with lines, the marker with marks; nothing otherwise.
  void OnSymbol();
};
