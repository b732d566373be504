// Listing and finding the legend's map layers.
#include "layout/graphicelement/legend/dialogs/legendlayers.h"

#include <cstring>
#include <functional>

#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/legend/dialogs/clegendselectdlg.h"
#include "layout/graphicelement/legend/igis_legenditem.h"
#include "platform/ui/app.h"
#include "platform/ui/clistbox.h"

namespace md::layout::legend {

namespace {

// Groups deeper than this are not followed (a map that nests a group in
// itself would otherwise never end).
constexpr int kMaxGroupDepth = 64;

// Visits the vector layers under pLayer depth first until visit answers true.
bool Walk(IGIS_MapLayer* pLayer, int depth, const char* szMethod,
          const std::function<bool(IGIS_MapLayer*)>& visit) {
  if (pLayer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "pMaplayer == NULL");
    return false;
  }
  const char* type = pLayer->GetType();
  if (type != nullptr && std::strcmp(type, GIS_DRAWER_GROUP) == 0) {
    if (depth >= kMaxGroupDepth) return false;
    for (int i = 0; i < pLayer->GetLayerCount(); ++i) {
      if (Walk(pLayer->GetLayer(i), depth + 1, szMethod, visit)) return true;
    }
    return false;
  }
  return IsVectorLayer(pLayer) && visit(pLayer);
}

bool WalkMap(IGIS_Map* pMap, const char* szMethod, const std::function<bool(IGIS_MapLayer*)>& visit) {
  if (pMap == nullptr) return false;
  for (int i = 0; i < pMap->GetLayerCount(); ++i) {
    if (Walk(pMap->GetLayer(i), 0, szMethod, visit)) return true;
  }
  return false;
}

}  // namespace

bool IsVectorLayer(IGIS_MapLayer* pLayer) {
  const char* type = pLayer != nullptr ? pLayer->GetType() : nullptr;
  return type != nullptr &&
         (std::strcmp(type, GIS_DRAWER_VECTOR) == 0 || std::strcmp(type, GIS_DRAWER_VECTOR_COMPOUND) == 0);
}

void ListVectorLayers(IGIS_Map* pMap, CListBox* pList, const char* szMethod) {
  WalkMap(pMap, szMethod, [pList](IGIS_MapLayer* pLayer) {
    const char* name = pLayer->GetName();
    pList->AddString(name != nullptr ? name : "");
    return false;
  });
}

IGIS_MapLayer* FindMapLayerByName(IGIS_Map* pMap, const std::string& name, const char* szMethod) {
  IGIS_MapLayer* pFound = nullptr;
  WalkMap(pMap, szMethod, [&](IGIS_MapLayer* pLayer) {
    const char* layerName = pLayer->GetName();
    if (layerName == nullptr || name != layerName) return false;
    pFound = pLayer;
    return true;
  });
  return pFound;
}

IGIS_SymbolMatchTable* ClassTableOf(IGIS_MapLayer* pLayer) {
  if (!IsVectorLayer(pLayer)) return nullptr;
  IGIS_LayerData* pData = pLayer->GetLayerPtr();
  IGIS_VectorMapLayer* pVector = dynamic_cast<IGIS_VectorMapLayer*>(pData);
  if (auto* pCompound = dynamic_cast<IGIS_VectorCompoundMapLayer*>(pData))
    pVector = pCompound->GetVectorMapLayer();
  return pVector != nullptr ? pVector->GetSymbolMatchTable() : nullptr;
}

bool ChooseItemClasses(IGIS_LegendItem* pItem) {
  if (pItem == nullptr) return false;
  md::basilo::ReleasePtr<IGIS_LegendItem> copy(pItem->Clone());
  if (!copy) return false;
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CLegendSelectDlg dlg(copy.get());
  if (dlg.DoModal() != IDOK) return false;
  pItem->RemoveAllLabels();
  for (int i = 0; i < copy->GetLabelCount(); ++i) pItem->AddLabel(copy->GetLabel(i));
  return true;
}

}  // namespace md::layout::legend
