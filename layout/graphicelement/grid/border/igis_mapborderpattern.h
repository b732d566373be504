// The pattern map border (kind 3): four corner squares each filled with its
// own symbol, and four sides tiled with a side symbol whose tile length is
// the side's scale times the border width.
#pragma once

#include "layout/graphicelement/grid/border/igis_mapborder.h"

class IGIS_Symbol;

class IGIS_MapBorderPattern : public IGIS_MapBorder {
 public:
  // Symbol getters return the held symbol (no copy) or NULL; setters keep the
  // fill part of a copy, and NULL leaves the border without that symbol.
  virtual IGIS_Symbol* GetLeftTopSymbolPtr() = 0;
  virtual void SetLeftTopSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Symbol* GetLeftBottomSymbolPtr() = 0;
  virtual void SetLeftBottomSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Symbol* GetRightTopSymbolPtr() = 0;
  virtual void SetRightTopSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Symbol* GetRightBottomSymbolPtr() = 0;
  virtual void SetRightBottomSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Symbol* GetLeftSymbolPtr() = 0;
  virtual void SetLeftSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  // Scales: tile length divided by the border width; setters ignore values
  // that are not above 0.
  virtual double GetLeftScale() = 0;
  virtual void SetLeftScale(double dScale) = 0;
  virtual IGIS_Symbol* GetRightSymbolPtr() = 0;
  virtual void SetRightSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual double GetRightScale() = 0;
  virtual void SetRightScale(double dScale) = 0;
  virtual IGIS_Symbol* GetTopSymbolPtr() = 0;
  virtual void SetTopSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual double GetTopScale() = 0;
  virtual void SetTopScale(double dScale) = 0;
  virtual IGIS_Symbol* GetBottomSymbolPtr() = 0;
  virtual void SetBottomSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual double GetBottomScale() = 0;
  virtual void SetBottomScale(double dScale) = 0;
  // Symbols compare as objects, scales exactly.
  virtual bool operator==(IGIS_MapBorderPattern* pOther) = 0;
  virtual bool operator!=(IGIS_MapBorderPattern* pOther) = 0;
  // Offsets, width, copies of the symbols and the scales above 0; not the name.
  virtual IGIS_MapBorderPattern* CopyFrom(IGIS_MapBorderPattern* pOther) = 0;
};
