// The lines that the labels of a measured (kilometre) grid write, for one
// drawing or conversion: those of the grid's own plan
// (grid/grid/measuregridplan.h), which the grid hands its label or the label
// makes as the grid does when it is drawn on its own; the walk of a side's
// labelled lines is labellinewalk.h. The formatted and the mixed-font labels
// share them.
#pragma once

#include <initializer_list>
#include <memory>
#include <optional>

#include "host/basilo/releaseptr.h"
#include "host/basilo/sgis_types.h"
#include "host/calcora/igis_geoarithmetic.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/grid/measuregridplan.h"
#include "layout/graphicelement/grid/label/labellinewalk.h"

class IGIS_Display;
class IGIS_FeatureSet;
class IGIS_MapElement;
class IGIS_MapGrid;
class IGIS_MapView;
class IGIS_MeasureGrid;

namespace md::layout::label {

// The lines of a measured grid's plan as its labels read them.
class MeasureLabelLines final : public LabelLines {
 public:
  explicit MeasureLabelLines(const grid::MeasureGridPass& pass) : m_pass(pass) {}

  // The area, x1 left, x2 right, y1 top, y2 bottom, in grid coordinates.
  const SGIS_DRect& Area() const { return Plan().extent; }
  double XInterval() const { return Plan().dXInterval; }
  double YInterval() const { return Plan().dYInterval; }
  // The size of the spacing's unit in grid units.
  double UnitFactor() const { return m_pass.UnitFactor(); }
  // The vertical lines (x = k * XInterval) and horizontal lines to try.
  const grid::GridLineRun& Vertical() const { return Plan().columns; }
  const grid::GridLineRun& Horizontal() const { return Plan().rows; }
  // The grid's plan the lines are taken from (grid/grid/measuregridplan.h).
  const grid::MeasureGridPlan& Plan() const { return m_pass.Plan(); }

  int LineCount(bool bVertical) const override;
  double LineAt(bool bVertical, int i) const override;
  // Whether the line of the side's direction at grid coordinate c lies in
  // the area (edges included, within the grids' tolerance of the interval).
  bool Accepts(LabelSide side, double c) const override;
  // The value a label writes for that line, in the spacing's unit:
  // (c + origin) / unit factor.
  double LabelValue(LabelSide side, double c) const override;
  // The ends of that line: across the area widened by one interval, from
  // its low end to its high end.
  void LineEnds(LabelSide side, double c, SGIS_DPoint* pFrom, SGIS_DPoint* pTo) const override;
  // Carries a grid point into the map's reference in place; false when it
  // cannot.
  bool GridToMap(SGIS_DPoint* pPoint) const { return m_pass.GridToMap(pPoint); }
  // Of a conversion's plan: carries a grid point to where the frame shows it
  // on the page (0.01 mm, y up), in place; false when it cannot.
  bool GridToPage(SGIS_DPoint* pPoint) const { return m_pass.GridToPage(pPoint); }
  // The frame's rectangle on the page, normalised, to cross the lines
  // carried by GridToPage with.
  CrossingFrame PageFrame() const;

 private:
  const grid::MeasureGridPass& m_pass;
};

// What one drawing or conversion of a measured grid's labels sets up after
// its checks: the plan (the grid's, when it hands one; else one made for the
// label alone as the grid makes it), its lines, and a geo arithmetic object
// to cross them with the frame.
class MeasureLabelPass {
 public:
  MeasureLabelPass() = default;
  MeasureLabelPass(const MeasureLabelPass&) = delete;
  MeasureLabelPass& operator=(const MeasureLabelPass&) = delete;

  // The start of a conversion: the frame's feature set (NULL after a
  // level-3 record "p_graphicLayer == NULL" under the method), then the
  // conversion's plan (pGiven, or one made). The feature set when the plan's
  // lines can be labelled and a geo arithmetic object is made, else NULL.
  IGIS_FeatureSet* SetForConversion(IGIS_MapGrid* pGrid, IGIS_MapElement* pFrame, const char* szMethod,
                                    const grid::MeasureGridPass* pGiven);
  // The start of a drawing: the view the frame's map is drawn in
  // (LabelledMapView), then the drawing's plan on the display (pGiven, or
  // one made). The view when the plan's lines can be labelled and a geo
  // arithmetic object is made (else a level-3 record of szNoArithmetic
  // under the method), else NULL.
  IGIS_MapView* SetForDrawing(IGIS_MapGrid* pGrid, IGIS_MapElement* pFrame, IGIS_Display* pDisplay,
                              const char* szMethod, const char* szNoArithmetic,
                              const grid::MeasureGridPass* pGiven);

  const MeasureLabelLines& Lines() const { return *m_pLines; }
  IGIS_GeoArithmetic* Arithmetic() const { return m_pArithmetic.get(); }
  const grid::MeasureGridPass& Pass() const { return *m_pPass; }
  // The record of the passes cut or left out, once under the method.
  grid::CGIS_GridCapRecord& Caps() const { return *m_pCaps; }

 private:
  // Takes the plan and its lines; lines cut to the cap are noted once under
  // the method.
  bool Set(IGIS_MapGrid* pGrid, IGIS_Display* pDisplay, const char* szMethod, const char* szNoArithmetic,
           const grid::MeasureGridPass* pGiven);

  // Built only for a label drawn or converted on its own.
  std::optional<grid::MeasureGridPass> m_own;
  const grid::MeasureGridPass* m_pPass = nullptr;
  std::unique_ptr<MeasureLabelLines> m_pLines;
  std::unique_ptr<grid::CGIS_GridCapRecord> m_pCaps;
  md::basilo::ReleasePtr<IGIS_GeoArithmetic> m_pArithmetic;
};

// The measured grid's plan a label was handed, or NULL for a plan of
// another kind (or none).
const grid::MeasureGridPass* MeasurePlanOf(const grid::GridLabelPlan* pPlan);

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
