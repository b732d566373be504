// The polyline element: vertices in its feature, moved and scaled one by one
// and stroked with the feature's line symbol.
#include "layout/graphicelement/shapes/cgis_polylineelement.h"

#include <algorithm>
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

constexpr const char* kClass = "CGIS_PolylineElement";
constexpr int kPolylineKind = 2;
constexpr int kCommitGeometry = 64;
constexpr int kCommitSymbol = 8;

}  // namespace

CGIS_PolylineElement::CGIS_PolylineElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_ElementImpl(kClass, "线整饰单元") {
  SGIS_ShapeBinding b;
  b.szType = GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE;
  b.nKind = kPolylineKind;
  b.nSymbolType = 9;
  b.nSymbolCode = 3331;
  b.bCanConvertBound = true;
  BindShape(m_core, pOwner, pFeature, b);
}

const char* CGIS_PolylineElement::GetType() { return GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE; }

const char* CGIS_PolylineElement::GetDescription() { return "暂时没有定义"; }

namespace {

// The geometry of a polyline that can be worked on: the feature's, with two
// vertices at least; NULL otherwise (a missing feature is recorded).
IGIS_Geometry* ReachVertices(CGIS_ElementCore& core, const char* szOperation, IGIS_Feature** ppFeature) {
  IGIS_Feature* pFeature = core.RequireFeature(szOperation);
  if (ppFeature != nullptr) *ppFeature = pFeature;
  if (pFeature == nullptr) return nullptr;
  IGIS_Geometry* pGeometry = pFeature->GetGeometry();
  if (pGeometry == nullptr || pGeometry->GetPointCount() < 2) return nullptr;
  return pGeometry;
}

}  // namespace

SGIS_Rect CGIS_PolylineElement::GetRect() {
  SGIS_Rect r;
  IGIS_Feature* pFeature = m_core.RequireFeature("GetRect");
  if (pFeature == nullptr) return r;
  pFeature->GetBound(&r, 1, 0);
  return r;
}

void CGIS_PolylineElement::SetRect(SGIS_Rect rect) {
  rect.Normalize();
  if (rect.Height() < 1 || rect.Width() < 1) return;
  const SGIS_Rect c = GetRect();
  OffsetAllPoints(SubClamped(rect.left, c.left), SubClamped(rect.bottom, c.bottom));
  SetWidthAndHeight(rect.Width(), rect.Height());
}

void CGIS_PolylineElement::SetLBpoint(SGIS_Point point) {
  if (ReachVertices(m_core, "SetLBpoint", nullptr) == nullptr) return;
  const SGIS_Rect c = GetRect();
  OffsetAllPoints(SubClamped(point.x, c.left), SubClamped(point.y, c.bottom));
}

void CGIS_PolylineElement::OffsetAllPoints(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  IGIS_Feature* pFeature = nullptr;
  IGIS_Geometry* pGeometry = ReachVertices(m_core, "OffsetAllPoints", &pFeature);
  if (pGeometry == nullptr) return;
  const int n = pGeometry->GetPointCount();
  for (int i = 0; i < n; ++i) {
    SGIS_Point v = pGeometry->GetPoint(i, 0);
    v.x = AddClamped(v.x, dx);
    v.y = AddClamped(v.y, dy);
    pGeometry->SetPoint(i, v, 0);
  }
  Commit(m_core, pFeature, kCommitGeometry);
}

void CGIS_PolylineElement::SetWidthAndHeight(int nWidth, int nHeight) {
  if (m_core.RequireFeature("SetWidthAndHeight") == nullptr) return;
  if (nWidth < 0 || nHeight < 0) return;
  if (ReachVertices(m_core, "SetWidthAndHeight", nullptr) == nullptr) return;
  const SGIS_Rect r = GetRect();
  const int w = r.Width();
  const int h = r.Height();
  if (nWidth == w && nHeight == h) return;
  double sx = w != 0 ? static_cast<double>(nWidth) / w : 1.0;
  double sy = h != 0 ? static_cast<double>(nHeight) / h : 1.0;
  if (GetHVScaleRatio()) sx = sy = KeepRatioFactor(sx, sy);
  ScaleShape(SGIS_Point(r.left, r.bottom, 0), sx, sy);
}

