// The plain ellipse of a layout page, given by its bounding rectangle. Its
// feature (kind 16) holds the rectangle and the fill symbol, which is drawn
// through the renderer on the flattened outline.
#pragma once

#include "layout/graphicelement/element/cgis_elementcore.h"
#include "layout/graphicelement/shapes/igis_ellipseelement.h"

class CGIS_EllipseElement : public CGIS_ElementImpl<IGIS_EllipseElement> {
 public:
  // Binds to the feature, or makes a new one in the owner (either may be NULL).
  CGIS_EllipseElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  const char* GetType() override;
  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  BOOL OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithCommonPages) override;
  bool CanConvert() override { return false; }
  void SetRect(SGIS_Rect rect) override;
  SGIS_Rect GetRect() override;
  IGIS_Element* ConvertToElement() override { return nullptr; }
  void SetWidthAndHeight(int nWidth, int nHeight) override;
  void OffsetAllPoints(int dx, int dy) override;
  void ScaleShape(SGIS_Point origin, double sx, double sy) override;
  void SetLBpoint(SGIS_Point point) override;
  IGIS_Element* Clone() override;
  const char* GetDescription() override;

  IGIS_Symbol* GetSymbolPtr() override;
  void SetSymbolPtr(IGIS_Symbol* pSymbol) override;

 protected:
  ~CGIS_EllipseElement() override = default;

 private:
  void CommitEllipse(IGIS_Feature* pFeature, SGIS_Rect rect);
};
