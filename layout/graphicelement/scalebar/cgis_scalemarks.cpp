// The tick marks of a scale bar and their stored form (FORMAT.md).
#include "layout/graphicelement/scalebar/cgis_scalemarks.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/scalebar/scalebarsymbols.h"
#include "layout/graphicelement/shapes/shapefeature.h"

using md::layout::detail::AdoptSymbol;
using md::layout::detail::KeepSymbolCopy;

namespace {

constexpr int kMarkLineCode = 0xD03;

}  // namespace

CGIS_ScaleMarks::CGIS_ScaleMarks()
    : m_pSubdivisionMarkSymbol(md::layout::shapes::MakeDefaultSymbol(GIS_SYMBOL_LINE, kMarkLineCode)),
      m_pDivisionMarkSymbol(md::layout::shapes::MakeDefaultSymbol(GIS_SYMBOL_LINE, kMarkLineCode)) {}

CGIS_ScaleMarks::~CGIS_ScaleMarks() = default;

void CGIS_ScaleMarks::SetDivisionMarkSymbolPtr(IGIS_Symbol* pSymbol) {
  if (pSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, "CGIS_ScaleMarks::SetDivisionMarkSymbolPtr", "pDivisionMarkSymbol == NULL");
  }
  KeepSymbolCopy(&m_pDivisionMarkSymbol, pSymbol, &IGIS_Symbol::AsLineSymbol);
}

void CGIS_ScaleMarks::SetSubdivisionMarkSymbolPtr(IGIS_Symbol* pSymbol) {
  if (pSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, "CGIS_ScaleMarks::SetSubdivisionMarkSymbolPtr",
            "pSubdivisionMarkSymbol == NULL");
  }
  KeepSymbolCopy(&m_pSubdivisionMarkSymbol, pSymbol, &IGIS_Symbol::AsLineSymbol);
}

IGIS_ScaleMarks* CGIS_ScaleMarks::Clone() {
  auto* pCopy = md::basilo::MakeOrNull<CGIS_ScaleMarks>("CGIS_ScaleMarks::Clone");
  if (pCopy == nullptr) return nullptr;
  pCopy->SetDivisionMarkHeight(m_nDivisionMarkHeight);
  pCopy->SetDivisionMarkSymbolPtr(m_pDivisionMarkSymbol.get());
  pCopy->SetMarkFrequency(m_nMarkFrequency);
  pCopy->SetMarkPosition(m_nMarkPosition);
  pCopy->SetSubdivisionMarkSymbolPtr(m_pSubdivisionMarkSymbol.get());
  pCopy->SetSubdivisionMarkHeight(m_nSubdivisionMarkHeight);
  return pCopy;
}

BOOL CGIS_ScaleMarks::Save(IGIS_DataBuffer* pBuffer) {
  // Written straight into its bytes, the symbols saved in place; a symbol
  // key of marks without that symbol holds an empty buffer.
  md::layout::StoredSetWriter set;
  set.Int("DivisionMarkHeight", "高度", m_nDivisionMarkHeight);
  set.Int("SubdivisionMarkHeight", "次高度", m_nSubdivisionMarkHeight);
  set.Int("MarkFrequency", "频率", m_nMarkFrequency);
  set.Int("MarkPosition", "位置", m_nMarkPosition);
  auto symbol = [&set](const char* szKey, const char* szDescription, IGIS_Symbol* pSymbol) {
    set.SavedInPlace(szKey, szDescription, [pSymbol](IGIS_DataBuffer* b) {
      if (pSymbol != nullptr) pSymbol->Save(b);
    });
  };
  symbol("DivisionMarkSymbol", "主符号", m_pDivisionMarkSymbol.get());
  symbol("SubdivisionMarkSymbol", "次符号", m_pSubdivisionMarkSymbol.get());
  if (pBuffer != nullptr) set.Finish(pBuffer);
  return TRUE;
}

// A line symbol stored under the key goes to the setter; a missing key, an
// empty buffer or a symbol of another kind keeps the held one.
void CGIS_ScaleMarks::ReadLineSymbol(const md::layout::StoredSetView& set, const char* szKey,
                                     md::basilo::ReleasePtr<IGIS_Symbol>* pHeld) {
  if (set.Find(szKey) == nullptr) return;
  AdoptSymbol(pHeld, GetSymbolFromStored(set, szKey), &IGIS_Symbol::AsLineSymbol);
}

BOOL CGIS_ScaleMarks::Open(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_ScaleMarks::Open", "pDataBuffer为空");
    return FALSE;
  }
  if (GIS_GetSymbolFactoryObject() == nullptr)
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_ScaleMarks::Open", "p_symbolFactory == NULL");
  // Read in place; a damaged buffer reads as nothing: every value stays as
  // it was.
  const md::layout::StoredSetView set(pBuffer);
  Read(set);
  return TRUE;
}

void CGIS_ScaleMarks::OpenStored(std::span<const BYTE> bytes) { Read(md::layout::StoredSetView(bytes)); }

void CGIS_ScaleMarks::Read(const md::layout::StoredSetView& set) {
  if (set.Damaged()) return;
  set.Read("DivisionMarkHeight", &m_nDivisionMarkHeight);
  set.Read("SubdivisionMarkHeight", &m_nSubdivisionMarkHeight);
  set.Read("MarkFrequency", &m_nMarkFrequency);
  set.Read("MarkPosition", &m_nMarkPosition);
  ReadLineSymbol(set, "DivisionMarkSymbol", &m_pDivisionMarkSymbol);
  ReadLineSymbol(set, "SubdivisionMarkSymbol", &m_pSubdivisionMarkSymbol);
}
