#include "platform/imaging/drawlistcost.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/imaging/protocol/drawlistbounds.h"

namespace md::imaging {
namespace {

namespace dl = drawlist;

using drawlist::Take;

// `a`, then `b`.
dl::Matrix Then(const dl::Matrix& a, const dl::Matrix& b) {
  return {a.xx * b.xx + a.yx * b.xy, a.xx * b.yx + a.yx * b.yy,        a.xy * b.xx + a.yy * b.xy,
          a.xy * b.yx + a.yy * b.yy, a.x0 * b.xx + a.y0 * b.xy + b.x0, a.x0 * b.yx + a.y0 * b.yy + b.y0};
}

std::array<double, 2> Apply(const dl::Matrix& m, double x, double y) {
  return {m.xx * x + m.xy * y + m.x0, m.yx * x + m.yy * y + m.y0};
}

// The distance in dots a flattened curve strays from it at most: what cairo
// flattens to on a vector file's dot, give or take.
constexpr double kTolerance = 0.25;

// A path's figures: in the dots its segments once flattened, the rows of
// the box its edges cross (a viewer scans no row outside it) and its length;
// in its own space its length; both lengths of what lies within a rectangle
// of the drawing (a curve's by its control polygon), where a dashed stroke is
// cut into dashes; the box of its points in the drawing's space; its parts
// (each begun by a move).
struct PathFigures {
  double segments = 0, crossings = 0, dotLength = 0, ownLength = 0, parts = 0, verbs = 0;
  double dotShown = 0, ownShown = 0;
  double x0 = HUGE_VAL, y0 = HUGE_VAL, x1 = -HUGE_VAL, y1 = -HUGE_VAL;
};

// The part of the segment from (ax, ay) to (bx, by) within the rectangle
// (x0, y0)-(x1, y1): 0 to 1.
double PartWithin(double ax, double ay, double bx, double by, const std::array<double, 4>& r) {
  double t0 = 0, t1 = 1;
  for (const auto& [from, d, lo, hi] :
       {std::array{ax, bx - ax, r[0], r[2]}, std::array{ay, by - ay, r[1], r[3]}}) {
    if (d == 0) {
      if (from < lo || from > hi) return 0;
      continue;
    }
    const double a = (lo - from) / d, b = (hi - from) / d;
    t0 = std::max(t0, std::min(a, b)), t1 = std::min(t1, std::max(a, b));
  }
  return std::max(0.0, t1 - t0);
}

// A point of a path: in its own space, the drawing's and the dots.
struct PathPoint {
  double own[2], drawing[2], dot[2];
};

// The path at p (a PathHead and what follows it), its points mapped into the
// drawing by `toDrawing` and from there into the dots by `toDots`, the box
// `rows` dots high; `shown` the rectangle of the drawing where it is dashed.
PathFigures ReckonPath(const std::uint8_t* p, const dl::Matrix& toDrawing, const dl::Matrix& toDots,
                       double rows, const std::array<double, 4>& shown) {
  const auto h = Take<dl::PathHead>(p);
  const std::uint8_t* verbs = p + sizeof h;
  const std::uint8_t* points = verbs + dl::Padded(h.verbs);
  PathFigures f;
  f.verbs = h.verbs;
  const auto point = [&](std::size_t k) {
    const auto a = Take<std::array<float, 2>>(points + k * 2 * sizeof(float));
    const auto d = Apply(toDrawing, a[0], a[1]);
    const auto t = Apply(toDots, d[0], d[1]);
    f.x0 = std::min(f.x0, d[0]), f.y0 = std::min(f.y0, d[1]);
    f.x1 = std::max(f.x1, d[0]), f.y1 = std::max(f.y1, d[1]);
    return PathPoint{{a[0], a[1]}, {d[0], d[1]}, {t[0], t[1]}};
  };
  // A leg from a to b (a line, or a side of a curve's control polygon): its
  // lengths, the rows of the box it crosses.
  const auto leg = [&](const PathPoint& a, const PathPoint& b) {
    const double dot = std::hypot(b.dot[0] - a.dot[0], b.dot[1] - a.dot[1]);
    const double own = std::hypot(b.own[0] - a.own[0], b.own[1] - a.own[1]);
    const double within = PartWithin(a.drawing[0], a.drawing[1], b.drawing[0], b.drawing[1], shown);
    f.dotLength += dot, f.ownLength += own, f.dotShown += within * dot, f.ownShown += within * own;
    f.crossings += std::fabs(std::clamp(b.dot[1], 0.0, rows) - std::clamp(a.dot[1], 0.0, rows));
  };
  PathPoint at{}, start{};
  std::size_t next = 0;
  for (std::uint32_t k = 0; k < h.verbs; ++k) {
    switch (static_cast<dl::Verb>(verbs[k])) {
      case dl::Verb::Move:
        start = at = point(next++);
        f.parts += 1;
        break;
      case dl::Verb::Line: {
        const PathPoint b = point(next++);
        leg(at, b);
        f.segments += 1, f.crossings += 1;
        at = b;
        break;
      }
      case dl::Verb::Curve: {
        const std::array<PathPoint, 4> c = {at, point(next), point(next + 1), point(next + 2)};
        next += 3;
        // Flattened within the tolerance, a cubic takes the square root of
        // 3/4 of its largest second difference over it in segments; its
        // edges cross at most the rows of the box its control polygon does.
        double bend = 0;
        for (int i = 0; i < 3; ++i) {
          if (i < 2)
            bend = std::max(bend, std::hypot(c[i].dot[0] - 2 * c[i + 1].dot[0] + c[i + 2].dot[0],
                                             c[i].dot[1] - 2 * c[i + 1].dot[1] + c[i + 2].dot[1]));
          leg(c[i], c[i + 1]);
        }
        const double pieces = std::max(1.0, std::ceil(std::sqrt(0.75 * bend / kTolerance)));
        f.segments += pieces, f.crossings += pieces;
        at = c[3];
        break;
      }
      case dl::Verb::Close:
        leg(at, start);
        f.segments += 1, f.crossings += 1;
        at = start;
        break;
    }
  }
  f.segments += h.verbs;
  return f;
}

// What a record that draws costs a vector file's writer beside its path, in
// segments: some 10 microseconds, as 40,000 fills of squares take 0.4 s.
constexpr double kRecordSegments = 32;

// How much a pen may be squeezed one way more than the other and cost a
// stroker no more than its vertices.
constexpr double kEvenPenSqueeze = 64;

// The vertices a round pen of `radius` dots takes, as a stroker makes it
// within the tolerance.
double PenVertices(double radius) {
  if (!(radius > kTolerance)) return 4;
  return std::max(4.0, std::ceil(2 * std::numbers::pi / std::acos(1 - kTolerance / radius)));
}

// Reckons each record of a list into a ListCost.
class Reckoner {
 public:
  Reckoner(const DrawList& list, double width, double height, double dot)
      : list_(list),
        data_(list.Data()),
        toDots_{width / list.Width() / dot, 0, 0, height / list.Height() / dot, 0, 0},
        rows_(height / dot) {}

