// What tells one content from another: its size and SHA-256, as the picture
// cache and the metafile helper's memory of refusals key what they keep.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>

namespace md::imaging {

struct Content {
  std::uint64_t size = 0;
  std::array<std::uint8_t, 32> digest{};
  bool operator==(const Content&) const = default;
  auto operator<=>(const Content&) const = default;
};

// The content of the bytes. SHA-256 by libcrypto, which runs on the
// processor's SHA instructions where it has them (some 1.8 GB/s) and on
// vector code elsewhere: a small part of what decoding the bytes costs.
Content ContentOf(const void* data, std::size_t size);

struct ContentHash {
  std::size_t operator()(const Content& c) const {
    std::size_t h;
    std::memcpy(&h, c.digest.data(), sizeof h);  // a digest's bytes are already spread
    return h ^ static_cast<std::size_t>(c.size);
  }
};

}  // namespace md::imaging
