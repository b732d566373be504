// The geometry the coordinate labels of the grids share.
#include "layout/graphicelement/grid/label/labelgeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "host/basilo/igis_log.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_mainobject.h"
#include "host/notara/igis_annostyle.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/element/missingmap.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace md::layout::label {

bool GridLabelsSide(IGIS_MapGrid* pGrid, LabelSide side) {
  if (pGrid == nullptr) return false;
  bool bLeft = false, bTop = false, bRight = false, bBottom = false;
  pGrid->GetLabelVisible(&bLeft, &bTop, &bRight, &bBottom);
  return BySide(side, bBottom, bTop, bLeft, bRight);
}

IGIS_MapElement* LabelledFrame(IGIS_MapGrid* pGrid, const char* szMethod, const char* szNoMap) {
  if (pGrid == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "m_pMapGrid == NULL");
    return nullptr;
  }
  IGIS_MapElement* pFrame = pGrid->GetMapElement();
  if (pFrame == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_mapelement == NULL");
    return nullptr;
  }
  if (pFrame->GetMap() == nullptr) {
    // A map that cannot be found was recorded once, by the frame.
    if (!md::layout::FrameMapMissing(pFrame)) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s", szNoMap);
    return nullptr;
  }
  return pFrame;
}

IGIS_MapView* LabelledMapView(IGIS_MapElement* pFrame, const char* szMethod) {
  IGIS_MainObject* pMain = pFrame != nullptr ? pFrame->GetMainObject() : nullptr;
  IGIS_MapView* pMapView = pMain != nullptr ? pMain->GetMapView() : nullptr;
  if (pMapView == nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_mainview == NULL");
  return pMapView;
}

int CrossingFrame::EdgeOf(LabelSide side) const {
  return BySide<int>(side, bYDown ? rect.top : rect.bottom, bYDown ? rect.bottom : rect.top, rect.left,
                     rect.right);
}

bool SideCrossing(LabelSide side, const SGIS_Point* pCrossings, int nCount, const CrossingFrame& frame,
                  EdgeTest test, SGIS_Point* pOut) {
  if (pCrossings == nullptr || nCount < 1) return false;
  const SGIS_Point c = TakesLastCrossing(side) ? pCrossings[nCount - 1] : pCrossings[0];
  const SGIS_Rect& r = frame.rect;
  const bool bVertical = LabelsVerticalLines(side);
  switch (test) {
    case EdgeTest::kAny:
      break;
    case EdgeTest::kOnSide:
      if (bVertical) {
        if (c.y != frame.EdgeOf(side)) return false;
        const bool bInside =
            side == LabelSide::Bottom ? (r.left <= c.x && c.x <= r.right) : (r.left < c.x && c.x < r.right);
        if (!bInside) return false;
      } else {
        if (c.x != frame.EdgeOf(side) || c.y < r.bottom || c.y > r.top) return false;
      }
      break;
    case EdgeTest::kNotAtEnds:
      if (bVertical ? (c.x == r.left || c.x == r.right) : (c.y == r.bottom || c.y == r.top)) return false;
      break;
  }
  *pOut = c;
  return true;
}

SGIS_DPoint OffsetForSide(LabelSide side, SGIS_DPoint page, const SideOffsets& o) {
  switch (side) {
    case LabelSide::Bottom:
      return SGIS_DPoint(page.x + o.nBottomX, page.y - o.nBottomY);
    case LabelSide::Top:
      return SGIS_DPoint(page.x + o.nTopX, page.y + o.nTopY);
    case LabelSide::Left:
      return SGIS_DPoint(page.x - o.nLeftX, page.y + o.nLeftY);
    case LabelSide::Right:
      return SGIS_DPoint(page.x + o.nRightX, page.y + o.nRightY);
  }
  return page;
}

void AlignLabels(std::vector<GridLabelRecord>* pRecords, LabelSide side, CrowdRange leading,
                 CrowdRange trailing) {
  std::vector<GridLabelRecord>& r = *pRecords;
  const std::size_t n = r.size();
  if (n < 2) return;
  const bool bAlongX = LabelsVerticalLines(side);
  auto along = [&](std::size_t i) {
    return bAlongX ? static_cast<double>(r[i].position.x) : static_cast<double>(r[i].position.y);
  };
  for (std::size_t i = 0; i + 1 < n; ++i) {
    if (r[i].bSkipped || r[i + 1].bSkipped || !leading.Holds(along(i + 1) - along(i))) break;
    r[i].bSkipped = true;
  }
  for (std::size_t i = n - 1; i >= 1; --i) {
    if (r[i].bSkipped || r[i - 1].bSkipped || !trailing.Holds(along(i) - along(i - 1))) break;
    r[i].bSkipped = true;
  }
}

int QuarterTurnedAlignment(int nTurnedCode) {
  // Indexed by the turned box's code: the level box's code of the same point.
  static const int kLevel[9] = {GIS_ALIGN_CENTER,       GIS_ALIGN_LEFT_CENTER,   GIS_ALIGN_TOP_LEFT,
                                GIS_ALIGN_TOP_CENTER,   GIS_ALIGN_TOP_RIGHT,     GIS_ALIGN_RIGHT_CENTER,
                                GIS_ALIGN_BOTTOM_RIGHT, GIS_ALIGN_BOTTOM_CENTER, GIS_ALIGN_BOTTOM_LEFT};
  return nTurnedCode >= 0 && nTurnedCode <= 8 ? kLevel[nTurnedCode] : GIS_ALIGN_CENTER;
}

SGIS_DRect AlignedTextBound(int nAlignment, SGIS_DPoint anchor, double w, double h, double dAngle) {
  double fromLeft = 0.0, fromTop = 0.0;
  GIS_AlignmentFractions(nAlignment, &fromLeft, &fromTop);
  // The level box relative to the anchor, y up.
  const double x0 = -fromLeft * w, x1 = x0 + w;
  const double y1 = fromTop * h, y0 = y1 - h;
  const double a = std::isfinite(dAngle) ? dAngle * M_PI / 180.0 : 0.0;
  const double c = std::cos(a), s = std::sin(a);
  const double corners[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
  SGIS_DRect out(std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                 -std::numeric_limits<double>::max(), std::numeric_limits<double>::max());
  for (const auto& p : corners) {
    const double x = anchor.x + p[0] * c - p[1] * s;
    const double y = anchor.y + p[0] * s + p[1] * c;
    out.x1 = std::min(out.x1, x);
    out.x2 = std::max(out.x2, x);
    out.y2 = std::min(out.y2, y);
    out.y1 = std::max(out.y1, y);
  }
  return out;
}

bool CreateAlignedText(IGIS_CompoundElement* pCompound, IGIS_Symbol* pSymbol, int nAlignment,
                       SGIS_DPoint anchor, const char* szText, double dRatio) {
  if (pSymbol == nullptr || szText == nullptr) return false;
  SGIS_Rect extent;
  pSymbol->GetTextExtent(&extent, szText, 0, 1.0);
  const SGIS_DRect box = AlignedTextBound(nAlignment, anchor, extent.Width() * dRatio,
                                          extent.Height() * dRatio, pSymbol->GetAngle());
  return CreateTextElement(pCompound, SGIS_Point::FromDoubles(box.x1, box.y2), pSymbol, szText, false) !=
         FALSE;
}

}  // namespace md::layout::label
