// Drawings that cost far more to paint than their size says, made of what
// cairo's SVG holds only: groups using the group below several times, a path
// crossing itself at every segment; and a metafile of such a zigzag.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/platform/imaging/metafiles.h"

namespace md::test::costly {

// The opening of a document of a w x h view box, as cairo writes it.
inline std::string SvgOpen(int w, int h) {
  const std::string width = std::to_string(w), height = std::to_string(h);
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
         "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"" +
         width + "pt\" height=\"" + height + "pt\" viewBox=\"0 0 " + width + " " + height +
         "\" version=\"1.1\">\n";
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
  std::string d;
  for (const auto& [x, y] : Zigzag(segments, 99, 99))
    d += (d.empty() ? "M " : "L ") + std::to_string(x) + " " + std::to_string(y) + " ";
  return SvgOpen(100, 100) + "<path style=\"fill-rule:evenodd;fill:rgb(0%,0%,0%);stroke:none;\" d=\"" + d +
         "Z\"/>\n</svg>\n";
}

using metafiles::Bytes;

// A placeable WMF of 10000 x 5000 units, 10 x 5 inches at 1000 units an inch
// (or as many as given): one black polygon of a zigzag of `points` vertices,
// filled even-odd (12 KB for 3,000).
inline Bytes ZigzagWmf(int points, int unitsPerInch = 1000) {
  std::vector<std::uint16_t> polygon = {static_cast<std::uint16_t>(points)};
  for (const auto& [x, y] : Zigzag(points, 10000, 5000))
    polygon.insert(polygon.end(), {static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)});
  return metafiles::Wmf(10000, 5000, unitsPerInch,
                        {{0x020B, {0, 0}},
                         {0x020C, {5000, 10000}},
                         {0x02FA, {5, 0, 0, 0, 0}},  // 0: null pen
                         {0x02FC, {0, 0, 0, 0}},     // 1: black brush
                         {0x012D, {0}},
                         {0x012D, {1}},
                         {0x0106, {1}},  // even-odd fill
                         {0x0324, polygon}},
                        2);
}

}  // namespace md::test::costly
