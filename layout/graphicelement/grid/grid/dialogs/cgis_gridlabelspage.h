// The page "标注" of every grid's property sheet: on which sides the grid's
// labels stand, which kind of label the grid carries (among the kinds that
// suit it), the label's text symbol and its offsets per side. Choosing
// another kind replaces the grid's label at once; "附加的特性..." opens the
// label's own dialog.
#pragma once

#include "layout/graphicelement/grid/grid/dialogs/cgis_mapgridpage.h"

enum {
  IDD_GIS_GRIDLABELS_PAGE = 5053,
  IDC_GIS_LB_LEFT = 5090,
  IDC_GIS_LB_TOP = 5079,
  IDC_GIS_LB_RIGHT = 5093,
  IDC_GIS_LB_BOTTOM = 5096,
  IDC_GIS_LB_KIND = 5251,
  IDC_GIS_LB_PROPERTIES = 5257,
  IDC_GIS_LB_TEXT_SYMBOL = 3109,
  // The hidden per-side vertical boxes, carried through unchanged.
  IDC_GIS_LB_VERTICAL_TOP = 5363,
  IDC_GIS_LB_VERTICAL_RIGHT = 5364,
  IDC_GIS_LB_VERTICAL_LEFT = 5365,
  IDC_GIS_LB_VERTICAL_BOTTOM = 5366,
  IDC_GIS_LB_LEFT_X = 1002,
  IDC_GIS_LB_LEFT_Y = 1003,
  IDC_GIS_LB_TOP_X = 1004,
  IDC_GIS_LB_TOP_Y = 1005,
  IDC_GIS_LB_RIGHT_X = 1006,
  IDC_GIS_LB_RIGHT_Y = 1007,
  IDC_GIS_LB_BOTTOM_X = 1008,
  IDC_GIS_LB_BOTTOM_Y = 1009,
};

class CGIS_GridLabelsPage : public CGIS_MapGridPage {
 public:
  // One side's box, vertical box and offsets as the page shows them.
  struct SideFields {
    int nShown = 0;
    int nVertical = 0;
    int nOffsetX = 0;
    int nOffsetY = 0;
  };

  CGIS_GridLabelsPage();

  // FALSE without a grid or for a grid kind that has no label kinds.
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnApply() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // The chooser on the label's text symbol (kind text); without a label a
  // level-3 record.
  void OnLabelsPageTextsymbol();

  SideFields m_left, m_top, m_right, m_bottom;

 private:
  // Empties the kind list, fills it with the grid kind's label kinds and
  // selects the label's; false for a grid kind that has none.
  bool FillKinds();
  // Validates the fields and writes the sides into the grid and the rest
  // into its label; false (nothing written) when a field is refused.
  bool WriteGrid();
  // Replaces the grid's label by a new one of the kind chosen in the list.
  void OnKindChosen();
  void OnLabelProperties();
};
