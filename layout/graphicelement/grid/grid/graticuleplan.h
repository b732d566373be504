// The plan of the graticules' meridians and parallels for one drawing or
// conversion: what the frame shows in degrees, how far the lines reach past
// it and which lines are tried. A graticule at its spacing (graticule/) and
// the graticule of fixed rows and columns (graticulemn/) build it once
// (GraticulePass), lay their own figure from it and hand it to their
// degrees-minutes-seconds label (label/dmslabellines.h), which writes on the
// very lines the grid lays.
#pragma once

#include "host/basilo/sgis_types.h"
#include "layout/graphicelement/grid/grid/geographicframe.h"
#include "layout/graphicelement/grid/grid/geotrace.h"
#include "layout/graphicelement/grid/grid/gridintervals.h"
#include "layout/graphicelement/grid/grid/gridlabelplan.h"
#include "layout/graphicelement/grid/grid/gridlines.h"

class IGIS_Display;
class IGIS_GridSpacing;
class IGIS_MapGrid;
class IGIS_MapView;

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
// number above 0 gives no lines on its axis, and one whose lines lie too
// close for the resolution none either (GridLineRun::bTooClose), nor one of
// more than nBudget lines (GridLineRun::bOverBudget; 0: no budget, for the
// runs ticks and interior labels are taken from).
struct GraticuleLines {
  GridLineRun meridians;
  GridLineRun parallels;
};
GraticuleLines CountGraticuleLines(const SGIS_DRect& extent, double dX, double dY,
                                   const GridResolution& resolution = GridResolution(),
                                   int nBudget = kGridPassBudget);

// The meridians (fixed longitude) or parallels (fixed latitude) of one pass
// at origin + k * step for the indices of the run. A line is traced when its
// coordinate lies in [low, high] (its ends within the grids' tolerance,
// gridtolerance.h) and no more than one step beyond the globe (180 degrees
// of longitude, 90 of latitude), over the stretch from -> to of the other
// coordinate. The line is held to the globe and so are both ends of its
// stretch; a stretch that lies wholly beyond the globe is not traced.
struct GraticuleLineSet {
  bool bMeridians = true;
  double dOrigin = 0.0;
  double dStep = 0.0;
  GridLineRun run;
  double dLow = 0.0, dHigh = 0.0;
  double dFrom = 0.0, dTo = 0.0;

  // The lines from origin + k * step that may lie in [low, high], tried
  // from the low end (at most nCap of them; none when they lie too close
  // for the resolution or are more than nBudget, 0 for no budget).
  static GraticuleLineSet Over(bool bMeridians, double dOrigin, double dStep, double dLow, double dHigh,
                               int nCap, const GridResolution& resolution = GridResolution(),
                               int nBudget = kGridPassBudget);
  // The lines k = 0 .. R((high - origin) / step) + 1 from the origin itself
  // (at most nCap of them), selected from [origin, high].
  static GraticuleLineSet FromOrigin(bool bMeridians, double dOrigin, double dStep, double dHigh, int nCap,
                                     const GridResolution& resolution = GridResolution(),
                                     int nBudget = kGridPassBudget);
  double At(int i) const { return dOrigin + run.At(i, dStep); }
  // Whether the line at v is traced, and its stretch in degrees.
  bool Selects(double v) const;
  bool RunAt(double v, GeoRun* pOut) const;
  GraticuleLineSet Along(double dFromValue, double dToValue) const;
};

// The lines of the graticule of fixed rows and columns over its plan: for
// a drawing (bDrawing) over the plan's extent turned by the map's rotation
// and widened by two intervals on every side, parallels from one interval
// east of its west edge to four past its east edge (meridians alike from
// the south); for a conversion over the plan's extent itself, from one
// interval before the origin to one past the far edge.
struct FixedCountLines {
  FixedCountGraticule plan;
  SGIS_DRect turned;  // the plan's extent turned with the map (a drawing), normalised
  SGIS_DRect extent;  // the extent the lines are selected from
  GraticuleLineSet meridians;
  GraticuleLineSet parallels;
  GridResolution resolution;
};
FixedCountLines PlanFixedCountLines(const FixedCountGraticule& plan, bool bDrawing, double dRotateAngle,
                                    const GridResolution& resolution = GridResolution());

