// The plain filled polygon of a layout page: a closed ring of points in its
// feature (kind 4), filled with the feature's fill symbol.
#pragma once

#include "layout/graphicelement/element/cgis_elementcore.h"
#include "layout/graphicelement/shapes/igis_polygonelement.h"

class CGIS_PolygonElement : public CGIS_ElementImpl<IGIS_PolygonElement> {
 public:
  // Binds to the feature, or makes a new one in the owner (either may be NULL).
  CGIS_PolygonElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

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
  ~CGIS_PolygonElement() override = default;
};
