// The base of the scale bars whose body is a row (or two) of cells filled
// with two fill symbols: the alternating, double alternating, hollow, terra
// and topographic bars. Adds the two fills to the scale bar, stored under
// "Symbol1" and "Symbol2".
#pragma once

#include "layout/graphicelement/scalebar/igis_scalebar.h"

class IGIS_DoubleFillScaleBar : public IGIS_ScaleBar {
 public:
  BOOL Archive(int nRead, int nArchiveOption) override;

  // The held fills (may be NULL); the caller must not release them.
  virtual IGIS_Symbol* GetSymbol1() { return m_pSymbol1; }
  // Keeps the fill view of a clone (NULL: none); the held object changes
  // nothing. TRUE in every case.
  virtual bool SetSymbol1(IGIS_Symbol* pSymbol);
  virtual IGIS_Symbol* GetSymbol2() { return m_pSymbol2; }
  virtual bool SetSymbol2(IGIS_Symbol* pSymbol);

  IGIS_Symbol* GetBarSymbol() override { return GetSymbol1(); }
  void SetBarSymbol(IGIS_Symbol* pSymbol) override { SetSymbol1(pSymbol); }

  // The base settings of the other bar, then copies of its two fills.
  IGIS_DoubleFillScaleBar* CopyFrom(IGIS_DoubleFillScaleBar* pOther);

 protected:
  IGIS_DoubleFillScaleBar(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature, const char* szClass);
  ~IGIS_DoubleFillScaleBar() override;

 private:
  IGIS_Symbol* m_pSymbol1 = nullptr;
  IGIS_Symbol* m_pSymbol2 = nullptr;
};
