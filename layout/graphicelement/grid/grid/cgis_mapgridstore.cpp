// The common stored keys of every grid (FORMAT.md beside this file).
#include <span>
#include <string>
#include <string_view>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/element/mapdeckutf8.h"
#include "layout/graphicelement/grid/grid/cgis_mapgridbase.h"
#include "layout/graphicelement/grid/grid/mapgridbordermaker.h"

namespace md::layout::grid {

namespace {

constexpr const char* kSaveMethod = "IGIS_MapGrid::Save";
constexpr const char* kOpenMethod = "IGIS_MapGrid::Open";

// The switch keys in stored order, with their descriptions.
constexpr const char* kFlagKeys[MapGridValues::kFlagCount][2] = {
    {"Toplabel", "顶端标注"},          {"Topsublabel", "顶端子标注"},    {"Leftlabel", "左端标注"},
    {"Leftsublabel", "左端子标注"},    {"Rightlabel", "右端标注"},       {"Rightsublabel", "右端子标注"},
    {"Bottomlabel", "底端标注"},       {"Bottomsublabel", "底端子标注"}, {"TopTick", "顶端主分割条"},
    {"TopsubTick", "顶端子分割条"},    {"LeftTick", "左端主分割条"},     {"LeftsubTick", "左端子分割条"},
    {"RightTick", "右端主分割条"},     {"RightsubTick", "右端子分割条"}, {"BottomTick", "底端主分割条"},
    {"BottomsubTick", "底端子分割条"}, {"Visible", "网格可见"},
};

// The common keys in stored order: a kindless grid's Save writes them after
// whatever the buffer held, in place of stored ones.
constexpr std::string_view kCommonKeys[] = {
    "ExteriorWidth", "szName",        "Toplabel",      "Topsublabel",       "Leftlabel",  "Leftsublabel",
    "Rightlabel",    "Rightsublabel", "Bottomlabel",   "Bottomsublabel",    "TopTick",    "TopsubTick",
    "LeftTick",      "LeftsubTick",   "RightTick",     "RightsubTick",      "BottomTick", "BottomsubTick",
    "Visible",       "SubTickCount",  "SubTickLength", "SubTickLineSymbol", "TickLength", "TickLineSymbol",
    "Border",        "GridlineType",  "LineSymbol",    "MarkSymbol",        "GridType",   "GridLabelType",
    "LabelFormat",   "TickDivision",
};

bool IsCommonKey(std::string_view key) {
  for (std::string_view k : kCommonKeys) {
    if (k == key) return true;
  }
  return false;
}

// The key's buffer holding the symbol when there is one, empty otherwise.
void WriteSymbol(StoredSetWriter* pSet, const char* szKey, const char* szDescription, IGIS_Symbol* pSymbol,
                 bool* pOk) {
  bool bSaved = pSymbol == nullptr;
  pSet->SavedInPlace(szKey, szDescription,
                     [&](IGIS_DataBuffer* pBuffer) { bSaved = bSaved || pSymbol->Save(pBuffer); });
  if (!bSaved) *pOk = false;
}

}  // namespace

void MapGridValues::WriteBorderKey(StoredSetWriter* pSet, bool* pOk) {
  if (m_pBorder) {
    bool bSaved = false;
    pSet->SavedInPlace("Border", "边界",
                       [&](IGIS_DataBuffer* pBuffer) { bSaved = m_pBorder->Save(pBuffer); });
    if (!bSaved) *pOk = false;
  } else {
    pSet->Bytes("Border", "边界",
                m_keptBorder.bKept ? std::span<const BYTE>(m_keptBorder.bytes) : std::span<const BYTE>());
  }
}

void MapGridValues::WriteLabelKeys(StoredSetWriter* pSet, bool* pOk) {
  if (m_pLabel) {
    pSet->Int("GridLabelType", "网格标注类型", m_pLabel->GetType());
    bool bSaved = false;
    pSet->SavedInPlace("LabelFormat", "标注数据",
                       [&](IGIS_DataBuffer* pBuffer) { bSaved = m_pLabel->Save(pBuffer); });
    if (!bSaved) *pOk = false;
  } else {
    // Without a label the type key stays 0, as a new field holds it.
    pSet->Int("GridLabelType", "网格标注类型", m_keptLabel.bKept ? m_keptLabel.nType : 0);
    pSet->Bytes("LabelFormat", "标注数据",
                m_keptLabel.bKept ? std::span<const BYTE>(m_keptLabel.bytes) : std::span<const BYTE>());
  }
}

bool MapGridValues::SaveCommon(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kSaveMethod, "pDataBuffer为空");
    return false;
  }
  // The keys the buffer holds stay first; stored common keys are written anew.
  StoredSetWriter set;
  const StoredSetView stored(pBuffer);
  if (stored.Damaged()) GIS_LOG(GIS_LOG_LEVEL_CHECK, kSaveMethod, "b_ret == NULL");
  for (const md::basilo::StoredFieldView& f : stored.Fields()) {
    if (!IsCommonKey(f.key)) set.Stored(f);
  }
  return SaveCommon(&set, pBuffer);
}

