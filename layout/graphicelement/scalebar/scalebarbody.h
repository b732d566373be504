// The stored body symbols of the scale-bar branches: added to a new bar's
// stored set, written and read back under their keys.
#pragma once

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/scalebar/scalebarsymbols.h"
#include "platform/win/wintypes.h"

class IGIS_Feature;
class IGIS_FeatureAttributes;
class IGIS_PropertySet;
class IGIS_Symbol;

namespace md::layout {
class CustomSetWriter;
class StoredSetView;
}  // namespace md::layout

namespace md::layout::detail {

struct BodySymbolKey {
  const char* szKey;
  const char* szDescription;  // written when a new bar adds the key
  IGIS_Symbol* pSymbol;
  // Where a read keeps the symbol it makes (NULL: the key is not read).
  md::basilo::ReleasePtr<IGIS_Symbol>* pHeld = nullptr;
};

// Adds the keys with their descriptions and symbols to the feature's stored
// "Custom" set (a new bar's).
void AddBodySymbolKeys(IGIS_Feature* pFeature, const BodySymbolKey* pKeys, int nCount);

// Stores the set as the attributes' "Custom" buffer; FALSE when it cannot.
BOOL StoreCustomSet(IGIS_PropertySet* pSet, IGIS_FeatureAttributes* pAttributes);

// The branch's body symbols, stored with the bar's own keys in one pass
// over its "Custom" set: szMethod names the branch in its records; a read
// keeps each stored symbol it makes, seen through the view, in its key's
// pHeld, as the branch's setter keeps a copy.
struct BodySymbols {
  const char* szMethod;
  const BodySymbolKey* pKeys;
  int nCount;
  SymbolView view;
};

// Writes the body symbols under their keys (a missing key added with the key
// as description).
void PutBodySymbols(md::layout::CustomSetWriter& set, const BodySymbols& body);
// Keeps each stored body symbol in its key's pHeld; a missing key, or a
// symbol without the view, keeps the held one.
void ReadBodySymbols(const md::layout::StoredSetView& set, const BodySymbols& body);

}  // namespace md::layout::detail
