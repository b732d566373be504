// The figure of the graticule of fixed rows and columns: which meridians and
// parallels, crossings, ticks and sub-ticks there are, where each traced
// line runs, and the walk that lays them in order into a drawing's device
// coordinates or a conversion's page coordinates (grid/grid/geotrace.h).
//
// Every line lies on the lattice origin + k * interval of the shared plan
// (grid/grid/gridintervals.h), so the grid and its label agree. Geographic
// extents are SGIS_DRect in degrees: x1 west, x2 east, y1 north, y2 south.
#pragma once

#include "host/basilo/sgis_types.h"
#include "layout/graphicelement/grid/grid/geographicframe.h"
#include "layout/graphicelement/grid/grid/geotrace.h"
#include "layout/graphicelement/grid/grid/graticuleplan.h"
#include "layout/graphicelement/grid/grid/gridintervals.h"
#include "layout/graphicelement/grid/grid/gridlines.h"

class IGIS_GraticuleMNGrid;
class IGIS_MapGrid;

namespace md::layout::graticulemn {

// Steps of a traced line: while the view clips (printing) and otherwise;
// the conversion always takes the first.
inline constexpr int kSamplesClipping = 200;
inline constexpr int kSamplesPlain = 20;

// The lines of one direction (grid/grid/graticuleplan.h).
using LineSet = grid::GraticuleLineSet;

enum { kBottom = 0, kTop = 1, kLeft = 2, kRight = 3, kSides = 4 };

struct Figure {
  int nSamples = kSamplesClipping;
  // Grid lines: parallels (south to north), then meridians (west to east).
  LineSet parallels;
  LineSet meridians;
  // Marks stand at the crossings of these meridians and parallels whose
  // longitude and latitude, rounded to whole degrees, lie in this extent
  // (edges included), and, when bMarksInFrame, whose point lies in the
  // frame.
  LineSet markMeridians;
  LineSet markParallels;
  SGIS_DRect markExtent;
  bool bMarksInFrame = true;
  // Ticks by side (bottom, top, left, right) at the tick interval; the
  // sub-ticks divide each tick interval into nSubTickCount parts, at the
  // ticks' positions with stretches of their own.
  double dTick = 0.0;
  grid::GridResolution resolution;  // sub-ticks closer than it shows are left out
  LineSet ticks[kSides];
  LineSet subTicks[kSides];
  int nSubTickCount = 0;
};

// The drawing's figure over the lines of the drawing's plan
// (grid::PlanFixedCountLines: the plan's extent turned by the map's rotation
// and widened by two intervals on every side, lines reaching four intervals
// past it). The tick interval is the interval divided by the tick division
// (when above 0); ticks and sub-ticks whose lines lie too close for the
// plan's resolution are left out.
Figure DrawingFigure(const grid::FixedCountLines& lines, int nTickDivision, int nSubTickCount, int nSamples);
// The conversion's figure over the conversion's lines (the plan's extent
// itself, lines reaching one interval past it), marks not tested against the
// frame.
Figure ConversionFigure(const grid::FixedCountLines& lines, int nTickDivision, int nSubTickCount);

// Records what the plan found in the grid's spacing, which must exist: the
// extent divided by the counts and its west and south edges in whole
// degrees (the spacing is not stored).
void RecordFixedCountSpacing(IGIS_GraticuleMNGrid* pGrid, const grid::FixedCountGraticule& plan);

// What of the figure is laid, from the grid's settings: lines (line kind 1
// with a line symbol) or marks (kind 2 with a mark symbol), and the ticks
// and sub-ticks of the sides whose switches are on, with a symbol and a
// finite length.
struct Parts {
  bool bLines = false;
  bool bMarks = false;
  bool ticks[kSides] = {false, false, false, false};
  bool subTicks[kSides] = {false, false, false, false};
  double dTickLength = 0.0;
  double dSubTickLength = 0.0;

  static Parts Of(IGIS_MapGrid* pGrid);
};

// Lays the figure into the tracer's space: lines or marks, then the ticks
// of the sides in the order bottom, top, left, right, then the sub-ticks of
// the same sides. A tick stands where its line first meets the frame
// (GeoLineTracer::TickAtFirst). Passes beyond their caps are cut, with one
// record in `cap`.
void WalkFigure(const Figure& figure, const Parts& parts, grid::GeoLineTracer& tracer,
                grid::GeoFigureSink& sink, grid::CGIS_GridCapRecord& cap);

}  // namespace md::layout::graticulemn
