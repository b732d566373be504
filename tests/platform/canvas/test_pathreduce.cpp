// Dense paths: the points the cairo canvas leaves out, the segments it draws
// once where a path runs over them again, and pixel compares showing that
// this changes nothing drawn beyond cairo's own anti-aliasing error (strokes
// drawn as one path: not a pixel).
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/coverage.h"
#include "platform/canvas/pathreduce.h"

using namespace md::canvas;
using md::canvas::detail::PathUse;
using md::canvas::detail::ReducePath;
using md::canvas::detail::SplitRoundJoinedStroke;
using md::canvas::detail::StrokePieces;

namespace {

std::vector<Point> Pts(std::initializer_list<std::pair<double, double>> xy) {
  std::vector<Point> v;
  for (auto [x, y] : xy) v.push_back(Point{x, y});
  return v;
}

TEST(PathReduce, DropsOnlyPointsThatAddNothing) {
  const struct {
    const char* what;
    PathUse use;
    std::vector<Point> in, out;
  } rows[] = {
      {"repeated points", PathUse::SolidStroke, Pts({{0, 0}, {0, 0}, {5, 0}, {5, 0}, {5, 5}}),
       Pts({{0, 0}, {5, 0}, {5, 5}})},
      {"one repeated point keeps a dot", PathUse::SolidStroke, Pts({{3, 3}, {3, 3}, {3, 3}}),
       Pts({{3, 3}, {3, 3}})},
      {"a single point stays single", PathUse::Fill, Pts({{3, 3}}), Pts({{3, 3}})},
      {"straight run", PathUse::DashedStroke, Pts({{0, 0}, {1, 1}, {2, 2}, {7, 7}, {7, 9}}),
       Pts({{0, 0}, {7, 7}, {7, 9}})},
      {"a turn back on the line stays", PathUse::DashedStroke, Pts({{0, 0}, {4, 0}, {2, 0}}),
       Pts({{0, 0}, {4, 0}, {2, 0}})},
      {"spurs leave a fill", PathUse::Fill, Pts({{0, 0}, {9, 9}, {0, 0}, {9, 9}, {0, 0}, {5, 0}, {5, 5}}),
       Pts({{0, 0}, {5, 0}, {5, 5}})},
      {"spurs stay in a dashed stroke", PathUse::DashedStroke, Pts({{0, 0}, {9, 9}, {0, 0}, {9, 9}}),
       Pts({{0, 0}, {9, 9}, {0, 0}, {9, 9}})},
      {"back and forth cut to two round trips", PathUse::SolidStroke,
       Pts({{0, 0}, {9, 0}, {0, 0}, {9, 0}, {0, 0}, {9, 0}, {0, 0}, {9, 0}, {4, 4}}),
       Pts({{0, 0}, {9, 0}, {0, 0}, {9, 0}, {4, 4}})},
      {"back and forth ending on the other side", PathUse::SolidStroke,
       Pts({{1, 1}, {0, 0}, {9, 0}, {0, 0}, {9, 0}, {0, 0}, {9, 0}, {0, 0}, {3, 7}}),
       Pts({{1, 1}, {0, 0}, {9, 0}, {0, 0}, {9, 0}, {0, 0}, {3, 7}})},
      {"first and last points stay", PathUse::Fill, Pts({{0, 0}, {1, 0}, {2, 0}}), Pts({{0, 0}, {2, 0}})},
  };
  for (const auto& row : rows) {
    std::vector<Point> out{Point{-1, -1}};  // appended to, not replaced
    ReducePath(row.in, row.use, &out);
    ASSERT_EQ(out.size(), row.out.size() + 1) << row.what;
    EXPECT_EQ(out[0], (Point{-1, -1})) << row.what;
    for (std::size_t i = 0; i < row.out.size(); ++i)
      EXPECT_EQ(out[i + 1], row.out[i]) << row.what << " #" << i;
    // Held to [-4, 4] and moved by a half on the way in: as a held, moved copy.
    std::vector<Point> moved, expected, shifted;
    for (const Point& p : row.in)
      moved.push_back(Point{std::clamp(p.x, -4.0, 4.0) + 0.5, std::clamp(p.y, -4.0, 4.0) + 0.5});
    ReducePath(moved, row.use, &expected);
    md::canvas::detail::ReducePathShifted(row.in, 4.0, 0.5, row.use, &shifted);
    EXPECT_EQ(shifted, expected) << row.what;
  }
}

// A fan of n spokes from the origin, each run out and back: 2n + 1 points,
// every segment drawn twice.
std::vector<Point> Fan(int n) {
  std::vector<Point> pts{Point{0, 0}};
  for (int k = 0; k < n; ++k) {
    pts.push_back(Point{static_cast<double>(k + 1), 50});
    pts.push_back(Point{0, 0});
  }
  return pts;
}

// A chain of `segments` segments through distinct points, `spurs` of them
// spurs out to a point of their own and straight back (the way back repeats).
std::vector<Point> Chain(int segments, int spurs) {
  std::vector<Point> pts{Point{0, 0}};
  int spursLeft = spurs;
  for (int i = 1; static_cast<int>(pts.size()) - 1 < segments; ++i) {
    pts.push_back(Point{static_cast<double>(i), static_cast<double>(i % 3)});
    if (spursLeft > 0 && static_cast<int>(pts.size()) + 1 < segments) {
      pts.push_back(Point{static_cast<double>(i), 100.0 + i});
      pts.push_back(pts[pts.size() - 2]);
      --spursLeft;
    }
  }
  return pts;
}

using Segment = std::pair<Point, Point>;

TEST(PathReduce, DenseRetracedStrokesSplitIntoDistinctSegments) {
  const std::vector<Point> fan = Fan(3000);  // 6000 segments, 3000 distinct
  const Point origin{0, 0}, first{1, 50}, last{3000, 50};
  // A square cap's stub: from the path's end an eighth of the pen's width (4)
  // along its segment.
  const auto stub = [&](const Point& to) {
    const double length = std::hypot(to.x, to.y);
    return SubPath{{origin, Point{to.x / length / 2, to.y / length / 2}}, false};
  };
  const std::vector<Point> chain = Chain(5000, 1000);
  const std::size_t n = chain.size();
  const LineCap round = LineCap::Round, flat = LineCap::Flat;
  const struct {
    const char* what;
    std::vector<std::vector<Point>> paths;
    std::vector<bool> closed;
    LineCap cap;
    bool split;
    std::size_t segments;               // distinct segments drawn with round ends
    std::vector<Segment> firstAndLast;  // the first and last of them
    std::vector<SubPath> ends;          // what keeps the pen's caps
  } rows[] = {
      {"too few segments", {Fan(2000)}, {false}, round, false, 0, {}, {}},
      {"dense, nothing repeated", {Chain(6000, 0)}, {false}, round, false, 0, {}, {}},
      {"one in eight repeated", {Chain(4096, 512)}, {false}, round, true, 4096 - 512, {}, {}},
      {"just under one in eight", {Chain(4096, 511)}, {false}, round, false, 0, {}, {}},
      {"one segment short", {Chain(4095, 2000)}, {false}, round, false, 0, {}, {}},
      {"fan, round caps", {fan}, {false}, round, true, 3000, {{origin, first}, {origin, last}}, {}},
      {"fan, closed", {fan}, {true}, flat, true, 3000, {{origin, first}, {origin, last}}, {}},
      // The end segments are run over again inside the path, and drawn from
      // there: a flat cap adds nothing, a square cap only its stub.
      {"fan, flat caps", {fan}, {false}, flat, true, 3000, {{first, origin}, {origin, last}}, {}},
      {"fan, square caps", {fan}, {false}, LineCap::Square, true, 3000, {}, {stub(first), stub(last)}},
      // End segments met only once keep the pen's caps whole, the cap first.
      {"chain, flat caps",
       {chain},
       {false},
       flat,
       true,
       5000 - 1000 - 2,
       {{chain[1], chain[2]}, {chain[n - 3], chain[n - 2]}},
       {{{chain[0], chain[1]}, false}, {{chain[n - 1], chain[n - 2]}, false}}},
      // Paths too short to have a segment between two joins stay whole; a
      // two-point dot is a round-capped segment of its own.
      {"short paths, flat caps",
       {fan, {Point{5, 5}}, {Point{6, 6}, Point{6, 6}}, {Point{7, 7}, Point{8, 8}, Point{9, 7}}},
       {false, false, false, false},
       flat,
       true,
       3000,
       {},
       {{{Point{5, 5}}, false},
        {{Point{6, 6}, Point{6, 6}}, false},
        {{Point{7, 7}, Point{8, 8}, Point{9, 7}}, false}}},
      {"short paths, round caps",
       {{Point{5, 5}}, fan, {Point{6, 6}, Point{6, 6}}, {Point{1, 1}, Point{2, 2}}},
       {false, false, false, true},
       round,
       true,
       3001,
       {},
       {{{Point{5, 5}}, false}, {{Point{1, 1}, Point{2, 2}}, true}}},
  };
  for (const auto& row : rows) {
    StrokePieces out;
    out.segments.push_back(Segment{Point{-1, -1}, Point{-2, -2}});  // appended to, not replaced
    EXPECT_EQ(SplitRoundJoinedStroke(row.paths, row.closed, row.cap, 4, &out), row.split) << row.what;
    ASSERT_FALSE(out.segments.empty()) << row.what;
    EXPECT_EQ(out.segments[0], (Segment{Point{-1, -1}, Point{-2, -2}})) << row.what;
    if (!row.split) {
      EXPECT_EQ(out.segments.size(), 1u) << row.what;
      EXPECT_TRUE(out.ends.empty()) << row.what;
      continue;
    }
    EXPECT_EQ(out.segments.size() - 1, row.segments) << row.what;
    if (!row.firstAndLast.empty()) {
      EXPECT_EQ(out.segments[1], row.firstAndLast[0]) << row.what;
      EXPECT_EQ(out.segments.back(), row.firstAndLast[1]) << row.what;
    }
    // Every segment of the paths is drawn, the distinct ones once each.
    using Key = std::tuple<double, double, double, double>;
    const auto key = [](Point a, Point b) {
      if (std::tie(b.x, b.y) < std::tie(a.x, a.y)) std::swap(a, b);
      return Key{a.x, a.y, b.x, b.y};
    };
    std::set<Key> wanted, distinct, drawn;
    for (std::size_t k = 0; k < row.paths.size(); ++k) {
      const std::vector<Point>& p = row.paths[k];
      for (std::size_t i = 0; i + 1 < p.size(); ++i) wanted.insert(key(p[i], p[i + 1]));
      if (row.closed[k] && p.size() > 2 && !(p.back() == p.front())) wanted.insert(key(p.back(), p.front()));
    }
    for (std::size_t i = 1; i < out.segments.size(); ++i)
      distinct.insert(key(out.segments[i].first, out.segments[i].second));
    EXPECT_EQ(distinct.size(), out.segments.size() - 1) << row.what;
    drawn = distinct;
    for (const SubPath& e : out.ends)
      for (std::size_t i = 0; i + 1 < e.points.size(); ++i) drawn.insert(key(e.points[i], e.points[i + 1]));
    EXPECT_TRUE(std::includes(wanted.begin(), wanted.end(), distinct.begin(), distinct.end())) << row.what;
    EXPECT_TRUE(std::includes(drawn.begin(), drawn.end(), wanted.begin(), wanted.end())) << row.what;
    ASSERT_EQ(out.ends.size(), row.ends.size()) << row.what;
    for (std::size_t i = 0; i < row.ends.size(); ++i) {
      EXPECT_EQ(out.ends[i].points, row.ends[i].points) << row.what << " end #" << i;
      EXPECT_EQ(out.ends[i].closed, row.ends[i].closed) << row.what << " end #" << i;
    }
  }
}

constexpr int kSide = 240;

int LargestChannelDifference(std::uint32_t a, std::uint32_t b) {
  int d = 0;
  for (int shift = 0; shift < 24; shift += 8)
    d = std::max(d, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  return d;
}

// A star of n/2 spikes: integer points alternating between two circles, the
// spikes far thinner than a pixel, so that most points repeat.
std::vector<Point> Star(int n, double cx, double cy, double inner = 30, double outer = 100) {
  std::vector<Point> pts;
  for (int i = 0; i < n; ++i) {
    const double a = 2 * std::numbers::pi * i / n, r = i % 2 ? inner : outer;
    pts.push_back(Point{std::round(cx + r * std::cos(a)), std::round(cy + r * std::sin(a))});
  }
  return pts;
}

// The same shape straight into cairo, every point kept, with the settings the
// canvas uses; drawn `scale` times larger and averaged down when scale > 1.
std::vector<std::uint32_t> Direct(const Shape& shape, const Pen& pen, Color fill, int scale = 1,
                                  const std::vector<double>& dashes = {}, int width = kSide) {
  const int side = width * scale;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, side, side);
  cairo_t* cr = cairo_create(s);
  cairo_scale(cr, scale, scale);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  auto path = [&](double offset, bool close) {
    cairo_new_path(cr);
    for (const SubPath& sp : shape.paths) {
      cairo_move_to(cr, sp.points[0].x + offset, sp.points[0].y + offset);
      for (const Point& p : sp.points) cairo_line_to(cr, p.x + offset, p.y + offset);
      if (close || sp.closed) cairo_close_path(cr);
    }
  };
  if (shape.fill) {
    path(0, true);
    cairo_set_fill_rule(cr,
                        shape.rule == FillRule::Winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    cairo_set_source_rgb(cr, red(fill) / 255.0, green(fill) / 255.0, blue(fill) / 255.0);
    cairo_fill(cr);
  }
  if (shape.stroke) {
    path(0.5, false);
    cairo_set_line_width(cr, pen.width);
    cairo_set_line_cap(cr, pen.width <= 1.5             ? CAIRO_LINE_CAP_BUTT
                           : pen.cap == LineCap::Round  ? CAIRO_LINE_CAP_ROUND
                           : pen.cap == LineCap::Square ? CAIRO_LINE_CAP_SQUARE
                                                        : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, pen.join == LineJoin::Round   ? CAIRO_LINE_JOIN_ROUND
                            : pen.join == LineJoin::Bevel ? CAIRO_LINE_JOIN_BEVEL
                                                          : CAIRO_LINE_JOIN_MITER);
    cairo_set_miter_limit(cr, 10.0);
    if (!dashes.empty()) cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), 0);
    cairo_set_source_rgb(cr, red(pen.color) / 255.0, green(pen.color) / 255.0, blue(pen.color) / 255.0);
    cairo_stroke(cr);
  }
  cairo_surface_flush(s);
  std::vector<std::uint32_t> px(static_cast<std::size_t>(width) * width);
  const unsigned char* data = cairo_image_surface_get_data(s);
  for (int y = 0; y < width; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint32_t out = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        int sum = 0;
        for (int sy = 0; sy < scale; ++sy) {
          const auto* row = reinterpret_cast<const std::uint32_t*>(
              data + static_cast<std::ptrdiff_t>(y * scale + sy) * cairo_image_surface_get_stride(s));
          for (int sx = 0; sx < scale; ++sx) sum += (row[x * scale + sx] >> shift) & 0xFF;
        }
        out |= static_cast<std::uint32_t>((sum + scale * scale / 2) / (scale * scale)) << shift;
      }
      px[static_cast<std::size_t>(y) * width + x] = out;
    }
  }
  cairo_destroy(cr);
  cairo_surface_destroy(s);
  return px;
}

