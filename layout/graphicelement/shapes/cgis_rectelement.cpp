// The rectangle element: a closed five-point ring in its feature, resized
// about its left-bottom corner and drawn with the feature's fill symbol.
#include "layout/graphicelement/shapes/cgis_rectelement.h"

#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/shapes/shapecore.h"

using namespace mapdeck::shapes;

namespace {

constexpr const char* kClass = "CGIS_RectElement";
constexpr int kRectKind = 1024;
constexpr int kCommitGeometry = 64;
constexpr int kCommitAll = 127;

}  // namespace

CGIS_RectElement::CGIS_RectElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_ElementImpl(kClass, "矩形整饰单元") {
  SGIS_ShapeBinding b;
  b.szType = GIS_TYPE_GRAPHIC_ELEMENT_RECT;
  b.nKind = kRectKind;
  b.nSymbolType = 12;
  b.nSymbolCode = 3361;
  b.bCanConvertBound = true;
  BindShape(m_core, pOwner, pFeature, b);
}

const char* CGIS_RectElement::GetType() { return GIS_TYPE_GRAPHIC_ELEMENT_RECT; }

const char* CGIS_RectElement::GetDescription() { return "暂时没有定义"; }

SGIS_Rect CGIS_RectElement::GetRect() {
  SGIS_Rect r;
  IGIS_Feature* pFeature = GetFeaturePtr();
  if (pFeature == nullptr) {
    GIS_LOG(4, m_core.Method("GetRect").c_str(), "m_pFeature == NULL");
    return r;
  }
  pFeature->GetBound(&r, 1, 0);
  return r;
}

void CGIS_RectElement::CommitRect(IGIS_Feature* pFeature, SGIS_Rect rect) {
  if (IGIS_Geometry* pGeometry = pFeature->GetGeometry()) pGeometry->SetRect(rect, 0);
  Commit(m_core, pFeature, kCommitGeometry);
}

void CGIS_RectElement::SetRect(SGIS_Rect rect) {
  rect.Normalize();
  SetLBpoint(SGIS_Point(rect.left, rect.bottom, 0));
  SetWidthAndHeight(rect.Width(), rect.Height());
}

void CGIS_RectElement::SetLBpoint(SGIS_Point point) {
  const SGIS_Rect r = GetRect();
  OffsetAllPoints(SubClamped(point.x, r.left), SubClamped(point.y, r.bottom));
}

void CGIS_RectElement::OffsetAllPoints(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("OffsetAllPoints");
  if (pFeature == nullptr) return;
  const SGIS_Rect r = OffsetBox(GetRect(), dx, dy);
  CommitRect(pFeature, r);
}

void CGIS_RectElement::SetWidthAndHeight(int nWidth, int nHeight) {
  if (nWidth <= 0 || nHeight <= 0) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("SetWidthAndHeight");
  if (pFeature == nullptr) return;
  const SGIS_Rect r = GetRect();
  const int w = r.Width();
  const int h = r.Height();
  if (nWidth == w && nHeight == h) return;
  int nw = nWidth;
  int nh = nHeight;
  if (GetHVScaleRatio() && w != 0 && h != 0) {
    const double s = KeepRatioFactor(static_cast<double>(nWidth) / w, static_cast<double>(nHeight) / h);
    nw = Nearest(w * s);
    nh = Nearest(h * s);
  }
  CommitRect(pFeature, ResizeBox(r, nw, nh));
}

void CGIS_RectElement::ScaleShape(SGIS_Point origin, double sx, double sy) {
  if (!IsUsableFactor(sx, false) || !IsUsableFactor(sy, false)) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("ScaleShape");
  if (pFeature == nullptr) return;
  CommitRect(pFeature, ScaleBox(GetRect(), origin, sx, sy, GetHVScaleRatio()));
}

BOOL CGIS_RectElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  const std::string method = m_core.Method("OnDraw");
  IGIS_SpatialReference* pReference = PageReference(m_core);
  if (pReference == nullptr) {
    GIS_LOG(3, method.c_str(), "p_spatialreference== NULL ");
    return FALSE;
  }
  IGIS_Feature* pFeature = GetFeaturePtr();
  if (pFeature == nullptr) {
    GIS_LOG(3, method.c_str(), "GetFeaturePtr() == NULL");
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
  if (pGeometry == nullptr) {
    GIS_LOG(3, (" " + method).c_str(), "m_pFeature->GetGeoPtr()== NULL");
    return FALSE;
  }
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr) {
    GIS_LOG(3, method.c_str(), "pDisplay == NULL");
    return FALSE;
  }
  SGIS_Point ring[5] = {};
  const int count = pGeometry->GetPoints(5, ring, 0, 0);
  POINT device[5] = {};
  for (int i = 0; i < 5; ++i) {
    int x = ring[i].x;
    int y = ring[i].y;
    pView->PageToDevice(&x, &y, pReference);
    device[i].x = x;
    device[i].y = y;
  }
  DrawDevicePoints(hdc, bPrint, pDisplay, pSymbol, device, count > 0 ? count : 0);
  return TRUE;
}

IGIS_Symbol* CGIS_RectElement::GetSymbolPtr() {
  IGIS_Feature* pFeature = GetFeaturePtr();
  if (pFeature == nullptr) {
    GIS_LOG(3, (" " + m_core.Method("GetSymbolPtr")).c_str(), "m_pFeature == NULL");
    return nullptr;
  }
  return pFeature->GetSymbol();
}

void CGIS_RectElement::SetSymbolPtr(IGIS_Symbol* pSymbol) {
  const std::string method = m_core.Method("SetSymbolPtr");
  IGIS_Feature* pFeature = m_core.RequireFeature("SetSymbolPtr");
  if (pFeature == nullptr) return;
  if (pSymbol == nullptr) GIS_LOG(4, method.c_str(), "pSymbol == NULL");
  if (!GiveSymbolCopy(pFeature, pSymbol)) {
    GIS_LOG(3, method.c_str(), "b_ret == NULL");
    return;
  }
  if (!Commit(m_core, pFeature, kCommitAll)) GIS_LOG(3, method.c_str(), "b_ret == NULL");
}

IGIS_Element* CGIS_RectElement::Clone() {
  auto* pCopy = NewSibling<IGIS_RectElement>(m_core, GIS_TYPE_GRAPHIC_ELEMENT_RECT);
  if (pCopy == nullptr) return nullptr;
  pCopy->SetRect(GetRect());
  pCopy->SetHVScaleRatio(GetHVScaleRatio());
  pCopy->SetLock(IsLock());
  pCopy->SetSymbolPtr(GetSymbolPtr());
  return pCopy;
}

BOOL CGIS_RectElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL /*bWithCommonPages*/) {
  return RunShapeSheet(m_core, GIS_ShapeSheetKind::Surface, pDisplay, "矩形属性", [this](IGIS_Element* pBackup) {
    auto* pOld = dynamic_cast<IGIS_RectElement*>(pBackup);
    // The rectangle goes back as it was, whatever ratio the sheet left.
    SetHVScaleRatio(false);
    SetRect(pBackup->GetRect());
    SetHVScaleRatio(pBackup->GetHVScaleRatio());
    SetLock(pBackup->IsLock());
    if (pOld != nullptr) SetSymbolPtr(pOld->GetSymbolPtr());
  });
}
