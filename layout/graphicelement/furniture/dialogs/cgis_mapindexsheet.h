// The map index's sheet: the names page, the symbols page, the frame page on
// the element's frame property and the size-and-position page.
#pragma once

#include "layout/graphicelement/dialogs/cgis_elementpropertysheet.h"

class CGIS_MapIndexDlg;
class CGIS_MapIndexSymbolDlg;
class CLayoutFrame;
class CSizeAndPosition;
class IGIS_MapIndexElement;

enum { IDS_MAPINDEX_SHEET = 3047 };

class CGIS_MapIndexSheet : public CGIS_ElementPropertySheet {
 public:
  CGIS_MapIndexSheet(IGIS_MapIndexElement* pElement, IGIS_Display* pDisplay);

 private:
  CGIS_MapIndexDlg* m_pNamesPage;
  CGIS_MapIndexSymbolDlg* m_pSymbolPage;
  CLayoutFrame* m_pFramePage;
  CSizeAndPosition* m_pSizePage;
};