std::vector<std::uint32_t> ThroughCanvas(const Shape& shape, const Pen& pen, Color fill, int side = kSide) {
  auto canvas = CairoCanvas::createImage(side, side);
  Brush brush;
  brush.style = BrushStyle::Solid;
  brush.color = fill;
  canvas->drawShape(shape, pen, brush, State{});
  canvas->flush();
  std::vector<std::uint32_t> px(static_cast<std::size_t>(side) * side);
  EXPECT_TRUE(canvas->readPixels(Rect{0, 0, side, side}, px.data()));
  return px;
}

TEST(PathReduce, DenseShapesDrawPixelForPixelAsWithEveryPoint) {
  // A spiky star, and a polyline going back and forth along the star's
  // spokes, repeated points included.
  std::vector<Point> spokes;
  for (const Point& p : Star(4000, 120, 120)) {
    spokes.push_back(Point{120, 120});
    spokes.push_back(p);
    spokes.push_back(p);
  }
  const std::vector<Point> star = Star(4000, 120, 120), smallStar = Star(2000, 120, 120);
  // Dense enough for the coverage rasterizer: a ragged ring of 6000 points,
  // and a star polygon whose 4500 edges all cross one another.
  std::vector<Point> ragged, crossing;
  for (int i = 0; i < 6000; ++i) {
    const double a = 2 * std::numbers::pi * i / 6000, r = 60 + (i * 37) % 40;
    ragged.push_back(
        Point{std::round(120 + r * std::cos(a) * 10) / 10, std::round(120 + r * std::sin(a) * 10) / 10});
  }
  for (int i = 0; i < 4500; ++i) {
    const double a = 2 * std::numbers::pi * ((i * 2249) % 4500) / 4500;
    crossing.push_back(Point{120 + 100 * std::cos(a), 120 + 100 * std::sin(a)});
  }
  struct Row {
    const char* what;
    bool fill, stroke;
    FillRule rule;
    double width;
    LineJoin join;
    LineCap cap;
    const std::vector<Point>* points;
  };
  const FillRule alt = FillRule::Alternate;
  const Row rows[] = {
      {"star, alternate fill", true, false, alt, 1, LineJoin::Round, LineCap::Round, &star},
      {"star, winding fill", true, false, FillRule::Winding, 1, LineJoin::Round, LineCap::Round, &star},
      {"star outline, round", false, true, alt, 3, LineJoin::Round, LineCap::Round, &star},
      {"spokes, miter", false, true, alt, 4, LineJoin::Miter, LineCap::Square, &spokes},
      {"spokes, bevel", false, true, alt, 3, LineJoin::Bevel, LineCap::Flat, &spokes},
      {"star, filled and outlined", true, true, alt, 2, LineJoin::Round, LineCap::Round, &smallStar},
      {"dense ragged ring", true, false, alt, 1, LineJoin::Round, LineCap::Round, &ragged},
      {"dense crossing star, alternate", true, false, alt, 1, LineJoin::Round, LineCap::Round, &crossing},
      {"dense crossing star, winding", true, false, FillRule::Winding, 1, LineJoin::Round, LineCap::Round,
       &crossing},
  };
  for (const auto& row : rows) {
    Shape shape;
    shape.kind = ShapeKind::Polygon;
    shape.paths.push_back(SubPath{*row.points, false});
    shape.fill = row.fill;
    shape.stroke = row.stroke;
    shape.rule = row.rule;
    Pen pen;
    pen.width = row.width;
    pen.join = row.join;
    pen.cap = row.cap;
    pen.color = 0x2040C0;
    const Color fill = 0x30A050;
    const std::vector<std::uint32_t> reduced = ThroughCanvas(shape, pen, fill);
    const std::vector<std::uint32_t> every = Direct(shape, pen, fill);
    long long differing = 0, painted = 0;
    for (std::size_t i = 0; i < every.size(); ++i) {
      differing += reduced[i] != every[i];
      painted += every[i] != 0xFFFFFF;
    }
    if (row.stroke) {
      // A stroke is made of the same segments, joins and caps: the same pixels.
      EXPECT_EQ(differing, 0) << row.what;
    } else {
      // Held against a drawing 8 times finer, the canvas's fill is as close
      // to it as cairo's fill of every point: the largest error within three
      // levels, the mean within one level a painted pixel. Without spurs cairo comes out a few levels apart
      // where sub-pixel spikes crowd (it does not cancel a spur's two edges
      // exactly); dense fills go through the coverage rasterizer, which
      // works out each pixel's area and is closer to the finer drawing.
      const std::vector<std::uint32_t> fine = Direct(shape, pen, fill, 8);
      int errorEvery = 0, errorReduced = 0, apart = 0;
      double sumEvery = 0, sumReduced = 0;
      for (std::size_t i = 0; i < every.size(); ++i) {
        const int e = LargestChannelDifference(every[i], fine[i]),
                  r = LargestChannelDifference(reduced[i], fine[i]);
        errorEvery = std::max(errorEvery, e);
        errorReduced = std::max(errorReduced, r);
        sumEvery += e;
        sumReduced += r;
        apart = std::max(apart, LargestChannelDifference(reduced[i], every[i]));
      }
      EXPECT_LE(errorReduced, errorEvery + 3) << row.what;
      EXPECT_LE(sumReduced, sumEvery + static_cast<double>(painted)) << row.what;  // a level a pixel at most
      if (row.points->size() < 4096) {
        EXPECT_LE(apart, 24) << row.what;
        EXPECT_LT(differing, painted / 20) << row.what;
      }
    }
    EXPECT_GT(painted, 1000) << row.what;  // the compare saw a drawing
  }
}

