// The legend format: defaults, symbol setters, storage, copying and scaling.
#include "layout/graphicelement/legend/cgis_legendformat.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/basilo/sgis_types.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/legend/legendtext.h"

namespace {

using PropertySetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;
using md::layout::legend::CloneTextSymbol;
using md::layout::legend::NewTextSymbol;
using SymbolPtr = md::basilo::ReleasePtr<IGIS_Symbol>;

int Scaled(int nValue, double dFactor) { return md::basilo::detail::RoundToInt32(nValue * dFactor); }

// Room for one saved symbol, to compare it with stored bytes; a symbol
// saving more is taken as different.
class SymbolScratch final : public IGIS_DataBuffer {
 public:
  static constexpr int kRoom = 512;
  void Release() override {}  // lives on the stack
  int GetSize() const override { return m_nSize; }
  BOOL SetSize(int n) override {
    if (n < 0 || n > kRoom) return FALSE;
    m_nSize = n;
    return TRUE;
  }
  BYTE* GetData() override { return m_bytes; }

 private:
  BYTE m_bytes[kRoom];
  int m_nSize = 0;
};

// Whether the symbol saves exactly the stored bytes.
bool SavesAs(IGIS_Symbol* pSymbol, std::span<const BYTE> stored) {
  if (stored.empty() || stored.size() > static_cast<std::size_t>(SymbolScratch::kRoom)) return false;
  SymbolScratch scratch;
  return pSymbol->Save(&scratch) && static_cast<std::size_t>(scratch.GetSize()) == stored.size() &&
         std::memcmp(scratch.GetData(), stored.data(), stored.size()) == 0;
}

}  // namespace

CGIS_LegendFormat::CGIS_LegendFormat()
    : m_pTitleSymbol(NewTextSymbol()),
      m_pLayerNameSymbol(NewTextSymbol()),
      m_pHeadingSymbol(NewTextSymbol()),
      m_pLabelSymbol(NewTextSymbol()) {}

CGIS_LegendFormat::~CGIS_LegendFormat() = default;

void CGIS_LegendFormat::ReplaceSymbol(SymbolPtr* pHeld, unsigned bit, IGIS_Symbol* pSymbol,
                                      const char* szMethod, const char* szText) {
  if (pSymbol != pHeld->get()) m_factoryMade &= ~bit;
  md::layout::legend::ReplaceTextSymbol(pHeld, pSymbol, GIS_LOG_LEVEL_CHECK, szMethod, szText);
}

void CGIS_LegendFormat::SetTitleSymbolPtr(IGIS_Symbol* pSymbol) {
  ReplaceSymbol(&m_pTitleSymbol, kTitleBit, pSymbol, "CGIS_LegendFormat::SetTitleSymbolPtr",
                "pTitleSymbol == NULL");
}

void CGIS_LegendFormat::SetLayerNameSymbolPtr(IGIS_Symbol* pSymbol) {
  ReplaceSymbol(&m_pLayerNameSymbol, kLayerNameBit, pSymbol, "CGIS_LegendFormat::SetLayerNameSymbolPtr",
                "pLayerNameSymbol == NULL");
}

void CGIS_LegendFormat::SetHeadingSymbolPtr(IGIS_Symbol* pSymbol) {
  ReplaceSymbol(&m_pHeadingSymbol, kHeadingBit, pSymbol, "CGIS_LegendFormat::SetHeadingSymbolPtr",
                "pHeadingSymbol == NULL");
}

void CGIS_LegendFormat::SetLabelSymbolPtr(IGIS_Symbol* pSymbol) {
  ReplaceSymbol(&m_pLabelSymbol, kLabelBit, pSymbol, "CGIS_LegendFormat::SetLabelSymbolPtr",
                "pLabelSymbol == NULL");
}

// ---- Storage ------------------------------------------------------------------

