// The fill-symbol page of the rectangle, ellipse and polygon sheets.
#pragma once

#include "layout/graphicelement/shapes/dialogs/cgis_shapesymbolpage.h"

enum {
  IDD_SURFACE_PAGE = 3028,
  IDC_SURFACE_PREVIEW = 3067,
  IDC_SURFACE_SYMBOL = 3064,
};

class CGIS_SurfacePage : public CGIS_ShapeSymbolPage {
 public:
  CGIS_SurfacePage(IGIS_Element* pElement, IGIS_Display* pContext);

 protected:
  IGIS_Symbol* GetSymbol() override;
  void SetSymbol(IGIS_Symbol* pChosen) override;
  // The whole preview frame as a closed ring, whatever the shape.
  std::vector<POINT> PreviewPoints(const RECT& rect) override;

 private:
  IGIS_Symbol* m_pSymbol = nullptr;  // the element's fill symbol as last read
};
