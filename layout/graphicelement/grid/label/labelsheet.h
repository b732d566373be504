// The one seam between a grid label's model and its property sheet. A
// label's OnOpenPropertyDlg hands itself and how a cancel puts it back to
// OpenLabelSheet; the sheets live in the dialogs library, which registers
// one runner per label type when it loads. The models never include a
// dialog header.
#pragma once

#include <functional>

#include "platform/win/wintypes.h"

class IGIS_GridLabel;

namespace md::layout::label {

// Runs the sheet of a label on the label itself (with the library's module
// state); true only when the user confirmed.
using LabelSheetRunner = std::function<bool(IGIS_GridLabel* pLabel)>;

// Registers the sheet of a label type; an empty runner removes it. Answers
// the runner registered before.
LabelSheetRunner RegisterLabelSheet(int nType, LabelSheetRunner runner);

// The routine around every label's sheet: a Clone of the label as backup
// (none: a level-3 record "p_label == NULL" under the method, FALSE, no
// sheet), the sheet registered for the label's type (none: not confirmed),
// and after anything but OK `restore` with the backup, which is released
// either way. TRUE only when the user confirmed.
BOOL OpenLabelSheet(IGIS_GridLabel* pLabel, const char* szMethod,
                    const std::function<void(IGIS_GridLabel* pBackup)>& restore);

}  // namespace md::layout::label
