#include "host/calcora/polyline_clip.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace md::calcora::detail {

namespace {

struct Box {
  std::int64_t left, right, bottom, top;
};

enum Edge { kNone, kLeft, kRight, kBottom, kTop };

std::int32_t RoundInto(double v, std::int64_t lo, std::int64_t hi) {
  const double r = v >= 0.0 ? std::trunc(v + 0.5) : std::trunc(v - 0.5);
  return static_cast<std::int32_t>(std::clamp(r, static_cast<double>(lo), static_cast<double>(hi)));
}

// The point at parameter t of the segment a -> b, on edge exactly when the
// parameter came from that edge.
SGIS_Point PointAt(const SGIS_Point& a, const SGIS_Point& b, double t, Edge edge, const Box& box) {
  if (edge == kNone) return t <= 0.0 ? a : b;
  const double x = a.x + t * (static_cast<double>(b.x) - a.x);
  const double y = a.y + t * (static_cast<double>(b.y) - a.y);
  SGIS_Point p(RoundInto(x, box.left, box.right), RoundInto(y, box.bottom, box.top), a.z);
  if (edge == kLeft) p.x = static_cast<std::int32_t>(box.left);
  if (edge == kRight) p.x = static_cast<std::int32_t>(box.right);
  if (edge == kBottom) p.y = static_cast<std::int32_t>(box.bottom);
  if (edge == kTop) p.y = static_cast<std::int32_t>(box.top);
  return p;
}

bool Inside(const SGIS_Point& p, const Box& box) {
  return p.x >= box.left && p.x <= box.right && p.y >= box.bottom && p.y <= box.top;
}

// Liang-Barsky: the visible parameter range [t0, t1] of the segment and the
// edges that bound it (kNone where the range ends at the segment's end).
bool ClipSegment(const SGIS_Point& a, const SGIS_Point& b, const Box& box, double* t0, Edge* e0, double* t1,
                 Edge* e1) {
  const double dx = static_cast<double>(b.x) - a.x;
  const double dy = static_cast<double>(b.y) - a.y;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {static_cast<double>(a.x - box.left), static_cast<double>(box.right - a.x),
                       static_cast<double>(a.y - box.bottom), static_cast<double>(box.top - a.y)};
  const Edge edges[4] = {kLeft, kRight, kBottom, kTop};
  *t0 = 0.0;
  *t1 = 1.0;
  *e0 = kNone;
  *e1 = kNone;
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return false;
      continue;
    }
    const double r = q[i] / p[i];
    if (p[i] < 0.0) {
      if (r > *t0) {
        *t0 = r;
        *e0 = edges[i];
      }
    } else if (r < *t1) {
      *t1 = r;
      *e1 = edges[i];
    }
  }
  return *t0 <= *t1;
}

}  // namespace

int ClipPolyline(SGIS_Point corner1, SGIS_Point corner2, int count, const SGIS_Point* points,
                 SGIS_Point* out) {
  const Box box{std::min<std::int64_t>(corner1.x, corner2.x), std::max<std::int64_t>(corner1.x, corner2.x),
                std::min<std::int64_t>(corner1.y, corner2.y), std::max<std::int64_t>(corner1.y, corner2.y)};
  int written = 0;
  auto put = [&](const SGIS_Point& p) {
    if (written == 0 || out[written - 1] != p) out[written++] = p;
  };
  if (count == 1) {
    if (Inside(points[0], box)) put(points[0]);
    return written;
  }
  // Each segment adds at most its entry and its exit: 2 * (count - 1) points.
  for (int i = 0; i + 1 < count; ++i) {
    const SGIS_Point& a = points[i];
    const SGIS_Point& b = points[i + 1];
    // A segment inside the box is kept whole (what the clip below gives it).
    if (Inside(a, box) && Inside(b, box)) {
      put(a);
      put(b);
      continue;
    }
    double t0, t1;
    Edge e0, e1;
    if (!ClipSegment(a, b, box, &t0, &e0, &t1, &e1)) continue;
    put(PointAt(a, b, t0, e0, box));
    put(PointAt(a, b, t1, e1, box));
  }
  return written;
}

}  // namespace md::calcora::detail
