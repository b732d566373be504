// The resolution a PNG states, read back from its bytes: its chunks walked
// from the signature to the first image data, the physical-size chunk
// (pHYs) taken from among them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace md::test {

struct PngPhysical {
  bool found = false;  // a pHYs chunk stands before the first image data
  int count = 0;       // pHYs chunks in the whole file
  std::uint32_t x = 0, y = 0;
  int unit = -1;  // 1: pixels per metre
  bool operator==(const PngPhysical&) const = default;
};

// One chunk, before the image data, of the resolution in pixels per metre.
inline PngPhysical Stated(std::uint32_t perMetre) { return {true, 1, perMetre, perMetre, 1}; }

inline void PrintTo(const PngPhysical& p, std::ostream* os) {
  *os << (p.found ? "" : "none before the data, ") << p.count << " chunk(s) " << p.x << " x " << p.y
      << " unit " << p.unit;
}

inline PngPhysical ReadPngPhysical(const std::vector<std::uint8_t>& png) {
  static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  PngPhysical out;
  if (png.size() < 8 || !std::equal(kSignature, kSignature + 8, png.begin())) return out;
  auto big = [&](std::size_t at) {
    return (std::uint32_t{png[at]} << 24) | (std::uint32_t{png[at + 1]} << 16) |
           (std::uint32_t{png[at + 2]} << 8) | png[at + 3];
  };
  bool imageSeen = false;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::uint32_t length = big(at);
    if (length > png.size() - at - 12) break;
    const std::string type(png.begin() + static_cast<std::ptrdiff_t>(at + 4),
                           png.begin() + static_cast<std::ptrdiff_t>(at + 8));
    imageSeen = imageSeen || type == "IDAT";
    if (type == "pHYs" && length == 9 && ++out.count == 1 && !imageSeen)
      out = {true, 1, big(at + 8), big(at + 12), png[at + 16]};
    at += 12 + length;
  }
  return out;
}

inline PngPhysical ReadPngPhysicalFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return ReadPngPhysical({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
}

}  // namespace md::test
