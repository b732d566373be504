// The plan a grid's drawing or conversion works out once and hands to its
// label, so that the label writes on the very lines the grid lays: the
// measured grid's (measuregridplan.h) and the graticules' (graticuleplan.h).
// A label drawn or converted on its own asks the same planning functions.
#pragma once

#include "layout/graphicelement/grid/grid/gridlines.h"
#include "platform/win/wintypes.h"

class IGIS_Display;
class IGIS_Element;

namespace md::layout::grid {

// What a kind plans for one drawing or conversion; each kind's plan derives
// from it and a label reads the one of its grid's kind. While it lives, the
// grid's budget for the drawing or conversion (kGridBudget) is open, so that
// the passes of the figure and the label draw on one budget.
class GridLabelPlan {
 public:
  virtual ~GridLabelPlan() = default;
  GridLabelPlan(const GridLabelPlan&) = delete;
  GridLabelPlan& operator=(const GridLabelPlan&) = delete;

 protected:
  GridLabelPlan() { CountGridPlanBuilt(); }

 private:
  CGIS_GridBudget m_budget{kGridBudget};
};

// A label that writes on its grid's plan (the library's coordinate labels).
// A plan of another kind than its own is taken as none: the label then
// plans as when it is drawn or converted on its own.
class PlannedGridLabel {
 public:
  virtual bool DrawPlanned(HDC hdc, bool bPrint, IGIS_Display* pDisplay, const GridLabelPlan& plan) = 0;
  virtual IGIS_Element* ConvertPlanned(const GridLabelPlan& plan) = 0;

 protected:
  PlannedGridLabel() = default;
  ~PlannedGridLabel() = default;
};

}  // namespace md::layout::grid
