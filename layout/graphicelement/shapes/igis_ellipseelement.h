// The ellipse element's own operations, after the 26 of IGIS_Element.
#pragma once

#include "layout/graphicelement/igis_element.h"

class IGIS_Symbol;

class IGIS_EllipseElement : public IGIS_Element {
 public:
  // The feature's fill symbol (not a copy), or NULL.
  virtual IGIS_Symbol* GetSymbolPtr() = 0;
  // Gives the feature a copy of the symbol; the caller keeps its own.
  virtual void SetSymbolPtr(IGIS_Symbol* pSymbol) = 0;
};
