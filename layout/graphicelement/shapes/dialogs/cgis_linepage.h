// The line-symbol page of the polyline sheet.
#pragma once

#include "layout/graphicelement/shapes/dialogs/cgis_shapesymbolpage.h"

enum {
  IDD_LINE_PAGE = 3025,
  IDC_LINE_SYMBOL = 1071,
  IDC_LINE_PREVIEW = 3066,
};

class CGIS_LinePage : public CGIS_ShapeSymbolPage {
 public:
  // A page with no element: it paints nothing and its button does nothing.
  CGIS_LinePage() : CGIS_LinePage(nullptr, nullptr) {}
  CGIS_LinePage(IGIS_Element* pElement, IGIS_Display* pContext);

 protected:
  IGIS_Symbol* GetSymbol() override;
  void SetSymbol(IGIS_Symbol* pChosen) override;
  // A horizontal stroke on the middle line, 2 pixels inside either end.
  std::vector<POINT> PreviewPoints(const RECT& rect) override;
};
