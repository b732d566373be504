// Plain elements of scale-bar conversions.
#include "layout/graphicelement/scalebar/scalebarelements.h"

namespace md::layout::detail {

bool AddOrDrop(IGIS_CompoundElement* pCompound, IGIS_Element* pElement) {
  if (pCompound->AddElement(pElement)) return true;
  DropElement(pElement);
  return false;
}

}  // namespace md::layout::detail
