// The common stored keys of every grid (FORMAT.md beside this file).
#include <cstring>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/element/mapdeckutf8.h"
#include "layout/graphicelement/grid/grid/cgis_mapgridbase.h"

namespace md::layout::grid {

namespace {

using PropertySetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;

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

IGIS_Field* Key(IGIS_PropertySet* pSet, const char* szKey, const char* szDescription, int nType) {
  return pSet->AddProperty(szKey, szDescription, nType, 1);
}

// The field's buffer emptied, or NULL.
IGIS_DataBuffer* EmptyBuffer(IGIS_Field* pField) {
  IGIS_DataBuffer* pBuffer = pField != nullptr ? pField->GetDataBuffer() : nullptr;
  if (pBuffer != nullptr) pBuffer->SetSize(0);
  return pBuffer;
}

void WriteSymbol(IGIS_PropertySet* pSet, const char* szKey, const char* szDescription, IGIS_Symbol* pSymbol,
                 bool* pOk) {
  IGIS_DataBuffer* pBuffer = EmptyBuffer(Key(pSet, szKey, szDescription, GIS_FIELD_TYPE_BUFFER));
  if (pSymbol != nullptr && (pBuffer == nullptr || !pSymbol->Save(pBuffer))) *pOk = false;
}

void WriteBytes(IGIS_DataBuffer* pBuffer, const std::vector<BYTE>& bytes) {
  if (pBuffer == nullptr || bytes.empty()) return;
  if (pBuffer->SetSize(static_cast<int>(bytes.size())))
    std::memcpy(pBuffer->GetData(), bytes.data(), bytes.size());
}

std::vector<BYTE> BytesOf(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr || pBuffer->GetSize() <= 0 || pBuffer->GetData() == nullptr) return {};
  return std::vector<BYTE>(pBuffer->GetData(), pBuffer->GetData() + pBuffer->GetSize());
}

// The stored symbol of the key rebuilt and seen as the kind (owned by the
// caller), or NULL; an absent or empty key writes the reader's record.
IGIS_Symbol* ReadSymbol(IGIS_PropertySet* pSet, const char* szKey, SymbolKind kind,
                        md::basilo::ReleasePtr<IGIS_Symbol>* pRead) {
  pRead->reset(GetSymbolFromField(pSet->GetProperty(szKey)));
  return SymbolPartOf(pRead->get(), kind);
}

}  // namespace

void MapGridValues::WriteBorderKey(IGIS_PropertySet* pSet, bool* pOk) {
  IGIS_DataBuffer* pBuffer = EmptyBuffer(Key(pSet, "Border", "边界", GIS_FIELD_TYPE_BUFFER));
  if (m_pBorder) {
    if (pBuffer == nullptr || !m_pBorder->Save(pBuffer)) *pOk = false;
  } else if (m_keptBorder.bKept) {
    WriteBytes(pBuffer, m_keptBorder.bytes);
  }
}

void MapGridValues::WriteLabelKeys(IGIS_PropertySet* pSet, bool* pOk) {
  IGIS_Field* pType = Key(pSet, "GridLabelType", "网格标注类型", GIS_FIELD_TYPE_INT);
  IGIS_DataBuffer* pBuffer = EmptyBuffer(Key(pSet, "LabelFormat", "标注数据", GIS_FIELD_TYPE_BUFFER));
  if (m_pLabel) {
    if (pType != nullptr) pType->SetInt(m_pLabel->GetType());
    if (pBuffer == nullptr || !m_pLabel->Save(pBuffer)) *pOk = false;
  } else if (m_keptLabel.bKept) {
    if (pType != nullptr) pType->SetInt(m_keptLabel.nType);
    WriteBytes(pBuffer, m_keptLabel.bytes);
  }
}

