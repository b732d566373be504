// Small value records shared by the host libraries and the layout library:
// integer page points and rectangles (0.01 mm, y axis up), their double
// counterparts, and the parameter record handed with a symbol to the
// symbolization library's draw operation.
//
// All rectangles follow one orientation: y grows upwards, so the "top" of a
// normalised rectangle is its larger y and the "bottom" its smaller y.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/win/wintypes.h"

struct SGIS_DPoint;

namespace md::basilo::detail {
// Rounds half away from zero and truncates; NaN gives 0 and values beyond the
// 32-bit range are clamped, so no stored or computed double can make the
// conversion undefined.
inline std::int32_t RoundToInt32(double v) {
  // Nearly every value lies well inside the range: one test, no other branch.
  if (std::abs(v) < 2.0e9) return static_cast<std::int32_t>(v + std::copysign(0.5, v));
  if (std::isnan(v)) return 0;
  double r = v >= 0.0 ? v + 0.5 : v - 0.5;
  if (r >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (r <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(r);  // truncation towards zero
}
inline std::int32_t ClampToInt32(std::int64_t v) {
  if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}
}  // namespace md::basilo::detail

struct SGIS_DPoint {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;

  SGIS_DPoint() = default;
  SGIS_DPoint(double px, double py) : x(px), y(py), z(0.0) {}
  SGIS_DPoint(double px, double py, double pz) : x(px), y(py), z(pz) {}

  // Each coordinate matches when it differs by at most this point's own value
  // times 1e-15: the tolerance is taken from the left-hand point, so a zero
  // coordinate on the left must match exactly.
  bool operator==(const SGIS_DPoint& o) const {
    return std::fabs(x - o.x) <= std::fabs(x) * 1e-15 && std::fabs(y - o.y) <= std::fabs(y) * 1e-15 &&
           std::fabs(z - o.z) <= std::fabs(z) * 1e-15;
  }
  bool operator!=(const SGIS_DPoint& o) const { return !(*this == o); }
};

// Page units (0.01 mm) per symbol unit (one typographic point). Symbols
// measure sizes and text heights in points; a feature set's unit ratio
// defaults to this factor.
constexpr double GIS_SYMBOL_UNIT_PAGE_RATIO = 2540.0 / 72.0;

struct SGIS_Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t z = 0;

  SGIS_Point() = default;
  SGIS_Point(std::int32_t px, std::int32_t py) : x(px), y(py), z(0) {}
  SGIS_Point(std::int32_t px, std::int32_t py, std::int32_t pz) : x(px), y(py), z(pz) {}

  bool operator==(const SGIS_Point& o) const { return x == o.x && y == o.y && z == o.z; }
  bool operator!=(const SGIS_Point& o) const { return !(*this == o); }

  operator SGIS_DPoint() const { return SGIS_DPoint(x, y, z); }

  // Each double rounded half away from zero (see md::basilo::detail::RoundToInt32).
  static SGIS_Point FromDoubles(double px, double py, double pz = 0.0) {
    return SGIS_Point(md::basilo::detail::RoundToInt32(px), md::basilo::detail::RoundToInt32(py),
                      md::basilo::detail::RoundToInt32(pz));
  }
};

// Stored as left, right, top, bottom; constructed from (left, top, right, bottom).
struct SGIS_Rect {
  std::int32_t left = 0;
  std::int32_t right = 0;
  std::int32_t top = 0;
  std::int32_t bottom = 0;

  // Results of HitTest.
  enum { OUTSIDE = 0, INSIDE = 1, ON_EDGE = 2 };

  SGIS_Rect() = default;
  SGIS_Rect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
      : left(l), right(r), top(t), bottom(b) {}

  bool operator==(const SGIS_Rect& o) const {
    return left == o.left && right == o.right && top == o.top && bottom == o.bottom;
  }
  bool operator!=(const SGIS_Rect& o) const { return !(*this == o); }

  std::int32_t Width() const {
    std::int64_t d = static_cast<std::int64_t>(right) - left;
    return md::basilo::detail::ClampToInt32(d < 0 ? -d : d);
  }
  std::int32_t Height() const {
    std::int64_t d = static_cast<std::int64_t>(top) - bottom;
    return md::basilo::detail::ClampToInt32(d < 0 ? -d : d);
  }

  void Normalize() {
    if (left > right) {
      std::int32_t t = left;
      left = right;
      right = t;
    }
    if (bottom > top) {
      std::int32_t t = top;
      top = bottom;
      bottom = t;
    }
  }

  // The smallest rectangle holding both (normalised copies of) a and b; with
  // either missing this rectangle stays as it is.
  void Union(const SGIS_Rect* a, const SGIS_Rect* b) {
    if (a == nullptr || b == nullptr) return;
    SGIS_Rect na = *a, nb = *b;
    na.Normalize();
    nb.Normalize();
    left = na.left < nb.left ? na.left : nb.left;
    right = na.right > nb.right ? na.right : nb.right;
    top = na.top > nb.top ? na.top : nb.top;
    bottom = na.bottom < nb.bottom ? na.bottom : nb.bottom;
  }

