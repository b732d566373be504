// The scale bar whose divisions are one row of cells filled alternately with
// its two fills: the first division cut into its subdivisions, then one
// cell per further division, starting with the first fill at the left end.
#pragma once

#include <vector>

#include "layout/graphicelement/scalebar/cgis_doublefillscalebarbase.h"

class CGIS_AlternatingScaleBar : public CGIS_DoubleFillScaleBarBase {
 public:
  // Binds to the feature, or makes a new one in the owner.
  CGIS_AlternatingScaleBar(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  const char* GetType() override;
  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  IGIS_Element* ConvertToElement() override;
  IGIS_Element* Clone() override;
  const char* GetDescription() override;
  void Refresh() override;

  // One cell of the bar body: its page rectangle and which fill it takes.
  struct Cell {
    SGIS_Rect rect;
    bool bFirstFill = true;
  };
  // The cells in drawing order (subdivisions, then whole divisions).
  std::vector<Cell> LayOutCells();

 protected:
  ~CGIS_AlternatingScaleBar() override = default;
};
