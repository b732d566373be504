// The rounded tab style (GridLabelType 7): a separate tab per column or row,
// always outside the frame, its two outer corners cut off; the designations
// stand where the button style puts them, so they follow the inside flag
// while the tabs do not.
#pragma once

#include "layout/graphicelement/grid/label/cgis_indexgridtabstylebase.h"

class CGIS_IndexRoundedTabStyle final : public CGIS_IndexGridTabStyleBase<IGIS_IndexGridTabStyle> {
 public:
  CGIS_IndexRoundedTabStyle() = default;

  void Release() override { delete this; }
  IGIS_GridLabel* Clone() override { return CloneTabStyle(this, "CGIS_IndexRoundedTabStyle::Clone"); }
  // The tabs on all four sides, then the designations of the visible sides.
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override {
    return DrawStyle(hdc, bPrint, pDisplay, "CGIS_IndexRoundedTabStyle::OnDraw",
                     &md::layout::label::RoundedTabs);
  }
  int GetType() override { return GIS_GRIDLABEL_INDEX_ROUNDED; }
  // The tabs as polygons and polylines, then the designations' compound.
  IGIS_Element* ConvertToElement() override {
    return ConvertStyle("CGIS_IndexRoundedTabStyle::ConvertToElement", &md::layout::label::RoundedTabs);
  }

 private:
  ~CGIS_IndexRoundedTabStyle() = default;
};
