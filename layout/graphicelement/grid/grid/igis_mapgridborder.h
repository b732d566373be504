// The band a grid draws around its map frame: a simple line, or a
// calibrated band of bars of one length in two alternating fill symbols
// (optionally split into two half bands that alternate against each other).
// Every grid owns one, bound to it; a border is ended only through its
// Release. Not the map frame's own inner and outer map borders.
//
// Lengths are page units of 0.01 mm.
#pragma once

#include "platform/win/wintypes.h"

class IGIS_DataBuffer;
class IGIS_Display;
class IGIS_Element;
class IGIS_MapGrid;
class IGIS_Symbol;

// Border kinds (GetBorderType): 0 simple, any other value calibrated.
enum {
  GIS_GRIDBORDER_SIMPLE = 0,
  GIS_GRIDBORDER_CALIBRATED = 1,
};

class IGIS_MapGridBorder {
 public:
  // With a calibrated border: the alternating form of the band.
  virtual bool GetAlternating() = 0;
  virtual void SetAlternating(bool bAlternating) = 0;
  // Width of a calibrated band; stored unchanged.
  virtual int GetBorderWidth() = 0;
  virtual void SetBorderWidth(int nWidth) = 0;
  // Symbols: the border's own objects (not to be released); the setters keep
  // copies, and NULL removes the symbol (with a record).
  virtual IGIS_Symbol* GetBackgroundSymbol() = 0;
  virtual void SetBackgroundSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  // Length of one bar; the setter keeps at least 20.
  virtual int GetInterval() = 0;
  virtual void SetInterval(int nInterval) = 0;
  virtual IGIS_Symbol* GetForegroundSymbol() = 0;
  virtual void SetForegroundSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  // A new border with the same values and grid, owned by the caller.
  virtual IGIS_MapGridBorder* Clone() = 0;
  virtual bool Save(IGIS_DataBuffer* pBuffer) = 0;
  // Reads the keys present; FALSE only for a NULL buffer.
  virtual bool Open(IGIS_DataBuffer* pBuffer) = 0;
  // Draws the band around the grid's map frame.
  virtual bool Draw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) = 0;
  // Copies every value of another border (its grid too); returns this one.
  virtual IGIS_MapGridBorder* CopyFrom(IGIS_MapGridBorder* pOther) = 0;
  virtual void SetBorderType(int nType) = 0;
  virtual int GetBorderType() = 0;
  // "简单边框" for a simple border, otherwise "校准边框".
  virtual const char* GetBorderTypeName() = 0;
  virtual IGIS_Symbol* GetSimpleSymbol() = 0;
  virtual void SetSimpleSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  // A new compound element of the band as plain elements in the grid's frame's
  // owner feature set; NULL when nothing is made.
  virtual IGIS_Element* ConvertToElement() = 0;
  // The grid the border draws for (not owned; may be NULL).
  virtual void SetMapGrid(IGIS_MapGrid* pGrid) = 0;
  virtual IGIS_MapGrid* GetMapGrid() = 0;
  virtual void Release() = 0;

 protected:
  IGIS_MapGridBorder() = default;
  ~IGIS_MapGridBorder() = default;
  IGIS_MapGridBorder(const IGIS_MapGridBorder&) = delete;
  IGIS_MapGridBorder& operator=(const IGIS_MapGridBorder&) = delete;
};
