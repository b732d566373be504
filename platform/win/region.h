// Device-space regions: a set of pixels kept as y-x bands of rectangles.
//
// A band is a run of rows [top, bottom) that share one sorted list of
// disjoint, non-touching x spans [x0, x1). Bands are sorted, disjoint, and two
// neighbouring bands that touch never have equal spans (they are merged), so
// equal pixel sets always have equal representations.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/canvas/canvas.h"

namespace md::win {

enum class RegionOp { And, Or, Xor, Diff, Copy };

class Region {
 public:
  struct Band {
    int top = 0;
    int bottom = 0;
    std::vector<int> spans;  // x0, x1, x0, x1, ...
    bool operator==(const Band&) const = default;
  };

  // Rows and columns a polygon region is evaluated over: coordinates beyond
  // +-kPolygonLimit are clipped, so stored or typed coordinates cannot make
  // the scan run for long.
  static constexpr int kPolygonLimit = 1 << 17;

  Region() = default;
  static Region FromRect(int left, int top, int right, int bottom);  // normalises the corners
  // Pixels whose centres lie inside the polygons under the fill rule.
  static Region FromPolygons(const std::vector<canvas::Point>& points, const std::vector<int>& counts,
                             canvas::FillRule rule);
  static Region FromEllipse(int left, int top, int right, int bottom);

  static Region Combine(const Region& a, const Region& b, RegionOp op);

  void Offset(int dx, int dy);
  bool Empty() const { return bands_.empty(); }
  // Bounding box; all zero when empty.
  canvas::Rect Box() const;
  bool Contains(int x, int y) const;
  bool Intersects(const canvas::Rect& r) const;
  // The bands as rectangles in y-x order.
  std::vector<canvas::Rect> Rects() const;
  // The same into `out` (replaced, its storage kept).
  void Rects(std::vector<canvas::Rect>* out) const;
  std::size_t RectCount() const;
  bool operator==(const Region&) const = default;

 private:
  std::vector<Band> bands_;
  void Append(int top, int bottom, std::vector<int>&& spans);
};

}  // namespace md::win
