// Where a map point lies on the layout page when a grid is converted into
// plain elements: the map frame shows its map bound at its scale, starting
// at the frame's lower-left corner.
#pragma once

#include "host/basilo/sgis_types.h"

namespace md::layout::grid {

// The page point (0.01 mm, y up) of the map point:
// (frame.left + (x - bound.x1) / scale, frame.bottom + (y - bound.y2) / scale)
// on normalised copies of the frame and the bound (x1 west, y2 south); the
// division is left out for a scale that is not a finite number above 0.
SGIS_DPoint MapPointToPage(SGIS_DPoint map, const SGIS_DRect& bound, const SGIS_Rect& frame, double dScale);

}  // namespace md::layout::grid
