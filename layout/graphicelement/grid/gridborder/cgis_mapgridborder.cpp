// The grid border: settings, symbols, copies and the stored form.
#include "layout/graphicelement/grid/gridborder/cgis_mapgridborder.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/gridborder/gridborderdraw.h"

namespace {

using md::layout::SymbolKind;
using PropertySetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;

constexpr int kBackgroundStyle = 3361;
constexpr int kForegroundStyle = 3362;
constexpr int kSimpleStyle = 3332;

IGIS_Field* Key(IGIS_PropertySet* pSet, const char* szKey, int nType) {
  return pSet->AddProperty(szKey, szKey, nType, 1);
}

// The symbol key; the symbol, when there is one, saves itself into it.
void WriteSymbol(IGIS_PropertySet* pSet, const char* szKey, IGIS_Symbol* pSymbol) {
  IGIS_Field* f = Key(pSet, szKey, GIS_FIELD_TYPE_BUFFER);
  IGIS_DataBuffer* pBuffer = f != nullptr ? f->GetDataBuffer() : nullptr;
  if (pBuffer != nullptr && pSymbol != nullptr) pSymbol->Save(pBuffer);
}

// The flag key beside a symbol: TRUE when the symbol is present.
void WriteFlag(IGIS_PropertySet* pSet, const char* szKey, IGIS_Symbol* pSymbol) {
  if (IGIS_Field* f = Key(pSet, szKey, GIS_FIELD_TYPE_BOOL)) {
    f->SetBool(pSymbol != nullptr);
  } else {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapGridBorder::Save", "p_field == NULL");
  }
}

}  // namespace

namespace md::layout::grid {
IGIS_MapGridBorder* CreateMapGridBorder(IGIS_MapGrid* pGrid) {
  CGIS_MapGridBorder* pBorder = md::basilo::MakeOrNull<CGIS_MapGridBorder>("CreateMapGridBorder");
  if (pBorder != nullptr) pBorder->SetMapGrid(pGrid);
  return pBorder;
}
}  // namespace md::layout::grid

CGIS_MapGridBorder::CGIS_MapGridBorder()
    : m_pBackgroundSymbol(md::layout::NewStyledSymbol(SymbolKind::Fill, kBackgroundStyle)),
      m_pForegroundSymbol(md::layout::NewStyledSymbol(SymbolKind::Fill, kForegroundStyle)),
      m_pSimpleSymbol(md::layout::NewStyledSymbol(SymbolKind::Line, kSimpleStyle)) {}

void CGIS_MapGridBorder::Release() { delete this; }

void CGIS_MapGridBorder::SetBackgroundSymbolPtr(IGIS_Symbol* pSymbol) {
  md::layout::ReplaceSymbol(&m_pBackgroundSymbol, pSymbol, SymbolKind::Fill,
                            "CGIS_MapGridBorder::SetBackgroundSymbolPtr");
}

void CGIS_MapGridBorder::SetForegroundSymbolPtr(IGIS_Symbol* pSymbol) {
  md::layout::ReplaceSymbol(&m_pForegroundSymbol, pSymbol, SymbolKind::Fill,
                            "CGIS_MapGridBorder::SetForegroundSymbolPtr");
}

void CGIS_MapGridBorder::SetSimpleSymbolPtr(IGIS_Symbol* pSymbol) {
  md::layout::ReplaceSymbol(&m_pSimpleSymbol, pSymbol, SymbolKind::Line,
                            "CGIS_MapGridBorder::SetSimpleSymbolPtr", GIS_LOG_LEVEL_GRID);
}

void CGIS_MapGridBorder::SetInterval(int nInterval) {
  m_nInterval = nInterval < md::layout::grid::kMinGridBorderInterval
                    ? md::layout::grid::kMinGridBorderInterval
                    : nInterval;
}

const char* CGIS_MapGridBorder::GetBorderTypeName() {
  return m_nBorderType == GIS_GRIDBORDER_SIMPLE ? "简单边框" : "校准边框";
}

IGIS_MapGridBorder* CGIS_MapGridBorder::CopyFrom(IGIS_MapGridBorder* pOther) {
  if (pOther == nullptr || pOther == this) return this;
  m_bAlternating = pOther->GetAlternating();
  m_nBorderWidth = pOther->GetBorderWidth();
  m_nInterval = pOther->GetInterval();
  m_nBorderType = pOther->GetBorderType();
  SetBackgroundSymbolPtr(pOther->GetBackgroundSymbol());
  SetForegroundSymbolPtr(pOther->GetForegroundSymbol());
  SetSimpleSymbolPtr(pOther->GetSimpleSymbol());
  m_pMapGrid = pOther->GetMapGrid();
  return this;
}

