// Reading an EMF's dashed pens, and drawing their dashes into libemf2svg's
// SVG.
#include "platform/imaging/helper/emfdashes.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "platform/imaging/helper/emfstrings.h"

namespace md::imaging::detail {
namespace {

constexpr std::uint32_t kCreatePen = 38, kExtCreatePen = 95;
constexpr std::uint32_t kStyles = 0xF, kUserStyle = 7, kTypes = 0xF0000, kGeometric = 0x10000;
// The most lengths of a user style that are read.
constexpr std::size_t kMostDashes = 16;

// The dashes of PS_DASH to PS_DASHDOTDOT (styles 1 to 4): a cosmetic pen's
// in pixels, a geometric one's in widths.
const std::vector<double> kCosmetic[] = {{18, 6}, {3, 3}, {9, 6, 3, 6}, {9, 3, 3, 3, 3, 3}};
const std::vector<double> kGeometricDashes[] = {{3, 1}, {1, 1}, {3, 1, 1, 1}, {3, 1, 1, 1, 1, 1}};

// The COLORREF of the marker: red 1, green 0x38, blue the index's two
// decimal digits read as hex.
std::uint32_t MarkerRef(std::size_t index) {
  const std::uint32_t blue = static_cast<std::uint32_t>((index / 10) * 16 + index % 10);
  return (blue << 16) | (0x38u << 8) | 0x01u;
}

bool IsMarker(std::uint32_t ref) {
  const std::uint32_t blue = (ref >> 16) & 0xFF;
  return (ref & 0xFFFF) == 0x3801 && (blue >> 4) <= 9 && (blue & 0xF) <= 9;
}

}  // namespace

std::string DashMarker(std::size_t index) {
  char s[8];
  std::snprintf(s, sizeof s, "#0138%02zu", index % 100);
  return s;
}

std::vector<PenDashes> ReplaceEmfDashedPens(std::vector<std::uint8_t>* copy) {
  std::vector<std::uint8_t>& b = *copy;
  std::vector<PenDashes> pens;
  for (std::size_t at = 0, bytes = 0; at + 8 <= b.size(); at += bytes) {
    std::uint8_t* r = b.data() + at;
    const std::uint32_t type = EmfU32(r);
    bytes = EmfU32(r + 4);
    if (bytes < 8 || bytes > b.size() - at) break;
    // Where the style, the width and the colour lie.
    std::size_t style = 0, width = 0, colour = 0;
    if (type == kCreatePen && bytes >= 28) {
      style = 12;
      width = 16;
      colour = 24;
    } else if (type == kExtCreatePen && bytes >= 52) {
      style = 28;
      width = 32;
      colour = 40;
    } else {
      continue;
    }
    if (IsMarker(EmfU32(r + colour))) EmfPut32(r + colour, EmfU32(r + colour) & ~0xFFu);
    const std::uint32_t s = EmfU32(r + style), dash = s & kStyles;
    const double wide = static_cast<std::int32_t>(EmfU32(r + width));
    const bool cosmetic = type == kCreatePen ? wide <= 1 : (s & kTypes) != kGeometric;
    PenDashes pen{EmfU32(r + colour), {}, cosmetic};
    if (dash >= 1 && dash <= 4) {
      pen.dashes = (cosmetic ? kCosmetic : kGeometricDashes)[dash - 1];
    } else if (dash == kUserStyle && type == kExtCreatePen && (cosmetic || wide > 0)) {
      const std::size_t count = std::min<std::size_t>({EmfU32(r + 48), (bytes - 52) / 4, kMostDashes});
      for (std::size_t k = 0; k < count; ++k)
        pen.dashes.push_back(EmfU32(r + 52 + 4 * k) / (cosmetic ? 1.0 : wide));
      // An odd count repeats once more, its on and off swapped.
      if (count % 2 == 1) pen.dashes.insert(pen.dashes.end(), pen.dashes.begin(), pen.dashes.end());
      double sum = 0;
      for (const double d : pen.dashes) sum += d;
      if (!(sum > 0)) continue;
    } else {
      continue;
    }
    auto found = std::find(pens.begin(), pens.end(), pen);
    if (found == pens.end()) {
      if (pens.size() == kDashMarkers) continue;
      pens.push_back(pen);
      found = pens.end() - 1;
    }
    EmfPut32(r + style, s & ~kStyles);
    EmfPut32(r + colour, MarkerRef(static_cast<std::size_t>(found - pens.begin())));
  }
  return pens;
}

std::string DashSvg(const std::string& svg, const std::vector<PenDashes>& pens, double unit) {
  if (pens.empty()) return svg;
  constexpr std::string_view kStroke = "stroke=\"#0138", kWidth = " stroke-width=\"",
                             kDashes = " stroke-dasharray=\"";
  std::string out;
  out.reserve(svg.size() + svg.size() / 8);
  std::size_t at = 0;
  for (std::size_t found = svg.find(kStroke); found != std::string::npos; found = svg.find(kStroke, at)) {
    const std::size_t digits = found + kStroke.size();
    const std::size_t open = svg.rfind('<', found), close = svg.find('>', found);
    std::size_t index = 0;
    const auto [end, error] =
        std::from_chars(svg.data() + digits, svg.data() + std::min(svg.size(), digits + 2), index);
    // A stroke attribute of a tag, not of a text's characters.
    const bool inTag = open != std::string::npos && svg.find('>', open) > found;
    if (!inTag || close == std::string::npos || open < at || error != std::errc() ||
        end != svg.data() + digits + 2 || index >= pens.size() || svg[digits + 2] != '"') {
      out.append(svg, at, digits - at);
      at = digits;
      continue;
    }
    const PenDashes& pen = pens[index];
    // The tag without the library's dashes, its stroke in the pen's colour.
    std::string tag = svg.substr(open, close - open);
    const std::size_t old = tag.find(kDashes);
    const std::size_t oldEnd = old == std::string::npos ? old : tag.find('"', old + kDashes.size());
    if (oldEnd != std::string::npos) tag.erase(old, oldEnd + 1 - old);
    const std::size_t stroke = tag.find(kStroke);
    char colour[8];
    std::snprintf(colour, sizeof colour, "#%02X%02X%02X", pen.colour & 0xFF, (pen.colour >> 8) & 0xFF,
                  (pen.colour >> 16) & 0xFF);
    tag.replace(stroke + 8, 7, colour);
    double scale = unit;
    const std::size_t width = tag.find(kWidth);
    if (!pen.cosmetic && width != std::string::npos) {
      const char* from = tag.data() + width + kWidth.size();
      double w = 0;
      const auto parsed = std::from_chars(from, tag.data() + tag.size(), w);
      scale = parsed.ec == std::errc() && w > 0 ? w : unit;
    }
    std::string dashes(kDashes);
    for (std::size_t k = 0; k < pen.dashes.size(); ++k) {
      char length[32];
      std::snprintf(length, sizeof length, "%s%.6g", k == 0 ? "" : ",", pen.dashes[k] * scale);
      dashes += length;
    }
    dashes += '"';
    tag.insert(stroke + 16, dashes);
    out.append(svg, at, open - at);
    out += tag;
    at = close;
  }
  out.append(svg, at, std::string::npos);
  return out;
}

}  // namespace md::imaging::detail
