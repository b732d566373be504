// The plain filled rectangle of a layout page. Its feature (kind 1024) holds the
// closed five-point ring and the fill symbol; the element keeps only the
// common flags, order and name.
#pragma once

#include "layout/graphicelement/shapes/cgis_boxshapeimpl.h"
#include "layout/graphicelement/shapes/igis_rectelement.h"

class CGIS_RectElement : public md::layout::shapes::CGIS_BoxShapeImpl<IGIS_RectElement> {
 public:
  // Binds to the feature, or makes a new one in the owner (either may be NULL).
  CGIS_RectElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  BOOL OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithCommonPages) override;
  void SetRect(SGIS_Rect rect) override;
  SGIS_Rect GetRect() override;
  IGIS_Element* Clone() override;

  IGIS_Symbol* GetSymbolPtr() override;
  void SetSymbolPtr(IGIS_Symbol* pSymbol) override;

 protected:
  ~CGIS_RectElement() override = default;
};
