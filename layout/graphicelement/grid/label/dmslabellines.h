// The meridians and parallels that a degrees-minutes-seconds label writes,
// for one drawing or conversion: those of its graticule's plan
// (grid/grid/graticuleplan.h), which the grid hands its label or the label
// makes as the grid does when it is drawn on its own. A graticule's lines
// lie at its spacing over the extent widened by two intervals (a drawing),
// those of the graticule of fixed rows and columns where its search and
// origins put them; the label writes on those that meet the frame.
#pragma once

#include "host/basilo/sgis_types.h"
#include "layout/graphicelement/grid/grid/graticuleplan.h"
#include "layout/graphicelement/grid/label/labellinewalk.h"

namespace md::layout::label {

class DmsLabelLines final : public LabelLines {
 public:
  explicit DmsLabelLines(const grid::GraticulePass& plan) : m_plan(plan) {}

  // The extent the lines are tried over (widened for a graticule's drawing).
  const SGIS_DRect& Extent() const { return m_plan.Extent(); }
  double XInterval() const { return Meridians().dStep; }
  double YInterval() const { return Parallels().dStep; }
  const grid::GraticuleLineSet& Meridians() const { return m_plan.Meridians(); }
  const grid::GraticuleLineSet& Parallels() const { return m_plan.Parallels(); }
  // Whether either run was cut.
  bool Capped() const { return Meridians().run.bCapped || Parallels().run.bCapped; }

  int LineCount(bool bVertical) const override;
  double LineAt(bool bVertical, int i) const override;
  // A line the grid selects (grid::GraticuleLineSet::Selects), a meridian
  // within -180..180 too (within the grids' tolerance of the interval).
  bool Accepts(LabelSide side, double c) const override;
  // The longitude, or the latitude held to -90..90, shifted by the plan's
  // origin: the origin moves the texts, not the lines.
  double LabelValue(LabelSide side, double c) const override;
  // A meridian from one interval south of the extent to one north of it, a
  // parallel from one interval west to one east, each held to the globe.
  void LineEnds(LabelSide side, double c, SGIS_DPoint* pFrom, SGIS_DPoint* pTo) const override;

 private:
  const grid::GraticulePass& m_plan;
};

}  // namespace md::layout::label
