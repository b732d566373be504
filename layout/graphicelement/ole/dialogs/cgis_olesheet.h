// The embedded-object element's sheet: the frame page and the
// size-and-position page. The object itself is not edited here.
#pragma once

#include "layout/graphicelement/dialogs/cgis_elementpropertysheet.h"

class CLayoutFrame;
class CSizeAndPosition;

enum { IDS_OLE_SHEET = 3086 };

class CGIS_OleSheet : public CGIS_ElementPropertySheet {
 public:
  // The frame page edits the element's own frame in place.
  CGIS_OleSheet(IGIS_Element* pElement, IGIS_Display* pDisplay);

  CLayoutFrame* GetFramePage() const { return m_pFramePage; }
  CSizeAndPosition* GetSizePage() const { return m_pSizePage; }

 private:
  CLayoutFrame* m_pFramePage;
  CSizeAndPosition* m_pSizePage;
};
