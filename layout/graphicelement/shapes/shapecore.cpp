// Binding, commits, symbols, drawing, vertex arithmetic and the
// property-sheet protocol of the plain shapes.
#include "layout/graphicelement/shapes/shapecore.h"

#include <algorithm>
#include <array>
#include <new>

#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/element/mapdeckfunction.h"
#include "platform/ui/app.h"

namespace {

std::array<GIS_ShapeSheetRunner, 3>& Runners() {
  static std::array<GIS_ShapeSheetRunner, 3> runners{};
  return runners;
}

std::size_t RunnerIndex(GIS_ShapeSheetKind kind) {
  switch (kind) {
    case GIS_ShapeSheetKind::Surface:
      return 0;
    case GIS_ShapeSheetKind::Line:
      return 1;
    case GIS_ShapeSheetKind::Point:
      return 2;
  }
  return 0;
}

}  // namespace

namespace mapdeck {

void SetShapeSheetRunner(GIS_ShapeSheetKind kind, GIS_ShapeSheetRunner runner) {
  Runners()[RunnerIndex(kind)] = runner;
}

GIS_ShapeSheetRunner GetShapeSheetRunner(GIS_ShapeSheetKind kind) { return Runners()[RunnerIndex(kind)]; }

}  // namespace mapdeck

