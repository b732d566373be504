// The host's symbolization library: draws symbols of the symbol library into
// a device context.
//
// Draw works in the context's device space whatever its mapping mode: the
// record's points are logical coordinates of its device context; they are
// taken to device pixels, the symbol is built there and drawn back through
// the context (so its clip applies). A symbol unit (one point) is
// LOGPIXELSY / 72 device pixels times the record's symbol scale; a
// millimetre is LOGPIXELSY / 25.4 pixels times the scale.
//   line symbol (9): strokes the points as one polyline (two points at least);
//   fill symbol (12, 17): fills the ring (three points at least) and outlines it;
//   point symbol (5, 6, 7): draws the symbol centred on every point, `size`
//     units high, turned counter-clockwise by its angle.
// Text symbols draw nothing here (the annotation drawer draws texts).
#pragma once

#include "host/basilo/sgis_types.h"
#include "host/glyphor/igis_symbol.h"

// The constant every caller passes as Draw's third argument.
constexpr DWORD GIS_DRAW_CHECK = 0xFCFCFCFC;

class IGIS_SymbolRenderer {
 public:
  // TRUE when something was drawn; FALSE (and a log record) for a NULL
  // symbol, record or device context, no or too few points, a non-finite or
  // non-positive scale, or a symbol kind that does not draw.
  virtual BOOL Draw(IGIS_Symbol* symbol, SGIS_DrawParam* param, DWORD check) = 0;
  // Extent of a point style in symbol units, lower-left corner at the
  // origin; the empty rectangle for a code that is not a point style.
  virtual SGIS_Rect GetSymbolBound(int styleCode) = 0;

 protected:
  virtual ~IGIS_SymbolRenderer() = default;
};

extern "C" {
// The process-wide renderer; never released.
IGIS_SymbolRenderer* GIS_GetSymbolizationObject();
}
