// Where libemf2svg places an EMF's text otherwise than the records mean.
// It sets a text aligned by its bottom on its baseline (the font's descent
// too low) and one aligned by its top 0.9 of its size above its baseline
// (the font's ascent, whatever it is); and it turns a turned text about a
// point 0.9 of its size below its reference point, carrying it there.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace md::imaging::detail {

// The vertical alignment a mark gives the text after it (emfstrings.h).
enum class TextAlign { Baseline, Bottom, Top };

// `markup` ends with a text's start tag as libemf2svg writes it: the text
// is turned about its reference point, and set by `align` as the font
// librsvg finds for its family, weight and slant measures its ascent and
// descent (as GDI measures a TrueType face: by its Windows metrics).
void PlaceEmfText(std::string* markup, TextAlign align);

// An ExtTextOut's advances, a UTF-16 unit's (a byte's, of ExtTextOutA) each,
// and the font's width, both of the font's height (of the size the library
// gives the text) across the page; a width of 0 is the face's own.
struct TextSpacing {
  std::vector<double> advances;
  double across = 0;
};

// `markup` ends with the start tag of a text whose characters are `text`:
// the tag is set to draw each character where `spacing` puts it from the
// reference point by the tag's alignment, its glyphs stretched by the
// font's width, and the answer is each character's place along the
// baseline, in the tag's units; empty, with the tag as it was, where the
// advances are not one a character (or a surrogate pair's two).
std::vector<double> SpaceEmfText(std::string* markup, std::string_view text, const TextSpacing& spacing);

}  // namespace md::imaging::detail
