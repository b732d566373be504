// Drawing and converting the bodies of the scale bars.
#include "layout/graphicelement/scalebar/scalebarbodydraw.h"

#include <algorithm>
#include <cmath>

#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/notara/igis_annostyle.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "host/sferon/igis_spatialreference.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/scalebar/igis_scalebar.h"
#include "layout/graphicelement/scalebar/igis_scalemarks.h"
#include "layout/graphicelement/scalebar/scalebardraw.h"
#include "layout/graphicelement/scalebar/scalebarelements.h"
#include "layout/graphicelement/scalebar/scalebarplaces.h"
#include "layout/graphicelement/shapes/igis_rectelement.h"
#include "platform/win/cdc.h"

namespace md::layout::detail {

namespace {

inline int Round(double v) { return md::basilo::detail::RoundToInt32(v); }

// Most points one body line holds: the steps of the most divisions and
// subdivisions a bar draws.
constexpr int kMaxBodyPoints = 2 * (100 + kMaxSubDivisions);

}  // namespace

bool FetchBodyPen(IGIS_ScaleBar* pBar, HDC hdc, bool bPrint, IGIS_Display* pDisplay, const char* szMethod,
                  bool bFeature, BodyPen* pPen, const char* szNoReference) {
  IGIS_FeatureSet* pOwner = pBar->GetFeatureSetPtr();
  IGIS_FeatureClass* pClass = pOwner != nullptr ? pOwner->GetFeatureClass() : nullptr;
  pPen->pReference = pClass != nullptr ? pClass->GetSpatialReference() : nullptr;
  if (pPen->pReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s", szNoReference);
    return false;
  }
  if (bFeature && pBar->GetFeaturePtr() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "m_pFeature == NULL");
    return false;
  }
  pPen->pRenderer = GIS_GetSymbolizationObject();
  if (pPen->pRenderer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_symbolization == NULL");
    return false;
  }
  pPen->pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pPen->pView == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "pDisplay == NULL");
    return false;
  }
  pPen->param = SGIS_DrawParam();
  pPen->param.hdc = hdc;
  pPen->param.printFlag = bPrint ? 1 : 0;
  pPen->param.symbolScale = GetDisplayRatio(pDisplay);
  if (pPen->pView->IsClipping())
    pPen->param.viewValue = reinterpret_cast<std::intptr_t>(pPen->pView->GetClipContext());
  return true;
}

bool DrawFrameUnder(IGIS_ScaleBar* pBar, HDC hdc, bool bPrint, IGIS_Display* pDisplay, const BodyPen& pen) {
  IGIS_FrameProperty* pFrame = pBar->GetFrameProperty();
  if (pFrame == nullptr) return false;
  pFrame->OnDraw(hdc, bPrint, pDisplay, pBar->GetRect(), pen.pReference, GIS_FRAME_PART_UNDER);
  if (!pFrame->GetDraftMode() || bPrint) return false;
  pFrame->OnDrawDraftMode(pBar, hdc, bPrint, pDisplay);
  return true;
}

void FillPageRect(BodyPen* pPen, const SGIS_Rect& rect, IGIS_Symbol* pSymbol) {
  if (pSymbol == nullptr) return;
  const SGIS_Rect d = pPen->pView->PageToDeviceRect(rect, pPen->pReference);
  POINT ring[5] = {
      {d.left, d.bottom}, {d.right, d.bottom}, {d.right, d.top}, {d.left, d.top}, {d.left, d.bottom}};
  pPen->param.points = ring;
  pPen->param.pointCount = 5;
  pPen->pRenderer->Draw(pSymbol, &pPen->param, GIS_DRAW_CHECK);
  pPen->param.points = nullptr;
}

void DrawPagePoints(BodyPen* pPen, const SGIS_Point* pPoints, int nCount, IGIS_Symbol* pSymbol) {
  if (pSymbol == nullptr || pPoints == nullptr || nCount < 2 || nCount > kMaxBodyPoints) return;
  std::vector<POINT> device(static_cast<std::size_t>(nCount));
  for (int i = 0; i < nCount; ++i) {
    const SGIS_Point p = pPen->pView->PageToDevicePoint(pPoints[i], pPen->pReference);
    device[static_cast<std::size_t>(i)] = {p.x, p.y};
  }
  pPen->param.points = device.data();
  pPen->param.pointCount = nCount;
  pPen->pRenderer->Draw(pSymbol, &pPen->param, GIS_DRAW_CHECK);
  pPen->param.points = nullptr;
}

