// The point element's sheet: the point page and the size-and-position page.
#pragma once

#include "layout/graphicelement/dialogs/cgis_elementpropertysheet.h"

class CGIS_PointPage;
class CSizeAndPosition;

enum { IDS_POINT_SHEET = 3022 };

class CGIS_PointSheet : public CGIS_ElementPropertySheet {
 public:
  CGIS_PointSheet(IGIS_Element* pElement, IGIS_Display* pContext);

  CGIS_PointPage* GetPointPage() const { return m_pPointPage; }
  CSizeAndPosition* GetSizePage() const { return m_pSizePage; }

 private:
  CGIS_PointPage* m_pPointPage;
  CSizeAndPosition* m_pSizePage;
};
