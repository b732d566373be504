// Storage helpers shared by the furniture elements (map index, north arrow,
// slope rule): the "Custom" property set of a feature, keyed fields, symbols
// kept in fields, and feature commits.
#pragma once

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/basilo/sgis_types.h"
#include "layout/graphicelement/element/customset.h"

#include <cstdint>
#include <string>

class IGIS_FeatureAttributes;
class IGIS_FeatureSet;
class IGIS_Feature;
class IGIS_FrameProperty;
class IGIS_SpatialReference;
class IGIS_Symbol;

namespace md::layout::furniture {

using PropertySetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;
using SymbolPtr = md::basilo::ReleasePtr<IGIS_Symbol>;

// A new property set holding what the feature's "Custom" buffer stores (an
// empty set when there is none or it cannot be read); NULL only when no set
// can be made.
PropertySetPtr ReadCustom(IGIS_FeatureAttributes* pAttributes);
// Serialises the set into the feature's "Custom" buffer.
bool WriteCustom(IGIS_FeatureAttributes* pAttributes, IGIS_PropertySet* pSet);

// The field of the key, added with the description and type when missing.
IGIS_Field* EnsureField(IGIS_PropertySet* pSet, const char* szKey, const char* szDescription, int nType);
// Writes the symbol into the key's buffer (nothing for a NULL symbol).
void WriteSymbolField(IGIS_PropertySet* pSet, const char* szKey, const char* szDescription,
                      IGIS_Symbol* pSymbol);
// A new symbol rebuilt from the key's field (NULL, with the reader's record,
// when the field or its symbol is missing).
SymbolPtr ReadSymbolField(IGIS_PropertySet* pSet, const char* szKey);

// Writes the symbol into the key's bytes (nothing for a NULL symbol).
void WriteSymbol(md::layout::CustomSetWriter& set, const char* szKey, const char* szDescription,
                 IGIS_Symbol* pSymbol);
// A new symbol rebuilt from the key's stored bytes (NULL, with the reader's
// record, when the key or its symbol is missing).
SymbolPtr ReadSymbol(const md::layout::StoredSetView& set, const char* szKey);
// The key of a furniture element's "Custom" set: added with the same
// description whether made new or missing when written.
inline md::layout::SGIS_CustomKey Key(const char* szKey, const char* szDescription, int nType) {
  return md::layout::SGIS_CustomKey{szKey, nType, szDescription, szDescription};
}

// A present field of the key, or NULL.
inline IGIS_Field* Field(IGIS_PropertySet* pSet, const char* szKey) {
  return pSet != nullptr ? pSet->GetProperty(szKey) : nullptr;
}

// A copy of the symbol seen as the kind's part (NULL for NULL or another kind).
IGIS_Symbol* CopyPart(IGIS_Symbol* pSymbol, int nKind);
// A new symbol of the type from the symbol factory, or NULL.
IGIS_Symbol* NewSymbol(int nType);

// What a symbol setter does with NULL.
enum class NullSymbol { Drop, Keep };
// The symbol setter of the furniture elements: NULL writes a level-4
// "pSymbol == NULL" record under szMethod and drops or keeps the held
// symbol; the held object itself changes nothing; a symbol of another kind
// is refused (record) and the held one stays; otherwise the held symbol
// becomes a copy of the argument's part of the kind.
void ReplaceSymbol(SymbolPtr& held, IGIS_Symbol* pSymbol, int nKind, const std::string& method,
                   NullSymbol onNull);
void ReplaceSymbol(SymbolPtr& held, IGIS_Symbol* pSymbol, int nKind, const char* szMethod, NullSymbol onNull);
// ReplaceSymbol with a symbol the caller made and gives away (one just read):
// a symbol that is wholly the kind's part is held as it is instead of a copy.
void AdoptSymbol(SymbolPtr& held, SymbolPtr made, int nKind, const char* szMethod, NullSymbol onNull);
// Frame property setters: the held object changes nothing (FALSE); another
// is kept as a copy, NULL removes it (TRUE).
bool ReplaceFrame(md::basilo::ReleasePtr<IGIS_FrameProperty>& held, IGIS_FrameProperty* pFrame);

// Commits the feature through the owner's feature class with the flags.
void CommitFeature(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature, int nFlags);
// The page's spatial reference: that of the owner's feature class, or NULL.
IGIS_SpatialReference* PageReference(IGIS_FeatureSet* pOwner);

// The feature's bounding rectangle; all zero without a feature.
SGIS_Rect FeatureRect(IGIS_Feature* pFeature);
// Writes the normalised rectangle into the feature's geometry and, for
// non-zero flags, commits the feature; FALSE without a geometry.
bool StoreFeatureRect(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature, SGIS_Rect rect, int nFlags);
// The rectangle moved by (dx, dy), clamped to 32 bits.
SGIS_Rect MovedRect(const SGIS_Rect& rect, std::int64_t dx, std::int64_t dy);
// A 64-bit page value clamped to 32 bits.
inline std::int32_t Clamp(std::int64_t v) { return md::basilo::detail::ClampToInt32(v); }

// Rounding half away from zero of a computed page value (NaN gives 0,
// values beyond 32 bits are clamped).
inline int Round(double v) { return md::basilo::detail::RoundToInt32(v); }

}  // namespace md::layout::furniture
