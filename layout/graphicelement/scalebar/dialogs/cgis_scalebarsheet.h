// The scale bar property sheet: the scale and units, numbers and marks, and
// format pages on one bar, which they edit directly, and on request the
// shared frame and size-and-position pages after them.
#pragma once

#include "layout/graphicelement/scalebar/dialogs/cgis_scalebarformat.h"
#include "layout/graphicelement/scalebar/dialogs/cgis_scalebarunit.h"
#include "layout/graphicelement/scalebar/dialogs/cgis_scalenumbermark.h"
#include "layout/graphicelement/scalebar/dialogs/scalebarpages.h"
#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_ScaleBar;

class CGIS_ScaleBarSheet : public CPropertySheet {
 public:
  // Neither the bar nor the display is owned; the sheet has no parent window.
  CGIS_ScaleBarSheet(IGIS_ScaleBar* pBar, IGIS_Display* pDisplay, CWnd* pParent = nullptr);
  ~CGIS_ScaleBarSheet() override;

  // Adds the frame page, on the bar's frame, and the size-and-position page
  // (once; before the sheet runs).
  void AddCommonPages();

  CGIS_ScaleBarUnit m_pageUnit;
  CGIS_ScaleNumberMark m_pageNumberMark;
  CGIS_ScalebarFormat m_pageFormat;
  md::layout::scalebar::CommonPages m_commonPages;  // filled by AddCommonPages

 private:
  IGIS_ScaleBar* m_pBar;
  IGIS_Display* m_pDisplay;
};

namespace md::layout {
// Registers the scale bar sheet for every bar type (done once at load).
void RegisterScaleBarSheets();
}  // namespace md::layout
