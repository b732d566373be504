// The two-fill branch of the scale bars: default fills, their setters, their
// stored keys and copying.
#include "layout/graphicelement/scalebar/igis_doublefillscalebar.h"

#include "host/basilo/igis_log.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/scalebar/scalebarbody.h"
#include "layout/graphicelement/scalebar/scalebarsymbols.h"
#include "layout/graphicelement/shapes/shapefeature.h"

using namespace md::layout::detail;

namespace {
constexpr int kFill1Code = 0xD21;
constexpr int kFill2Code = 0xD22;
}  // namespace

IGIS_DoubleFillScaleBar::IGIS_DoubleFillScaleBar(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature,
                                                 const char* szClass)
    : IGIS_ScaleBar(pOwner, pFeature, szClass) {
  SetName("图形比例尺");
  m_pSymbol1 = md::layout::shapes::MakeDefaultSymbol(GIS_SYMBOL_FILL, kFill1Code);
  m_pSymbol2 = md::layout::shapes::MakeDefaultSymbol(GIS_SYMBOL_FILL, kFill2Code);
  if (MadeNewFeature()) {
    const BodySymbolKey keys[] = {{"Symbol1", "符号1", m_pSymbol1}, {"Symbol2", "符号2", m_pSymbol2}};
    AddBodySymbolKeys(m_core.m_pFeature, keys, 2);
  }
}

IGIS_DoubleFillScaleBar::~IGIS_DoubleFillScaleBar() {
  ReleaseSymbol(&m_pSymbol1);
  ReleaseSymbol(&m_pSymbol2);
}

bool IGIS_DoubleFillScaleBar::SetSymbol1(IGIS_Symbol* pSymbol) {
  KeepSymbolCopy(&m_pSymbol1, pSymbol, &IGIS_Symbol::AsFillSymbol);
  return true;
}

bool IGIS_DoubleFillScaleBar::SetSymbol2(IGIS_Symbol* pSymbol) {
  KeepSymbolCopy(&m_pSymbol2, pSymbol, &IGIS_Symbol::AsFillSymbol);
  return true;
}

IGIS_DoubleFillScaleBar* IGIS_DoubleFillScaleBar::CopyFrom(IGIS_DoubleFillScaleBar* pOther) {
  if (pOther == nullptr || pOther == this) return this;
  IGIS_ScaleBar::CopyFrom(pOther);
  SetSymbol1(pOther->GetSymbol1());
  SetSymbol2(pOther->GetSymbol2());
  return this;
}

BOOL IGIS_DoubleFillScaleBar::Archive(int nRead, int nArchiveOption) {
  const BOOL bBase = IGIS_ScaleBar::Archive(nRead, nArchiveOption);
  const BodySymbolKey keys[] = {{"Symbol1", "符号1", m_pSymbol1}, {"Symbol2", "符号2", m_pSymbol2}};
  const BOOL bBody =
      ArchiveBody(nRead, "IGIS_DoubleFillScaleBar::Archive", keys, 2, &IGIS_Symbol::AsFillSymbol,
                  [this](int i, IGIS_Symbol* pFill) { i == 0 ? SetSymbol1(pFill) : SetSymbol2(pFill); });
  return bBase && bBody;
}
