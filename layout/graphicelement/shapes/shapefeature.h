// A plain shape's feature: binding with its bookkeeping fields and default
// symbol, symbol copies handed to it, commits, and new sibling elements.
#pragma once

#include <string>

#include "host/basilo/sgis_types.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/element/cgis_elementcore.h"
#include "platform/win/wintypes.h"

class IGIS_Feature;
class IGIS_Symbol;
class IGIS_SpatialReference;

namespace md::layout::shapes {

// A new default symbol of the type whose part gets the style code; NULL when
// the symbol library has none.
IGIS_Symbol* MakeDefaultSymbol(int nType, int nStyleCode);

// Hands the feature a new default symbol; the symbol is released again when
// the feature refuses it.
void GiveDefaultSymbol(IGIS_Feature* pFeature, int nType, int nStyleCode);

// Hands the feature a copy of the symbol (NULL clears it). FALSE when the
// feature refused it; the copy is released then.
BOOL GiveSymbolCopy(IGIS_Feature* pFeature, IGIS_Symbol* pSymbol);

// Commits the changed feature through the owner's feature class.
BOOL Commit(CGIS_ElementCore& core, IGIS_Feature* pFeature, int nFlags);

// The feature's symbol for GetSymbolPtr (its fill view when bFillView); NULL
// without a feature (recorded) or a symbol.
IGIS_Symbol* FeatureSymbol(CGIS_ElementCore& core, bool bFillView);

// Hands the feature a copy of the symbol and commits it with the flags; a
// refused copy or commit is recorded as "b_ret == NULL" under SetSymbolPtr.
void CommitSymbolCopy(CGIS_ElementCore& core, IGIS_Feature* pFeature, IGIS_Symbol* pSymbol, int nFlags);

// SetSymbolPtr of a shape that takes any symbol: a NULL one is recorded
// (level 4) and clears the feature's; then CommitSymbolCopy.
void SetFeatureSymbol(CGIS_ElementCore& core, IGIS_Symbol* pSymbol, int nFlags);

// The spatial reference of the owner's feature class, or NULL.
IGIS_SpatialReference* PageReference(CGIS_ElementCore& core);

// A new element of the type in the element's owner, seen through its own
// interface; NULL (and nothing left behind) when it cannot be made.
template <class TElement>
TElement* NewSibling(CGIS_ElementCore& core, const char* szType) {
  IGIS_FeatureSet* pOwner = core.m_pFeatureSet;
  if (pOwner == nullptr) return nullptr;
  IGIS_Element* pElement = pOwner->CreateElement(szType);
  if (pElement == nullptr) return nullptr;
  auto* pTyped = dynamic_cast<TElement*>(pElement);
  if (pTyped == nullptr && !pOwner->DeleteElement(pElement)) pElement->Release();
  return pTyped;
}

// How a plain shape binds to its feature.
struct SGIS_ShapeBinding {
  const char* szType = "";
  int nKind = GIS_FEATURE_KIND_RECTANGLE;
  int nSymbolType = GIS_SYMBOL_FILL;  // default symbol: type and style code
  int nSymbolCode = 3361;
  bool bLogCreateFailure = true;  // record when no feature can be made
};

// The binding every plain shape follows (the element core's Bind, then the
// default symbol). No owner: unbound. No feature: a new
// one of the kind with "InterfacePtr", "TYPE", "IsLock", "KeepHVScaleRatio"
// and "CanConvert" (false) and the default symbol. A feature: bound, with
// "InterfacePtr", "TYPE" and "CanConvert" rewritten and the default symbol
// given when it has none; its stored flags are left for Archive.
CGIS_ElementCore::Binding BindShape(CGIS_ElementCore& core, IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature,
                                    const SGIS_ShapeBinding& binding);

}  // namespace md::layout::shapes
