// What the scale bar and scale text sheets share: the common pages and the
// sheet's Apply button (the unit list and the symbol chooser run are the
// shared dialogs' pagehelpers.h).
#pragma once

#include <memory>

#include "layout/graphicelement/dialogs/pagehelpers.h"

class CLayoutFrame;
class CPropertySheet;
class CSizeAndPosition;
class IGIS_Display;
class IGIS_Element;
class IGIS_FrameProperty;

namespace md::layout::scalebar {

// The shared frame and size-and-position pages a sheet shows on request,
// owned here and added after the sheet's own pages.
struct CommonPages {
  CommonPages();
  ~CommonPages();
  // Makes both pages for the element, the frame page on its frame, and adds
  // them to the sheet; once.
  void Add(CPropertySheet* pSheet, IGIS_Element* pElement, IGIS_FrameProperty* pFrame,
           IGIS_Display* pDisplay);

  std::unique_ptr<CLayoutFrame> frame;
  std::unique_ptr<CSizeAndPosition> size;
};

// The sheets' Apply: the active page applies; with a display and its view,
// the view is redrawn and every page loses its modified mark.
void ApplyActivePage(CPropertySheet* pSheet, IGIS_Display* pDisplay);

}  // namespace md::layout::scalebar