  ListCost Reckon() {
    for (const DrawList::Record& r : list_.Records()) {
      const std::uint8_t* p = data_ + r.at;
      // What is done within the clips in force goes through their paths
      // again, in a viewer, at an eighth of what drawing them costs.
      if (dl::DoneWithinClips(r.kind)) cost_.segments += clipped_ / 8;
      // Each record that draws is an object of its own to a vector file's
      // writer: its state, its source, its extents.
      if (r.kind == dl::Kind::Fill || r.kind == dl::Kind::Stroke || r.kind == dl::Kind::Image ||
          r.kind == dl::Kind::PaintAll)
        cost_.segments += kRecordSegments;
      switch (r.kind) {
        case dl::Kind::Fill: {
          const auto h = Take<dl::FillHead>(p);
          const PathFigures f = ReckonPath(p + sizeof h, h.matrix, toDots_, rows_, Drawing(0));
          Fill(f);
          Paint(h.paint, h.matrix, f, 0);
          break;
        }
        case dl::Kind::Stroke:
          Stroke(p);
          break;
        case dl::Kind::PushClip: {
          const auto h = Take<dl::ClipHead>(p);
          const PathFigures f = ReckonPath(p + sizeof h, h.matrix, toDots_, rows_, Drawing(0));
          Fill(f);
          clips_.push_back(f.segments);
          clipped_ += f.segments;
          break;
        }
        case dl::Kind::PopClip:
          if (!clips_.empty()) clipped_ -= clips_.back(), clips_.pop_back();
          break;
        case dl::Kind::Image:
          break;
        case dl::Kind::PaintAll: {
          PathFigures whole;
          whole.x0 = whole.y0 = 0, whole.x1 = list_.Width(), whole.y1 = list_.Height();
          Paint(Take<dl::Paint>(p), dl::Matrix{}, whole, 0);
          break;
        }
        default:  // tables, and clips and groups opened or closed
          break;
      }
    }
    for (const PictureCopy& c : PictureCopies(list_, toDots_, 1))
      cost_.pixels += static_cast<double>(c.cols) * c.rows;
    return cost_;
  }

