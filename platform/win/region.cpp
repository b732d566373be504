#include "platform/win/region.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace md::win {

namespace {

int Saturate(std::int64_t v) {
  if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

bool Apply(RegionOp op, bool a, bool b) {
  switch (op) {
    case RegionOp::And:
      return a && b;
    case RegionOp::Or:
      return a || b;
    case RegionOp::Xor:
      return a != b;
    case RegionOp::Diff:
      return a && !b;
    case RegionOp::Copy:
      return a;
  }
  return false;
}

// Combines two sorted span lists.
std::vector<int> CombineSpans(const std::vector<int>& a, const std::vector<int>& b, RegionOp op) {
  std::vector<int> out;
  std::size_t i = 0, j = 0;
  bool inA = false, inB = false, inOut = false;
  while (i < a.size() || j < b.size()) {
    int x;
    if (j >= b.size() || (i < a.size() && a[i] <= b[j])) {
      x = a[i];
    } else {
      x = b[j];
    }
    // Take every edge at x from both lists before deciding.
    while (i < a.size() && a[i] == x) {
      inA = !inA;
      ++i;
    }
    while (j < b.size() && b[j] == x) {
      inB = !inB;
      ++j;
    }
    bool now = Apply(op, inA, inB);
    if (now != inOut) {
      if (!out.empty() && out.back() == x) {
        out.pop_back();  // touching spans join
      } else {
        out.push_back(x);
      }
      inOut = now;
    }
  }
  return out;
}

// Merged spans from [x0, x1) pairs sorted by x0 (possibly overlapping or
// touching).
std::vector<int> MergeSortedSpans(const std::vector<std::pair<int, int>>& pairs) {
  std::vector<int> out;
  for (const auto& [x0, x1] : pairs) {
    if (x1 <= x0) continue;
    if (!out.empty() && x0 <= out.back()) {
      out.back() = std::max(out.back(), x1);
    } else {
      out.push_back(x0);
      out.push_back(x1);
    }
  }
  return out;
}

// Sorted, merged spans from a list of possibly overlapping [x0, x1) pairs.
std::vector<int> NormaliseSpans(std::vector<std::pair<int, int>>& pairs) {
  std::sort(pairs.begin(), pairs.end());
  return MergeSortedSpans(pairs);
}

}  // namespace

void Region::Append(int top, int bottom, std::vector<int>&& spans) {
  if (spans.empty() || bottom <= top) return;
  if (!bands_.empty() && bands_.back().bottom == top && bands_.back().spans == spans) {
    bands_.back().bottom = bottom;
    return;
  }
  bands_.push_back(Band{top, bottom, std::move(spans)});
}

Region Region::FromRect(int left, int top, int right, int bottom) {
  Region r;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (left < right && top < bottom) r.bands_.push_back(Band{top, bottom, {left, right}});
  return r;
}

Region Region::FromPolygons(const std::vector<canvas::Point>& points, const std::vector<int>& counts,
                            canvas::FillRule rule) {
  struct Edge {
    double x0, y0, x1, y1;
    int dir;
  };
  std::vector<Edge> edges;
  std::size_t base = 0;
  double minY = std::numeric_limits<double>::infinity();
  double maxY = -std::numeric_limits<double>::infinity();
  for (int n : counts) {
    if (n < 0 || base + static_cast<std::size_t>(n) > points.size()) break;
    for (int k = 0; k < n; ++k) {
      const canvas::Point& p = points[base + k];
      const canvas::Point& q = points[base + (k + 1) % n];
      if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(q.x) || !std::isfinite(q.y)) continue;
      if (p.y == q.y) continue;
      Edge e{p.x, p.y, q.x, q.y, 1};
      if (e.y0 > e.y1) {
        std::swap(e.x0, e.x1);
        std::swap(e.y0, e.y1);
        e.dir = -1;
      }
      minY = std::min(minY, e.y0);
      maxY = std::max(maxY, e.y1);
      edges.push_back(e);
    }
    base += static_cast<std::size_t>(n);
  }
  Region r;
  if (edges.empty()) return r;
  const double lim = kPolygonLimit;
  // Rows whose centre y + 0.5 lies in [minY, maxY).
  int rowFirst = static_cast<int>(std::ceil(std::max(minY, -lim) - 0.5));
  int rowEnd = static_cast<int>(std::ceil(std::min(maxY, lim) - 0.5));
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });

  // The edges crossing the current row, kept in order of their crossing x:
  // from one row to the next the order changes only where edges cross, so
  // re-sorting is a few swaps, and a row whose edges are all vertical and the
  // same as the row above has the same spans.
  struct Active {
    const Edge* e;
    double x;
  };
  auto crossing = [](const Edge& e, double yc) {
    const double t = (yc - e.y0) / (e.y1 - e.y0);
    return e.x0 + t * (e.x1 - e.x0);
  };
  auto byX = [](const Active& a, const Active& b) { return a.x < b.x; };
  std::vector<Active> active, entering;
  std::size_t next = 0;
  std::size_t slanted = 0;  // active edges that are not vertical
  std::vector<std::pair<int, int>> pairs;
  bool sameAsAbove = false;  // the last row's spans hold for this row too
  for (int row = rowFirst; row < rowEnd; ++row) {
    const double yc = row + 0.5;
    bool changed = false;
    // Edges that end above the row centre leave.
    std::size_t kept = 0;
    for (const Active& a : active) {
      if (a.e->y1 <= yc) {
        if (a.e->x0 != a.e->x1) --slanted;
        changed = true;
      } else {
        active[kept++] = a;
      }
    }
    active.resize(kept);
    // Edges that start at or above the row centre join (in order of x).
    entering.clear();
    for (; next < edges.size() && edges[next].y0 <= yc; ++next) {
      const Edge& e = edges[next];
      if (e.y1 <= yc) continue;  // ends before this row's centre: crosses no row
      entering.push_back(Active{&e, crossing(e, yc)});
      if (e.x0 != e.x1) ++slanted;
      changed = true;
    }
    if (!changed && slanted == 0 && sameAsAbove) {
      r.bands_.back().bottom = row + 1;
      continue;
    }
    if (slanted > 0) {
      for (Active& a : active) a.x = crossing(*a.e, yc);
      // Nearly sorted: insertion sort moves only the edges that crossed.
      for (std::size_t i = 1; i < active.size(); ++i) {
        Active a = active[i];
        std::size_t j = i;
        for (; j > 0 && a.x < active[j - 1].x; --j) active[j] = active[j - 1];
        active[j] = a;
      }
    }
    if (!entering.empty()) {
      std::sort(entering.begin(), entering.end(), byX);
      const std::size_t mid = active.size();
      active.insert(active.end(), entering.begin(), entering.end());
      std::inplace_merge(active.begin(), active.begin() + static_cast<std::ptrdiff_t>(mid), active.end(),
                         byX);
    }
    pairs.clear();
    auto addSpan = [&](double xa, double xb) {
      xa = std::clamp(xa, -lim, lim);
      xb = std::clamp(xb, -lim, lim);
      int p0 = static_cast<int>(std::ceil(xa - 0.5));
      int p1 = static_cast<int>(std::ceil(xb - 0.5));
      if (p1 > p0) pairs.emplace_back(p0, p1);
    };
    if (rule == canvas::FillRule::Alternate) {
      for (std::size_t k = 0; k + 1 < active.size(); k += 2) addSpan(active[k].x, active[k + 1].x);
    } else {
      int wind = 0;
      double start = 0;
      for (const Active& a : active) {
        int before = wind;
        wind += a.e->dir;
        if (before == 0 && wind != 0) start = a.x;
        if (before != 0 && wind == 0) addSpan(start, a.x);
      }
    }
    r.Append(row, row + 1, MergeSortedSpans(pairs));
    // When the row added to or extended the last band, the next row may reuse it.
    sameAsAbove = !r.bands_.empty() && r.bands_.back().bottom == row + 1;
  }
  return r;
}

