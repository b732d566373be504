// The scale bar property sheet: the scale and units, numbers and marks, and
// format pages on one bar, which they edit directly.
#pragma once

#include "layout/graphicelement/scalebar/dialogs/cgis_scalebarformat.h"
#include "layout/graphicelement/scalebar/dialogs/cgis_scalebarunit.h"
#include "layout/graphicelement/scalebar/dialogs/cgis_scalenumbermark.h"
#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_ScaleBar;

class CGIS_ScaleBarSheet : public CPropertySheet {
 public:
  // Neither the bar nor the display is owned; the sheet has no parent window.
  CGIS_ScaleBarSheet(IGIS_ScaleBar* pBar, IGIS_Display* pDisplay, CWnd* pParent = nullptr);
  ~CGIS_ScaleBarSheet() override;

  CGIS_ScaleBarUnit m_pageUnit;
  CGIS_ScaleNumberMark m_pageNumberMark;
  CGIS_ScalebarFormat m_pageFormat;

 private:
  IGIS_ScaleBar* m_pBar;
  IGIS_Display* m_pDisplay;
};

namespace md::layout {
// Registers the scale bar sheet for every bar type (done once at load).
void RegisterScaleBarSheets();
}  // namespace md::layout