// Strokes with round joins that run over their own segments again are drawn
// as their distinct segments: against cairo's stroke of every point, only
// anti-aliased edge pixels differ, by a few levels. Every other dense stroke
// (dashed, not retraced) is drawn as one path: the same pixels.
TEST(PathReduce, RetracedStrokesLookAsTheWholePathStroked) {
  constexpr int kBig = 480;
  const double c = kBig / 2.0;
  std::vector<Point> spokes;
  for (const Point& p : Star(4000, c, c)) {
    spokes.push_back(Point{c, c});
    spokes.push_back(p);
  }
  // 5610 points once reduced, 1944 distinct segments.
  const std::vector<Point> star = Star(6000, c, c, 40, 230);
  // The same with a segment at each end that the path meets only once.
  std::vector<Point> ledStar{Point{c - 235, c - 20}};
  ledStar.insert(ledStar.end(), star.begin(), star.end());
  ledStar.push_back(Point{c + 20, c + 235});
  std::vector<Point> ragged;  // 6000 distinct segments
  for (int i = 0; i < 6000; ++i) {
    const double a = 2 * std::numbers::pi * i / 6000, r = 60 + (i * 37) % 40;
    ragged.push_back(Point{std::round(c + r * std::cos(a)), std::round(c + r * std::sin(a))});
  }
  const struct {
    const char* what;
    const std::vector<Point>* points;
    bool closed;
    double width;
    LineCap cap;
    std::vector<double> dashes;  // as the canvas makes them for the pen
    bool split;
    bool ledIn = false;  // end segments met once, with flat or square caps
  } rows[] = {
      {"dense star, round caps", &star, false, 2.375, LineCap::Round, {}, true},
      {"dense star, closed", &star, true, 2.375, LineCap::Flat, {}, true},
      {"dense star, wide pen", &star, false, 9, LineCap::Round, {}, true},
      {"dense star, square caps", &star, false, 5, LineCap::Square, {}, true},
      {"dense star, led in, flat caps", &ledStar, false, 3, LineCap::Flat, {}, true, true},
      {"dense star, led in, square caps", &ledStar, false, 6, LineCap::Square, {}, true, true},
      {"dense star, led in, round caps", &ledStar, false, 3, LineCap::Round, {}, true},
      {"spokes, one pixel", &spokes, false, 1, LineCap::Round, {}, true},
      {"spokes, square caps", &spokes, false, 4, LineCap::Square, {}, true},
      {"spokes, flat caps", &spokes, false, 3, LineCap::Flat, {}, true},
      {"spokes, closed", &spokes, true, 3, LineCap::Flat, {}, true},
      {"spokes, dashed", &spokes, false, 1, LineCap::Round, {18, 6}, false},
      {"spokes, wide dashed", &spokes, false, 4, LineCap::Round, {32, 16}, false},
      {"dense ragged line", &ragged, false, 2.375, LineCap::Round, {}, false},
  };
  for (const auto& row : rows) {
    Shape shape;
    shape.paths.push_back(SubPath{*row.points, row.closed});
    shape.stroke = true;
    Pen pen;
    pen.width = row.width;
    pen.join = LineJoin::Round;
    pen.cap = row.cap;
    pen.style = row.dashes.empty() ? PenStyle::Solid : PenStyle::Dash;
    pen.color = 0x2040C0;
    const std::vector<std::uint32_t> drawn = ThroughCanvas(shape, pen, 0, kBig);
    const std::vector<std::uint32_t> every = Direct(shape, pen, 0, 1, row.dashes, kBig);
    // An open path's end segments with flat or square caps, where the path
    // does not run over them again, are stroked apart from the rest: cairo
    // anti-aliases a lone segment's edges a little differently, and blends
    // them a second time where they meet the next segment. Elsewhere the
    // flattening of round ends against round joins shows, by a level or two,
    // and the runs the segments are stroked in blend the edge pixels they
    // share once each.
    const std::vector<Point>& pts = *row.points;
    const std::size_t n = pts.size();
    const std::vector<Point> ends{pts[0], pts[1], pts[n - 2], pts[n - 1]};
    const auto nearEnd = [&](int x, int y) {
      for (const Point& e : ends)
        if (std::hypot(x - e.x, y - e.y) <= row.width + 2) return true;
      return false;
    };
    long long differing = 0, painted = 0, paintedOverBlank = 0;
    int apartNearEnds = 0, apartElsewhere = 0;
    for (int y = 0; y < kBig; ++y) {
      for (int x = 0; x < kBig; ++x) {
        const std::size_t i = static_cast<std::size_t>(y) * kBig + x;
        differing += drawn[i] != every[i];
        painted += every[i] != 0xFFFFFF;
        const bool atEnd = !row.closed && nearEnd(x, y);
        paintedOverBlank += !atEnd && every[i] == 0xFFFFFF && drawn[i] != 0xFFFFFF;
        int& apart = atEnd ? apartNearEnds : apartElsewhere;
        apart = std::max(apart, LargestChannelDifference(drawn[i], every[i]));
      }
    }
    EXPECT_GT(painted, 10000) << row.what;  // the compare saw a drawing
    if (!row.split) {
      EXPECT_EQ(differing, 0) << row.what;
    } else {
      // Runs of segments cover no pixel the whole path leaves blank (the led
      // in star's lone end segments aside); an anti-aliased edge pixel two
      // runs both touch is blended twice.
      if (row.points != &ledStar) {
        EXPECT_EQ(paintedOverBlank, 0) << row.what;
      }
      EXPECT_LE(apartElsewhere, 64) << row.what;
      EXPECT_LE(apartNearEnds, row.ledIn ? 96 : 64) << row.what;
      EXPECT_LT(differing, painted / 20) << row.what;
    }
    // Which way the canvas went: thin pens draw without caps.
    std::vector<std::vector<Point>> reduced(1);
    std::vector<Point> centres;
    for (const Point& p : pts) centres.push_back(Point{p.x + 0.5, p.y + 0.5});
    ReducePath(centres, PathUse::SolidStroke, &reduced[0]);
    StrokePieces pieces;
    const LineCap cap = row.width <= 1.5 ? LineCap::Flat : row.cap;
    EXPECT_EQ(SplitRoundJoinedStroke(reduced, {row.closed}, cap, row.width, &pieces),
              row.split || !row.dashes.empty())
        << row.what;
  }
}

}  // namespace

