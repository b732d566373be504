// A scale bar that draws everything itself from the rectangle's lower-left
// corner, taking its Division as the page width of one division: a thin band
// under the whole bar, tall division marks and shorter subdivision marks
// (cutting the first division) standing on it, numbers counting 1000 per
// division away from a zero one division in from the left end, and the unit
// label at both ends. It does not convert into plain elements and does not
// lay itself out.
#pragma once

#include "layout/graphicelement/scalebar/cgis_doublefillscalebarbase.h"
#include "layout/graphicelement/scalebar/scalebarbodydraw.h"

class CGIS_TopoGraphicBar : public CGIS_DoubleFillScaleBarBase {
 public:
  // Binds to the feature, or makes a new one in the owner.
  CGIS_TopoGraphicBar(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  const char* GetType() override;
  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  // NULL: the bar has no plain-element form, so CanConvert answers false.
  IGIS_Element* ConvertToElement() override { return nullptr; }
  bool CanConvert() override { return false; }
  IGIS_Element* Clone() override;
  const char* GetDescription() override;
  // Nothing: the bar keeps the rectangle it is given.
  void Refresh() override {}

  // What the drawing draws, in page units.
  md::layout::detail::RulerLayout LayOut();

 protected:
  ~CGIS_TopoGraphicBar() override = default;
};
