// The meridians and parallels a degrees-minutes-seconds label writes.
#include "layout/graphicelement/grid/label/dmslabellines.h"

#include <algorithm>
#include <cmath>

#include "layout/graphicelement/grid/grid/gridtolerance.h"

namespace md::layout::label {

int DmsLabelLines::LineCount(bool bVertical) const {
  return (bVertical ? Meridians() : Parallels()).run.nCount;
}

double DmsLabelLines::LineAt(bool bVertical, int i) const {
  return bVertical ? Meridians().At(i) : Parallels().At(i);
}

bool DmsLabelLines::Accepts(LabelSide side, double c) const {
  if (!std::isfinite(c)) return false;
  if (LabelsVerticalLines(side)) {
    return Meridians().Selects(c) && grid::WithinGridEdges(c, -180.0, 180.0, XInterval());
  }
  return Parallels().Selects(c);
}

double DmsLabelLines::LabelValue(LabelSide side, double c) const {
  return LabelsVerticalLines(side) ? c + m_plan.XOrigin() : std::clamp(c, -90.0, 90.0) + m_plan.YOrigin();
}

void DmsLabelLines::LineEnds(LabelSide side, double c, SGIS_DPoint* pFrom, SGIS_DPoint* pTo) const {
  // A direction without lines reaches no further than the extent.
  const double dx = std::max(XInterval(), 0.0);
  const double dy = std::max(YInterval(), 0.0);
  const SGIS_DRect& e = Extent();
  if (LabelsVerticalLines(side)) {
    const double lon = std::clamp(c, -180.0, 180.0);
    *pFrom = SGIS_DPoint(lon, std::clamp(e.y2 - dy, -90.0, 90.0));
    *pTo = SGIS_DPoint(lon, std::clamp(e.y1 + dy, -90.0, 90.0));
  } else {
    const double lat = std::clamp(c, -90.0, 90.0);
    *pFrom = SGIS_DPoint(std::clamp(e.x1 - dx, -180.0, 180.0), lat);
    *pTo = SGIS_DPoint(std::clamp(e.x2 + dx, -180.0, 180.0), lat);
  }
}

}  // namespace md::layout::label
