// Turning the graticule of fixed rows and columns into plain elements in
// page coordinates.
#include <exception>

#include "host/basilo/igis_log.h"
#include "host/featra/igis_feature.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/grid/graticulemn/graticulemndraw.h"
#include "layout/graphicelement/grid/graticulemn/graticulemnfigure.h"
#include "layout/graphicelement/grid/grid/geographicframe.h"
#include "layout/graphicelement/grid/grid/geotrace.h"
#include "layout/graphicelement/grid/grid/igis_graticulemngrid.h"
#include "layout/graphicelement/mapframe/igis_mapelement.h"

namespace md::layout::graticulemn {

namespace {

// Makes each piece an element of the grid's group with the grid's symbol.
class ElementSink final : public grid::GeoFigureSink {
 public:
  ElementSink(IGIS_CompoundElement* pGroup, IGIS_MapGrid* pGrid) : m_pGroup(pGroup), m_pGrid(pGrid) {}
  void Line(const SGIS_Point* pPoints, int nCount) override {
    CreatePolylineElement(m_pGroup, pPoints, nCount, m_pGrid->GetLineSymbol());
  }
  void Marker(SGIS_Point point) override { CreatePointElement(m_pGroup, point, m_pGrid->GetMarkSymbol()); }
  void Tick(bool bSub, SGIS_Point from, SGIS_Point to) override {
    const SGIS_Point points[2] = {from, to};
    CreatePolylineElement(m_pGroup, points, 2,
                          bSub ? m_pGrid->GetSubTickLineSymbol() : m_pGrid->GetTickLineSymbol());
  }

 private:
  IGIS_CompoundElement* m_pGroup;
  IGIS_MapGrid* m_pGrid;
};

}  // namespace

IGIS_Element* ConvertGraticuleMN(IGIS_GraticuleMNGrid* pGrid, IGIS_Element* pResultElement) {
  auto* pResult = dynamic_cast<IGIS_CompoundElement*>(pResultElement);
  IGIS_MapElement* pFrame = pGrid != nullptr ? pGrid->GetMapElement() : nullptr;
  if (pResult == nullptr || pFrame == nullptr) return pResultElement;
  IGIS_Map* pMap = pFrame->GetMap();
  if (pMap == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvertToElement, "p_map == NULL");
    return pResult;
  }
  // Tested before the group is made, so that nothing stray is left behind:
  // a reference without degrees, and the object that cuts the lines.
  grid::GeographicFrame geo;
  if (!geo.Build(pMap->GetSpatialReference())) return pResult;
  if (pGrid->GetGridSpacing() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvertToElement, "m_pGridSpacing == NULL");
    return pResult;
  }
  // The part of the map the frame shows, at the frame's scale (the scale
  // first, as the frame works it out).
  const double dScale = pFrame->GetScale();
  const SGIS_Rect rect = pFrame->GetRect();
  SGIS_DRect stored;
  pFrame->GetMapBound(&stored);
  double dShownScale = 0.0;
  const SGIS_DRect bound = grid::ShownMapBound(stored, rect, &dShownScale);
  grid::GeoPageSpace space(geo, bound, rect, dScale);
  grid::GeoLineTracer tracer(space, rect);
  if (!tracer.Ready()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvertToElement, "p_geoArithmetic == NULL");
    return pResult;
  }
  IGIS_FeatureSet* pOwner = pResult->GetFeatureSetPtr();
  IGIS_Element* pMade =
      pOwner != nullptr ? pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND) : nullptr;
  auto* pGroup = dynamic_cast<IGIS_CompoundElement*>(pMade);
  if (pGroup == nullptr) {
    DropElement(pMade);
    return pResult;
  }
  const grid::FixedCountGraticule plan = PlanGraticuleMN(pGrid, geo, bound, kConvertToElement);
  try {
    if (plan.HasLines()) {
      const Figure figure = ConversionFigure(plan, pGrid->GetTickDivision(), pGrid->GetSubTickCount());
      ElementSink sink(pGroup, pGrid);
      grid::CGIS_GridCapRecord cap(kConvertToElement);
      WalkFigure(figure, Parts::Of(pGrid), tracer, sink, cap);
    }
  } catch (const std::exception& e) {
    // Nothing half made stays on the page.
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvertToElement, "conversion cut short: %s", e.what());
    DropCompound(pGroup);
    DropCompound(pResult);
    return nullptr;
  }
  // The group is the result's last member, also when it is empty.
  if (!pResult->AddElement(pGroup)) DropCompound(pGroup);
  return pResult;
}

}  // namespace md::layout::graticulemn
