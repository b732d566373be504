// The one-line branch of the scale bars: the default line, its setter, its
// stored key and copying.
#include "layout/graphicelement/scalebar/cgis_scalelinebase.h"

#include "host/basilo/igis_log.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/scalebar/scalebarbody.h"
#include "layout/graphicelement/scalebar/scalebarsymbols.h"
#include "layout/graphicelement/shapes/shapefeature.h"

using namespace md::layout::detail;

namespace {
constexpr int kLineCode = 0xD04;
}  // namespace

CGIS_ScaleLineBase::CGIS_ScaleLineBase(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature, const char* szType)
    : CGIS_ScaleBarBase(pOwner, pFeature, szType) {
  SetName("图形比例尺");
  m_pSymbol.reset(md::layout::shapes::MakeDefaultSymbol(GIS_SYMBOL_LINE, kLineCode));
  if (MadeNewFeature()) {
    const BodySymbolKey keys[] = {{"Symbol", "符号", m_pSymbol.get()}};
    AddBodySymbolKeys(m_core.m_pFeature, keys, 1);
  }
}

CGIS_ScaleLineBase::~CGIS_ScaleLineBase() = default;

void CGIS_ScaleLineBase::SetSymbolPtr(IGIS_Symbol* pSymbol) {
  if (pSymbol == nullptr) GIS_LOG(GIS_LOG_LEVEL_SYMBOL, "IGIS_ScaleLine::SetSymbolPtr", "pSymbol == NULL");
  KeepSymbolCopy(&m_pSymbol, pSymbol, &IGIS_Symbol::AsLineSymbol);
}

void CGIS_ScaleLineBase::CopyFrom(IGIS_ScaleLine* pOther) {
  if (pOther == nullptr || pOther == this) return;
  CGIS_ScaleBarBase::CopyFrom(pOther);
  SetSymbolPtr(pOther->GetSymbolPtr());
}

BOOL CGIS_ScaleLineBase::Archive(int nRead, int /*nArchiveOption*/) {
  const char* kMethod = "IGIS_ScaleLine::Archive";
  if (GetFeaturePtr() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "m_pFeature == NULL");
    return FALSE;
  }
  const BodySymbolKey keys[] = {{"Symbol", "符号", m_pSymbol.get(), &m_pSymbol}};
  const BodySymbols body{kMethod, keys, 1, &IGIS_Symbol::AsLineSymbol};
  return ArchiveWithBody(nRead, body);
}
