// What the library's reader of a draw list takes (protocol/FORMAT.md, "What
// the reader checks"), reckoned as it reckons it, with a margin for rounding:
// the writer (listwriter.h) writes no record it refuses.
#pragma once

#include <cmath>

#include "platform/imaging/protocol/drawlist.h"
#include "platform/imaging/protocol/drawlistbounds.h"

namespace md::imaging::detail::listbounds {

namespace dl = drawlist;

// The part of a bound the writer keeps clear of, for the reader's rounding.
constexpr double kMargin = 1e-6;

// Whether the reader takes the transform: finite entries within the bound,
// a determinant between the bound's inverse and itself.
inline bool Within(const dl::Matrix& m) {
  for (const double v : {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0})
    if (!(std::fabs(v) <= dl::kMaxMatrixEntry)) return false;
  const double det = std::fabs(m.xx * m.yy - m.yx * m.xy);
  return det >= (1 + kMargin) / dl::kMaxDeterminant && det <= (1 - kMargin) * dl::kMaxDeterminant;
}

// Whether a length of `length` in a paint's own space, which `paint` maps
// from the space it is used in, is at least `least` in the drawing's, the
// record using it mapping that space there by `used`.
inline bool AtLeast(double length, const dl::Matrix& paint, const dl::Matrix& used, double least) {
  return length * dl::Shortest(dl::InverseThen(paint, used)) >= least * (1 + kMargin);
}

}  // namespace md::imaging::detail::listbounds