// A dense fill keeps to the clip and paints a hatch with its background, as
// every fill does.
TEST(PathReduce, DenseFillsKeepTheClipAndTheBrush) {
  std::vector<Point> ring;
  for (int i = 0; i < 6000; ++i) {
    const double a = 2 * std::numbers::pi * i / 6000, r = 80 + (i * 37) % 20;
    ring.push_back(Point{120 + r * std::cos(a), 120 + r * std::sin(a)});
  }
  Shape shape;
  shape.kind = ShapeKind::Polygon;
  shape.paths.push_back(SubPath{ring, true});
  shape.fill = true;
  Pen none;
  none.style = PenStyle::Null;
  State state;
  state.clip.active = true;
  state.clip.rects = {Rect{0, 0, kSide, 100}};
  state.background = 0x00FFFF;  // yellow (0x00BBGGRR)
  Brush hatch;
  hatch.style = BrushStyle::Hatched;
  hatch.hatch = Hatch::Cross;
  hatch.color = 0xFF0000;  // blue
  auto canvas = CairoCanvas::createImage(kSide, kSide);
  canvas->drawShape(shape, none, hatch, state);
  canvas->flush();
  int yellow = 0, blue = 0, outside = 0;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const std::uint32_t* row = canvas->pixelRow(y);
      const std::uint32_t p = row[x] & 0xFFFFFF;
      if (y >= 100) outside += p != 0xFFFFFF;
      yellow += p == 0xFFFF00;
      blue += p == 0x0000FF;
    }
  }
  EXPECT_EQ(outside, 0);
  EXPECT_GT(yellow, 3000);
  EXPECT_GT(blue, 1000);
  EXPECT_EQ(canvas->pixelRow(60)[120] & 0xFFFFFF, 0xFFFF00u);  // inside, between hatch lines
}

