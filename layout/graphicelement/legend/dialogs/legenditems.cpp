// Items of the legend's layer pages.
#include "layout/graphicelement/legend/dialogs/legenditems.h"

#include <utility>

#include "host/basilo/igis_log.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/legend/dialogs/chosenlist.h"
#include "layout/graphicelement/legend/dialogs/legendlayers.h"
#include "layout/graphicelement/legend/igis_legenditem.h"

namespace md::layout::legend {

md::basilo::ReleasePtr<IGIS_LegendItem> NewItemForLayer(IGIS_LegendElement* pLegend, IGIS_Map* pMap,
                                                        const std::string& name, const char* szMethod,
                                                        const char* szMissing) {
  IGIS_MapLayer* pLayer = FindMapLayerByName(pMap, name, szMethod);
  if (pLayer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s", szMissing);
    return nullptr;
  }
  if (ClassTableOf(pLayer) == nullptr) return nullptr;
  md::basilo::ReleasePtr<IGIS_LegendItem> item(GIS_CreateLegendItemObject(pLegend));
  if (item) item->SetLayer(pLayer);
  return item;
}

void AddLayerItems(ChosenList* pLists, std::vector<md::basilo::ReleasePtr<IGIS_LegendItem>>* pItems,
                   IGIS_LegendElement* pLegend, IGIS_Map* pMap, const std::vector<int>& lines,
                   const char* szMethod, const char* szMissing) {
  CListBox& chosen = pLists->Chosen();
  chosen.SelItemRange(FALSE, 0, chosen.GetCount() - 1);
  for (int line : lines) {
    std::string name;
    pLists->Source().GetText(line, name);
    auto item = NewItemForLayer(pLegend, pMap, name, szMethod, szMissing);
    if (!item) continue;
    pItems->push_back(std::move(item));
    chosen.AddString(name.c_str());
  }
  pLists->Added();
}

std::vector<int> AllLines(ChosenList* pLists) {
  std::vector<int> all;
  for (int i = 0; i < pLists->Source().GetCount(); ++i) all.push_back(i);
  return all;
}

void SwapItems(std::vector<md::basilo::ReleasePtr<IGIS_LegendItem>>* pItems, int i, int j) {
  const int n = static_cast<int>(pItems->size());
  if (i < 0 || j < 0 || i >= n || j >= n) return;
  std::swap((*pItems)[static_cast<size_t>(i)], (*pItems)[static_cast<size_t>(j)]);
}

void EraseItem(std::vector<md::basilo::ReleasePtr<IGIS_LegendItem>>* pItems, int i, const char* szMethod) {
  if (i < 0 || i >= static_cast<int>(pItems->size())) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "pItem == NULL");
    return;
  }
  pItems->erase(pItems->begin() + i);
}

void ReleaseItems(std::vector<md::basilo::ReleasePtr<IGIS_LegendItem>>* pItems) {
  while (!pItems->empty()) pItems->pop_back();
}

}  // namespace md::layout::legend
