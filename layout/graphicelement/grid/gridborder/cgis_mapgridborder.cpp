// The grid border: settings, symbols, copies and the stored form.
#include "layout/graphicelement/grid/gridborder/cgis_mapgridborder.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/grid/mapgridbordermaker.h"
#include "layout/graphicelement/grid/gridborder/gridborderdraw.h"

namespace {

using md::layout::StoredSetView;
using md::layout::StoredSetWriter;
using md::layout::SymbolKind;

constexpr int kBackgroundStyle = 3361;
constexpr int kForegroundStyle = 3362;
constexpr int kSimpleStyle = 3332;

// The symbol key; the symbol, when there is one, saves itself into it.
void WriteSymbol(StoredSetWriter* pSet, const char* szKey, IGIS_Symbol* pSymbol) {
  pSet->SavedInPlace(szKey, szKey, [&](IGIS_DataBuffer* pBuffer) {
    if (pSymbol != nullptr) pSymbol->Save(pBuffer);
  });
}

// The flag key beside a symbol: TRUE when the symbol is present.
void WriteFlag(StoredSetWriter* pSet, const char* szKey, IGIS_Symbol* pSymbol) {
  pSet->Bool(szKey, szKey, pSymbol != nullptr);
}

}  // namespace

namespace md::layout::grid {
IGIS_MapGridBorder* CreateMapGridBorder(IGIS_MapGrid* pGrid) {
  CGIS_MapGridBorder* pBorder = md::basilo::MakeOrNull<CGIS_MapGridBorder>("CreateMapGridBorder");
  if (pBorder != nullptr) pBorder->SetMapGrid(pGrid);
  return pBorder;
}

IGIS_MapGridBorder* ReadNewMapGridBorder(IGIS_MapGrid* pGrid, const StoredSetView& set) {
  // Made without symbols: those the set does not decide are the defaults.
  CGIS_MapGridBorder* pBorder =
      md::basilo::MakeOrNull<CGIS_MapGridBorder>("CreateMapGridBorder", CGIS_MapGridBorder::kBare);
  if (pBorder == nullptr) return nullptr;
  pBorder->SetMapGrid(pGrid);
  pBorder->MakeSymbols(pBorder->OpenStored(set));
  return pBorder;
}

bool OpenMapGridBorderInPlace(IGIS_MapGridBorder* pBorder, const StoredSetView& set) {
  auto* pOwn = dynamic_cast<CGIS_MapGridBorder*>(pBorder);
  if (pOwn == nullptr) return false;
  pOwn->OpenStored(set);
  return true;
}

void ClearSimpleSymbol(IGIS_MapGridBorder* pBorder) {
  if (auto* pOwn = dynamic_cast<CGIS_MapGridBorder*>(pBorder)) {
    pOwn->ClearSimpleSymbol();
  } else if (pBorder != nullptr) {
    pBorder->SetSimpleSymbolPtr(nullptr);
  }
}
}  // namespace md::layout::grid

CGIS_MapGridBorder::CGIS_MapGridBorder() { MakeSymbols(kAllSymbols); }

CGIS_MapGridBorder::CGIS_MapGridBorder(BareTag) {}

void CGIS_MapGridBorder::MakeSymbols(unsigned symbols) {
  if ((symbols & kBackground) != 0)
    m_pBackgroundSymbol.reset(md::layout::NewStyledSymbol(SymbolKind::Fill, kBackgroundStyle));
  if ((symbols & kForeground) != 0)
    m_pForegroundSymbol.reset(md::layout::NewStyledSymbol(SymbolKind::Fill, kForegroundStyle));
  if ((symbols & kSimple) != 0)
    m_pSimpleSymbol.reset(md::layout::NewStyledSymbol(SymbolKind::Line, kSimpleStyle));
}

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

