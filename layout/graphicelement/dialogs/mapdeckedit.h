// Number edit boxes and spin buttons of the library's property pages.
#pragma once

#include "platform/win/wintypes.h"

class CDialog;
class CEdit;
class CSpinButtonCtrl;

// Filters for the change notification of number edit boxes. Each removes
// every occurrence of the last character not allowed in its kind of number
// and puts the caret at the (character) index where it was found; the
// notification that setting the text raises repeats this until the text is
// clean. Anything that is not a live edit control is left alone.
void FilterSignedIntegerEdit(CEdit* pEdit);    // digits, "+", "-"
void FilterSignedDecimalEdit(CEdit* pEdit);    // digits, "+", "-", "."
void FilterUnsignedIntegerEdit(CEdit* pEdit);  // digits, "+"
void FilterUnsignedDecimalEdit(CEdit* pEdit);  // digits, "+", "."

// Makes the edit the spin control's buddy, then sets the spin control's base
// and its 32-bit range. Nothing unless both are live controls of their kinds.
void InitSpinButton(CEdit* pEdit, CSpinButtonCtrl* pSpin, int nLower, int nUpper, int nBase);

// Runs the filter on every update of the dialog's edit nId that the user
// makes (not on those of the dialog's own data exchange).
void MapEditFilter(CDialog* pDialog, int nId, void (*pfnFilter)(CEdit*));
