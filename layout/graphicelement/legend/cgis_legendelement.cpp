// The legend element: construction, items, binding to its map frame,
// messages, storage, cloning, the property sheet and the wizard.
#include "layout/graphicelement/legend/cgis_legendelement.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <optional>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/element/mapdeckutf8.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/legend/cgis_legendformat.h"
#include "layout/graphicelement/legend/cgis_legenditem.h"
#include "layout/graphicelement/legend/igis_legendformat.h"
#include "layout/graphicelement/legend/legendwizard.h"

namespace {

constexpr const char* kClass = "CGIS_LegendElement";
using PropertySetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;
using DataBufferPtr = md::basilo::ReleasePtr<IGIS_DataBuffer>;

std::string CutText(const char* szText) {
  char buffer[GIS_ELEMENT_NAME_MAX + 1];
  md::layout::CopyUtf8Cut(buffer, szText, GIS_ELEMENT_NAME_MAX);
  return buffer;
}

// Installed by the dialogs library as it loads; read by elements on any thread.
std::atomic<md::layout::LegendWizardRunner> g_wizardRunner{nullptr};

}  // namespace

namespace md::layout {

LegendWizardRunner SetLegendWizardRunner(LegendWizardRunner runner) {
  return g_wizardRunner.exchange(runner);
}

LegendWizardRunner GetLegendWizardRunner() { return g_wizardRunner.load(); }

}  // namespace md::layout

CGIS_LegendElement::CGIS_LegendElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_ElementImpl(kClass, "图例整饰单元") {
  if (pOwner == nullptr) return;
  m_strTitle = "图例";
  m_pSubject = GIS_CreateSubjectObject();
  m_pFormat.reset(GIS_CreateLegendFormatObject());
  m_pFrame.reset(GIS_CreateFramePropertyObject());

  SGIS_ElementBindOptions options;
  options.szType = GIS_TYPE_GRAPHIC_ELEMENT_LEGEND;
  options.nKind = GIS_FEATURE_KIND_RECTANGLE;
  options.nLockOnNew = 1;
  options.nCanConvert = 1;
  options.bRewriteType = true;
  options.bRewriteCanConvert = true;
  const CGIS_ElementCore::Binding binding = m_core.Bind(pOwner, pFeature, options);
  if (binding == CGIS_ElementCore::Binding::Unbound) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method(kClass).c_str(), "不能创建 m_pFeature == NULL");
    return;
  }
  if (binding == CGIS_ElementCore::Binding::Created) {
    // A read before the first write finds every key with its default, and
    // the rectangle its title takes: the legend is stored as it is read.
    if (IGIS_FeatureAttributes* pAttr = m_core.m_pFeature->GetAttributes()) WriteCustom(pAttr);
    RecalcRect();
  }
}

CGIS_LegendElement::~CGIS_LegendElement() {
  m_pFrame.reset();
  if (m_pSubject != nullptr) {
    m_pSubject->DetachAll();
    GIS_ReleaseSubjectObject(m_pSubject);
    m_pSubject = nullptr;
  }
  m_pFormat.reset();
  while (!m_items.empty()) m_items.pop_back();
}

// ---- Texts, format and frame ------------------------------------------------------

void CGIS_LegendElement::SetTitle(const char* szTitle) {
  if (szTitle == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_LegendElement::SetTitle", "cTitle");
    return;
  }
  m_strTitle = CutText(szTitle);
}

void CGIS_LegendElement::SetLegendFormat(IGIS_LegendFormat* pFormat) {
  if (pFormat == nullptr) return;
  if (!m_pFormat) {
    m_pFormat.reset(pFormat->Clone());
    return;
  }
  m_pFormat->CopyFrom(pFormat);
}

bool CGIS_LegendElement::SetFrameProperty(IGIS_FrameProperty* pFrame) {
  if (pFrame == m_pFrame.get()) return true;
  m_pFrame.reset(pFrame != nullptr ? pFrame->Clone() : nullptr);
  return true;
}

// ---- Items ----------------------------------------------------------------------

namespace {

// An item belongs to the legend that holds it, whichever legend it was made for.
void Adopt(IGIS_LegendItem* pItem, IGIS_LegendElement* pLegend) {
  if (auto* pOwn = dynamic_cast<CGIS_LegendItem*>(pItem)) pOwn->SetOwner(pLegend);
}

}  // namespace

