// Dense paths: the points the cairo canvas leaves out, and pixel compares
// showing that leaving them out changes nothing drawn (strokes: not a pixel;
// fills: nothing beyond cairo's own anti-aliasing error).
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/pathreduce.h"

using namespace md::canvas;
using md::canvas::detail::PathUse;
using md::canvas::detail::ReducePath;

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
std::vector<Point> Star(int n, double cx, double cy) {
  std::vector<Point> pts;
  for (int i = 0; i < n; ++i) {
    const double a = 2 * std::numbers::pi * i / n, r = i % 2 ? 30 : 100;
    pts.push_back(Point{std::round(cx + r * std::cos(a)), std::round(cy + r * std::sin(a))});
  }
  return pts;
}

// The same shape straight into cairo, every point kept, with the settings the
// canvas uses; drawn `scale` times larger and averaged down when scale > 1.
std::vector<std::uint32_t> Direct(const Shape& shape, const Pen& pen, Color fill, int scale = 1) {
  const int side = kSide * scale;
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
    cairo_set_source_rgb(cr, red(pen.color) / 255.0, green(pen.color) / 255.0, blue(pen.color) / 255.0);
    cairo_stroke(cr);
  }
  cairo_surface_flush(s);
  std::vector<std::uint32_t> px(static_cast<std::size_t>(kSide) * kSide);
  const unsigned char* data = cairo_image_surface_get_data(s);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
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
      px[static_cast<std::size_t>(y) * kSide + x] = out;
    }
  }
  cairo_destroy(cr);
  cairo_surface_destroy(s);
  return px;
}

std::vector<std::uint32_t> ThroughCanvas(const Shape& shape, const Pen& pen, Color fill) {
  auto canvas = CairoCanvas::createImage(kSide, kSide);
  Brush brush;
  brush.style = BrushStyle::Solid;
  brush.color = fill;
  canvas->drawShape(shape, pen, brush, State{});
  canvas->flush();
  std::vector<std::uint32_t> px(static_cast<std::size_t>(kSide) * kSide);
  EXPECT_TRUE(canvas->readPixels(Rect{0, 0, kSide, kSide}, px.data()));
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
      {"spokes, one pixel", false, true, alt, 1, LineJoin::Round, LineCap::Round, &spokes},
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