void CGIS_MapGridBorder::ClearSimpleSymbol() { m_pSimpleSymbol.reset(); }

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
  // A symbol the source lacks is left out of the copy; that is no missing
  // symbol to record, as a caller's NULL given to a setter is.
  auto copy = [this](md::basilo::ReleasePtr<IGIS_Symbol> CGIS_MapGridBorder::*held, IGIS_Symbol* pSymbol,
                     void (CGIS_MapGridBorder::*set)(IGIS_Symbol*)) {
    if (pSymbol == nullptr) {
      (this->*held).reset();
    } else {
      (this->*set)(pSymbol);
    }
  };
  copy(&CGIS_MapGridBorder::m_pBackgroundSymbol, pOther->GetBackgroundSymbol(),
       &CGIS_MapGridBorder::SetBackgroundSymbolPtr);
  copy(&CGIS_MapGridBorder::m_pForegroundSymbol, pOther->GetForegroundSymbol(),
       &CGIS_MapGridBorder::SetForegroundSymbolPtr);
  copy(&CGIS_MapGridBorder::m_pSimpleSymbol, pOther->GetSimpleSymbol(),
       &CGIS_MapGridBorder::SetSimpleSymbolPtr);
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
  StoredSetWriter set;
  StoredSetWriter* s = &set;
  s->Int("Interval", "Interval", m_nInterval);
  s->Int("BorderWidth", "BorderWidth", m_nBorderWidth);
  s->Bool("Alternating", "Alternating", m_bAlternating);
  WriteSymbol(s, "BackgroundSymbol", m_pBackgroundSymbol.get());
  WriteSymbol(s, "ForegroundSymbol", m_pForegroundSymbol.get());
  // The flags hold TRUE for a present symbol, whatever their names say.
  WriteFlag(s, "BackgroundSymbolIsNull", m_pBackgroundSymbol.get());
  WriteFlag(s, "ForegroundSymbolIsNull", m_pForegroundSymbol.get());
  WriteSymbol(s, "SimpleSymbol", m_pSimpleSymbol.get());
  WriteFlag(s, "SimpleSymbolIsNull", m_pSimpleSymbol.get());
  s->Int("BorderType", "BorderType", m_nBorderType);
  if (!set.Finish(pBuffer)) {
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
  const StoredSetView s(pBuffer);
  if (!s.Damaged()) OpenStored(s);
  return true;
}

unsigned CGIS_MapGridBorder::OpenStored(const StoredSetView& s) {
  unsigned kept = kAllSymbols;
  s.Read("Interval", &m_nInterval);
  s.Read("BorderWidth", &m_nBorderWidth);
  s.Read("Alternating", &m_bAlternating);
  struct SymbolKey {
    const char* szKey;
    const char* szFlag;
    SymbolKind kind;
    md::basilo::ReleasePtr<IGIS_Symbol> CGIS_MapGridBorder::*held;
    unsigned bit;
  };
  static constexpr SymbolKey kSymbols[] = {
      {"BackgroundSymbol", "BackgroundSymbolIsNull", SymbolKind::Fill,
       &CGIS_MapGridBorder::m_pBackgroundSymbol, kBackground},
      {"ForegroundSymbol", "ForegroundSymbolIsNull", SymbolKind::Fill,
       &CGIS_MapGridBorder::m_pForegroundSymbol, kForeground},
      {"SimpleSymbol", "SimpleSymbolIsNull", SymbolKind::Line, &CGIS_MapGridBorder::m_pSimpleSymbol, kSimple},
  };
  // Looked up in the order Save writes the keys.
  const md::basilo::StoredFieldView* stored[3] = {s.Find(kSymbols[0].szKey), s.Find(kSymbols[1].szKey),
                                                  nullptr};
  bool flags[3] = {true, true, true};
  bool flagged[3] = {s.Read(kSymbols[0].szFlag, &flags[0]), s.Read(kSymbols[1].szFlag, &flags[1]), false};
  stored[2] = s.Find(kSymbols[2].szKey);
  flagged[2] = s.Read(kSymbols[2].szFlag, &flags[2]);
  for (std::size_t i = 0; i < std::size(kSymbols); ++i) {
    const SymbolKey& k = kSymbols[i];
    // A border stored without the symbol reads back without it.
    if (flagged[i] && !flags[i]) {
      (this->*k.held).reset();
      kept &= ~k.bit;
      continue;
    }
    // The symbol read is held as the setter would hold its copy.
    md::basilo::ReleasePtr<IGIS_Symbol> read(GetSymbolFromStored(stored[i], k.szKey));
    if (IGIS_Symbol* pPart = md::layout::SymbolPartOf(read.get(), k.kind)) {
      (this->*k.held).reset(pPart);
      (void)read.release();
      kept &= ~k.bit;
    }
  }
  s.Read("BorderType", &m_nBorderType);
  return kept;
}