bool CGIS_LegendElement::Accepts(IGIS_LegendItem* pItem, const char* szMethod) {
  if (pItem == nullptr) return false;
  // A legend never holds more items than its stored form reads back; the
  // refused item is the legend's all the same, and released.
  if (GetItemCount() >= kMaxStoredItems) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "ItemNum == %d: no more items", GetItemCount());
    pItem->Release();
    return false;
  }
  Adopt(pItem, this);
  return true;
}

bool CGIS_LegendElement::AddItem(IGIS_LegendItem* pItem) {
  if (!Accepts(pItem, "CGIS_LegendElement::AddItem")) return false;
  m_items.emplace_back(pItem);
  return true;
}

void CGIS_LegendElement::InsertItem(int nIndex, IGIS_LegendItem* pItem) {
  if (!Accepts(pItem, "CGIS_LegendElement::InsertItem")) return;
  if (nIndex >= 0 && nIndex < GetItemCount()) {
    m_items.emplace(m_items.begin() + nIndex, pItem);
  } else {
    m_items.emplace_back(pItem);
  }
}

IGIS_LegendItem* CGIS_LegendElement::GetItem(int nIndex) {
  if (static_cast<unsigned>(nIndex) >= m_items.size()) return nullptr;
  return m_items[static_cast<std::size_t>(nIndex)].get();
}

bool CGIS_LegendElement::RemoveItem(int nIndex) {
  if (static_cast<unsigned>(nIndex) >= m_items.size()) return false;
  // The caller, who read the item with GetItem, owns it from now on.
  (void)m_items[static_cast<std::size_t>(nIndex)].release();
  m_items.erase(m_items.begin() + nIndex);
  return true;
}

void CGIS_LegendElement::RemoveAllItems() { m_items.clear(); }

// ---- The followed map frame -------------------------------------------------------

void CGIS_LegendElement::SetMapElement(IGIS_MapElement* pMapElement) {
  if (pMapElement == GetMapElement()) return;
  m_link.Follow(pMapElement);
  if (pMapElement != nullptr) return;
  // The items forget their layers but keep the layer names they list.
  for (auto& item : m_items) {
    if (auto* pItem = dynamic_cast<CGIS_LegendItem*>(item.get())) {
      pItem->ForgetLayer();
    } else {
      item->SetLayer(nullptr);
    }
  }
}

void CGIS_LegendElement::Update(const char* szMessage, int /*nArgument*/, IGIS_Element* pSender) {
  if (szMessage == nullptr) return;
  if (std::strcmp(szMessage, GIS_MESSAGE_ELEMENT_MAP_DEL) == 0) {
    // Only the deletion of the followed frame concerns the legend.
    if (!m_link.OnFrameDeleted(pSender)) return;
    RemoveAllItems();
    RecalcRect();
    return;
  }
  if (std::strcmp(szMessage, GIS_MESSAGE_DOC_MAPLAYER_DELETED) == 0) {
    // The sender stands for the deleted layer; it is compared with the
    // layers the items found, never used as an element.
    const void* pLayer = static_cast<const void*>(pSender);
    if (pLayer == nullptr) return;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
      if (static_cast<const void*>(m_items[i]->GetLayer()) != pLayer) continue;
      m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(i));
      RecalcRect();
      return;
    }
    return;
  }
  if (std::strcmp(szMessage, GIS_MESSAGE_ELEMENT_MAPELEMENT_MAP_CHANGED) == 0) {
    if (pSender != nullptr && pSender != static_cast<IGIS_Element*>(GetMapElement())) return;
    RemoveAllItems();
    RecalcRect();
  }
}

// ---- Storage ----------------------------------------------------------------------

