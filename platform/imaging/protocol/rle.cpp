#include "platform/imaging/protocol/rle.h"

namespace md::imaging::detail {

const char* ExpandRle(const std::uint8_t* src, std::size_t n, std::size_t width, std::size_t height,
                      bool four, std::uint8_t* indices) {
  // A column from 0 to the row's width (just past its last pixel) and a row
  // from 0 (the bottom) to the height.
  std::size_t x = 0, y = 0, i = 0;
  auto put = [&](unsigned index) { indices[y * width + x++] = static_cast<std::uint8_t>(index); };
  while (y < height) {
    if (i + 2 > n) return "compressed pixels end early";
    const unsigned count = src[i], value = src[i + 1];
    i += 2;
    if (count > 0) {
      if (count > width - x) return "a run passes the end of its row";
      for (unsigned k = 0; k < count; ++k) put(four ? ((k & 1u) ? (value & 0x0Fu) : (value >> 4)) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of picture
      break;
    } else if (value == 2) {  // delta
      if (i + 2 > n) return "compressed pixels end early";
      const std::size_t dx = src[i], dy = src[i + 1];
      i += 2;
      if (dx > width - x || dy > height - y) return "a move passes the edge of the picture";
      x += dx;
      y += dy;
    } else {  // absolute run of `value` pixels, padded to 16 bits
      const std::size_t bytes = four ? (value + 1) / 2 : value;
      if (i + bytes > n) return "compressed pixels end early";
      if (value > width - x) return "a run passes the end of its row";
      for (unsigned k = 0; k < value; ++k) {
        const unsigned byte = src[i + (four ? k / 2 : k)];
        put(four ? ((k & 1u) ? (byte & 0x0Fu) : (byte >> 4)) : byte);
      }
      i += bytes + (bytes & 1u);
    }
  }
  return nullptr;
}

}  // namespace md::imaging::detail
