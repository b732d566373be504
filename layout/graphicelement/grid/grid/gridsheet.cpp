// The seam between grids and their property sheets.
#include "layout/graphicelement/grid/grid/gridsheet.h"

#include <map>
#include <mutex>

#include "layout/graphicelement/grid/grid/igis_mapgrid.h"

namespace md::layout::grid {
namespace {

std::mutex g_mutex;

std::map<int, GridSheetRunner>& Runners() {
  static std::map<int, GridSheetRunner> runners;
  return runners;
}

}  // namespace

GridSheetRunner SetGridSheetRunner(int nKind, GridSheetRunner runner) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto it = Runners().find(nKind);
  GridSheetRunner previous = it != Runners().end() ? it->second : nullptr;
  if (runner != nullptr) {
    Runners()[nKind] = runner;
  } else if (it != Runners().end()) {
    Runners().erase(it);
  }
  return previous;
}

GridSheetRunner GetGridSheetRunner(int nKind) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto it = Runners().find(nKind);
  return it != Runners().end() ? it->second : nullptr;
}

bool RunGridSheet(IGIS_MapGrid* pGrid, const char* szTitle) {
  if (pGrid == nullptr) return false;
  GridSheetRunner runner = GetGridSheetRunner(pGrid->GetType());
  return runner != nullptr && runner(pGrid, szTitle != nullptr ? szTitle : "");
}

}  // namespace md::layout::grid
