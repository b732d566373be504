// Pieces the border dialogs share: running a kind's editor on a border with
// a backup (the pattern and calibrated kinds), choosing a simple border's line, and the "same interval"
// boxes.
#pragma once

#include <initializer_list>

#include "layout/graphicelement/grid/border/igis_mapborder.h"
#include "platform/ui/dialog.h"

namespace md::layout::border {

// Runs the pattern-border dialog on a pattern border with a clone kept as
// backup; anything but OK copies the backup back. TRUE on OK. A border of
// another kind (or NULL) runs nothing and answers FALSE.
bool RunPatternEditor(IGIS_MapBorder* pBorder);
// Runs the calibrated-border dialog on a calibrated border whose width is
// first set to *pWidth (the caller's width field), with a clone kept as
// backup; anything but OK copies the backup back, OK gives the border's
// width back in *pWidth. TRUE on OK. A border of another kind (or NULL) runs
// nothing and answers FALSE.
bool RunCalibratedEditor(IGIS_MapBorder* pBorder, int* pWidth);
// Runs the symbol chooser for lines on a simple border's line symbol; a
// confirmed choice becomes the border's line. `pState` is the caller's
// chooser state. TRUE when the line changed.
bool ChooseSimpleBorderLine(IGIS_MapBorder* pBorder, int* pState);

// "Same interval": the edits of `others` are disabled and take the text of
// `left` while bSame holds; enabled again otherwise. `left` stays enabled.
void ApplySameInterval(CWnd* pDialog, int left, std::initializer_list<int> others, bool bSame);
// The "same interval" box was clicked: when it is now checked the values
// are taken from the controls first (nothing more when one is refused), then
// the edits follow ApplySameInterval; *pFlag follows the box.
void OnSameIntervalBox(CDialog* pDialog, int box, int left, std::initializer_list<int> others, int* pFlag);
// Copies the text of `left` into each of `others`.
void CopyIntervalText(CWnd* pDialog, int left, std::initializer_list<int> others);

}  // namespace md::layout::border