BOOL CGIS_LegendElement::WriteCustom(IGIS_FeatureAttributes* pAttr) {
  // A new set each time, written straight into its bytes.
  md::layout::StoredSetWriter set;
  IGIS_MapElement* pFollowed = GetMapElement();
  // An unlinked legend is stored as one that never followed a frame; a
  // stored frame that was not found is written back as read.
  int nMapID = pFollowed != nullptr ? pFollowed->GetID() : m_link.GetMapElementID();
  if (nMapID == CGIS_MapFrameLink::kUnlinked) nMapID = CGIS_MapFrameLink::kNoFrame;
  set.Int("MapElementID", "地图框架ID", nMapID);
  set.SavedInPlace("FrameProperty", "边框", [this](IGIS_DataBuffer* b) {
    if (m_pFrame) m_pFrame->Save(b);
  });
  set.String("Title", "标题", m_strTitle.c_str());
  set.Bool("Director", "方向", m_bDirector);
  set.Int("ItemNum", "图例项数", GetItemCount());
  for (int i = 0; i < GetItemCount(); ++i) {
    const md::layout::StoredIndexKey key(i);
    IGIS_LegendItem* pItem = m_items[static_cast<std::size_t>(i)].get();
    // Ours writes its set straight into this one.
    if (auto* pOwn = dynamic_cast<CGIS_LegendItem*>(pItem)) {
      pOwn->SaveInto(&set, key.view());
    } else {
      set.SavedInPlace(key.view(), key.view(), [pItem](IGIS_DataBuffer* b) { pItem->Save(b); });
    }
  }
  set.SavedInPlace("Format", "样式", [this](IGIS_DataBuffer* b) {
    if (m_pFormat) m_pFormat->Save(b);
  });
  // Straight into the stored buffer when there is one.
  if (IGIS_DataBuffer* pStored = pAttr->GetDataBuffer("Custom")) return set.Finish(pStored) ? TRUE : FALSE;
  DataBufferPtr buffer(GIS_CreateDataBufferObject(1024));
  if (!buffer || !set.Finish(buffer.get())) return FALSE;
  return pAttr->SetDataBuffer("Custom", buffer.get(), 0);
}

BOOL CGIS_LegendElement::ReadCustom(IGIS_FeatureAttributes* pAttr) {
  IGIS_DataBuffer* pStored = pAttr->GetDataBuffer("Custom");
  const md::layout::StoredSetView set(pStored);
  if (pStored == nullptr || set.Damaged()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("Archive").c_str(), "the \"Custom\" set cannot be read");
  }
  int nMapID = 0;
  if (set.Read("MapElementID", &nMapID)) {
    // A frame that cannot be found keeps its stored ID, written back as read.
    m_link.SetMapElementID(nMapID);
    m_link.Relink(m_core.m_pFeatureSet);
  }
  if (const md::basilo::StoredFieldView* f = set.Find("FrameProperty")) {
    // An empty buffer is a legend stored without a frame.
    if (f->type == GIS_FIELD_TYPE_BUFFER && f->bytes.empty()) {
      m_pFrame.reset();
    } else {
      if (!m_pFrame) m_pFrame.reset(GIS_CreateFramePropertyObject());
      // Ours reads the stored bytes in place; another is given a copy.
      if (auto* pOwn = dynamic_cast<CGIS_FrameProperty*>(m_pFrame.get());
          pOwn != nullptr && f->type == GIS_FIELD_TYPE_BUFFER) {
        pOwn->OpenStored(f->bytes);
      } else if (IGIS_DataBuffer* b = set.Buffer("FrameProperty"); m_pFrame && b != nullptr) {
        m_pFrame->Open(b);
      }
    }
  }
  std::string title;
  if (set.Read("Title", &title)) m_strTitle = CutText(title.c_str());
  set.Read("Director", &m_bDirector);
  // The items held are refilled in place where they are ours (a refilled
  // item is what a new one reads); the rest are released at the end.
  std::vector<md::basilo::ReleasePtr<IGIS_LegendItem>> held;
  held.swap(m_items);
  std::size_t nextHeld = 0;
  int n = 0;
  set.Read("ItemNum", &n);
  if (n > kMaxStoredItems) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("Archive").c_str(),
            "ItemNum == %d: the first %d items are read", n, kMaxStoredItems);
    n = kMaxStoredItems;
  }
  // The map's layers are walked once for all the items (reading changes no map).
  std::optional<VectorDrawerIndex<IGIS_Map>> layers;
  IGIS_MapElement* pFollowed = nullptr;
  if (n > 0) m_items.reserve(std::min(static_cast<std::size_t>(n), set.Fields().size()));
  for (int i = 0; i < n; ++i) {
    const md::layout::StoredIndexKey key(i);
    const std::span<const BYTE>* b = set.Bytes(key.view());
    if (b == nullptr) continue;
    // The next held item of ours, refilled; a new one when none is left.
    md::basilo::ReleasePtr<CGIS_LegendItem> item;
    for (; !item && nextHeld < held.size(); ++nextHeld) {
      if (auto* pOwn = dynamic_cast<CGIS_LegendItem*>(held[nextHeld].get())) {
        (void)held[nextHeld].release();
        item.reset(pOwn);
      }
    }
    if (item) {
      if (!item->RefillFromStored(this, *b)) continue;
    } else {
      item.reset(md::basilo::MakeOrNull<CGIS_LegendItem>(kClass, this));
      if (!item || !item->ReadStored(*b)) continue;
    }
    // An item whose layer is not in the map now is kept as stored: it is
    // written back unchanged and draws once its layer can be found.
    if (!layers) {
      pFollowed = GetMapElement();
      layers.emplace(pFollowed != nullptr ? pFollowed->GetMap() : nullptr);
    }
    item->ResolveLayerIn(pFollowed, "CGIS_LegendItem::Open", true, &*layers);
    m_items.emplace_back(item.release());
  }
  const md::basilo::StoredFieldView* pFormatField = set.Find("Format");
  bool bFormatSymbolsRead = false;
  if (pFormatField != nullptr && pFormatField->type == GIS_FIELD_TYPE_BUFFER) {
    if (!m_pFormat) m_pFormat.reset(GIS_CreateLegendFormatObject());
    if (auto* pOwn = dynamic_cast<CGIS_LegendFormat*>(m_pFormat.get())) {
      // Ours reads the stored bytes in place.
      bFormatSymbolsRead = pOwn->OpenStored(pFormatField->bytes) && pOwn->SymbolsAsStored();
    } else if (m_pFormat) {
      // Another is given a copy; symbols it replaces are new objects made
      // from the stored bytes.
      const IGIS_Symbol* pTitle = m_pFormat->GetTitleSymbol();
      const IGIS_Symbol* pLabel = m_pFormat->GetLabelSymbol();
      const IGIS_Symbol* pLayerName = m_pFormat->GetLayerNameSymbol();
      if (IGIS_DataBuffer* b = set.Buffer("Format")) m_pFormat->Open(b);
      bFormatSymbolsRead = m_pFormat->GetTitleSymbol() != pTitle && m_pFormat->GetLabelSymbol() != pLabel &&
                           m_pFormat->GetLayerNameSymbol() != pLayerName;
    }
  }
  // The layers were looked up as the items were read.
  const std::span<const BYTE> formatBytes =
      pFormatField != nullptr ? pFormatField->bytes : std::span<const BYTE>();
  Restack(true, bFormatSymbolsRead && pFormatField != nullptr ? &formatBytes : nullptr);
  return TRUE;
}

