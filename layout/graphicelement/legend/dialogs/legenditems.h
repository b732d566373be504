// Items made for layers picked by name, as the legend's layer pages add them.
#pragma once

#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"

class IGIS_LegendElement;
class IGIS_LegendItem;
class IGIS_Map;

namespace md::layout::legend {

class ChosenList;

// A new item of the legend for the named vector layer of the map, without
// labels; NULL (and "p_maplayer == NULL" under szMethod when the name finds
// no layer) when the layer is missing, no vector layer or has no classes.
md::basilo::ReleasePtr<IGIS_LegendItem> NewItemForLayer(IGIS_LegendElement* pLegend, IGIS_Map* pMap,
                                                        const std::string& name, const char* szMethod,
                                                        const char* szMissing);

// Appends an item for each given line of the lists' map layers (the line's
// text names the layer) and the layer's name to the chosen list; the chosen
// selection is cleared first, and the lists' buttons are set after.
void AddLayerItems(ChosenList* pLists, std::vector<md::basilo::ReleasePtr<IGIS_LegendItem>>* pItems,
                   IGIS_LegendElement* pLegend, IGIS_Map* pMap, const std::vector<int>& lines,
                   const char* szMethod, const char* szMissing);
// Every line of the lists' map layers.
std::vector<int> AllLines(ChosenList* pLists);

// Swaps two neighbouring entries; indices outside the list change nothing.
void SwapItems(std::vector<md::basilo::ReleasePtr<IGIS_LegendItem>>* pItems, int i, int j);
// Releases entry i; an index outside the list writes "pItem == NULL" under szMethod.
void EraseItem(std::vector<md::basilo::ReleasePtr<IGIS_LegendItem>>* pItems, int i, const char* szMethod);
// Releases every entry, the last first.
void ReleaseItems(std::vector<md::basilo::ReleasePtr<IGIS_LegendItem>>* pItems);

}  // namespace md::layout::legend
