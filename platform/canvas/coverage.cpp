#include "platform/canvas/coverage.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstring>

namespace md::canvas::detail {
namespace {

// One FreeType library for the rasterizer, made on first use.
FT_Library Library() {
  static FT_Library library = [] {
    FT_Library l = nullptr;
    return FT_Init_FreeType(&l) == 0 ? l : nullptr;
  }();
  return library;
}

struct SpanTarget {
  CoverageMask* mask;
};

// Spans arrive in the outline's coordinates: row y is device row y.
void Spans(int y, int count, const FT_Span* spans, void* user) {
  CoverageMask* m = static_cast<SpanTarget*>(user)->mask;
  if (y < m->box.top || y >= m->box.bottom) return;
  unsigned char* row = m->alpha.data() + static_cast<std::size_t>(y - m->box.top) * m->stride;
  for (int i = 0; i < count; ++i) {
    const int x0 = std::max(static_cast<int>(spans[i].x), m->box.left);
    const int x1 = std::min(static_cast<int>(spans[i].x) + spans[i].len, m->box.right);
    if (x1 > x0) std::memset(row + (x0 - m->box.left), spans[i].coverage, static_cast<std::size_t>(x1 - x0));
  }
}

// The largest number of edges of the rings that cross one pixel row of the
// box (each leaves at least one cell in the row).
int MostEdgesInARow(const std::vector<std::vector<Point>>& rings, const Rect& box) {
  std::vector<int> starts(static_cast<std::size_t>(box.bottom - box.top) + 1, 0);
  for (const auto& ring : rings) {
    for (std::size_t i = 0; i < ring.size(); ++i) {
      const Point& a = ring[i];
      const Point& b = ring[(i + 1) % ring.size()];
      const double y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y);
      if (!(y0 < y1) || y1 <= box.top || y0 >= box.bottom) continue;  // flat, outside, or not finite
      const auto first = static_cast<std::size_t>(std::max<double>(std::floor(y0), box.top) - box.top);
      const auto end = static_cast<std::size_t>(std::min<double>(std::ceil(y1), box.bottom) - box.top);
      ++starts[first];
      --starts[end];
    }
  }
  int most = 0, crossing = 0;
  for (int d : starts) most = std::max(most, crossing += d);
  return most;
}

}  // namespace

bool RasterizeCoverage(const std::vector<std::vector<Point>>& rings, FillRule rule, const Rect& box,
                       int stride, CoverageMask* out) {
  std::size_t total = 0;
  for (const auto& ring : rings) total += ring.size();
  if (total == 0 || total > kMaxCoveragePoints || rings.size() > kMaxCoveragePoints || box.empty() ||
      stride < box.right - box.left || MostEdgesInARow(rings, box) > kMaxCoverageEdgesPerRow)
    return false;
  std::vector<FT_Vector> points;
  std::vector<char> tags;
  std::vector<short> ends;
  points.reserve(total);
  for (const auto& ring : rings) {
    if (ring.empty()) continue;
    for (const Point& p : ring) {
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
      // 26.6 fixed point; coordinates stay far inside its range.
      points.push_back(FT_Vector{static_cast<FT_Pos>(std::lround(std::clamp(p.x, -1.0e6, 1.0e6) * 64)),
                                 static_cast<FT_Pos>(std::lround(std::clamp(p.y, -1.0e6, 1.0e6) * 64))});
      tags.push_back(FT_CURVE_TAG_ON);
    }
    ends.push_back(static_cast<short>(points.size() - 1));
  }
  FT_Library library = Library();
  if (library == nullptr) return false;
  FT_Outline outline{};
  outline.n_contours = static_cast<short>(ends.size());
  outline.n_points = static_cast<short>(points.size());
  outline.points = points.data();
  outline.tags = tags.data();
  outline.contours = ends.data();
  outline.flags = rule == FillRule::Alternate ? FT_OUTLINE_EVEN_ODD_FILL : FT_OUTLINE_NONE;

  out->box = box;
  out->stride = stride;
  out->alpha.assign(static_cast<std::size_t>(stride) * (box.bottom - box.top), 0);
  SpanTarget target{out};
  FT_Raster_Params params{};
  params.source = &outline;
  params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
  params.gray_spans = &Spans;
  params.user = &target;
  params.clip_box = FT_BBox{box.left, box.top, box.right, box.bottom};
  return FT_Outline_Render(library, &outline, &params) == 0;
}

}  // namespace md::canvas::detail