namespace mapdeck::shapes {

double KeepRatioFactor(double sx, double sy) {
  if (sx >= 1.0 || sy >= 1.0) return std::min(sx, sy);
  return std::max(sx, sy);
}

bool KeepRatioSize(int w, int h, int& nWidth, int& nHeight) {
  if (w == 0 || h == 0) return false;
  const double s = KeepRatioFactor(static_cast<double>(nWidth) / w, static_cast<double>(nHeight) / h);
  nWidth = Nearest(w * s);
  nHeight = Nearest(h * s);
  return true;
}

SGIS_Rect ScaleBox(SGIS_Rect r, SGIS_Point origin, double sx, double sy, bool bKeepRatio) {
  const double w = r.Width();
  const double h = r.Height();
  r.left = Nearest((static_cast<double>(r.left) - origin.x) * sx + origin.x);
  r.bottom = Nearest((static_cast<double>(r.bottom) - origin.y) * sy + origin.y);
  if (bKeepRatio) sx = sy = std::min(sx, sy);
  r.right = Nearest(r.left + w * sx);
  r.top = Nearest(r.bottom + h * sy);
  return r;
}

SGIS_Rect ResizeBox(SGIS_Rect r, int nWidth, int nHeight) {
  r.right = sgis_detail::ClampToInt32(static_cast<std::int64_t>(r.left) + nWidth);
  r.top = sgis_detail::ClampToInt32(static_cast<std::int64_t>(r.bottom) + nHeight);
  return r;
}

IGIS_Symbol* MakeDefaultSymbol(int nType, int nStyleCode) {
  IGIS_SymbolFactory* pFactory = GIS_GetSymbolFactoryObject();
  IGIS_Symbol* pSymbol = pFactory != nullptr ? pFactory->CreateSymbol(nType) : nullptr;
  if (pSymbol == nullptr) return nullptr;
  IGIS_SymbolPart* pPart = nullptr;
  switch (nType) {
    case 5:
    case 6:
    case 7:
      pPart = pSymbol->GetPointPart();
      break;
    case 9:
      pPart = pSymbol->GetLinePart();
      break;
    default:
      pPart = pSymbol->GetFillPart();
      break;
  }
  if (pPart != nullptr) pPart->SetCode(nStyleCode);
  return pSymbol;
}

void GiveDefaultSymbol(IGIS_Feature* pFeature, int nType, int nStyleCode) {
  if (pFeature == nullptr) return;
  IGIS_Symbol* pSymbol = MakeDefaultSymbol(nType, nStyleCode);
  if (pSymbol != nullptr && !pFeature->SetSymbol(pSymbol)) pSymbol->Release();
}

BOOL GiveSymbolCopy(IGIS_Feature* pFeature, IGIS_Symbol* pSymbol) {
  if (pFeature == nullptr) return FALSE;
  IGIS_Symbol* pCopy = pSymbol != nullptr ? pSymbol->Clone() : nullptr;
  if (pSymbol != nullptr && pCopy == nullptr) return FALSE;
  if (!pFeature->SetSymbol(pCopy)) {
    if (pCopy != nullptr) pCopy->Release();
    return FALSE;
  }
  return TRUE;
}

BOOL Commit(CGIS_ElementCore& core, IGIS_Feature* pFeature, int nFlags) {
  if (core.m_pFeatureSet == nullptr || pFeature == nullptr) return FALSE;
  IGIS_FeatureClass* pClass = core.m_pFeatureSet->GetFeatureClass();
  return pClass != nullptr ? pClass->UpdateFeature(pFeature, nFlags) : FALSE;
}

IGIS_Symbol* FeatureSymbol(CGIS_ElementCore& core, bool bFillView) {
  IGIS_Feature* pFeature = core.RequireFeature("GetSymbolPtr");
  if (pFeature == nullptr) return nullptr;
  IGIS_Symbol* pSymbol = pFeature->GetSymbol();
  return bFillView && pSymbol != nullptr ? pSymbol->AsFillSymbol() : pSymbol;
}

void CommitSymbolCopy(CGIS_ElementCore& core, IGIS_Feature* pFeature, IGIS_Symbol* pSymbol, int nFlags) {
  const std::string method = core.Method("SetSymbolPtr");
  if (!GiveSymbolCopy(pFeature, pSymbol)) {
    GIS_LOG(3, method.c_str(), "b_ret == NULL");
    return;
  }
  if (!Commit(core, pFeature, nFlags)) GIS_LOG(3, method.c_str(), "b_ret == NULL");
}

void SetFeatureSymbol(CGIS_ElementCore& core, IGIS_Symbol* pSymbol, int nFlags) {
  IGIS_Feature* pFeature = core.RequireFeature("SetSymbolPtr");
  if (pFeature == nullptr) return;
  if (pSymbol == nullptr) GIS_LOG(4, core.Method("SetSymbolPtr").c_str(), "pSymbol == NULL");
  CommitSymbolCopy(core, pFeature, pSymbol, nFlags);
}

IGIS_SpatialReference* PageReference(CGIS_ElementCore& core) {
  if (core.m_pFeatureSet == nullptr) return nullptr;
  IGIS_FeatureClass* pClass = core.m_pFeatureSet->GetFeatureClass();
  return pClass != nullptr ? pClass->GetSpatialReference() : nullptr;
}

std::string ConstructorName(CGIS_ElementCore& core) {
  std::string name = core.Method("");
  name.resize(name.size() - 2);  // the class name alone
  return core.Method(name.c_str());
}

void WriteNewFeatureFields(CGIS_ElementCore& core, IGIS_Feature* pFeature, const char* szType) {
  IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes();
  if (pAttr == nullptr) return;
  pAttr->SetInt("InterfacePtr", core.Handle());
  pAttr->SetString("TYPE", szType);
  pAttr->SetBool("IsLock", core.m_bLock);
  pAttr->SetBool("KeepHVScaleRatio", core.m_bKeepHVScaleRatio);
  pAttr->SetBool("CanConvert", false);
}

CGIS_ElementCore::Binding BindShape(CGIS_ElementCore& core, IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature,
                                    const SGIS_ShapeBinding& binding) {
  if (pOwner == nullptr) return CGIS_ElementCore::Binding::Unbound;
  core.m_pFeatureSet = pOwner;
  if (pFeature == nullptr) {
    IGIS_FeatureClass* pClass = pOwner->GetFeatureClass();
    IGIS_Feature* pNew = pClass != nullptr ? pClass->CreateFeature(binding.nKind, 0) : nullptr;
    if (pNew == nullptr) {
      if (binding.bLogCreateFailure) {
        GIS_LOG(3, ConstructorName(core).c_str(), "建立Feature失败 pFeature == NULL");
      }
      return CGIS_ElementCore::Binding::Unbound;
    }
    core.m_pFeature = pNew;
    core.ID() = pNew->GetID();
    WriteNewFeatureFields(core, pNew, binding.szType);
    GiveDefaultSymbol(pNew, binding.nSymbolType, binding.nSymbolCode);
    return CGIS_ElementCore::Binding::Created;
  }
  core.m_pFeature = pFeature;
  if (IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes()) {
    pAttr->SetInt("InterfacePtr", core.Handle());
    pAttr->SetString("TYPE", binding.szType);
    pAttr->SetBool("CanConvert", binding.bCanConvertBound);
  }
  if (pFeature->GetSymbol() == nullptr) GiveDefaultSymbol(pFeature, binding.nSymbolType, binding.nSymbolCode);
  core.ID() = pFeature->GetID();
  return CGIS_ElementCore::Binding::Bound;
}

void AppendDistinct(std::vector<POINT>& points, int x, int y) {
  if (!points.empty() && points.back().x == x && points.back().y == y) return;
  POINT p;
  p.x = x;
  p.y = y;
  points.push_back(p);
}

void PageToDeviceDistinct(IGIS_DisplayView* pView, IGIS_SpatialReference* pReference,
                          const SGIS_Point* pPoints, int nCount, std::vector<POINT>& out) {
  out.clear();
  for (int i = 0; i < nCount; ++i) {
    int x = pPoints[i].x;
    int y = pPoints[i].y;
    pView->PageToDevice(&x, &y, pReference);
    AppendDistinct(out, x, y);
  }
}

bool GatherDrawInputs(CGIS_ElementCore& core, IGIS_Display* pDisplay, const SGIS_DrawTexts& texts,
                      SGIS_DrawInputs& in) {
  const std::string method = core.Method("OnDraw");
  in.pReference = PageReference(core);
  if (in.pReference == nullptr) {
    GIS_LOG(3, method.c_str(), "p_spatialreference== NULL ");
    return false;
  }
  in.pFeature = core.Self()->GetFeaturePtr();
  if (in.pFeature == nullptr) {
    GIS_LOG(3, method.c_str(), "%s", texts.szNoFeature);
    return false;
  }
  if (GIS_GetSymbolizationObject() == nullptr) {
    GIS_LOG(3, method.c_str(), "p_symbolization == NULL");
    return false;
  }
  in.pSymbol = in.pFeature->GetSymbol();
  if (in.pSymbol == nullptr) {
    GIS_LOG(3, method.c_str(), "%s", texts.szNoSymbol);
    return false;
  }
  in.pGeometry = in.pFeature->GetGeometry();
  if (in.pGeometry == nullptr) {
    if (texts.szNoGeometry != nullptr) {
      GIS_LOG(3, (texts.szGeometryMethodPrefix + method).c_str(), "%s", texts.szNoGeometry);
    }
    return false;
  }
  in.pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (in.pView == nullptr) {
    GIS_LOG(3, method.c_str(), "pDisplay == NULL");
    return false;
  }
  return true;
}

BOOL DrawVertices(CGIS_ElementCore& core, HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                  const SGIS_DrawInputs& in, int nMinCount, const char* szTooFew) {
  const int n = in.pGeometry->GetPointCount();
  std::vector<SGIS_Point> points;
  std::vector<POINT> device;
  try {
    points.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    device.reserve(points.size());
  } catch (const std::bad_alloc&) {
    GIS_LOG(3, core.Method("OnDraw").c_str(), "数组太大，不能够分配充足的内存 ");
    return FALSE;
  }
  const int count = n > 0 ? std::clamp(in.pGeometry->GetPoints(n, points.data(), 0, 0), 0, n) : 0;
  if (count < nMinCount) {
    GIS_LOG(3, core.Method("OnDraw").c_str(), "%s", szTooFew);
    return FALSE;
  }
  PageToDeviceDistinct(in.pView, in.pReference, points.data(), count, device);
  DrawDevicePoints(hdc, bPrint, pDisplay, in.pSymbol, device.data(), static_cast<int>(device.size()));
  return TRUE;
}

BOOL DrawDevicePoints(HDC hdc, bool bPrint, IGIS_Display* pDisplay, IGIS_Symbol* pSymbol, POINT* pPoints,
                      int nCount, double dScale) {
  IGIS_SymbolRenderer* pRenderer = GIS_GetSymbolizationObject();
  if (pRenderer == nullptr) return FALSE;
  SGIS_DrawParam param;
  param.hdc = hdc;
  param.points = pPoints;
  param.pointCount = nCount;
  param.printFlag = bPrint ? 1 : 0;
  param.symbolScale = dScale > 0.0 ? dScale : GetDisplayRatio(pDisplay);
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView != nullptr && pView->IsClipping()) {
    param.viewValue = reinterpret_cast<std::intptr_t>(pView->GetClipContext());
  }
  // The element region narrows the clip while the view clips; the scope puts
  // the context's clip back and frees both regions however the call ends.
  CGIS_ElementClipScope clip(hdc, pDisplay);
  return pRenderer->Draw(pSymbol, &param, GIS_DRAW_CHECK);
}