bool CGIS_LegendFormat::Save(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_LegendFormat::Save", "pDataBuffer == NULL");
    return false;
  }
  // Unchanged since the last save, the format stores the same bytes again.
  if (m_bStoredKept && SymbolsSaveAsKept()) {
    const int n = static_cast<int>(m_stored.size());
    if (!pBuffer->SetSize(n) || pBuffer->GetSize() != n || pBuffer->GetData() == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PropertySet::Archive", "cannot size the buffer to %d bytes", n);
      return false;
    }
    std::memcpy(pBuffer->GetData(), m_stored.data(), m_stored.size());
    return true;
  }
  md::layout::StoredSetWriter set;
  auto putSymbol = [&](const char* key, const char* description, IGIS_Symbol* pSymbol) {
    set.SavedInPlace(key, description, [pSymbol](IGIS_DataBuffer* b) {
      if (pSymbol != nullptr) pSymbol->Save(b);
    });
  };
  set.Bool("ShowTitle", "是否显示标题", m_bShowTitle);
  set.Int("DefaultPatchHeight", "默认图例块的高度", m_nDefaultPatchHeight);
  set.Int("DefaultPatchWidth", "默认图例块的宽度", m_nDefaultPatchWidth);
  set.Int("HorizontalItemGap", "列", m_nHorizontalItemGap);
  set.Int("VerticalItemGap", "行", m_nVerticalItemGap);
  set.Int("TitleAndLegendGap", "图例水平间隔", m_nTitleAndLegendGap);
  set.Int("TitlePosition", "标题位置", m_nTitlePosition);
  set.Int("DefaultAreaPatch", "面块类型", m_nDefaultAreaPatch);
  set.Int("DefaultLinePatch", "线块类型", m_nDefaultLinePatch);
  set.Int("PatchAndLabelsGap", "线块类型", m_nPatchAndLabelsGap);
  putSymbol("TitleSymbol", "标题的符号", m_pTitleSymbol.get());
  set.Bool("ShowLabel", "是否显示图例说明", m_bShowLabel);
  putSymbol("LabelSymbol", "图例说明的符号", m_pLabelSymbol.get());
  set.Bool("ShowLayerName", "是否显示图层名称", m_bShowLayerName);
  putSymbol("LayerNameSymbol", "图层名称的符号", m_pLayerNameSymbol.get());
  set.Bool("ShowHeading", "是否显示副标题", m_bShowHeading);
  putSymbol("HeadingSymbol", "副标题的符号", m_pHeadingSymbol.get());
  // The gaps the layout uses and the label position, after the older keys.
  set.Int("ItemGap", "层图例间距", m_nItemGap);
  set.Int("LayerNameGap", "层名间隔", m_nLayerNameGap);
  set.Int("HeadingGap", "副标题间隔", m_nHeadingGap);
  set.Int("LabelPosition", "标注位置", m_nLabelPosition);
  if (!set.Finish(pBuffer)) return false;
  KeepStored(md::layout::BufferBytes(pBuffer));
  return true;
}

void CGIS_LegendFormat::KeepStored(std::span<const BYTE> bytes) {
  m_stored.assign(bytes.begin(), bytes.end());
  const md::layout::StoredSetView set{std::span<const BYTE>(m_stored)};
  m_bStoredKept = !set.Damaged();
  std::size_t i = 0;
  for (const char* szKey : {"TitleSymbol", "LabelSymbol", "LayerNameSymbol", "HeadingSymbol"}) {
    const std::span<const BYTE>* pBytes = set.Bytes(szKey);
    if (pBytes == nullptr) {
      m_bStoredKept = false;
      return;
    }
    m_symbolAt[i++] = {static_cast<std::size_t>(pBytes->data() - m_stored.data()), pBytes->size()};
  }
}

bool CGIS_LegendFormat::SymbolsSaveAsKept() {
  const IGIS_Symbol* held[] = {m_pTitleSymbol.get(), m_pLabelSymbol.get(), m_pLayerNameSymbol.get(),
                               m_pHeadingSymbol.get()};
  for (std::size_t i = 0; i < 4; ++i) {
    const std::span<const BYTE> kept(m_stored.data() + m_symbolAt[i].first, m_symbolAt[i].second);
    // A missing symbol stores no bytes.
    if (held[i] == nullptr ? !kept.empty() : !SavesAs(const_cast<IGIS_Symbol*>(held[i]), kept)) return false;
  }
  return true;
}

bool CGIS_LegendFormat::Open(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_LegendFormat::Open", "pDataBuffer为空");
    return false;
  }
  return OpenStored(md::layout::BufferBytes(pBuffer));
}

