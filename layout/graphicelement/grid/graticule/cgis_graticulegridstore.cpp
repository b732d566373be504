// The graticule's stored keys (FORMAT.md beside this file), written before
// the common keys of every grid and read before them.
#include <climits>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/graticule/cgis_graticulegrid.h"

namespace {

using PropertySetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;

constexpr const char* kSave = "CGIS_GraticuleGrid::Save";
constexpr const char* kOpen = "CGIS_GraticuleGrid::Open";

// The field of the key, added with the key as its description.
IGIS_Field* Key(IGIS_PropertySet* pSet, const char* szKey, int nType) {
  return pSet->AddProperty(szKey, szKey, nType, 1);
}

void WriteDouble(IGIS_PropertySet* pSet, const char* szKey, double d) {
  if (IGIS_Field* f = Key(pSet, szKey, GIS_FIELD_TYPE_DOUBLE)) f->SetDouble(d);
}
void WriteInt(IGIS_PropertySet* pSet, const char* szKey, int n) {
  if (IGIS_Field* f = Key(pSet, szKey, GIS_FIELD_TYPE_INT)) f->SetInt(n);
}
void WriteBool(IGIS_PropertySet* pSet, const char* szKey, bool b) {
  if (IGIS_Field* f = Key(pSet, szKey, GIS_FIELD_TYPE_BOOL)) f->SetBool(b);
}
// The key's buffer, emptied, holding the symbol when there is one; false
// when a symbol could not be written.
bool WriteSymbol(IGIS_PropertySet* pSet, const char* szKey, IGIS_Symbol* pSymbol) {
  IGIS_Field* f = Key(pSet, szKey, GIS_FIELD_TYPE_BUFFER);
  IGIS_DataBuffer* pBuffer = f != nullptr ? f->GetDataBuffer() : nullptr;
  if (pBuffer != nullptr) pBuffer->SetSize(0);
  return pSymbol == nullptr || (pBuffer != nullptr && pSymbol->Save(pBuffer));
}

void ReadDouble(IGIS_PropertySet* pSet, const char* szKey, double* pOut) {
  if (IGIS_Field* f = pSet->GetProperty(szKey)) *pOut = f->GetDouble();
}
void ReadBool(IGIS_PropertySet* pSet, const char* szKey, bool* pOut) {
  if (IGIS_Field* f = pSet->GetProperty(szKey)) *pOut = f->GetBool();
}
void ReadInt(IGIS_PropertySet* pSet, const char* szKey, int* pOut) {
  if (IGIS_Field* f = pSet->GetProperty(szKey)) *pOut = f->GetInt();
}
// A hatch length: missing or the most negative int reads the default.
int ReadLength(IGIS_PropertySet* pSet, const char* szKey, int nDefault) {
  IGIS_Field* f = pSet->GetProperty(szKey);
  const int n = f != nullptr ? f->GetInt() : INT_MIN;
  return n == INT_MIN ? nDefault : n;
}

}  // namespace