BOOL RunShapeSheet(CGIS_ElementCore& core, GIS_ShapeSheetKind kind, IGIS_Display* pDisplay,
                   const char* szTitle, const std::function<void(IGIS_Element* pBackup)>& restore) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  IGIS_Element* pBackup = core.Self()->Clone();
  if (pBackup == nullptr) {
    GIS_LOG(3, core.Method("OnOpenPropertyDlg").c_str(), "p_element == NULL");
    return FALSE;
  }
  const GIS_ShapeSheetRunner runner = mapdeck::GetShapeSheetRunner(kind);
  const bool bConfirmed = runner != nullptr && runner(core.Self(), pDisplay, szTitle);
  if (!bConfirmed && restore) restore(pBackup);
  IGIS_FeatureSet* pOwner = pBackup->GetFeatureSetPtr();
  if (pOwner == nullptr || !pOwner->DeleteElement(pBackup)) pBackup->Release();
  return bConfirmed ? TRUE : FALSE;
}

namespace {

// The indexes a vertex operation writes: every vertex, or in a closed ring
// every one but a last that repeats the first. That last vertex is set to the
// new first afterwards (SyncClosingPoint), so the ring stays closed whatever
// the geometry does with its points.
int MovableCount(IGIS_Geometry* pGeometry, const SGIS_VertexRules& rules, int n) {
  if (rules.bClosedRing && n >= 2 && pGeometry->GetPoint(n - 1, 0) == pGeometry->GetPoint(0, 0)) return n - 1;
  return n;
}

void SyncClosingPoint(IGIS_Geometry* pGeometry, int n, int nMovable) {
  if (nMovable == n - 1 && n >= 2) pGeometry->SetPoint(n - 1, pGeometry->GetPoint(0, 0), 0);
}

}  // namespace

