// The figure of a measured (kilometre) grid, walked once for its drawing and
// once for its conversion: which lines, crossings, ticks and sub-ticks there
// are, in which order, and where each traced line meets the map frame. The
// drawing walks it in device units, the conversion in page units; each hands
// what the walk finds to its own sink.
//
// All lines lie at whole multiples of the intervals in the grid's own
// reference. Rows (lines of constant y) are traced from left to right,
// columns from bottom to top, each from one interval outside the extent to
// one interval beyond it, so the bottom and left ticks come from where a
// line first meets the frame and the top and right ticks from where it last
// leaves it.
#pragma once

#include <vector>

#include "host/basilo/sgis_types.h"
#include "layout/graphicelement/grid/grid/geotrace.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/grid/measuregridplan.h"

class IGIS_GeoArithmetic;
class IGIS_MapGrid;

namespace md::layout::measure {

// The sides of the frame, in the order ticks are walked.
enum class GridSide { kBottom = 0, kTop = 1, kLeft = 2, kRight = 3 };
inline constexpr GridSide kGridSides[] = {GridSide::kBottom, GridSide::kTop, GridSide::kLeft,
                                          GridSide::kRight};

// The plan the walk follows, shared with the grid's labels.
using grid::MeasureGridPlan;
using grid::PlanMeasureGrid;

// Which parts the walk visits (a part whose symbol is missing is left out by
// the caller, so that nothing is drawn or made without a symbol).
struct MeasureGridParts {
  bool bLines = false;                              // grid lines
  bool bMarks = false;                              // marks at the crossings
  bool ticks[4] = {false, false, false, false};     // by GridSide
  bool subTicks[4] = {false, false, false, false};  // by GridSide
};

// The parts of a grid's figure that are drawn or made: its lines (line kind
// 1 with a line symbol) or its marks (kind 2 with a mark symbol), and the
// ticks and sub-ticks of the sides whose switches are on, with a symbol and
// a finite length.
MeasureGridParts MeasureGridPartsOf(IGIS_MapGrid* pGrid);

// Samples a line of the grid's reference, carries each sample into the
// coordinates of the frame (device or page units), and cuts the samples at
// the frame. The buffers are made once and reused for every line.
class MeasureLineTracer {
 public:
  // frame: the frame in the carried coordinates; nSegments: steps per line.
  MeasureLineTracer(IGIS_GeoArithmetic* pArithmetic, const SGIS_Rect& frame, int nSegments,
                    grid::GridPointCarrier carry);
  MeasureLineTracer(const MeasureLineTracer&) = delete;
  MeasureLineTracer& operator=(const MeasureLineTracer&) = delete;

  // The number of points of the line that lie in the frame (0 when none),
  // which Kept() then holds in order.
  int Trace(SGIS_DPoint from, SGIS_DPoint to);
  const SGIS_Point* Kept() const { return m_kept.data(); }
  // Where the line first meets the frame (and, when bLast, where it last
  // leaves it), as Trace would keep them, carrying the samples only from
  // either end up to the stretch that reaches the frame: a tick needs no
  // more of its line.
  grid::LineCutEnds TraceEnds(SGIS_DPoint from, SGIS_DPoint to, bool bLast) const;
  // Carries one point of the grid's reference; false when it cannot.
  bool Carry(SGIS_DPoint* pPoint) const { return !m_carry || m_carry(pPoint); }
  // Trace then carries a line's samples in one call to `carryAll`, which
  // must carry each point as the carrier given above does.
  void CarryLinesWith(grid::GridPointsCarrier carryAll) { m_carryAll = std::move(carryAll); }

 private:
  IGIS_GeoArithmetic* m_pArithmetic;
  SGIS_Point m_lowerLeft;
  SGIS_Point m_upperRight;
  int m_nSegments;
  grid::GridPointCarrier m_carry;
  grid::GridPointsCarrier m_carryAll;
  std::vector<SGIS_DPoint> m_work;
  std::vector<char> m_carried;
  std::vector<SGIS_Point> m_samples;
  std::vector<SGIS_Point> m_kept;
};

// What the walk finds, in walking order.
class MeasureGridSink {
 public:
  // A grid line's points inside the frame (at least one).
  virtual void OnLine(const SGIS_Point* pPoints, int nCount) = 0;
  // A crossing of the grid's reference that lies in the extent.
  virtual void OnMark(SGIS_DPoint gridPoint) = 0;
  // Where a tick's (or sub-tick's) line meets the frame on its side.
  virtual void OnTick(GridSide side, bool bSub, SGIS_Point crossing) = 0;

 protected:
  ~MeasureGridSink() = default;
};

// Walks the grid: the rows and then the columns (or the crossings, column by
// column from the bottom up); then the bottom, top, left and right ticks;
// then the sub-ticks of the same sides, tick interval by tick interval. A
// tick's line is carried only up to where it meets the frame on its side. Only
// lines whose coordinate lies in the extent (edges included, within the
// grids' tolerance of the interval: grid/grid/gridtolerance.h) are traced, and
// a crossing counts when its coordinates rounded to whole grid units do.
// Passes beyond their caps are cut, and passes whose lines lie too close to
// be drawn (the plan's runs, and sub-ticks closer than the plan's
// resolution shows) are left out before any of their lines is carried,
// with one record in `caps`.
void WalkMeasureGrid(const MeasureGridPlan& plan, const MeasureGridParts& parts, MeasureLineTracer& tracer,
                     MeasureGridSink& sink, grid::CGIS_GridCapRecord& caps);

}  // namespace md::layout::measure
