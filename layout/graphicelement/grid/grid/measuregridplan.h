// The plan of a measured (kilometre) grid for one drawing or conversion:
// the part of the map it covers in the grid's own reference, its intervals
// in that reference's units, the runs of lines and ticks to try, and what
// carries its points to the map and the page. The grid builds it once
// (MeasureGridPass), walks it for its own figure (measure/measuregridwalk.h)
// and hands it to its label (label/measurelabellines.h), so that the extent,
// margins, runs and the cut to the projection's world are stated here once.
#pragma once

#include "host/basilo/releaseptr.h"
#include "host/basilo/sgis_types.h"
#include "layout/graphicelement/element/cgis_spatialreferenceholder.h"
#include "layout/graphicelement/grid/grid/gridlabelplan.h"
#include "layout/graphicelement/grid/grid/gridlines.h"

class IGIS_CoordTransform;
class IGIS_Display;
class IGIS_GridSpacing;
class IGIS_MapView;
class IGIS_MeasureGrid;
class IGIS_SpatialReference;

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

// What one drawing or conversion covers, in the grid's reference.
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
  // How far apart the lines are laid (runs too close give no lines).
  GridResolution resolution;
};

// The plan of a grid over the extent (normalised here) with the intervals in
// grid units. Every run counts its lines with the margins above and the
// rounding given; a run whose lines lie too close for the resolution gives
// none, and so does a run of lines of more than kGridPassBudget (the tick
// runs are cut to kMaxGridTicks instead). A tick division above 0 divides
// the intervals for the tick runs.
MeasureGridPlan PlanMeasureGrid(SGIS_DRect extent, double dXInterval, double dYInterval, int nTickDivision,
                                int nSubTickCount, GridRunRounding rounding = kMeasureRounding,
                                const GridResolution& resolution = GridResolution());

// Stored intervals in grid units: each times the size of the spacing's
// linear unit (SpacingUnitFactor of nUnits), which is returned.
double MeasureIntervals(double dXStored, double dYStored, int nUnits, double* pX, double* pY);

// The extent of a plan: the part of the map a frame shows (ShownMapBound),
// carried by pMapToGrid with kMeasureExtentSamples points per edge, cut to
// *pWorld when it is given, normalised and, for a turn other than 0,
// widened to the bound of itself turned by dRotateAngle degrees. *pOut is
// always written, and *pCarried (when given) with the carried bound before
// the cut and the turn, normalised; false when no point of the bound could
// be carried, the carried bound is not finite, or it is a single point.
bool MeasureGridExtent(IGIS_CoordTransform* pMapToGrid, const SGIS_DRect& shown, double dRotateAngle,
                       const SGIS_DRect* pWorld, SGIS_DRect* pOut, SGIS_DRect* pCarried = nullptr);

// The spacing of a measured grid as stored: intervals and origins in the
// unit of the factory's linear unit list at nUnits.
struct MeasureSpacing {
  double dXInterval = 0.0;
  double dYInterval = 0.0;
  double dXOrigin = 0.0;
  double dYOrigin = 0.0;
  int nUnits = 0;

  static MeasureSpacing Of(IGIS_GridSpacing* pSpacing);
};

// One drawing's or conversion's plan of a measured grid with what carries
// its points: the grid builds it once and walks it, and its label writes on
// it.
class MeasureGridPass final : public GridLabelPlan {
 public:
  MeasureGridPass() = default;

  // The plan over what the grid's frame shows: for a drawing on pDisplay,
  // the map turned as the frame's map view turns it and the lines laid in
  // device pixels; without a display, for a conversion: the map not turned,
  // the lines laid on the page. False, with nothing planned, without the
  // frame's map, its map view (a drawing), the display's view, the grid's
  // spacing or reference, or a coordinate transformation.
  bool Make(IGIS_MeasureGrid* pGrid, IGIS_Display* pDisplay);

  // The plan from its parts: the map's and the grid's reference, what the
  // frame shows, the turn, the stored spacing, the tick settings, and the
  // frame's width and height where the lines are laid (0: no limit to how
  // close they lie). The extent is cut to the part of the grid's plane that
  // its projection covers (the bound of the world's points, every 10 degrees
  // on the map's datum, that it carries) when the map's reference has
  // degrees. False when either reference is missing or no transformation is
  // made.
  bool Make(IGIS_SpatialReference* pMapReference, IGIS_SpatialReference* pGridReference,
            const FrameShown& shown, double dRotateAngle, const MeasureSpacing& spacing, int nTickDivision,
            int nSubTickCount, double dLaidWidth, double dLaidHeight);

  const MeasureGridPlan& Plan() const { return m_plan; }
  // Whether its lines can be labelled: the map's reference is geographic or
  // projected and the map bound was carried into the grid's reference.
  bool Labelled() const { return m_bLabelled; }
  // The spacing's origins and the size of its unit, in grid units: the
  // origins move the labels' values, not the lines.
  double XOrigin() const { return m_dXOrigin; }
  double YOrigin() const { return m_dYOrigin; }
  double UnitFactor() const { return m_dUnitFactor; }
  // What the frame shows and the turn of the map in it (0 for a conversion).
  const FrameShown& Shown() const { return m_shown; }
  double RotateAngle() const { return m_dRotateAngle; }
  // The map view of a drawing (NULL for a conversion).
  IGIS_MapView* MapView() const { return m_pMapView; }
  IGIS_SpatialReference* MapReference() const { return m_pMapReference; }

  // The transformation from the grid's reference to the map's.
  IGIS_CoordTransform* ToMap() const { return m_toMap.Get(); }
  // Carries a grid point into the map's reference in place; false when it
  // cannot.
  bool GridToMap(SGIS_DPoint* pPoint) const;
  // Carries a grid point to where a conversion puts it on the page (0.01
  // mm, y up): into the map, then MapToPage with what the frame shows, its
  // scale and the turn; false when it cannot.
  bool GridToPage(SGIS_DPoint* pPoint) const;

 private:
  MeasureGridPlan m_plan;
  CGIS_SpatialReferenceHolder m_toMap;
  FrameShown m_shown;
  double m_dRotateAngle = 0.0;
  IGIS_MapView* m_pMapView = nullptr;
  IGIS_SpatialReference* m_pMapReference = nullptr;
  double m_dXOrigin = 0.0;
  double m_dYOrigin = 0.0;
  double m_dUnitFactor = 1.0;
  bool m_bLabelled = false;
};

}  // namespace md::layout::grid
