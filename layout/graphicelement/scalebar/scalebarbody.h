// The stored body symbols of the scale-bar branches: added to a new bar's
// stored set, written and read back under their keys.
#pragma once

#include "platform/win/wintypes.h"

class IGIS_Feature;
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

}  // namespace md::layout::detail
