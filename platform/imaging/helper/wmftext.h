// A Windows metafile's text drawn by GDI's rules (playwmf.cpp): on its
// reference point by its alignment and the face's own ascent and descent,
// in the named face where it is installed and fontconfig's nearest where
// not, with its weight, slant, width, underline, strikeout and turn, each
// character at its explicit width where the record gives them.
#pragma once

#include <cairo.h>
#include <cstdint>
#include <string>
#include <vector>

namespace md::imaging::detail {

// GDI's text alignment bits.
constexpr unsigned kTaUpdateCp = 1, kTaRight = 2, kTaCentre = 6, kTaBottom = 8, kTaBaseline = 24;
constexpr unsigned kEtoOpaque = 2, kEtoClipped = 4;

// A text record as the file holds it: its bytes, its characters' widths in
// logical units (none: the face's own), its options, and whether it starts
// where the text before it ended (under TA_UPDATECP, no move between).
struct WmfText {
  std::string bytes;
  std::vector<int> dx;
  unsigned options = 0;
  bool continues = false;
};

// The font a text is drawn in, as the file names it.
struct WmfFontSpec {
  std::string family;  // UTF-8
  unsigned charset = 0;
  int weight = 400;
  bool italic = false, underline = false, strikeout = false;
  unsigned pitchAndFamily = 0;
  // A symbol font's face, whose codes its bytes are (the caller's).
  cairo_font_face_t* symbolFace = nullptr;
};

// One text to draw, in the user space of `cr` (the device points the
// records are mapped to, scaled to pixels without turning): its reference point, the device points of a
// logical unit across and down (signed: a mirrored mapping), the font's
// height (negative: of its em, positive: of its cell) and width in logical
// units, and the DC's state.
struct WmfTextCall {
  double x = 0, y = 0;
  double unitX = 1, unitY = 1;
  double stretch = 1;  // how much more the box stretches the picture down than across
  int height = 0, width = 0;
  double escapement = 0;  // radians, counter-clockwise on the page
  unsigned align = 0;     // GDI's TA_ bits
  int charExtra = 0;      // logical units
  bool opaque = false;    // the background mode
  double text[3]{}, background[3]{};
  // ETO_OPAQUE / ETO_CLIPPED rectangle, in device points, when given.
  bool hasRect = false;
  double rect[4]{};
};

// Draws the text and answers where its advance ends (device points), for
// the next text under TA_UPDATECP.
void DrawWmfText(cairo_t* cr, const WmfFontSpec& font, const std::string& utf8, const WmfText* record,
                 const WmfTextCall& call, double* endX, double* endY);

}  // namespace md::imaging::detail
