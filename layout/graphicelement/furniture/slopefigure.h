// The figure of the slope rule in local coordinates (origin at the left end
// of the axis, x right, y up, 0.01 mm): the axis, one line per degree of
// slope from 1 to 30, the curves through their tops for two to N adjacent
// contours, the lengthened degree lines, the title, two captions and the
// degree and percent values. Drawing, conversion and the element's extent
// are all made from this one layout.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/basilo/sgis_types.h"

namespace md::layout::furniture {

// The settings the figure is laid out from.
struct SlopeSettings {
  int nAxislineInterval = 200;     // AI: horizontal distance between degree lines
  int nSlopelineNumber = 6;        // N: contours spanned by the highest curve
  double dContourInterval = 50.0;  // CI: metres
  int nAngleGap = 100;
  int nPercentGap = 700;
  int nTitleGap = 2500;
  int nGapDescription = 100;
};

// Which symbol draws a piece.
enum class SlopeSymbol { Axis, Contour, Title, Description, Angle, Percent };

struct SlopeLine {
  SlopeSymbol symbol;
  std::vector<SGIS_Point> points;
};

struct SlopeText {
  SlopeSymbol symbol;
  std::string text;
  SGIS_Point anchor;  // lower-left corner of the text
  SGIS_Rect box;      // the text's box as measured (left, top, right, bottom)
};

// The figure's pieces in drawing order, grouped as they are converted.
struct SlopeFigure {
  SlopeLine axis;
  std::vector<SlopeLine> degreeLines;       // 30
  SlopeLine twoContourCurve;                // 30 points
  std::vector<SlopeLine> furtherCurves;     // N - 2, 26 points each
  std::vector<SlopeLine> lengthenedLines;   // 26
  std::vector<SlopeText> titleAndCaptions;  // title, first caption, second caption
  std::vector<SlopeText> degreeValues;      // "1", "2", "4" ... "30", "度"
  std::vector<SlopeText> percentValues;     // under 2, 4 ... 30 degrees, then "%"

  // The bounding rectangle of every line point and text box.
  SGIS_Rect Extent() const;
};

// Width and height, in page units, of a text drawn with the piece's symbol.
using SlopeMeasure =
    std::function<void(SlopeSymbol symbol, const char* szText, double* pWidth, double* pHeight)>;

// Largest number of contours one figure spans; larger stored values are
// drawn as this many.
constexpr int kMaxSlopeLines = 20;

// The fixed divisor of every line length.
constexpr double kSlopeDivisor = 500.0;

// Length of the line for a slope of a degrees spanning k contour intervals.
int SlopeLineLength(double dDegrees, int k, double dContourInterval);

// Why a figure cannot be laid out: NULL when it can, else the log text.
const char* SlopeSettingsFault(const SlopeSettings& settings);

// Lays the figure out; the settings must pass SlopeSettingsFault. N is used
// within 2 .. kMaxSlopeLines.
SlopeFigure LayOutSlopeFigure(const SlopeSettings& settings, const SlopeMeasure& measure);

}  // namespace md::layout::furniture
