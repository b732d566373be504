// The polygon element: a closed ring of points in its feature, moved and
// scaled point by point and filled with the feature's fill symbol.
#include "layout/graphicelement/shapes/cgis_polygonelement.h"

#include <new>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/shapes/shapecore.h"

using namespace mapdeck::shapes;

namespace {

constexpr const char* kClass = "CGIS_PolygonElement";
constexpr int kPolygonKind = 4;
constexpr int kCommitGeometry = 64;
constexpr int kCommitSymbol = 8;
constexpr int kCommitAll = 127;

// The indexes a point operation writes: every point but a closing one. A
// ring whose last point repeats the first gets that point set to the new
// first point afterwards (SyncClosingPoint), so it stays closed whatever the
// geometry does with its points.
int MovablePointCount(IGIS_Geometry* pGeometry, int n) {
  if (n >= 2 && pGeometry->GetPoint(n - 1, 0) == pGeometry->GetPoint(0, 0)) return n - 1;
  return n;
}

void SyncClosingPoint(IGIS_Geometry* pGeometry, int n, int nMovable) {
  if (nMovable == n - 1 && n >= 2) pGeometry->SetPoint(n - 1, pGeometry->GetPoint(0, 0), 0);
}

}  // namespace

CGIS_PolygonElement::CGIS_PolygonElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_ElementImpl(kClass, "多边形整饰单元") {
  SGIS_ShapeBinding b;
  b.szType = GIS_TYPE_GRAPHIC_ELEMENT_POLYGON;
  b.nKind = kPolygonKind;
  b.nSymbolType = 12;
  b.nSymbolCode = 3361;
  b.bCanConvertBound = false;
  BindShape(m_core, pOwner, pFeature, b);
}

const char* CGIS_PolygonElement::GetType() { return GIS_TYPE_GRAPHIC_ELEMENT_POLYGON; }

const char* CGIS_PolygonElement::GetDescription() { return "暂时没有定义"; }

SGIS_Rect CGIS_PolygonElement::GetRect() {
  SGIS_Rect r;
  IGIS_Feature* pFeature = m_core.RequireFeature("GetRect");
  if (pFeature == nullptr) return r;
  pFeature->GetBound(&r, 1, 0);
  return r;
}

void CGIS_PolygonElement::SetRect(SGIS_Rect rect) {
  rect.Normalize();
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  const SGIS_Rect c = GetRect();
  OffsetAllPoints(SubClamped(rect.left, c.left), SubClamped(rect.bottom, c.bottom));
  SetWidthAndHeight(rect.Width(), rect.Height());
}

void CGIS_PolygonElement::SetLBpoint(SGIS_Point point) {
  IGIS_Feature* pFeature = m_core.RequireFeature("SetLBpoint");
  if (pFeature == nullptr) return;
  IGIS_Geometry* pGeometry = pFeature->GetGeometry();
  if (pGeometry == nullptr || pGeometry->GetPointCount() < 3) return;
  const SGIS_Rect c = GetRect();
  OffsetAllPoints(SubClamped(point.x, c.left), SubClamped(point.y, c.bottom));
}

void CGIS_PolygonElement::OffsetAllPoints(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("OffsetAllPoints");
  if (pFeature == nullptr) return;
  IGIS_Geometry* pGeometry = pFeature->GetGeometry();
  if (pGeometry == nullptr) return;
  const int n = pGeometry->GetPointCount();
  const int movable = MovablePointCount(pGeometry, n);
  for (int i = 0; i < movable; ++i) {
    SGIS_Point p = pGeometry->GetPoint(i, 0);
    p.x = AddClamped(p.x, dx);
    p.y = AddClamped(p.y, dy);
    pGeometry->SetPoint(i, p, 0);
  }
  SyncClosingPoint(pGeometry, n, movable);
  Commit(m_core, pFeature, kCommitGeometry);
}

void CGIS_PolygonElement::ScaleShape(SGIS_Point origin, double sx, double sy) {
  if (!IsUsableFactor(sx, false) || !IsUsableFactor(sy, false)) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("ScaleShape");
  if (pFeature == nullptr) return;
  IGIS_Geometry* pGeometry = pFeature->GetGeometry();
  if (pGeometry == nullptr) return;
  const int n = pGeometry->GetPointCount();
  if (n < 3) return;
  const SGIS_Rect c = GetRect();
  const double left = static_cast<double>(Nearest((static_cast<double>(c.left) - origin.x) * sx)) + origin.x;
  const double bottom = static_cast<double>(Nearest((static_cast<double>(c.bottom) - origin.y) * sy)) + origin.y;
  if (GetHVScaleRatio()) sx = sy = std::min(sx, sy);
  const int movable = MovablePointCount(pGeometry, n);
  for (int i = 0; i < movable; ++i) {
    SGIS_Point p = pGeometry->GetPoint(i, 0);
    p.x = Nearest((static_cast<double>(p.x) - c.left) * sx + left);
    p.y = Nearest((static_cast<double>(p.y) - c.bottom) * sy + bottom);
    pGeometry->SetPoint(i, p, 0);
  }
  SyncClosingPoint(pGeometry, n, movable);
  Commit(m_core, pFeature, kCommitGeometry);
}

