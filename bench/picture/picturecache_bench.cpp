// Pictures whose files hold the same bytes, and pictures drawn from files
// just written. The pictures are 5 MB PNGs (1600 x 1100 pixels of noise,
// which PNG cannot compress), all real files in the temporary folder.
//   Twenty/shared_warm     a 300-dpi print of 20 picture elements whose 20
//                          files hold one PNG, the cache kept from the print
//                          before;
//   Twenty/distinct_warm   the same with 20 different PNGs of the same size;
//   Twenty/..._cold        the same with the cache emptied before each print;
//   OneFile/fresh100ms     a 100-dpi print of one 5 MB PNG whose file was
//                          written less than 100 ms before;
//   OneFile/fresh2s        ... written between 120 ms and 1.8 s before;
//   OneFile/settled        ... written more than 2 s before.
// The fresh files are written again (same bytes, through a new file renamed
// over the old, as a page writes its kept pictures) whenever they are about
// to leave their span; each writing is followed by one untimed print, the
// page's own reading of its file. Waiting, writing and that print are
// outside the measured time, for every benchmark alike.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/picture/picturefiles.h"
#include "host/basilo/igis_globalproperties.h"
#include "layout/graphicelement/picture/igis_pictureelement.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/files/filestore.h"
#include "platform/imaging/loader.h"
#include "tools/demo/pagedraw.h"
#include "tools/demo/samplepage.h"

namespace {

using Clock = std::chrono::steady_clock;
using md::bench::Bytes;

constexpr int kWidth = 1600, kHeight = 1100;  // 5.28 MB of RGB
constexpr int kElements = 20;
// Past this a file's times are trusted on any file system.
constexpr auto kSettle = std::chrono::milliseconds(2100);

Bytes NoisePng(std::uint64_t seed) { return md::bench::NoisePng(seed, kWidth, kHeight); }

std::string TempPath(const std::string& name) { return md::bench::TempPath("cache-" + name + ".png"); }

bool Write(const std::string& path, const Bytes& bytes) { return md::bench::WriteFile(path, bytes); }

// A page whose picture elements draw the given files: one element filling
// most of the paper, or twenty in five columns and four rows.
struct PicturePage {
  explicit PicturePage(const std::vector<std::string>& files)
      : paths(files),
        ok(!files.empty() &&
           md::bench::Grid(page, files, files.size() == 1 ? 1 : 5, files.size() == 1 ? 1 : 4)) {}
  ~PicturePage() {
    for (const std::string& p : paths) std::remove(p.c_str());
  }
  std::vector<std::string> paths;
  md::demo::Page page;
  bool ok = false;
};

struct Pictures {
  Pictures() {
    const Bytes one = NoisePng(1);
    std::vector<std::string> shared, distinct;
    bool written = !one.empty();
    for (int i = 0; i < kElements && written; ++i) {
      shared.push_back(TempPath("shared" + std::to_string(i)));
      distinct.push_back(TempPath("distinct" + std::to_string(i)));
      written = Write(shared.back(), one) && Write(distinct.back(), NoisePng(100 + i));
    }
    const std::vector<std::string> names{TempPath("fresh100ms"), TempPath("fresh2s"), TempPath("settled")};
    for (const std::string& n : names) written = written && Write(n, one);
    bytes = one;
    std::this_thread::sleep_for(kSettle);
    if (!written) return;
    sharedPage = std::make_unique<PicturePage>(shared);
    distinctPage = std::make_unique<PicturePage>(distinct);
    for (const std::string& n : names) single.push_back(std::make_unique<PicturePage>(std::vector{n}));
  }
  Bytes bytes;
  std::unique_ptr<PicturePage> sharedPage, distinctPage;
  std::vector<std::unique_ptr<PicturePage>> single;  // fresh100ms, fresh2s, settled
};

Pictures& Files() {
  static Pictures pictures;
  return pictures;
}

std::unique_ptr<md::canvas::CairoCanvas> Raster(int dpi) {
  return md::canvas::CairoCanvas::createPageImage(md::demo::kPageWidth / 100.0, md::demo::kPageHeight / 100.0,
                                                  dpi);
}

bool Print(PicturePage& p, md::canvas::CairoCanvas* canvas, int dpi, benchmark::State& state) {
  std::string error;
  if (md::demo::PrintPage(p.page, canvas, dpi, nullptr, &error)) return true;
  state.SkipWithError(error.c_str());
  return false;
}

void Twenty(benchmark::State& state, bool shared, bool cold) {
  Pictures& f = Files();
  PicturePage* p = shared ? f.sharedPage.get() : f.distinctPage.get();
  constexpr int kDpi = 300;
  auto canvas = Raster(kDpi);
  if (p == nullptr || !p->ok || canvas == nullptr) {
    state.SkipWithError("no picture page");
    return;
  }
  md::imaging::ImageCache& cache = md::imaging::ImageCache::Shared();
  cache.Clear();
  if (!Print(*p, canvas.get(), kDpi, state)) return;
  for (auto _ : state) {
    state.PauseTiming();
    if (cold) cache.Clear();
    state.ResumeTiming();
    if (!Print(*p, canvas.get(), kDpi, state)) return;
  }
}

// Prints of one picture whose file is always between `from` and `to` old
// when a print starts (written again before it would be older).
void OneFile(benchmark::State& state, std::size_t which, Clock::duration from, Clock::duration to) {
  Pictures& f = Files();
  PicturePage* p = which < f.single.size() ? f.single[which].get() : nullptr;
  constexpr int kDpi = 100;
  auto canvas = Raster(kDpi);
  if (p == nullptr || !p->ok || canvas == nullptr) {
    state.SkipWithError("no picture page");
    return;
  }
  if (!Print(*p, canvas.get(), kDpi, state)) return;
  Clock::time_point written = Clock::now() - std::chrono::hours(1);  // the settled file's
  const bool fresh = to < kSettle;
  if (fresh) written = Clock::now() - to;  // written again before the first print
  for (auto _ : state) {
    state.PauseTiming();
    if (fresh && Clock::now() - written >= to) {
      if (!Write(p->paths.front(), f.bytes)) {
        state.SkipWithError("cannot write the picture");
        return;
      }
      written = Clock::now();
      if (!Print(*p, canvas.get(), kDpi, state)) return;
      std::this_thread::sleep_until(written + from);
    }
    state.ResumeTiming();
    if (!Print(*p, canvas.get(), kDpi, state)) return;
  }
}

using std::chrono::milliseconds;

BENCHMARK_CAPTURE(Twenty, shared_warm, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Twenty, distinct_warm, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Twenty, shared_cold, true, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Twenty, distinct_cold, false, true)->Unit(benchmark::kMillisecond);
// A print at the fresh file's edge may run past it by its own length: the
// spans end early enough that even a slow print (tens of ms) stays inside.
BENCHMARK_CAPTURE(OneFile, fresh100ms, 0, milliseconds(0), milliseconds(60))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OneFile, fresh2s, 1, milliseconds(120), milliseconds(1800))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OneFile, settled, 2, milliseconds(0), kSettle)->Unit(benchmark::kMillisecond);

}  // namespace
