// Box arithmetic of the plain shapes: nearest integers, clamped sums, moved,
// scaled and resized rectangles, the keep-ratio factor.
#pragma once

#include <cmath>
#include <cstdint>

#include "host/basilo/sgis_types.h"

namespace md::layout::shapes {

// Nearest integer, halves away from zero (NaN and out-of-range values are
// clamped instead of overflowing).
inline int Nearest(double v) { return md::basilo::detail::RoundToInt32(v); }

// a + b, held to the 32-bit range (page coordinates never wrap around).
inline int AddClamped(int a, int b) {
  return md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(a) + b);
}

// a - b, held to the 32-bit range.
inline int SubClamped(int a, int b) {
  return md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(a) - b);
}

// The rectangle moved by (dx, dy).
inline SGIS_Rect OffsetBox(SGIS_Rect r, int dx, int dy) {
  return SGIS_Rect(AddClamped(r.left, dx), AddClamped(r.top, dy), AddClamped(r.right, dx),
                   AddClamped(r.bottom, dy));
}

// The single factor that replaces sx and sy when the ratio of width to
// height is kept: the smaller when either is at least 1.0, the larger when
// both are below 1.0.
double KeepRatioFactor(double sx, double sy);

// The requested size (nWidth, nHeight) replaced by the present one (w, h)
// scaled by the single keep-ratio factor; false, and the request left as it
// is, when w or h is 0 (there is no ratio to keep).
bool KeepRatioSize(int w, int h, int& nWidth, int& nHeight);

// The rectangle a box shape (rectangle, ellipse, point) gets from
// ScaleShape: the left-bottom corner scaled about the origin with the factors
// as given, then width and height scaled with them, or with their smaller one
// when the ratio is kept.
SGIS_Rect ScaleBox(SGIS_Rect r, SGIS_Point origin, double sx, double sy, bool bKeepRatio);

// The rectangle resized to the new width and height (already chosen) about
// its left-bottom corner.
SGIS_Rect ResizeBox(SGIS_Rect r, int nWidth, int nHeight);

// Scale factors the shapes accept: finite, and above 0 (or at least 0 when
// bAllowZero).
inline bool IsUsableFactor(double f, bool bAllowZero) {
  return std::isfinite(f) && (bAllowZero ? f >= 0.0 : f > 0.0);
}

}  // namespace md::layout::shapes
