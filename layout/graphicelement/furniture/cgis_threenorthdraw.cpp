// Drawing the three-north diagram: frame, lines, angle arcs with their
// arrowheads, tip marks, line labels and angle texts, inside the element's
// clip.
#include <array>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/notara/igis_annostyle.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/furniture/cgis_threenorthelement.h"
#include "platform/win/cdc.h"

namespace {

using md::layout::furniture::ThreeNorthFigure;

// One drawing's shared calls: page points through the view, the renderer
// and the text drawer, each after selecting the element's clip again.
class Painter {
 public:
  Painter(HDC hdc, bool bPrint, IGIS_Display* pDisplay, IGIS_SpatialReference* pReference,
          IGIS_SymbolRenderer* pRenderer, IGIS_AnnoDrawer* pDrawer, const CGIS_ElementClipScope& clip,
          IGIS_FeatureSet* pOwner)
      : m_hdc(hdc),
        m_bPrint(bPrint),
        m_pDisplay(pDisplay),
        m_pView(pDisplay != nullptr ? pDisplay->GetView() : nullptr),
        m_pReference(pReference),
        m_pRenderer(pRenderer),
        m_pDrawer(pDrawer),
        m_pOwner(pOwner),
        m_clip(clip),
        m_dRatio(GetDisplayRatio(pDisplay)) {
    m_param.hdc = hdc;
    m_param.printFlag = bPrint ? 1 : 0;
    m_param.symbolScale = m_dRatio;
    if (clip.IsClipping() && m_pView != nullptr)
      m_param.viewValue = reinterpret_cast<std::intptr_t>(m_pView->GetClipContext());
  }

  void Shape(IGIS_Symbol* pSymbol, const SGIS_Point* pPoints, std::size_t nCount) {
    if (pSymbol == nullptr || m_pView == nullptr || nCount == 0) return;
    m_device.assign(pPoints, pPoints + nCount);
    m_pView->PageToDevicePoints(m_device.data(), static_cast<int>(nCount), m_pReference);
    m_points.resize(nCount);
    for (std::size_t i = 0; i < nCount; ++i) m_points[i] = POINT{m_device[i].x, m_device[i].y};
    m_param.points = m_points.data();
    m_param.pointCount = static_cast<int>(nCount);
    m_param.symbolScale = md::layout::SymbolDrawScale(pSymbol, m_dRatio, m_pOwner);
    SelectElementClipRgn(m_pDisplay, m_hdc, m_clip.Region());
    m_pRenderer->Draw(pSymbol, &m_param, GIS_DRAW_CHECK);
  }
  template <std::size_t N>
  void Shape(IGIS_Symbol* pSymbol, const std::array<SGIS_Point, N>& points) {
    Shape(pSymbol, points.data(), N);
  }

  // The text along the page path; the style takes a copy of the font.
  void Text(IGIS_AnnoPointStyle* pStyle, const std::string& text, std::vector<SGIS_Point> path) {
    if (pStyle == nullptr || m_pView == nullptr || path.size() < 2) return;
    m_pView->PageToDevicePoints(path.data(), static_cast<int>(path.size()), m_pReference);
    SelectElementClipRgn(m_pDisplay, m_hdc, m_clip.Region());
    const double ratio = m_dRatio * md::layout::SymbolDrawFactor(m_pOwner);
    m_pDrawer->DrawTextOnPath(CDC::FromHandle(m_hdc), m_bPrint ? 1 : 0, ratio, pStyle, text.c_str(),
                              path.data(), static_cast<int>(path.size()));
  }

 private:
  HDC m_hdc;
  bool m_bPrint;
  IGIS_Display* m_pDisplay;
  IGIS_DisplayView* m_pView;
  IGIS_SpatialReference* m_pReference;
  IGIS_SymbolRenderer* m_pRenderer;
  IGIS_AnnoDrawer* m_pDrawer;
  IGIS_FeatureSet* m_pOwner;
  const CGIS_ElementClipScope& m_clip;
  double m_dRatio;
  SGIS_DrawParam m_param;
  std::vector<SGIS_Point> m_device;
  std::vector<POINT> m_points;
};

// Gives the style a copy of the font (the style keeps its own).
void UseFont(IGIS_AnnoPointStyle* pStyle, IGIS_Symbol* pFont) {
  if (pStyle == nullptr || pFont == nullptr) return;
  md::basilo::ReleasePtr<IGIS_Symbol> copy(pFont->Clone());
  if (copy && copy->GetTextPart() != nullptr) pStyle->SetTextStyle(copy->GetTextPart());
}

}  // namespace

