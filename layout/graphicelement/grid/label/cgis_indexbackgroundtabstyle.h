// The background tab style (GridLabelType 4): behind every designation a
// square box as wide as the band is deep, centred on its cell and reaching
// from the frame edge across the band, filled and outlined; the designations
// centred in the band. Its background type (round, rectangle, rounded
// rectangle) is chosen on its page, stored and copied; every type is drawn
// and converted as the square box.
#pragma once

#include "layout/graphicelement/grid/label/cgis_indexgridtabstylebase.h"
#include "layout/graphicelement/grid/label/igis_indexbackgroundtabstyle.h"

class CGIS_IndexBackGroundTabStyle final : public CGIS_IndexGridTabStyleBase<IGIS_IndexBackGroundTabStyle> {
 public:
  CGIS_IndexBackGroundTabStyle() = default;

  void Release() override { delete this; }
  // The tab keys with "BackgroundType" after the two offsets, then the
  // common keys.
  bool Save(IGIS_DataBuffer* pBuffer) override;
  // The same keys; a stored background type is taken as it is.
  bool Open(IGIS_DataBuffer* pBuffer) override;
  IGIS_GridLabel* Clone() override;
  // The boxes on all four sides, then the designations of the visible sides.
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override {
    return DrawStyle(hdc, bPrint, pDisplay, "CGIS_IndexBackGroundTabStyle::OnDraw",
                     &md::layout::label::BackgroundBoxes);
  }
  int GetType() override { return GIS_GRIDLABEL_INDEX_BACKGROUND; }
  // The boxes as polygons and polylines, then the designations' compound.
  IGIS_Element* ConvertToElement() override {
    return ConvertStyle("CGIS_IndexBackGroundTabStyle::ConvertToElement",
                        &md::layout::label::BackgroundBoxes);
  }

  int GetBackgroundType() override { return m_nBackgroundType; }
  void SetBackgroundType(int nType) override;
  IGIS_IndexBackGroundTabStyle* Copy(IGIS_IndexBackGroundTabStyle* pOther) override;

 private:
  ~CGIS_IndexBackGroundTabStyle() = default;

  int m_nBackgroundType = GIS_TABBACKGROUND_ROUND;
};
