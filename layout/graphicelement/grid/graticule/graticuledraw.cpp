// Drawing a graticule: lines or markers and ticks, hatches, interior labels.
#include "layout/graphicelement/grid/graticule/graticuledraw.h"

#include <cmath>
#include <cstdint>
#include <exception>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/helmora/igis_mainobject.h"
#include "host/helmora/igis_map.h"
#include "host/notara/igis_annostyle.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "host/stratel/igis_numericformat.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/element/missingmap.h"
#include "layout/graphicelement/grid/graticule/graticulefigure.h"
#include "layout/graphicelement/grid/graticule/graticulepieces.h"
#include "layout/graphicelement/grid/grid/graticuleplan.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/win/cdc.h"

namespace md::layout::graticule {

namespace {

// The frame's map, or NULL (a record when the frame has none).
IGIS_Map* FrameMap(IGIS_GraticuleGrid* pGrid, const char* szMethod) {
  IGIS_MapElement* pFrame = pGrid != nullptr ? pGrid->GetMapElement() : nullptr;
  if (pFrame == nullptr) return nullptr;
  IGIS_Map* pMap = pFrame->GetMap();
  // A map that cannot be found was recorded once, by the frame.
  if (pMap == nullptr && !md::layout::FrameMapMissing(pFrame))
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "m_pMapElement->GetMap( == NULL");
  return pMap;
}

// What every drawing call of the graticule prepares from the drawing's plan,
// in the order it does: the geographic frame of the map, the renderer, the
// frame in device coordinates, the map bound in degrees.
struct DrawingCall {
  IGIS_MapElement* pFrame = nullptr;
  IGIS_DisplayView* pView = nullptr;
  IGIS_MapView* pMapView = nullptr;
  IGIS_SpatialReference* pPage = nullptr;
  IGIS_SymbolRenderer* pRenderer = nullptr;
  SGIS_Rect device;   // normalised
  SGIS_DRect extent;  // degrees: x1 west, x2 east, y1 north, y2 south

  // bExtent false: a pass that draws nothing needs no extent (and says
  // nothing of how the map bound was carried into degrees).
  bool Prepare(IGIS_GraticuleGrid* pGrid, IGIS_Display* pDisplay, const char* szMethod, bool bExtent,
               const grid::GraticulePass& plan) {
    pFrame = pGrid->GetMapElement();
    if (!plan.Built()) return false;
    pRenderer = GIS_GetSymbolizationObject();
    if (pRenderer == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_symbolization == NULL");
      return false;
    }
    pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
    if (pView == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_display == NULL");
      return false;
    }
    IGIS_MainObject* pMain = pFrame->GetMainObject();
    pMapView = pMain != nullptr ? pMain->GetMapView() : nullptr;
    if (pMapView == nullptr || plan.MapView() == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_mainview == NULL");
      return false;
    }
    IGIS_FeatureSet* pOwner = pFrame->GetFeatureSetPtr();
    IGIS_FeatureClass* pClass = pOwner != nullptr ? pOwner->GetFeatureClass() : nullptr;
    pPage = pClass != nullptr ? pClass->GetSpatialReference() : nullptr;
    device = pView->PageToDeviceRect(plan.Shown().rect, pPage);
    device.Normalize();
    if (!bExtent) return true;
    if (!plan.AllCarried()) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "b_ret == NULL");
    extent = plan.Degrees();
    return true;
  }
};

// Draws the pieces with the grid's symbols through the renderer, one
// drawing record for the call.
class RendererSink : public GraticuleSink {
 public:
  RendererSink(const DrawingCall& call, HDC hdc, bool bPrint, IGIS_Display* pDisplay, bool bClipping,
               const GraticuleSymbols& symbols)
      : m_pRenderer(call.pRenderer), m_pOwner(call.pFrame->GetFeatureSetPtr()), m_symbols(symbols) {
    m_param.hdc = hdc;
    m_param.printFlag = bPrint ? 1 : 0;
    m_param.symbolScale = GetDisplayRatio(pDisplay);
    if (bClipping) m_param.viewValue = reinterpret_cast<std::intptr_t>(call.pView->GetClipContext());
  }
  void Line(const SGIS_Point* pPoints, int nCount) override { Draw(m_symbols.pLine, pPoints, nCount); }
  void Marker(SGIS_Point point) override { Draw(m_symbols.pMark, &point, 1); }
  void Tick(bool bSub, SGIS_Point from, SGIS_Point to) override {
    const SGIS_Point points[2] = {from, to};
    Draw(bSub ? m_symbols.pSubTick : m_symbols.pTick, points, 2);
  }
  void Hatch(HatchRank rank, SGIS_Point from, SGIS_Point to) override {
    const SGIS_Point points[2] = {from, to};
    Draw(m_symbols.pHatch[static_cast<int>(rank)], points, 2);
  }