BOOL CGIS_ThreeNorthElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  const std::string method = m_core.Method("OnDraw");
  IGIS_FeatureClass* pClass =
      m_core.m_pFeatureSet != nullptr ? m_core.m_pFeatureSet->GetFeatureClass() : nullptr;
  IGIS_SpatialReference* pReference = pClass != nullptr ? pClass->GetSpatialReference() : nullptr;
  if (pReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_spatialreference== NULL ");
    return FALSE;
  }
  // Without a display's view no point can reach the device.
  if (pDisplay == nullptr || pDisplay->GetView() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_display == NULL");
    return FALSE;
  }
  IGIS_SymbolRenderer* pRenderer = GIS_GetSymbolizationObject();
  if (pRenderer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_symbolization== NULL ");
    return FALSE;
  }
  IGIS_AnnoDrawer* pDrawer = GIS_GetAnnotationDrawerObject();
  if (pDrawer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_draw== NULL ");
    return FALSE;
  }
  const SGIS_Rect rect = GetRect();
  if (m_pFrame && m_pFrame->GetDraftMode() && !bPrint) {
    m_pFrame->OnDrawDraftMode(this, hdc, bPrint, pDisplay);
    return TRUE;
  }
  if (m_pFrame) m_pFrame->OnDraw(hdc, bPrint, pDisplay, rect, pReference, GIS_FRAME_PART_UNDER);
  {
    CGIS_ElementClipScope clip(hdc, pDisplay);
    Painter paint(hdc, bPrint, pDisplay, pReference, pRenderer, pDrawer, clip, m_core.m_pFeatureSet);
    const ThreeNorthFigure f = BuildFigure();
    if (f.capped)
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "arc capped at %d steps",
              md::layout::furniture::kThreeNorthMaxArcSteps);

    IGIS_Symbol* pAxis = m_pAxisLineSymbol.get();
    const std::array<SGIS_Point, 2> gridLine{f.centre, f.gridEnd};
    const std::array<SGIS_Point, 2> magnetLine{f.centre, f.magnetEnd};
    const std::array<SGIS_Point, 2> trueLine{f.centre, f.trueEnd};
    paint.Shape(pAxis, gridLine);
    paint.Shape(pAxis, magnetLine);
    paint.Shape(pAxis, trueLine);
    for (const auto& arc : f.arcs)
      paint.Shape(m_pAngleLineSymbol.get(), arc.points.data(), arc.points.size());
    for (const auto& head : f.arrowheads) paint.Shape(pAxis, head);
    paint.Shape(m_pFillSymbol.get(), f.star);
    paint.Shape(pAxis, f.gridMark);
    paint.Shape(m_pFillSymbol.get(), f.magnetMark);

    IGIS_AnnoPointStyle* pStyle = m_pTextStyle.get();
    UseFont(pStyle, m_pAxisTextSymbol.get());
    for (int i = 0; i < 3; ++i)
      paint.Text(pStyle, md::layout::furniture::kThreeNorthLabelTexts[i],
                 {f.labelRuns[i].begin(), f.labelRuns[i].end()});

    UseFont(pStyle, m_pAngleTextSymbol.get());
    if (pStyle != nullptr) pStyle->SetAlignment(GIS_ALIGN_BOTTOM_CENTER);
    paint.Text(pStyle, f.angleTexts[0], f.convRun);
    paint.Text(pStyle, f.angleTexts[1], f.declRun);
    paint.Text(pStyle, f.angleTexts[2], f.diffRun);
  }
  if (m_pFrame) m_pFrame->OnDraw(hdc, bPrint, pDisplay, rect, pReference, GIS_FRAME_PART_BORDER);
  return TRUE;
}
