// The point element: a page rectangle in its feature that the point symbol
// fills, sized from the symbol's extent and drawn keeping its aspect.
#include "layout/graphicelement/shapes/cgis_pointelement.h"

#include <algorithm>
#include <cmath>

#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "platform/win/wingdi.h"

using namespace md::layout::shapes;

namespace {

constexpr int kDefaultStyle = 3301;
constexpr int kFallbackEdge = 40;    // 0.4 mm
constexpr int kFallbackSize = 1000;  // 10 mm

// The extent of the default symbol's style, empty without a renderer.
SGIS_Rect DefaultExtent() {
  IGIS_SymbolRenderer* pRenderer = GIS_GetSymbolizationObject();
  return pRenderer != nullptr ? pRenderer->GetSymbolBound(kDefaultStyle) : SGIS_Rect();
}

// The size of the extent times the ratio, with its left-bottom corner at (x, y).
SGIS_Rect ScaledExtentAt(const SGIS_Rect& e, int x, int y, double dRatio) {
  SGIS_Rect r;
  r.left = x;
  r.bottom = y;
  r.right = Nearest(x + e.Width() * dRatio);
  r.top = Nearest(y + e.Height() * dRatio);
  return r;
}

void WriteRect(IGIS_Feature* pFeature, const SGIS_Rect& r) {
  if (IGIS_Geometry* pGeometry = pFeature->GetGeometry()) pGeometry->SetRect(r, 0);
}

}  // namespace

CGIS_PointElement::CGIS_PointElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_BoxShapeImpl("CGIS_PointElement", "点整饰单元", GIS_TYPE_GRAPHIC_ELEMENT_POINT) {
  // A point always keeps the ratio of its symbol, and says so in its feature.
  m_core.m_bKeepHVScaleRatio = true;
  if (pOwner == nullptr) return;
  const double ratio = md::layout::SymbolUnitRatio(pOwner);

  if (pFeature != nullptr && pFeature->GetKind() == GIS_FEATURE_KIND_POINT) {
    MigratePointFeature(pOwner, pFeature, ratio);
  } else if (BindRect(pOwner, pFeature) == CGIS_ElementCore::Binding::Created) {
    const SGIS_Rect e = DefaultExtent();
    SGIS_Rect r = ScaledExtentAt(e, e.left, e.bottom, ratio);
    if (r.right == 0) r.right = kFallbackEdge;
    if (r.top == 0) r.top = kFallbackEdge;
    WriteRect(m_core.m_pFeature, r);
  }
  if (m_core.m_pFeature != nullptr) Commit(m_core, m_core.m_pFeature, GIS_UPDATE_ALL);
}

CGIS_ElementCore::Binding CGIS_PointElement::BindRect(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature) {
  SGIS_ElementBindOptions options;
  options.szType = GIS_TYPE_GRAPHIC_ELEMENT_POINT;
  options.nKind = GIS_FEATURE_KIND_RECTANGLE;
  options.nCanConvert = 0;
  options.szNoFeature = "建立Feature失败 pFeature == NULL";
  const CGIS_ElementCore::Binding result = m_core.Bind(pOwner, pFeature, options);
  if (result == CGIS_ElementCore::Binding::Created)
    GiveDefaultSymbol(m_core.m_pFeature, GIS_SYMBOL_POINT, kDefaultStyle);
  return result;
}

void CGIS_PointElement::MigratePointFeature(IGIS_FeatureSet* pOwner, IGIS_Feature* pOld, double dRatio) {
  SGIS_Rect bound;
  pOld->GetBound(&bound, 1, 0);
  const SGIS_Point p = bound.CenterPoint();
  const int oldId = pOld->GetID();
  // The new feature first: when it cannot be made, the stored point stays.
  if (BindRect(pOwner, nullptr) != CGIS_ElementCore::Binding::Created) return;
  WriteRect(m_core.m_pFeature, ScaledExtentAt(DefaultExtent(), p.x, p.y, dRatio));
  if (IGIS_FeatureClass* pClass = m_core.m_pFeatureSet->GetFeatureClass()) pClass->DeleteFeature(oldId);
}

BOOL CGIS_PointElement::Archive(int nRead, int /*nArchiveOption*/) {
  m_core.m_bKeepHVScaleRatio = true;
  const BOOL ok = m_core.ArchiveCommon(nRead);
  m_core.m_bKeepHVScaleRatio = true;
  return ok;
}

SGIS_Rect CGIS_PointElement::GetRect() {
  SGIS_Rect r;
  IGIS_Feature* pFeature = m_core.RequireFeature("GetRect");
  if (pFeature == nullptr) return r;
  if (IGIS_Geometry* pGeometry = pFeature->GetGeometry()) pGeometry->GetBound(&r, 1, 0);
  return r;
}

bool CGIS_PointElement::SetPoint(SGIS_Point point) {
  if (m_core.RequireFeature("SetPoint") == nullptr) return false;
  const SGIS_Point c = GetRect().CenterPoint();
  OffsetAllPoints(SubClamped(point.x, c.x), SubClamped(point.y, c.y));
  return true;
}

SGIS_Point CGIS_PointElement::GetPoint() {
  IGIS_Feature* pFeature = GetFeaturePtr();
  if (pFeature == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, ("SGIS_Point " + m_core.Method("GetPoint")).c_str(), "m_pFeature == NULL");
    return SGIS_Point();
  }
  IGIS_Geometry* pGeometry = pFeature->GetGeometry();
  return pGeometry != nullptr && pGeometry->GetPointCount() > 0 ? pGeometry->GetPoint(0, 0) : SGIS_Point();
}

