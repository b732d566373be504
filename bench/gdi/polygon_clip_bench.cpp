// The device context (GDI stand-in on the cairo canvas) against cairo alone,
// on a 300-dpi A4 raster:
//   ThroughDc / RawCairo   10,000 small polygons filled under a 96-point
//                          polygon clip. The device context skips shapes
//                          wholly outside the clip and fills those wholly
//                          inside it without clipping; the baseline does the
//                          same (its inside/outside test reads a summed-area
//                          table of the clip's pixels), so both do the same
//                          work. The ratio is printed at the end.
//   Dense/Polygon/N, Dense/Fill/N, Dense/Polyline/N
//                          one N-point star filled and outlined, filled
//                          only, or stroked through the device context.
//   CombRegion/N           CreatePolygonRgn of an N-point comb.
//
// The default run is short; pass --benchmark_min_time=N for steadier figures.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>
#include <numbers>
#include <numeric>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace {

constexpr int kWidth = 2480;  // A4 at 300 dpi
constexpr int kHeight = 3508;
constexpr int kPolygons = 10000;

// A 48-pointed star-like frame boundary covering most of the page.
std::vector<POINT> ClipPolygon() {
  std::vector<POINT> pts;
  const double cx = kWidth / 2.0, cy = kHeight / 2.0;
  for (int i = 0; i < 96; ++i) {
    const double a = i * 2 * std::numbers::pi / 96;
    const double r = (i % 2 ? 0.92 : 0.8) * std::min(cx, cy) * (1.0 + 0.3 * std::fabs(std::sin(a)));
    pts.push_back(POINT{static_cast<LONG>(std::lround(cx + r * std::cos(a))),
                        static_cast<LONG>(std::lround(cy + 1.3 * r * std::sin(a)))});
  }
  return pts;
}

// 10,000 small quadrilaterals on a 100 x 100 grid over the page.
std::vector<POINT> SmallPolygons() {
  std::vector<POINT> pts;
  pts.reserve(kPolygons * 4);
  for (int i = 0; i < kPolygons; ++i) {
    const int gx = i % 100, gy = i / 100;
    const LONG x = gx * kWidth / 100 + 3, y = gy * kHeight / 100 + 3;
    const LONG s = 12 + (i * 7) % 9;
    pts.push_back(POINT{x, y + s / 3});
    pts.push_back(POINT{x + s, y});
    pts.push_back(POINT{x + s + s / 4, y + s});
    pts.push_back(POINT{x + s / 5, y + s + s / 3});
  }
  return pts;
}

struct Brushed {
  std::unique_ptr<md::canvas::CairoCanvas> canvas = md::canvas::CairoCanvas::createImage(kWidth, kHeight);
  HDC hdc = md::win::CreateScreenDC(canvas.get(), 300, &md::text::FixedMetricsEngine());
  HBRUSH brush = CreateSolidBrush(RGB(30, 90, 200));
  HPEN pen = CreatePen(PS_SOLID, 3, RGB(200, 40, 30));
  HGDIOBJ oldBrush = SelectObject(hdc, brush);
  HGDIOBJ oldPen = SelectObject(hdc, pen);

  ~Brushed() {
    SelectObject(hdc, oldPen);
    SelectObject(hdc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
    DeleteDC(hdc);
  }
};

void ThroughDc(benchmark::State& state) {
  Brushed dc;
  const std::vector<POINT> clip = ClipPolygon();
  HRGN rgn = CreatePolygonRgn(clip.data(), static_cast<int>(clip.size()), ALTERNATE);
  SelectClipRgn(dc.hdc, rgn);
  DeleteObject(rgn);
  SelectObject(dc.hdc, GetStockObject(NULL_PEN));
  const std::vector<POINT> polys = SmallPolygons();
  for (auto _ : state) {
    for (int i = 0; i < kPolygons; ++i) Polygon(dc.hdc, &polys[static_cast<std::size_t>(i) * 4], 4);
    dc.canvas->flush();
  }
  SelectObject(dc.hdc, dc.pen);
  state.SetItemsProcessed(state.iterations() * kPolygons);
}

// Pixels inside the clip, counted over any box in constant time.
class CoverageTable {
 public:
  explicit CoverageTable(cairo_surface_t* mask)
      : w_(cairo_image_surface_get_width(mask)), h_(cairo_image_surface_get_height(mask)) {
    sum_.assign(static_cast<std::size_t>(w_ + 1) * (h_ + 1), 0);
    const unsigned char* data = cairo_image_surface_get_data(mask);
    const int stride = cairo_image_surface_get_stride(mask);
    for (int y = 0; y < h_; ++y) {
      long long row = 0;
      for (int x = 0; x < w_; ++x) {
        row += data[static_cast<std::size_t>(y) * stride + x] != 0 ? 1 : 0;
        at(x + 1, y + 1) = at(x + 1, y) + row;
      }
    }
  }
  // Clip pixels in [x0, x1) x [y0, y1), clamped to the raster.
  long long Count(int x0, int y0, int x1, int y1) const {
    x0 = std::clamp(x0, 0, w_), x1 = std::clamp(x1, 0, w_), y0 = std::clamp(y0, 0, h_),
    y1 = std::clamp(y1, 0, h_);
    if (x1 <= x0 || y1 <= y0) return 0;
    return at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0);
  }

 private:
  long long& at(int x, int y) { return sum_[static_cast<std::size_t>(y) * (w_ + 1) + x]; }
  long long at(int x, int y) const { return sum_[static_cast<std::size_t>(y) * (w_ + 1) + x]; }
  int w_, h_;
  std::vector<long long> sum_;
};

