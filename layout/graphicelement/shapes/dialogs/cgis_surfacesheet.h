// The sheet of the rectangle, ellipse and polygon: the fill-symbol page and
// the size-and-position page.
#pragma once

#include "layout/graphicelement/dialogs/cgis_elementpropertysheet.h"

class CGIS_SurfacePage;
class CSizeAndPosition;

enum { IDS_SURFACE_SHEET = 3026 };

class CGIS_SurfaceSheet : public CGIS_ElementPropertySheet {
 public:
  CGIS_SurfaceSheet(IGIS_Element* pElement, IGIS_Display* pContext);

  CGIS_SurfacePage* GetSurfacePage() const { return m_pSurfacePage; }
  CSizeAndPosition* GetSizePage() const { return m_pSizePage; }

 private:
  CGIS_SurfacePage* m_pSurfacePage;
  CSizeAndPosition* m_pSizePage;
};
