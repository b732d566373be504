// Pages of eight pictures of one metafile costly to paint, each 60.96 x
// 30.48 mm (720 x 360 pixels at whole pixels of the paper), printed at 300
// dpi onto a raster of A4 landscape paper through the real helper program:
// the zigzag (a 12 KB WMF of one self-intersecting 3,000-point polygon
// filled even-odd across 10 x 5 inches) and the far curves (a 24 KB EMF of
// 1,000 cubic curves whose control points lie far outside the box):
//   <Page>/first  the picture cache emptied before the print: the helper
//                 draws the file, and its drawing is painted;
//   <Page>/warm   printed again, everything the first print kept kept;
//   ZigzagPage/pdf  the zigzag page printed into a PDF file, the cache emptied
//                 first: the pictures' draw list painted as paths once, the
//                 file holding that painting once for all eight;
//   ZigzagOne/pdf   the same page with one picture of the zigzag.
// Wall time (the helper is another process). Each print must answer TRUE
// within the page's metafile budget; the program prints the times, the warm
// print's share of the first, how long the budget is, and the PDF files'
// sizes, eight pictures' beside one's (about the same).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/picture/picturefiles.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/imaging/draw.h"
#include "platform/imaging/loader.h"
#include "platform/imaging/metafilelimits.h"
#include "tests/platform/imaging/metafiles.h"
#include "tools/demo/pagedraw.h"
#include "tools/demo/samplepage.h"

