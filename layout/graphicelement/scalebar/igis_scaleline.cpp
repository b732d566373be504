// The one-line branch of the scale bars: the default line, its setter, its
// stored key and copying.
#include "layout/graphicelement/scalebar/igis_scaleline.h"

#include "host/basilo/igis_log.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/scalebar/scalebarbody.h"
#include "layout/graphicelement/scalebar/scalebarsymbols.h"
#include "layout/graphicelement/shapes/shapefeature.h"

using namespace md::layout::detail;

namespace {
constexpr int kLineCode = 0xD04;
}  // namespace

IGIS_ScaleLine::IGIS_ScaleLine(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature, const char* szClass)
    : IGIS_ScaleBar(pOwner, pFeature, szClass) {
  SetName("图形比例尺");
  m_pSymbol = md::layout::shapes::MakeDefaultSymbol(GIS_SYMBOL_LINE, kLineCode);
  if (MadeNewFeature()) {
    const BodySymbolKey keys[] = {{"Symbol", "符号", m_pSymbol}};
    AddBodySymbolKeys(m_core.m_pFeature, keys, 1);
  }
}

IGIS_ScaleLine::~IGIS_ScaleLine() { ReleaseSymbol(&m_pSymbol); }

void IGIS_ScaleLine::SetSymbolPtr(IGIS_Symbol* pSymbol) {
  if (pSymbol == nullptr) GIS_LOG(4, "IGIS_ScaleLine::SetSymbolPtr", "pSymbol == NULL");
  KeepSymbolCopy(&m_pSymbol, pSymbol, &IGIS_Symbol::AsLineSymbol);
}

IGIS_ScaleLine* IGIS_ScaleLine::CopyFrom(IGIS_ScaleLine* pOther) {
  if (pOther == nullptr || pOther == this) return this;
  IGIS_ScaleBar::CopyFrom(pOther);
  SetSymbolPtr(pOther->GetSymbolPtr());
  return this;
}

BOOL IGIS_ScaleLine::Archive(int nRead, int nArchiveOption) {
  const char* kMethod = "IGIS_ScaleLine::Archive";
  if (GetFeaturePtr() == nullptr) {
    GIS_LOG(3, kMethod, "m_pFeature == NULL");
    return FALSE;
  }
  const BOOL bBase = IGIS_ScaleBar::Archive(nRead, nArchiveOption);
  const BodySymbolKey keys[] = {{"Symbol", "符号", m_pSymbol}};
  const BOOL bBody = ArchiveBody(nRead, kMethod, keys, 1, &IGIS_Symbol::AsLineSymbol,
                                 [this](int, IGIS_Symbol* pLine) { SetSymbolPtr(pLine); });
  return bBase && bBody;
}
