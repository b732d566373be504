// The lines that the labels of a measured (kilometre) grid write, for one
// drawing or conversion: the area to label in the grid's own projected
// reference, the intervals and origins in that reference's units, the runs
// of vertical and horizontal lines to try, the carrying of grid points into
// the map's reference; the walk of a side's labelled lines is
// labellinewalk.h. The formatted and the mixed-font labels share them.
#pragma once

#include <initializer_list>

#include "host/basilo/releaseptr.h"
#include "host/basilo/sgis_types.h"
#include "host/calcora/igis_geoarithmetic.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/cgis_spatialreferenceholder.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/grid/measuregridplan.h"
#include "layout/graphicelement/grid/label/labellinewalk.h"

class IGIS_FeatureSet;
class IGIS_MapElement;
class IGIS_MapGrid;
class IGIS_MapView;
class IGIS_MeasureGrid;

namespace md::layout::label {

// The spacing of a measured grid as stored: intervals and origins in the
// unit of the factory's linear unit list at nUnits.
struct MeasureSpacing {
  double dXInterval = 0.0;
  double dYInterval = 0.0;
  double dXOrigin = 0.0;
  double dYOrigin = 0.0;
  int nUnits = 0;
};

class MeasureLabelLines final : public LabelLines {
 public:
  MeasureLabelLines() = default;

  // Sets the lines up: the grid's plan (grid::PlanMeasureGrid) over the map
  // bound carried into the grid's reference (grid::MeasureGridExtent),
  // within the part of the grid's plane that its projection covers (the
  // bound of the world's points, every 10 degrees on the map's datum, that
  // the projection carries; no limit when it carries none) and widened by
  // the map's rotation. The intervals and origins are scaled by the unit
  // factor of the spacing's linear unit. False, with nothing to label, when
  // either reference is missing, the map's is neither geographic nor
  // projected, or the map bound cannot be carried into the grid's reference.
  bool Prepare(IGIS_SpatialReference* pMapReference, IGIS_SpatialReference* pGridReference,
               const SGIS_DRect& mapBound, double dRotateAngle, const MeasureSpacing& spacing);

  // Sets the lines of the measured grid up over the part of the map its
  // frame shows, turned by the angle; false as Prepare. The frame's scale
  // (map units per page unit) goes into *pScale.
  bool PrepareFor(IGIS_MeasureGrid* pGrid, IGIS_MapElement* pFrame, double dRotateAngle, double* pScale);

  // The area, x1 left, x2 right, y1 top, y2 bottom, in grid coordinates.
  const SGIS_DRect& Area() const { return m_plan.extent; }
  double XInterval() const { return m_plan.dXInterval; }
  double YInterval() const { return m_plan.dYInterval; }
  // The size of the spacing's unit in grid units.
  double UnitFactor() const { return m_dUnitFactor; }
  // The vertical lines (x = k * XInterval) and horizontal lines to try.
  const grid::GridLineRun& Vertical() const { return m_plan.columns; }
  const grid::GridLineRun& Horizontal() const { return m_plan.rows; }
  // Whether a run was cut to the cap.
  bool Capped() const { return m_plan.columns.bCapped || m_plan.rows.bCapped; }
  // The grid's plan the lines are taken from (grid/grid/measuregridplan.h).
  const grid::MeasureGridPlan& Plan() const { return m_plan; }

  // Whether the line of the side's direction at grid coordinate c lies in
  // the area (edges included, within the grids' tolerance of the interval).
  int LineCount(bool bVertical) const override;
  double LineAt(bool bVertical, int i) const override;
  bool Accepts(LabelSide side, double c) const override;
  // The value a label writes for that line, in the spacing's unit:
  // (c + origin) / unit factor.
  double LabelValue(LabelSide side, double c) const override;
  // The ends of that line: across the area widened by one interval, from
  // its low end to its high end.
  void LineEnds(LabelSide side, double c, SGIS_DPoint* pFrom, SGIS_DPoint* pTo) const override;
  // Carries a grid point into the map's reference in place; false when it
  // cannot.
  bool GridToMap(SGIS_DPoint* pPoint) const;
  // After PrepareFor: carries a grid point to where the frame shows it on
  // the page (0.01 mm, y up), in place; false when it cannot.
  bool GridToPage(SGIS_DPoint* pPoint) const;
  // After PrepareFor: the frame's rectangle on the page, normalised, to cross
  // the lines carried by GridToPage with.
  CrossingFrame PageFrame() const;

 private:
  md::basilo::ReleasePtr<IGIS_SpatialReference> m_pDegrees;
  CGIS_SpatialReferenceHolder m_toMap;
  grid::MeasureGridPlan m_plan;
  double m_dXOrigin = 0.0;
  double m_dYOrigin = 0.0;
  double m_dUnitFactor = 1.0;
  // What PrepareFor found of the frame: the map bound it shows, its page
  // rectangle, scale and turn.
  SGIS_DRect m_shown;
  SGIS_Rect m_frameRect;
  double m_dScale = 0.0;
  double m_dRotateAngle = 0.0;
};

// What one drawing or conversion of a measured grid's labels sets up after
// its checks: the lines over the part of the map the frame shows, turned by
// the angle, and a geo arithmetic object to cross them with the frame.
struct MeasureLabelPass {
  MeasureLabelLines lines;
  md::basilo::ReleasePtr<IGIS_GeoArithmetic> pArithmetic;
  double dScale = 0.0;  // map units per page unit

  // False when there is nothing to label (MeasureLabelLines::Prepare) or no
  // geo arithmetic object (a level-3 record of szNoArithmetic under the
  // method). Lines cut to the cap are noted once under the method.
  bool Set(IGIS_MeasureGrid* pGrid, IGIS_MapElement* pFrame, double dRotateAngle, const char* szMethod,
           const char* szNoArithmetic);
  // The start of a conversion: the frame's feature set (NULL after a
  // level-3 record "p_graphicLayer == NULL" under the method), then Set for
  // the grid with the frame's own turn, as the map is drawn in its frame.
  // The feature set when both pass, else NULL.
  IGIS_FeatureSet* SetForConversion(IGIS_MapGrid* pGrid, IGIS_MapElement* pFrame, const char* szMethod);
  // The start of a drawing: the view the frame's map is drawn in
  // (LabelledMapView), then Set for the grid with that view's turn. The
  // view when both pass, else NULL.
  IGIS_MapView* SetForDrawing(IGIS_MapGrid* pGrid, IGIS_MapElement* pFrame, const char* szMethod,
                              const char* szNoArithmetic);
};

// What a label must hold to draw or convert: whether it holds it, and the
// record's text when it does not.
struct HeldPart {
  bool bHeld;
  const char* szMissing;
};

// The checks a measured grid's label makes before it draws or converts, in
// this order, each failure a level-3 record under the method: the labelled
// frame (LabelledFrame, with szNoMap in place of "p_map == NULL"), a
// measured grid (szKindText), its spacing ("m_pGridSpacing == NULL") and
// then each of the label's parts. The frame when all pass, else NULL.
IGIS_MapElement* CheckedMeasureFrame(IGIS_MapGrid* pGrid, const char* szMethod, const char* szNoMap,
                                     const char* szKindText, std::initializer_list<HeldPart> parts);

}  // namespace md::layout::label
