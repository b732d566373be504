// The picture element's property sheet: its picture page first, then the
// shared frame and size-and-position pages. The sheet answers Apply itself:
// the active page applies, the host redraws its view and every page loses
// its modified mark.
#pragma once

#include "layout/graphicelement/picture/dialogs/cgis_picturepage.h"
#include "platform/ui/propsheet.h"

class CLayoutFrame;
class CSizeAndPosition;

class CGIS_PictureSheet : public CPropertySheet {
 public:
  // The sheet without a parent window (pParent NULL) and its pages, given the
  // element and the display.
  CGIS_PictureSheet(CGIS_PictureElement* pElement, IGIS_Display* pDisplay, CWnd* pParent = nullptr);
  ~CGIS_PictureSheet() override;

  CGIS_PicturePage* GetPicturePage() { return m_pPicturePage; }
  CLayoutFrame* GetFramePage() { return m_pFramePage; }
  CSizeAndPosition* GetSizePage() { return m_pSizePage; }

  // The sheet of the picture element as the sheet registry runs it: built
  // for the element with the title, its picture page showing whether the
  // picture is kept and what kind it is, its frame page on the element's
  // frame; after OK the picture is kept in the document when the page's box
  // is checked. True when the user confirmed.
  static bool Run(IGIS_Element* pElement, IGIS_Display* pDisplay, const char* szTitle);

 private:
  void OnApplyNow();

  CLayoutFrame* m_pFramePage = nullptr;
  CSizeAndPosition* m_pSizePage = nullptr;
  CGIS_PicturePage* m_pPicturePage = nullptr;
  CGIS_PictureElement* m_pElement = nullptr;
  IGIS_Display* m_pDisplay = nullptr;
};
