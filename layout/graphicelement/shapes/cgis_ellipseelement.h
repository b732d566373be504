// The plain ellipse of a layout page, given by its bounding rectangle. Its
// feature (kind 16) holds the rectangle and the fill symbol, which is drawn
// through the renderer on the flattened outline.
#pragma once

#include "layout/graphicelement/shapes/cgis_boxshapeimpl.h"
#include "layout/graphicelement/shapes/igis_ellipseelement.h"

class CGIS_EllipseElement : public md::layout::shapes::CGIS_BoxShapeImpl<IGIS_EllipseElement> {
 public:
  // Binds to the feature, or makes a new one in the owner (either may be NULL).
  CGIS_EllipseElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  BOOL OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithCommonPages) override;
  IGIS_Element* Clone() override;

  IGIS_Symbol* GetSymbolPtr() override;
  void SetSymbolPtr(IGIS_Symbol* pSymbol) override;

 protected:
  ~CGIS_EllipseElement() override = default;
  bool FitSize(IGIS_Feature* pFeature, int w, int h, int& nWidth, int& nHeight) override;
  void WriteBox(IGIS_Geometry* pGeometry, SGIS_Rect rect) override { pGeometry->SetEllipse(rect, 0); }
};
