// The legend item: labels, storage, measuring and drawing.
#include "layout/graphicelement/legend/cgis_legenditem.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/element/mapdeckdrawer.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/element/mapdecktables.h"
#include "layout/graphicelement/element/mapdeckutf8.h"
#include "layout/graphicelement/element/missingmap.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/legend/igis_legendelement.h"
#include "layout/graphicelement/legend/igis_legendformat.h"
#include "layout/graphicelement/legend/legendtext.h"

namespace {

using md::layout::legend::Add;
using md::layout::legend::LegendMarks;
using md::layout::legend::NewTextSymbol;
using md::layout::legend::ReplaceTextSymbol;
using md::layout::legend::TextExtent;
using md::layout::legend::Truncate;
using PropertySetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;

constexpr const char* kDrawMethod = "CGIS_LegendItem::Ondraw";

bool IsVectorType(const char* szType, bool* pCompound) {
  if (szType == nullptr) return false;
  *pCompound = std::strcmp(szType, GIS_DRAWER_VECTOR_COMPOUND) == 0;
  return *pCompound || std::strcmp(szType, GIS_DRAWER_VECTOR) == 0;
}

}  // namespace

CGIS_LegendItem::CGIS_LegendItem(IGIS_LegendElement* pOwner)
    : m_pOwner(pOwner), m_pHeadingSymbol(nullptr), m_pLayerNameSymbol(nullptr) {}

IGIS_Symbol* CGIS_LegendItem::HeldSymbol(md::basilo::ReleasePtr<IGIS_Symbol>* pHeld, bool* pMade) {
  if (!*pMade) {
    pHeld->reset(NewTextSymbol());
    *pMade = true;
  }
  return pHeld->get();
}

CGIS_LegendItem::~CGIS_LegendItem() {
  if (m_pClassFormat) m_pClassFormat->ReleaseSymbol();
}

// ---- Labels -------------------------------------------------------------------

const char* CGIS_LegendItem::GetLabel(int nIndex) {
  if (nIndex < 0 || nIndex >= GetLabelCount()) return nullptr;
  return m_labels[static_cast<std::size_t>(nIndex)].c_str();
}

bool CGIS_LegendItem::AddLabel(const char* szLabel) {
  if (szLabel == nullptr) return false;
  // An item never holds more labels than its stored form reads back.
  if (GetLabelCount() >= kMaxStoredLabels) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_LegendItem::AddLabel", "Number == %d: no more labels",
            GetLabelCount());
    return false;
  }
  m_labels.emplace_back(szLabel);
  m_bStoredKept = false;
  return true;
}

bool CGIS_LegendItem::RemoveLabel(const char* szLabel) {
  if (szLabel == nullptr) return false;
  auto it = std::find(m_labels.begin(), m_labels.end(), std::string_view(szLabel));
  if (it == m_labels.end()) return false;
  m_labels.erase(it);
  m_bStoredKept = false;
  return true;
}

bool CGIS_LegendItem::RemoveLabelAt(int nIndex) {
  const char* szLabel = GetLabel(nIndex);
  if (szLabel == nullptr) return false;
  const std::string label = szLabel;
  return RemoveLabel(label.c_str());
}

void CGIS_LegendItem::RemoveAllLabels() {
  m_labels.clear();
  m_bStoredKept = false;
}

// ---- Symbols, class format, layer ----------------------------------------------

void CGIS_LegendItem::SetHeadingSymbolPtr(IGIS_Symbol* pSymbol) {
  // A symbol given in place of the default one that was never made.
  m_bHeadingSymbolMade = true;
  ReplaceTextSymbol(&m_pHeadingSymbol, pSymbol, GIS_LOG_LEVEL_SYMBOL, "CGIS_LegendItem::SetHeadingSymbolPtr",
                    "pHeadingSymbol == NULL");
}

