// The three-north diagram's sheet: the three-north page, the frame page on
// the element's frame property and the size-and-position page.
#pragma once

#include "layout/graphicelement/dialogs/cgis_elementpropertysheet.h"

class CGIS_ThreeNorth;
class CLayoutFrame;
class CSizeAndPosition;
class IGIS_ThreeNorthElement;

enum { IDS_THREENORTH_SHEET = 3030 };

class CGIS_ThreeNorthSheet : public CGIS_ElementPropertySheet {
 public:
  // The frame and size pages follow the element's own when bWithCommonPages.
  CGIS_ThreeNorthSheet(IGIS_ThreeNorthElement* pElement, IGIS_Display* pDisplay,
                       bool bWithCommonPages = true);

 private:
  CGIS_ThreeNorth* m_pThreeNorthPage;
  CLayoutFrame* m_pFramePage = nullptr;  // with the shared pages only
  CSizeAndPosition* m_pSizePage = nullptr;
};
