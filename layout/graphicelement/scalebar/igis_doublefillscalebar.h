// The scale bars whose body is a row (or two) of cells filled with two fill
// symbols: the alternating, double alternating, hollow, terra and topographic
// bars. What they keep and do is CGIS_DoubleFillScaleBarBase.
#pragma once

#include "layout/graphicelement/scalebar/igis_scalebar.h"

class IGIS_DoubleFillScaleBar : public IGIS_ScaleBar {
 public:
  // The held fills (may be NULL); the caller must not release them.
  virtual IGIS_Symbol* GetSymbol1() = 0;
  // Keeps the fill view of a clone (NULL: none); the held object changes
  // nothing. TRUE in every case.
  virtual bool SetSymbol1(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Symbol* GetSymbol2() = 0;
  virtual bool SetSymbol2(IGIS_Symbol* pSymbol) = 0;

 protected:
  ~IGIS_DoubleFillScaleBar() override = default;
};