void CGIS_LegendItem::SetLayerNameSymbolPtr(IGIS_Symbol* pSymbol) {
  m_bLayerNameSymbolMade = true;
  ReplaceTextSymbol(&m_pLayerNameSymbol, pSymbol, GIS_LOG_LEVEL_SYMBOL,
                    "CGIS_LegendItem::SetLayerNameSymbolPtr", "pLayerNameSymbol == NULL");
}

void CGIS_LegendItem::SetClassFormat(IGIS_LegendClassFormat* pFormat) {
  if (pFormat != nullptr && pFormat == m_pClassFormat.get()) return;
  // The copy held so far is ended, not only its symbol.
  if (m_pClassFormat) m_pClassFormat->ReleaseSymbol();
  m_pClassFormat.reset(pFormat != nullptr ? pFormat->Clone() : nullptr);
}

void CGIS_LegendItem::SetLayer(IGIS_MapLayer* pLayer) {
  m_pLayer = pLayer;
  const char* szName = pLayer != nullptr ? pLayer->GetName() : nullptr;
  char buffer[GIS_ELEMENT_NAME_MAX + 1];
  md::layout::CopyUtf8Cut(buffer, szName, GIS_ELEMENT_NAME_MAX);
  m_strLayerName = buffer;
  m_bStoredKept = false;
}

IGIS_LegendItem* CGIS_LegendItem::Clone() {
  auto* pClone = md::basilo::MakeOrNull<CGIS_LegendItem>("CGIS_LegendItem::Clone", m_pOwner);
  if (pClone == nullptr) return nullptr;
  pClone->SetColumns(m_nColumns);
  // A default symbol never made stays so in the copy too.
  if (m_bHeadingSymbolMade) pClone->SetHeadingSymbolPtr(m_pHeadingSymbol.get());
  pClone->SetShowHeading(m_bShowHeading);
  pClone->SetShowLayerName(m_bShowLayerName);
  if (m_bLayerNameSymbolMade) pClone->SetLayerNameSymbolPtr(m_pLayerNameSymbol.get());
  // The copy keeps the layer name also when the layer is not found now.
  pClone->m_pLayer = m_pLayer;
  pClone->m_strLayerName = m_strLayerName;
  pClone->m_labels = m_labels;
  return pClone;
}

// ---- Storage --------------------------------------------------------------------

bool CGIS_LegendItem::Save(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_LegendItem::Save", "pDataBuffer == NULL");
    return false;
  }
  md::layout::StoredSetWriter set;
  Fill(&set);
  return set.Finish(pBuffer);
}

namespace {

// The kept stored form of an item as the buffer a set is finished into.
class KeptBytes final : public IGIS_DataBuffer {
 public:
  explicit KeptBytes(std::vector<BYTE>* pBytes) : m_pBytes(pBytes) {}
  void Release() override {}  // lives on the stack
  int GetSize() const override { return static_cast<int>(m_pBytes->size()); }
  BOOL SetSize(int n) override {
    if (n < 0) return FALSE;
    m_pBytes->resize(static_cast<std::size_t>(n));
    return TRUE;
  }
  BYTE* GetData() override { return m_pBytes->empty() ? nullptr : m_pBytes->data(); }

 private:
  std::vector<BYTE>* m_pBytes;
};

}  // namespace

void CGIS_LegendItem::SaveInto(md::layout::StoredSetWriter* pParent, std::string_view key) {
  // An item unchanged since its last write gives the same bytes again.
  if (!m_bStoredKept) {
    md::layout::StoredSetWriter set;
    Fill(&set);
    KeptBytes kept(&m_stored);
    m_bStoredKept = set.Finish(&kept);
  }
  pParent->Bytes(key, key, m_bStoredKept ? std::span<const BYTE>(m_stored) : std::span<const BYTE>());
}