void CGIS_PointElement::SetRect(SGIS_Rect rect) {
  rect.Normalize();
  if (m_core.RequireFeature("SetRect") == nullptr) return;
  MoveAndResize(rect);
}

bool CGIS_PointElement::FitSize(IGIS_Feature* pFeature, int w, int h, int& nWidth, int& nHeight) {
  if (w == 0 || h == 0) return true;
  if (GIS_GetSymbolizationObject() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("SetWidthAndHeight").c_str(), "p_symbolization == NULL");
    return false;
  }
  const SGIS_Rect e = PointSymbolExtent(pFeature->GetSymbol(), 1.0);
  const double ew = e.Width();
  const double eh = e.Height();
  if (ew * eh > 0.0) {
    const double f = std::max(nWidth / ew, nHeight / eh);
    nWidth = Nearest(ew * f);
    nHeight = Nearest(eh * f);
  }
  return true;
}

BOOL CGIS_PointElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  const std::string method = m_core.Method("OnDraw");
  IGIS_SpatialReference* pReference = PageReference(m_core);
  if (pReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_spatialreference== NULL ");
    return FALSE;
  }
  if (GIS_GetSymbolizationObject() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_symbolization == NULL");
    return FALSE;
  }
  IGIS_Feature* pFeature = GetFeaturePtr();
  if (pFeature == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "m_pFeature == NULL");
    return FALSE;
  }
  IGIS_Symbol* pSymbol = pFeature->GetSymbol();
  if (pSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_symbol == NULL");
    return FALSE;
  }
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "pDisplay == NULL");
    return FALSE;
  }
  SGIS_Rect d = pView->PageToDeviceRect(GetRect(), pReference);
  d.Normalize();
  const SGIS_Point c = d.CenterPoint();
  const SGIS_Rect e = PointSymbolExtent(pSymbol, 1.0);
  const double ew = e.Width();
  const double eh = e.Height();
  if (ew * eh < 1.0) return FALSE;

  // The fit is worked out in the context's pixels, where the renderer builds
  // the symbol: s pixels per symbol unit make the symbol fill the rectangle
  // on its tighter side. The renderer draws a symbol `size` units high at
  // LOGPIXELSY / 72 pixels per unit times its scale, centred on its point.
  POINT corners[2] = {{d.left, d.bottom}, {d.right, d.top}};
  if (hdc != nullptr) LPtoDP(hdc, corners, 2);
  const double pxWidth = std::fabs(static_cast<double>(corners[1].x) - corners[0].x);
  const double pxHeight = std::fabs(static_cast<double>(corners[1].y) - corners[0].y);
  const double s = std::min(pxWidth / ew, pxHeight / eh);
  const int dpi = hdc != nullptr ? GetDeviceCaps(hdc, LOGPIXELSY) : 0;
  const double size = pSymbol->GetSize() > 0 ? pSymbol->GetSize() : eh;
  const double scale = dpi > 0 ? s * eh / (size * dpi / 72.0) : s;

  POINT anchor;
  anchor.x = c.x;
  anchor.y = c.y;
  if (scale > 0.0) DrawDevicePoints(hdc, bPrint, pDisplay, pSymbol, &anchor, 1, scale);
  return TRUE;
}

IGIS_Symbol* CGIS_PointElement::GetSymbolPtr() { return FeatureSymbol(m_core, false); }

void CGIS_PointElement::SetSymbolPtr(IGIS_Symbol* pSymbol) {
  const std::string method = m_core.Method("SetSymbolPtr");
  IGIS_Feature* pFeature = m_core.RequireFeature("SetSymbolPtr");
  if (pFeature == nullptr) return;
  if (pSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "pSymbol == NULL");
    return;
  }
  IGIS_Symbol* pCopy = pSymbol->Clone();
  if (pCopy == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "b_ret == NULL");
    return;
  }
  const SGIS_Rect e = PointSymbolExtent(pCopy, 0.0);
  const double ew = e.Width();
  const double eh = e.Height();
  SGIS_Rect r = GetRect();
  if (eh > 0.0) {
    // The height stays; the width takes the symbol's aspect.
    r.right =
        md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(r.left) + Nearest(ew * r.Height() / eh));
  }
  if (r.Width() == 0 || r.Height() == 0) r = ResizeBox(r, kFallbackSize, kFallbackSize);
  WriteRect(pFeature, r);
  if (!pFeature->SetSymbol(pCopy)) {
    pCopy->Release();
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "b_ret == NULL");
    return;
  }
  if (!Commit(m_core, pFeature, GIS_UPDATE_POINT_SYMBOL))
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "b_ret == NULL");
}

IGIS_Element* CGIS_PointElement::Clone() {
  auto* pCopy = NewSibling<IGIS_PointElement>(m_core, GIS_TYPE_GRAPHIC_ELEMENT_POINT);
  if (pCopy == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("Clone").c_str(), "p_graphicElement == NULL");
    return nullptr;
  }
  pCopy->SetLock(IsLock());
  pCopy->SetHVScaleRatio(GetHVScaleRatio());
  pCopy->SetSymbolPtr(GetSymbolPtr());
  pCopy->SetRect(GetRect());
  return pCopy;
}

BOOL CGIS_PointElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL /*bWithCommonPages*/) {
  return m_core.OpenPropertySheet(pDisplay, "点属性", "p_element == NULL");
}
