// Where a scale bar's marks, numeric labels and unit label stand on the
// page: computed once from the bar's settings and shared by its drawing and
// its conversion, so that both show the same thing.
#pragma once

#include <vector>

#include "host/basilo/sgis_types.h"

class IGIS_ScaleBar;
class IGIS_Symbol;

namespace md::layout::detail {

// Most subdivisions a bar draws or converts; more are capped (log record).
constexpr int kMaxSubDivisions = 1000;

struct BarLabel {
  int x = 0;
  double value = 0.0;
};

struct BarPlaces {
  int ox = 0, oy = 0;                          // the bar body's lower-left corner
  int dw = 0;                                  // page width of one division
  int n = 1;                                   // divisions (1..100)
  int s = 1;                                   // subdivisions of a division (1..kMaxSubDivisions)
  int xr = 0;                                  // the bar's right end
  int divisionFrom = 0, divisionTo = 0;        // y span of division marks
  int subdivisionFrom = 0, subdivisionTo = 0;  // y span of subdivision marks
  std::vector<int> divisionMarks;              // x of each division mark, in drawing order
  std::vector<int> subdivisionMarks;           // x of each subdivision mark
  int labelY = 0;                              // bottom edge of every numeric label
  std::vector<BarLabel> labels;                // in drawing order
  SGIS_Rect unitBox;                           // the unit label's box
};

// The places of the bar at its present rectangle and division width.
// szMethod names the caller in the record of a capped subdivision count.
BarPlaces PlaceBar(IGIS_ScaleBar* pBar, const char* szMethod);

// Divisions, subdivisions and positions as the drawing uses them: stored
// values out of their ranges are brought into them.
int UsableDivisions(int n);
int UsableSubDivisions(int s, const char* szMethod);
int UsablePosition(int nPosition);      // mark and label positions: 0..4, else 0
int UsableUnitPosition(int nPosition);  // 0..5, else 2

// Page units per symbol unit of the bar's owner (1.0 without one).
double SymbolScale(IGIS_ScaleBar* pBar);

// The text height of a text symbol in page units: |round(k * height)|.
int TextHeight(IGIS_Symbol* pTextSymbol, double k);

// The extent of the text at scale 1.0 (empty without a symbol).
SGIS_Rect TextExtent(IGIS_Symbol* pTextSymbol, const char* szText);

}  // namespace md::layout::detail