void CGIS_PolygonElement::SetWidthAndHeight(int nWidth, int nHeight) {
  IGIS_Feature* pFeature = m_core.RequireFeature("SetWidthAndHeight");
  if (pFeature == nullptr) return;
  if (nWidth <= 0 || nHeight <= 0) return;
  IGIS_Geometry* pGeometry = pFeature->GetGeometry();
  if (pGeometry == nullptr || pGeometry->GetPointCount() <= 2) return;
  const SGIS_Rect c = GetRect();
  const int w = c.Width();
  const int h = c.Height();
  if (nWidth == w && nHeight == h) return;
  double sx = w != 0 ? static_cast<double>(nWidth) / w : 1.0;
  double sy = h != 0 ? static_cast<double>(nHeight) / h : 1.0;
  if (GetHVScaleRatio()) sx = sy = KeepRatioFactor(sx, sy);
  ScaleShape(SGIS_Point(c.left, c.bottom, 0), sx, sy);
}

BOOL CGIS_PolygonElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
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
  const int n = pGeometry->GetPointCount();
  std::vector<SGIS_Point> points;
  std::vector<POINT> device;
  try {
    points.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    device.reserve(points.size());
  } catch (const std::bad_alloc&) {
    GIS_LOG(3, method.c_str(), "数组太大，不能够分配充足的内存 ");
    return FALSE;
  }
  const int count = n > 0 ? pGeometry->GetPoints(n, points.data(), 0, 0) : 0;
  if (count < 4) {
    GIS_LOG(3, method.c_str(), "pointCount = pPolygon->GetPoints(pointCount, gis_pts) < 0 ");
    return FALSE;
  }
  PageToDeviceDistinct(pView, pReference, points.data(), count, device);
  DrawDevicePoints(hdc, bPrint, pDisplay, pSymbol, device.data(), static_cast<int>(device.size()));
  return TRUE;
}

IGIS_Symbol* CGIS_PolygonElement::GetSymbolPtr() {
  IGIS_Feature* pFeature = m_core.RequireFeature("GetSymbolPtr");
  if (pFeature == nullptr) return nullptr;
  IGIS_Symbol* pSymbol = pFeature->GetSymbol();
  return pSymbol != nullptr ? pSymbol->AsFillSymbol() : nullptr;
}

void CGIS_PolygonElement::SetSymbolPtr(IGIS_Symbol* pSymbol) {
  const std::string method = m_core.Method("SetSymbolPtr");
  IGIS_Feature* pFeature = m_core.RequireFeature("SetSymbolPtr");
  if (pFeature == nullptr) return;
  if (pSymbol == nullptr) GIS_LOG(4, method.c_str(), "pSymbol == NULL");
  if (!GiveSymbolCopy(pFeature, pSymbol)) {
    GIS_LOG(3, method.c_str(), "b_ret == NULL");
    return;
  }
  if (!Commit(m_core, pFeature, kCommitSymbol)) GIS_LOG(3, method.c_str(), "b_ret == NULL");
}

IGIS_Element* CGIS_PolygonElement::Clone() {
  IGIS_Feature* pFeature = m_core.RequireFeature("Clone");
  if (pFeature == nullptr) return nullptr;
  auto* pCopy = NewSibling<IGIS_PolygonElement>(m_core, GIS_TYPE_GRAPHIC_ELEMENT_POLYGON);
  if (pCopy == nullptr) return nullptr;
  pCopy->SetHVScaleRatio(GetHVScaleRatio());
  pCopy->SetLock(IsLock());
  pCopy->SetSymbolPtr(GetSymbolPtr());
  IGIS_Feature* pNewFeature = pCopy->GetFeaturePtr();
  IGIS_Geometry* pNew = pNewFeature != nullptr ? pNewFeature->GetGeometry() : nullptr;
  IGIS_Geometry* pOld = GetFeaturePtr() != nullptr ? GetFeaturePtr()->GetGeometry() : nullptr;
  if (pNew != nullptr && pOld != nullptr) {
    const int n = pOld->GetPointCount();
    pNew->SetPointCount(n);
    for (int i = 0; i < n; ++i) pNew->SetPoint(i, pOld->GetPoint(i, 0), 0);
  }
  Commit(m_core, pNewFeature, kCommitAll);
  return pCopy;
}

BOOL CGIS_PolygonElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL /*bWithCommonPages*/) {
  return RunShapeSheet(m_core, GIS_ShapeSheetKind::Surface, pDisplay, "面属性", [this](IGIS_Element* pBackup) {
    SetHVScaleRatio(false);
    SetRect(pBackup->GetRect());
    SetHVScaleRatio(pBackup->GetHVScaleRatio());
    SetLock(pBackup->IsLock());
    if (auto* pOld = dynamic_cast<IGIS_PolygonElement*>(pBackup)) SetSymbolPtr(pOld->GetSymbolPtr());
  });
}
