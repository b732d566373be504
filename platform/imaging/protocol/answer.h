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

// The requests, as the run's arguments (after the run's own, protocol/run.h):
//
//   wmf|emf <max pixels> <memory limit>
//       play the file and say its size (300 dpi of its own, within
//       <max pixels>): the buffer holds the header alone; what the file
//       draws is painted or listed at each size it is drawn at;
//   wmf|emf <max pixels> <memory limit> paint <w> <h> <x0> <y0> <x1> <y1>
//       paint it over a box of w x h device pixels into the window
//       [x0, x1) x [y0, y1) of it (MetafileBox): the header, then the
//       window's pixels;
//   wmf|emf <max pixels> <memory limit> list <w> <h>
//       answer its draw list for a box of w x h cells of 600 dpi, each
//       picture in it at most at that resolution: the header, then room for
//       the list (drawlist.h) of kListBytes.
constexpr const char* kPaintRequest = "paint";
constexpr const char* kListRequest = "list";
// The room the draw list has in the buffer (drawlist.h's kMaxBytes).
constexpr std::size_t kListBytes = std::size_t{64} << 20;

// What the helper answers of the drawing as vectors. Its reasons are codes,
// which the library words itself: nothing of the helper's text reaches a
// record.
enum class VectorsAnswer : std::uint32_t {
  None = 0,  // not asked for (a paint, a file played for its size)
  List = 1,  // the draw list follows the header
  // Not drawn as vectors, its pixels drawn instead:
  TooLarge = 16,        // the drawing's SVG or its list passes its room
  Filter = 17,          // a filter
  Pattern = 18,         // a pattern of anything but one picture
  MaskOfPictures = 19,  // a mask of more than one picture
  PictureInLayer = 20,  // a picture in a faded or masked group
  GradientStops = 21,   // a gradient of more stops than drawlist.h allows
  PastBounds = 22,      // it draws past a bound (elements, depth, dashes, ...)
  Unreadable = 23,      // cairo's SVG of it cannot be read
  BadTransform = 24,    // a transform that cannot be inverted within bounds
};

// The raster operations that depend on what lies below a painting, each
// drawn as the nearest painting over it gives: one bit each.
enum NearestRop : std::uint32_t {
  kNearestSrcInvert = 1u << 0,  // a bitmap's XOR, drawn as a copy
  kNearestPatInvert = 1u << 1,  // a brush's XOR, drawn as a copy
  kNearestXorPen = 1u << 2,     // R2_XORPEN outside the XOR trick, drawn as a copy
  kNearestDstInvert = 1u << 3,  // what lies below inverted, drawn as black
  kNearestNotPen = 1u << 4,     // R2_NOT, drawn as black
  kNearestSrcPaint = 1u << 5,   // a bitmap ORed, without its image
  kNearestSrcAnd = 1u << 6,     // a bitmap ANDed, without its mask
  kNearestMergeCopy = 1u << 7,  // a bitmap ANDed with the brush
  kNearestMergePen = 1u << 8,   // R2_MERGEPEN and R2_MERGENOTPEN
  kNearestMaskPen = 1u << 9,    // R2_MASKPEN and R2_MASKNOTPEN
  kNearestRopsAll = (1u << 10) - 1,
};

// The buffer: a header of kAnswerHeaderBytes, its first bytes the
// AnswerHeader's, then a painting's pixels (rows of premultiplied
// 0xAARRGGBB, as a cairo ARGB32 surface holds them) or the list.
constexpr std::size_t kAnswerHeaderBytes = 64;
struct AnswerHeader {
  std::int32_t width = 0, height = 0;  // the drawing's size in its pixels at 300 dpi
  std::int32_t dpiMilli = 0;           // their dots per inch x 1000
  std::uint32_t vectors = 0;           // a VectorsAnswer
  std::uint64_t listBytes = 0;         // the list's, when vectors is List
  // For the library's checks of the helper's painting (tests): 0.
  std::uint64_t reserved = 0;
  // The raster operations a painting or list drew as their nearest
  // (NearestRop bits), of what lies below it; 0 for a file played for its
  // size.
  std::uint32_t nearestRops = 0;
};
static_assert(sizeof(AnswerHeader) <= kAnswerHeaderBytes);

}  // namespace md::imaging::detail
