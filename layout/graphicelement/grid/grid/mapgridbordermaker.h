// How grids make their borders without naming the class (not installed).
#pragma once

#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"

namespace md::layout {
class StoredSetView;
}  // namespace md::layout

namespace md::layout::grid {
// A new grid border with its defaults, bound to the grid; NULL when memory
// runs out.
IGIS_MapGridBorder* CreateMapGridBorder(IGIS_MapGrid* pGrid);
// A new border bound to the grid, read from its undamaged stored set: what
// CreateMapGridBorder and reading the set give; NULL when memory runs out.
IGIS_MapGridBorder* ReadNewMapGridBorder(IGIS_MapGrid* pGrid, const StoredSetView& set);
// Reads the border from its undamaged stored set, read in place; false,
// nothing read, for a border of another class.
bool OpenMapGridBorderInPlace(IGIS_MapGridBorder* pBorder, const StoredSetView& set);
// Leaves the border without its simple symbol, as SetSimpleSymbolPtr(NULL)
// does, but as a choice rather than a missing symbol: no record is written.
void ClearSimpleSymbol(IGIS_MapGridBorder* pBorder);
}  // namespace md::layout::grid
