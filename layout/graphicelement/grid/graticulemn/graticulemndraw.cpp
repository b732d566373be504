// Drawing the graticule of fixed rows and columns.
#include "layout/graphicelement/grid/graticulemn/graticulemndraw.h"

#include <exception>

#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/helmora/igis_mainobject.h"
#include "host/helmora/igis_map.h"
#include "host/helmora/igis_mapview.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/element/mapdeckdraw.h"
#include "layout/graphicelement/element/missingmap.h"
#include "layout/graphicelement/grid/graticulemn/graticulemnfigure.h"
#include "layout/graphicelement/grid/grid/geographicframe.h"
#include "layout/graphicelement/grid/grid/geotrace.h"
#include "layout/graphicelement/grid/grid/graticuleplan.h"
#include "layout/graphicelement/grid/grid/igis_graticulemngrid.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace md::layout::graticulemn {

namespace {

bool Fail(const char* szText) {
  GIS_LOG(GIS_LOG_LEVEL_CHECK, kOnDraw, "%s", szText);
  return false;
}

// Draws the pieces in device coordinates with the grid's symbols.
class PainterSink final : public grid::GeoFigureSink {
 public:
  PainterSink(CGIS_PageSymbolPainter& painter, IGIS_MapGrid* pGrid) : m_painter(painter), m_pGrid(pGrid) {}
  void Line(const SGIS_Point* pPoints, int nCount) override {
    m_painter.DrawDevice(m_pGrid->GetLineSymbol(), pPoints, nCount);
  }
  void Marker(SGIS_Point point) override { m_painter.DrawDevice(m_pGrid->GetMarkSymbol(), &point, 1); }
  void Tick(bool bSub, SGIS_Point from, SGIS_Point to) override {
    const SGIS_Point points[2] = {from, to};
    m_painter.DrawDevice(bSub ? m_pGrid->GetSubTickLineSymbol() : m_pGrid->GetTickLineSymbol(), points, 2);
  }

 private:
  CGIS_PageSymbolPainter& m_painter;
  IGIS_MapGrid* m_pGrid;
};

}  // namespace

bool DrawGraticuleMN(IGIS_GraticuleMNGrid* pGrid, HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                     grid::GraticulePass* pPass,
                     const std::function<void(const grid::GridLabelPlan* pPlan)>& drawPrelude) {
  IGIS_MapElement* pFrame = pGrid != nullptr ? pGrid->GetMapElement() : nullptr;
  if (pFrame == nullptr) return false;
  IGIS_Map* pMap = pFrame->GetMap();
  // A map that cannot be found was recorded once, by the frame.
  if (pMap == nullptr)
    return md::layout::FrameMapMissing(pFrame) ? false : Fail("m_pMapElement->GetMap( == NULL");
  // A reference that is neither geographic nor projected has no degrees.
  if (pPass == nullptr || !pPass->Built()) return false;
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr) return Fail("p_display == NULL");
  IGIS_MainObject* pMain = pFrame->GetMainObject();
  IGIS_MapView* pMapView = pMain != nullptr ? pMain->GetMapView() : nullptr;
  if (pMapView == nullptr) return Fail("p_mainview == NULL");
  if (pGrid->GetGridSpacing() == nullptr) return Fail("m_pGridSpacing == NULL");
  IGIS_SpatialReference* pPage = PageReferenceOf(pFrame->GetFeatureSetPtr());

  // The clip sequence holds for the whole drawing, prelude included.
  CGIS_PageSymbolPainter painter(hdc, bPrint, pDisplay, pPage, kOnDraw, pFrame->GetFeatureSetPtr());
  grid::GeoDeviceSpace space(pPass->Geo(), pMapView, pView, pPage);
  grid::GeoLineTracer tracer(space, pView->PageToDeviceRect(pPass->Shown().rect, pPage));
  if (!tracer.Ready()) return Fail("p_geoArithmetic == NULL");
  if (GIS_GetSymbolizationObject() == nullptr) return Fail("p_symbolization == NULL");

  const grid::FixedCountLines& lines = pPass->FixedCount();
  if (!pPass->AllCarried()) GIS_LOG(GIS_LOG_LEVEL_CHECK, kOnDraw, "b_ret == NULL");
  RecordFixedCountSpacing(pGrid, lines.plan);
  drawPrelude(pPass);
  if (!lines.plan.HasLines()) return true;
  try {
    const int nSamples = painter.IsClipping() ? kSamplesClipping : kSamplesPlain;
    const Figure figure = DrawingFigure(lines, pGrid->GetTickDivision(), pGrid->GetSubTickCount(), nSamples);
    PainterSink sink(painter, pGrid);
    grid::CGIS_GridCapRecord cap(kOnDraw);
    WalkFigure(figure, Parts::Of(pGrid), tracer, sink, cap);
  } catch (const std::exception& e) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOnDraw, "drawing cut short: %s", e.what());
    return false;
  }
  return true;
}

}  // namespace md::layout::graticulemn
