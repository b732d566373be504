// What the pages of several kinds share: the unit list of the scale bars and
// scale texts, and one run of the symbol chooser behind a symbol button.
#pragma once

#include <functional>

#include "host/glyphorpick/igis_symbolchooserdlg.h"

class CComboBox;

namespace md::layout {

// Empties the list and fills it with the unit list of the bars and texts:
// the spatial-reference factory's linear units in index order, then "度",
// then "未知单位". FALSE (list untouched) without a factory.
bool FillUnitList(CComboBox* pList);

// Runs the process-wide chooser on the symbol for the kind (GIS_CHOOSE_*) with the button's
// remembered state. True when the user confirmed; the chosen symbol, when
// there is one, goes to take (which keeps its own copy) and is released.
bool ChooseSymbol(IGIS_Symbol* pCurrent, int nKind, int* pState,
                  const std::function<void(IGIS_Symbol*)>& take);

}  // namespace md::layout
