// Stored body symbols of the scale-bar branches.
#include "layout/graphicelement/scalebar/scalebarbody.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/scalebar/igis_scalebar.h"

using namespace md::layout::detail;

namespace {

void PutSymbol(IGIS_PropertySet* pSet, const char* szKey, const char* szDescription, IGIS_Symbol* pSymbol) {
  IGIS_Field* pField = pSet->GetProperty(szKey);
  if (pField == nullptr) pField = pSet->AddProperty(szKey, szDescription, GIS_FIELD_TYPE_BUFFER, 1);
  IGIS_DataBuffer* pBuffer = pField != nullptr ? pField->GetDataBuffer() : nullptr;
  if (pBuffer == nullptr) return;
  pBuffer->SetSize(0);
  if (pSymbol != nullptr) pSymbol->Save(pBuffer);
}

// The stored set of the feature's "Custom" buffer, in a new set owned by the
// caller; NULL (with a record under szMethod) without a feature, its
// attributes, or a readable buffer.
IGIS_PropertySet* ReadCustom(IGIS_Feature* pFeature, IGIS_FeatureAttributes** ppAttributes,
                             const char* szMethod) {
  *ppAttributes = nullptr;
  if (pFeature == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "m_pFeature == NULL");
    return nullptr;
  }
  IGIS_FeatureAttributes* pAttributes = pFeature->GetAttributes();
  if (pAttributes == nullptr) return nullptr;
  IGIS_PropertySet* pSet = GIS_CreatePropertySetObject();
  if (pSet == nullptr) return nullptr;
  IGIS_DataBuffer* pStored = pAttributes->GetDataBuffer("Custom");
  if (pStored != nullptr && !pSet->Archive(pStored, GIS_ARCHIVE_READ, 0)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_propertyset->Archive == FALSE");
    pSet->Release();
    return nullptr;
  }
  *ppAttributes = pAttributes;
  return pSet;
}

}  // namespace

namespace md::layout::detail {

BOOL StoreCustomSet(IGIS_PropertySet* pSet, IGIS_FeatureAttributes* pAttributes) {
  IGIS_DataBuffer* pBuffer = GIS_CreateDataBufferObject(0);
  if (pBuffer == nullptr) return FALSE;
  const BOOL bStored =
      pSet->Archive(pBuffer, GIS_ARCHIVE_WRITE, 0) && pAttributes->SetDataBuffer("Custom", pBuffer, 0);
  pBuffer->Release();
  return bStored;
}

void AddBodySymbolKeys(IGIS_Feature* pFeature, const BodySymbolKey* pKeys, int nCount) {
  IGIS_FeatureAttributes* pAttributes = nullptr;
  IGIS_PropertySet* pSet = ReadCustom(pFeature, &pAttributes, "IGIS_ScaleBar::IGIS_ScaleBar");
  if (pSet == nullptr) return;
  for (int i = 0; i < nCount; ++i) PutSymbol(pSet, pKeys[i].szKey, pKeys[i].szDescription, pKeys[i].pSymbol);
  StoreCustomSet(pSet, pAttributes);
  pSet->Release();
}

BOOL ArchiveBodySymbols(IGIS_ScaleBar& bar, int nRead, const char* szMethod, const BodySymbolKey* pKeys,
                        int nCount, SymbolView view, const std::function<void(int, IGIS_Symbol*)>& take) {
  IGIS_Feature* pFeature = bar.GetFeaturePtr();
  IGIS_FeatureAttributes* pAttributes = nullptr;
  const md::basilo::ReleasePtr<IGIS_PropertySet> set(ReadCustom(pFeature, &pAttributes, szMethod));
  if (!set) return FALSE;
  if (nRead == 0) {
    for (int i = 0; i < nCount; ++i) PutSymbol(set.get(), pKeys[i].szKey, pKeys[i].szKey, pKeys[i].pSymbol);
    IGIS_FeatureClass* pClass =
        bar.GetFeatureSetPtr() != nullptr ? bar.GetFeatureSetPtr()->GetFeatureClass() : nullptr;
    if (!StoreCustomSet(set.get(), pAttributes) || pClass == nullptr ||
        !pClass->UpdateFeature(pFeature, GIS_UPDATE_ALL)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "b_ret == NULL");
      return FALSE;
    }
    return TRUE;
  }
  for (int i = 0; i < nCount; ++i) {
    IGIS_Field* pField = set->GetProperty(pKeys[i].szKey);
    IGIS_Symbol* pRead = pField != nullptr ? GetSymbolFromField(pField) : nullptr;
    if (pRead == nullptr) continue;  // a missing key keeps the held symbol
    if (IGIS_Symbol* pView = (pRead->*view)()) take(i, pView);
    pRead->Release();
  }
  bar.Refresh();
  return TRUE;
}

}  // namespace md::layout::detail
