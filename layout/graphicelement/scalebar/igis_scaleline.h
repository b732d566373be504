// The scale bars drawn with one line symbol: the straight and the stepped
// scale line. What they keep and do is CGIS_ScaleLineBase.
#pragma once

#include "layout/graphicelement/scalebar/igis_scalebar.h"

class IGIS_ScaleLine : public IGIS_ScaleBar {
 public:
  // The held line symbol (may be NULL); the caller must not release it.
  virtual IGIS_Symbol* GetSymbolPtr() = 0;
  // Keeps the line view of a clone; NULL empties it (level-4 record).
  virtual void SetSymbolPtr(IGIS_Symbol* pSymbol) = 0;

 protected:
  ~IGIS_ScaleLine() override = default;
};