bool CGIS_LegendFormat::OpenStored(std::span<const BYTE> bytes) {
  m_bSymbolsAsStored = false;
  // The bytes last saved, with no value changed since, hold the values held;
  // only the symbols are compared with theirs.
  if (m_bStoredKept && std::equal(bytes.begin(), bytes.end(), m_stored.begin(), m_stored.end())) {
    md::basilo::StoredFieldView field;
    field.type = GIS_FIELD_TYPE_BUFFER;
    auto readKept = [&](std::size_t i, const char* szKey, SymbolPtr* pHeld, unsigned bit) {
      field.key = szKey;
      field.bytes = std::span<const BYTE>(m_stored.data() + m_symbolAt[i].first, m_symbolAt[i].second);
      return ReadSymbol(&field, szKey, pHeld, bit);
    };
    const bool bTitle = readKept(0, "TitleSymbol", &m_pTitleSymbol, kTitleBit);
    const bool bLabel = readKept(1, "LabelSymbol", &m_pLabelSymbol, kLabelBit);
    const bool bLayerName = readKept(2, "LayerNameSymbol", &m_pLayerNameSymbol, kLayerNameBit);
    readKept(3, "HeadingSymbol", &m_pHeadingSymbol, kHeadingBit);
    m_bSymbolsAsStored = bTitle && bLabel && bLayerName;
    return true;
  }
  const md::layout::StoredSetView set(bytes);
  if (set.Damaged()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_LegendFormat::Open", "pPropertySet->Archive() == FALSE");
    return false;
  }
  auto getInt = [&](const char* key, int* pValue) { set.Read(key, pValue); };
  auto getBool = [&](const char* key, bool* pValue) { set.Read(key, pValue); };
  // In the stored order, so that each key is found where the last one ended.
  getBool("ShowTitle", &m_bShowTitle);
  getInt("DefaultPatchHeight", &m_nDefaultPatchHeight);
  getInt("DefaultPatchWidth", &m_nDefaultPatchWidth);
  getInt("HorizontalItemGap", &m_nHorizontalItemGap);
  getInt("VerticalItemGap", &m_nVerticalItemGap);
  getInt("TitleAndLegendGap", &m_nTitleAndLegendGap);
  getInt("TitlePosition", &m_nTitlePosition);
  getInt("DefaultAreaPatch", &m_nDefaultAreaPatch);
  getInt("DefaultLinePatch", &m_nDefaultLinePatch);
  getInt("PatchAndLabelsGap", &m_nPatchAndLabelsGap);
  getBool("ShowLabel", &m_bShowLabel);
  getBool("ShowLayerName", &m_bShowLayerName);
  getBool("ShowHeading", &m_bShowHeading);
  getInt("ItemGap", &m_nItemGap);
  getInt("LayerNameGap", &m_nLayerNameGap);
  getInt("HeadingGap", &m_nHeadingGap);
  getInt("LabelPosition", &m_nLabelPosition);

  m_bStoredKept = false;
  const bool bTitle = ReadSymbol(set.Find("TitleSymbol"), "TitleSymbol", &m_pTitleSymbol, kTitleBit);
  const bool bLabel = ReadSymbol(set.Find("LabelSymbol"), "LabelSymbol", &m_pLabelSymbol, kLabelBit);
  const bool bLayerName =
      ReadSymbol(set.Find("LayerNameSymbol"), "LayerNameSymbol", &m_pLayerNameSymbol, kLayerNameBit);
  ReadSymbol(set.Find("HeadingSymbol"), "HeadingSymbol", &m_pHeadingSymbol, kHeadingBit);
  m_bSymbolsAsStored = bTitle && bLabel && bLayerName;
  return true;
}

bool CGIS_LegendFormat::ReadSymbol(const md::basilo::StoredFieldView* pField, const char* szKey,
                                   SymbolPtr* pHeld, unsigned bit) {
  if (pField == nullptr) return false;
  // A symbol of the factory's that saves the stored bytes is what reading
  // them makes: it is kept.
  if ((m_factoryMade & bit) != 0 && *pHeld && pField->type == GIS_FIELD_TYPE_BUFFER &&
      SavesAs(pHeld->get(), pField->bytes)) {
    return true;
  }
  SymbolPtr symbol(GetSymbolFromStored(pField, szKey));
  // A missing, empty or non-text symbol leaves the held one.
  IGIS_Symbol* pText = symbol ? symbol->GetTextPart() : nullptr;
  if (pText == nullptr) return false;
  // The symbol read is held itself where it is its own text part, as a copy
  // otherwise.
  if (pText == symbol.get()) {
    pHeld->reset(symbol.release());
  } else {
    pHeld->reset(CloneTextSymbol(pText));
  }
  m_factoryMade |= bit;
  return *pHeld != nullptr;
}

