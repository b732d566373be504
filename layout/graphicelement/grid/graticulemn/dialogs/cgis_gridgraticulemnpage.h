// The last page of the sheet "经纬网(行列数固定)属性": what the graticule of
// fixed rows and columns draws (nothing of its own lines, grid lines, or
// marks at the crossings) with the symbol for it, and how many columns and
// rows divide the frame. The symbol reaches the grid at once; the rest when
// the page is left or applied.
#pragma once

#include "layout/graphicelement/grid/graticulemn/dialogs/graticulemnpages.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_mapgridpage.h"

enum {
  IDD_GIS_GRATICULEMN_PAGE = 3026,
  IDC_GIS_MP_COLUMNS_SPIN = 3181,
  IDC_GIS_MP_NONE = 3183,
  IDC_GIS_MP_LINES = 3184,
  IDC_GIS_MP_MARKS = 3185,
  IDC_GIS_MP_SYMBOL = 3186,
  IDC_GIS_MP_COLUMNS = 3187,
  IDC_GIS_MP_ROWS = 3188,
  IDC_GIS_MP_ROWS_SPIN = 3189,
};

class IGIS_GraticuleMNGrid;

class CGIS_GridGraticuleMNPage : public CGIS_MapGridPage {
 public:
  CGIS_GridGraticuleMNPage();

  BOOL OnInitDialog() override;
  // Refused (with a record) without a graticule of fixed rows and columns.
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnApply() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // The grid's line type: 0 none, 1 lines, 2 marks.
  int m_nAppearance = -1;

 private:
  IGIS_GraticuleMNGrid* Graticule(const char* szMethod) const;
  // Validates and writes the grid; false (nothing written) when a field is
  // refused.
  bool WriteGrid();
  // The marker with marks, the line symbol with lines; nothing otherwise.
  void OnSymbol();

  md::layout::graticulemn::CountFields m_counts;
};
