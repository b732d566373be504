// The conversion of a measured grid's own figure into plain elements.
#include "layout/graphicelement/grid/measure/measuregridconvert.h"

#include <cmath>
#include <exception>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/calcora/igis_geoarithmetic.h"
#include "host/featra/igis_feature.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/cgis_spatialreferenceholder.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/grid/measure/measuregridwalk.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace md::layout::measure {

namespace {

constexpr const char* kMethod = "CGIS_MeasureGrid::ConvertToElement";
constexpr int kSegments = 200;

// Ends what a conversion made: a compound with every member it holds.
void DropMade(IGIS_Element* pElement) {
  if (auto* pCompound = dynamic_cast<IGIS_CompoundElement*>(pElement)) {
    DropCompound(pCompound);
  } else {
    DropElement(pElement);
  }
}

IGIS_Element* FailAndDrop(const char* szText, IGIS_Element* pMade) {
  GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "%s", szText);
  DropMade(pMade);
  return nullptr;
}

// Makes what the walk finds in the grid compound.
class ElementSink final : public MeasureGridSink {
 public:
  ElementSink(IGIS_MeasureGrid* pGrid, IGIS_CompoundElement* pCompound, MeasureLineTracer& tracer)
      : m_pGrid(pGrid), m_pCompound(pCompound), m_tracer(tracer) {}

  void OnLine(const SGIS_Point* pPoints, int nCount) override {
    CreatePolylineElement(m_pCompound, pPoints, nCount, m_pGrid->GetLineSymbol());
  }

  void OnMark(SGIS_DPoint gridPoint) override {
    if (!m_tracer.Carry(&gridPoint)) return;
    CreatePointElement(m_pCompound, SGIS_Point::FromDoubles(gridPoint.x, gridPoint.y, gridPoint.z),
                       m_pGrid->GetMarkSymbol());
  }

  void OnTick(GridSide side, bool bSub, SGIS_Point p) override {
    const double dLength = bSub ? m_pGrid->GetSubTickLength() : m_pGrid->GetTickLength();
    SGIS_Point points[2] = {p, p};
    switch (side) {
      case GridSide::kBottom:
        points[1].y = md::basilo::detail::RoundToInt32(p.y - dLength);
        break;
      case GridSide::kTop:
        points[1].y = md::basilo::detail::RoundToInt32(p.y + dLength);
        break;
      case GridSide::kLeft:
        points[1].x = md::basilo::detail::RoundToInt32(p.x - dLength);
        break;
      case GridSide::kRight:
        points[1].x = md::basilo::detail::RoundToInt32(p.x + dLength);
        break;
    }
    CreatePolylineElement(m_pCompound, points, 2,
                          bSub ? m_pGrid->GetSubTickLineSymbol() : m_pGrid->GetTickLineSymbol());
  }

 private:
  IGIS_MeasureGrid* m_pGrid;
  IGIS_CompoundElement* m_pCompound;
  MeasureLineTracer& m_tracer;
};

}  // namespace

IGIS_Element* ConvertMeasureGridFigure(IGIS_MeasureGrid* pGrid, IGIS_Element* pBase) {
  auto* pResult = dynamic_cast<IGIS_CompoundElement*>(pBase);
  if (pResult == nullptr) return FailAndDrop("p_element == NULL", pBase);
  IGIS_MapElement* pFrame = pGrid->GetMapElement();
  IGIS_Map* pMap = pFrame != nullptr ? pFrame->GetMap() : nullptr;
  if (pMap == nullptr) return FailAndDrop("p_map == NULL", pBase);
  IGIS_GridSpacing* pSpacing = pGrid->GetGridSpacing();
  if (pSpacing == nullptr) return FailAndDrop("m_pGridSpacing == NULL", pBase);
  IGIS_SpatialReference* pGridReference = pGrid->GetSpatialReference();
  if (pGridReference == nullptr) return FailAndDrop("m_pSpatialReference == NULL", pBase);
  CGIS_SpatialReferenceHolder transform;
  if (!transform.Create(nullptr, nullptr, nullptr, nullptr))
    return FailAndDrop("p_coordTransform == NULL", pBase);
  IGIS_CoordTransform* pTransform = transform.Get();
  IGIS_SpatialReference* pMapReference = pMap->GetSpatialReference();

  // The part of the map the frame shows: its bound widened to the frame's
  // proportions, at the frame's scale.
  const grid::FrameShown shown = grid::ShownByFrame(pFrame);
  const double dScale = shown.dScale;
  const SGIS_Rect frame = shown.rect;
  const SGIS_DRect bound = shown.bound;
  SGIS_DRect extent;
  pTransform->SetSourceAndTarget(pMapReference, pGridReference);
  grid::MeasureGridExtent(pTransform, bound, 0.0, nullptr, &extent);

  double dX = 0.0, dY = 0.0;
  MeasureGridIntervals(pSpacing, &dX, &dY);
  const MeasureGridPlan plan =
      PlanMeasureGrid(extent, dX, dY, pGrid->GetTickDivision(), pGrid->GetSubTickCount());

  IGIS_FeatureSet* pOwner = pFrame->GetFeatureSetPtr();
  IGIS_CompoundElement* pFigure = CreateCompoundElement(pOwner);
  if (pFigure == nullptr) return pResult;
  md::basilo::ReleasePtr<IGIS_GeoArithmetic> pArithmetic(GIS_CreateGeoArithmeticObject());
  if (pArithmetic == nullptr) {
    DropCompound(pFigure);
    return FailAndDrop("p_geoArithmetic == NULL ", pBase);
  }
  try {
    pTransform->SetSourceAndTarget(pGridReference, pMapReference);
    MeasureLineTracer tracer(pArithmetic.get(), frame, kSegments,
                             [pTransform, bound, frame, dScale](SGIS_DPoint* p) {
                               if (!pTransform->TransformPoint(1, p, 1)) return false;
                               const double z = p->z;
                               *p = grid::MapToPage(*p, bound, frame, dScale);
                               p->z = z;
                               return true;
                             });
    ElementSink sink(pGrid, pFigure, tracer);
    grid::CGIS_GridCapRecord caps(kMethod);
    WalkMeasureGrid(plan, MeasureGridPartsOf(pGrid), tracer, sink, caps);
  } catch (const std::exception& e) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "conversion cut short: %s", e.what());
    DropCompound(pFigure);
    return pResult;
  }
  if (!pResult->AddElement(pFigure)) DropCompound(pFigure);
  return pResult;
}

}  // namespace md::layout::measure
