// Printing the demo page: a printer device context on a canvas, the host's
// print display over it (0.01 mm, y up, the page's top-left corner on the
// paper's), and OnDraw with the print flag on every element the host draws.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas/canvas.h"

namespace md::canvas {
class CairoCanvas;
}
namespace md::text {
class TextEngine;
}

namespace md::demo {

class Page;

// Resolutions the demo accepts, in dots per inch.
constexpr int kMinDpi = 36;
constexpr int kMaxDpi = 600;

// Prints the page onto the canvas, which must span the A4 landscape paper at
// `dpi`. Text is measured by `engine` (FreeType when null). False with a
// message when the context cannot be made or an element fails to draw.
bool PrintPage(Page& page, md::canvas::Canvas* canvas, int dpi, md::text::TextEngine* engine,
               std::string* error);

// The page printed into a new white raster of the paper at `dpi`.
std::unique_ptr<md::canvas::CairoCanvas> PrintRaster(Page& page, int dpi, md::text::TextEngine* engine,
                                                     std::string* error);

// The page printed into a one-page PDF file.
bool PrintPdf(Page& page, const std::string& path, int dpi, md::text::TextEngine* engine, std::string* error);

// Raster pixels, top-down rows, 0x00RRGGBB.
struct Raster {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The pixels of a raster canvas (empty when it has none).
Raster ReadRaster(md::canvas::Canvas& canvas);

// Writes a raster as an RGB PNG; false with a message on failure.
bool WritePng(const Raster& raster, const std::string& path, std::string* error);
// Reads a PNG into a raster (alpha dropped); false with a message on failure.
bool ReadPng(const std::string& path, Raster* raster, std::string* error);

// How two rasters differ: pixels whose largest channel difference is above
// the tolerance count as differing.
struct Difference {
  bool sameSize = false;
  long long differing = 0;  // pixels beyond the tolerance
  int largest = 0;          // largest channel difference seen (0..255)
};
Difference Compare(const Raster& a, const Raster& b, int tolerance);

// A picture of the difference: the first raster faded to a light grey, with
// the pixels beyond the tolerance in red. Sizes must match (else empty).
Raster DifferenceImage(const Raster& a, const Raster& b, int tolerance);

}  // namespace md::demo
