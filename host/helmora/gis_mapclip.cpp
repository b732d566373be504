#include "host/helmora/gis_mapclip.h"

#include <algorithm>

namespace md::helmora::detail {

ClipBox MakeClipBox(double x1, double y1, double x2, double y2, double margin) {
  ClipBox b;
  b.minX = std::min(x1, x2) - margin;
  b.maxX = std::max(x1, x2) + margin;
  b.minY = std::min(y1, y2) - margin;
  b.maxY = std::max(y1, y2) + margin;
  return b;
}

bool AllInside(const std::vector<SGIS_DPoint>& points, const ClipBox& box) {
  for (const SGIS_DPoint& p : points)
    if (!box.Contains(p.x, p.y)) return false;
  return true;
}

namespace {

// Liang-Barsky: the parameters t0 <= t1 of the segment a->b inside the box;
// false when no part of it is.
bool ClipSegment(const SGIS_DPoint& a, const SGIS_DPoint& b, const ClipBox& box, double* t0, double* t1) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x - box.minX, box.maxX - a.x, a.y - box.minY, box.maxY - a.y};
  double lo = 0.0, hi = 1.0;
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0.0) {
      lo = std::max(lo, t);
    } else {
      hi = std::min(hi, t);
    }
    if (lo > hi) return false;
  }
  *t0 = lo;
  *t1 = hi;
  return true;
}

SGIS_DPoint At(const SGIS_DPoint& a, const SGIS_DPoint& b, double t) {
  if (t <= 0.0) return a;
  if (t >= 1.0) return b;
  return SGIS_DPoint(a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, 0);
}

enum Edge { kLeft, kRight, kTop, kBottom };

bool Inside(const SGIS_DPoint& p, Edge e, const ClipBox& box) {
  switch (e) {
    case kLeft:
      return p.x >= box.minX;
    case kRight:
      return p.x <= box.maxX;
    case kTop:
      return p.y >= box.minY;
    default:
      return p.y <= box.maxY;
  }
}

// Where the segment a->b crosses the edge's line; the coordinate on the
// edge is set exactly.
SGIS_DPoint Cross(const SGIS_DPoint& a, const SGIS_DPoint& b, Edge e, const ClipBox& box) {
  if (e == kLeft || e == kRight) {
    const double x = e == kLeft ? box.minX : box.maxX;
    const double t = (x - a.x) / (b.x - a.x);
    return SGIS_DPoint(x, a.y + (b.y - a.y) * t, 0);
  }
  const double y = e == kTop ? box.minY : box.maxY;
  const double t = (y - a.y) / (b.y - a.y);
  return SGIS_DPoint(a.x + (b.x - a.x) * t, y, 0);
}

}  // namespace

void ClipPolyline(const std::vector<SGIS_DPoint>& line, const ClipBox& box,
                  std::vector<std::vector<SGIS_DPoint>>* pieces) {
  if (pieces == nullptr || line.size() < 2 || box.Empty()) return;
  std::vector<SGIS_DPoint> current;
  for (size_t i = 0; i + 1 < line.size(); ++i) {
    double t0 = 0, t1 = 0;
    if (!ClipSegment(line[i], line[i + 1], box, &t0, &t1)) {
      if (current.size() >= 2) pieces->push_back(std::move(current));
      current.clear();
      continue;
    }
    const SGIS_DPoint a = At(line[i], line[i + 1], t0);
    const SGIS_DPoint b = At(line[i], line[i + 1], t1);
    if (current.empty() || t0 > 0.0) {
      if (current.size() >= 2) pieces->push_back(std::move(current));
      current.clear();
      current.push_back(a);
    }
    current.push_back(b);
    if (t1 < 1.0) {
      if (current.size() >= 2) pieces->push_back(std::move(current));
      current.clear();
    }
  }
  if (current.size() >= 2) pieces->push_back(std::move(current));
}

std::vector<SGIS_DPoint> ClipRing(const std::vector<SGIS_DPoint>& ring, const ClipBox& box) {
  std::vector<SGIS_DPoint> out(ring);
  if (!out.empty() && out.front().x == out.back().x && out.front().y == out.back().y) out.pop_back();
  if (out.size() < 3 || box.Empty()) return {};
  std::vector<SGIS_DPoint> in;
  for (Edge e : {kLeft, kRight, kTop, kBottom}) {
    in.swap(out);
    out.clear();
    if (in.empty()) break;
    SGIS_DPoint prev = in.back();
    bool prevIn = Inside(prev, e, box);
    for (const SGIS_DPoint& cur : in) {
      const bool curIn = Inside(cur, e, box);
      if (curIn) {
        if (!prevIn) out.push_back(Cross(prev, cur, e, box));
        out.push_back(cur);
      } else if (prevIn) {
        out.push_back(Cross(prev, cur, e, box));
      }
      prev = cur;
      prevIn = curIn;
    }
  }
  if (out.size() < 3) out.clear();
  return out;
}

}  // namespace md::helmora::detail
