// The scale bar drawn as one stepped line, a square wave between the bar's
// base line and its top: one step per subdivision of the first division and
// per further division, under the marks and labels of the base.
#pragma once

#include <vector>

#include "layout/graphicelement/scalebar/cgis_scalelinebase.h"

class CGIS_SteppedScaleLine : public CGIS_ScaleLineBase {
 public:
  // Binds to the feature, or makes a new one in the owner.
  CGIS_SteppedScaleLine(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  const char* GetType() override;
  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  IGIS_Element* ConvertToElement() override;
  IGIS_Element* Clone() override;
  const char* GetDescription() override;
  void Refresh() override;

  // The stepped line's page points, two per step.
  std::vector<SGIS_Point> Outline();

 protected:
  ~CGIS_SteppedScaleLine() override = default;
};
