// Whether a value lies on a grid line or on the edge of the area a pass
// covers, decided with one tolerance by every grid kind and label, in
// drawing and conversion alike: an extent carried through a transformation
// to 29.999999999999996 still has the 30 degree line on its edge, and the
// interval 0.1 still has 0.30000000000000004 on its third line.
#pragma once

#include "host/basilo/sgis_types.h"

namespace md::layout::grid {

// The tolerance, relative: a billionth.
inline constexpr double kGridTolerance = 1e-9;

// How far apart two values may lie and still count as one, when they are
// measured against dScale (the interval of the lines, or an extent): a
// billionth of dScale, or of the value itself where that is larger, so that
// far from the origin the rounding of the coordinates is covered too. Parts
// that are not finite count as 0.
double GridTolerance(double dScale, double dValue);

// True when dValue lies on a line k * dInterval, within the tolerance of
// the interval. False for an interval that is not a finite number above 0
// or a value that is not finite.
bool LiesOnGridLine(double dValue, double dInterval);

// True when dValue lies in [dLow, dHigh] or, within the tolerance of dScale
// at that edge, on one of its edges. False for a value that is not finite.
bool WithinGridEdges(double dValue, double dLow, double dHigh, double dScale);

// WithinGridEdges for both coordinates of a point against an extent in
// either corner order: x against x1 .. x2 measured by dScaleX, y against
// y2 .. y1 measured by dScaleY.
bool WithinGridExtent(const SGIS_DRect& extent, double x, double y, double dScaleX, double dScaleY);

}  // namespace md::layout::grid
