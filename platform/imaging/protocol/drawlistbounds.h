// How the bounds of a draw list (drawlist.h) that hold a paint's size in the
// drawing are reckoned: a transform's part without its shift after another's
// inverse, and the length the shortest unit vector takes under it. The
// helper's writer keeps within them as the library's reader checks them.
#pragma once

#include <algorithm>
#include <cmath>

#include "platform/imaging/protocol/drawlist.h"

namespace md::imaging::drawlist {

// `then` after the inverse of `m` (invertible), without their shifts.
inline Matrix InverseThen(const Matrix& m, const Matrix& then) {
  const double det = m.xx * m.yy - m.yx * m.xy;
  const double ixx = m.yy / det, iyx = -m.yx / det, ixy = -m.xy / det, iyy = m.xx / det;
  return {then.xx * ixx + then.xy * iyx,
          then.yx * ixx + then.yy * iyx,
          then.xx * ixy + then.xy * iyy,
          then.yx * ixy + then.yy * iyy,
          0,
          0};
}

// The length the shortest unit vector takes under the matrix (its smallest
// singular value).
inline double Shortest(const Matrix& m) {
  const double sum = m.xx * m.xx + m.yx * m.yx + m.xy * m.xy + m.yy * m.yy;
  const double area = std::fabs(m.xx * m.yy - m.yx * m.xy);
  const double largest = std::sqrt((sum + std::sqrt(std::max(0.0, sum * sum - 4 * area * area))) / 2);
  return largest > 0 ? area / largest : 0;
}

}  // namespace md::imaging::drawlist
