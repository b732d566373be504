// The check both picture fuzzers make of a decode: refused with a reason, or
// a picture whose pixels match its size and stay within the limit.
#pragma once

#include <cstddef>

#include "platform/imaging/bitmap.h"

namespace md::test {

// A small limit keeps single inputs fast; the size checks are the same.
constexpr std::size_t kFuzzImageLimit = std::size_t{64} << 20;

inline void CheckDecode(const md::imaging::DecodeResult& r) {
  if (!r) {
    if (r.error.empty()) __builtin_trap();
    return;
  }
  const md::imaging::Bitmap& b = *r.bitmap;
  if (b.width <= 0 || b.height <= 0 ||
      b.pixels.size() != static_cast<std::size_t>(b.width) * static_cast<std::size_t>(b.height) ||
      b.pixels.size() * 4 > kFuzzImageLimit || !(b.dpiX >= 0) || !(b.dpiY >= 0))
    __builtin_trap();
}

}  // namespace md::test