bool CGIS_GraticuleGrid::Save(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kSave, "pDataBuffer为空");
    return false;
  }
  PropertySetPtr set(GIS_CreatePropertySetObject());
  if (!set) return false;
  IGIS_PropertySet* s = set.get();
  WriteDouble(s, "AxisTickOffset", m_dAxisTickOffset);
  WriteDouble(s, "InteriorLabelIntervalX", m_dInteriorLabelIntervalX);
  WriteDouble(s, "InteriorLabelIntervalY", m_dInteriorLabelIntervalY);
  WriteDouble(s, "HatchIntervalX", m_dHatchIntervalX);
  WriteDouble(s, "HatchIntervalY", m_dHatchIntervalY);
  WriteBool(s, "ShowInteriorLabels", m_bShowInteriorLabels);
  WriteDouble(s, "HatchLength", m_dHatchLength);
  WriteBool(s, "HatchDirectional", m_bHatchDirectional);
  bool bOk = WriteSymbol(s, "HatchLineSymbol", m_pHatchLineSymbol.get());
  WriteInt(s, "MainHatchLength", m_nMainHatchLength);
  WriteInt(s, "MainHatchCount", m_nMainHatchCount);
  WriteBool(s, "MainHatchDirectional", m_bMainHatchDirectional);
  bOk = WriteSymbol(s, "MainHatchLineSymbol", m_pMainHatchLineSymbol.get()) && bOk;
  WriteInt(s, "SubHatchLength", m_nSubHatchLength);
  WriteInt(s, "SubHatchCount", m_nSubHatchCount);
  WriteBool(s, "SubHatchDirectional", m_bSubHatchDirectional);
  bOk = WriteSymbol(s, "SubHatchLineSymbol", m_pSubHatchLineSymbol.get()) && bOk;
  IGIS_Field* pSpacing = Key(s, "pGridSpacing", GIS_FIELD_TYPE_BUFFER);
  IGIS_DataBuffer* pSpacingBuffer = pSpacing != nullptr ? pSpacing->GetDataBuffer() : nullptr;
  if (pSpacingBuffer != nullptr) pSpacingBuffer->SetSize(0);
  if (m_pGridSpacing && (pSpacingBuffer == nullptr || !m_pGridSpacing->Save(pSpacingBuffer))) bOk = false;
  if (!set->Archive(pBuffer, GIS_ARCHIVE_WRITE, 0)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kSave, "b_ret == NULL");
    return false;
  }
  if (!SaveCommon(pBuffer)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kSave, "b_ret == NULL");
    return false;
  }
  return bOk;
}

bool CGIS_GraticuleGrid::Open(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOpen, "pDataBuffer为空");
    return false;
  }
  PropertySetPtr set(GIS_CreatePropertySetObject());
  if (!set) return false;
  if (!set->Archive(pBuffer, GIS_ARCHIVE_READ, 0)) GIS_LOG(GIS_LOG_LEVEL_CHECK, kOpen, "b_ret == NULL");
  IGIS_PropertySet* s = set.get();
  md::basilo::ReleasePtr<IGIS_Symbol> read;
  auto symbol = [&](const char* szKey) {
    read.reset(GetSymbolFromField(s->GetProperty(szKey)));
    return md::layout::SymbolPartOf(read.get(), md::layout::SymbolKind::Line);
  };
  ReadDouble(s, "AxisTickOffset", &m_dAxisTickOffset);
  ReadDouble(s, "InteriorLabelIntervalX", &m_dInteriorLabelIntervalX);
  ReadDouble(s, "InteriorLabelIntervalY", &m_dInteriorLabelIntervalY);
  ReadDouble(s, "HatchIntervalX", &m_dHatchIntervalX);
  ReadDouble(s, "HatchIntervalY", &m_dHatchIntervalY);
  ReadBool(s, "ShowInteriorLabels", &m_bShowInteriorLabels);
  ReadDouble(s, "HatchLength", &m_dHatchLength);
  ReadBool(s, "HatchDirectional", &m_bHatchDirectional);
  if (IGIS_Symbol* p = symbol("HatchLineSymbol")) SetHatchLineSymbolPtr(p);
  ReadInt(s, "MainHatchCount", &m_nMainHatchCount);
  m_nMainHatchLength = ReadLength(s, "MainHatchLength", kDefaultMainHatchLength);
  ReadBool(s, "MainHatchDirectional", &m_bMainHatchDirectional);
  if (IGIS_Symbol* p = symbol("MainHatchLineSymbol")) SetMainHatchLineSymbolPtr(p);
  ReadInt(s, "SubHatchCount", &m_nSubHatchCount);
  m_nSubHatchLength = ReadLength(s, "SubHatchLength", kDefaultSubHatchLength);
  ReadBool(s, "SubHatchDirectional", &m_bSubHatchDirectional);
  if (IGIS_Symbol* p = symbol("SubHatchLineSymbol")) SetSubHatchLineSymbolPtr(p);
  if (IGIS_Field* f = s->GetProperty("pGridSpacing")) {
    if (!m_pGridSpacing) m_pGridSpacing.reset(NewSpacing(kOpen));
    if (m_pGridSpacing) m_pGridSpacing->Open(f->GetDataBuffer());
  }
  set.reset();
  return OpenCommon(pBuffer);
}
