// The lines that the labels of a measured grid write.
#include "layout/graphicelement/grid/label/measurelabellines.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/recentring.h"
#include "host/calcora/igis_geoarithmetic.h"
#include "host/helmora/igis_map.h"
#include "host/helmora/igis_mapview.h"
#include "layout/graphicelement/element/mapdeckgeometry.h"
#include "layout/graphicelement/grid/grid/geographicframe.h"
#include "layout/graphicelement/grid/grid/gridtolerance.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/grid/grid/measuregridplan.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace md::layout::label {

CrossingFrame MeasureLabelLines::PageFrame() const {
  CrossingFrame frame;
  frame.rect = m_pass.Shown().rect;
  frame.rect.Normalize();
  return frame;
}

int MeasureLabelLines::LineCount(bool bVertical) const {
  return (bVertical ? Plan().columns : Plan().rows).nCount;
}

double MeasureLabelLines::LineAt(bool bVertical, int i) const {
  return bVertical ? Plan().columns.At(i, Plan().dXInterval) : Plan().rows.At(i, Plan().dYInterval);
}

bool MeasureLabelLines::Accepts(LabelSide side, double c) const {
  const SGIS_DRect& a = Plan().extent;
  return LabelsVerticalLines(side) ? grid::WithinGridEdges(c, a.x1, a.x2, Plan().dXInterval)
                                   : grid::WithinGridEdges(c, a.y2, a.y1, Plan().dYInterval);
}

double MeasureLabelLines::LabelValue(LabelSide side, double c) const {
  return (c + (LabelsVerticalLines(side) ? m_pass.XOrigin() : m_pass.YOrigin())) / m_pass.UnitFactor();
}

void MeasureLabelLines::LineEnds(LabelSide side, double c, SGIS_DPoint* pFrom, SGIS_DPoint* pTo) const {
  // A direction without lines widens nothing.
  const double dx = std::max(Plan().dXInterval, 0.0);
  const double dy = std::max(Plan().dYInterval, 0.0);
  const SGIS_DRect& a = Plan().extent;
  if (LabelsVerticalLines(side)) {
    *pFrom = SGIS_DPoint(c, a.y2 - dy);
    *pTo = SGIS_DPoint(c, a.y1 + dy);
  } else {
    *pFrom = SGIS_DPoint(a.x1 - dx, c);
    *pTo = SGIS_DPoint(a.x2 + dx, c);
  }
}

bool MeasureLabelPass::Set(IGIS_MapGrid* pGrid, IGIS_Display* pDisplay, const char* szMethod,
                           const char* szNoArithmetic, const grid::MeasureGridPass* pGiven) {
  m_pPass = pGiven;
  if (m_pPass == nullptr) {
    if (!m_own.emplace().Make(dynamic_cast<IGIS_MeasureGrid*>(pGrid), pDisplay)) return false;
    m_pPass = &*m_own;
  }
  if (!m_pPass->Labelled()) return false;
  m_pLines = std::make_unique<MeasureLabelLines>(*m_pPass);
  m_pCaps = std::make_unique<grid::CGIS_GridCapRecord>(szMethod);
  m_pCaps->Note("lines", Lines().Vertical(), grid::kMaxGridLines);
  m_pCaps->Note("lines", Lines().Horizontal(), grid::kMaxGridLines);
  m_pArithmetic.reset(GIS_CreateGeoArithmeticObject());
  if (!m_pArithmetic) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s", szNoArithmetic);
    return false;
  }
  return true;
}

IGIS_FeatureSet* MeasureLabelPass::SetForConversion(IGIS_MapGrid* pGrid, IGIS_MapElement* pFrame,
                                                    const char* szMethod,
                                                    const grid::MeasureGridPass* pGiven) {
  IGIS_FeatureSet* pOwner = pFrame->GetFeatureSetPtr();
  if (pOwner == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_graphicLayer == NULL");
    return nullptr;
  }
  // A plan of the drawing (turned with the map) is not the conversion's.
  if (pGiven != nullptr && pGiven->MapView() != nullptr) pGiven = nullptr;
  if (!Set(pGrid, nullptr, szMethod, "p_geoArithmetic == NULL ", pGiven)) return nullptr;
  return pOwner;
}

IGIS_MapView* MeasureLabelPass::SetForDrawing(IGIS_MapGrid* pGrid, IGIS_MapElement* pFrame,
                                              IGIS_Display* pDisplay, const char* szMethod,
                                              const char* szNoArithmetic,
                                              const grid::MeasureGridPass* pGiven) {
  IGIS_MapView* pMapView = LabelledMapView(pFrame, szMethod);
  if (pMapView == nullptr) return nullptr;
  if (pGiven != nullptr && pGiven->MapView() == nullptr) pGiven = nullptr;
  if (!Set(pGrid, pDisplay, szMethod, szNoArithmetic, pGiven)) return nullptr;
  return pMapView;
}

const grid::MeasureGridPass* MeasurePlanOf(const grid::GridLabelPlan* pPlan) {
  return dynamic_cast<const grid::MeasureGridPass*>(pPlan);
}

IGIS_MapElement* CheckedMeasureFrame(IGIS_MapGrid* pGrid, const char* szMethod, const char* szNoMap,
                                     const char* szKindText, std::initializer_list<HeldPart> parts) {
  IGIS_MapElement* pFrame = LabelledFrame(pGrid, szMethod, szNoMap);
  if (pFrame == nullptr) return nullptr;
  auto* pMeasure = dynamic_cast<IGIS_MeasureGrid*>(pGrid);
  if (pGrid->GetType() != GIS_MAPGRID_MEASURE || pMeasure == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s", szKindText);
    return nullptr;
  }
  if (pMeasure->GetGridSpacing() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "m_pGridSpacing == NULL");
    return nullptr;
  }
  for (const HeldPart& part : parts) {
    if (!part.bHeld) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s", part.szMissing);
      return nullptr;
    }
  }
  return pFrame;
}

}  // namespace md::layout::label
