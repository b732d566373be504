// Text layout shared by the text symbols (measuring) and the annotation
// drawer (drawing), so that both agree on lines, widths and line height.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/text/textengine.h"
#include "platform/win/wintypes.h"

namespace md::glyphor {

// Default text height (symbol units) of a font record whose lfHeight is 0.
constexpr double kDefaultTextHeight = 10.0;
// Largest character width of a font record, in ems of its height.
constexpr double kMaxWidthPerEm = 64.0;

// Splits at "\r\n", "\n" and "\r"; an empty text is one empty line.
std::vector<std::string> SplitLines(std::string_view text);

// Text height in symbol units of a font record (|lfHeight|, or the default).
double TextHeight(const LOGFONT& font);

// A font request for the record at an em of `emPixels` device pixels; the
// record's width is scaled in proportion.
md::text::FontRequest RequestFor(const LOGFONT& font, double emPixels);

struct Lines {
  std::vector<std::string> text;
  std::vector<double> widths;  // per line
  double width = 0;            // widest line
  double lineHeight = 0;       // cell height of the font
  double ascent = 0;
  double height = 0;  // lines x line height
};

// Lays the lines of `text` out with `font` (already sized in pixels).
Lines Layout(const md::text::Font& font, std::string_view text);

}  // namespace md::glyphor