// A stroke drawn as its distinct segments keeps to the clip and the pen's
// colour, and leaves its caps where the pen puts them.
TEST(PathReduce, SplitStrokesKeepTheClipAndThePen) {
  std::vector<Point> fan;
  for (const Point& p : Star(6000, 120, 120, 40, 110)) {
    fan.push_back(Point{120, 120});
    fan.push_back(p);
  }
  std::vector<std::vector<Point>> reduced(1);
  ReducePath(fan, PathUse::SolidStroke, &reduced[0]);
  StrokePieces pieces;
  ASSERT_TRUE(SplitRoundJoinedStroke(reduced, {false}, LineCap::Round, 3, &pieces));
  Shape shape;
  shape.paths.push_back(SubPath{fan, false});
  shape.stroke = true;
  Pen pen;
  pen.width = 3;
  pen.color = 0x0000FF;  // red (0x00BBGGRR)
  State state;
  state.clip.active = true;
  state.clip.rects = {Rect{0, 0, kSide, 100}};
  auto canvas = CairoCanvas::createImage(kSide, kSide);
  canvas->drawShape(shape, pen, Brush{}, state);
  canvas->flush();
  int red = 0, outside = 0, other = 0;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const std::uint32_t p = canvas->pixelRow(y)[x] & 0xFFFFFF;
      if (y >= 100) outside += p != 0xFFFFFF;
      red += p == 0xFF0000;
      // Anti-aliased edges blend red into white: green and blue stay equal.
      other += ((p >> 8) & 0xFF) != (p & 0xFF);
    }
  }
  EXPECT_EQ(outside, 0);
  EXPECT_GT(red, 5000);
  EXPECT_EQ(other, 0);
  // Beyond the spokes' round ends, inside the clip: untouched.
  EXPECT_EQ(canvas->pixelRow(5)[120] & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(canvas->pixelRow(11)[120] & 0xFFFFFF, 0xFF0000u);  // the round end of the spoke up
}

