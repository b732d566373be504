// The host's symbol library: point, line, fill, background and text symbols.
//
// A symbol and its typed parts are one object. `GetLinePart`, `AsLineSymbol`
// and the other typed getters return this same object when it is of that
// kind (NULL otherwise), so a part kept by a caller is the symbol itself: it
// lives until one Release, made through either name. Setters elsewhere keep
// their own copies (`Clone`).
//
// Units: sizes and text heights are in symbol units of one typographic point
// (1/72 inch); GIS_SYMBOL_UNIT_PAGE_RATIO turns them into page units (0.01
// mm). Line widths are in millimetres. Angles are degrees counter-clockwise.
// A text symbol's font record is LOGFONT-shaped: lfHeight is the text height
// in symbol units (its sign is ignored), lfOrientation turns the text by that
// many degrees on top of the symbol's angle.
#pragma once

#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

class IGIS_DataBuffer;

// Symbol type codes.
enum {
  GIS_SYMBOL_POINT5 = 5,  // marker in one colour, sized by its own extent
  GIS_SYMBOL_POINT = 6,   // coded library marker (extent from the renderer)
  GIS_SYMBOL_POINT7 = 7,  // multi-colour marker, sized by its own extent
  GIS_SYMBOL_LINE = 9,
  GIS_SYMBOL_FILL = 12,
  GIS_SYMBOL_BACKGROUND = 17,  // the frame's default background fill
  GIS_SYMBOL_TEXT = 19,
};

class IGIS_Symbol;
// The typed part of a symbol is the symbol itself seen through its kind.
using IGIS_SymbolPart = IGIS_Symbol;

class IGIS_Symbol {
 public:
  virtual void Release() = 0;
  // 5, 6 or 7 point, 9 line, 12 fill, 17 background, 19 text.
  virtual int GetType() = 0;

  // Typed parts: this object when it is of the kind, else NULL.
  virtual IGIS_SymbolPart* GetType5Part() = 0;
  virtual IGIS_SymbolPart* GetType7Part() = 0;
  virtual IGIS_SymbolPart* GetPointPart() = 0;  // any point kind (5, 6, 7)
  virtual IGIS_SymbolPart* GetLinePart() = 0;
  virtual IGIS_SymbolPart* GetFillPart() = 0;  // fill and background
  virtual IGIS_SymbolPart* GetType17Part() = 0;
  virtual IGIS_SymbolPart* GetTextPart() = 0;

  // A copy owned by the caller; NULL only when memory runs out.
  virtual IGIS_Symbol* Clone() = 0;
  // Views of the same object (not copies); NULL when of another kind.
  virtual IGIS_Symbol* AsPointSymbol() = 0;
  virtual IGIS_Symbol* AsLineSymbol() = 0;
  virtual IGIS_Symbol* AsFillSymbol() = 0;
  // Writes the symbol into the buffer (replacing its content); FALSE for a
  // NULL buffer.
  virtual BOOL Save(IGIS_DataBuffer* buffer) = 0;

  // Colour words (COLORREF). Point: Color, Color2, Color3 fill the colour
  // slots of the style (STYLES.md); line: Color; fill: Color fill or hatch,
  // Color2 outline; text: Color.
  virtual void SetColor(COLORREF color) = 0;
  virtual void SetColor2(COLORREF color) = 0;
  virtual void SetColor3(COLORREF color) = 0;
  virtual COLORREF GetColor() = 0;
  virtual COLORREF GetColor2() = 0;
  virtual COLORREF GetColor3() = 0;

  // Part values.
  // Selects a built-in style (STYLES.md). A code of the part's own kind also
  // sets the style's default line width (line) or outline width and colours
  // (fill); a code unknown or of another kind is kept but draws as the
  // kind's default style.
  virtual void SetCode(int code) = 0;
  virtual int GetStyleCode() = 0;
  // Extent of a type-5 or type-7 point symbol, lower-left corner at the
  // origin, in symbol units times factor (factor 0 counts as 1). Other kinds
  // give the empty rectangle.
  virtual SGIS_Rect GetExtent(double factor) = 0;
  // Point symbols: height of the drawn box in symbol units.
  virtual int GetSize() = 0;
  virtual void SetSize(int size) = 0;
  virtual double GetAngle() = 0;
  virtual void SetAngle(double degrees) = 0;
  // Line symbols: line width; fill symbols: outline width (0: none). mm.
  virtual double GetLineWidth() = 0;
  virtual void SetLineWidth(double mm) = 0;

  // Text symbols. The font record, read and written in place; its first
  // field (lfHeight) is the integer text size. NULL for other kinds.
  virtual LOGFONT* GetFontSizePtr() = 0;
  // Extent of the text drawn with this symbol at ratio, level (unturned),
  // lower-left corner at the origin, in symbol units: width of the widest
  // line, height of all lines. Line breaks are "\r\n", "\n" or "\r".
  // FALSE (and an empty rectangle) for a NULL rect or text or another kind.
  virtual BOOL GetTextExtent(SGIS_Rect* rect, const char* text, int mode, double ratio) = 0;

  // Takes over every setting of another symbol of the same type; FALSE and
  // nothing changed for NULL or another type.
  virtual BOOL CopyFrom(IGIS_Symbol* other) = 0;

 protected:
  virtual ~IGIS_Symbol() = default;
};

class IGIS_SymbolFactory {
 public:
  // A new symbol of a type code with the defaults of STYLES.md; NULL for an
  // unknown type.
  virtual IGIS_Symbol* CreateSymbol(int type) = 0;
  // Rebuilds a symbol that Save wrote; NULL for a NULL, empty or damaged buffer.
  virtual IGIS_Symbol* CreateSymbolFromBuffer(IGIS_DataBuffer* buffer) = 0;
  // The same from bytes in memory.
  virtual IGIS_Symbol* CreateSymbolFromBytes(const void* data, int size) = 0;

 protected:
  virtual ~IGIS_SymbolFactory() = default;
};

extern "C" {
// The process-wide factory; never released.
IGIS_SymbolFactory* GIS_GetSymbolFactoryObject();
}

// Text measuring of symbols uses the text engine named here ("freetype", the
// default, or "fixed"), so that extents agree with the device contexts that
// draw them. Unknown names are refused.
bool GIS_SetSymbolTextEngine(const char* engineName);
const char* GIS_GetSymbolTextEngine();