IGIS_Geometry* UsableVertices(IGIS_Feature* pFeature, int nMin) {
  IGIS_Geometry* pGeometry = pFeature->GetGeometry();
  if (pGeometry == nullptr || pGeometry->GetPointCount() < nMin) return nullptr;
  return pGeometry;
}

void RestoreVertices(CGIS_ElementCore& core, IGIS_Element* pBackup) {
  IGIS_Feature* pFeature = core.RequireFeature("OnOpenPropertyDlg");
  IGIS_Feature* pOld = pBackup->GetFeaturePtr();
  IGIS_Geometry* pTo = pFeature != nullptr ? pFeature->GetGeometry() : nullptr;
  IGIS_Geometry* pFrom = pOld != nullptr ? pOld->GetGeometry() : nullptr;
  if (pTo == nullptr || pFrom == nullptr) return;
  const int n = pFrom->GetPointCount();
  if (n < 0 || !pTo->SetPointCount(n)) return;
  for (int i = 0; i < n; ++i) pTo->SetPoint(i, pFrom->GetPoint(i, 0), 0);
  Commit(core, pFeature, kCommitGeometry);
}

void OffsetVertices(IGIS_Geometry* pGeometry, const SGIS_VertexRules& rules, int dx, int dy) {
  const int n = pGeometry->GetPointCount();
  const int movable = MovableCount(pGeometry, rules, n);
  for (int i = 0; i < movable; ++i) {
    SGIS_Point p = pGeometry->GetPoint(i, 0);
    p.x = AddClamped(p.x, dx);
    p.y = AddClamped(p.y, dy);
    pGeometry->SetPoint(i, p, 0);
  }
  SyncClosingPoint(pGeometry, n, movable);
}

void ScaleVertices(IGIS_Geometry* pGeometry, const SGIS_VertexRules& rules, SGIS_Rect bound,
                   SGIS_Point origin, double sx, double sy, bool bKeepRatio) {
  const double left =
      static_cast<double>(Nearest((static_cast<double>(bound.left) - origin.x) * sx)) + origin.x;
  const double bottom =
      static_cast<double>(Nearest((static_cast<double>(bound.bottom) - origin.y) * sy)) + origin.y;
  if (bKeepRatio) sx = sy = std::min(sx, sy);
  const int n = pGeometry->GetPointCount();
  const int movable = MovableCount(pGeometry, rules, n);
  for (int i = 0; i < movable; ++i) {
    SGIS_Point p = pGeometry->GetPoint(i, 0);
    p.x = Nearest((static_cast<double>(p.x) - bound.left) * sx + left);
    p.y = Nearest((static_cast<double>(p.y) - bound.bottom) * sy + bottom);
    pGeometry->SetPoint(i, p, 0);
  }
  SyncClosingPoint(pGeometry, n, movable);
}

}  // namespace mapdeck::shapes
