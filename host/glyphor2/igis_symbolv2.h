// The host's second symbol kind, used by element frames: line and fill
// symbols painted with double-precision geometry (IGIS_SymbolPainter).
//
// Kinds: 1 line, 2 fill, 7 the default background (a white fill without
// outline). As in the symbol library, the typed views are the object itself.
// Styles use the codes of the symbol library (host/glyphor/STYLES.md): a
// line symbol's code gives its dash pattern, a fill symbol's its pattern.
#pragma once

#include "platform/win/wintypes.h"

class IGIS_DataBuffer;

enum {
  GIS_SYMBOLV2_LINE = 1,
  GIS_SYMBOLV2_FILL = 2,
  GIS_SYMBOLV2_BACKGROUND = 7,
};

class IGIS_SymbolV2 {
 public:
  virtual void Release() = 0;
  // A copy owned by the caller.
  virtual IGIS_SymbolV2* Clone() = 0;
  // Writes the symbol into the buffer (replacing its content); the flag is
  // accepted and has no effect. FALSE for a NULL buffer.
  virtual BOOL Save(IGIS_DataBuffer* buffer, BOOL flag) = 0;
  // The same object seen as a line (kind 1) or fill (kinds 2, 7); else NULL.
  virtual IGIS_SymbolV2* AsLineSymbol() = 0;
  virtual IGIS_SymbolV2* AsFillSymbol() = 0;
  // Line width (line) or outline width (fill, 0: none), millimetres.
  virtual double GetLineWidth() = 0;
  virtual void SetLineWidth(double mm) = 0;
  virtual int GetKind() = 0;
  // Line: Color; fill: Color fill, Color2 outline.
  virtual void SetColor(const COLORREF& color) = 0;
  virtual void SetColor2(const COLORREF& color) = 0;
  virtual COLORREF GetColor() = 0;
  virtual COLORREF GetColor2() = 0;
  virtual void SetCode(int code) = 0;
  virtual int GetStyleCode() = 0;

 protected:
  virtual ~IGIS_SymbolV2() = default;
};

class IGIS_SymbolV2Factory {
 public:
  // A new symbol of kind 1, 2 or 7; NULL for another kind.
  virtual IGIS_SymbolV2* CreateSymbol(const int& kind) = 0;
  // Rebuilds what Save wrote; NULL for a NULL, empty or damaged buffer.
  virtual IGIS_SymbolV2* CreateSymbolFromBuffer(IGIS_DataBuffer* buffer) = 0;
  virtual IGIS_SymbolV2* CreateSymbolFromBytes(const void* data, int size) = 0;

 protected:
  virtual ~IGIS_SymbolV2Factory() = default;
};

extern "C" {
IGIS_SymbolV2Factory* GIS_GetSymbol2FactoryObject();
}