Region Region::FromEllipse(int left, int top, int right, int bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  Region r;
  if (right - left < 1 || bottom - top < 1) return r;
  const double cx = (static_cast<double>(left) + right) / 2, cy = (static_cast<double>(top) + bottom) / 2;
  const double rx = (static_cast<double>(right) - left) / 2, ry = (static_cast<double>(bottom) - top) / 2;
  const int n = static_cast<int>(std::clamp(std::max(rx, ry) * 2.0, 16.0, 4096.0));
  std::vector<canvas::Point> pts;
  pts.reserve(n);
  for (int k = 0; k < n; ++k) {
    double a = 2 * M_PI * k / n;
    pts.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
  }
  return FromPolygons(pts, {n}, canvas::FillRule::Alternate);
}

namespace {

// Whether a region of these bands is one rectangle.
bool OneRect(const std::vector<Region::Band>& bands) {
  return bands.size() == 1 && bands[0].spans.size() == 2;
}

// Whether every pixel of `box` lies in `r`, a box.
bool Within(const canvas::Rect& box, const canvas::Rect& r) {
  return box.left >= r.left && box.right <= r.right && box.top >= r.top && box.bottom <= r.bottom;
}

}  // namespace

Region Region::Combine(const Region& a, const Region& b, RegionOp op) {
  if (op == RegionOp::Copy) return a;
  // A clip narrowed by a rectangle, the common case, needs no sweep: the
  // result is the region itself, or the rectangles' intersection.
  if (op == RegionOp::And && (OneRect(a.bands_) || OneRect(b.bands_))) {
    const bool rectA = OneRect(a.bands_);
    const Region& rect = rectA ? a : b;
    const Region& other = rectA ? b : a;
    const canvas::Rect r = rect.Box(), box = other.Box();
    if (other.Empty()) return other;
    if (Within(box, r)) return other;
    if (OneRect(other.bands_)) {
      const int left = std::max(r.left, box.left), top = std::max(r.top, box.top);
      const int right = std::min(r.right, box.right), bottom = std::min(r.bottom, box.bottom);
      if (left >= right || top >= bottom) return Region();
      return FromRect(left, top, right, bottom);
    }
  }
  std::vector<int> ys;
  ys.reserve(2 * (a.bands_.size() + b.bands_.size()));
  for (const Band& band : a.bands_) {
    ys.push_back(band.top);
    ys.push_back(band.bottom);
  }
  for (const Band& band : b.bands_) {
    ys.push_back(band.top);
    ys.push_back(band.bottom);
  }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  Region out;
  out.bands_.reserve(ys.size());  // a band at most between two neighbouring edges
  static const std::vector<int> kNone;
  std::size_t ia = 0, ib = 0;
  for (std::size_t k = 0; k + 1 < ys.size(); ++k) {
    const int y0 = ys[k], y1 = ys[k + 1];
    while (ia < a.bands_.size() && a.bands_[ia].bottom <= y0) ++ia;
    while (ib < b.bands_.size() && b.bands_[ib].bottom <= y0) ++ib;
    const std::vector<int>& sa =
        (ia < a.bands_.size() && a.bands_[ia].top <= y0) ? a.bands_[ia].spans : kNone;
    const std::vector<int>& sb =
        (ib < b.bands_.size() && b.bands_[ib].top <= y0) ? b.bands_[ib].spans : kNone;
    if (sa.empty() && sb.empty()) continue;
    out.Append(y0, y1, CombineSpans(sa, sb, op));
  }
  return out;
}

