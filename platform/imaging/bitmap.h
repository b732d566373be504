// A decoded picture: 32-bit pixels with its resolution, shared read-only
// between the cache and the drawings that use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
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

// The pictures last resampled for drawings, kept so that drawing the same
// picture onto a device rectangle it was drawn onto before (every print of a
// page, one picture in several elements, a view and a print) skips the
// resampling. The least recently drawn leave past kCount resamplings or
// kBytes of pixels; the newest stays whatever its size. A copy of a bitmap
// starts with none.
class ResampledPicture {
 public:
  static constexpr std::size_t kCount = 64;
  static constexpr std::size_t kBytes = std::size_t{64} << 20;

  ResampledPicture() = default;
  ResampledPicture(const ResampledPicture&) {}
  ResampledPicture& operator=(const ResampledPicture&) {
    std::lock_guard<std::mutex> lock(mutex_);
    kept_.clear();
    bytes_ = 0;
    return *this;
  }
  // The pixels kept under the key, or NULL.
  std::shared_ptr<const std::vector<std::uint32_t>> Find(const std::vector<double>& key) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = kept_.begin(); it != kept_.end(); ++it) {
      if (it->key != key) continue;
      kept_.splice(kept_.begin(), kept_, it);
      return it->pixels;
    }
    return nullptr;
  }
  // Keeps the pixels (not NULL) under the key, in place of any kept under it.
  void Keep(std::vector<double> key, std::shared_ptr<const std::vector<std::uint32_t>> pixels) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = kept_.begin(); it != kept_.end(); ++it) {
      if (it->key != key) continue;
      bytes_ -= it->pixels->size() * 4;
      kept_.erase(it);
      break;
    }
    bytes_ += pixels->size() * 4;
    kept_.push_front(Resampling{std::move(key), std::move(pixels)});
    while (kept_.size() > 1 && (kept_.size() > kCount || bytes_ > kBytes)) {
      bytes_ -= kept_.back().pixels->size() * 4;
      kept_.pop_back();
    }
  }

 private:
  struct Resampling {
    std::vector<double> key;
    std::shared_ptr<const std::vector<std::uint32_t>> pixels;
  };
  mutable std::mutex mutex_;
  mutable std::list<Resampling> kept_;  // most recently drawn first
  mutable std::size_t bytes_ = 0;
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
  // The resamplings last drawn (see draw.h); pixels must not change once the
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