bool AddRectCell(IGIS_CompoundElement* pCompound, IGIS_ScaleBar* pBar, const SGIS_Rect& rect,
                 IGIS_Symbol* pFill) {
  if (pCompound == nullptr) return false;
  auto* pRect = NewOwnedElement<IGIS_RectElement>(pBar->GetFeatureSetPtr(), GIS_TYPE_GRAPHIC_ELEMENT_RECT);
  if (pRect == nullptr) return false;
  pRect->SetRect(rect);
  pRect->SetSymbolPtr(pFill);
  if (!AddOrDrop(pCompound, pRect)) return false;
  IGIS_Feature* pFeature = pRect->GetFeaturePtr();
  IGIS_FeatureClass* pClass = pBar->GetFeatureSetPtr()->GetFeatureClass();
  return pFeature != nullptr && pClass != nullptr && pClass->UpdateFeature(pFeature, GIS_UPDATE_ALL);
}

BarColumns LayOutColumns(IGIS_ScaleBar* pBar, const char* szMethod) {
  BarColumns out;
  const SGIS_Rect r = pBar->GetRect();
  const double x0 = static_cast<double>(r.left) + pBar->GetBarX();
  out.y0 = Round(static_cast<double>(r.bottom) + pBar->GetBarY());
  const double w = pBar->PeekDivisionWidth();
  const double h = pBar->GetBarHeight();
  out.ym = Round(out.y0 + h / 2.0);
  out.yt = Round(out.y0 + h);
  const int nSub = UsableSubDivisions(pBar->GetSubDivisions(), szMethod);
  const int nDivisions = UsableDivisions(pBar->GetDivisions());
  const double s = w / nSub;
  out.columns.reserve(static_cast<std::size_t>(nSub + nDivisions - 1));
  for (int k = 0; k < nSub; ++k) {
    BarColumn c;
    c.left = Round(x0 + k * s);
    c.right = Round(x0 + (k + 1) * s);
    c.bEven = static_cast<int>(std::fmod(k, 2.0)) == 0;
    c.lineRight = Round(c.left + s);
    out.columns.push_back(c);
  }
  for (int i = 1; i < nDivisions; ++i) {
    BarColumn c;
    c.left = Round(x0 + i * w);
    c.right = Round(c.left + w);
    c.bEven = static_cast<int>(std::fmod(nSub - 1 + i, 2.0)) == 0;
    c.lineRight = c.right;
    out.columns.push_back(c);
  }
  return out;
}

std::vector<SGIS_Point> SteppedOutline(IGIS_ScaleBar* pBar, const char* szMethod) {
  const SGIS_Rect r = pBar->GetRect();
  const double x0 = static_cast<double>(r.left) + pBar->GetBarX();
  const int y0 = Round(static_cast<double>(r.bottom) + pBar->GetBarY());
  const int yTop = Round(static_cast<double>(y0) + pBar->GetBarHeight());
  const double w = pBar->PeekDivisionWidth();
  const int nSub = UsableSubDivisions(pBar->GetSubDivisions(), szMethod);
  const int nDivisions = UsableDivisions(pBar->GetDivisions());
  // The division points are whole page units from the first one.
  const int p0 = Round(x0);
  const double s = (Round(x0 + w) - p0) / static_cast<double>(nSub);
  std::vector<SGIS_Point> out;
  out.reserve(static_cast<std::size_t>(2 * (nSub + nDivisions)));
  auto stroke = [&](int x) {
    const bool bUp = out.size() % 4 == 0;  // even strokes go up, odd ones down
    out.emplace_back(x, bUp ? y0 : yTop, 0);
    out.emplace_back(x, bUp ? yTop : y0, 0);
  };
  for (int j = 0; j < nSub; ++j) stroke(Round(p0 + j * s));
  for (int k = 1; k <= nDivisions; ++k) stroke(Round(x0 + k * w));
  return out;
}

IGIS_CompoundElement* ConvertBarBase(IGIS_ScaleBar* pBar, const char* szMethod) {
  IGIS_Element* pBase = ConvertBarCommon(*pBar);
  auto* pMain = dynamic_cast<IGIS_CompoundElement*>(pBase);
  if (pMain == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_com_element == NULL");
    DropElement(pBase);
  }
  return pMain;
}

IGIS_CompoundElement* NewBodyCompound(IGIS_ScaleBar* pBar) {
  return NewOwnedElement<IGIS_CompoundElement>(pBar->GetFeatureSetPtr(), GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND);
}

void AppendBody(IGIS_CompoundElement* pMain, IGIS_CompoundElement* pBody) {
  if (pBody != nullptr && !pMain->AddElement(pBody)) DropCompound(pBody);
}

