// What an index grid draws over its map frame, laid out once in page units:
// drawing fills each piece on a device context and conversion makes each an
// element, so a converted grid shows what its drawing showed.
#pragma once

#include <vector>

#include "host/basilo/sgis_types.h"

class IGIS_IndexGrid;
class IGIS_Symbol;

namespace md::layout::grid {

class CGIS_GridCapRecord;

// One piece: a two-point cell line or tick, or a one-point corner mark, with
// its symbol (the grid's own object; may be NULL).
struct IndexGridPiece {
  SGIS_Point points[2];
  int nCount = 0;  // 2 line or tick, 1 mark
  IGIS_Symbol* pSymbol = nullptr;
};

// The cell size of a frame side: the side's length divided by the count, or
// the whole side for a count below 1.
double IndexCellSize(std::int32_t nSide, int nCount);

// The pieces of the index grid over the frame's rectangle, in drawing
// order: with lines the RowCount + 1 horizontal cell bounds from the bottom
// up, then the ColumnCount + 1 vertical ones from the left; with marks the
// inner cell corners row by row; then the outward ticks at every cell bound
// of the bottom, top, left and right sides whose tick switch is on. Every
// coordinate is rounded half away from zero. Counts beyond the grid caps
// are cut (noted in caps); a tick length that is not finite lays no ticks.
std::vector<IndexGridPiece> LayIndexGrid(IGIS_IndexGrid* pGrid, const SGIS_Rect& frame,
                                         CGIS_GridCapRecord& caps);

}  // namespace md::layout::grid