void ClipPath(cairo_t* cr, const std::vector<POINT>& clip) {
  cairo_move_to(cr, clip[0].x, clip[0].y);
  for (const POINT& p : clip) cairo_line_to(cr, p.x, p.y);
  cairo_close_path(cr);
}

void RawCairo(benchmark::State& state) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
  cairo_t* free = cairo_create(surface);
  cairo_set_source_rgb(free, 1, 1, 1);
  cairo_paint(free);
  // The clip as the device context has it: whole pixels inside the polygon.
  const std::vector<POINT> clip = ClipPolygon();
  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, kWidth, kHeight);
  cairo_t* m = cairo_create(mask);
  cairo_set_antialias(m, CAIRO_ANTIALIAS_NONE);
  cairo_set_fill_rule(m, CAIRO_FILL_RULE_EVEN_ODD);
  ClipPath(m, clip);
  cairo_fill(m);
  cairo_destroy(m);
  cairo_surface_flush(mask);
  const CoverageTable coverage(mask);
  cairo_surface_destroy(mask);
  cairo_t* clipped = cairo_create(surface);
  cairo_set_antialias(clipped, CAIRO_ANTIALIAS_NONE);
  cairo_set_fill_rule(clipped, CAIRO_FILL_RULE_EVEN_ODD);
  ClipPath(clipped, clip);
  cairo_clip(clipped);
  cairo_set_antialias(clipped, CAIRO_ANTIALIAS_DEFAULT);
  cairo_set_fill_rule(clipped, CAIRO_FILL_RULE_WINDING);
  const std::vector<POINT> polys = SmallPolygons();
  for (auto _ : state) {
    for (int i = 0; i < kPolygons; ++i) {
      const POINT* p = &polys[static_cast<std::size_t>(i) * 4];
      int x0 = p[0].x, y0 = p[0].y, x1 = p[0].x, y1 = p[0].y;
      for (int k = 1; k < 4; ++k) {
        x0 = std::min<int>(x0, p[k].x), y0 = std::min<int>(y0, p[k].y);
        x1 = std::max<int>(x1, p[k].x), y1 = std::max<int>(y1, p[k].y);
      }
      // Pixels the fill may touch, with a pixel of room for anti-aliasing.
      const long long inside = coverage.Count(x0 - 1, y0 - 1, x1 + 1, y1 + 1);
      if (inside == 0) continue;
      cairo_t* cr = inside == static_cast<long long>(x1 - x0 + 2) * (y1 - y0 + 2) ? free : clipped;
      cairo_move_to(cr, p[0].x, p[0].y);
      for (int k = 1; k < 4; ++k) cairo_line_to(cr, p[k].x, p[k].y);
      cairo_close_path(cr);
      cairo_set_source_rgb(cr, 30 / 255.0, 90 / 255.0, 200 / 255.0);
      cairo_fill(cr);
    }
    cairo_surface_flush(surface);
  }
  cairo_destroy(clipped);
  cairo_destroy(free);
  cairo_surface_destroy(surface);
  state.SetItemsProcessed(state.iterations() * kPolygons);
}

// A star of n/2 spikes about the page's centre: n integer points alternating
// between an outer and an inner circle, the spikes far thinner than a pixel.
std::vector<POINT> Star(int n) {
  std::vector<POINT> pts;
  pts.reserve(static_cast<std::size_t>(n));
  const double cx = kWidth / 2.0, cy = kHeight / 2.0, outer = 0.45 * kWidth, inner = 0.2 * kWidth;
  for (int i = 0; i < n; ++i) {
    const double a = 2 * std::numbers::pi * i / n, r = i % 2 ? inner : outer;
    pts.push_back(POINT{static_cast<LONG>(std::lround(cx + r * std::cos(a))),
                        static_cast<LONG>(std::lround(cy + r * std::sin(a)))});
  }
  return pts;
}

// One star through the device context's Polygon or Polyline.
void Dense(benchmark::State& state, BOOL (*draw)(HDC, const POINT*, int)) {
  Brushed dc;
  const std::vector<POINT> star = Star(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    draw(dc.hdc, star.data(), static_cast<int>(star.size()));
    dc.canvas->flush();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Polygon without an outline: the fill alone.
BOOL FilledPolygon(HDC hdc, const POINT* pts, int count) {
  HGDIOBJ old = SelectObject(hdc, GetStockObject(NULL_PEN));
  const BOOL ok = Polygon(hdc, pts, count);
  SelectObject(hdc, old);
  return ok;
}

// A comb of n points: n/4 teeth, each a narrow spike one pixel apart.
std::vector<POINT> Comb(int n) {
  std::vector<POINT> pts;
  const int teeth = std::max(1, n / 4);
  for (int i = 0; i < teeth; ++i) {
    const LONG x = 10 + 2 * i;
    pts.push_back(POINT{x, 3000});
    pts.push_back(POINT{x, 100 + (i * 37) % 500});
    pts.push_back(POINT{x + 1, 100 + (i * 37) % 500});
    pts.push_back(POINT{x + 1, 3000});
  }
  pts.push_back(POINT{10 + 2 * teeth, 3400});
  pts.push_back(POINT{10, 3400});
  return pts;
}

void CombRegion(benchmark::State& state) {
  const std::vector<POINT> comb = Comb(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    HRGN rgn = CreatePolygonRgn(comb.data(), static_cast<int>(comb.size()), ALTERNATE);
    benchmark::DoNotOptimize(rgn);
    DeleteObject(rgn);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(ThroughDc)->Unit(benchmark::kMillisecond);
BENCHMARK(RawCairo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Dense, Polygon, &Polygon)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Dense, Fill, &FilledPolygon)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Dense, Polyline, &Polyline)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(CombRegion)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatio(argc, argv, "ThroughDc", "RawCairo", "device context / raw cairo", 1.5);
}
