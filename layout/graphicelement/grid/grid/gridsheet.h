// The one seam between a grid and its property sheet. A grid's
// OnOpenPropertyDlg keeps a backup, asks RunGridSheet to run the sheet of
// its kind on the grid itself (the pages edit the grid in place) and puts the
// backup back unless the user confirmed. The sheets and their pages live in
// the dialogs library, which installs one runner per grid kind when it
// loads; the grids never include a dialog header.
#pragma once

#include <map>
#include <mutex>

class IGIS_MapGrid;

namespace md::layout::grid {

// The sheet runners of one family of grid-side objects by their code (grids
// by kind, labels by type), which the dialogs library installs when it loads.
template <class TRunner>
class SheetRunners {
 public:
  // Installs the runner of a code (NULL removes it); answers the one it replaces.
  TRunner Set(int nCode, TRunner runner) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_runners.find(nCode);
    TRunner previous = it != m_runners.end() ? it->second : nullptr;
    if (runner != nullptr) {
      m_runners[nCode] = runner;
    } else if (it != m_runners.end()) {
      m_runners.erase(it);
    }
    return previous;
  }
  // The runner of a code, or NULL.
  TRunner Get(int nCode) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_runners.find(nCode);
    return it != m_runners.end() ? it->second : nullptr;
  }

 private:
  mutable std::mutex m_mutex;
  std::map<int, TRunner> m_runners;
};

// Runs the sheet on the grid modally, without a parent window, under the
// caption; true only when the user pressed OK.
using GridSheetRunner = bool (*)(IGIS_MapGrid* pGrid, const char* szTitle);

// Installs the sheet of a grid kind code (GetType; NULL removes it) and
// answers the one it replaces.
GridSheetRunner SetGridSheetRunner(int nKind, GridSheetRunner runner);
GridSheetRunner GetGridSheetRunner(int nKind);

// Runs the sheet installed for the grid's kind; false (not confirmed, the
// grid untouched) without a grid or while no sheet is installed for its kind.
bool RunGridSheet(IGIS_MapGrid* pGrid, const char* szTitle);

}  // namespace md::layout::grid
