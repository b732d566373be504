// What the SVG document of a metafile's drawing draws, counted before it is
// written as a draw list (listwriter.h), and the most a document written so
// may draw.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace md::imaging::detail {

// What writing a document costs grows with what it draws, which the
// elements it may hold (SvgRefusal) do not bound: a few kilobytes of groups
// that each use the one below several times draw millions of elements. What
// a document draws, counted in one pass over its text before it is written.
struct SvgMeasure {
  // Elements painted: an element drawn through a reference (a use, or a
  // clip path, mask, pattern, gradient or filter named by url(#...)) counts
  // its whole subtree again for each reference.
  std::uint64_t instances = 0;
  // Segments of the paths painted (a rectangle's four), counted the same way.
  std::uint64_t segments = 0;
  // Elements painted with opacity, a mask or a filter, counted the same way:
  // each is painted as a group of its own.
  std::uint64_t layers = 0;
  // The dashes the dashed strokes are cut into (each path's or rectangle's
  // own dash array over the length through its points), counted the same
  // way: cairo cuts a dashed stroke into them even to write it as a path.
  std::uint64_t dashes = 0;
  // The longest line of elements a paint descends, each inside the one
  // before or named by it.
  std::uint64_t depth = 0;
  // The pixels of the embedded pictures, as their PNG headers give them
  // (a picture shown twice counts once: the writer decodes it once), each
  // term and the sum clamped far past every bound. A header giving a side
  // past 2^31 - 1 is no PNG's, and the document is refused.
  std::uint64_t picturePixels = 0;
  // Why it cannot be measured (a reference cycle, a tag not closed); "" when
  // it was.
  std::string refusal;
};
SvgMeasure MeasureSvg(std::string_view svg);

// The most a document read here may draw: far above what cairo writes of
// real metafiles (bench_drawlist prints the lists written of them: at most
// about a thousand records, 6,400 points, 3 clips or groups deep), far below
// what keeps the writer, or a painter of its list, busy for long or deep in
// its stack. The list has bounds of its own besides (drawlist.h).
constexpr std::uint64_t kSvgMaxInstances = 50000;
constexpr std::uint64_t kSvgMaxSegments = 200000;
constexpr std::uint64_t kSvgMaxLayers = 100;
constexpr std::uint64_t kSvgMaxDepth = 64;
constexpr std::uint64_t kSvgMaxDashes = 200000;
// A picture's pixels decoded into a cairo image surface: four bytes a pixel.
// The pictures of a document together take at most the address space an
// isolated run adds (isolate.h's kIsolatedExtraMemory, 1 GiB) as surfaces:
// cairo held them all while it drew them.
constexpr std::size_t kSvgPictureBytesPerPixel = 4;
constexpr std::uint64_t kSvgMaxPicturePixels = (std::uint64_t{1} << 30) / kSvgPictureBytesPerPixel;

// Why a document that draws what `m` counts is not written ("" when it is
// within every bound): m's refusal, or the bound it passes.
std::string SvgPastBounds(const SvgMeasure& m);

}  // namespace md::imaging::detail
