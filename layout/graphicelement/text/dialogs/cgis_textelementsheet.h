// The text element's sheet: the content page and the size-and-position page.
#pragma once

#include "layout/graphicelement/dialogs/cgis_elementpropertysheet.h"

class CGIS_DlgElementText;
class CSizeAndPosition;

enum { IDS_TEXT_SHEET = 3010 };

class CGIS_TextElementSheet : public CGIS_ElementPropertySheet {
 public:
  CGIS_TextElementSheet(IGIS_Element* pElement, IGIS_Display* pDisplay);

  CGIS_DlgElementText* GetContentPage() const { return m_pContentPage; }
  CSizeAndPosition* GetSizePage() const { return m_pSizePage; }

 private:
  CGIS_DlgElementText* m_pContentPage;
  CSizeAndPosition* m_pSizePage;
};
