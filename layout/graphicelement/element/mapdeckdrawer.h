// Finding a vector layer of a map by name.
#pragma once

#include <cstring>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

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

// Appends the vector layers under pLayer, in FindVectorLayerIn's order, to
// pOut with their names.
template <class TLayer>
void CollectVectorLayersIn(TLayer* pLayer, int nDepth,
                           std::vector<std::pair<std::string_view, TLayer*>>* pOut) {
  if (pLayer == nullptr || nDepth > kMaxLayerNesting) return;
  const char* szType = pLayer->GetType();
  if (szType == nullptr) return;
  if (std::strcmp(szType, "GIS_DRAWER_GROUP") == 0) {
    const int n = pLayer->GetLayerCount();
    for (int i = 0; i < n; ++i) CollectVectorLayersIn(pLayer->GetLayer(i), nDepth + 1, pOut);
    return;
  }
  if (std::strcmp(szType, "GIS_DRAWER_VECTOR") == 0 ||
      std::strcmp(szType, "GIS_DRAWER_VECTOR_COMPOUND") == 0) {
    if (const char* szLayerName = pLayer->GetName()) pOut->emplace_back(szLayerName, pLayer);
  }
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

// The vector layers of one map walked once, for looking up many names: Find
// answers what FindVectorDrawer on that map would. The names are the
// layers' own, so an index is only used while its map stays as it is.
template <class TMap>
class VectorDrawerIndex {
 public:
  using Layer = std::remove_pointer_t<decltype(std::declval<TMap*>()->GetLayer(0))>;

  explicit VectorDrawerIndex(TMap* pMap) : map_(pMap) {
    if (pMap == nullptr) return;
    const int n = pMap->GetLayerCount();
    for (int i = 0; i < n; ++i) md::layout::detail::CollectVectorLayersIn(pMap->GetLayer(i), 0, &layers_);
  }
  TMap* Map() const { return map_; }
  Layer* Find(const char* szName) const {
    if (map_ == nullptr || szName == nullptr) return nullptr;
    const std::string_view name(szName);
    for (const auto& [layerName, pLayer] : layers_)
      if (layerName == name) return pLayer;
    return nullptr;
  }

 private:
  TMap* map_ = nullptr;
  std::vector<std::pair<std::string_view, Layer*>> layers_;
};
