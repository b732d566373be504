// The plan of a graticule's meridians and parallels at its spacing, shared
// by its drawing (graticule/graticulefigure.h) and its degrees-minutes-seconds
// label (label/dmslabellines.h): how far the lines reach past the map and
// which whole multiples of the intervals are tried.
#pragma once

#include "host/basilo/sgis_types.h"
#include "layout/graphicelement/grid/grid/gridlines.h"

class IGIS_GridSpacing;

namespace md::layout::grid {

// Intervals the drawn lines reach past the map on every side.
inline constexpr double kGraticuleMargin = 2.0;
// Lines of a run beyond those its span holds, and before its low end.
inline constexpr double kGraticuleCountMargin = 2.0;
inline constexpr double kGraticuleStartMargin = 0.0;

// The spacing's intervals in degrees (0 without a spacing): the stored
// values times DegreesPerAngularUnit of its unit, which is returned (1
// without a spacing).
double GraticuleIntervals(IGIS_GridSpacing* pSpacing, double* pX, double* pY);

// The extent (degrees, normalised) widened by kGraticuleMargin intervals on
// every side; an interval that places no lines widens nothing.
SGIS_DRect WidenGraticuleExtent(const SGIS_DRect& extent, double dX, double dY);

// The meridians (x) and parallels (y) of an extent at the intervals: line k
// at k * interval, first = R(west / dX) (R(south / dY)), count = R(width /
// dX) + 2 (R(height / dY) + 2), capped. An interval that is not a finite
// number above 0 gives no lines on its axis.
struct GraticuleLines {
  GridLineRun meridians;
  GridLineRun parallels;
};
GraticuleLines CountGraticuleLines(const SGIS_DRect& extent, double dX, double dY);

}  // namespace md::layout::grid