  // Centre of a normalised copy; the halves are divided in integers.
  SGIS_Point CenterPoint() const {
    SGIS_Rect n = *this;
    n.Normalize();
    return SGIS_Point(md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(n.left) + n.Width() / 2),
                      md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(n.bottom) + n.Height() / 2),
                      0);
  }

  // Where (x, y) lies against a normalised copy enlarged by the tolerance on
  // every side: OUTSIDE, INSIDE, or ON_EDGE when exactly on its border.
  int HitTest(std::int32_t px, std::int32_t py, std::int32_t tolerance) const {
    SGIS_Rect n = *this;
    n.Normalize();
    const std::int64_t l = static_cast<std::int64_t>(n.left) - tolerance;
    const std::int64_t r = static_cast<std::int64_t>(n.right) + tolerance;
    const std::int64_t b = static_cast<std::int64_t>(n.bottom) - tolerance;
    const std::int64_t t = static_cast<std::int64_t>(n.top) + tolerance;
    if (px < l || px > r || py < b || py > t) return OUTSIDE;
    if (l < px && px < r && b < py && py < t) return INSIDE;
    return ON_EDGE;
  }
};

// Stored as x1, x2, y1, y2 (x1 left, x2 right, y1 top, y2 bottom);
// constructed from (x1, y1, x2, y2).
struct SGIS_DRect {
  double x1 = 0.0;
  double x2 = 0.0;
  double y1 = 0.0;
  double y2 = 0.0;

  SGIS_DRect() = default;
  SGIS_DRect(double px1, double py1, double px2, double py2) : x1(px1), x2(px2), y1(py1), y2(py2) {}

  bool operator==(const SGIS_DRect& o) const { return x1 == o.x1 && x2 == o.x2 && y1 == o.y1 && y2 == o.y2; }
  bool operator!=(const SGIS_DRect& o) const { return !(*this == o); }

  // x1 = left, x2 = right, y1 = top, y2 = bottom; a NULL rectangle changes nothing.
  void FromRect(const SGIS_Rect* r) {
    if (r == nullptr) return;
    x1 = r->left;
    x2 = r->right;
    y1 = r->top;
    y2 = r->bottom;
  }
  // The same conversion from the four integers in the storage order of SGIS_Rect.
  static SGIS_DRect MakeFromRect(std::int32_t left, std::int32_t right, std::int32_t top,
                                 std::int32_t bottom) {
    SGIS_DRect d;
    d.x1 = left;
    d.x2 = right;
    d.y1 = top;
    d.y2 = bottom;
    return d;
  }

  double Width() const { return std::fabs(x2 - x1); }
  double Height() const { return std::fabs(y1 - y2); }

  void Normalize() {
    if (x2 < x1) {
      double t = x1;
      x1 = x2;
      x2 = t;
    }
    if (y1 < y2) {
      double t = y1;
      y1 = y2;
      y2 = t;
    }
  }

  void Union(const SGIS_DRect* a, const SGIS_DRect* b) {
    if (a == nullptr || b == nullptr) return;
    SGIS_DRect na = *a, nb = *b;
    na.Normalize();
    nb.Normalize();
    x1 = na.x1 < nb.x1 ? na.x1 : nb.x1;
    x2 = na.x2 > nb.x2 ? na.x2 : nb.x2;
    y1 = na.y1 > nb.y1 ? na.y1 : nb.y1;
    y2 = na.y2 < nb.y2 ? na.y2 : nb.y2;
  }

  // Overlap of normalised copies of a and b; rectangles that are disjoint or
  // only touch give the all-zero rectangle. With either missing nothing changes.
  void Intersect(const SGIS_DRect* a, const SGIS_DRect* b) {
    if (a == nullptr || b == nullptr) return;
    SGIS_DRect na = *a, nb = *b;
    na.Normalize();
    nb.Normalize();
    if (nb.x2 <= na.x1 || na.x2 <= nb.x1 || nb.y1 <= na.y2 || na.y1 <= nb.y2) {
      *this = SGIS_DRect();
      return;
    }
    x1 = na.x1 > nb.x1 ? na.x1 : nb.x1;
    x2 = na.x2 < nb.x2 ? na.x2 : nb.x2;
    y1 = na.y1 < nb.y1 ? na.y1 : nb.y1;
    y2 = na.y2 > nb.y2 ? na.y2 : nb.y2;
  }

  SGIS_DPoint CenterPoint() const { return SGIS_DPoint((x1 + x2) / 2.0, (y1 + y2) / 2.0, 0.0); }

  // On a normalised copy, borders included.
  bool Contains(double px, double py) const {
    SGIS_DRect n = *this;
    n.Normalize();
    return n.x1 <= px && px <= n.x2 && n.y2 <= py && py <= n.y1;
  }
};

// The record handed with a symbol to the symbolization library's draw
// operation. Fields in a fixed order, each of its native width; a pointer
// field holds a full pointer.
struct SGIS_DrawParam {
  HDC hdc = nullptr;  // device context given to OnDraw
  std::int32_t reserved[3] = {0, 0, 0};
  std::int32_t drawMode = 4;  // 4 in every use
  BYTE printFlag = 0;         // 1 while printing
  double symbolScale = 1.0;   // display ratio when the display clips
  POINT* points = nullptr;    // device points
  std::int32_t pointCount = 0;
  BYTE flag = 1;                // 1 in every use
  std::intptr_t viewValue = 0;  // draw-context value of the display's view when it clips
  double extraValue = 0.0;      // set by a few callers (north arrow: its frame's rotation)

  SGIS_DrawParam() = default;
};