RulerLayout LayOutRuler(IGIS_ScaleBar* pBar, const RulerShape& shape) {
  RulerLayout out;
  const SGIS_Rect r = pBar->GetRect();
  const double x0 = r.left;
  const int y0 = r.bottom;
  const double v = pBar->GetDivision();
  const int nDivisions = UsableDivisions(pBar->GetDivisions());
  const int xEnd = Round(x0 + nDivisions * v);
  out.marks.reserve(static_cast<std::size_t>(nDivisions + shape.nSub));
  for (int k = 0; k <= nDivisions; ++k) {
    RulerMark m;
    const int x = Round(x0 + k * v);
    m.from = SGIS_Point(x, y0, 0);
    m.to = SGIS_Point(x, y0 + shape.divisionTop, 0);
    m.anchor = m.to;
    m.text = std::to_string(std::abs(k - 1) * 1000);
    out.marks.push_back(m);
  }
  for (int j = 1; j < shape.nSub; ++j) {
    RulerMark m;
    const int x = Round(x0 + j * shape.step);
    m.bDivision = false;
    m.from = SGIS_Point(x, y0, 0);
    m.to = SGIS_Point(x, y0 + shape.subdivisionTop, 0);
    m.anchor = SGIS_Point(x, y0 + shape.divisionTop, 0);
    m.text = std::to_string(std::abs(Round((j - shape.nSub) * 1000.0 / shape.nSub)));
    out.marks.push_back(m);
  }
  out.lineFrom = SGIS_Point(static_cast<int>(x0), y0 + shape.subdivisionTop, 0);
  out.lineTo = SGIS_Point(xEnd, y0 + shape.subdivisionTop, 0);
  out.unitAnchors[0] = SGIS_Point::FromDoubles(x0 - pBar->GetUnitLabelGap(), y0 + shape.divisionTop);
  out.unitAnchors[1] =
      SGIS_Point::FromDoubles(x0 + nDivisions * v + pBar->GetUnitLabelGap(), y0 + shape.divisionTop);
  return out;
}

bool DrawRuler(IGIS_ScaleBar* pBar, BodyPen* pPen, IGIS_Display* pDisplay, const RulerLayout& ruler,
               IGIS_Symbol* pBodySymbol, const char* szMethod) {
  IGIS_AnnoDrawer* pDrawer = GIS_GetAnnotationDrawerObject();
  IGIS_AnnoStyleFactory* pFactory = GIS_GetAnnotationStyleFactoryObject();
  IGIS_AnnoStyleSet* pSet = pFactory != nullptr ? pFactory->CreateStyleSet(1) : nullptr;
  IGIS_AnnoPointStyle* pStyle = pSet != nullptr ? pSet->GetPointStyle() : nullptr;
  if (pDrawer == nullptr || pStyle == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_annoPointStyle == NULL");
    if (pStyle != nullptr) pStyle->Release();
    return false;
  }
  if (IGIS_Symbol* pText = pBar->GetLabelSymbol()) pStyle->SetTextStyle(pText);
  pStyle->SetAlignment(GIS_ALIGN_BOTTOM_CENTER);
  pPen->param.symbolScale = 1.0;
  const bool bPrint = pPen->param.printFlag != 0;
  CDC* pDC = CDC::FromHandle(pPen->param.hdc);
  auto text = [&](SGIS_Point anchor, const char* szText) {
    const SGIS_Point device = pPen->pView->PageToDevicePoint(anchor, pPen->pReference);
    DrawWithDrawer(pDrawer, pDisplay, pDC, bPrint, 1.0, pStyle, szText, &device, 1, pBar->GetFeatureSetPtr());
  };
  DrawPagePoints(pPen, ruler.body.data(), static_cast<int>(ruler.body.size()), pBodySymbol);
  IGIS_ScaleMarks* pMarks = pBar->GetScaleMarks();
  IGIS_Symbol* pDivision = pMarks != nullptr ? pMarks->GetDivisionMarkSymbol() : nullptr;
  IGIS_Symbol* pSubdivision = pMarks != nullptr ? pMarks->GetSubdivisionMarkSymbol() : nullptr;
  for (const RulerMark& m : ruler.marks) {
    const SGIS_Point segment[2] = {m.from, m.to};
    DrawPagePoints(pPen, segment, 2, m.bDivision ? pDivision : pSubdivision);
    text(m.anchor, m.text.c_str());
  }
  const SGIS_Point line[2] = {ruler.lineFrom, ruler.lineTo};
  DrawPagePoints(pPen, line, 2, pSubdivision);
  for (const SGIS_Point& anchor : ruler.unitAnchors) text(anchor, pBar->GetUnitLabel());
  pStyle->Release();
  return true;
}

}  // namespace md::layout::detail
