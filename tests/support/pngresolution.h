// The resolution a PNG states: its physical-size chunks (pHYs) before the
// first image data, which readers take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace md::test {

struct PngPhysical {
  int count = 0;  // the chunks; the first one's values:
  std::uint32_t x = 0, y = 0;
  int unit = -1;  // 1: pixels per metre
  bool operator==(const PngPhysical&) const = default;
};
inline void PrintTo(const PngPhysical& p, std::ostream* os) {
  *os << p.count << " chunk(s) " << p.x << " x " << p.y << " unit " << p.unit;
}
// One chunk of the resolution in pixels per metre.
inline PngPhysical Stated(std::uint32_t perMetre) { return {1, perMetre, perMetre, 1}; }

inline PngPhysical ReadPngPhysical(const std::vector<std::uint8_t>& png) {
  const auto big = [&](std::size_t at) {
    return std::uint32_t{png[at]} << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
  };
  const auto type = [&](std::size_t at) { return std::string(png.begin() + at + 4, png.begin() + at + 8); };
  PngPhysical out;
  if (png.size() < 8 || std::string(png.begin(), png.begin() + 8) != "\x89PNG\r\n\x1a\n") return out;
  for (std::size_t at = 8; at + 12 <= png.size() && big(at) <= png.size() - at - 12 && type(at) != "IDAT";
       at += 12 + big(at))
    if (type(at) == "pHYs" && big(at) == 9 && ++out.count == 1)
      out = {1, big(at + 8), big(at + 12), png[at + 16]};
  return out;
}

inline PngPhysical ReadPngPhysicalFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return ReadPngPhysical({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
}

}  // namespace md::test
