// The figure of a graticule: its meridians and parallels, intersection
// markers, ticks, hatch marks and interior label points, worked out in
// degrees of the map's geographic base and laid into a space where the map
// frame is a rectangle: device coordinates when the grid draws, page
// coordinates when it converts. One walker feeds both, so a converted grid
// shows what the drawing shows.
//
// Geographic extents are SGIS_DRect in degrees: x1 west, x2 east, y1 north,
// y2 south. Lengths are page units of 0.01 mm.
#pragma once

#include "host/basilo/sgis_types.h"
#include "layout/graphicelement/grid/grid/geotrace.h"
#include "layout/graphicelement/grid/grid/graticuleplan.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/grid/gridtolerance.h"

namespace md::layout::graticule {

// Sample points of one line: while the display clips (printing and the
// conversions), and otherwise.
inline constexpr int kSamplesClipping = 200;
inline constexpr int kSamplesPlain = 20;

// ---- Where the figure is laid ---------------------------------------------

// Device coordinates when the grid draws, page coordinates when it converts
// (grid/grid/geotrace.h).
using GraticuleSpace = grid::GeoSpace;

// ---- What is laid ---------------------------------------------------------

using grid::TickSide;
enum class HatchRank { Sub = 0, Main = 1, Interval = 2 };

// Receives the pieces in the order the drawing makes them, as points of the
// space, rounded half away from zero: the lines, markers and ticks
// (grid/grid/geotrace.h), then hatches and interior label points.
class GraticuleSink : public grid::GeoFigureSink {
 public:
  virtual void Hatch(HatchRank /*rank*/, SGIS_Point /*from*/, SGIS_Point /*to*/) {}
  // An interior label point with the longitude and latitude it shows.
  virtual void Label(SGIS_Point /*anchor*/, double /*dLon*/, double /*dLat*/) {}

