// The ellipse element: a bounding rectangle in its feature, drawn as the
// flattened outline filled with the feature's fill symbol.
#include "layout/graphicelement/shapes/cgis_ellipseelement.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/shapes/shapecore.h"
#include "platform/win/wingdi.h"

using namespace mapdeck::shapes;

namespace {

constexpr const char* kClass = "CGIS_EllipseElement";
constexpr int kEllipseKind = 16;
constexpr int kCommitGeometry = 64;
constexpr int kCommitSymbol = 8;

// Segments of the outline: enough that no chord strays more than a quarter
// pixel from the curve, at least 16 and at most 4096.
int OutlineSegments(HDC hdc, const SGIS_Rect& device) {
  POINT corners[2] = {{device.left, device.bottom}, {device.right, device.top}};
  if (hdc != nullptr) LPtoDP(hdc, corners, 2);
  const double rx = std::fabs(static_cast<double>(corners[1].x) - corners[0].x) / 2.0;
  const double ry = std::fabs(static_cast<double>(corners[1].y) - corners[0].y) / 2.0;
  const double r = std::max(rx, ry);
  if (!(r > 0.25)) return 16;
  const double n = std::ceil(3.14159265358979323846 / std::acos(1.0 - 0.25 / r));
  if (!std::isfinite(n)) return 4096;
  return static_cast<int>(std::clamp(n, 16.0, 4096.0));
}

}  // namespace

CGIS_EllipseElement::CGIS_EllipseElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_ElementImpl(kClass, "椭圆整饰单元") {
  SGIS_ShapeBinding b;
  b.szType = GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE;
  b.nKind = kEllipseKind;
  b.nSymbolType = 12;
  b.nSymbolCode = 3361;
  b.bCanConvertBound = false;
  b.bLogCreateFailure = false;
  // A stored ellipse brings its flags, order and name at once.
  if (BindShape(m_core, pOwner, pFeature, b) == CGIS_ElementCore::Binding::Bound) Archive(1, 0);
}

const char* CGIS_EllipseElement::GetType() { return GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE; }

const char* CGIS_EllipseElement::GetDescription() { return "暂时没有定义"; }

SGIS_Rect CGIS_EllipseElement::GetRect() {
  SGIS_Rect r;
  IGIS_Feature* pFeature = m_core.RequireFeature("GetRect");
  if (pFeature == nullptr) return r;
  pFeature->GetBound(&r, 1, 0);
  return r;
}

void CGIS_EllipseElement::CommitEllipse(IGIS_Feature* pFeature, SGIS_Rect rect) {
  if (IGIS_Geometry* pGeometry = pFeature->GetGeometry()) pGeometry->SetEllipse(rect, 0);
  Commit(m_core, pFeature, kCommitGeometry);
}

void CGIS_EllipseElement::SetRect(SGIS_Rect rect) {
  rect.Normalize();
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  const SGIS_Rect c = GetRect();
  OffsetAllPoints(SubClamped(rect.left, c.left), SubClamped(rect.bottom, c.bottom));
  SetWidthAndHeight(rect.Width(), rect.Height());
}

void CGIS_EllipseElement::SetLBpoint(SGIS_Point point) {
  const SGIS_Rect c = GetRect();
  OffsetAllPoints(SubClamped(point.x, c.left), SubClamped(point.y, c.bottom));
}

void CGIS_EllipseElement::OffsetAllPoints(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("OffsetAllPoints");
  if (pFeature == nullptr) return;
  const SGIS_Rect r = OffsetBox(GetRect(), dx, dy);
  CommitEllipse(pFeature, r);
}

void CGIS_EllipseElement::SetWidthAndHeight(int nWidth, int nHeight) {
  if (nWidth <= 0 || nHeight <= 0) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("SetWidthAndHeight");
  if (pFeature == nullptr) return;
  const SGIS_Rect r = GetRect();
  const int w = r.Width();
  const int h = r.Height();
  if (nWidth == w && nHeight == h) return;
  int nw = nWidth;
  int nh = nHeight;
  if (GetHVScaleRatio()) {
    if (w == 0 || h == 0) {
      // No ratio to keep: a circle of the smaller size.
      nw = nh = std::min(nWidth, nHeight);
    } else {
      const double s = KeepRatioFactor(static_cast<double>(nWidth) / w, static_cast<double>(nHeight) / h);
      nw = Nearest(w * s);
      nh = Nearest(h * s);
    }
  }
  CommitEllipse(pFeature, ResizeBox(r, nw, nh));
}

void CGIS_EllipseElement::ScaleShape(SGIS_Point origin, double sx, double sy) {
  if (!IsUsableFactor(sx, false) || !IsUsableFactor(sy, false)) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("ScaleShape");
  if (pFeature == nullptr) return;
  CommitEllipse(pFeature, ScaleBox(GetRect(), origin, sx, sy, GetHVScaleRatio()));
}

