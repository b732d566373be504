// The drawing of a measured grid's own figure.
#include "layout/graphicelement/grid/measure/measuregriddraw.h"

#include <cmath>
#include <exception>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/calcora/igis_geoarithmetic.h"
#include "host/display/igis_display.h"
#include "host/helmora/igis_mainobject.h"
#include "host/helmora/igis_map.h"
#include "host/helmora/igis_mapview.h"
#include "host/sferon/igis_spatialreference.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/element/mapdeckdraw.h"
#include "layout/graphicelement/element/mapdeckgeometry.h"
#include "layout/graphicelement/element/missingmap.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/grid/measure/measuregridwalk.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace md::layout::measure {

namespace {

constexpr const char* kMethod = "CGIS_MeasureGrid::OnDraw";
// The X interval's record names the method with a dot.
constexpr const char* kXIntervalMethod = "CGIS_MeasureGrid.OnDraw";
// Segments of a traced line: while the view clips (printing) and otherwise.
constexpr int kClippedSegments = 200;
constexpr int kScreenSegments = 20;

// What the drawing needs beyond the grid, gathered once.
struct DrawContext {
  IGIS_MeasureGrid* pGrid = nullptr;
  IGIS_DisplayView* pView = nullptr;       // the display's (page to device)
  IGIS_SpatialReference* pPage = nullptr;  // the page's reference
  CGIS_PageSymbolPainter* pPainter = nullptr;
  SGIS_Rect deviceFrame;  // normalised
};

// Hands what the walk finds to the renderer.
class DeviceSink final : public MeasureGridSink {
 public:
  DeviceSink(const DrawContext& ctx, MeasureLineTracer& tracer) : m_ctx(ctx), m_tracer(tracer) {}

  void OnLine(const SGIS_Point* pPoints, int nCount) override {
    if (nCount >= 2) m_ctx.pPainter->DrawDevice(m_ctx.pGrid->GetLineSymbol(), pPoints, nCount);
  }

  void OnMark(SGIS_DPoint gridPoint) override {
    if (!m_tracer.Carry(&gridPoint)) return;
    const SGIS_Point p = SGIS_Point::FromDoubles(gridPoint.x, gridPoint.y);
    // A mark whose point lies outside the frame is not drawn (on its edge it is).
    if (HitTestRectEdge(m_ctx.deviceFrame, p.x, p.y, 0) == SGIS_Rect::OUTSIDE) return;
    m_ctx.pPainter->DrawDevice(m_ctx.pGrid->GetMarkSymbol(), &p, 1);
  }

  // The tick starts where its line meets the frame and runs its length on
  // the page away from the frame, perpendicular to the side's edge.
  void OnTick(GridSide side, bool bSub, SGIS_Point crossing) override {
    IGIS_MeasureGrid* g = m_ctx.pGrid;
    const double dLength = bSub ? g->GetSubTickLength() : g->GetTickLength();
    const SGIS_DPoint q = m_ctx.pView->DeviceToPagePoint(SGIS_DPoint(crossing.x, crossing.y), m_ctx.pPage);
    // Main ticks end on whole page units, sub-ticks exactly their length away.
    auto end = [bSub](double v) {
      return bSub ? v : static_cast<double>(md::basilo::detail::RoundToInt32(v));
    };
    SGIS_DPoint outer = q;
    switch (side) {
      case GridSide::kBottom:
        outer.y = end(q.y - dLength);
        break;
      case GridSide::kTop:
        outer.y = end(q.y + dLength);
        break;
      case GridSide::kLeft:
        outer.x = end(q.x - dLength);
        break;
      case GridSide::kRight:
        outer.x = end(q.x + dLength);
        break;
    }
    SGIS_Point points[2];
    const SGIS_DPoint ends[2] = {q, outer};
    for (int i = 0; i < 2; ++i) {
      const SGIS_DPoint d = m_ctx.pView->PageToDevicePoint(ends[i], m_ctx.pPage);
      points[i] = SGIS_Point::FromDoubles(d.x, d.y);
    }
    m_ctx.pPainter->DrawDevice(bSub ? g->GetSubTickLineSymbol() : g->GetTickLineSymbol(), points, 2);
  }

