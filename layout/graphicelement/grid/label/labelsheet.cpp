// The seam between grid labels and their property sheets.
#include "layout/graphicelement/grid/label/labelsheet.h"

#include "layout/graphicelement/element/storedformscope.h"
#include "layout/graphicelement/grid/grid/gridsheet.h"
#include "layout/graphicelement/grid/grid/igis_gridlabel.h"

namespace md::layout::label {
namespace {

grid::SheetRunners<LabelSheetRunner>& Runners() {
  static grid::SheetRunners<LabelSheetRunner> runners;
  return runners;
}

}  // namespace

LabelSheetRunner SetLabelSheetRunner(int nType, LabelSheetRunner runner) {
  return Runners().Set(nType, runner);
}

bool OpenLabelSheet(IGIS_GridLabel* pLabel) {
  if (pLabel == nullptr) return false;
  const LabelSheetRunner runner = Runners().Get(pLabel->GetType());
  if (runner == nullptr) return false;
  CGIS_StoredFormScope stored(pLabel);
  if (!runner(pLabel)) return false;
  stored.Keep();
  return true;
}

}  // namespace md::layout::label
