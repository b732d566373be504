// A decoded picture: 32-bit pixels with its resolution, shared read-only
// between the cache and the drawings that use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas/canvas.h"

namespace md::imaging {

// The memory one decoded picture may take (its pixels at four bytes each):
// a file whose declared size needs more is refused before anything is
// allocated.
constexpr std::size_t kDefaultMemoryLimit = std::size_t{512} << 20;

enum class Format { Unknown, Png, Jpeg, Gif, Tiff, Bmp };

// "PNG", "JPEG", ...; "" for Unknown.
const char* FormatName(Format format);

struct Bitmap {
  int width = 0;
  int height = 0;
  // Dots per inch the file states; 0 when it states none.
  double dpiX = 0.0;
  double dpiY = 0.0;
  Format format = Format::Unknown;
  // Some pixel is not fully opaque.
  bool hasAlpha = false;
  // Rows top-down, width * height pixels 0xAARRGGBB, colours premultiplied
  // by alpha (opaque pixels have alpha 0xFF).
  std::vector<std::uint32_t> pixels;

  std::uint32_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
  canvas::Image View() const {
    return canvas::Image{pixels.data(), width, height, width * 4, false, hasAlpha};
  }
};

using BitmapPtr = std::shared_ptr<const Bitmap>;

// What a decode or load gives: the picture, or NULL and the reason.
struct DecodeResult {
  BitmapPtr bitmap;
  std::string error;
  explicit operator bool() const { return bitmap != nullptr; }
};

}  // namespace md::imaging