void CGIS_LegendItem::Fill(md::layout::StoredSetWriter* pSet) const {
  // Names and labels hold no NUL (they are taken as C texts), so each is
  // stored whole.
  pSet->Int("Number", "个数", static_cast<int>(m_labels.size()));
  pSet->Int("iColumns", "行数", m_nColumns);
  pSet->String("Layer", "层名", m_strLayerName);
  for (std::size_t i = 0; i < m_labels.size(); ++i) {
    const md::layout::StoredIndexKey key(static_cast<int>(i));
    pSet->String(key.view(), key.view(), m_labels[i]);
  }
}

bool CGIS_LegendItem::ReadStored(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_LegendItem::Open", "pDataBuffer为空");
    return false;
  }
  return ReadStored(md::layout::BufferBytes(pBuffer));
}

bool CGIS_LegendItem::ReadStored(std::span<const BYTE> bytes) {
  return ReadStoredFrom(bytes, m_labels.size());
}

void CGIS_LegendItem::ResetForRead(IGIS_LegendElement* pOwner) {
  ResetUnstored(pOwner);
  m_nColumns = 0;
  m_strLayerName.clear();
  m_bStoredKept = false;
  // m_labels keeps its texts until ReadStoredAfterReset writes over them.
}

void CGIS_LegendItem::ResetUnstored(IGIS_LegendElement* pOwner) {
  if (m_pClassFormat) m_pClassFormat->ReleaseSymbol();
  m_pClassFormat.reset();
  m_bItemFlag = true;
  m_pOwner = pOwner;
  m_pHeadingSymbol.reset();
  m_pLayer = nullptr;
  m_pLayerNameSymbol.reset();
  m_bHeadingSymbolMade = false;
  m_bLayerNameSymbolMade = false;
  m_bShowHeading = true;
  m_bShowLayerName = true;
  m_dHeight = 0.0;
  m_dWidth = 0.0;
}

bool CGIS_LegendItem::RefillFromStored(IGIS_LegendElement* pOwner, std::span<const BYTE> bytes) {
  // What was written reads back as the labels, columns and layer name held.
  if (m_bStoredKept && std::equal(bytes.begin(), bytes.end(), m_stored.begin(), m_stored.end())) {
    ResetUnstored(pOwner);
    return true;
  }
  ResetForRead(pOwner);
  return ReadStoredAfterReset(bytes);
}

bool CGIS_LegendItem::ReadStoredFrom(std::span<const BYTE> bytes, std::size_t nFirst) {
  const md::layout::StoredSetView set(bytes);
  if (set.Damaged()) return false;
  m_bStoredKept = false;
  int n = 0;
  set.Read("Number", &n);
  if (n > kMaxStoredLabels) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_LegendItem::Open", "Number == %d: the first %d labels are read", n,
            kMaxStoredLabels);
    n = kMaxStoredLabels;
  }
  set.Read("iColumns", &m_nColumns);
  std::string text;
  std::size_t next = nFirst;
  // AddLabel, writing over a kept text where there is one.
  auto add = [&](std::string_view label) {
    if (next >= static_cast<std::size_t>(kMaxStoredLabels)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_LegendItem::AddLabel", "Number == %d: no more labels",
              static_cast<int>(next));
      return;
    }
    if (next < m_labels.size()) {
      m_labels[next].assign(label);
    } else {
      m_labels.emplace_back(label);
    }
    ++next;
  };
  if (n > 0) m_labels.reserve(std::min(nFirst + static_cast<std::size_t>(n), nFirst + set.Fields().size()));
  for (int i = 0; i < n; ++i) {
    const md::layout::StoredIndexKey key(i);
    const md::basilo::StoredFieldView* f = set.Find(key.view());
    if (f == nullptr) continue;
    if (f->type == GIS_FIELD_TYPE_STRING) {
      // Stored texts hold no NUL, so the whole text is what AddLabel takes.
      add(f->text);
    } else if (set.Read(key.view(), &text)) {
      add(std::string_view(text.c_str()));
    }
  }
  m_labels.resize(next);
  if (set.Read("Layer", &text)) {
    char buffer[GIS_ELEMENT_NAME_MAX + 1];
    md::layout::CopyUtf8Cut(buffer, text.c_str(), GIS_ELEMENT_NAME_MAX);
    m_strLayerName = buffer;
  }
  return true;
}

