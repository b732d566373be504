// A decoded picture: 32-bit pixels with its resolution, shared read-only
// between the cache and the drawings that use it.
#pragma once

#include <atomic>
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

enum class Format { Unknown, Png, Jpeg, Gif, Tiff, Bmp, Ico, Cur, Wmf, Emf };

class MetafileVectors;

// A metafile's own bytes, as its helper drew them, and the memory limit it
// drew them within: the helper paints them again at each size they are drawn
// at on a raster, and answers their draw list at each box where they are
// printed as vectors and their list is asked for per box (draw.h).
struct MetafileSource {
  std::vector<std::uint8_t> bytes;
  std::size_t memoryLimit = 0;
  // The raster operations its paintings and lists drew as their nearest
  // (protocol/answer.h's NearestRop bits), learnt from each run of its
  // helper: the file draws them at every size alike.
  mutable std::atomic<std::uint32_t> nearestRops{0};
};

// Tells one bitmap's pixels from every other's, for the resamplings the
// picture cache keeps of them (loader.h): each bitmap made or copied gets a
// number no other had in this process, an assigned one a new number, and the
// end of a number (its bitmap's, or its assignment's) is told to the hook the
// cache installs, which drops its resamplings.
class PictureId {
 public:
  PictureId() : value_(Next()) {}
  PictureId(const PictureId&) : value_(Next()) {}
  PictureId& operator=(const PictureId&);
  ~PictureId();
  std::uint64_t value() const { return value_; }

 private:
  static std::uint64_t Next();
  std::uint64_t value_;
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
  // A metafile's drawing as vectors (metafilevectors.h), drawn instead of
  // the pixels wherever it can be; NULL for other pictures.
  std::shared_ptr<const MetafileVectors> vectors;
  // A metafile's bytes (format says which kind), shared by its copies; NULL
  // for other pictures.
  std::shared_ptr<const MetafileSource> metafile;
  // What the picture cache keeps this bitmap's resamplings by; pixels must
  // not change once the bitmap has been drawn.
  PictureId id;

  std::uint32_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
  canvas::Image View() const {
    return canvas::Image{pixels.data(), width, height, width * 4, false, hasAlpha};
  }
};

using BitmapPtr = std::shared_ptr<const Bitmap>;

namespace detail {
// Told each number that ends; NULL: nothing is.
using PictureEndHook = void (*)(std::uint64_t id);
void SetPictureEndHook(PictureEndHook hook);
}  // namespace detail

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
  // A metafile whose helper could not be started (a process limit, no
  // memory, a missing program) or whose run says nothing of the file: not
  // remembered, another drawing tries again.
  bool notRun = false;
  explicit operator bool() const { return bitmap != nullptr; }
};

}  // namespace md::imaging