void CGIS_PolylineElement::ScaleShape(SGIS_Point origin, double sx, double sy) {
  // 0 is accepted: it lines the vertices up on the left or bottom edge.
  if (!IsUsableFactor(sx, true) || !IsUsableFactor(sy, true)) return;
  IGIS_Feature* pFeature = nullptr;
  IGIS_Geometry* pGeometry = ReachVertices(m_core, "ScaleShape", &pFeature);
  if (pGeometry == nullptr) return;
  const SGIS_Rect r = GetRect();
  const double left = static_cast<double>(Nearest((static_cast<double>(r.left) - origin.x) * sx)) + origin.x;
  const double bottom = static_cast<double>(Nearest((static_cast<double>(r.bottom) - origin.y) * sy)) + origin.y;
  if (GetHVScaleRatio()) sx = sy = std::min(sx, sy);
  const int n = pGeometry->GetPointCount();
  for (int i = 0; i < n; ++i) {
    SGIS_Point v = pGeometry->GetPoint(i, 0);
    v.x = Nearest(left + (static_cast<double>(v.x) - r.left) * sx);
    v.y = Nearest(bottom + (static_cast<double>(v.y) - r.bottom) * sy);
    pGeometry->SetPoint(i, v, 0);
  }
  Commit(m_core, pFeature, kCommitGeometry);
}

BOOL CGIS_PolylineElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
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
    GIS_LOG(3, method.c_str(), "p_polyLine_symbol == NULL");
    return FALSE;
  }
  IGIS_Geometry* pGeometry = pFeature->GetGeometry();
  if (pGeometry == nullptr) return FALSE;
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr) {
    GIS_LOG(3, method.c_str(), "pDisplay == NULL");
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
  if (count < 2) {
    GIS_LOG(3, method.c_str(), "pointCount = pPolyLine->GetPoints(pointCount, gis_pts) < 0 ");
    return FALSE;
  }
  PageToDeviceDistinct(pView, pReference, points.data(), count, device);
  DrawDevicePoints(hdc, bPrint, pDisplay, pSymbol, device.data(), static_cast<int>(device.size()));
  return TRUE;
}

IGIS_Symbol* CGIS_PolylineElement::GetSymbolPtr() {
  IGIS_Feature* pFeature = m_core.RequireFeature("GetSymbolPtr");
  return pFeature != nullptr ? pFeature->GetSymbol() : nullptr;
}

void CGIS_PolylineElement::SetSymbolPtr(IGIS_Symbol* pSymbol) {
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

IGIS_Element* CGIS_PolylineElement::Clone() {
  if (m_core.RequireFeature("Clone") == nullptr) return nullptr;
  auto* pCopy = NewSibling<IGIS_PolylineElement>(m_core, GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE);
  if (pCopy == nullptr) return nullptr;
  pCopy->SetHVScaleRatio(GetHVScaleRatio());
  pCopy->SetLock(IsLock());
  pCopy->SetSymbolPtr(GetSymbolPtr());
  IGIS_Feature* pNewFeature = pCopy->GetFeaturePtr();
  IGIS_Geometry* pNew = pNewFeature != nullptr ? pNewFeature->GetGeometry() : nullptr;
  IGIS_Feature* pFeature = GetFeaturePtr();
  IGIS_Geometry* pOld = pFeature != nullptr ? pFeature->GetGeometry() : nullptr;
  if (pNew == nullptr || pOld == nullptr) return pCopy;
  const int n = pOld->GetPointCount();
  for (int i = 0; i < n; ++i) pNew->InsertPoint(i, pOld->GetPoint(i, 0), 0);
  return pCopy;
}

BOOL CGIS_PolylineElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL /*bWithCommonPages*/) {
  return RunShapeSheet(m_core, GIS_ShapeSheetKind::Line, pDisplay, "线属性", [this](IGIS_Element* pBackup) {
    // Back into the backup's bounding rectangle with the ratio free; a
    // horizontal or vertical line (no height or width) goes back too.
    const SGIS_Rect b = pBackup->GetRect();
    const SGIS_Rect c = GetRect();
    SetHVScaleRatio(false);
    OffsetAllPoints(SubClamped(b.left, c.left), SubClamped(b.bottom, c.bottom));
    SetWidthAndHeight(b.Width(), b.Height());
    SetHVScaleRatio(pBackup->GetHVScaleRatio());
    SetLock(pBackup->IsLock());
    if (auto* pOld = dynamic_cast<IGIS_PolylineElement*>(pBackup)) SetSymbolPtr(pOld->GetSymbolPtr());
  });
}
