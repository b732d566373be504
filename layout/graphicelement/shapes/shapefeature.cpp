// Binding, symbols and commits of a plain shape's feature.
#include "layout/graphicelement/shapes/shapefeature.h"

#include <algorithm>
#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/element/mapdeckclip.h"

namespace md::layout::shapes {

IGIS_Symbol* MakeDefaultSymbol(int nType, int nStyleCode) {
  IGIS_SymbolFactory* pFactory = GIS_GetSymbolFactoryObject();
  IGIS_Symbol* pSymbol = pFactory != nullptr ? pFactory->CreateSymbol(nType) : nullptr;
  if (pSymbol == nullptr) return nullptr;
  IGIS_SymbolPart* pPart = nullptr;
  switch (nType) {
    case GIS_SYMBOL_POINT5:
    case GIS_SYMBOL_POINT:
    case GIS_SYMBOL_POINT7:
      pPart = pSymbol->GetPointPart();
      break;
    case GIS_SYMBOL_LINE:
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
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "b_ret == NULL");
    return;
  }
  if (!Commit(core, pFeature, nFlags)) GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "b_ret == NULL");
}

void SetFeatureSymbol(CGIS_ElementCore& core, IGIS_Symbol* pSymbol, int nFlags) {
  IGIS_Feature* pFeature = core.RequireFeature("SetSymbolPtr");
  if (pFeature == nullptr) return;
  if (pSymbol == nullptr)
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, core.Method("SetSymbolPtr").c_str(), "pSymbol == NULL");
  CommitSymbolCopy(core, pFeature, pSymbol, nFlags);
}

IGIS_SpatialReference* PageReference(CGIS_ElementCore& core) {
  if (core.m_pFeatureSet == nullptr) return nullptr;
  IGIS_FeatureClass* pClass = core.m_pFeatureSet->GetFeatureClass();
  return pClass != nullptr ? pClass->GetSpatialReference() : nullptr;
}

CGIS_ElementCore::Binding BindShape(CGIS_ElementCore& core, IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature,
                                    const SGIS_ShapeBinding& binding) {
  SGIS_ElementBindOptions options;
  options.szType = binding.szType;
  options.nKind = binding.nKind;
  options.nCanConvert = 0;
  options.bRewriteType = true;
  options.bRewriteCanConvert = true;
  options.szNoFeature = binding.bLogCreateFailure ? "建立Feature失败 pFeature == NULL" : nullptr;
  const CGIS_ElementCore::Binding result = core.Bind(pOwner, pFeature, options);
  IGIS_Feature* pBound = result != CGIS_ElementCore::Binding::Unbound ? core.m_pFeature : nullptr;
  if (pBound != nullptr && (result == CGIS_ElementCore::Binding::Created || pBound->GetSymbol() == nullptr)) {
    GiveDefaultSymbol(pBound, binding.nSymbolType, binding.nSymbolCode);
  }
  return result;
}

}  // namespace md::layout::shapes