bool CGIS_LegendItem::ResolveLayer(const char* szMethod, bool bLogNoFrame,
                                   const VectorDrawerIndex<IGIS_Map>* pIndex) {
  return ResolveLayerIn(m_pOwner != nullptr ? m_pOwner->GetMapElement() : nullptr, szMethod, bLogNoFrame,
                        pIndex);
}

bool CGIS_LegendItem::ResolveLayerIn(IGIS_MapElement* pFrame, const char* szMethod, bool bLogNoFrame,
                                     const VectorDrawerIndex<IGIS_Map>* pIndex) {
  if (pFrame == nullptr) {
    if (bLogNoFrame) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_mapelement == NULL");
    return false;
  }
  IGIS_Map* pMap = pFrame->GetMap();
  if (pMap == nullptr) {
    // A map that cannot be found was recorded once, by the frame.
    if (!md::layout::FrameMapMissing(pFrame)) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_map == NULL");
    m_pLayer = nullptr;
    return false;
  }
  m_pLayer = pIndex != nullptr && pIndex->Map() == pMap ? pIndex->Find(m_strLayerName.c_str())
                                                        : FindVectorDrawer(pMap, m_strLayerName.c_str());
  return m_pLayer != nullptr;
}

bool CGIS_LegendItem::Open(IGIS_DataBuffer* pBuffer) {
  if (!ReadStored(pBuffer)) return false;
  IGIS_MapElement* pFrame = m_pOwner != nullptr ? m_pOwner->GetMapElement() : nullptr;
  const bool bReached = pFrame != nullptr && pFrame->GetMap() != nullptr;
  // TRUE also when the map has no such layer: the item keeps its name.
  ResolveLayer("CGIS_LegendItem::Open", true);
  return bReached;
}

// ---- Measuring ----------------------------------------------------------------

bool CGIS_LegendItem::MeasuresQuietly(bool* pVector) {
  *pVector = false;
  if (m_pLayer == nullptr || m_pLayer->GetLayerPtr() == nullptr || m_pOwner == nullptr) return false;
  IGIS_LegendFormat* pFormat = m_pOwner->GetLegendFormat();
  if (pFormat == nullptr || pFormat->GetLabelSymbol() == nullptr) return false;
  bool bCompound = false;
  *pVector = IsVectorType(m_pLayer->GetType(), &bCompound);
  return true;
}

void CGIS_LegendItem::CreateGraphics(bool bLayerFound) {
  constexpr const char* kMethod = "CGIS_LegendItem::CreateGraphics";
  m_dWidth = m_dHeight = 0.0;
  if (!(bLayerFound && m_pLayer != nullptr) && !ResolveLayer(kMethod, false)) {
    if (m_pOwner != nullptr && m_pOwner->GetMapElement() != nullptr && m_pOwner->GetMapElement()->GetMap()) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "m_pLayer == NULL");
    }
    return;
  }
  if (m_pLayer->GetLayerPtr() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "m_pLayer->GetLayerPtr() == NULL");
    return;
  }
  IGIS_LegendFormat* pFormat = m_pOwner->GetLegendFormat();
  IGIS_Symbol* pLabelSymbol = pFormat != nullptr ? pFormat->GetLabelSymbol() : nullptr;
  if (pLabelSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_txtsymbol == NULL");
    return;
  }
  bool bCompound = false;
  if (!IsVectorType(m_pLayer->GetType(), &bCompound)) return;
  IGIS_FeatureSet* pSet = m_pOwner->GetFeatureSetPtr();
  const double s = md::layout::SymbolUnitRatio(pSet);
  const std::int64_t n = GetLabelCount();
  const std::int64_t textH = Truncate(TextExtent(pLabelSymbol, "文").Height() * s);
  std::int64_t maxLabelW = 0;
  for (const std::string& label : m_labels) {
    maxLabelW =
        std::max<std::int64_t>(maxLabelW, Truncate(TextExtent(pLabelSymbol, label.c_str()).Width() * s));
  }
  const std::int64_t patchH = pFormat->GetDefaultPatchHeight();
  const std::int64_t rowH = textH > patchH ? textH : patchH;
  double width =
      static_cast<double>(pFormat->GetDefaultPatchWidth() + maxLabelW + pFormat->GetPatchAndLabelsGap());
  double height = n >= 1 ? static_cast<double>((rowH + pFormat->GetVerticalItemGap()) * (n - 1) + rowH) : 0.0;
  if (pFormat->GetShowLayerName()) {
    IGIS_Symbol* pNameSymbol = pFormat->GetLayerNameSymbol();
    std::int64_t nameW = 0, nameH = 0;
    if (pNameSymbol != nullptr) {
      const SGIS_Rect e = TextExtent(pNameSymbol, m_strLayerName.c_str());
      nameW = Truncate(e.Width() * s);
      nameH = Truncate(e.Height() * s);
    }
    if (static_cast<double>(nameW) > width) width = static_cast<double>(nameW);
    height = static_cast<double>(pFormat->GetLayerNameGap()) + height + static_cast<double>(nameH);
  }
  m_dWidth = width;
  m_dHeight = height;
}

