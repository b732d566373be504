// Raster pictures in memory: the pixels of a raster canvas, PNG files, and
// comparisons of two pictures with a per-channel tolerance.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/canvas/canvas.h"
#include "platform/canvas/pngencode.h"

namespace md::canvas {

class CairoCanvas;

// Raster pixels, top-down rows, 0x00RRGGBB, at `dpi` pixels per inch.
struct Raster {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  double dpi = kScreenDpi;
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The pixels of a raster canvas (empty when it has none), at its resolution.
Raster ReadRaster(Canvas& canvas);

// Writes a raster as an RGB PNG stating its resolution (see pngwrite.h);
// false with a message on failure, ending with the reason (the system's for
// a file that could not be written).
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
// The same for two raster canvases, read in place (no copy of the pixels).
Difference Compare(const CairoCanvas& a, const CairoCanvas& b, int tolerance);

// A picture of the difference: the first raster faded to a light grey, with
// the pixels beyond the tolerance in red, at the first's resolution. Sizes
// must match (else empty).
Raster DifferenceImage(const Raster& a, const Raster& b, int tolerance);

}  // namespace md::canvas
