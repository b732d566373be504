// Index tab styles: the labels of an index grid, which lay a band of tabs
// along each side of the map frame and write the column and row
// designations in them.
//
// Depths are page units of 0.01 mm.
#pragma once

#include "layout/graphicelement/grid/grid/igis_gridlabel.h"

class IGIS_IndexGridTabStyle : public IGIS_GridLabel {
 public:
  // TRUE for every tab style.
  virtual bool IsIndexTabStyle() = 0;
  // The tabs' fill and outline symbols (the style's own objects); the
  // setters keep copies, and NULL removes the symbol (with a record).
  virtual IGIS_SymbolPart* GetForegroundSymbolPtr() = 0;
  virtual void SetForegroundSymbolPtr(IGIS_SymbolPart* pSymbol) = 0;
  virtual IGIS_SymbolPart* GetOutLineSymbolPtr() = 0;
  virtual void SetOutLineSymbolPtr(IGIS_SymbolPart* pSymbol) = 0;
  // TRUE: the bands lie outside the frame rectangle; FALSE: inside.
  virtual bool GetInside() = 0;
  virtual void SetInside(bool bInside) = 0;
  // Depth of each band across its side; no range check.
  virtual int GetThickness() = 0;
  virtual void SetThickness(int nThickness) = 0;

  // IGIS_GridLabel::CopyFrom (slot 13) copies only the common state; this
  // copy takes the tab fields too: the common state, then the inside flag,
  // the two stored offsets, the depth and copies of the two symbols.
  // Returns this style.
  using IGIS_GridLabel::CopyFrom;
  __attribute__((visibility("default"))) IGIS_IndexGridTabStyle* CopyFrom(IGIS_IndexGridTabStyle* pOther);

 protected:
  ~IGIS_IndexGridTabStyle() = default;
};
