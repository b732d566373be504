// How the bounds of a draw list (drawlist.h) that hold a paint's size and
// place in the drawing are reckoned: a transform after another's inverse,
// the lengths the shortest and longest unit vectors take under it, a
// gradient's reach. The helper's writer keeps within them as the library's
// reader checks them.
#pragma once

#include <algorithm>
#include <cmath>

#include "platform/imaging/protocol/drawlist.h"

namespace md::imaging::drawlist {

// `then` after the inverse of `m` (invertible).
inline Matrix InverseThen(const Matrix& m, const Matrix& then) {
  const double det = m.xx * m.yy - m.yx * m.xy;
  const double ixx = m.yy / det, iyx = -m.yx / det, ixy = -m.xy / det, iyy = m.xx / det;
  const double ix0 = -(ixx * m.x0 + ixy * m.y0), iy0 = -(iyx * m.x0 + iyy * m.y0);
  return {then.xx * ixx + then.xy * iyx,           then.yx * ixx + then.yy * iyx,
          then.xx * ixy + then.xy * iyy,           then.yx * ixy + then.yy * iyy,
          then.xx * ix0 + then.xy * iy0 + then.x0, then.yx * ix0 + then.yy * iy0 + then.y0};
}

// The length the shortest unit vector takes under the matrix (its smallest
// singular value).
inline double Shortest(const Matrix& m) {
  const double sum = m.xx * m.xx + m.yx * m.yx + m.xy * m.xy + m.yy * m.yy;
  const double area = std::fabs(m.xx * m.yy - m.yx * m.xy);
  const double largest = std::sqrt((sum + std::sqrt(std::max(0.0, sum * sum - 4 * area * area))) / 2);
  return largest > 0 ? area / largest : 0;
}

// The length the longest unit vector takes under the matrix (its largest
// singular value).
inline double Longest(const Matrix& m) {
  const double sum = m.xx * m.xx + m.yx * m.yx + m.xy * m.xy + m.yy * m.yy;
  const double area = std::fabs(m.xx * m.yy - m.yx * m.xy);
  return std::sqrt((sum + std::sqrt(std::max(0.0, sum * sum - 4 * area * area))) / 2);
}

// The period of a gradient repeated or reflected where its repeats come
// closest, in its own space: a linear one's run from its start to its end; a
// radial one's (its first circle within its second) its second radius less
// its first and the distance between their centres, the gap on the side
// where its circles come nearest, which its repeats keep. 0 where its
// circles are not nested.
inline double ClosestPeriod(const GradientHead& g) {
  const double* v = g.points;
  if (g.type != static_cast<std::uint32_t>(GradientType::Radial)) return std::hypot(v[2] - v[0], v[3] - v[1]);
  return std::max(0.0, v[5] - v[2] - std::hypot(v[3] - v[0], v[4] - v[1]));
}

// The stops a use of a gradient of `stops` stops paints, once repeated or
// reflected with a period of `period` in its own space (at its closest,
// ClosestPeriod), which `toDrawing`
// maps into the drawing of width x height: its stops at each repeat across
// the drawing's larger side (a vector file writes them out one by one), at
// least once.
inline double StopsPainted(std::uint32_t stops, double period, const Matrix& toDrawing, double width,
                           double height) {
  const double repeats = std::max(width, height) / (period * Shortest(toDrawing));
  return stops * std::max(1.0, std::ceil(repeats));
}

// The part of a drawing of width x height that a record painting within the
// box (x0, y0)-(x1, y1) of its points, widened by `reach` each way, shows.
inline double AreaShown(double x0, double y0, double x1, double y1, double reach, double width,
                        double height) {
  const double across = std::min(x1 + reach, width) - std::max(x0 - reach, 0.0);
  const double down = std::min(y1 + reach, height) - std::max(y0 - reach, 0.0);
  return across > 0 && down > 0 ? across * down : 0;
}

// The tiles of a picture of w x h pixels repeated as a pattern, which
// `toDrawing` maps into the drawing, that paint `area` of the drawing: its
// area over a tile's, and one more for those cut at its edges.
inline double PatternTiles(double w, double h, const Matrix& toDrawing, double area) {
  const double tile = w * h * std::fabs(toDrawing.xx * toDrawing.yy - toDrawing.yx * toDrawing.xy);
  return (tile > 0 ? area / tile : 0) + 1;
}

// Whether a gradient, its own space mapped into the drawing of width x
// height by `toDrawing`, scales it within kMaxGradientScale either way and
// has its points (its ends, or its circles' centres) and radii within
// kMaxGradientReach of it, `margin` of each bound kept clear.
inline bool GradientWithinReach(const GradientHead& g, const Matrix& toDrawing, double width, double height,
                                double margin = 0) {
  if (!(Shortest(toDrawing) * kMaxGradientScale * (1 - margin) >= 1 &&
        Longest(toDrawing) <= kMaxGradientScale * (1 - margin)))
    return false;
  const double* v = g.points;
  const bool radial = g.type == static_cast<std::uint32_t>(GradientType::Radial);
  const double nearX = kMaxGradientReach * width * (1 - margin),
               nearY = kMaxGradientReach * height * (1 - margin);
  for (int k = 0; k < 2; ++k) {
    const double x = v[k * (radial ? 3 : 2)], y = v[k * (radial ? 3 : 2) + 1];
    const double dx = toDrawing.xx * x + toDrawing.xy * y + toDrawing.x0;
    const double dy = toDrawing.yx * x + toDrawing.yy * y + toDrawing.y0;
    if (!(std::fabs(dx) <= nearX && std::fabs(dy) <= nearY)) return false;
  }
  return !radial || std::max(v[2], v[5]) * Longest(toDrawing) <= std::max(nearX, nearY);
}

}  // namespace md::imaging::drawlist
