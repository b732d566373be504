// The point element's own operations, after the 26 of IGIS_Element.
#pragma once

#include "layout/graphicelement/igis_element.h"

class IGIS_Symbol;

class IGIS_PointElement : public IGIS_Element {
 public:
  // The first vertex of the feature's geometry.
  virtual SGIS_Point GetPoint() = 0;
  // Moves the element so that the centre of its rectangle lies on the point.
  virtual bool SetPoint(SGIS_Point point) = 0;
  // The feature's point symbol (not a copy), or NULL.
  virtual IGIS_Symbol* GetSymbolPtr() = 0;
  // Gives the feature a copy of the symbol; the caller keeps its own.
  virtual void SetSymbolPtr(IGIS_Symbol* pSymbol) = 0;
};
