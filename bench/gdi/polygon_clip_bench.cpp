// Fills 10,000 small polygons under a polygon clip into a 300-dpi A4 raster,
// once through a device context (GDI stand-in on the cairo canvas) and once
// straight through cairo, and reports the ratio of the two.
//
// The default run is short (a few iterations of each); pass the usual
// --benchmark_* options for more.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>
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
    const double a = i * 2 * 3.14159265358979323846 / 96;
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

void ThroughDc(benchmark::State& state) {
  auto canvas = md::canvas::CairoCanvas::createImage(kWidth, kHeight);
  HDC hdc = md::win::CreateScreenDC(canvas.get(), 300, &md::text::FixedMetricsEngine());
  const std::vector<POINT> clip = ClipPolygon();
  HRGN rgn = CreatePolygonRgn(clip.data(), static_cast<int>(clip.size()), ALTERNATE);
  SelectClipRgn(hdc, rgn);
  DeleteObject(rgn);
  HBRUSH brush = CreateSolidBrush(RGB(30, 90, 200));
  HGDIOBJ oldBrush = SelectObject(hdc, brush);
  HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
  const std::vector<POINT> polys = SmallPolygons();
  for (auto _ : state) {
    for (int i = 0; i < kPolygons; ++i) Polygon(hdc, &polys[static_cast<std::size_t>(i) * 4], 4);
    canvas->flush();
  }
  SelectObject(hdc, oldPen);
  SelectObject(hdc, oldBrush);
  DeleteObject(brush);
  DeleteDC(hdc);
  state.SetItemsProcessed(state.iterations() * kPolygons);
}

void RawCairo(benchmark::State& state) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  // The clip as the device context has it: whole pixels inside the polygon.
  const std::vector<POINT> clip = ClipPolygon();
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_move_to(cr, clip[0].x, clip[0].y);
  for (const POINT& p : clip) cairo_line_to(cr, p.x, p.y);
  cairo_close_path(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_clip(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
  const std::vector<POINT> polys = SmallPolygons();
  for (auto _ : state) {
    for (int i = 0; i < kPolygons; ++i) {
      const POINT* p = &polys[static_cast<std::size_t>(i) * 4];
      cairo_move_to(cr, p[0].x, p[0].y);
      for (int k = 1; k < 4; ++k) cairo_line_to(cr, p[k].x, p[k].y);
      cairo_close_path(cr);
      cairo_set_source_rgb(cr, 30 / 255.0, 90 / 255.0, 200 / 255.0);
      cairo_fill(cr);
    }
    cairo_surface_flush(surface);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  state.SetItemsProcessed(state.iterations() * kPolygons);
}

BENCHMARK(ThroughDc)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(RawCairo)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatio(argc, argv, "ThroughDc", "RawCairo", "device context / raw cairo", 1.5);
}
