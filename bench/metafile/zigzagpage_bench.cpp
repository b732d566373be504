// A page of eight pictures of one metafile slow to paint (a 12 KB WMF of one
// self-intersecting 3,000-point polygon filled even-odd across 10 x 5
// inches), each 60.96 x 30.48 mm (720 x 360 pixels at whole pixels of the
// paper), printed at 300 dpi onto a raster of A4 landscape paper through
// the real helper program:
//   ZigzagPage/first  the picture cache emptied before the print: the helper
//                     draws the file, and its drawing is painted;
//   ZigzagPage/warm   printed again, everything the first print kept kept;
//   ZigzagPage/pdf    the page printed into a PDF file, its pictures as
//                     paths, the cache emptied first.
// Wall time (the helper is another process). Each print must answer TRUE
// within the page's metafile budget; the program prints the times and how
// long the budget is.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
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

struct ZigzagPicturePage {
  ZigzagPicturePage() {
    path = md::bench::TempPath("zigzag.wmf");
    if (!md::bench::WriteFile(path, ZigzagWmf())) return;
    // 254 page units are 30 pixels; the paper's top edge lies at 21000.
    ok = true;
    for (int i = 0; i < kPictures && ok; ++i) {
      const int left = 2286 + i % 4 * 6350, top = 18714 - i / 4 * 4064;
      ok = md::bench::Add(page, path, left, top, left + 6096, top - 3048);
    }
  }
  ~ZigzagPicturePage() { std::remove(path.c_str()); }
  md::demo::Page page;
  std::string path;
  bool ok = false;
};

ZigzagPicturePage& Page() {
  static ZigzagPicturePage page;
  return page;
}

// The seconds of the last print of each kind (first, warm, PDF), and the
// paints of the pictures' vectors in it.
double g_seconds[3] = {0, 0, 0};
std::size_t g_paints[3] = {0, 0, 0};

void ZigzagPage(benchmark::State& state, bool warm) {
  ZigzagPicturePage& p = Page();
  auto canvas = md::canvas::CairoCanvas::createPageImage(md::demo::kPageWidth / 100.0,
                                                         md::demo::kPageHeight / 100.0, kDpi);
  if (!p.ok || canvas == nullptr) {
    state.SkipWithError("no zigzag page");
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
    g_seconds[warm ? 1 : 0] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    g_paints[warm ? 1 : 0] = md::imaging::detail::VectorPaintCount() - paints;
  }
}

void ZigzagPdf(benchmark::State& state) {
  ZigzagPicturePage& p = Page();
  const std::string path = md::bench::TempPath("zigzag.pdf");
  std::string error;
  for (auto _ : state) {
    md::imaging::ImageCache::Shared().Clear();
    const auto start = std::chrono::steady_clock::now();
    const std::size_t paints = md::imaging::detail::VectorPaintCount();
    if (!p.ok || !md::demo::PrintVector(p.page, path, nullptr, &error)) {
      state.SkipWithError(p.ok ? error.c_str() : "no zigzag page");
      break;
    }
    g_seconds[2] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    g_paints[2] = md::imaging::detail::VectorPaintCount() - paints;
  }
  std::remove(path.c_str());
}

BENCHMARK_CAPTURE(ZigzagPage, first, false)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK_CAPTURE(ZigzagPage, warm, true)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(ZigzagPdf)->Name("ZigzagPage/pdf")->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const double budget = md::imaging::CurrentMetafileLimits().drawingMilliseconds / 1000.0;
  std::printf("zigzag page, page's metafile budget %.1f s:\n", budget);
  const char* kinds[] = {"first print at 300 dpi", "warm print at 300 dpi", "PDF"};
  for (int i = 0; i < 3; ++i)
    std::printf("  %-22s %6.2f s, %zu paints of the pictures' vectors\n", kinds[i], g_seconds[i],
                g_paints[i]);
  return 0;
}
