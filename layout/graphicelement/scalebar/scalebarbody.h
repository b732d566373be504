// The stored body symbols of the scale-bar branches: added to a new bar's
// stored set, written and read back under their keys.
#pragma once

#include <functional>

#include "layout/graphicelement/scalebar/scalebarsymbols.h"
#include "platform/win/wintypes.h"

class IGIS_Feature;
class IGIS_ScaleBar;
class IGIS_FeatureAttributes;
class IGIS_PropertySet;
class IGIS_Symbol;

namespace md::layout::detail {

struct BodySymbolKey {
  const char* szKey;
  const char* szDescription;  // written when a new bar adds the key
  IGIS_Symbol* pSymbol;
};

// Adds the keys with their descriptions and symbols to the feature's stored
// "Custom" set (a new bar's).
void AddBodySymbolKeys(IGIS_Feature* pFeature, const BodySymbolKey* pKeys, int nCount);

// Stores the set as the attributes' "Custom" buffer; FALSE when it cannot.
BOOL StoreCustomSet(IGIS_PropertySet* pSet, IGIS_FeatureAttributes* pAttributes);

// The branches' part of Archive. Writing: the body symbols under their keys
// (a missing key added with the key as description), then the feature
// committed; FALSE (record "b_ret == NULL" under szMethod) when either fails.
// Reading: each stored symbol seen through the view goes to take(index of
// its key, symbol); a missing key keeps the held one; then the bar lays
// itself out (Refresh). FALSE (record under szMethod) without a feature or
// with a damaged stored set.
BOOL ArchiveBodySymbols(IGIS_ScaleBar& bar, int nRead, const char* szMethod, const BodySymbolKey* pKeys,
                        int nCount, SymbolView view, const std::function<void(int, IGIS_Symbol*)>& take);

}  // namespace md::layout::detail
