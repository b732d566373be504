// What the scale bar and scale text pages share: the unit list, the symbol
// chooser run, and the sheet's Apply button.
#pragma once

#include <functional>
#include <memory>

#include "host/glyphorpick/igis_symbolchooserdlg.h"

class CComboBox;
class CLayoutFrame;
class CPropertySheet;
class CSizeAndPosition;
class IGIS_Display;
class IGIS_Element;
class IGIS_FrameProperty;
class IGIS_Symbol;

namespace md::layout::scalebar {

// Empties the list and fills it with the unit list of the bars and texts:
// the spatial-reference factory's linear units in index order, then "度",
// then "未知单位". FALSE (list untouched) without a factory.
bool FillUnitList(CComboBox* pList);

// Runs the process-wide chooser on the symbol for the kind with the button's
// remembered state. True when the user confirmed; the chosen symbol, when
// there is one, goes to take (which keeps its own copy) and is released.
bool ChooseSymbol(IGIS_Symbol* pCurrent, int nKind, int* pState,
                  const std::function<void(IGIS_Symbol*)>& take);

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
