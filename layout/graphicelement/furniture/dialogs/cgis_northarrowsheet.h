// The north arrow's sheet: the north arrow page, the frame page on the
// element's frame property and the size-and-position page.
#pragma once

#include "layout/graphicelement/dialogs/cgis_elementpropertysheet.h"

class CGIS_NorthArrow;
class CLayoutFrame;
class CSizeAndPosition;
class IGIS_NorthArrowElement;

enum { IDS_NORTHARROW_SHEET = 133 };

class CGIS_NorthArrowSheet : public CGIS_ElementPropertySheet {
 public:
  CGIS_NorthArrowSheet(IGIS_NorthArrowElement* pElement, IGIS_Display* pDisplay);

  CGIS_NorthArrow* GetArrowPage() const { return m_pArrowPage; }
  CLayoutFrame* GetFramePage() const { return m_pFramePage; }
  CSizeAndPosition* GetSizePage() const { return m_pSizePage; }

 private:
  CGIS_NorthArrow* m_pArrowPage;
  CLayoutFrame* m_pFramePage;
  CSizeAndPosition* m_pSizePage;
};
