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

IGIS_Element* ConvertMeasureGridFigure(IGIS_MeasureGrid* pGrid, IGIS_Element* pBase,
                                       const grid::MeasureGridPass* pPass) {
  auto* pResult = dynamic_cast<IGIS_CompoundElement*>(pBase);
  if (pResult == nullptr) return FailAndDrop("p_element == NULL", pBase);
  IGIS_MapElement* pFrame = pGrid->GetMapElement();
  IGIS_Map* pMap = pFrame != nullptr ? pFrame->GetMap() : nullptr;
  if (pMap == nullptr) return FailAndDrop("p_map == NULL", pBase);
  if (pGrid->GetGridSpacing() == nullptr) return FailAndDrop("m_pGridSpacing == NULL", pBase);
  if (pGrid->GetSpatialReference() == nullptr) return FailAndDrop("m_pSpatialReference == NULL", pBase);
  if (pPass == nullptr || pPass->ToMap() == nullptr) return FailAndDrop("p_coordTransform == NULL", pBase);
  const MeasureGridPlan& plan = pPass->Plan();

  IGIS_FeatureSet* pOwner = pFrame->GetFeatureSetPtr();
  IGIS_CompoundElement* pFigure = CreateCompoundElement(pOwner);
  if (pFigure == nullptr) return pResult;
  md::basilo::ReleasePtr<IGIS_GeoArithmetic> pArithmetic(GIS_CreateGeoArithmeticObject());
  if (pArithmetic == nullptr) {
    DropCompound(pFigure);
    return FailAndDrop("p_geoArithmetic == NULL ", pBase);
  }
  try {
    MeasureLineTracer tracer(pArithmetic.get(), pPass->Shown().rect, kSegments,
                             [pPass](SGIS_DPoint* p) { return pPass->GridToPage(p); });
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
