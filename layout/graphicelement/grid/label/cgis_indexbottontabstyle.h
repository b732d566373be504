// The button tab style (GridLabelType 5): a separate cell-long rectangle per
// column or row along each side, each filled and outlined on its own, so
// that the four corner squares of the band stay empty; the column and row
// designations in their middles.
#pragma once

#include "layout/graphicelement/grid/label/cgis_indexgridtabstylebase.h"

class CGIS_IndexBottonTabStyle final : public CGIS_IndexGridTabStyleBase<IGIS_IndexGridTabStyle> {
 public:
  CGIS_IndexBottonTabStyle() = default;

  void Release() override { delete this; }
  IGIS_GridLabel* Clone() override { return CloneTabStyle(this, "CGIS_IndexBottonTabStyle::Clone"); }
  // The tabs on all four sides, then the designations of the visible sides.
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override {
    return DrawStyle(hdc, bPrint, pDisplay, "CGIS_IndexBottonTabStyle::OnDraw",
                     &md::layout::label::ButtonTabs);
  }
  int GetType() override { return GIS_GRIDLABEL_INDEX_BOTTON; }
  // The tabs as polygons and polylines, then the designations' compound.
  IGIS_Element* ConvertToElement() override {
    return ConvertStyle("CGIS_IndexBottonTabStyle::ConvertToElement", &md::layout::label::ButtonTabs);
  }

 private:
  ~CGIS_IndexBottonTabStyle() = default;
};
