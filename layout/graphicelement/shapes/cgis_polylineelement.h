// The open line of two or more vertices of a layout page, kept in its feature
// (kind 2) and stroked with the feature's line symbol.
#pragma once

#include "layout/graphicelement/shapes/cgis_vertexshapeimpl.h"
#include "layout/graphicelement/shapes/igis_polylineelement.h"

class CGIS_PolylineElement : public md::layout::shapes::CGIS_VertexShapeImpl<IGIS_PolylineElement> {
 public:
  // Binds to the feature, or makes a new one in the owner (either may be NULL).
  CGIS_PolylineElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  BOOL OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithCommonPages) override;
  IGIS_Element* Clone() override;

  IGIS_Symbol* GetSymbolPtr() override;
  void SetSymbolPtr(IGIS_Symbol* pSymbol) override;

 protected:
  ~CGIS_PolylineElement() override = default;
};
