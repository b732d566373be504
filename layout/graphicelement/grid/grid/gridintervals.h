// The intervals and origins that a grid kind and the label that labels it
// must find alike, as plain functions: whole-interval origins, and the
// interval search of the graticule of fixed rows and columns. (Line runs,
// caps, unit factors and the page mapping are in gridlines.h.)
#pragma once

namespace md::layout::grid {

// The whole multiple of dInterval from dOrigin at or below dValue, rounded
// down (never toward zero): -117.3 with 10 gives -120. dValue itself when
// the interval is not finite and above 0 or a value is not finite.
double WholeIntervalStart(double dValue, double dInterval, double dOrigin = 0.0);

// The intervals the graticule of fixed rows and columns finds for an extent
// of dWidth x dHeight in the spacing's unit divided into nColumns columns and
// nRows rows (a count below 1 counts as 1): the column search tries 10, 5,
// 1, 0.5, 0.1, ... and the row search 25, 5, 2.5, 0.5, 0.25, ..., each
// taking the first value that puts more than one and at most four times the
// count of intervals across the extent, or its twentieth value (5e-9) when
// none does. Both grid directions then use the smaller of the two.
struct FixedCountIntervals {
  double dColumn = 0.0;    // the column search's result
  double dRow = 0.0;       // the row search's result
  double dInterval = 0.0;  // the smaller of the two
};
FixedCountIntervals SearchFixedCountIntervals(double dWidth, double dHeight, int nColumns, int nRows);

}  // namespace md::layout::grid
