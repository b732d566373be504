// Where libemf2svg places an EMF's text otherwise than the records mean.
// It sets a text aligned by its bottom on its baseline (the font's descent
// too low) and one aligned by its top 0.9 of its size above its baseline
// (the font's ascent, whatever it is); and it turns a turned text about a
// point 0.9 of its size below its reference point, carrying it there.
#pragma once

#include <string>

namespace md::imaging::detail {

// The vertical alignment a mark gives the text after it (emfstrings.h).
enum class TextAlign { Baseline, Bottom, Top };

// `markup` ends with a text's start tag as libemf2svg writes it: the text
// is turned about its reference point, and set by `align` as the font
// librsvg finds for its family, weight and slant measures its ascent and
// descent (as GDI measures a TrueType face: by its Windows metrics).
void PlaceEmfText(std::string* markup, TextAlign align);

}  // namespace md::imaging::detail
