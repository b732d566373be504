// Arithmetic every grid kind and grid label shares, one implementation each:
// the caps on the counts of one drawing or conversion, whole-interval
// origins, the page mapping of map points, and the interval search of the
// graticule of fixed rows and columns.
#pragma once

#include "host/basilo/sgis_types.h"

namespace md::layout::grid {

// Caps of one drawing or conversion, one per kind of pass, shared by every
// grid: a pass whose count (from stored, typed or geometric values) exceeds
// its cap draws the first items up to the cap, writes one record and
// finishes.
constexpr int kMaxGridLines = 1000;     // lines (or marks) along one axis
constexpr int kMaxGridTicks = 10000;    // main or sub ticks along one side
constexpr int kMaxGridLabels = 1000;    // labels along one side
constexpr int kMaxGridHatches = 10000;  // hatches along one grid line
constexpr int kMaxBorderBars = 10000;   // bars of a calibrated band along one side

// The counts of one drawing or conversion: the first count cut to its cap
// writes one level-3 record "%g items capped at %d" under the method; later
// cuts of the same drawing write none.
class GridCountCap {
 public:
  explicit GridCountCap(const char* szMethod) : m_szMethod(szMethod) {}
  // The count limited to 0..nMax; a negative or NaN count gives 0 (no record).
  int Cap(double dCount, int nMax);
  bool Capped() const { return m_bCapped; }

 private:
  const char* m_szMethod;
  bool m_bCapped = false;
};

// How many values dFrom, dFrom + dStep, ... lie at or below dTo (dFrom
// itself counts when it does): 0 when dTo < dFrom; infinite when the step is
// not finite and above 0 or a bound is not finite, so that a cap cuts it.
double StepCount(double dFrom, double dTo, double dStep);

// The whole multiple of dInterval from dOrigin at or below dValue, rounded
// down (never toward zero): -117.3 with 10 gives -120. dValue itself when
// the interval is not finite and above 0 or a value is not finite.
double WholeIntervalStart(double dValue, double dInterval, double dOrigin = 0.0);

// The page point of a map point in the conversions: ((mx - bound.x1) / s +
// frame.left, (my - bound.y2) / s + frame.bottom), each rounded half away
// from zero (and clamped to 32 bits, NaN giving 0); a scale of 0 or less
// leaves the division out.
SGIS_Point MapPointToPage(double dMapX, double dMapY, const SGIS_DRect& bound, double dScale,
                          const SGIS_Rect& frame);

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
