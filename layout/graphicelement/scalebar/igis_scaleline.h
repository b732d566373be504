// The base of the scale bars drawn with one line symbol: the straight and
// the stepped scale line. Adds the line symbol, stored under "Symbol".
#pragma once

#include "layout/graphicelement/scalebar/igis_scalebar.h"

class IGIS_ScaleLine : public IGIS_ScaleBar {
 public:
  BOOL Archive(int nRead, int nArchiveOption) override;

  // The held line symbol (may be NULL); the caller must not release it.
  virtual IGIS_Symbol* GetSymbolPtr() { return m_pSymbol; }
  // Keeps the line view of a clone; NULL empties it (level-4 record).
  virtual void SetSymbolPtr(IGIS_Symbol* pSymbol);

  IGIS_Symbol* GetBarSymbol() override { return GetSymbolPtr(); }
  void SetBarSymbol(IGIS_Symbol* pSymbol) override { SetSymbolPtr(pSymbol); }

  // The base settings of the other line, then a copy of its symbol.
  IGIS_ScaleLine* CopyFrom(IGIS_ScaleLine* pOther);

 protected:
  IGIS_ScaleLine(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature, const char* szClass);
  ~IGIS_ScaleLine() override;

 private:
  IGIS_Symbol* m_pSymbol = nullptr;
};
