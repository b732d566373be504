// Stored keys and held symbols of the map borders.
#include "layout/graphicelement/grid/border/mapborderstore.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/element/mapdecksymbol.h"

namespace md::layout::border {

md::basilo::ReleasePtr<IGIS_PropertySet> ReadBorderSet(IGIS_DataBuffer* pBuffer, const char* szMethod) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "pDataBuffer为空");
    return nullptr;
  }
  md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  if (!set || !set->Archive(pBuffer, GIS_ARCHIVE_READ, 0)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "b_ret == NULL");
    return nullptr;
  }
  return set;
}

bool BorderSetBytes(IGIS_DataBuffer* pBuffer, const char* szMethod, std::span<const BYTE>* pBytes) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "pDataBuffer为空");
    return false;
  }
  const int size = pBuffer->GetSize();
  const BYTE* data = size > 0 ? pBuffer->GetData() : nullptr;
  if (size < 0 || (size > 0 && data == nullptr)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "pDataBuffer->GetData() == NULL");
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "b_ret == NULL");
    return false;
  }
  *pBytes = std::span<const BYTE>(data, static_cast<std::size_t>(size));
  return true;
}

bool BorderSetSound(const md::layout::StoredSetView& set, const char* szMethod) {
  if (!set.Damaged()) return true;
  GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "b_ret == NULL");
  return false;
}

IGIS_Field* BorderKey(IGIS_PropertySet* pSet, const char* szKey, int nType) {
  if (pSet == nullptr) return nullptr;
  if (IGIS_Field* f = pSet->GetProperty(szKey)) return f;
  return pSet->AddProperty(szKey, szKey, nType, 1);
}

bool WriteSymbolKeys(IGIS_PropertySet* pSet, const char* szFlagKey, const char* szSymbolKey,
                     IGIS_Symbol* pSymbol, bool bSymbolKeyFirst, const char* szFailMethod) {
  IGIS_Field* pSymbolField = nullptr;
  IGIS_Field* pFlag = nullptr;
  if (bSymbolKeyFirst) {
    pSymbolField = BorderKey(pSet, szSymbolKey, GIS_FIELD_TYPE_BUFFER);
    pFlag = BorderKey(pSet, szFlagKey, GIS_FIELD_TYPE_BOOL);
  } else {
    pFlag = BorderKey(pSet, szFlagKey, GIS_FIELD_TYPE_BOOL);
    pSymbolField = BorderKey(pSet, szSymbolKey, GIS_FIELD_TYPE_BUFFER);
  }
  IGIS_DataBuffer* pBuffer = pSymbolField != nullptr ? pSymbolField->GetDataBuffer() : nullptr;
  bool bSaved = false;
  if (pBuffer != nullptr) {
    pBuffer->SetSize(0);  // no stale bytes from an earlier symbol
    if (pSymbol != nullptr) {
      bSaved = pSymbol->Save(pBuffer) != FALSE;
      if (!bSaved && szFailMethod != nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, szFailMethod, "b_ret == NULL");
    }
  }
  if (pFlag != nullptr) pFlag->SetBool(bSaved);
  return bSaved && pFlag != nullptr;
}

bool WriteSymbolKeys(md::layout::StoredSetWriter& set, const char* szFlagKey, const char* szSymbolKey,
                     IGIS_Symbol* pSymbol, bool bSymbolKeyFirst, const char* szFailMethod) {
  bool bSaved = false;
  auto save = [&](IGIS_DataBuffer* pBuffer) {
    if (pSymbol == nullptr) return;
    bSaved = pSymbol->Save(pBuffer) != FALSE;
    if (!bSaved && szFailMethod != nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, szFailMethod, "b_ret == NULL");
  };
  if (bSymbolKeyFirst) {
    set.SavedInPlace(szSymbolKey, szSymbolKey, save);
    set.Bool(szFlagKey, szFlagKey, bSaved);
    return bSaved;
  }
  // The flag goes first and holds the outcome: the symbol is saved aside.
  md::basilo::ReleasePtr<IGIS_DataBuffer> bytes(GIS_CreateDataBufferObject(0));
  if (bytes != nullptr) save(bytes.get());
  set.Bool(szFlagKey, szFlagKey, bSaved);
  set.Bytes(szSymbolKey, szSymbolKey, md::layout::BufferBytes(bytes.get()));
  return bSaved;
}

IGIS_Symbol* ReadSymbolKeys(const md::layout::StoredSetView& set, const char* szFlagKey,
                            const char* szSymbolKey) {
  bool bStored = false;
  if (!set.Read(szFlagKey, &bStored) || !bStored) return nullptr;
  return GetSymbolFromStored(set, szSymbolKey);
}

IGIS_Symbol* ReadSymbolKeys(IGIS_PropertySet* pSet, const char* szFlagKey, const char* szSymbolKey) {
  IGIS_Field* pFlag = pSet != nullptr ? pSet->GetProperty(szFlagKey) : nullptr;
  if (pFlag == nullptr || !pFlag->GetBool()) return nullptr;
  return GetSymbolFromField(pSet->GetProperty(szSymbolKey));
}

}  // namespace md::layout::border
