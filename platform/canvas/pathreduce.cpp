#include "platform/canvas/pathreduce.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace md::canvas::detail {
namespace {

// b lies on the way from a to c, going on in the same direction.
bool Straight(const Point& a, const Point& b, const Point& c) {
  const double ux = b.x - a.x, uy = b.y - a.y, vx = c.x - b.x, vy = c.y - b.y;
  return ux * vy - uy * vx == 0 && ux * vx + uy * vy > 0;
}

// A segment with its ends in a fixed order, so that both directions compare
// equal, and where it comes in the path.
struct Keyed {
  Point lo, hi;
  std::size_t at;
};

Keyed Key(const Point& a, const Point& b, std::size_t at) {
  return std::tie(a.x, a.y) <= std::tie(b.x, b.y) ? Keyed{a, b, at} : Keyed{b, a, at};
}

// ReducePath over the points `at` gives for 0 .. count-1.
template <typename At>
void ReduceMapped(std::size_t count, At at, PathUse use, std::vector<Point>* out) {
  // Worked in place after what `out` holds: each point adds one at
  // most, and a lone point is doubled.
  const std::size_t base = out->size();
  out->resize(base + count + 1);
  Point* o = out->data() + base;
  std::size_t n = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const Point c = at(i);
    if (n > 0 && o[n - 1] == c) continue;
    if (n >= 2) {
      if (use == PathUse::Fill && o[n - 2] == c) {
        // a -> b -> a: the spur b goes, and c is a again.
        --n;
        continue;
      }
      if (use == PathUse::SolidStroke && n >= 5 && o[n - 2] == c && o[n - 4] == c && o[n - 1] == o[n - 3] &&
          o[n - 3] == o[n - 5]) {
        // x y x y x + y: the last round trip adds nothing new; x y x y stays.
        --n;
        continue;
      }
      if (Straight(o[n - 2], o[n - 1], c)) --n;
    }
    o[n++] = c;
  }
  if (n == 1 && count >= 2) {
    o[1] = o[0];
    n = 2;
  }
  out->resize(base + n);
}

}  // namespace

void ReducePath(const std::vector<Point>& in, PathUse use, std::vector<Point>* out) {
  ReduceMapped(
      in.size(), [p = in.data()](std::size_t i) { return p[i]; }, use, out);
}

void ReducePathShifted(const std::vector<Point>& in, double limit, double offset, PathUse use,
                       std::vector<Point>* out) {
  const Point* p = in.data();
  ReduceMapped(
      in.size(),
      [p, limit, offset](std::size_t i) {
        return Point{std::clamp(p[i].x, -limit, limit) + offset, std::clamp(p[i].y, -limit, limit) + offset};
      },
      use, out);
}

bool SplitRoundJoinedStroke(const std::vector<std::vector<Point>>& paths, const std::vector<bool>& closed,
                            LineCap cap, double width, StrokePieces* out) {
  std::size_t total = 0;
  for (std::size_t k = 0; k < paths.size(); ++k)
    if (!paths[k].empty()) total += paths[k].size() - (k < closed.size() && closed[k] ? 0 : 1);
  if (total < kDenseStrokeSegments) return false;
  const bool roundCaps = cap == LineCap::Round;
  std::vector<std::pair<Point, Point>> segments;  // between two joins
  // What keeps the pen's caps, in order: whole short paths, and the end
  // segments of open paths (`end` set, the cap at `points[0]`).
  struct Piece {
    SubPath path;
    bool end = false;
  };
  std::vector<Piece> ends;
  segments.reserve(total);
  for (std::size_t k = 0; k < paths.size(); ++k) {
    const std::vector<Point>& p = paths[k];
    const bool isClosed = k < closed.size() && closed[k];
    const std::size_t n = p.size();
    if (n == 0) continue;
    // Too short to have segments between two joins: drawn as it is. A path
    // of two equal points is a dot, which a round-capped segment also draws.
    const std::size_t shortest = isClosed ? 3 : roundCaps ? 2 : 4;
    if (n < shortest) {
      ends.push_back(Piece{SubPath{p, isClosed}, false});
      continue;
    }
    std::size_t first = 0, last = n - 1;  // segments i -> i+1 for first <= i < last
    if (!isClosed && !roundCaps) {
      // The end segments keep the pen's caps at the path's ends; their other
      // ends are covered by the next segments' round ends.
      ends.push_back(Piece{SubPath{{p[0], p[1]}, false}, true});
      ends.push_back(Piece{SubPath{{p[n - 1], p[n - 2]}, false}, true});
      first = 1;
      last = n - 2;
    }
    for (std::size_t i = first; i < last; ++i) segments.emplace_back(p[i], p[i + 1]);
    if (isClosed && !(p[n - 1] == p[0])) segments.emplace_back(p[n - 1], p[0]);
  }
  // The first of each set of equal segments stays; the path's order is kept,
  // which cairo's scan converter steps through faster than a sorted one.
  std::vector<Keyed> keys;
  keys.reserve(segments.size());
  for (std::size_t i = 0; i < segments.size(); ++i)
    keys.push_back(Key(segments[i].first, segments[i].second, i));
  const auto byKey = [](const Keyed& s, const Keyed& t) {
    return std::tie(s.lo.x, s.lo.y, s.hi.x, s.hi.y, s.at) < std::tie(t.lo.x, t.lo.y, t.hi.x, t.hi.y, t.at);
  };
  std::sort(keys.begin(), keys.end(), byKey);
  std::vector<std::size_t> kept;
  for (std::size_t i = 0; i < keys.size(); ++i)
    if (i == 0 || !(keys[i].lo == keys[i - 1].lo && keys[i].hi == keys[i - 1].hi)) kept.push_back(keys[i].at);
  if ((segments.size() - kept.size()) * 8 < total) return false;
  std::sort(kept.begin(), kept.end());
  for (std::size_t i : kept) out->segments.push_back(segments[i]);

  // An end segment the path also runs over between two joins lies within that
  // segment's round-ended piece: only its cap is left to draw (a flat cap adds
  // nothing). Drawing less of it keeps down the pixels blended twice where the
  // two pieces' edges meet.
  const auto retraced = [&](const Point& a, const Point& b) {
    const Keyed key = Key(a, b, 0);
    return std::binary_search(keys.begin(), keys.end(), key, [](const Keyed& s, const Keyed& t) {
      return std::tie(s.lo.x, s.lo.y, s.hi.x, s.hi.y) < std::tie(t.lo.x, t.lo.y, t.hi.x, t.hi.y);
    });
  };
  // How far a square cap's stub reaches into its segment: far enough to keep
  // its direction on any device grid, near enough for the square end at its
  // other end to stay within the segment's piece.
  const double stubLength = width / 8;
  for (Piece& piece : ends) {
    const std::vector<Point>& p = piece.path.points;
    if (!piece.end || !retraced(p[0], p[1])) {
      out->ends.push_back(std::move(piece.path));
      continue;
    }
    const double dx = p[1].x - p[0].x, dy = p[1].y - p[0].y, length = std::hypot(dx, dy);
    if (cap != LineCap::Square) continue;
    if (!(length >= width / 2 + stubLength)) {
      out->ends.push_back(std::move(piece.path));
      continue;
    }
    const Point stub{p[0].x + dx / length * stubLength, p[0].y + dy / length * stubLength};
    out->ends.push_back(SubPath{{p[0], stub}, false});
  }
  return true;
}

}  // namespace md::canvas::detail