IGIS_MapGridBorder* CGIS_MapGridBorder::Clone() {
  CGIS_MapGridBorder* pCopy = md::basilo::MakeOrNull<CGIS_MapGridBorder>("CGIS_MapGridBorder::Clone");
  if (pCopy != nullptr) pCopy->CopyFrom(this);
  return pCopy;
}

bool CGIS_MapGridBorder::Save(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapGridBorder::Save", "pDataBuffer为空");
    return false;
  }
  PropertySetPtr set(GIS_CreatePropertySetObject());
  if (!set) return false;
  IGIS_PropertySet* s = set.get();
  if (IGIS_Field* f = Key(s, "Interval", GIS_FIELD_TYPE_INT)) f->SetInt(m_nInterval);
  if (IGIS_Field* f = Key(s, "BorderWidth", GIS_FIELD_TYPE_INT)) f->SetInt(m_nBorderWidth);
  if (IGIS_Field* f = Key(s, "Alternating", GIS_FIELD_TYPE_BOOL)) f->SetBool(m_bAlternating);
  WriteSymbol(s, "BackgroundSymbol", m_pBackgroundSymbol.get());
  WriteSymbol(s, "ForegroundSymbol", m_pForegroundSymbol.get());
  // The flags hold TRUE for a present symbol, whatever their names say.
  WriteFlag(s, "BackgroundSymbolIsNull", m_pBackgroundSymbol.get());
  WriteFlag(s, "ForegroundSymbolIsNull", m_pForegroundSymbol.get());
  WriteSymbol(s, "SimpleSymbol", m_pSimpleSymbol.get());
  WriteFlag(s, "SimpleSymbolIsNull", m_pSimpleSymbol.get());
  if (IGIS_Field* f = Key(s, "BorderType", GIS_FIELD_TYPE_INT)) f->SetInt(m_nBorderType);
  if (!set->Archive(pBuffer, GIS_ARCHIVE_WRITE, 0)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapGridBorder::Save", "b_ret == NULL");
    return false;
  }
  return true;
}

bool CGIS_MapGridBorder::Open(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapGridBorder::Open", "pDataBuffer为空");
    return false;
  }
  PropertySetPtr set(GIS_CreatePropertySetObject());
  if (!set || !set->Archive(pBuffer, GIS_ARCHIVE_READ, 0)) return true;
  IGIS_PropertySet* s = set.get();
  if (IGIS_Field* f = s->GetProperty("Interval")) m_nInterval = f->GetInt();
  if (IGIS_Field* f = s->GetProperty("BorderWidth")) m_nBorderWidth = f->GetInt();
  if (IGIS_Field* f = s->GetProperty("Alternating")) m_bAlternating = f->GetBool();
  struct SymbolKey {
    const char* szKey;
    const char* szFlag;
    SymbolKind kind;
    void (CGIS_MapGridBorder::*set)(IGIS_Symbol*);
    md::basilo::ReleasePtr<IGIS_Symbol> CGIS_MapGridBorder::*held;
  };
  static constexpr SymbolKey kSymbols[] = {
      {"BackgroundSymbol", "BackgroundSymbolIsNull", SymbolKind::Fill,
       &CGIS_MapGridBorder::SetBackgroundSymbolPtr, &CGIS_MapGridBorder::m_pBackgroundSymbol},
      {"ForegroundSymbol", "ForegroundSymbolIsNull", SymbolKind::Fill,
       &CGIS_MapGridBorder::SetForegroundSymbolPtr, &CGIS_MapGridBorder::m_pForegroundSymbol},
      {"SimpleSymbol", "SimpleSymbolIsNull", SymbolKind::Line, &CGIS_MapGridBorder::SetSimpleSymbolPtr,
       &CGIS_MapGridBorder::m_pSimpleSymbol},
  };
  for (const SymbolKey& k : kSymbols) {
    // A border stored without the symbol reads back without it.
    if (IGIS_Field* pFlag = s->GetProperty(k.szFlag); pFlag != nullptr && !pFlag->GetBool()) {
      (this->*k.held).reset();
      continue;
    }
    md::basilo::ReleasePtr<IGIS_Symbol> read(GetSymbolFromField(s->GetProperty(k.szKey)));
    if (IGIS_Symbol* pPart = md::layout::SymbolPartOf(read.get(), k.kind)) (this->*k.set)(pPart);
  }
  if (IGIS_Field* f = s->GetProperty("BorderType")) m_nBorderType = f->GetInt();
  return true;
}
