// Finding a vector layer of a map by name.
#pragma once

#include <cstring>

namespace md::layout::detail {

constexpr int kMaxLayerNesting = 64;

template <class TLayer>
TLayer* FindVectorLayerIn(TLayer* pLayer, const char* szName, int nDepth) {
  if (pLayer == nullptr || nDepth > kMaxLayerNesting) return nullptr;
  const char* szType = pLayer->GetType();
  if (szType == nullptr) return nullptr;
  if (std::strcmp(szType, "GIS_DRAWER_GROUP") == 0) {
    const int n = pLayer->GetLayerCount();
    for (int i = 0; i < n; ++i) {
      if (TLayer* pFound = FindVectorLayerIn(pLayer->GetLayer(i), szName, nDepth + 1)) return pFound;
    }
    return nullptr;
  }
  if (std::strcmp(szType, "GIS_DRAWER_VECTOR") == 0 ||
      std::strcmp(szType, "GIS_DRAWER_VECTOR_COMPOUND") == 0) {
    const char* szLayerName = pLayer->GetName();
    if (szLayerName != nullptr && std::strcmp(szLayerName, szName) == 0) return pLayer;
  }
  return nullptr;
}

}  // namespace md::layout::detail

// The first layer of the map, in its order and depth first through group
// layers, that is a vector layer ("GIS_DRAWER_VECTOR" or
// "GIS_DRAWER_VECTOR_COMPOUND") named exactly szName; NULL when there is
// none, for a NULL map or name. Works on any map whose layers answer
// GetType, GetName, GetLayerCount and GetLayer. Groups nested deeper than 64
// levels are not searched.
template <class TMap>
auto FindVectorDrawer(TMap* pMap, const char* szName) -> decltype(pMap->GetLayer(0)) {
  if (pMap == nullptr || szName == nullptr) return nullptr;
  const int n = pMap->GetLayerCount();
  for (int i = 0; i < n; ++i) {
    if (auto* pFound = md::layout::detail::FindVectorLayerIn(pMap->GetLayer(i), szName, 0)) return pFound;
  }
  return nullptr;
}
