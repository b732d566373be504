// What the drawing and the conversion of a graticule both take from the
// grid: its symbols, its intervals in degrees, the passes of its figure and
// the texts of its interior labels.
#pragma once

#include <string>

#include "host/basilo/releaseptr.h"
#include "host/notara/igis_annostyle.h"
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/grid/graticule/graticulefigure.h"

class IGIS_DMSGridLabel;
class IGIS_GraticuleGrid;
class IGIS_Symbol;

namespace md::layout::graticule {

// The interior labels: the longitude hangs below its point, the latitude
// stands above it, both centred on it.
inline constexpr int kLongitudeAlignment = GIS_ALIGN_TOP_CENTER;
inline constexpr int kLatitudeAlignment = GIS_ALIGN_BOTTOM_CENTER;

// The grid's own symbols (not copies) by piece.
struct GraticuleSymbols {
  IGIS_Symbol* pLine = nullptr;
  IGIS_Symbol* pMark = nullptr;
  IGIS_Symbol* pTick = nullptr;
  IGIS_Symbol* pSubTick = nullptr;
  IGIS_Symbol* pHatch[3] = {nullptr, nullptr, nullptr};  // by HatchRank

  static GraticuleSymbols Of(IGIS_GraticuleGrid* pGrid);
};

// The spacing's X and Y intervals in degrees (0 without a spacing).
void GridIntervals(IGIS_GraticuleGrid* pGrid, double* pX, double* pY);

// The passes of the grid's figure: lines or markers of the plan (its
// extent, intervals and lines); over an extent (degrees) at the grid
// intervals, ticks at the intervals divided by the tick division and
// hatches (their counts below 1 taken as 1 for this pass only).
LinePass LinesOf(IGIS_GraticuleGrid* pGrid, const grid::GraticulePass& plan, int nSamples, LineReach reach,
                 bool bMarkersInFrame);
TickPass TicksOf(IGIS_GraticuleGrid* pGrid, const SGIS_DRect& extent, double dX, double dY, int nSamples);
HatchPass HatchesOf(IGIS_GraticuleGrid* pGrid, const SGIS_DRect& extent, double dX, double dY);
// True when a hatch pass runs: a hatch interval and the grid interval
// across it both place lines.
bool HasHatchPass(const HatchPass& pass);

// The texts of the interior labels: a longitude-latitude format of its own
// with the DMS label's decimal places and minutes and seconds shown as the
// label shows them (degrees, minutes and seconds; degrees and minutes; or
// degrees only).
class InteriorLabelTexts {
 public:
  explicit InteriorLabelTexts(IGIS_DMSGridLabel* pLabel);
  bool Ready() const { return m_pFormat != nullptr; }
  // The text of a value in degrees.
  std::string Of(double dDegrees);

 private:
  md::basilo::ReleasePtr<IGIS_NumericFormat> m_pFormat;
};

}  // namespace md::layout::graticule
