// The bounds of a draw list (drawlist.h), each one predicate that the
// library's reader and the helper's writer both call: the reader with no
// margin, the writer with its own (helper/listbounds.h), a share of the
// bound it keeps clear of so that the reader's rounding never refuses what
// it wrote. A margin always narrows a bound toward what passes. Beside them,
// how the figures they take are reckoned: a transform after another's
// inverse, the lengths the shortest and longest unit vectors take under it,
// a gradient's run, period, reach and the periods laid out over the drawing,
// the tiles of a pattern.
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

// The periods of a gradient repeated or reflected, its own space mapped into
// the drawing of width x height by `toDrawing`, that a vector file lays out
// one by one over the drawing, each period begun counted whole, at least
// one: a linear one's from the least to the most of its parameter at the
// drawing's corners; a radial one's (its first circle within its second)
// from the point its circles start at to the most of its parameter at the
// corners, and no more than its closest period (ClosestPeriod) fits into the
// drawing's diagonal with one more begun at either end. `margin` moves each
// end of what is counted that share of itself outward, so that a writer
// never counts fewer than the reader.
inline double PeriodsOverDrawing(const GradientHead& g, const Matrix& toDrawing, double width, double height,
                                 double margin = 0) {
  const double* v = g.points;
  const bool radial = g.type == static_cast<std::uint32_t>(GradientType::Radial);
  const Matrix toGradient = InverseThen(toDrawing, Matrix{});
  // A linear one's direction (`a` its run squared); a radial one's circles'
  // travel and growth.
  const double dx = v[radial ? 3 : 2] - v[0], dy = v[radial ? 4 : 3] - v[1], dr = radial ? v[5] - v[2] : 0;
  const double a = dx * dx + dy * dy - dr * dr;  // radial and nested: < 0
  if (radial && !(a < 0)) return HUGE_VAL;
  double least = radial ? -v[2] / dr : HUGE_VAL, most = -HUGE_VAL;
  for (const double x : {0.0, width})
    for (const double y : {0.0, height}) {
      const double qx = toGradient.xx * x + toGradient.xy * y + toGradient.x0 - v[0];
      const double qy = toGradient.yx * x + toGradient.yy * y + toGradient.y0 - v[1];
      // A linear one's parameter there; a radial one's, of the circle
      // through the corner (the larger root of |q - c(t)| = r(t)).
      double t = (qx * dx + qy * dy) / a;
      if (radial) {
        const double b = -2 * (qx * dx + qy * dy + v[2] * dr), c = qx * qx + qy * qy - v[2] * v[2];
        t = (-b - std::sqrt(std::max(0.0, b * b - 4 * a * c))) / (2 * a);
      } else {
        least = std::min(least, t);
      }
      most = std::max(most, t);
    }
  double periods = std::ceil(most + margin * std::fabs(most)) - std::floor(least - margin * std::fabs(least));
  if (radial) {
    const double across = std::hypot(width, height) / (ClosestPeriod(g) * Shortest(toDrawing));
    periods = std::min(periods, std::ceil(across * (1 + margin)) + 1);
  }
  return std::max(1.0, periods);
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

// ---- the bounds ----

// A transform's entries are finite and within kMaxMatrixEntry.
inline bool EntriesWithin(const Matrix& m, double margin = 0) {
  for (const double v : {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0})
    if (!(std::fabs(v) <= kMaxMatrixEntry * (1 - margin))) return false;
  return true;
}

// A transform's determinant lies between kMaxDeterminant's inverse and
// itself: it is invertible, and its inverse of bounded entries.
inline bool InvertibleWithin(const Matrix& m, double margin = 0) {
  const double det = std::fabs(m.xx * m.yy - m.yx * m.xy);
  return det >= (1 + margin) / kMaxDeterminant && det <= (1 - margin) * kMaxDeterminant;
}

// A coordinate (a point under its record's transform, a gradient's point, a
// stroke's width, miter limit, dash offset or dash) is finite and within
// kMaxCoordinate of 0.
inline bool CoordinateWithin(double v, double margin = 0) {
  return std::fabs(v) <= kMaxCoordinate * (1 - margin);
}

// A length of `length` in a paint's own space, which `toDrawing` maps into
// the drawing's, is at least `least` there in every direction.
inline bool AtLeast(double length, const Matrix& toDrawing, double least, double margin = 0) {
  return length * Shortest(toDrawing) >= least * (1 + margin);
}

// A picture's pixel, shown under `toDrawing`, keeps kMinPaintFeature.
inline bool PixelShown(const Matrix& toDrawing, double margin = 0) {
  return AtLeast(1, toDrawing, kMinPaintFeature, margin);
}

// A gradient's run: a linear one's from its start to its end, a radial
// one's between its radii.
inline double Run(const GradientHead& g) {
  const double* v = g.points;
  return g.type == static_cast<std::uint32_t>(GradientType::Radial) ? std::fabs(v[5] - v[2])
                                                                    : std::hypot(v[2] - v[0], v[3] - v[1]);
}

// Whether a gradient repeats: repeated or reflected, with a run to repeat.
inline bool Repeated(const GradientHead& g) {
  return Run(g) > 0 && (g.extend == static_cast<std::uint32_t>(Extend::Repeat) ||
                        g.extend == static_cast<std::uint32_t>(Extend::Reflect));
}

// A gradient's run, under `toDrawing`, keeps kMinPaintFeature; a run of no
// length paints its last stop, as cairo paints it, and passes.
inline bool RunShown(const GradientHead& g, const Matrix& toDrawing, double margin = 0) {
  return !(Run(g) > 0) || AtLeast(Run(g), toDrawing, kMinPaintFeature, margin);
}

// A repeated radial gradient's first circle lies within its second (as
// SVG's focus within its circle), by a share of its radius that its
// repeats' bound leaves: otherwise they crowd without end where the
// circles' cone narrows.
inline bool CirclesNested(const GradientHead& g, double margin = 0) {
  const double* v = g.points;
  return std::hypot(v[3] - v[0], v[4] - v[1]) + v[2] <= v[5] * (1 - 1 / kMaxRepeats) * (1 - margin);
}

// A period of `period` in a paint's own space, which `toDrawing` maps into
// the drawing's, repeats at most kMaxRepeats times across its larger side,
// `side`.
inline bool RepeatsWithin(double period, const Matrix& toDrawing, double side, double margin = 0) {
  return AtLeast(period, toDrawing, side / kMaxRepeats, margin);
}

// The stops one use of a gradient under `toDrawing` paints: once repeated,
// its stops at each period laid out over the drawing (PeriodsOverDrawing,
// which takes the margin); its own stops otherwise.
inline double GradientStopsPainted(const GradientHead& g, const Matrix& toDrawing, double width,
                                   double height, double margin = 0) {
  return Repeated(g) ? g.stops * PeriodsOverDrawing(g, toDrawing, width, height, margin) : g.stops;
}

// A gradient's stops, at most kMaxStops.
inline bool StopsWithin(std::uint64_t stops) { return stops <= kMaxStops; }

// The stops one use of a repeated gradient paints (GradientStopsPainted,
// which holds the margin), at most kMaxRepeatedStops.
inline bool RepeatedStopsWithin(double painted) { return painted <= static_cast<double>(kMaxRepeatedStops); }

// The stops all uses paint together, at most kMaxStopUses.
inline bool StopUsesWithin(double uses) { return uses <= static_cast<double>(kMaxStopUses); }

// The paints of gradients and patterns, at most kMaxPatternPaints.
inline bool PatternPaintsWithin(std::uint64_t paints) { return paints <= kMaxPatternPaints; }

// A picture of w x h pixels repeated as a pattern, which `toDrawing` maps
// into the drawing of larger side `side`, is at most kMaxPatternPixels a
// side and has at most that many pixels across the drawing.
inline bool PatternPixelsWithin(double w, double h, const Matrix& toDrawing, double side, double margin = 0) {
  return std::max(w, h) <= kMaxPatternPixels && AtLeast(1, toDrawing, side / kMaxPatternPixels, margin);
}

// The tiles the patterns paint together (PatternTiles), at most
// kMaxPatternTiles.
inline bool PatternTilesWithin(double tiles, double margin = 0) {
  return tiles <= kMaxPatternTiles * (1 - margin);
}

// A stroke's dash array has at most kMaxDashCount entries.
inline bool DashCountWithin(std::uint64_t count) { return count <= kMaxDashCount; }

// The dashes a path `length` long through its points (in its own space) is
// cut into by an array of `count` entries over `period`: once for each
// entry at each period, and once more (an odd array runs twice to end on a
// gap, in twice the period).
inline double DashesCut(double length, double period, std::uint32_t count) {
  return (length / period + 1) * count;
}

// The dashes all dashed strokes are cut into, at most kMaxDashes.
inline bool DashesWithin(double dashes, double margin = 0) {
  return dashes <= static_cast<double>(kMaxDashes) * (1 - margin);
}

// The records that draw, at most kMaxDrawn.
inline bool DrawnWithin(std::uint64_t drawn) { return drawn <= kMaxDrawn; }

// The verbs of all paths, at most kMaxVerbs.
inline bool VerbsWithin(std::uint64_t verbs) { return verbs <= kMaxVerbs; }

// The groups opened, at most kMaxGroups.
inline bool GroupsWithin(std::uint64_t groups) { return groups <= kMaxGroups; }

// The verbs of the clips in force, counted at each record done within them,
// at most kMaxClippedVerbs.
inline bool ClippedVerbsWithin(std::uint64_t verbs) { return verbs <= kMaxClippedVerbs; }

// The clips, groups and masks open at once, at most kMaxDepth.
inline bool DepthWithin(std::uint64_t depth) { return depth <= kMaxDepth; }

}  // namespace md::imaging::drawlist
