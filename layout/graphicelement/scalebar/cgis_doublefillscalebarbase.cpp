// The two-fill branch of the scale bars: default fills, their setters, their
// stored keys and copying.
#include "layout/graphicelement/scalebar/cgis_doublefillscalebarbase.h"

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

CGIS_DoubleFillScaleBarBase::CGIS_DoubleFillScaleBarBase(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature,
                                                         const char* szType)
    : CGIS_ScaleBarBase(pOwner, pFeature, szType) {
  SetName("图形比例尺");
  m_pSymbol1.reset(md::layout::shapes::MakeDefaultSymbol(GIS_SYMBOL_FILL, kFill1Code));
  m_pSymbol2.reset(md::layout::shapes::MakeDefaultSymbol(GIS_SYMBOL_FILL, kFill2Code));
  if (MadeNewFeature()) {
    const BodySymbolKey keys[] = {{"Symbol1", "符号1", m_pSymbol1.get()},
                                  {"Symbol2", "符号2", m_pSymbol2.get()}};
    AddBodySymbolKeys(m_core.m_pFeature, keys, 2);
  }
}

CGIS_DoubleFillScaleBarBase::~CGIS_DoubleFillScaleBarBase() = default;

bool CGIS_DoubleFillScaleBarBase::SetSymbol1(IGIS_Symbol* pSymbol) {
  KeepSymbolCopy(&m_pSymbol1, pSymbol, &IGIS_Symbol::AsFillSymbol);
  return true;
}

bool CGIS_DoubleFillScaleBarBase::SetSymbol2(IGIS_Symbol* pSymbol) {
  KeepSymbolCopy(&m_pSymbol2, pSymbol, &IGIS_Symbol::AsFillSymbol);
  return true;
}

void CGIS_DoubleFillScaleBarBase::CopyFrom(IGIS_DoubleFillScaleBar* pOther) {
  if (pOther == nullptr || pOther == this) return;
  CGIS_ScaleBarBase::CopyFrom(pOther);
  SetSymbol1(pOther->GetSymbol1());
  SetSymbol2(pOther->GetSymbol2());
}

BOOL CGIS_DoubleFillScaleBarBase::Archive(int nRead, int /*nArchiveOption*/) {
  const BodySymbolKey keys[] = {{"Symbol1", "符号1", m_pSymbol1.get(), &m_pSymbol1},
                                {"Symbol2", "符号2", m_pSymbol2.get(), &m_pSymbol2}};
  const BodySymbols body{"IGIS_DoubleFillScaleBar::Archive", keys, 2, &IGIS_Symbol::AsFillSymbol};
  return ArchiveWithBody(nRead, body);
}
