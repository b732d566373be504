// The simple map border (kind 1): one closed line drawn with a line symbol
// around the frame rectangle pushed out by the border's offsets.
#pragma once

#include "layout/graphicelement/grid/border/igis_mapborder.h"

class IGIS_Symbol;

class IGIS_MapBorderSimple : public IGIS_MapBorder {
 public:
  // The line symbol held (no copy), or NULL.
  virtual IGIS_Symbol* GetLineSymbolPtr() = 0;
  // Keeps the line part of a copy of the symbol; NULL leaves the border
  // without a line symbol (with a record). The caller keeps its symbol.
  virtual void SetLineSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  // Equal offsets and width, and the very same symbol object.
  virtual bool operator==(IGIS_MapBorderSimple* pOther) = 0;
  virtual bool operator!=(IGIS_MapBorderSimple* pOther) = 0;
  // Offsets, width and a copy of the other's symbol; not the name.
  virtual IGIS_MapBorderSimple* CopyFrom(IGIS_MapBorderSimple* pOther) = 0;
};