 protected:
  ~GraticuleSink() = default;
};

// ---- Line counts and runs -------------------------------------------------

// True for an interval that places lines: a finite number above 0.
bool IsInterval(double d);

// The meridians (x) and parallels (y) of an extent at the intervals, as the
// graticule's plan counts them (grid/grid/graticuleplan.h), shared with its
// label.
using grid::CountGraticuleLines;
using grid::GraticuleLines;

// How far a grid line runs past the extent. The drawing widens its extent
// by two intervals and runs parallels from one interval west of it to four
// intervals east of it (meridians alike from the south); the conversion runs
// one interval past either end. Both hold the run to the globe.
enum class LineReach { Drawing, Conversion };

using grid::GeoRun;

// The run of the parallel at lat (or the meridian at lon): false when the
// line lies outside the extent (by latitude for a parallel, longitude for a
// meridian) or more than one interval beyond the globe. The fixed coordinate
// and both ends are held to the globe (-180..180, -90..90).
bool ParallelRun(double dLat, const SGIS_DRect& extent, double dX, double dY, LineReach reach, GeoRun* pOut);
bool MeridianRun(double dLon, const SGIS_DRect& extent, double dX, double dY, LineReach reach, GeoRun* pOut);

// The run of the tick line of a side at the value (a longitude for bottom
// and top, a latitude for left and right), from the end outside the side to
// the far end: bottom ticks run meridians from one interval south of the
// extent to one north of it, top ticks the other way, left ticks parallels
// from west to east, right ticks from east to west. The same tests as a
// grid line; a run that is empty on the globe is no tick line (false).
bool TickRun(TickSide side, double dValue, const SGIS_DRect& extent, double dX, double dY, GeoRun* pOut);

// True when the value lies on a grid line of the interval (the grids' one
// tolerance, grid/grid/gridtolerance.h).
using grid::LiesOnGridLine;

// ---- The passes -----------------------------------------------------------

// Grid lines (GIS_GRIDLINE_LINES: parallels, then meridians) or
// intersection markers (GIS_GRIDLINE_MARKS: meridian by meridian, parallel
// by parallel, each intersection inside the extent, bounds included).
// Whether a line or point lies on the extent's bounds is decided with the
// grids' one tolerance (grid/grid/gridtolerance.h), here and in the runs.
struct LinePass {
  SGIS_DRect extent;
  double dX = 0.0, dY = 0.0;
  // The meridians and parallels tried, as the plan counted them over the
  // extent (grid::GraticulePass::Lines).
  GraticuleLines lines;
  int nSamples = kSamplesClipping;
  LineReach reach = LineReach::Drawing;
  int nGridlineType = 1;
  // Markers only where they fall in the frame (edges included).
  bool bMarkersInFrame = true;
};

// Main ticks of the four sides, then the sub ticks, each side in the order
// bottom, top, left, right and only when its switch is on. A tick stands
// where its tick line first enters the frame, unless that is on one of the
// two edges across the side (a bottom tick whose meridian enters through
// the left or right edge is left out), and runs the tick length along the
// page away from the frame (a negative length into it), from the offset
// beyond the frame.
struct TickPass {
  SGIS_DRect extent;
  double dX = 0.0, dY = 0.0;  // the tick intervals
  int nSamples = kSamplesClipping;
  bool bMain[4] = {true, true, true, true};  // by TickSide
  bool bSub[4] = {true, true, true, true};
  double dLength = 200.0;
  double dSubLength = 100.0;
  double dOffset = 0.0;  // page units beyond the frame where ticks begin
  int nSubCount = 2;     // parts of one tick interval; below 2 no sub ticks
};

// Hatch marks across the grid's parallels (pass along the parallels, marks
// up the page) and meridians (pass along the meridians, marks to the right),
// in three ranks.
struct HatchRankStyle {
  double dLength = 0.0;       // page units; not finite: the rank is not drawn
  bool bDirectional = true;   // from the point over the length, else centred
  bool bIntegerHalf = false;  // centred marks take the integer half of the length
};
struct HatchPass {
  SGIS_DRect extent;
  double dX = 0.0, dY = 0.0;  // the grid intervals
  double dIntervalX = 0.0;    // hatch spacing along the parallels (degrees)
  double dIntervalY = 0.0;    // along the meridians
  int nMainCount = 3;         // taken as 1 below 1
  int nSubCount = 2;
  HatchRankStyle rank[3];  // by HatchRank
};

// Interior label points at the label intervals: column by column, row by
// row, each inside the extent (bounds included) and the frame (edges
// included).
struct LabelPass {
  SGIS_DRect extent;
  double dX = 0.0, dY = 0.0;
};

// Lays the passes of one drawing or conversion into its space, each into
// the sink given. The frame is the map frame's rectangle in that space.
// Buffers are made once and reused by every line; counts past the caps of
// grid/gridlines.h are cut, and ticks, sub-ticks, hatches and interior
// labels that lie closer together than the resolution shows are left out
// before any of them is carried, with one record for the call. Each pass
// takes its cost from the open budgets first (grid/gridlines.h) and is
// left out whole when they cannot cover it.
class GraticuleWalker {
 public:
  GraticuleWalker(GraticuleSpace& space, const SGIS_Rect& frame, grid::CGIS_GridCapRecord& cap,
                  const grid::GridResolution& resolution = grid::GridResolution());
  GraticuleWalker(const GraticuleWalker&) = delete;
  GraticuleWalker& operator=(const GraticuleWalker&) = delete;

  // False without the geometric-arithmetic object that clips the lines.
  bool Ready() const { return m_tracer.Ready(); }

  void Lines(const LinePass& pass, GraticuleSink& sink);
  void Ticks(const TickPass& pass, GraticuleSink& sink);
  void Hatches(const HatchPass& pass, GraticuleSink& sink);
  void Labels(const LabelPass& pass, GraticuleSink& sink);

 private:
  void TicksOfSide(TickSide side, const TickPass& pass, bool bSub, GraticuleSink& sink);
  void Tick(TickSide side, bool bSub, double dLength, double dOffset, GraticuleSink& sink);
  // One mark at the geographic point, when it falls in the frame.
  void HatchMark(HatchRank rank, bool bVertical, double dLon, double dLat, const HatchRankStyle& style,
                 GraticuleSink& sink);
  // Counts one more mark of the current pass; false (with the cap note)
  // once the pass reached its cap.
  bool CountMark();

  GraticuleSpace& m_space;
  grid::GeoLineTracer m_tracer;
  const SGIS_Rect& m_frame;  // the tracer's, normalised
  grid::CGIS_GridCapRecord& m_cap;
  grid::GridResolution m_resolution;
  long long m_nMarks = 0;  // marks tried so far in the current pass
};

}  // namespace md::layout::graticule