BOOL CGIS_EllipseElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  const std::string method = m_core.Method("OnDraw");
  IGIS_SpatialReference* pReference = PageReference(m_core);
  if (pReference == nullptr) {
    GIS_LOG(3, method.c_str(), "p_spatialreference== NULL ");
    return FALSE;
  }
  IGIS_Feature* pFeature = GetFeaturePtr();
  if (pFeature == nullptr) {
    GIS_LOG(3, method.c_str(), "m_pFeature == NULL");
    return FALSE;
  }
  if (GIS_GetSymbolizationObject() == nullptr) {
    GIS_LOG(3, method.c_str(), "p_symbolization == NULL");
    return FALSE;
  }
  IGIS_Symbol* pSymbol = pFeature->GetSymbol();
  if (pSymbol == nullptr) {
    GIS_LOG(3, method.c_str(), "p_symbol == NULL");
    return FALSE;
  }
  IGIS_Geometry* pGeometry = pFeature->GetGeometry();
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pGeometry == nullptr || pView == nullptr) {
    GIS_LOG(3, method.c_str(), pGeometry == nullptr ? "m_pFeature->GetGeoPtr()== NULL" : "pDisplay == NULL");
    return FALSE;
  }
  SGIS_Rect r;
  pGeometry->GetBound(&r, 0, 0);
  SGIS_Rect d = pView->PageToDeviceRect(r, pReference);
  d.Normalize();

  // The outline as a closed ring of device points around the rectangle.
  const int n = OutlineSegments(hdc, d);
  const double cx = (static_cast<double>(d.left) + d.right) / 2.0;
  const double cy = (static_cast<double>(d.bottom) + d.top) / 2.0;
  const double rx = (static_cast<double>(d.right) - d.left) / 2.0;
  const double ry = (static_cast<double>(d.top) - d.bottom) / 2.0;
  std::vector<POINT> ring;
  ring.reserve(static_cast<std::size_t>(n) + 1);
  for (int i = 0; i < n; ++i) {
    const double a = 2.0 * 3.14159265358979323846 * i / n;
    AppendDistinct(ring, Nearest(cx + rx * std::cos(a)), Nearest(cy + ry * std::sin(a)));
  }
  if (!ring.empty()) AppendDistinct(ring, ring.front().x, ring.front().y);
  DrawDevicePoints(hdc, bPrint, pDisplay, pSymbol, ring.data(), static_cast<int>(ring.size()));
  return TRUE;
}

IGIS_Symbol* CGIS_EllipseElement::GetSymbolPtr() {
  IGIS_Feature* pFeature = m_core.RequireFeature("GetSymbolPtr");
  if (pFeature == nullptr) return nullptr;
  IGIS_Symbol* pSymbol = pFeature->GetSymbol();
  return pSymbol != nullptr ? pSymbol->AsFillSymbol() : nullptr;
}

void CGIS_EllipseElement::SetSymbolPtr(IGIS_Symbol* pSymbol) {
  const std::string method = m_core.Method("SetSymbolPtr");
  IGIS_Feature* pFeature = m_core.RequireFeature("SetSymbolPtr");
  if (pFeature == nullptr) return;
  if (pSymbol != nullptr && pSymbol == pFeature->GetSymbol()) return;
  if (!GiveSymbolCopy(pFeature, pSymbol)) {
    GIS_LOG(3, method.c_str(), "b_ret == NULL");
    return;
  }
  if (!Commit(m_core, pFeature, kCommitSymbol)) GIS_LOG(3, method.c_str(), "b_ret == NULL");
}

IGIS_Element* CGIS_EllipseElement::Clone() {
  auto* pCopy = NewSibling<IGIS_EllipseElement>(m_core, GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE);
  if (pCopy == nullptr) return nullptr;
  pCopy->SetRect(GetRect());
  pCopy->SetSymbolPtr(GetSymbolPtr());
  pCopy->SetHVScaleRatio(GetHVScaleRatio());
  pCopy->SetLock(IsLock());
  return pCopy;
}

BOOL CGIS_EllipseElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL /*bWithCommonPages*/) {
  return RunShapeSheet(m_core, GIS_ShapeSheetKind::Surface, pDisplay, "椭圆属性", [this](IGIS_Element* pBackup) {
    // The rectangle goes back as it was, whatever ratio the sheet left.
    SetHVScaleRatio(false);
    SetRect(pBackup->GetRect());
    SetHVScaleRatio(pBackup->GetHVScaleRatio());
    SetLock(pBackup->IsLock());
    auto* pOld = dynamic_cast<IGIS_EllipseElement*>(pBackup);
    if (pOld != nullptr && pOld->GetSymbolPtr() != nullptr) SetSymbolPtr(pOld->GetSymbolPtr());
  });
}