 private:
  // The drawing's rectangle widened by `reach` each way.
  std::array<double, 4> Drawing(double reach) const {
    return {-reach, -reach, list_.Width() + reach, list_.Height() + reach};
  }

  void Fill(const PathFigures& f) {
    cost_.segments += f.segments;
    cost_.crossings += f.crossings;
  }

  // A stroke: its path, flattened in the dots; its outline's caps at each
  // part and at each dash where the drawing shows it (as the painter dashes
  // it) and its joins, with the vertices of a round pen of its width in the
  // dots; the rows that outline crosses.
  void Stroke(const std::uint8_t* p) {
    const auto h = Take<dl::StrokeHead>(p);
    double period = 0;
    for (std::uint32_t k = 0; k < h.dashes; ++k) period += Take<double>(p + sizeof h + k * sizeof(double));
    // Half its width at its miter limit, in the drawing's space: how far
    // past the drawing it may show.
    const double reach = h.width / 2 * h.miterLimit * dl::Longest(h.matrix);
    const PathFigures f =
        ReckonPath(p + sizeof h + h.dashes * sizeof(double), h.matrix, toDots_, rows_, Drawing(reach));
    const dl::Matrix toDot = Then(h.matrix, toDots_);
    const bool hairline = (h.flags & dl::kStrokeHairline) != 0;
    // A hairline is a dot wide, its dashes in a space of the transform's
    // mean scale; any other stroke's width and dashes are in the path's space.
    const double mean = std::sqrt(std::fabs(toDot.xx * toDot.yy - toDot.yx * toDot.xy));
    const double radius = hairline ? 0.5 : h.width / 2 * dl::Longest(toDot);
    double pieces = f.parts;
    if (period > 0)
      pieces +=
          (hairline ? f.dotShown / (period * mean) : f.ownShown / period) * std::max(1.0, h.dashes / 2.0);
    // A pen squeezed one way far more than the other (past kEvenPenSqueeze)
    // costs a stroker and a vector file's writer the more at each cap and
    // join the more squeezed it is, as measured: a round one some 12 times
    // the square root of its squeeze over its vertices, any other the fourth
    // root of its squeeze past that over its corners.
    const double squeeze = hairline ? 1 : dl::Longest(toDot) / dl::Shortest(toDot);
    const bool squeezed = squeeze > kEvenPenSqueeze;
    const double pen = PenVertices(radius) * (squeezed ? 12 * std::sqrt(squeeze) : 1);
    const double cap = h.cap == static_cast<std::uint32_t>(dl::Cap::Round)
                           ? pen
                           : 4 * (squeezed ? std::sqrt(std::sqrt(squeeze / kEvenPenSqueeze)) : 1);
    const double join = h.join == static_cast<std::uint32_t>(dl::Join::Round) ? pen / 2 * f.verbs : 0;
    cost_.segments += f.segments;
    cost_.outline += pieces * cap + join + 2 * f.segments;
    cost_.crossings += 2 * f.crossings + pieces;
    Paint(h.paint, h.matrix, f, reach);
  }

  // A paint's own cost over the part of the drawing `f` (its points' box,
  // widened by `reach`) shows: a gradient's stops at each repeat across the
  // drawing, over the dots it fills; a pattern's tiles.
  void Paint(const dl::Paint& paint, const dl::Matrix& used, const PathFigures& f, double reach) {
    switch (static_cast<dl::PaintKind>(paint.kind)) {
      case dl::PaintKind::Gradient: {
        const auto g = Take<dl::GradientHead>(data_ + list_.Gradients()[paint.index]);
        const double stops =
            dl::GradientStopsPainted(g, dl::InverseThen(g.matrix, used), list_.Width(), list_.Height());
        const double dots = dl::AreaShown(f.x0, f.y0, f.x1, f.y1, reach, list_.Width(), list_.Height()) *
                            std::fabs(toDots_.xx * toDots_.yy - toDots_.yx * toDots_.xy);
        cost_.stops += stops * std::max(dots, 1.0);
        break;
      }
      case dl::PaintKind::Picture: {
        const DrawList::Picture& picture = list_.Pictures()[paint.index];
        cost_.tiles +=
            dl::PatternTiles(picture.width, picture.height, dl::InverseThen(paint.matrix, used),
                             dl::AreaShown(f.x0, f.y0, f.x1, f.y1, reach, list_.Width(), list_.Height()));
        break;
      }
      default:
        break;
    }
  }