bool MapGridValues::SaveCommon(StoredSetWriter* pSet, IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kSaveMethod, "pDataBuffer为空");
    return false;
  }
  StoredSetWriter& s = *pSet;
  bool bOk = true;
  s.Double("ExteriorWidth", "ExteriorWidth", m_dExteriorWidth);
  s.String("szName", "格网名称", m_name);
  for (int i = 0; i < kFlagCount; ++i) s.Bool(kFlagKeys[i][0], kFlagKeys[i][1], m_flags[i]);
  s.Int("SubTickCount", "子分割数", m_nSubTickCount);
  s.Double("SubTickLength", "子分割长度", m_dSubTickLength);
  WriteSymbol(pSet, "SubTickLineSymbol", "子分割符号", m_symbols[kSubTickLineSymbol].get(), &bOk);
  s.Double("TickLength", "主分割长度", m_dTickLength);
  WriteSymbol(pSet, "TickLineSymbol", "主分割线符号", m_symbols[kTickLineSymbol].get(), &bOk);
  WriteBorderKey(pSet, &bOk);
  s.Int("GridlineType", "格网分割类型", m_nGridlineType);
  WriteSymbol(pSet, "LineSymbol", "线符号", m_symbols[kLineSymbol].get(), &bOk);
  WriteSymbol(pSet, "MarkSymbol", "点类型", m_symbols[kMarkSymbol].get(), &bOk);
  s.Int("GridType", "格网类型", m_pGrid->GetType());
  WriteLabelKeys(pSet, &bOk);
  s.Int("TickDivision", "TickDivision", m_nTickDivision);
  if (!s.Finish(pBuffer)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kSaveMethod, "b_ret == NULL");
    return false;
  }
  return bOk;
}

void MapGridValues::ReadLabelKeys(const StoredSetView& set) {
  int nType = -10;
  set.Read("GridLabelType", &nType);
  if (set.Find("LabelFormat") == nullptr || nType < 0) return;
  Decided(kPendingLabel);
  m_pLabel.reset();
  m_keptLabel = KeptLabel();
  // Read where it lies in the grid's bytes.
  const std::span<const BYTE>* pBytes = set.Bytes("LabelFormat");
  m_pLabel.reset(pBytes != nullptr ? CreateGridLabelInPlace(*pBytes)
                                   : GIS_CreateMapGridLabelFormatObjectFromDataBuffer(nullptr));
  if (m_pLabel) {
    m_pLabel->SetMapGrid(m_pGrid);
  } else {
    // No label class reads it: the stored label is written back as it was.
    if (pBytes != nullptr) m_keptLabel.bytes.assign(pBytes->begin(), pBytes->end());
    m_keptLabel.bKept = !m_keptLabel.bytes.empty();
    m_keptLabel.nType = nType;
  }
}

void MapGridValues::ReadBorderKey(const StoredSetView& set) {
  const std::span<const BYTE>* pBytes = set.Bytes("Border");
  if (pBytes == nullptr) return;
  // Read where it lies in the grid's bytes.
  const StoredSetView border(*pBytes);
  if (border.Damaged()) {
    // A border no reader understands is written back as it was; the grid
    // draws none in its place.
    m_pBorder.reset();
    Decided(kPendingBorder);
    m_keptBorder.bytes.assign(pBytes->begin(), pBytes->end());
    m_keptBorder.bKept = true;
    return;
  }
  m_keptBorder = KeptBorder();
  if (!m_pBorder) {
    m_pBorder.reset(ReadNewMapGridBorder(m_pGrid, border));
    return;
  }
  if (!OpenMapGridBorderInPlace(m_pBorder.get(), border)) m_pBorder->Open(set.Buffer("Border"));
  m_pBorder->SetMapGrid(m_pGrid);
}

bool MapGridValues::OpenCommon(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOpenMethod, "pDataBuffer为空");
    return false;
  }
  const StoredSetView set(pBuffer);
  return OpenCommon(set);
}

bool MapGridValues::OpenCommon(const StoredSetView& s) {
  if (s.Damaged()) GIS_LOG(GIS_LOG_LEVEL_CHECK, kOpenMethod, "b_ret == NULL");
  md::basilo::ReleasePtr<IGIS_Symbol> read;
  // A symbol key left empty was written for a grid without that symbol,
  // which it stays after the read; an absent or unreadable key keeps the
  // grid's own.
  auto readSymbol = [&](const char* szKey, Symbol slot, SymbolKind kind) {
    const md::basilo::StoredFieldView* f = s.Find(szKey);
    if (f != nullptr && f->type == GIS_FIELD_TYPE_BUFFER && f->bytes.empty()) {
      m_symbols[slot].reset();
      Decided(1u << slot);
      return;
    }
    read.reset(GetSymbolFromStored(f, szKey));
    // The symbol read is held as the setter would hold its copy.
    if (IGIS_Symbol* p = SymbolPartOf(read.get(), kind)) {
      m_symbols[slot].reset(p);
      (void)read.release();
      Decided(1u << slot);
    }
  };
  s.Read("ExteriorWidth", &m_dExteriorWidth);
  std::string name;
  if (s.Read("szName", &name)) m_name = Utf8Cut(name.c_str(), kMaxNameBytes);
  for (int i = 0; i < kFlagCount; ++i) s.Read(kFlagKeys[i][0], &m_flags[i]);
  s.Read("SubTickCount", &m_nSubTickCount);
  s.Read("SubTickLength", &m_dSubTickLength);
  readSymbol("SubTickLineSymbol", kSubTickLineSymbol, SymbolKind::Line);
  s.Read("TickLength", &m_dTickLength);
  readSymbol("TickLineSymbol", kTickLineSymbol, SymbolKind::Line);
  // In the stored order, so that each key is found where the last one ended.
  ReadBorderKey(s);
  s.Read("GridlineType", &m_nGridlineType);
  readSymbol("LineSymbol", kLineSymbol, SymbolKind::Line);
  readSymbol("MarkSymbol", kMarkSymbol, SymbolKind::Point);
  ReadLabelKeys(s);
  // A grid stored without the key divides its ticks by 1; the division is
  // never below 1.
  int nDivision = 0;
  m_nTickDivision = s.Read("TickDivision", &nDivision) && nDivision >= 1 ? nDivision : 1;
  return true;
}

}  // namespace md::layout::grid
