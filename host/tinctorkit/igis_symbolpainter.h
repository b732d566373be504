// The host's painter of second-kind symbols (frames) on a md::pictar2::Graphics.
//
// Paint takes the points as (x, y) pairs of doubles in the graphics' device
// coordinates. A line symbol strokes them as an open polyline (two points at
// least); a fill or background symbol fills the ring (three points at least)
// and outlines it when its outline width is above 0. Widths are millimetres
// at the graphics' resolution times the record's scale; dashes follow the
// line style code (host/glyphor/STYLES.md).
#pragma once

#include "host/glyphor2/igis_symbolv2.h"
#include "host/pictar2/graphics.h"

struct SGIS_PaintParam {
  md::pictar2::Graphics* graphics = nullptr;
  double reserved1 = -1.0;
  int word = 0;  // 0 in every use
  BYTE reserved2 = 0;
  int reserved3 = 0;
  double scale = 1.0;  // symbol scale
  BYTE printFlag = 0;  // 1 while printing
  double reserved4 = 0.0;
  int reserved5 = 0;
};

class IGIS_SymbolPainter {
 public:
  // TRUE when something was painted; FALSE (log) for a NULL symbol, record,
  // graphics or points, too few points, a bad scale or a bad graphics.
  virtual BOOL Paint(IGIS_SymbolV2* symbol, SGIS_PaintParam* param, const double* xy, int count) = 0;

 protected:
  virtual ~IGIS_SymbolPainter() = default;
};

extern "C" {
IGIS_SymbolPainter* GIS_GetSymbolizeObject();
}