  const DrawList& list_;
  const std::uint8_t* data_;
  std::vector<double> clips_;  // the segments of each clip in force
  double clipped_ = 0;         // and of all of them
  const dl::Matrix toDots_;    // the drawing's space to the box's dots
  const double rows_;          // the box's rows of dots
  ListCost cost_;
};

}  // namespace

double ListCost::Share() const {
  return segments / CostBudget::kSegments + crossings / CostBudget::kCrossings +
         outline / CostBudget::kOutline + stops / CostBudget::kStops + tiles / CostBudget::kTiles +
         pixels / CostBudget::kPixels;
}

ListCost CostOfList(const DrawList& list, double width, double height, double dot) {
  if (!(width > 0) || !(height > 0) || !(dot > 0)) return {};
  return Reckoner(list, width, height, dot).Reckon();
}

std::vector<PictureCopy> PictureCopies(const DrawList& list, const dl::Matrix& toTarget, double dot) {
  std::vector<PictureCopy> copies(list.Pictures().size());
  std::vector<bool> shownWhole(copies.size(), false);
  const std::uint8_t* data = list.Data();
  // A record showing picture `index` with its pixels mapped into the
  // drawing by `toDrawing`: the dots its pixels take across and down.
  const auto shown = [&](std::uint32_t index, const dl::Matrix& toDrawing, bool pattern) {
    const DrawList::Picture& pic = list.Pictures()[index];
    const dl::Matrix m = Then(toDrawing, toTarget);
    const double across = std::ceil(pic.width * std::hypot(m.xx, m.yx) / dot - 1e-6);
    const double down = std::ceil(pic.height * std::hypot(m.xy, m.yy) / dot - 1e-6);
    PictureCopy& c = copies[index];
    c.cols = static_cast<std::uint32_t>(
        std::clamp(std::max<double>(c.cols, across), 1.0, static_cast<double>(pic.width)));
    c.rows = static_cast<std::uint32_t>(
        std::clamp(std::max<double>(c.rows, down), 1.0, static_cast<double>(pic.height)));
    if (!pattern) shownWhole[index] = true;
  };
  const auto painted = [&](const dl::Paint& paint, const dl::Matrix& used) {
    if (paint.kind == static_cast<std::uint32_t>(dl::PaintKind::Picture))
      shown(paint.index, dl::InverseThen(paint.matrix, used), true);
  };
  for (const DrawList::Record& r : list.Records()) {
    const std::uint8_t* p = data + r.at;
    switch (r.kind) {
      case dl::Kind::Fill: {
        const auto h = Take<dl::FillHead>(p);
        painted(h.paint, h.matrix);
        break;
      }
      case dl::Kind::Stroke: {
        const auto h = Take<dl::StrokeHead>(p);
        painted(h.paint, h.matrix);
        break;
      }
      case dl::Kind::PaintAll:
        painted(Take<dl::Paint>(p), dl::Matrix{});
        break;
      case dl::Kind::Image: {
        const auto b = Take<dl::ImageBody>(p);
        shown(b.picture, b.matrix, false);
        break;
      }
      default:
        break;
    }
  }
  // At most the box's dots, a copy shrunk as much each way where larger.
  const double boxDots = std::fabs(toTarget.xx * toTarget.yy - toTarget.yx * toTarget.xy) * list.Width() *
                         list.Height() / (dot * dot);
  for (std::size_t k = 0; k < copies.size(); ++k) {
    PictureCopy& c = copies[k];
    c.repeated = c.cols > 0 && !shownWhole[k];
    const double pixels = static_cast<double>(c.cols) * c.rows;
    if (pixels > boxDots && pixels > 0) {
      const double by = std::sqrt(std::max(boxDots, 1.0) / pixels);
      c.cols = static_cast<std::uint32_t>(std::max(1.0, std::floor(c.cols * by)));
      c.rows = static_cast<std::uint32_t>(std::max(1.0, std::floor(c.rows * by)));
    }
  }
  return copies;
}

}  // namespace md::imaging
