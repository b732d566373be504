// The "Custom" property set, keyed fields and symbols of furniture elements.
#include "layout/graphicelement/furniture/furniturestore.h"

#include "host/basilo/igis_log.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/element/mapdeckdraw.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"

namespace md::layout::furniture {

PropertySetPtr ReadCustom(IGIS_FeatureAttributes* pAttributes) {
  PropertySetPtr set(GIS_CreatePropertySetObject());
  if (!set || pAttributes == nullptr) return set;
  if (IGIS_DataBuffer* pBuffer = pAttributes->GetDataBuffer("Custom")) {
    // A damaged buffer leaves the set empty: every key then keeps its value.
    set->Archive(pBuffer, GIS_ARCHIVE_READ, 0);
  }
  return set;
}

bool WriteCustom(IGIS_FeatureAttributes* pAttributes, IGIS_PropertySet* pSet) {
  if (pAttributes == nullptr || pSet == nullptr) return false;
  md::basilo::ReleasePtr<IGIS_DataBuffer> buffer(GIS_CreateDataBufferObject(0));
  if (!buffer || !pSet->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0)) return false;
  return pAttributes->SetDataBuffer("Custom", buffer.get(), 0) != FALSE;
}

IGIS_Field* EnsureField(IGIS_PropertySet* pSet, const char* szKey, const char* szDescription, int nType) {
  if (pSet == nullptr) return nullptr;
  if (IGIS_Field* pField = pSet->GetProperty(szKey)) return pField;
  return pSet->AddProperty(szKey, szDescription, nType, 1);
}

void WriteSymbolField(IGIS_PropertySet* pSet, const char* szKey, const char* szDescription,
                      IGIS_Symbol* pSymbol) {
  if (pSymbol == nullptr) return;
  IGIS_Field* pField = EnsureField(pSet, szKey, szDescription, GIS_FIELD_TYPE_BUFFER);
  if (pField != nullptr && pField->GetDataBuffer() != nullptr) pSymbol->Save(pField->GetDataBuffer());
}

SymbolPtr ReadSymbolField(IGIS_PropertySet* pSet, const char* szKey) {
  return SymbolPtr(GetSymbolFromField(Field(pSet, szKey)));
}

void WriteSymbol(md::layout::CustomSetWriter& set, const char* szKey, const char* szDescription,
                 IGIS_Symbol* pSymbol) {
  if (pSymbol == nullptr) return;
  set.Saved(Key(szKey, szDescription, GIS_FIELD_TYPE_BUFFER),
            [pSymbol](IGIS_DataBuffer* b) { pSymbol->Save(b); });
}

SymbolPtr ReadSymbol(const md::layout::StoredSetView& set, const char* szKey) {
  return SymbolPtr(GetSymbolFromStored(set, szKey));
}

IGIS_Symbol* CopyPart(IGIS_Symbol* pSymbol, int nKind) {
  if (pSymbol == nullptr) return nullptr;
  IGIS_Symbol* pPart = nullptr;
  switch (nKind) {
    case GIS_SYMBOL_LINE:
      pPart = pSymbol->GetLinePart();
      break;
    case GIS_SYMBOL_FILL:
      pPart = pSymbol->GetFillPart();
      break;
    case GIS_SYMBOL_TEXT:
      pPart = pSymbol->GetTextPart();
      break;
    default:
      pPart = pSymbol->GetPointPart();
      break;
  }
  return pPart != nullptr ? pPart->Clone() : nullptr;
}

IGIS_Symbol* NewSymbol(int nType) {
  IGIS_SymbolFactory* pFactory = GIS_GetSymbolFactoryObject();
  return pFactory != nullptr ? pFactory->CreateSymbol(nType) : nullptr;
}

void ReplaceSymbol(SymbolPtr& held, IGIS_Symbol* pSymbol, int nKind, const std::string& method,
                   NullSymbol onNull) {
  ReplaceSymbol(held, pSymbol, nKind, method.c_str(), onNull);
}

void ReplaceSymbol(SymbolPtr& held, IGIS_Symbol* pSymbol, int nKind, const char* szMethod,
                   NullSymbol onNull) {
  if (pSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, szMethod, "pSymbol == NULL");
    if (onNull == NullSymbol::Drop) held.reset();
    return;
  }
  if (pSymbol == held.get()) return;
  IGIS_Symbol* pCopy = CopyPart(pSymbol, nKind);
  if (pCopy == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, szMethod, "symbol type %d refused", pSymbol->GetType());
    return;
  }
  held.reset(pCopy);
}

void AdoptSymbol(SymbolPtr& held, SymbolPtr made, int nKind, const char* szMethod, NullSymbol onNull) {
  IGIS_Symbol* pPart = nullptr;
  if (made) {
    switch (nKind) {
      case GIS_SYMBOL_LINE:
        pPart = made->GetLinePart();
        break;
      case GIS_SYMBOL_FILL:
        pPart = made->GetFillPart();
        break;
      case GIS_SYMBOL_TEXT:
        pPart = made->GetTextPart();
        break;
      default:
        pPart = made->GetPointPart();
        break;
    }
  }
  if (pPart != nullptr && pPart == made.get() && made.get() != held.get()) {
    held = std::move(made);
    return;
  }
  ReplaceSymbol(held, made.get(), nKind, szMethod, onNull);
}

bool ReplaceFrame(md::basilo::ReleasePtr<IGIS_FrameProperty>& held, IGIS_FrameProperty* pFrame) {
  if (pFrame != nullptr && pFrame == held.get()) return false;
  held.reset(pFrame != nullptr ? pFrame->Clone() : nullptr);
  return true;
}

void CommitFeature(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature, int nFlags) {
  IGIS_FeatureClass* pClass = pOwner != nullptr ? pOwner->GetFeatureClass() : nullptr;
  if (pClass != nullptr && pFeature != nullptr) pClass->UpdateFeature(pFeature, nFlags);
}

IGIS_SpatialReference* PageReference(IGIS_FeatureSet* pOwner) { return PageReferenceOf(pOwner); }

SGIS_Rect FeatureRect(IGIS_Feature* pFeature) {
  SGIS_Rect r;
  if (pFeature != nullptr) pFeature->GetBound(&r, 1, 0);
  return r;
}

bool StoreFeatureRect(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature, SGIS_Rect rect, int nFlags) {
  IGIS_Geometry* pGeometry = pFeature != nullptr ? pFeature->GetGeometry() : nullptr;
  if (pGeometry == nullptr) return false;
  rect.Normalize();
  if (!pGeometry->SetRect(rect, 0)) return false;
  if (nFlags != 0) CommitFeature(pOwner, pFeature, nFlags);
  return true;
}

SGIS_Rect MovedRect(const SGIS_Rect& rect, std::int64_t dx, std::int64_t dy) {
  SGIS_Rect r = rect;
  r.left = Clamp(rect.left + dx);
  r.right = Clamp(rect.right + dx);
  r.top = Clamp(rect.top + dy);
  r.bottom = Clamp(rect.bottom + dy);
  return r;
}

}  // namespace md::layout::furniture
