// Plain elements made in a scale bar's owner while it converts itself.
#pragma once

#include "host/basilo/makeornull.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"

namespace md::layout::detail {

// Elements made for a conversion that is not kept end as every conversion's do.
using ::DropCompound;
using ::DropElement;

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

// A new bar of the same type in the bar's owner with the bar's settings
// copied by its branch; NULL when the owner makes none.
template <class T>
T* CloneBar(T* pBar) {
  T* pCopy = NewOwnedElement<T>(pBar->GetFeatureSetPtr(), pBar->GetType());
  if (pCopy != nullptr) pCopy->CopyFrom(pBar);
  return pCopy;
}

// A new bar of the class on a new feature of the bar's owner (for kinds the
// owner's factory does not make), with the bar's settings copied; NULL
// without an owner (or memory: a record under szMethod).
template <class T>
T* CloneAsNew(T* pBar, const char* szMethod) {
  IGIS_FeatureSet* pOwner = pBar->GetFeatureSetPtr();
  T* pCopy = pOwner != nullptr ? md::basilo::MakeOrNull<T>(szMethod, pOwner, nullptr) : nullptr;
  if (pCopy != nullptr) pCopy->CopyFrom(pBar);
  return pCopy;
}

}  // namespace md::layout::detail