void Region::Offset(int dx, int dy) {
  for (Band& b : bands_) {
    b.top = Saturate(static_cast<std::int64_t>(b.top) + dy);
    b.bottom = Saturate(static_cast<std::int64_t>(b.bottom) + dy);
    for (int& x : b.spans) x = Saturate(static_cast<std::int64_t>(x) + dx);
  }
  // Saturation can collapse bands or spans at the extremes; rebuild to keep
  // the representation canonical.
  std::vector<Band> old = std::move(bands_);
  bands_.clear();
  for (Band& b : old) {
    std::vector<std::pair<int, int>> pairs;
    for (std::size_t k = 0; k + 1 < b.spans.size(); k += 2) pairs.emplace_back(b.spans[k], b.spans[k + 1]);
    int top = bands_.empty() ? b.top : std::max(b.top, bands_.back().bottom);
    Append(top, b.bottom, NormaliseSpans(pairs));
  }
}

canvas::Rect Region::Box() const {
  if (bands_.empty()) return {};
  canvas::Rect r{std::numeric_limits<int>::max(), bands_.front().top, std::numeric_limits<int>::min(),
                 bands_.back().bottom};
  for (const Band& b : bands_) {
    r.left = std::min(r.left, b.spans.front());
    r.right = std::max(r.right, b.spans.back());
  }
  return r;
}

bool Region::Contains(int x, int y) const {
  auto it =
      std::upper_bound(bands_.begin(), bands_.end(), y, [](int v, const Band& b) { return v < b.bottom; });
  if (it == bands_.end() || it->top > y) return false;
  for (std::size_t k = 0; k + 1 < it->spans.size(); k += 2) {
    if (x < it->spans[k]) return false;
    if (x < it->spans[k + 1]) return true;
  }
  return false;
}

bool Region::Intersects(const canvas::Rect& r) const {
  if (r.empty()) return false;
  for (const Band& b : bands_) {
    if (b.bottom <= r.top) continue;
    if (b.top >= r.bottom) break;
    for (std::size_t k = 0; k + 1 < b.spans.size(); k += 2) {
      if (b.spans[k] < r.right && b.spans[k + 1] > r.left) return true;
    }
  }
  return false;
}

std::vector<canvas::Rect> Region::Rects() const {
  std::vector<canvas::Rect> out;
  Rects(&out);
  return out;
}

void Region::Rects(std::vector<canvas::Rect>* out) const {
  out->clear();
  out->reserve(RectCount());
  for (const Band& b : bands_) {
    for (std::size_t k = 0; k + 1 < b.spans.size(); k += 2)
      out->push_back({b.spans[k], b.top, b.spans[k + 1], b.bottom});
  }
}

std::size_t Region::RectCount() const {
  std::size_t n = 0;
  for (const Band& b : bands_) n += b.spans.size() / 2;
  return n;
}

}  // namespace md::win
