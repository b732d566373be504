// The plainest scale bar: one straight line as long as all its divisions,
// along the bar's base line, under the marks and labels of the base. Its
// height is 0 and stays so.
#pragma once

#include "layout/graphicelement/scalebar/cgis_scalelinebase.h"

class CGIS_ScaleLine : public CGIS_ScaleLineBase {
 public:
  // Binds to the feature, or makes a new one in the owner.
  CGIS_ScaleLine(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  const char* GetType() override;
  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  IGIS_Element* ConvertToElement() override;
  IGIS_Element* Clone() override;
  const char* GetDescription() override;
  void Refresh() override;

  // The line's two page points; bConverted lifts it by half the bar height
  // (0 unless a stored height was read), as the conversion places it.
  void LineEnds(SGIS_Point* pFrom, SGIS_Point* pTo, bool bConverted);

 protected:
  ~CGIS_ScaleLine() override = default;
};
