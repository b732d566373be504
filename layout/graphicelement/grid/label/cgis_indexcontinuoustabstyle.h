// The continuous tab style (GridLabelType 6, the index grid's default): one
// band of tabs round the whole frame, neighbouring tabs sharing their edges
// and the two tabs at each frame corner cut along the corner's diagonal
// (a mitred band), the column and row designations in their middles.
#pragma once

#include "layout/graphicelement/grid/label/cgis_indexgridtabstylebase.h"

class CGIS_IndexContinuousTabStyle final : public CGIS_IndexGridTabStyleBase<IGIS_IndexGridTabStyle> {
 public:
  CGIS_IndexContinuousTabStyle() = default;

  void Release() override { delete this; }
  IGIS_GridLabel* Clone() override { return CloneTabStyle(this, "CGIS_IndexContinuousTabStyle::Clone"); }
  // The tabs on all four sides, then the designations of the visible sides.
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override {
    return DrawStyle(hdc, bPrint, pDisplay, "CGIS_IndexContinuousTabStyle::OnDraw",
                     &md::layout::label::ContinuousTabs);
  }
  int GetType() override { return GIS_GRIDLABEL_INDEX_CONTINUOUS; }
  // The tabs as polygons and polylines, then the designations' compound.
  IGIS_Element* ConvertToElement() override {
    return ConvertStyle("CGIS_IndexContinuousTabStyle::ConvertToElement", &md::layout::label::ContinuousTabs);
  }

 private:
  ~CGIS_IndexContinuousTabStyle() = default;
};
