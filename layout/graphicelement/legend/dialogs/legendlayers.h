// The map layers a legend can show, as the legend's dialogs list and find
// them: vector and compound vector layers, depth first through groups in
// the map's order.
#pragma once

#include <string>

class CListBox;
class IGIS_LegendItem;
class IGIS_Map;
class IGIS_MapLayer;
class IGIS_SymbolMatchTable;

namespace md::layout::legend {

bool IsVectorLayer(IGIS_MapLayer* pLayer);
// Appends the names of the map's vector layers to the list; a NULL layer met
// on the way writes "pMaplayer == NULL" under szMethod.
void ListVectorLayers(IGIS_Map* pMap, CListBox* pList, const char* szMethod);
// The first vector layer of that exact name, or NULL; a NULL layer met on
// the way writes "pMaplayer == NULL" under szMethod.
IGIS_MapLayer* FindMapLayerByName(IGIS_Map* pMap, const std::string& name, const char* szMethod);
// The classes of a vector or compound vector layer; NULL without data or
// table.
IGIS_SymbolMatchTable* ClassTableOf(IGIS_MapLayer* pLayer);
// Runs the class selection dialog on a copy of the item; on OK the item's
// labels become the copy's. TRUE when the user confirmed.
bool ChooseItemClasses(IGIS_LegendItem* pItem);

}  // namespace md::layout::legend
