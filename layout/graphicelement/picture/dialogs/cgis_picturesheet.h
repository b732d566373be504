// The picture element's property sheet: its picture page first. The sheet
// answers Apply itself: the active page applies, the host redraws its view
// and every page loses its modified mark.
#pragma once

#include "layout/graphicelement/picture/dialogs/cgis_picturepage.h"
#include "platform/ui/propsheet.h"

class CGIS_PictureSheet : public CPropertySheet {
 public:
  // The sheet without a parent window (pParent NULL) and its pages, given the
  // element and the display.
  CGIS_PictureSheet(CGIS_PictureElement* pElement, IGIS_Display* pDisplay, CWnd* pParent = nullptr);
  ~CGIS_PictureSheet() override;

  CGIS_PicturePage* GetPicturePage() { return m_pPicturePage; }

  // Builds the sheet for the element, shows it with the title and the
  // picture page's values, runs it modally in the library's module state and
  // reads the keep value back after OK; true when the user confirmed.
  static bool Run(CGIS_PictureElement* pElement, IGIS_Display* pDisplay, const char* szTitle,
                  int* pKeepInDocument, const char* szDescription);

 private:
  void OnApplyNow();

  CGIS_PicturePage* m_pPicturePage = nullptr;
  CGIS_PictureElement* m_pElement = nullptr;
  IGIS_Display* m_pDisplay = nullptr;
};