// Runs are for rasters: a vector file gets the distinct segments in one
// stroke, which a viewer then anti-aliases as cairo's stroke of every point.
TEST(PathReduce, VectorFilesGetTheSegmentsInOneStroke) {
  constexpr int kBig = 480;  // 1944 distinct segments, far more than one run
  const std::vector<Point> star = Star(6000, kBig / 2.0, kBig / 2.0, 40, 230);
  Shape shape;
  shape.paths.push_back(SubPath{star, true});
  shape.stroke = true;
  Pen pen;
  pen.width = 2.375;
  pen.color = 0x2040C0;
  const std::vector<std::uint32_t> every = Direct(shape, pen, 0, 1, {}, kBig);
  const auto apart = [&](const std::vector<std::uint32_t>& drawn) {
    int most = 0;
    for (std::size_t i = 0; i < every.size(); ++i)
      most = std::max(most, LargestChannelDifference(drawn[i], every[i]));
    return most;
  };
  // Recorded at 72 dpi (a device pixel a point) and played back on a raster.
  const double mm = kBig * 25.4 / 72;
  cairo_surface_t* record = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr);
  auto vector = CairoCanvas::createOnSurface(record, mm, mm, 72);
  ASSERT_NE(vector, nullptr);
  vector->drawShape(shape, pen, Brush{BrushStyle::Null}, State{});
  vector->finish();
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kBig, kBig);
  cairo_t* cr = cairo_create(image);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_set_source_surface(cr, record, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(image);
  std::vector<std::uint32_t> played(static_cast<std::size_t>(kBig) * kBig);
  for (int y = 0; y < kBig; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(image) +
                                                             y * cairo_image_surface_get_stride(image));
    for (int x = 0; x < kBig; ++x) played[static_cast<std::size_t>(y) * kBig + x] = row[x] & 0xFFFFFF;
  }
  cairo_surface_destroy(image);
  cairo_surface_destroy(record);
  EXPECT_LE(apart(played), 3);
  // On a raster the runs blend shared edge pixels more than that.
  EXPECT_GT(apart(ThroughCanvas(shape, pen, 0, kBig)), 3);
}

