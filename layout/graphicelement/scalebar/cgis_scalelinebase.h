// What every scale line keeps and does: the scale bar's base and the line
// symbol, stored under "Symbol".
#pragma once

#include "layout/graphicelement/scalebar/cgis_scalebarbase.h"
#include "layout/graphicelement/scalebar/igis_scaleline.h"

extern template class CGIS_ScaleBarBase<IGIS_ScaleLine>;

class CGIS_ScaleLineBase : public CGIS_ScaleBarBase<IGIS_ScaleLine> {
 public:
  BOOL Archive(int nRead, int nArchiveOption) override;

  IGIS_Symbol* GetSymbolPtr() override { return m_pSymbol.get(); }
  void SetSymbolPtr(IGIS_Symbol* pSymbol) override;

  IGIS_Symbol* GetBarSymbol() override { return GetSymbolPtr(); }
  void SetBarSymbol(IGIS_Symbol* pSymbol) override { SetSymbolPtr(pSymbol); }

  // The base settings of the other line, then a copy of its symbol.
  void CopyFrom(IGIS_ScaleLine* pOther);

 protected:
  // Binds to the feature, or makes a new one of the type with the default
  // line stored beside every scale-bar key.
  CGIS_ScaleLineBase(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature, const char* szType);
  ~CGIS_ScaleLineBase() override;

 private:
  md::basilo::ReleasePtr<IGIS_Symbol> m_pSymbol;
};
