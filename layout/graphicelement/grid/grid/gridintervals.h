// The intervals and origins that a grid kind and the label that labels it
// must find alike, as plain functions: whole-interval origins, and the
// interval search of the graticule of fixed rows and columns. (Line runs,
// caps, unit factors and the page mapping are in gridlines.h.)
#pragma once

#include "host/basilo/sgis_types.h"

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
// none does because the extent is too small; the first value that puts more
// than four times the count across ends the search too (no smaller value
// would do), so a wide extent with few columns takes 10 rather than 5e-9.
// Both grid directions then use the smaller of the two.
struct FixedCountIntervals {
  double dColumn = 0.0;    // the column search's result
  double dRow = 0.0;       // the row search's result
  double dInterval = 0.0;  // the smaller of the two
};
FixedCountIntervals SearchFixedCountIntervals(double dWidth, double dHeight, int nColumns, int nRows);

// Where the lines of the graticule of fixed rows and columns start, from the
// west (or south) edge of its extent in degrees: the edge rounded down to
// whole degrees, times the unit ratio, rounded down, then rounded down to a
// multiple of 10 (-117.3 with ratio 1 gives -120, 117.3 gives 110).
double FixedCountOrigin(double dEdgeDegrees, double dUnitRatio);

// What the graticule of fixed rows and columns, and the label that labels
// it, work out from the extent of the map bound in degrees (x1 west, x2
// east, y1 north, y2 south; either order), its columns and rows (a count
// below 1 counts as 1) and the unit ratio of its spacing; the extent's
// edges are taken to a billionth of a degree. Drawing, conversion and label
// all take their lines from here.
struct FixedCountGraticule {
  SGIS_DRect extent;  // normalised: x1 west, x2 east, y1 north, y2 south
  // What the grid records in its spacing: the extent divided by the counts,
  // and its west and south edges rounded down to whole degrees.
  double dColumnWidth = 0.0;
  double dRowHeight = 0.0;
  double dWestDegree = 0.0;
  double dSouthDegree = 0.0;
  // The search over the extent in the spacing's unit (width and height
  // times the ratio); dInterval is the interval of meridians and parallels.
  FixedCountIntervals search;
  // The first meridian's longitude and the first parallel's latitude.
  double dX0 = 0.0;
  double dY0 = 0.0;

  double Interval() const { return search.dInterval; }
  // False for an extent that is not finite or has no width or height, over
  // which no line is placed.
  bool HasLines() const;
};
FixedCountGraticule PlanFixedCountGraticule(const SGIS_DRect& extentDegrees, int nColumns, int nRows,
                                            double dUnitRatio);

}  // namespace md::layout::grid
