// The slope rule's sheet: the slope page, the frame page on the element's
// frame property and the size-and-position page.
#pragma once

#include "layout/graphicelement/dialogs/cgis_elementpropertysheet.h"

class CGIS_SlopePage;
class CLayoutFrame;
class CSizeAndPosition;
class IGIS_SlopeElement;

enum { IDS_SLOPE_SHEET = 3053 };

class CGIS_SlopeSheet : public CGIS_ElementPropertySheet {
 public:
  // The frame and size pages follow the element's own when bWithCommonPages.
  CGIS_SlopeSheet(IGIS_SlopeElement* pElement, IGIS_Display* pDisplay, bool bWithCommonPages = true);

  CGIS_SlopePage* GetSlopePage() const { return m_pSlopePage; }

 private:
  CGIS_SlopePage* m_pSlopePage;
  CLayoutFrame* m_pFramePage = nullptr;  // with the shared pages only
  CSizeAndPosition* m_pSizePage = nullptr;
};
