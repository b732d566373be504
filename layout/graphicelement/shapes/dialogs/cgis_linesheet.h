// The polyline's sheet: the line-symbol page and the size-and-position page.
#pragma once

#include "layout/graphicelement/dialogs/cgis_elementpropertysheet.h"

class CGIS_LinePage;
class CSizeAndPosition;

enum { IDS_LINE_SHEET = 3024 };

class CGIS_LineSheet : public CGIS_ElementPropertySheet {
 public:
  CGIS_LineSheet(IGIS_Element* pElement, IGIS_Display* pContext);

  CGIS_LinePage* GetLinePage() const { return m_pLinePage; }
  CSizeAndPosition* GetSizePage() const { return m_pSizePage; }

 private:
  CGIS_LinePage* m_pLinePage;
  CSizeAndPosition* m_pSizePage;
};
