// The embedded-object element's sheet: the frame page, the size-and-position
// page and the object page, whose button opens the object in its server,
// where it is edited.
#pragma once

#include "layout/graphicelement/dialogs/cgis_elementpropertysheet.h"

class CLayoutFrame;
class CSizeAndPosition;
class CGIS_OleObjectPage;

enum { IDS_OLE_SHEET = 3086 };

class CGIS_OleSheet : public CGIS_ElementPropertySheet {
 public:
  // The frame page edits the element's own frame in place.
  CGIS_OleSheet(IGIS_Element* pElement, IGIS_Display* pDisplay);

  CLayoutFrame* GetFramePage() const { return m_pFramePage; }
  CSizeAndPosition* GetSizePage() const { return m_pSizePage; }
  CGIS_OleObjectPage* GetObjectPage() const { return m_pObjectPage; }

 private:
  CLayoutFrame* m_pFramePage;
  CSizeAndPosition* m_pSizePage;
  CGIS_OleObjectPage* m_pObjectPage;
};
