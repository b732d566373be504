// Plain elements made in a scale bar's owner while it converts itself.
#pragma once

#include "host/featra/igis_feature.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"

namespace md::layout::detail {

// Ends an element made for a conversion that is not kept (its feature too).
void DropElement(IGIS_Element* pElement);

// Ends a compound and every member it holds.
void DropCompound(IGIS_CompoundElement* pCompound);

// Adds the element to the compound; one the compound refuses is dropped.
bool AddOrDrop(IGIS_CompoundElement* pCompound, IGIS_Element* pElement);

// A new element of the type in the owner, seen through its interface; NULL
// (and nothing left behind) when it cannot be made.
template <class T>
T* NewOwnedElement(IGIS_FeatureSet* pOwner, const char* szType) {
  IGIS_Element* pElement = pOwner != nullptr ? pOwner->CreateElement(szType) : nullptr;
  auto* pTyped = dynamic_cast<T*>(pElement);
  if (pTyped == nullptr) DropElement(pElement);
  return pTyped;
}

}  // namespace md::layout::detail
