// What every two-fill scale bar keeps and does: the scale bar's base and the
// two fills, stored under "Symbol1" and "Symbol2".
#pragma once

#include "layout/graphicelement/scalebar/cgis_scalebarbase.h"
#include "layout/graphicelement/scalebar/igis_doublefillscalebar.h"

extern template class CGIS_ScaleBarBase<IGIS_DoubleFillScaleBar>;

class CGIS_DoubleFillScaleBarBase : public CGIS_ScaleBarBase<IGIS_DoubleFillScaleBar> {
 public:
  BOOL Archive(int nRead, int nArchiveOption) override;

  IGIS_Symbol* GetSymbol1() override { return m_pSymbol1.get(); }
  bool SetSymbol1(IGIS_Symbol* pSymbol) override;
  IGIS_Symbol* GetSymbol2() override { return m_pSymbol2.get(); }
  bool SetSymbol2(IGIS_Symbol* pSymbol) override;

  IGIS_Symbol* GetBarSymbol() override { return GetSymbol1(); }
  void SetBarSymbol(IGIS_Symbol* pSymbol) override { SetSymbol1(pSymbol); }

  // The base settings of the other bar, then copies of its two fills.
  void CopyFrom(IGIS_DoubleFillScaleBar* pOther);

 protected:
  // Binds to the feature, or makes a new one of the type with the two
  // default fills stored beside every scale-bar key.
  CGIS_DoubleFillScaleBarBase(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature, const char* szType);
  ~CGIS_DoubleFillScaleBarBase() override;

 private:
  md::basilo::ReleasePtr<IGIS_Symbol> m_pSymbol1;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pSymbol2;
};
