// The one seam between a grid label's model and its property sheet. A
// label's OnOpenPropertyDlg hands itself to OpenLabelSheet; the sheets live
// in the dialogs library, which installs one runner per label type when it
// loads. The models never include a dialog header.
#pragma once

class IGIS_GridLabel;

namespace md::layout::label {

// Runs the sheet of a label on the label itself (with the library's module
// state); true only when the user confirmed.
using LabelSheetRunner = bool (*)(IGIS_GridLabel* pLabel);

// Installs the sheet of a label type (NULL removes it) and answers the one
// it replaces.
LabelSheetRunner SetLabelSheetRunner(int nType, LabelSheetRunner runner);

// Runs the sheet installed for the label's type. The label's stored form is
// taken before and read back after anything but OK, so that a cancelled
// sheet leaves the label as its stored form was. True only when the user
// confirmed; false without a label or while no sheet is installed for its
// type.
bool OpenLabelSheet(IGIS_GridLabel* pLabel);

}  // namespace md::layout::label