bool MapGridValues::SaveCommon(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kSaveMethod, "pDataBuffer为空");
    return false;
  }
  PropertySetPtr set(GIS_CreatePropertySetObject());
  if (!set) return false;
  // The kind's keys written just before stay first.
  if (!set->Archive(pBuffer, GIS_ARCHIVE_READ, 0)) GIS_LOG(GIS_LOG_LEVEL_CHECK, kSaveMethod, "b_ret == NULL");
  IGIS_PropertySet* s = set.get();
  bool bOk = true;
  if (IGIS_Field* f = Key(s, "ExteriorWidth", "ExteriorWidth", GIS_FIELD_TYPE_DOUBLE))
    f->SetDouble(m_dExteriorWidth);
  if (IGIS_Field* f = Key(s, "szName", "格网名称", GIS_FIELD_TYPE_STRING)) f->SetString(m_name.c_str());
  for (int i = 0; i < kFlagCount; ++i) {
    if (IGIS_Field* f = Key(s, kFlagKeys[i][0], kFlagKeys[i][1], GIS_FIELD_TYPE_BOOL)) f->SetBool(m_flags[i]);
  }
  if (IGIS_Field* f = Key(s, "SubTickCount", "子分割数", GIS_FIELD_TYPE_INT)) f->SetInt(m_nSubTickCount);
  if (IGIS_Field* f = Key(s, "SubTickLength", "子分割长度", GIS_FIELD_TYPE_DOUBLE))
    f->SetDouble(m_dSubTickLength);
  WriteSymbol(s, "SubTickLineSymbol", "子分割符号", m_symbols[kSubTickLineSymbol].get(), &bOk);
  if (IGIS_Field* f = Key(s, "TickLength", "主分割长度", GIS_FIELD_TYPE_DOUBLE)) f->SetDouble(m_dTickLength);
  WriteSymbol(s, "TickLineSymbol", "主分割线符号", m_symbols[kTickLineSymbol].get(), &bOk);
  WriteBorderKey(s, &bOk);
  if (IGIS_Field* f = Key(s, "GridlineType", "格网分割类型", GIS_FIELD_TYPE_INT)) f->SetInt(m_nGridlineType);
  WriteSymbol(s, "LineSymbol", "线符号", m_symbols[kLineSymbol].get(), &bOk);
  WriteSymbol(s, "MarkSymbol", "点类型", m_symbols[kMarkSymbol].get(), &bOk);
  if (IGIS_Field* f = Key(s, "GridType", "格网类型", GIS_FIELD_TYPE_INT)) f->SetInt(m_pGrid->GetType());
  WriteLabelKeys(s, &bOk);
  if (IGIS_Field* f = Key(s, "TickDivision", "TickDivision", GIS_FIELD_TYPE_INT)) f->SetInt(m_nTickDivision);
  if (!set->Archive(pBuffer, GIS_ARCHIVE_WRITE, 0)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kSaveMethod, "b_ret == NULL");
    return false;
  }
  return bOk;
}

void MapGridValues::ReadLabelKeys(IGIS_PropertySet* pSet) {
  IGIS_Field* pType = pSet->GetProperty("GridLabelType");
  const int nType = pType != nullptr ? pType->GetInt() : -10;
  IGIS_Field* pFormat = pSet->GetProperty("LabelFormat");
  if (pFormat == nullptr || nType < 0) return;
  m_pLabel.reset();
  m_keptLabel = KeptLabel();
  IGIS_DataBuffer* pBuffer = pFormat->GetDataBuffer();
  m_pLabel.reset(GIS_CreateMapGridLabelFormatObjectFromDataBuffer(pBuffer));
  if (m_pLabel) {
    m_pLabel->SetMapGrid(m_pGrid);
  } else {
    // No label class reads it: the stored label is written back as it was.
    m_keptLabel.bytes = BytesOf(pBuffer);
    m_keptLabel.bKept = !m_keptLabel.bytes.empty();
    m_keptLabel.nType = nType;
  }
}