 private:
  void Draw(IGIS_Symbol* pSymbol, const SGIS_Point* pPoints, int nCount) {
    if (pSymbol == nullptr) return;
    m_points.resize(static_cast<std::size_t>(nCount));
    for (int i = 0; i < nCount; ++i)
      m_points[static_cast<std::size_t>(i)] = POINT{pPoints[i].x, pPoints[i].y};
    m_param.points = m_points.data();
    m_param.pointCount = nCount;
    SGIS_DrawParam param = m_param;
    param.symbolScale = md::layout::SymbolDrawScale(pSymbol, m_param.symbolScale, m_pOwner);
    m_pRenderer->Draw(pSymbol, &param, GIS_DRAW_CHECK);
  }

  IGIS_SymbolRenderer* m_pRenderer;
  IGIS_FeatureSet* m_pOwner;
  GraticuleSymbols m_symbols;
  SGIS_DrawParam m_param;
  std::vector<POINT> m_points;
};

// Writes the longitude below and the latitude above each label point
// through the annotation drawer.
class DrawerSink : public GraticuleSink {
 public:
  DrawerSink(HDC hdc, bool bPrint, IGIS_Display* pDisplay, InteriorLabelTexts& texts,
             IGIS_AnnoPointStyle* pStyle, IGIS_FeatureSet* pOwner)
      : m_pDC(CDC::FromHandle(hdc)),
        m_bPrint(bPrint),
        m_pDisplay(pDisplay),
        m_pOwner(pOwner),
        m_dRatio(GetDisplayRatio(pDisplay)),
        m_texts(texts),
        m_pStyle(pStyle),
        m_pDrawer(GIS_GetAnnotationDrawerObject()) {}
  void Label(SGIS_Point anchor, double dLon, double dLat) override {
    DrawText(kLongitudeAlignment, m_texts.Of(dLon), anchor);
    DrawText(kLatitudeAlignment, m_texts.Of(dLat), anchor);
  }

 private:
  void DrawText(int nAlignment, const std::string& text, SGIS_Point anchor) {
    m_pStyle->SetAlignment(nAlignment);
    DrawWithDrawer(m_pDrawer, m_pDisplay, m_pDC, m_bPrint, m_dRatio, m_pStyle, text.c_str(), &anchor, 1,
                   m_pOwner);
  }

  CDC* m_pDC;
  bool m_bPrint;
  IGIS_Display* m_pDisplay;
  IGIS_FeatureSet* m_pOwner;
  double m_dRatio;
  InteriorLabelTexts& m_texts;
  IGIS_AnnoPointStyle* m_pStyle;
  IGIS_AnnoDrawer* m_pDrawer;
};

// Whether the pass of lines and ticks draws anything: grid lines or
// markers, or the ticks or sub-ticks of a side.
bool DrawsLinesOrTicks(IGIS_GraticuleGrid* pGrid) {
  const int nType = pGrid->GetGridlineType();
  if (nType == GIS_GRIDLINE_LINES || nType == GIS_GRIDLINE_MARKS) return true;
  const TickPass ticks = TicksOf(pGrid, SGIS_DRect(), 0.0, 0.0, 0);
  for (int s = 0; s < 4; ++s)
    if (ticks.bMain[s] || (ticks.bSub[s] && ticks.nSubCount > 0)) return true;
  return false;
}

int SampleCount(const CGIS_ElementClipScope& clip) {
  return clip.IsClipping() ? kSamplesClipping : kSamplesPlain;
}

}  // namespace

bool DrawGraticuleLines(IGIS_GraticuleGrid* pGrid, HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                        const grid::GraticulePass& plan) {
  IGIS_Map* pMap = FrameMap(pGrid, kOnDraw);
  if (pMap == nullptr) return false;
  CGIS_ElementClipScope clip(hdc, pDisplay);
  DrawingCall call;
  const bool bDraws = DrawsLinesOrTicks(pGrid);
  if (!call.Prepare(pGrid, pDisplay, kOnDraw, bDraws, plan)) return false;
  // Lines start two intervals out on every side of the extent turned with
  // the map, so that a turned frame is covered (the plan's extent).
  const double dX = plan.Meridians().dStep;
  const double dY = plan.Parallels().dStep;
  if (!IsInterval(dX)) GIS_LOG(GIS_LOG_LEVEL_SYMBOL, kOnDraw, "X_interval == 0");
  if (!IsInterval(dY)) GIS_LOG(GIS_LOG_LEVEL_CHECK, kOnDraw, "Y_interval == 0");
  if (!bDraws) return true;
  try {
    grid::GeoDeviceSpace space(plan.Geo(), call.pMapView, call.pView, call.pPage);
    grid::CGIS_GridCapRecord cap(kOnDraw);
    GraticuleWalker walker(space, call.device, cap, plan.Resolution());
    RendererSink sink(call, hdc, bPrint, pDisplay, clip.IsClipping(), GraticuleSymbols::Of(pGrid));
    const int n = SampleCount(clip);
    walker.Lines(LinesOf(pGrid, plan, n, LineReach::Drawing, true), sink);
    walker.Ticks(TicksOf(pGrid, plan.Extent(), dX, dY, n), sink);
  } catch (const std::exception& e) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOnDraw, "drawing cut short: %s", e.what());
    return false;
  }
  return true;
}