// ---- Copying and scaling ---------------------------------------------------------

IGIS_LegendFormat* CGIS_LegendFormat::CopyFrom(IGIS_LegendFormat* pSource) {
  if (pSource == nullptr || pSource == this) return this;
  m_bStoredKept = false;
  m_nDefaultAreaPatch = pSource->GetDefaultAreaPatch();
  m_nDefaultLinePatch = pSource->GetDefaultLinePatch();
  m_nDefaultPatchHeight = pSource->GetDefaultPatchHeight();
  m_nDefaultPatchWidth = pSource->GetDefaultPatchWidth();
  m_nHorizontalItemGap = pSource->GetHorizontalItemGap();
  m_bShowTitle = pSource->GetShowTitle();
  m_nTitleAndLegendGap = pSource->GetTitleAndLegendGap();
  m_nTitlePosition = pSource->GetTitlePosition();
  m_nVerticalItemGap = pSource->GetVerticalItemGap();
  m_nPatchAndLabelsGap = pSource->GetPatchAndLabelsGap();
  m_nHeadingGap = pSource->GetHeadingGap();
  m_nLayerNameGap = pSource->GetLayerNameGap();
  m_nItemGap = pSource->GetItemGap();
  m_nLabelPosition = pSource->GetLabelPosition();
  m_bShowLabel = pSource->GetShowLabel();
  m_bShowHeading = pSource->GetShowHeading();
  m_bShowLayerName = pSource->GetShowLayerName();
  // A source without a symbol leaves this format without one too (quietly).
  auto copy = [this](SymbolPtr* pHeld, unsigned bit, IGIS_Symbol* pSymbol) {
    if (pSymbol == pHeld->get()) return;
    pHeld->reset(CloneTextSymbol(pSymbol));
    m_factoryMade &= ~bit;
  };
  copy(&m_pTitleSymbol, kTitleBit, pSource->GetTitleSymbol());
  copy(&m_pLabelSymbol, kLabelBit, pSource->GetLabelSymbol());
  copy(&m_pHeadingSymbol, kHeadingBit, pSource->GetHeadingSymbol());
  copy(&m_pLayerNameSymbol, kLayerNameBit, pSource->GetLayerNameSymbol());
  return this;
}

IGIS_LegendFormat* CGIS_LegendFormat::Clone() {
  CGIS_LegendFormat* pClone = md::basilo::MakeOrNull<CGIS_LegendFormat>("CGIS_LegendFormat::Clone");
  if (pClone != nullptr) pClone->CopyFrom(this);
  return pClone;
}

void CGIS_LegendFormat::Scale(double sx, double sy) {
  if (!(sx >= 0.0) || !(sy >= 0.0) || !std::isfinite(sx) || !std::isfinite(sy)) return;
  const double f = sx < sy ? sx : sy;
  m_bStoredKept = false;
  for (int* p : {&m_nDefaultPatchHeight, &m_nDefaultPatchWidth, &m_nHorizontalItemGap, &m_nTitleAndLegendGap,
                 &m_nVerticalItemGap, &m_nPatchAndLabelsGap, &m_nHeadingGap, &m_nLayerNameGap, &m_nItemGap}) {
    *p = Scaled(*p, f);
  }
  for (IGIS_Symbol* pSymbol :
       {m_pTitleSymbol.get(), m_pLayerNameSymbol.get(), m_pHeadingSymbol.get(), m_pLabelSymbol.get()}) {
    LOGFONT* pFont = pSymbol != nullptr ? pSymbol->GetFontSizePtr() : nullptr;
    if (pFont != nullptr) pFont->lfHeight = Scaled(pFont->lfHeight, f);
  }
}

extern "C" IGIS_LegendFormat* GIS_CreateLegendFormatObject() {
  return md::basilo::MakeOrNull<CGIS_LegendFormat>("GIS_CreateLegendFormatObject");
}
