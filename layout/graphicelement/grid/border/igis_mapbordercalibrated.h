// The calibrated map border (kind 2): a band around the frame cut into
// pieces of one interval whose fill symbols take turns; with Alternating the
// band is split into two half bands of opposite symbols (two rows of a
// chequer).
#pragma once

#include "layout/graphicelement/grid/border/igis_mapborder.h"

class IGIS_Symbol;

class IGIS_MapBorderCalibrated : public IGIS_MapBorder {
 public:
  virtual bool GetAlternating() = 0;
  virtual void SetAlternating(bool bAlternating) = 0;
  // The symbol the walk starts with (held, no copy), or NULL.
  virtual IGIS_Symbol* GetBackgroundSymbolPtr() = 0;
  // Keeps the fill part of a copy; NULL leaves the border without one.
  virtual void SetBackgroundSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  // Length of one piece along a side, page units; stored as given.
  virtual int GetInterval() = 0;
  virtual void SetInterval(int nInterval) = 0;
  virtual IGIS_Symbol* GetForegroundSymbolPtr() = 0;
  virtual void SetForegroundSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  // Offsets, width, Alternating, Interval and copies of both symbols; not the name.
  virtual IGIS_MapBorderCalibrated* CopyFrom(IGIS_MapBorderCalibrated* pOther) = 0;
  // Symbols compare as objects (the same object), not by content.
  virtual bool operator==(IGIS_MapBorderCalibrated* pOther) = 0;
  virtual bool operator!=(IGIS_MapBorderCalibrated* pOther) = 0;
};