BOOL CGIS_LegendElement::Archive(int nRead, int /*nArchiveOption*/) {
  IGIS_FeatureAttributes* pAttr = nullptr;
  if (!m_core.ArchiveCommon(nRead, &pAttr) || pAttr == nullptr) return FALSE;
  return nRead == 0 ? WriteCustom(pAttr) : ReadCustom(pAttr);
}

// ---- Cloning, sheet, wizard --------------------------------------------------------

IGIS_Element* CGIS_LegendElement::Clone() {
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  auto* pClone = dynamic_cast<CGIS_LegendElement*>(
      pOwner != nullptr ? pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_LEGEND) : nullptr);
  if (pClone == nullptr) return nullptr;
  const SGIS_Rect rect = GetRect();
  pClone->SetFlag(m_bFlag);
  pClone->SetFrameProperty(m_pFrame.get());
  pClone->SetHVScaleRatio(GetHVScaleRatio());
  pClone->SetLBpoint(SGIS_Point(rect.left, rect.bottom, 0));
  pClone->SetLock(IsLock());
  pClone->SetMapElement(GetMapElement());
  // A stored frame that could not be found stays named in the copy too.
  if (GetMapElement() == nullptr) pClone->m_link.SetMapElementID(m_link.GetMapElementID());
  pClone->SetDirector(m_bDirector);
  pClone->SetTitle(m_strTitle.c_str());
  pClone->SetLegendFormat(m_pFormat.get());
  for (auto& item : m_items) {
    if (IGIS_LegendItem* pCopy = item->Clone()) pClone->AddItem(pCopy);
  }
  pClone->RecalcRect();
  return pClone;
}

BOOL CGIS_LegendElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL /*bWithCommonPages*/) {
  const BOOL ok = m_core.OpenPropertySheet(pDisplay, "图例属性", "p_element == NULL");
  if (ok) RecalcRect();
  return ok;
}

bool CGIS_LegendElement::RunWizard() {
  md::layout::LegendWizardRunner runner = md::layout::GetLegendWizardRunner();
  if (runner == nullptr) return false;
  md::layout::SGIS_LegendWizardResult result;
  if (!runner(this, &result)) return false;
  SetLegendFormat(result.format.get());
  if (m_pFormat && result.titleSymbol) m_pFormat->SetTitleSymbolPtr(result.titleSymbol.get());
  SetTitle(result.title.c_str());
  for (auto& item : result.items) {
    if (IGIS_LegendItem* pCopy = item ? item->Clone() : nullptr) AddItem(pCopy);
  }
  RecalcRect();
  return true;
}