 private:
  const DrawContext& m_ctx;
  MeasureLineTracer& m_tracer;
};

bool Fail(const char* szText) {
  GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "%s", szText);
  return false;
}

}  // namespace

bool DrawMeasureGridFigure(IGIS_MeasureGrid* pGrid, HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                           const grid::MeasureGridPass* pPass) {
  DrawContext ctx;
  ctx.pGrid = pGrid;
  IGIS_MapElement* pFrame = pGrid != nullptr ? pGrid->GetMapElement() : nullptr;
  if (pFrame == nullptr) return Fail("m_pMapElement == NULL");
  ctx.pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (ctx.pView == nullptr) return Fail("p_display == NULL");
  ctx.pPage = PageReferenceOf(pFrame->GetFeatureSetPtr());

  CGIS_PageSymbolPainter painter(hdc, bPrint, pDisplay, ctx.pPage, kMethod, pFrame->GetFeatureSetPtr());
  ctx.pPainter = &painter;
  IGIS_Map* pMap = pFrame->GetMap();
  // A map that cannot be found was recorded once, by the frame.
  if (pMap == nullptr) return md::layout::FrameMapMissing(pFrame) ? false : Fail("p_map == NULL");
  IGIS_SpatialReference* pMapReference = pMap->GetSpatialReference();
  IGIS_MainObject* pMain = pFrame->GetMainObject();
  IGIS_MapView* pMapView = pMain != nullptr ? pMain->GetMapView() : nullptr;
  if (pMapView == nullptr) return Fail("p_mapView == NULL");
  if (GIS_GetSymbolizationObject() == nullptr) return Fail("p_symbolization == NULL");
  if (pGrid->GetGridSpacing() == nullptr) return Fail("m_pGridSpacing == NULL");
  if (pGrid->GetSpatialReference() == nullptr) return Fail("m_pSpatialReference == NULL");
  if (pPass == nullptr || pPass->ToMap() == nullptr) return Fail("p_coordTransform == NULL");
  IGIS_CoordTransform* pTransform = pPass->ToMap();
  const MeasureGridPlan& plan = pPass->Plan();
  if (!(plan.dXInterval > 0.0)) GIS_LOG(GIS_LOG_LEVEL_SYMBOL, kXIntervalMethod, "X_interval == 0");
  if (!(plan.dYInterval > 0.0)) GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "Y_interval == 0");

  md::basilo::ReleasePtr<IGIS_GeoArithmetic> pArithmetic(GIS_CreateGeoArithmeticObject());
  if (pArithmetic == nullptr) return Fail("p_geoArithmetic == NULL ");
  ctx.deviceFrame = ctx.pView->PageToDeviceRect(pFrame->GetRect(), ctx.pPage);
  ctx.deviceFrame.Normalize();

  try {
    MeasureLineTracer tracer(pArithmetic.get(), ctx.deviceFrame,
                             painter.IsClipping() ? kClippedSegments : kScreenSegments,
                             [pTransform, pMapView, pMapReference](SGIS_DPoint* p) {
                               if (!pTransform->TransformPoint(1, p, 1)) return false;
                               *p = pMapView->PageToDevicePoint(*p, pMapReference);
                               return true;
                             });
    // A line's samples transformed in one call (each as it would be alone:
    // where one fails, they are taken again one by one from their inputs).
    std::vector<SGIS_DPoint> inputs;
    tracer.CarryLinesWith(
        [&inputs, pTransform, pMapView, pMapReference](SGIS_DPoint* p, int n, char* carried) {
          inputs.assign(p, p + n);
          if (!pTransform->TransformPoint(n, p, 1)) {
            for (int i = 0; i < n; ++i) {
              p[i] = inputs[static_cast<std::size_t>(i)];
              carried[i] = pTransform->TransformPoint(1, &p[i], 1) ? 1 : 0;
            }
          }
          for (int i = 0; i < n; ++i)
            if (carried[i]) p[i] = pMapView->PageToDevicePoint(p[i], pMapReference);
        });
    DeviceSink sink(ctx, tracer);
    grid::CGIS_GridCapRecord caps(kMethod);
    WalkMeasureGrid(plan, MeasureGridPartsOf(pGrid), tracer, sink, caps);
  } catch (const std::exception& e) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "drawing cut short: %s", e.what());
    return false;
  }
  return true;
}

}  // namespace md::layout::measure
