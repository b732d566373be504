// The property sheets of the grid labels, registered with the label seam
// when the library loads.
#include "layout/graphicelement/dialogs/cgis_numericformatdlg.h"
#include "layout/graphicelement/grid/label/igis_formattedgridlabel.h"
#include "layout/graphicelement/grid/label/labelsheet.h"

namespace {

// The formatted label edits only its numeric format, in the number-format
// dialog, which writes the format only when the user confirms.
bool RunFormattedLabelSheet(IGIS_GridLabel* pLabel) {
  auto* pFormatted = dynamic_cast<IGIS_FormattedGridLabel*>(pLabel);
  return pFormatted != nullptr && EditNumericFormat(pFormatted->GetNumericFormat()) != FALSE;
}

const struct Registration {
  Registration() { md::layout::label::SetLabelSheetRunner(GIS_GRIDLABEL_FORMATTED, &RunFormattedLabelSheet); }
} g_registration;

}  // namespace
