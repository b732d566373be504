// The items page of the legend sheet.
#include "layout/graphicelement/legend/dialogs/clegenditempage.h"

#include <string>

#include "host/basilo/igis_log.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/legend/cgis_legenditem.h"
#include "layout/graphicelement/legend/dialogs/legenditems.h"
#include "layout/graphicelement/legend/dialogs/legendlayers.h"
#include "layout/graphicelement/legend/igis_legendelement.h"
#include "platform/ui/app.h"

using namespace md::layout::legend;

namespace {
constexpr int kMapLayers = 4072, kItems = 4092, kAdd = 4094, kAddAll = 4096, kRemove = 4098, kUp = 4080,
              kDown = 4083, kClasses = 4088;
constexpr ChosenListIds kIds{kMapLayers, kItems, kAdd, kRemove, -1, kUp, kDown, kClasses, false};
const md::ui::WindowClassRegistration<CLegendItemPage> g_pageClass("CLegendItemPage");

// The name an item is listed under: its layer's, or the stored name of a
// layer that could not be found.
std::string ListedName(IGIS_LegendItem* pItem) {
  if (IGIS_MapLayer* pLayer = pItem->GetLayer()) return pLayer->GetName() != nullptr ? pLayer->GetName() : "";
  auto* pStored = dynamic_cast<CGIS_LegendItem*>(pItem);
  return pStored != nullptr ? pStored->GetLayerName() : std::string();
}
}  // namespace

CLegendItemPage::CLegendItemPage(IGIS_LegendElement* pElement, IGIS_Display* pDisplay)
    : CPropertyPage(4206),
      m_pElement(pElement),
      m_pDisplay(pDisplay),
      m_lists(
          this, kIds, [this](int i) { EraseItem(&m_items, i, "CLegendItemPage::OnRemove()"); },
          [this](int i, int j) { SwapItems(&m_items, i, j); }) {
  MapClicked(kAdd, [this] { OnAdd(); });
  MapCommand(LBN_DBLCLK, kMapLayers, [this] { OnAdd(); });
  MapClicked(kAddAll, [this] { OnAddall(); });
  MapClicked(kClasses, [this] { OnChooseClasses(); });
}

CLegendItemPage::~CLegendItemPage() { ReleaseItems(&m_items); }

BOOL CLegendItemPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_lists.Attach();
  for (int id : {kDown, kUp, kAdd, kRemove, kClasses}) m_lists.Enable(id, false);
  return TRUE;
}

IGIS_Map* CLegendItemPage::MapOf(const char* szMethod, const char* szNoMap) {
  IGIS_MapElement* pFrame = m_pElement != nullptr ? m_pElement->GetMapElement() : nullptr;
  if (pFrame == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_mapelement == NULL");
    return nullptr;
  }
  IGIS_Map* pMap = pFrame->GetMap();
  if (pMap == nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s", szNoMap);
  return pMap;
}

BOOL CLegendItemPage::OnSetActive() {
  m_lists.Source().ResetContent();
  m_lists.Chosen().ResetContent();
  ReleaseItems(&m_items);
  // A page made by its class name alone has nothing to show.
  if (m_pElement == nullptr) return FALSE;
  IGIS_Map* pMap = MapOf("CLegendItemPage::OnSetActive", "p_map == NULL");
  if (pMap == nullptr) return FALSE;
  ListVectorLayers(pMap, &m_lists.Source(), "CLegendItemPage::OnSetActive");
  for (int i = 0; i < m_pElement->GetItemCount(); ++i) {
    IGIS_LegendItem* pItem = m_pElement->GetItem(i);
    if (pItem == nullptr) continue;
    if (pItem->GetLayer() == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CLegendItemPage::OnSetActive() ", "p_maplayer == NULL");
      // An item whose layer was not found stays, as stored, under its name.
    }
    md::basilo::ReleasePtr<IGIS_LegendItem> copy(pItem->Clone());
    if (!copy) continue;
    if (pItem->GetLayer() != nullptr) copy->SetLayer(pItem->GetLayer());
    m_lists.Chosen().AddString(ListedName(pItem).c_str());
    m_items.push_back(std::move(copy));
  }
  m_lists.Enable(kDown, false);
  m_lists.Enable(kUp, false);
  return CPropertyPage::OnSetActive();
}

BOOL CLegendItemPage::OnKillActive() {
  if (!UpdateData(TRUE)) return FALSE;
  if (m_pElement == nullptr) return TRUE;
  m_pElement->RemoveAllItems();
  for (const auto& working : m_items) {
    IGIS_MapLayer* pLayer = working->GetLayer();
    // An unresolved item is kept whole: its stored layer name is all that
    // finds its layer again.
    IGIS_LegendItem* pItem = pLayer != nullptr ? GIS_CreateLegendItemObject(m_pElement) : working->Clone();
    if (pItem == nullptr) continue;
    if (pLayer != nullptr) {
      pItem->SetLayer(pLayer);
      for (int i = 0; i < working->GetLabelCount(); ++i) pItem->AddLabel(working->GetLabel(i));
    }
    m_pElement->AddItem(pItem);
  }
  m_pElement->RecalcRect();
  return TRUE;
}

void CLegendItemPage::AddLines(const std::vector<int>& lines, const char* szMethod, const char* szMissing) {
  IGIS_Map* pMap = MapOf(szMethod, "m_pMap == NULL");
  if (pMap != nullptr) AddLayerItems(&m_lists, &m_items, m_pElement, pMap, lines, szMethod, szMissing);
}

void CLegendItemPage::OnAdd() {
  AddLines(m_lists.SelectedSource(), "CLegendItemPage::OnAdd()", "p_maplayer == NULL");
}

void CLegendItemPage::OnAddall() {
  AddLines(AllLines(&m_lists), "CLegendItemPage::OnAddall()", "pMapLayer == NULL");
}

void CLegendItemPage::OnChooseClasses() {
  const int first = m_lists.FirstChosen();
  if (first < 0 || first >= static_cast<int>(m_items.size())) return;
  CListBox& chosen = m_lists.Chosen();
  chosen.SelItemRange(FALSE, 0, chosen.GetCount() - 1);
  chosen.SetSel(first, TRUE);
  ChooseItemClasses(m_items[static_cast<size_t>(first)].get());
}