bool DrawGraticuleHatches(IGIS_GraticuleGrid* pGrid, HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                          const grid::GraticulePass& plan) {
  IGIS_Map* pMap = FrameMap(pGrid, kOnDrawHatchLine);
  if (pMap == nullptr) return false;
  CGIS_ElementClipScope clip(hdc, pDisplay);
  double dX = 0.0, dY = 0.0;
  GridIntervals(pGrid, &dX, &dY);
  const bool bDraws = HasHatchPass(HatchesOf(pGrid, SGIS_DRect(), dX, dY));
  DrawingCall call;
  if (!call.Prepare(pGrid, pDisplay, kOnDrawHatchLine, bDraws, plan)) return false;
  if (!bDraws) return true;
  try {
    grid::GeoDeviceSpace space(plan.Geo(), call.pMapView, call.pView, call.pPage);
    grid::CGIS_GridCapRecord cap(kOnDrawHatchLine);
    GraticuleWalker walker(space, call.device, cap, plan.Resolution());
    RendererSink sink(call, hdc, bPrint, pDisplay, clip.IsClipping(), GraticuleSymbols::Of(pGrid));
    walker.Hatches(HatchesOf(pGrid, call.extent, dX, dY), sink);
  } catch (const std::exception& e) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOnDrawHatchLine, "drawing cut short: %s", e.what());
    return false;
  }
  return true;
}

bool DrawGraticuleInteriorLabels(IGIS_GraticuleGrid* pGrid, HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                                 const grid::GraticulePass& plan) {
  IGIS_Map* pMap = FrameMap(pGrid, kOnDrawInteriorLabel);
  if (pMap == nullptr) return false;
  CGIS_ElementClipScope clip(hdc, pDisplay);
  DrawingCall call;
  if (!call.Prepare(pGrid, pDisplay, kOnDrawInteriorLabel, true, plan)) return false;
  const double ix = pGrid->GetInteriorLabelIntervalX();
  const double iy = pGrid->GetInteriorLabelIntervalY();
  if (!IsInterval(ix)) GIS_LOG(GIS_LOG_LEVEL_SYMBOL, kOnDrawInteriorLabel, "X_interval == 0");
  if (!IsInterval(iy)) GIS_LOG(GIS_LOG_LEVEL_CHECK, kOnDrawInteriorLabel, "Y_interval == 0");
  auto* pLabel = dynamic_cast<IGIS_DMSGridLabel*>(pGrid->GetLabelFormat());
  if (pLabel == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOnDrawInteriorLabel, "m_pLabelFormat == NULL");
    return false;
  }
  if (!IsInterval(ix) || !IsInterval(iy)) return true;
  try {
    InteriorLabelTexts texts(pLabel);
    IGIS_AnnoStyleFactory* pStyles = GIS_GetAnnotationStyleFactoryObject();
    IGIS_AnnoStyleSet* pSet = pStyles != nullptr ? pStyles->CreateStyleSet(1) : nullptr;
    md::basilo::ReleasePtr<IGIS_AnnoPointStyle> style(pSet != nullptr ? pSet->GetPointStyle() : nullptr);
    if (!texts.Ready() || !style) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kOnDrawInteriorLabel, !style ? "p_style == NULL" : "p_format == NULL");
      return false;
    }
    style->SetAlignment(GIS_ALIGN_BOTTOM_LEFT);
    if (IGIS_SymbolPart* pText = pLabel->GetTextSymbolPtr()) style->SetTextStyle(pText->GetTextPart());
    grid::GeoDeviceSpace space(plan.Geo(), call.pMapView, call.pView, call.pPage);
    grid::CGIS_GridCapRecord cap(kOnDrawInteriorLabel);
    GraticuleWalker walker(space, call.device, cap, plan.Resolution());
    DrawerSink sink(hdc, bPrint, pDisplay, texts, style.get(), call.pFrame->GetFeatureSetPtr());
    walker.Labels(LabelPass{call.extent, ix, iy}, sink);
  } catch (const std::exception& e) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOnDrawInteriorLabel, "drawing cut short: %s", e.what());
    return false;
  }
  return true;
}

}  // namespace md::layout::graticule
