// The scale bar drawn as two rows of cells, a lower and an upper half, in a
// checkerboard of its two fills that starts with the first fill at the lower
// left: the first division cut into its subdivisions, then one column per
// further division.
#pragma once

#include <vector>

#include "layout/graphicelement/scalebar/cgis_doublefillscalebarbase.h"

class IGIS_Element;

class CGIS_DoubleAlternatingScaleBar : public CGIS_DoubleFillScaleBarBase {
 public:
  // Binds to the feature, or makes a new one in the owner.
  CGIS_DoubleAlternatingScaleBar(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  const char* GetType() override;
  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  IGIS_Element* ConvertToElement() override;
  IGIS_Element* Clone() override;
  const char* GetDescription() override;
  void Refresh() override;

  // Adds a rectangle element with the fill to the compound, its feature
  // committed; FALSE (level-3 record) without a compound or its owner, FALSE
  // when the element cannot be made or committed.
  bool AddRectElement(IGIS_Element* pCompound, IGIS_Symbol* pSymbol, SGIS_Rect rect);

  // One cell: its page rectangle and whether it takes the first fill.
  struct Cell {
    SGIS_Rect rect;
    bool bFirstFill = true;
  };
  // The cells in drawing order: per column, the lower cell, then the upper.
  std::vector<Cell> LayOutCells();

 protected:
  ~CGIS_DoubleAlternatingScaleBar() override = default;
};
