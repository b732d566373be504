// Reading a recorded picture back: the colour drawn at a device pixel.
#pragma once

#include <cstdint>

#include "platform/canvas/recording.h"

namespace md::test {

// The 0x00RRGGBB colour the image record painted at device pixel (x, y),
// which must lie inside its destination.
inline std::uint32_t RecordedPixel(const md::canvas::Record& r, int x, int y) {
  const int w = r.src.right - r.src.left;
  return r.pixels.at(static_cast<std::size_t>(y - r.dst.top) * static_cast<std::size_t>(w) +
                     static_cast<std::size_t>(x - r.dst.left)) &
         0xFFFFFF;
}

}  // namespace md::test