namespace {

constexpr int kDpi = 300;
constexpr int kPictures = 8;

// A metafile slow to paint: 10 x 5 inches at 1000 units per inch, one
// polygon of `points` points filled black with the even-odd rule, its edges
// running from the top to the bottom and back across the whole width, each
// crossing most of the others.
std::vector<std::uint8_t> ZigzagWmf(int points = 3000) {
  std::vector<std::uint16_t> polygon{static_cast<std::uint16_t>(points)};
  for (int i = 0; i < points; ++i) {
    polygon.push_back(static_cast<std::uint16_t>(i * 1237 % 10000));
    polygon.push_back(static_cast<std::uint16_t>(i % 2 == 0 ? 0 : 5000));
  }
  return md::test::metafiles::Wmf(10000, 5000, 1000,
                                  {{0x020B, {0, 0}},
                                   {0x020C, {5000, 10000}},
                                   {0x0106, {1}},           // even-odd filling
                                   {0x02FC, {0, 0, 0, 0}},  // 0: black brush
                                   {0x012D, {0}},
                                   {0x0324, polygon}},
                                  1);
}

// A 2 x 1 inch EMF of 2000 x 1000 units on a 100 dpi reference device:
// one black line 30 units wide through 1,000 cubic curves between points
// inside the box, each pulled up by two control points two boxes' widths
// above it and as far to either side (24 KB).
std::vector<std::uint8_t> FarCurvesEmf(int curves = 1000) {
  std::vector<std::uint32_t> bezier{0, 0, 200, 100, static_cast<std::uint32_t>(3 * curves + 1)};
  const auto point = [&](int x, int y) {
    bezier.push_back(static_cast<std::uint32_t>(x));
    bezier.push_back(static_cast<std::uint32_t>(y));
  };
  constexpr int kFar = 4000;
  point(0, 500);
  for (int i = 0; i < curves; ++i) {
    const int x = i * 1237 % 2000, far = i % 2 == 0 ? kFar : -kFar;
    point(x + far, -kFar);
    point(x - far, -kFar);
    point(x, i * 731 % 1000);
  }
  return md::test::metafiles::Emf(5080, 2540,
                                  {{17, {8}},               // anisotropic mapping
                                   {9, {2000, 1000}},       // window extent
                                   {11, {200, 100}},        // viewport extent
                                   {38, {1, 0, 30, 0, 0}},  // pen 1: black, 30 units wide
                                   {37, {1}},
                                   {2, bezier}},
                                  2);
}

struct MetafilePicturePage {
  MetafilePicturePage(const char* name, const std::vector<std::uint8_t>& bytes, int pictures = kPictures) {
    path = md::bench::TempPath(name);
    if (!md::bench::WriteFile(path, bytes)) return;
    // 254 page units are 30 pixels; the paper's top edge lies at 21000.
    ok = true;
    for (int i = 0; i < pictures && ok; ++i) {
      const int left = 2286 + i % 4 * 6350, top = 18714 - i / 4 * 4064;
      ok = md::bench::Add(page, path, left, top, left + 6096, top - 3048);
    }
  }
  ~MetafilePicturePage() { std::remove(path.c_str()); }
  md::demo::Page page;
  std::string path;
  bool ok = false;
};

MetafilePicturePage& Page(bool curves = false) {
  static MetafilePicturePage zigzag("zigzag.wmf", ZigzagWmf()), far("farcurves.emf", FarCurvesEmf());
  return curves ? far : zigzag;
}

MetafilePicturePage& OnePicturePage() {
  static MetafilePicturePage one("zigzag-one.wmf", ZigzagWmf(), 1);
  return one;
}

// The seconds of the last print of each kind (zigzag first, warm, PDF; far
// curves first, warm), and the paints of the pictures' vectors in it.
double g_seconds[5] = {0, 0, 0, 0, 0};
std::size_t g_paints[5] = {0, 0, 0, 0, 0};
// The PDF files' bytes: the zigzag page's, and its one picture's.
std::uintmax_t g_pdfBytes[2] = {0, 0};

void PrintTwice(benchmark::State& state, bool curves, bool warm) {
  MetafilePicturePage& p = Page(curves);
  const int kind = (curves ? 3 : 0) + (warm ? 1 : 0);
  auto canvas = md::canvas::CairoCanvas::createPageImage(md::demo::kPageWidth / 100.0,
                                                         md::demo::kPageHeight / 100.0, kDpi);
  if (!p.ok || canvas == nullptr) {
    state.SkipWithError("no page");
    return;
  }
  md::imaging::ImageCache& cache = md::imaging::ImageCache::Shared();
  std::string error;
  for (auto _ : state) {
    if (warm) {
      state.PauseTiming();
      cache.Clear();
      const bool first = md::demo::PrintPage(p.page, canvas.get(), kDpi, nullptr, &error);
      state.ResumeTiming();
      if (!first) {
        state.SkipWithError(error.c_str());
        return;
      }
    } else {
      cache.Clear();
    }
    const auto start = std::chrono::steady_clock::now();
    const std::size_t paints = md::imaging::detail::VectorPaintCount();
    if (!md::demo::PrintPage(p.page, canvas.get(), kDpi, nullptr, &error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    g_seconds[kind] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    g_paints[kind] = md::imaging::detail::VectorPaintCount() - paints;
  }
}

void ZigzagPdf(benchmark::State& state, bool one) {
  MetafilePicturePage& p = one ? OnePicturePage() : Page();
  const std::string path = md::bench::TempPath(one ? "zigzag-one.pdf" : "zigzag.pdf");
  std::string error;
  for (auto _ : state) {
    md::imaging::ImageCache::Shared().Clear();
    const auto start = std::chrono::steady_clock::now();
    const std::size_t paints = md::imaging::detail::VectorPaintCount();
    if (!p.ok || !md::demo::PrintVector(p.page, path, nullptr, &error)) {
      state.SkipWithError(p.ok ? error.c_str() : "no zigzag page");
      break;
    }
    if (!one) {
      g_seconds[2] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      g_paints[2] = md::imaging::detail::VectorPaintCount() - paints;
    }
    std::error_code failed;
    g_pdfBytes[one ? 1 : 0] = std::filesystem::file_size(path, failed);
    state.counters["KB"] = static_cast<double>(g_pdfBytes[one ? 1 : 0]) / 1000;
  }
  std::remove(path.c_str());
}

BENCHMARK_CAPTURE(PrintTwice, first, false, false)
    ->Name("ZigzagPage/first")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();
BENCHMARK_CAPTURE(PrintTwice, warm, false, true)
    ->Name("ZigzagPage/warm")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK_CAPTURE(PrintTwice, first, true, false)
    ->Name("FarCurvesPage/first")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();
BENCHMARK_CAPTURE(PrintTwice, warm, true, true)
    ->Name("FarCurvesPage/warm")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK_CAPTURE(ZigzagPdf, eight, false)
    ->Name("ZigzagPage/pdf")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(ZigzagPdf, one, true)
    ->Name("ZigzagOne/pdf")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const double budget = md::imaging::CurrentMetafileLimits().drawingMilliseconds / 1000.0;
  std::printf("page's metafile budget %.1f s:\n", budget);
  const char* kinds[] = {"zigzag, first print at 300 dpi", "zigzag, warm print at 300 dpi", "zigzag, PDF",
                         "far curves, first print at 300 dpi", "far curves, warm print at 300 dpi"};
  for (int i = 0; i < 5; ++i)
    std::printf("  %-36s %6.2f s, %zu paints of the pictures' vectors\n", kinds[i], g_seconds[i],
                g_paints[i]);
  if (g_pdfBytes[0] > 0 && g_pdfBytes[1] > 0)
    std::printf("  zigzag PDF files: eight pictures %.1f KB, one picture %.1f KB (%.2f times)\n",
                static_cast<double>(g_pdfBytes[0]) / 1000, static_cast<double>(g_pdfBytes[1]) / 1000,
                static_cast<double>(g_pdfBytes[0]) / static_cast<double>(g_pdfBytes[1]));
  for (const int first : {0, 3})
    if (g_seconds[first] > 0)
      std::printf("  %s: warm / first %.3f (at most 0.25)\n", first == 0 ? "zigzag" : "far curves",
                  g_seconds[first + 1] / g_seconds[first]);
  return 0;
}
