// Dropping device points that change nothing drawn, before a path goes to
// cairo. Dense geometry (hundreds of thousands of points, many of them on the
// same device pixel) otherwise costs cairo's stroker and scan converter far
// more than the picture needs. Every rule here is exact, not an
// approximation: the area a fill covers, and the segments, joins and caps a
// stroke is made of, stay the same.
#pragma once

#include <vector>

#include "platform/canvas/canvas.h"

namespace md::canvas::detail {

enum class PathUse {
  Fill,         // the path's area (either fill rule)
  SolidStroke,  // a stroke without dashes
  DashedStroke  // a dashed stroke: the path's length must stay as it is
};

// Appends to `out` the points of one sub-path with
//  - repeated points dropped (a sub-path of one repeated point keeps two, so
//    that a round cap still draws its dot),
//  - points in the middle of a straight run dropped (the path goes on in the
//    same direction through them),
//  - for fills, spurs dropped (a -> b -> a adds no area, whatever the rule),
//  - for solid strokes, a run going back and forth between two points cut to
//    two round trips (the same segments, joins and ends).
// The first and last points are always kept.
void ReducePath(const std::vector<Point>& in, PathUse use, std::vector<Point>* out);

}  // namespace md::canvas::detail
