#include "host/glyphor/gis_textlayout.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace md::glyphor {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string cur;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(cur);
      cur.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      cur.push_back(c);
    }
  }
  lines.push_back(cur);
  return lines;
}

double TextHeight(const LOGFONT& font) {
  if (font.lfHeight == 0) return kDefaultTextHeight;
  return std::fabs(static_cast<double>(font.lfHeight));
}

md::text::FontRequest RequestFor(const LOGFONT& font, double emPixels) {
  md::text::FontRequest r;
  const std::size_t n = strnlen(font.lfFaceName, sizeof font.lfFaceName);
  r.face.assign(font.lfFaceName, n);
  r.height = -emPixels;
  // A width beyond kMaxWidthPerEm ems is taken as that many.
  r.width = font.lfWidth > 0 ? emPixels * std::min(font.lfWidth / TextHeight(font), kMaxWidthPerEm) : 0.0;
  r.weight = font.lfWeight;
  r.italic = font.lfItalic != 0;
  r.underline = font.lfUnderline != 0;
  r.strikeOut = font.lfStrikeOut != 0;
  r.charSet = font.lfCharSet;
  return r;
}

Lines Layout(const md::text::Font& font, std::string_view text) {
  Lines out;
  out.text = SplitLines(text);
  const auto& m = font.Metrics();
  out.lineHeight = m.height;
  out.ascent = m.ascent;
  for (const auto& line : out.text) {
    const double w = font.Measure(line).width;
    out.widths.push_back(w);
    out.width = std::max(out.width, w);
  }
  out.height = out.lineHeight * static_cast<double>(out.text.size());
  return out;
}

}  // namespace md::glyphor