// A fill whose pixel rows are crossed by more edges than the coverage
// rasterizer holds goes straight to cairo, and looks as cairo fills it.
TEST(PathReduce, FillsWithCrowdedRowsGoToCairo) {
  // A comb of teeth 0.2 pixels apart: every row between y 20 and 200 is
  // crossed by two edges a tooth.
  const auto comb = [](int teeth) {
    std::vector<Point> ring;
    for (int i = 0; i < teeth; ++i) {
      const double x = 10 + 0.2 * i;
      ring.insert(ring.end(), {Point{x, 200}, Point{x + 0.05, 20}, Point{x + 0.1, 20}, Point{x + 0.15, 200}});
    }
    ring.insert(ring.end(), {Point{10 + 0.2 * teeth, 210}, Point{10, 210}});
    return ring;
  };
  const Rect box{0, 0, kSide, kSide};
  md::canvas::detail::CoverageMask mask;
  using md::canvas::detail::kMaxCoverageEdgesPerRow;
  EXPECT_TRUE(md::canvas::detail::RasterizeCoverage({comb(kMaxCoverageEdgesPerRow / 2)}, FillRule::Alternate,
                                                    box, kSide, &mask));
  // Row 100 holds five teeth a pixel, each 0.0947 wide on average over the row.
  EXPECT_NEAR(mask.alpha[static_cast<std::size_t>(100) * kSide + 12], 5 * 0.0947 * 255, 2);
  EXPECT_FALSE(md::canvas::detail::RasterizeCoverage({comb(kMaxCoverageEdgesPerRow / 2 + 1)},
                                                     FillRule::Alternate, box, kSide, &mask));
  // Below the box, the rows are not counted.
  EXPECT_TRUE(md::canvas::detail::RasterizeCoverage({comb(kMaxCoverageEdgesPerRow / 2 + 1)},
                                                    FillRule::Alternate, Rect{0, 205, kSide, kSide}, kSide,
                                                    &mask));
  Shape shape;
  shape.kind = ShapeKind::Polygon;
  shape.paths.push_back(SubPath{comb(1100), true});  // 4402 points
  shape.fill = true;
  Pen none;
  none.style = PenStyle::Null;
  EXPECT_EQ(ThroughCanvas(shape, none, 0x30A050), Direct(shape, none, 0x30A050));
}
