// The seam between grids and their property sheets.
#include "layout/graphicelement/grid/grid/gridsheet.h"

#include "layout/graphicelement/grid/grid/igis_mapgrid.h"

namespace md::layout::grid {
namespace {

SheetRunners<GridSheetRunner>& Runners() {
  static SheetRunners<GridSheetRunner> runners;
  return runners;
}

}  // namespace

GridSheetRunner SetGridSheetRunner(int nKind, GridSheetRunner runner) { return Runners().Set(nKind, runner); }

GridSheetRunner GetGridSheetRunner(int nKind) { return Runners().Get(nKind); }

bool RunGridSheet(IGIS_MapGrid* pGrid, const char* szTitle) {
  if (pGrid == nullptr) return false;
  GridSheetRunner runner = GetGridSheetRunner(pGrid->GetType());
  return runner != nullptr && runner(pGrid, szTitle != nullptr ? szTitle : "");
}

}  // namespace md::layout::grid
