// The map index ("接图表"): a 3 x 3 table of equal cells whose centre cell is
// the current sheet (filled) and whose eight outer cells name the
// neighbouring sheets. The texts named East lie in the left column and those
// named West in the right column.
#pragma once

#include "layout/graphicelement/igis_element.h"

class IGIS_FrameProperty;
class IGIS_Symbol;

class IGIS_MapIndexElement : public IGIS_Element {
 public:
  // The frame property (owned by the element; may be NULL).
  virtual IGIS_FrameProperty* GetFramePropertyPtr() = 0;
  // Keeps a copy; NULL removes the frame property; the held one is FALSE.
  virtual bool SetFramePropertyPtr(IGIS_FrameProperty* pFrame) = 0;
  // Symbol setters keep a copy of the argument's part of their kind; NULL
  // drops the held symbol (with a record); the held object changes nothing.
  virtual void SetTextSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Symbol* GetTextSymbolPtr() = 0;
  // Restores the rectangle: 3 columns wide and 3 rows high from its
  // lower-left corner, and commits the feature.
  virtual void UpdateGeometry() = 0;
  virtual IGIS_Symbol* GetBorderLineSymbolPtr() = 0;
  virtual void SetBorderLineSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual void SetInsideLineSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Symbol* GetInsideLineSymbolPtr() = 0;
  virtual IGIS_Symbol* GetFillSymbolPtr() = 0;
  virtual void SetFillSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  // Cell sizes in 0.01 mm; values <= 0 are ignored.
  virtual int GetRowHeight() = 0;
  virtual void SetRowHeight(int nHeight) = 0;
  virtual int GetColWidth() = 0;
  virtual void SetColWidth(int nWidth) = 0;
  // Neighbour texts (at most 999 bytes kept; NULL is refused).
  virtual const char* GetNorthEastText() = 0;
  virtual void SetNorthEastText(const char* szText) = 0;
  virtual const char* GetNorthText() = 0;
  virtual void SetNorthText(const char* szText) = 0;
  virtual const char* GetNorthWestText() = 0;
  virtual void SetNorthWestText(const char* szText) = 0;
  virtual const char* GetEastText() = 0;
  virtual void SetEastText(const char* szText) = 0;
  virtual const char* GetWestText() = 0;
  virtual void SetWestText(const char* szText) = 0;
  virtual const char* GetSouthEastText() = 0;
  virtual void SetSouthEastText(const char* szText) = 0;
  virtual const char* GetSouthText() = 0;
  virtual void SetSouthText(const char* szText) = 0;
  virtual const char* GetSouthWestText() = 0;
  virtual void SetSouthWestText(const char* szText) = 0;

 protected:
  ~IGIS_MapIndexElement() override = default;
};
