#include "layout/graphicelement/grid/grid/dialogs/gridbordereditor.h"

#include <atomic>

namespace md::layout::grid {
namespace {
std::atomic<GridBorderEditor> g_editor{nullptr};
}  // namespace

GridBorderEditor SetGridBorderEditor(GridBorderEditor editor) { return g_editor.exchange(editor); }

bool EditGridBorder(IGIS_MapGridBorder* pBorder) {
  const GridBorderEditor editor = g_editor.load();
  return pBorder != nullptr && editor != nullptr && editor(pBorder);
}

}  // namespace md::layout::grid
