// The plan of a measured (kilometre) grid for one drawing, conversion or
// labelling: the part of the map it covers in the grid's own reference, its
// intervals in that reference's units, and the runs of lines and ticks to
// try. The grid's drawing and conversion walk it (measure/measuregridwalk.h)
// and its labels write on its lines (label/measurelabellines.h), so that the
// margins, the samples of the carried extent and the rounding of the runs
// are stated here once.
#pragma once

#include "host/basilo/sgis_types.h"
#include "layout/graphicelement/grid/grid/gridlines.h"

class IGIS_CoordTransform;
class IGIS_GridSpacing;

namespace md::layout::grid {

// Points per edge of the map bound carried into the grid's reference.
inline constexpr int kMeasureExtentSamples = 81;
// Lines of each run beyond the extent: 5 more than its span holds, from 2
// before its low end.
inline constexpr double kMeasureCountMargin = 5.0;
inline constexpr double kMeasureStartMargin = 2.0;
// The rounding of every run of the plan. Either rounding gives the same
// lines inside the extent: the margins reach past it by more than the one
// index the two can differ by.
inline constexpr GridRunRounding kMeasureRounding = GridRunRounding::kQuotientFirst;

// What one drawing, conversion or labelling covers, in the grid's reference.
struct MeasureGridPlan {
  SGIS_DRect extent;  // normalised: x1 <= x2, y2 <= y1 (y1 the top)
  // The grid lines and crossings.
  double dXInterval = 0.0;
  double dYInterval = 0.0;
  GridLineRun columns;  // x = k * dXInterval
  GridLineRun rows;     // y = k * dYInterval
  // The ticks: the intervals divided by the tick division.
  double dXTick = 0.0;
  double dYTick = 0.0;
  GridLineRun tickColumns;
  GridLineRun tickRows;
  int nSubTickCount = 0;  // sub-intervals between neighbouring ticks
};

// The plan of a grid over the extent (normalised here) with the intervals in
// grid units. Every run counts its lines with the margins above and the
// rounding given. A tick division above 0 divides the intervals for the
// tick runs.
MeasureGridPlan PlanMeasureGrid(SGIS_DRect extent, double dXInterval, double dYInterval, int nTickDivision,
                                int nSubTickCount, GridRunRounding rounding = kMeasureRounding);

// Stored intervals in grid units: each times the size of the spacing's
// linear unit (SpacingUnitFactor of nUnits), which is returned.
double MeasureIntervals(double dXStored, double dYStored, int nUnits, double* pX, double* pY);

// The spacing's X and Y intervals in the units of the grid's reference.
void MeasureGridIntervals(IGIS_GridSpacing* pSpacing, double* pX, double* pY);

// The extent of a plan: the part of the map a frame shows (ShownMapBound),
// carried by pMapToGrid with kMeasureExtentSamples points per edge, cut to
// *pWorld when it is given, normalised and, for a turn other than 0,
// widened to the bound of itself turned by dRotateAngle degrees. *pOut is
// always written; false when no point of the bound could be carried, the
// carried bound is not finite, or it is a single point.
bool MeasureGridExtent(IGIS_CoordTransform* pMapToGrid, const SGIS_DRect& shown, double dRotateAngle,
                       const SGIS_DRect* pWorld, SGIS_DRect* pOut);

}  // namespace md::layout::grid
