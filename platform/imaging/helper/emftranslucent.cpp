// Reading an EMF+ file's translucent fills into the plain records that
// draw them.
#include "platform/imaging/helper/emftranslucent.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string_view>

#include "platform/imaging/helper/emfstrings.h"

namespace md::imaging::detail {
namespace {

constexpr std::uint32_t kComment = 70, kEmfPlus = 0x2B464D45, kCreateBrush = 39;
// EMF+ fills whose brush may be a colour: FillRects, FillPolygon,
// FillEllipse, FillPie, FillRegion, FillPath, FillClosedCurve.
constexpr std::uint16_t kFills[] = {0x400A, 0x400C, 0x400E, 0x4010, 0x4013, 0x4014, 0x4016};
constexpr std::uint16_t kColourBrush = 0x8000;

// The COLORREF of the marker: red 1, green 0x39, blue the index's two
// decimal digits read as hex.
std::uint32_t MarkerRef(std::size_t index) {
  const std::uint32_t blue = static_cast<std::uint32_t>((index / 10) * 16 + index % 10);
  return (blue << 16) | (0x39u << 8) | 0x01u;
}

}  // namespace

std::vector<TranslucentFill> ReplaceTranslucentFills(std::vector<std::uint8_t>* copy) {
  std::vector<std::uint8_t>& b = *copy;
  std::vector<TranslucentFill> fills;
  // The opacity of the last EMF+ fill, for the plain records after it.
  std::uint32_t alpha = 255;
  for (std::size_t at = 0, bytes = 0; at + 8 <= b.size(); at += bytes) {
    std::uint8_t* r = b.data() + at;
    const std::uint32_t type = EmfU32(r);
    bytes = EmfU32(r + 4);
    if (bytes < 8 || bytes > b.size() - at) break;
    if (type == kComment && bytes >= 16 && EmfU32(r + 12) == kEmfPlus) {
      alpha = 255;
      // Its records: type and flags, size, data's size, data.
      for (std::size_t p = 16; p + 16 <= bytes;) {
        const std::uint16_t plus = static_cast<std::uint16_t>(r[p] | (r[p + 1] << 8)),
                            flags = static_cast<std::uint16_t>(r[p + 2] | (r[p + 3] << 8));
        const std::uint32_t size = EmfU32(r + p + 4);
        if (size < 12 || size > bytes - p) break;
        const bool fill = std::find(std::begin(kFills), std::end(kFills), plus) != std::end(kFills);
        alpha = fill && (flags & kColourBrush) != 0 ? EmfU32(r + p + 12) >> 24 : 255;
        p += size;
      }
      continue;
    }
    if (type != kCreateBrush || bytes < 24) continue;
    const std::uint32_t colour = EmfU32(r + 16);
    if ((colour & 0xFFFF) == 0x3901) EmfPut32(r + 16, colour & ~0xFFu);
    // A solid brush, not one of the hatches' markers (emfbitmaps.h).
    if (alpha == 255 || EmfU32(r + 12) != 0 || (EmfU32(r + 16) & 0xFFFF) == 0x3701) continue;
    const TranslucentFill f{EmfU32(r + 16) & 0xFFFFFF, alpha};
    auto found = std::find(fills.begin(), fills.end(), f);
    if (found == fills.end()) {
      if (fills.size() == kTranslucentMarkers) continue;
      fills.push_back(f);
      found = fills.end() - 1;
    }
    EmfPut32(r + 16, MarkerRef(static_cast<std::size_t>(found - fills.begin())));
  }
  return fills;
}

std::string TranslucentSvg(const std::string& svg, const std::vector<TranslucentFill>& fills) {
  if (fills.empty()) return svg;
  constexpr std::string_view kFill = "fill=\"#0139";
  std::string out;
  out.reserve(svg.size() + svg.size() / 16);
  std::size_t at = 0;
  for (std::size_t found = svg.find(kFill); found != std::string::npos; found = svg.find(kFill, at)) {
    const std::size_t digits = found + kFill.size();
    std::size_t index = 0;
    const auto [end, error] =
        std::from_chars(svg.data() + digits, svg.data() + std::min(svg.size(), digits + 2), index);
    const std::size_t open = svg.rfind('<', found);
    const bool inTag = open != std::string::npos && open >= at && svg.find('>', open) > found;
    if (!inTag || error != std::errc() || end != svg.data() + digits + 2 || index >= fills.size() ||
        digits + 2 >= svg.size() || svg[digits + 2] != '"') {
      out.append(svg, at, digits - at);
      at = digits;
      continue;
    }
    const TranslucentFill& f = fills[index];
    char paint[64];
    std::snprintf(paint, sizeof paint, "fill=\"#%02X%02X%02X\" fill-opacity=\"%.4g\"", f.colour & 0xFF,
                  (f.colour >> 8) & 0xFF, (f.colour >> 16) & 0xFF, f.alpha / 255.0);
    out.append(svg, at, found - at);
    out += paint;
    at = digits + 3;
  }
  out.append(svg, at, std::string::npos);
  return out;
}

}  // namespace md::imaging::detail