// One drawing's or conversion's plan of a graticule (kind 0) or of the
// graticule of fixed rows and columns (kind 3), with the geographic frame
// that carries its points: the grid builds it once, lays its figure from it
// and hands it to its label.
class GraticulePass final : public GridLabelPlan {
 public:
  GraticulePass() = default;

  // Builds the geographic frame of the frame's map (keeping what it works
  // out in pCache when given), carries what the frame shows into degrees,
  // aims the frame back at the map and plans the grid's lines: for a
  // drawing on pDisplay with the map turned as the frame's map view turns
  // it, the lines laid in device pixels; without a display, for a
  // conversion: the map not turned, the lines laid on the page. A
  // graticule's lines lie at whole multiples of its spacing's intervals over
  // the extent widened (a drawing) by kGraticuleMargin intervals; those of
  // the graticule of fixed rows and columns as PlanFixedCountLines places
  // them, at the interval its search finds (its spacing is not written). A
  // grid without a spacing is planned without lines. False, with nothing
  // planned, for a grid of another kind, without the frame's map, the
  // map's geographic frame, or (a drawing) the display's view or the
  // frame's map view.
  bool Make(IGIS_MapGrid* pGrid, IGIS_Display* pDisplay, GeographicFrameCache* pCache = nullptr);
  // The planning of the lines Make ends with, over what the frame shows in
  // degrees (either corner order) turned by dRotateAngle, for a drawing
  // (bDrawing) or a conversion. False for a grid of another kind.
  bool PlanLines(IGIS_MapGrid* pGrid, const SGIS_DRect& degrees, double dRotateAngle, bool bDrawing,
                 const GridResolution& resolution = GridResolution());

  // The frame that carries degrees to the map.
  GeographicFrame& Geo() const { return m_geo; }
  int GridType() const { return m_nType; }
  // Whether the map's geographic frame was built (Make goes on from there).
  bool Built() const { return m_bBuilt; }
  bool HasSpacing() const { return m_bSpacing; }
  // Whether every sample of the map bound reached degrees, and whether any
  // did (else Degrees() is still in map units).
  bool AllCarried() const { return m_bAllCarried; }
  bool Carried() const { return m_bCarried; }
  // What the frame shows (map units), and in degrees (normalised, x1 west,
  // y1 north), and the turn of the map (0 for a conversion).
  const FrameShown& Shown() const { return m_shown; }
  const SGIS_DRect& Degrees() const { return m_degrees; }
  double RotateAngle() const { return m_dRotateAngle; }
  IGIS_MapView* MapView() const { return m_pMapView; }
  const GridResolution& Resolution() const { return m_resolution; }

  // The lines: the extent they are selected from, the meridians and the
  // parallels, and the shift of the values a label writes for them (a
  // graticule's spacing origins; 0 for fixed rows and columns).
  const SGIS_DRect& Extent() const { return m_extent; }
  const GraticuleLineSet& Meridians() const { return m_meridians; }
  const GraticuleLineSet& Parallels() const { return m_parallels; }
  double XOrigin() const { return m_dXOrigin; }
  double YOrigin() const { return m_dYOrigin; }
  // A graticule's runs as GraticuleLines.
  GraticuleLines Lines() const { return {m_meridians.run, m_parallels.run}; }
  // The graticule of fixed rows and columns: its plan and lines.
  const FixedCountLines& FixedCount() const { return m_fixed; }

 private:
  // The kind's spacing (NULL without one); false for another kind.
  bool SpacingOf(IGIS_MapGrid* pGrid, IGIS_GridSpacing** ppSpacing);
  void PlanGraticule(IGIS_GridSpacing* pSpacing, bool bDrawing);
  void PlanFixedCount(int nLatitudeCount, int nLongitudeCount, IGIS_GridSpacing* pSpacing, bool bDrawing);

  mutable GeographicFrame m_geo;
  int m_nType = -1;
  bool m_bBuilt = false;
  bool m_bSpacing = false;
  bool m_bAllCarried = false;
  bool m_bCarried = false;
  FrameShown m_shown;
  SGIS_DRect m_degrees;
  double m_dRotateAngle = 0.0;
  IGIS_MapView* m_pMapView = nullptr;
  GridResolution m_resolution;
  SGIS_DRect m_extent;
  GraticuleLineSet m_meridians;
  GraticuleLineSet m_parallels;
  double m_dXOrigin = 0.0;
  double m_dYOrigin = 0.0;
  FixedCountLines m_fixed;
};

}  // namespace md::layout::grid
