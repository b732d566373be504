// The built-in style codes of the symbol library and what each looks like.
//
// A style code selects the look of a symbol part; the same table serves the
// renderer (integer device contexts), the painter (double-precision graphics)
// and the choosers' catalogues. STYLES.md beside this file lists every code
// with a picture-free description.
//
// Point styles are drawn from a few primitives laid out in a nominal box of
// width x height symbol units, centred on the anchor, y up. A symbol of a
// given size draws the box `size` units high (width in proportion). Colour
// slots pick the symbol's colour words: 1 = Color, 2 = Color2, 3 = Color3
// (how many slots a point kind honours is stated in STYLES.md).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win/wintypes.h"

namespace md::glyphor {

enum class Kind { Point, Line, Fill };

struct XY {
  double x = 0;
  double y = 0;
};

// One drawing primitive of a point style, in nominal units (y up, origin at
// the box centre).
struct PointOp {
  enum Type { Polygon, Polyline, Circle } type = Polygon;
  std::vector<XY> pts;     // Polygon / Polyline vertices
  XY center;               // Circle centre
  double radius = 0;       // Circle radius
  int fillSlot = 0;        // 0: not filled; else colour slot 1..3
  int strokeSlot = 0;      // 0: not stroked; else colour slot 1..3
  double strokeWidth = 0;  // nominal units
};

enum class FillPattern {
  Solid,
  Horizontal,
  Vertical,
  ForwardDiagonal,
  BackwardDiagonal,
  Cross,
  DiagonalCross
};

// The GDI hatch index (HS_HORIZONTAL 0 … HS_DIAGCROSS 5) of a pattern; -1 for solid.
inline int HatchIndex(FillPattern p) { return p == FillPattern::Solid ? -1 : static_cast<int>(p) - 1; }

struct Style {
  int code = 0;
  Kind kind = Kind::Point;
  const char* name = "";  // UTF-8 caption shown by the choosers
  // Point styles.
  double width = 0;  // nominal box, symbol units
  double height = 0;
  std::vector<PointOp> ops;
  bool northArrow = false;
  // Line styles: default width (mm) and dash pattern (mm, on/off pairs; empty = solid).
  double lineWidthMm = 0;
  std::vector<double> dashMm;
  // Fill styles: pattern, default colours and outline width (mm, 0 = none).
  FillPattern pattern = FillPattern::Solid;
  COLORREF fillColor = 0;
  COLORREF outlineColor = 0;
  double outlineWidthMm = 0;
};

// Default codes of a new symbol of each kind.
constexpr int kDefaultPointCode = 3301;  // 0xCE5
constexpr int kDefaultLineCode = 3331;   // 0xD03
constexpr int kDefaultFillCode = 3361;   // 0xD21

// The whole table, in code order.
const std::vector<Style>& AllStyles();
// The style of a code, or nullptr when the code is not in the table.
const Style* Find(int code);
// The style of a code if it is of the given kind; else the kind's default.
const Style& FindOrDefault(int code, Kind kind);

// One ready-made point symbol of the catalogue the choosers offer: a point
// kind (5, 6 or 7) with a style code and its colours.
struct PointPreset {
  int type = 6;
  int code = kDefaultPointCode;
  int size = 0;  // 0: the style's nominal height
  COLORREF color = 0;
  COLORREF color2 = 0xFFFFFF;
  COLORREF color3 = 0;
};
const std::vector<PointPreset>& PointPresets();

}  // namespace md::glyphor
