// The scale text property sheet: the scale text page on one element, which
// it edits directly, and on request the shared frame and size-and-position
// pages after it.
#pragma once

#include "layout/graphicelement/scalebar/dialogs/cgis_scaletext.h"
#include "layout/graphicelement/scalebar/dialogs/scalebarpages.h"
#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_ScaleTextElement;

class CGIS_ScaleTextSheet : public CPropertySheet {
 public:
  // Neither the element nor the display is owned; no parent window.
  CGIS_ScaleTextSheet(IGIS_ScaleTextElement* pElement, IGIS_Display* pDisplay, CWnd* pParent = nullptr);
  ~CGIS_ScaleTextSheet() override;

  // Adds the frame page, on the element's frame, and the size-and-position
  // page (once; before the sheet runs).
  void AddCommonPages();

  CGIS_ScaleText m_pageText;
  md::layout::scalebar::CommonPages m_commonPages;  // filled by AddCommonPages

 private:
  IGIS_ScaleTextElement* m_pElement;
  IGIS_Display* m_pDisplay;
};

namespace md::layout {
// Registers the scale text sheet (done once at load).
void RegisterScaleTextSheet();
}  // namespace md::layout
