// The host's annotation style library: text styles for the annotation drawer.
//
// A point style holds a text symbol (a copy, owned by the style; a new style
// starts with the symbol library's default text symbol) and an alignment
// code that names the point of the text's box placed on the anchor:
//
//   0 centre               3 middle of the left edge   6 top-right corner
//   1 middle of the bottom 4 top-left corner           7 middle of the right edge
//   2 bottom-left corner   5 middle of the top edge    8 bottom-right corner
//
// The box is that of the level text; a turned text turns its box about the
// anchor.
#pragma once

#include "host/glyphor/igis_symbol.h"
#include "platform/win/wintypes.h"

class IGIS_DataBuffer;
class IGIS_AnnoStyleSet;

enum {
  GIS_ALIGN_CENTER = 0,
  GIS_ALIGN_BOTTOM_CENTER = 1,
  GIS_ALIGN_BOTTOM_LEFT = 2,
  GIS_ALIGN_LEFT_CENTER = 3,
  GIS_ALIGN_TOP_LEFT = 4,
  GIS_ALIGN_TOP_CENTER = 5,
  GIS_ALIGN_TOP_RIGHT = 6,
  GIS_ALIGN_RIGHT_CENTER = 7,
  GIS_ALIGN_BOTTOM_RIGHT = 8,
};

class IGIS_AnnoPointStyle {
 public:
  virtual void Release() = 0;
  // Writes the style (alignment and text symbol) into the buffer; FALSE for NULL.
  virtual BOOL Save(IGIS_DataBuffer* buffer) = 0;
  // Reads what Save wrote; a NULL, empty or damaged buffer is refused (FALSE)
  // and leaves the style as it was.
  virtual BOOL Open(IGIS_DataBuffer* buffer) = 0;
  // The style's own text symbol (never NULL); the caller may change it in place.
  virtual IGIS_SymbolPart* GetTextStylePtr() = 0;
  // Takes a copy of a text symbol; the caller keeps (and releases) what it
  // passed. NULL or a symbol of another kind is refused.
  virtual BOOL SetTextStyle(IGIS_SymbolPart* textStyle) = 0;
  // Codes 0 to 8 (above); other codes are refused and change nothing.
  virtual BOOL SetAlignment(int code) = 0;
  virtual int GetAlignment() = 0;
  // The set the style came from; its GetPointStyle gives an independent style.
  virtual IGIS_AnnoStyleSet* GetStyleSet() = 0;

 protected:
  virtual ~IGIS_AnnoPointStyle() = default;
};

class IGIS_AnnoStyleSet {
 public:
  // A new point style owned by the caller (Release); alignment 0.
  virtual IGIS_AnnoPointStyle* GetPointStyle() = 0;
  virtual int GetKind() = 0;

 protected:
  virtual ~IGIS_AnnoStyleSet() = default;
};

class IGIS_AnnoStyleFactory {
 public:
  // The style set of a kind (1: point styles); process-wide, never released.
  // NULL for a kind other than 1.
  virtual IGIS_AnnoStyleSet* CreateStyleSet(int kind) = 0;

 protected:
  virtual ~IGIS_AnnoStyleFactory() = default;
};

extern "C" {
IGIS_AnnoStyleFactory* GIS_GetAnnotationStyleFactoryObject();
}
