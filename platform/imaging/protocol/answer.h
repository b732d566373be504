// What the library asks of the metafile helper (mapdeck-metafile) and the
// layout of what the helper answers in the run's shared buffer: the one place
// both sides take them from.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace md::imaging::detail {

// The helper program, installed and built beside the library.
constexpr const char* kMetafileHelper = "mapdeck-metafile";

// A metafile is drawn at 300 dpi of its own size, its longest side at most
// 4096 pixels and its pixels within the memory limit: lower when it is
// larger. Sizes the helper's drawing gives in pixels (the thinnest pen, a
// hatch's cell) are pixels of this grid.
constexpr double kMetafileDpi = 300.0;
constexpr int kMetafileMaxSide = 4096;

// The most SVG the helper writes of a drawing.
constexpr std::size_t kMetafileSvgBytes = std::size_t{4} << 20;

// A box a metafile is painted into on a raster: its device width and
// height, negative where it runs against the device's axes (the painting is
// mirrored), and the part of it painted, [x0, y0) to [x1, y1) from its
// top-left corner.
struct MetafileBox {
  std::array<std::int64_t, 2> size{};
  std::array<std::int64_t, 4> window{};
  std::int64_t Pixels() const { return (window[2] - window[0]) * (window[3] - window[1]); }
};

// The most pixels one run of the helper paints: a larger window is painted in
// bands of whole rows.
constexpr std::int64_t kMetafilePaintPixels = std::int64_t{16} << 20;
// The largest side of a raster cairo makes.
constexpr std::int64_t kMetafileMaxPaintSide = 32767;

// The buffer: a header of kAnswerHeaderBytes, its first words the
// AnswerHeader's, then the pixels (rows of premultiplied 0xAARRGGBB, as a
// cairo ARGB32 surface holds them), then what follows them.
constexpr std::size_t kAnswerHeaderBytes = 64;
struct AnswerHeader {
  std::int32_t width = 0, height = 0;  // the drawing's pixels
  std::int32_t dpiMilli = 0;           // their dots per inch x 1000
  std::int32_t svgBytes = 0;           // the SVG's bytes after the pixels
};
static_assert(sizeof(AnswerHeader) <= kAnswerHeaderBytes);

}  // namespace md::imaging::detail
