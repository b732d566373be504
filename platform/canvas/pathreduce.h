// Dropping device points and segments that change nothing drawn, before a
// path goes to cairo. Dense geometry (hundreds of thousands of points, many of
// them on the same device pixel) otherwise costs cairo's stroker and scan
// converter far more than the picture needs. Every rule here is exact, not an
// approximation: the area a fill or a stroke covers stays the same (only
// cairo's anti-aliasing of the new outline may differ by a few levels).
#pragma once

#include <utility>
#include <vector>

#include "platform/canvas/canvas.h"

namespace md::canvas::detail {

enum class PathUse {
  Fill,         // the path's area (either fill rule)
  SolidStroke,  // a stroke without dashes
  DashedStroke  // a dashed stroke: the path's length must stay as it is
};

// Appends to `out` the points of one sub-path with
//  - repeated points dropped (a sub-path of one repeated point keeps two, so
//    that a round cap still draws its dot),
//  - points in the middle of a straight run dropped (the path goes on in the
//    same direction through them),
//  - for fills, spurs dropped (a -> b -> a adds no area, whatever the rule),
//  - for solid strokes, a run going back and forth between two points cut to
//    two round trips (the same segments, joins and ends).
// The first and last points are always kept.
void ReducePath(const std::vector<Point>& in, PathUse use, std::vector<Point>* out);
// The same for the points each held to [-limit, limit], then moved by
// `offset`, without a copy of them.
void ReducePathShifted(const std::vector<Point>& in, double limit, double offset, PathUse use,
                       std::vector<Point>* out);

// A solid stroke with round joins covers the union of its segments, each
// widened by half the pen and given round ends: a round join is the disc
// about its point, which the round ends of the segments meeting there cover.
// A segment the path runs over again adds nothing, yet cairo steps every
// copy's edges through every pixel row, and coinciding edges cost it most.
// Dense paths that retrace themselves on the device grid (sub-pixel spikes
// landing on the same pixels) are drawn as their distinct segments instead:
struct StrokePieces {
  // Distinct segments (either direction), drawn with round caps.
  std::vector<std::pair<Point, Point>> segments;
  // What is drawn with the pen's own caps: a whole path too short to split,
  // or, for an open path whose caps are not round, the ends: its first and
  // last segment, or only a stub for the cap where the path runs over that
  // segment again.
  std::vector<SubPath> ends;
};

// A path with fewer segments is drawn as it is.
constexpr std::size_t kDenseStrokeSegments = 4096;

// On rasters the distinct segments are stroked this many at a time, in path
// order. Within one stroke cairo's scan converter steps every pixel row in
// sub-rows wherever two edges cross in it, and a dense path's segments cross
// in nearly every row: the cost grows far faster than the segments. Runs of
// neighbouring segments seldom cross. Their union is the same area (round
// ends of an opaque pen), and each run blends its own coverage: a pixel no
// run touches stays as it was, and only anti-aliased edge pixels that two
// runs share come out a little darker or lighter (a quarter of full coverage
// at most for two runs). Vector files get one stroke.
constexpr std::size_t kStrokeRunSegments = 64;

// Splits the paths (already reduced, as ReducePath leaves them; `closed`
// one flag a path) of a solid, round-joined stroke of `width` with `cap` into
// pieces; false, and nothing appended, when they hold fewer than
// kDenseStrokeSegments segments or fewer than one in eight repeats another,
// so that ordinary geometry keeps the one path it is.
bool SplitRoundJoinedStroke(const std::vector<std::vector<Point>>& paths, const std::vector<bool>& closed,
                            LineCap cap, double width, StrokePieces* out);

}  // namespace md::canvas::detail