void MapGridValues::ReadBorderKey(IGIS_PropertySet* pSet) {
  IGIS_Field* pField = pSet->GetProperty("Border");
  IGIS_DataBuffer* pBuffer = pField != nullptr ? pField->GetDataBuffer() : nullptr;
  if (pBuffer == nullptr) return;
  PropertySetPtr probe(GIS_CreatePropertySetObject());
  if (probe && !probe->Archive(pBuffer, GIS_ARCHIVE_READ, 0)) {
    // A border no reader understands is written back as it was; the grid
    // draws none in its place.
    m_pBorder.reset();
    m_keptBorder.bytes = BytesOf(pBuffer);
    m_keptBorder.bKept = true;
    return;
  }
  m_keptBorder = KeptBorder();
  if (!m_pBorder) m_pBorder.reset(CreateMapGridBorder(m_pGrid));
  if (!m_pBorder) return;
  m_pBorder->Open(pBuffer);
  m_pBorder->SetMapGrid(m_pGrid);
}

bool MapGridValues::OpenCommon(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOpenMethod, "pDataBuffer为空");
    return false;
  }
  PropertySetPtr set(GIS_CreatePropertySetObject());
  if (!set) return false;
  if (!set->Archive(pBuffer, GIS_ARCHIVE_READ, 0)) GIS_LOG(GIS_LOG_LEVEL_CHECK, kOpenMethod, "b_ret == NULL");
  IGIS_PropertySet* s = set.get();
  md::basilo::ReleasePtr<IGIS_Symbol> read;
  // A symbol key left empty was written for a grid without that symbol,
  // which it stays after the read; an absent or unreadable key keeps the
  // grid's own.
  auto readSymbol = [&](const char* szKey, Symbol slot, SymbolKind kind) {
    IGIS_Field* pField = s->GetProperty(szKey);
    IGIS_DataBuffer* pStored = pField != nullptr ? pField->GetDataBuffer() : nullptr;
    if (pStored != nullptr && pStored->GetSize() == 0) {
      m_symbols[slot].reset();
    } else if (IGIS_Symbol* p = ReadSymbol(s, szKey, kind, &read)) {
      SetSymbol(slot, p);
    }
  };
  if (IGIS_Field* f = s->GetProperty("ExteriorWidth")) m_dExteriorWidth = f->GetDouble();
  if (IGIS_Field* f = s->GetProperty("szName")) {
    if (const char* sz = f->GetString()) m_name = Utf8Cut(sz, kMaxNameBytes);
  }
  for (int i = 0; i < kFlagCount; ++i) {
    if (IGIS_Field* f = s->GetProperty(kFlagKeys[i][0])) m_flags[i] = f->GetBool();
  }
  if (IGIS_Field* f = s->GetProperty("SubTickCount")) m_nSubTickCount = f->GetInt();
  if (IGIS_Field* f = s->GetProperty("SubTickLength")) m_dSubTickLength = f->GetDouble();
  readSymbol("SubTickLineSymbol", kSubTickLineSymbol, SymbolKind::Line);
  if (IGIS_Field* f = s->GetProperty("TickLength")) m_dTickLength = f->GetDouble();
  readSymbol("TickLineSymbol", kTickLineSymbol, SymbolKind::Line);
  ReadLabelKeys(s);
  ReadBorderKey(s);
  if (IGIS_Field* f = s->GetProperty("GridlineType")) m_nGridlineType = f->GetInt();
  readSymbol("LineSymbol", kLineSymbol, SymbolKind::Line);
  readSymbol("MarkSymbol", kMarkSymbol, SymbolKind::Point);
  // A grid stored without the key divides its ticks by 1; the division is
  // never below 1.
  IGIS_Field* pDivision = s->GetProperty("TickDivision");
  m_nTickDivision = pDivision != nullptr && pDivision->GetInt() >= 1 ? pDivision->GetInt() : 1;
  return true;
}

}  // namespace md::layout::grid