// ---- Drawing ------------------------------------------------------------------

bool CGIS_LegendItem::Layout(SGIS_Point origin, LegendMarks* pMarks, const char* szMethod) {
  using namespace md::layout::legend;
  IGIS_MapElement* pFrame = m_pOwner != nullptr ? m_pOwner->GetMapElement() : nullptr;
  if (pFrame == nullptr) return false;
  if (!ResolveLayer(szMethod, false)) {
    if (pFrame->GetMap() != nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "m_pLayer == NULL");
    return false;
  }
  IGIS_LegendFormat* pFormat = m_pOwner->GetLegendFormat();
  if (pFormat == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_format == NULL");
    return false;
  }
  IGIS_Symbol* pLabelSymbol = pFormat->GetLabelSymbol();
  if (pLabelSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_txtSymbol_label == NULL");
    return false;
  }
  bool bCompound = false;
  if (!IsVectorType(m_pLayer->GetType(), &bCompound)) return true;
  IGIS_LayerData* pData = m_pLayer->GetLayerPtr();
  // A compound layer's classes are those of its vector layer: without either
  // the item shows nothing.
  IGIS_VectorMapLayer* pVector = nullptr;
  if (bCompound) {
    auto* pCompoundData = dynamic_cast<IGIS_VectorCompoundMapLayer*>(pData);
    if (pCompoundData == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_VectorCompoundMapLayer == NULL");
      return false;
    }
    pVector = pCompoundData->GetVectorMapLayer();
    if (pVector == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_vectorMapLayer == NULL");
      return false;
    }
  } else {
    if (pData == nullptr) return false;
    pVector = dynamic_cast<IGIS_VectorMapLayer*>(pData);
  }
  IGIS_FeatureSet* pSet = m_pOwner->GetFeatureSetPtr();
  const double s = md::layout::SymbolUnitRatio(pSet);
  // Rows are as high as measured (CreateGraphics), for compound layers too,
  // so that no item reaches into the next.
  const int textH = md::basilo::detail::RoundToInt32(TextExtent(pLabelSymbol, "文").Height() * s);
  // A layer without a match table lists no classes.
  IGIS_SymbolMatchTable* pTable = pVector != nullptr ? pVector->GetSymbolMatchTable() : nullptr;

  // For each label of the item, the class drawn for it: the last entry of
  // that label with a symbol (of a patch category, for a plain vector
  // layer). One pass over the table, so the work grows with labels + classes.
  struct Chosen {
    IGIS_Symbol* pSymbol;
    int nCategory;
  };
  std::unordered_map<std::string_view, Chosen> chosen;
  if (pTable != nullptr && !m_labels.empty()) {
    std::unordered_set<std::string_view> wanted(m_labels.begin(), m_labels.end());
    const int m = std::min(pTable->GetCount(), GIS_MATCHTABLE_MAX_ENTRIES);
    for (int j = m - 1; j >= 0; --j) {
      const char* szLabel = pTable->GetLabel(j);
      if (szLabel == nullptr) continue;
      auto w = wanted.find(std::string_view(szLabel));
      if (w == wanted.end() || chosen.count(*w) != 0) continue;
      IGIS_Symbol* pSymbol = pTable->GetSymbol(j);
      if (pSymbol == nullptr) {
        GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_legend_symbol == NULL");
        continue;
      }
      const int category = GetLegendSymbolCategory(pSymbol->GetType());
      if (category != kPatchPoint && category != kPatchLine && category != kPatchArea) {
        GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "符号类型不符合要求,不属于事先定义的点线面符号类型");
        if (!bCompound) continue;
      }
      chosen.emplace(*w, Chosen{pSymbol, category});
    }
  }

  const int patchW = pFormat->GetDefaultPatchWidth();
  const int patchH = pFormat->GetDefaultPatchHeight();
  const int rowH = textH > patchH ? textH : patchH;
  const int gap = pFormat->GetVerticalItemGap();
  SGIS_Point p = origin;
  for (auto it = m_labels.rbegin(); it != m_labels.rend(); ++it) {
    auto found = chosen.find(std::string_view(*it));
    if (found == chosen.end() && bCompound) continue;
    if (found != chosen.end()) {
      const int left = p.x;
      const int bottom = Add(p.y, (static_cast<std::int64_t>(rowH) - patchH) / 2);
      AddPatchMark(pMarks, found->second.pSymbol, found->second.nCategory, left, Add(left, patchW), bottom,
                   Add(bottom, patchH));
    }
    if (pFormat->GetShowLabel()) {
      const SGIS_Point at(Add(Add(p.x, patchW), pFormat->GetPatchAndLabelsGap()),
                          Add(p.y, (static_cast<std::int64_t>(rowH) - textH) / 2));
      AddTextMark(pMarks, pLabelSymbol, it->c_str(), at);
    }
    p.y = Add(p.y, static_cast<std::int64_t>(gap) + rowH);
  }
  if (!m_labels.empty()) p.y = Add(p.y, -static_cast<std::int64_t>(gap));
  if (pFormat->GetShowLayerName()) {
    p.y = Add(p.y, pFormat->GetLayerNameGap());
    IGIS_Symbol* pNameSymbol = pFormat->GetLayerNameSymbol();
    // Without a layer-name symbol a compound layer names itself in the label symbol.
    if (pNameSymbol == nullptr && bCompound) pNameSymbol = pLabelSymbol;
    if (pNameSymbol != nullptr) AddTextMark(pMarks, pNameSymbol, m_strLayerName.c_str(), p);
  }
  return true;
}

bool CGIS_LegendItem::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Point origin) {
  IGIS_FeatureSet* pSet = m_pOwner != nullptr ? m_pOwner->GetFeatureSetPtr() : nullptr;
  IGIS_FeatureClass* pClass = pSet != nullptr ? pSet->GetFeatureClass() : nullptr;
  IGIS_SpatialReference* pReference = pClass != nullptr ? pClass->GetSpatialReference() : nullptr;
  LegendMarks marks;
  if (!Layout(origin, &marks, kDrawMethod)) return false;
  return md::layout::legend::DrawLegendMarks(hdc, bPrint, pDisplay, pReference, marks, kDrawMethod, pSet) !=
         FALSE;
}

extern "C" IGIS_LegendItem* GIS_CreateLegendItemObject(IGIS_LegendElement* pOwner) {
  return md::basilo::MakeOrNull<CGIS_LegendItem>("GIS_CreateLegendItemObject", pOwner);
}
