// The plain filled polygon of a layout page: a closed ring of points in its
// feature (kind 4), filled with the feature's fill symbol.
#pragma once

#include "layout/graphicelement/shapes/cgis_vertexshapeimpl.h"
#include "layout/graphicelement/shapes/igis_polygonelement.h"

class CGIS_PolygonElement : public md::layout::shapes::CGIS_VertexShapeImpl<IGIS_PolygonElement> {
 public:
  // Binds to the feature, or makes a new one in the owner (either may be NULL).
  CGIS_PolygonElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  BOOL OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithCommonPages) override;
  IGIS_Element* Clone() override;

  IGIS_Symbol* GetSymbolPtr() override;
  void SetSymbolPtr(IGIS_Symbol* pSymbol) override;

 protected:
  ~CGIS_PolygonElement() override = default;
};
