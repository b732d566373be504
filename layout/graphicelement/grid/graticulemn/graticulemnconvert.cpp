// Turning the graticule of fixed rows and columns into plain elements in
// page coordinates.
#include "host/basilo/igis_log.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/grid/graticulemn/graticulemndraw.h"
#include "layout/graphicelement/grid/graticulemn/graticulemnfigure.h"
#include "layout/graphicelement/grid/grid/cgis_mapgridbase.h"
#include "layout/graphicelement/grid/grid/geographicframe.h"
#include "layout/graphicelement/grid/grid/geotrace.h"
#include "layout/graphicelement/grid/grid/graticuleplan.h"
#include "layout/graphicelement/grid/grid/igis_graticulemngrid.h"

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
    AddSegmentElement(m_pGroup, from, to,
                      bSub ? m_pGrid->GetSubTickLineSymbol() : m_pGrid->GetTickLineSymbol());
  }

 private:
  IGIS_CompoundElement* m_pGroup;
  IGIS_MapGrid* m_pGrid;
};

}  // namespace

IGIS_Element* ConvertGraticuleMN(IGIS_GraticuleMNGrid* pGrid, IGIS_Element* pResultElement,
                                 grid::GraticulePass* pPass) {
  IGIS_Map* pMap = grid::ConversionMap(pGrid, pResultElement, kConvertToElement);
  if (pMap == nullptr) return pResultElement;
  auto* pResult = static_cast<IGIS_CompoundElement*>(pResultElement);
  // Tested before the group is made, so that nothing stray is left behind:
  // a reference without degrees, and the object that cuts the lines.
  if (pPass == nullptr || !pPass->Built()) return pResult;
  if (pGrid->GetGridSpacing() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvertToElement, "m_pGridSpacing == NULL");
    return pResult;
  }
  const grid::FrameShown& shown = pPass->Shown();
  grid::GeoPageSpace space(pPass->Geo(), shown.bound, shown.rect, shown.dScale);
  grid::GeoLineTracer tracer(space, shown.rect);
  if (!tracer.Ready()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvertToElement, "p_geoArithmetic == NULL");
    return pResult;
  }
  const grid::FixedCountLines& lines = pPass->FixedCount();
  if (!pPass->AllCarried()) GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvertToElement, "b_ret == NULL");
  RecordFixedCountSpacing(pGrid, lines.plan);
  return grid::FillConversionGroup(pResult, kConvertToElement, [&](IGIS_CompoundElement* pGroup) {
    if (!lines.plan.HasLines()) return;
    const Figure figure = ConversionFigure(lines, pGrid->GetTickDivision(), pGrid->GetSubTickCount());
    ElementSink sink(pGroup, pGrid);
    grid::CGIS_GridCapRecord cap(kConvertToElement);
    WalkFigure(figure, Parts::Of(pGrid), tracer, sink, cap);
  });
}

}  // namespace md::layout::graticulemn
