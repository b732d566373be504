// Large metafiles written by other programs (outside/make-large.sh writes
// them into build/bench-metafiles, or MAPDECK_BENCH_METAFILES names the
// folder), each read through the real helper and printed into a 100 x 75
// mm box of a raster at 300 dpi: the wall time and the processor time of
// the helper processes (its children), the picture cache emptied first. A
// file that is missing, or that the helper refuses, says so and skips.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/canvas/cairo_canvas.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/draw.h"
#include "platform/imaging/loader.h"
#include "platform/imaging/metafilelimits.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace {

std::filesystem::path Folder() {
  if (const char* folder = std::getenv("MAPDECK_BENCH_METAFILES")) return folder;
  return std::filesystem::path(MD_BENCH_BUILD_DIR) / "bench-metafiles";
}

double ChildrenSeconds() {
  rusage u{};
  ::getrusage(RUSAGE_CHILDREN, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void ReadAndPrint(benchmark::State& state, const char* name) {
  const std::filesystem::path path = Folder() / name;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    state.SkipWithError((path.string() + " is missing: run bench/metafile/outside/make-large.sh").c_str());
    return;
  }
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  double helper = 0;
  for (auto _ : state) {
    md::imaging::ImageCache::Shared().Clear();
    md::imaging::ForgetRefusedMetafiles();
    const double before = ChildrenSeconds();
    const md::imaging::DecodeResult r = md::imaging::Decode(bytes.data(), bytes.size());
    if (!r) {
      state.SkipWithError(r.error.c_str());
      return;
    }
    auto canvas = md::canvas::CairoCanvas::createPageImage(100, 75, 300);
    HDC hdc = md::win::CreateScreenDC(canvas.get(), 300, &md::text::FixedMetricsEngine());
    md::imaging::DrawBitmap(hdc, *r.bitmap, 0, 0, canvas->width(), canvas->height());
    DeleteDC(hdc);
    helper += ChildrenSeconds() - before;
  }
  state.counters["helper_cpu_s"] = benchmark::Counter(helper, benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK_CAPTURE(ReadAndPrint, inkscape_bitmap, "inkscape-bitmap.emf")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();
BENCHMARK_CAPTURE(ReadAndPrint, libreoffice_bitmap, "libreoffice-bitmap.emf")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();
BENCHMARK_CAPTURE(ReadAndPrint, gnuplot_surface, "gnuplot-surface.emf")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();
BENCHMARK_CAPTURE(ReadAndPrint, pstoedit_many, "pstoedit-many.emf")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();
BENCHMARK_MAIN();
