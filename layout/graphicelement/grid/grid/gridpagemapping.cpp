// Where a map point lies on the layout page.
#include "layout/graphicelement/grid/grid/gridpagemapping.h"

#include <algorithm>
#include <cmath>

namespace md::layout::grid {

SGIS_DPoint MapPointToPage(SGIS_DPoint map, const SGIS_DRect& bound, const SGIS_Rect& frame, double dScale) {
  const double west = std::min(bound.x1, bound.x2);
  const double south = std::min(bound.y1, bound.y2);
  const double left = std::min(frame.left, frame.right);
  const double bottom = std::min(frame.top, frame.bottom);
  const bool bDivide = std::isfinite(dScale) && dScale > 0.0;
  const double dx = map.x - west;
  const double dy = map.y - south;
  return SGIS_DPoint(left + (bDivide ? dx / dScale : dx), bottom + (bDivide ? dy / dScale : dy), 0.0);
}

}  // namespace md::layout::grid
