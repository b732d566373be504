// A decoded picture: 32-bit pixels with its resolution, shared read-only
// between the cache and the drawings that use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/canvas/canvas.h"

namespace md::imaging {

// The memory one decoded picture may take (its pixels at four bytes each):
// a file whose declared size needs more is refused before anything is
// allocated.
constexpr std::size_t kDefaultMemoryLimit = std::size_t{512} << 20;

enum class Format { Unknown, Png, Jpeg, Gif, Tiff, Bmp, Ico, Cur, Wmf, Emf };

class SvgDrawing;

// The picture last resampled for a drawing, kept so that drawing the same
// picture onto the same device rectangle again (every print of a page)
// skips the resampling. A copy of a bitmap starts with none.
class ResampledPicture {
 public:
  ResampledPicture() = default;
  ResampledPicture(const ResampledPicture&) {}
  ResampledPicture& operator=(const ResampledPicture&) {
    std::lock_guard<std::mutex> lock(mutex_);
    key_.clear();
    pixels_.reset();
    return *this;
  }
  // The pixels kept under the key, or NULL.
  std::shared_ptr<const std::vector<std::uint32_t>> Find(const std::vector<double>& key) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return key == key_ ? pixels_ : nullptr;
  }
  void Keep(std::vector<double> key, std::shared_ptr<const std::vector<std::uint32_t>> pixels) const {
    std::lock_guard<std::mutex> lock(mutex_);
    key_ = std::move(key);
    pixels_ = std::move(pixels);
  }

 private:
  mutable std::mutex mutex_;
  mutable std::vector<double> key_;
  mutable std::shared_ptr<const std::vector<std::uint32_t>> pixels_;
};

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
  // A metafile's drawing as vectors (svgdrawing.h), drawn instead of the
  // pixels wherever it can be; NULL for other pictures.
  std::shared_ptr<const SvgDrawing> vectors;
  // The last resampling drawn (see draw.h); pixels must not change once the
  // bitmap has been drawn.
  ResampledPicture resampled;

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
  // Not tried, or cut short, because the drawing's time for metafiles was
  // spent (metafilelimits.h): another drawing tries again.
  bool deferred = false;
  // A metafile that ran past its own time (metafilelimits.h): not
  // remembered, another drawing tries again.
  bool timedOut = false;
  explicit operator bool() const { return bitmap != nullptr; }
};

}  // namespace md::imaging
