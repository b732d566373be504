// Anti-aliased coverage of filled polygons with very many edges, through
// FreeType's rasterizer: it works out each pixel's covered area once, where
// cairo's scan converter steps every edge over fifteen sub-rows of each pixel
// row, which for tens of thousands of long edges takes seconds.
#pragma once

#include <vector>

#include "platform/canvas/canvas.h"

namespace md::canvas::detail {

// Most points the rasterizer takes in one fill.
constexpr std::size_t kMaxCoveragePoints = 32767;
// Most edges that may cross one pixel row. The rasterizer keeps a few hundred
// cells a row (450 with FreeType 2.12) and gives up on a row that needs more,
// after doing most of its work: such fills go to cairo without trying.
constexpr int kMaxCoverageEdgesPerRow = 448;

// 8-bit coverage (0 nothing .. 255 all) of the pixels box.left..right-1 x
// box.top..bottom-1, rows `stride` bytes apart (stride >= width).
struct CoverageMask {
  Rect box;
  int stride = 0;
  std::vector<unsigned char> alpha;
};

// The coverage of the closed rings (device pixels, y down) under the fill rule
// within `box`; false when the rings hold no or too many points, more than
// kMaxCoverageEdgesPerRow edges cross a row of the box, a coordinate is not
// finite, or the rasterizer fails.
bool RasterizeCoverage(const std::vector<std::vector<Point>>& rings, FillRule rule, const Rect& box,
                       int stride, CoverageMask* out);

}  // namespace md::canvas::detail
