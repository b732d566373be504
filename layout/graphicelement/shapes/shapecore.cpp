// Binding, commits, symbols, drawing and the property-sheet protocol of the
// plain shapes.
#include "layout/graphicelement/shapes/shapecore.h"

#include <algorithm>
#include <array>

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
    case GIS_ShapeSheetKind::Surface: return 0;
    case GIS_ShapeSheetKind::Line: return 1;
    case GIS_ShapeSheetKind::Point: return 2;
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
    case 7: pPart = pSymbol->GetPointPart(); break;
    case 9: pPart = pSymbol->GetLinePart(); break;
    default: pPart = pSymbol->GetFillPart(); break;
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

void PageToDeviceDistinct(IGIS_DisplayView* pView, IGIS_SpatialReference* pReference, const SGIS_Point* pPoints,
                          int nCount, std::vector<POINT>& out) {
  out.clear();
  for (int i = 0; i < nCount; ++i) {
    int x = pPoints[i].x;
    int y = pPoints[i].y;
    pView->PageToDevice(&x, &y, pReference);
    AppendDistinct(out, x, y);
  }
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

BOOL RunShapeSheet(CGIS_ElementCore& core, GIS_ShapeSheetKind kind, IGIS_Display* pDisplay, const char* szTitle,
                   const std::function<void(IGIS_Element* pBackup)>& restore) {
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

}  // namespace mapdeck::shapes
