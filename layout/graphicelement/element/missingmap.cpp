// Whether a map frame's named map cannot be found in its page's document.
#include "layout/graphicelement/element/missingmap.h"

#include "host/featra/igis_feature.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace md::layout {

bool FrameMapMissing(IGIS_MapElement* pFrame) {
  if (pFrame == nullptr || pFrame->GetMap() != nullptr) return false;
  const char* szName = pFrame->GetMapName();
  if (szName == nullptr || szName[0] == '\0') return false;
  IGIS_FeatureSet* pOwner = pFrame->GetFeatureSetPtr();
  if (pOwner == nullptr) return false;
  IGIS_MapLayer* pLayer = pOwner->GetMapLayer();
  // A page without a map layer, which its frames recorded once.
  if (pLayer == nullptr) return true;
  IGIS_Map* pLayout = pLayer->GetMap();
  IGIS_Document* pDocument = pLayout != nullptr ? pLayout->GetDocument() : nullptr;
  return pDocument != nullptr && pDocument->FindMap(szName) == nullptr;
}

}  // namespace md::layout
