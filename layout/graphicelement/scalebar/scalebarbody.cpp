// Stored body symbols of the scale-bar branches.
#include "layout/graphicelement/scalebar/scalebarbody.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/element/mapdecksymbol.h"

using namespace md::layout::detail;

namespace {

constexpr const char* kDamaged = "p_propertyset->Archive == FALSE";

// The symbol's stored form under the key (no bytes without a symbol).
void PutSymbol(md::layout::CustomSetWriter& set, const char* szKey, const char* szDescription,
               IGIS_Symbol* pSymbol) {
  set.Saved(md::layout::SGIS_CustomKey{szKey, GIS_FIELD_TYPE_BUFFER, szDescription, szDescription},
            [pSymbol](IGIS_DataBuffer* pBuffer) {
              if (pSymbol != nullptr) pSymbol->Save(pBuffer);
            });
}

// The feature's attributes; NULL (recorded under szMethod without a feature).
IGIS_FeatureAttributes* AttributesOf(IGIS_Feature* pFeature, const char* szMethod) {
  if (pFeature == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "m_pFeature == NULL");
    return nullptr;
  }
  return pFeature->GetAttributes();
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
  const char* szMethod = "IGIS_ScaleBar::IGIS_ScaleBar";
  IGIS_FeatureAttributes* pAttributes = AttributesOf(pFeature, szMethod);
  if (pAttributes == nullptr) return;
  md::layout::CustomSetWriter set(pAttributes, szMethod);
  set.RefuseDamaged();
  for (int i = 0; i < nCount; ++i) PutSymbol(set, pKeys[i].szKey, pKeys[i].szDescription, pKeys[i].pSymbol);
  set.Finish();
  if (set.Damaged()) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s", kDamaged);
}

void PutBodySymbols(md::layout::CustomSetWriter& set, const BodySymbols& body) {
  for (int i = 0; i < body.nCount; ++i)
    PutSymbol(set, body.pKeys[i].szKey, body.pKeys[i].szKey, body.pKeys[i].pSymbol);
}

void ReadBodySymbols(const md::layout::StoredSetView& set, const BodySymbols& body) {
  for (int i = 0; i < body.nCount; ++i) {
    const BodySymbolKey& key = body.pKeys[i];
    const md::basilo::StoredFieldView* pField = key.pHeld != nullptr ? set.Find(key.szKey) : nullptr;
    if (pField == nullptr) continue;  // a missing key keeps the held symbol
    // The symbol just made is nobody else's: it is kept instead of a copy.
    AdoptSymbol(key.pHeld, GetSymbolFromStored(pField, key.szKey), body.view);
  }
}

}  // namespace md::layout::detail
