// Drawings that cost far more to paint or to hold than their size says, made
// of what cairo's SVG holds only: groups using the group below several times,
// a path crossing itself at every segment, a picture whose few bytes decode
// to gigabytes; and a metafile of a zigzag.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/platform/imaging/metafiles.h"

namespace md::test::costly {

// The opening of a document of a w x h view box, as cairo writes it.
inline std::string SvgOpen(int w, int h) {
  const std::string size = "width=\"" + std::to_string(w) + "pt\" height=\"" + std::to_string(h) + "pt\"";
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
         "xmlns:xlink=\"http://www.w3.org/1999/xlink\" " +
         size + " viewBox=\"0 0 " + std::to_string(w) + " " + std::to_string(h) + "\" version=\"1.1\">\n";
}

// A faded group holding a rectangle over the whole box, and `levels` faded
// groups above it, each using the one below `uses` times.
inline std::string NestedGroups(int levels, int uses) {
  std::string s = SvgOpen(3000, 1500) +
                  "<defs>\n<g id=\"l0\" style=\"opacity:0.5;\"><rect x=\"0\" y=\"0\" width=\"3000\" "
                  "height=\"1500\" style=\"fill:rgb(0%,0%,100%);\"/></g>\n";
  for (int l = 1; l <= levels; ++l) {
    s += "<g id=\"l" + std::to_string(l) + "\" style=\"opacity:0.9;\">";
    for (int u = 0; u < uses; ++u) s += "<use xlink:href=\"#l" + std::to_string(l - 1) + "\"/>";
    s += "</g>\n";
  }
  return s + "</defs>\n<use xlink:href=\"#l" + std::to_string(levels) + "\"/>\n</svg>\n";
}

// The vertices of a zigzag across a w x h box: each from one side to the
// other, a little lower than the last give or take 0.3 of the height, so
// that every segment crosses hundreds of others.
inline std::vector<std::pair<int, int>> Zigzag(int points, int w, int h) {
  std::vector<std::pair<int, int>> v;
  std::uint64_t r = 88172645463325252ull;
  for (int i = 0; i < points; ++i) {
    r ^= r << 13;
    r ^= r >> 7;
    r ^= r << 17;
    const double y = std::fmod(i * static_cast<double>(h) / points + (r % 1000000) / 1e6 * 0.3 * h, h);
    v.emplace_back(i % 2 == 0 ? 0 : w, static_cast<int>(y));
  }
  return v;
}

// One path of `segments` segments, a zigzag filled even-odd.
inline std::string LongPath(int segments) {
  std::string s =
      SvgOpen(100, 100) + "<path style=\"fill-rule:evenodd;fill:rgb(0%,0%,0%);stroke:none;\" d=\"";
  const char* command = "M";
  for (const auto& [x, y] : Zigzag(segments, 99, 99)) {
    s += std::string(command) + " " + std::to_string(x) + " " + std::to_string(y) + " ";
    command = "L";
  }
  return s + "Z\"/>\n</svg>\n";
}

inline std::string Base64(const std::vector<std::uint8_t>& bytes) {
  constexpr const char* kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t at = 0; at < bytes.size(); at += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - at);  // bytes in this group
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 3; ++k) v = (v << 8) | (k < n ? bytes[at + k] : 0u);
    for (std::size_t k = 0; k < 4; ++k) out += k <= n ? kDigits[(v >> (18 - 6 * k)) & 63] : '=';
  }
  return out;
}

// A document showing a picture whose PNG header says it is w x h pixels of
// RGB; its data ends after the header (librsvg is not asked to decode it).
inline std::string SvgOfPicture(std::uint32_t w, std::uint32_t h) {
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A,
                                   0,    0,   0,   13,  'I',  'H',  'D',  'R'};
  for (const std::uint32_t v : {w, h})
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<std::uint8_t>(v >> shift));
  png.insert(png.end(), {8, 2, 0, 0, 0, 0, 0, 0, 0});
  return SvgOpen(100, 100) + "<image width=\"100\" height=\"100\" xlink:href=\"data:image/png;base64," +
         Base64(png) + "\"/>\n</svg>\n";
}

using metafiles::Bytes;
using metafiles::Colour;

// A placeable WMF of 10 x 5 inches at 1000 units an inch: one black polygon
// of a zigzag of `points` vertices, filled even-odd (12 KB for 3,000).
inline Bytes ZigzagWmf(int points) {
  std::vector<std::uint16_t> polygon = {static_cast<std::uint16_t>(points)};
  for (const auto& [x, y] : Zigzag(points, 10000, 5000)) {
    polygon.push_back(static_cast<std::uint16_t>(x));
    polygon.push_back(static_cast<std::uint16_t>(y));
  }
  std::vector<std::uint16_t> brush = {0};
  for (std::uint16_t w : Colour(0)) brush.push_back(w);
  brush.push_back(0);
  return metafiles::Wmf(10000, 5000, 1000,
                        {{0x020B, {0, 0}},
                         {0x020C, {5000, 10000}},
                         {0x02FA, {5, 0, 0, 0, 0}},  // 0: null pen
                         {0x02FC, brush},            // 1: black brush
                         {0x012D, {0}},
                         {0x012D, {1}},
                         {0x0106, {1}},  // even-odd fill
                         {0x0324, polygon}},
                        2);
}

}  // namespace md::test::costly
