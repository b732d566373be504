// Plain elements of scale-bar conversions.
#include "layout/graphicelement/scalebar/scalebarelements.h"

namespace md::layout::detail {

void DropElement(IGIS_Element* pElement) {
  if (pElement == nullptr) return;
  IGIS_FeatureSet* pOwner = pElement->GetFeatureSetPtr();
  if (pOwner == nullptr || !pOwner->DeleteElement(pElement)) pElement->Release();
}

void DropCompound(IGIS_CompoundElement* pCompound) {
  if (pCompound == nullptr) return;
  while (pCompound->GetElementCount() > 0) {
    IGIS_Element* pMember = pCompound->GetElementPtrByIndex(0);
    if (pMember == nullptr || !pCompound->RemoveElement(pMember)) break;
    if (auto* pNested = dynamic_cast<IGIS_CompoundElement*>(pMember)) {
      DropCompound(pNested);
    } else {
      DropElement(pMember);
    }
  }
  DropElement(pCompound);
}

bool AddOrDrop(IGIS_CompoundElement* pCompound, IGIS_Element* pElement) {
  if (pCompound->AddElement(pElement)) return true;
  DropElement(pElement);
  return false;
}

}  // namespace md::layout::detail
