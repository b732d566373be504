// Pages of many pictures, all real files in the temporary folder written once
// a run: importing N different 256 x 256 BMPs that differ only in their last
// bytes (Import/N, CPU a picture as N grows) or N different 5 MB PNGs of noise
// (ImportPng/N), the cache emptied before; a warm 300-dpi print of 300
// different 1 MB BMPs and the decodes it does (WarmPrint300); the resident
// memory once N 400 x 400 pictures, each drawn at 20, 15, 10 and 5 cm square,
// are printed twice at 300 dpi (Memory/N); and the memory and decodes a
// 300-dpi print of 20 elements showing N paths of one 5 MB PNG adds to an
// empty cache (SharedPaths/N).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/picture/picturefiles.h"
#include "bench/ratio_reporter.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/imaging/loader.h"
#include "tools/demo/pagedraw.h"

namespace {

using md::bench::Bytes;

// The first n files of a set, written the first time they are asked for and
// removed at the end of the run.
const std::vector<std::string>& Files(const std::string& name, int n, Bytes (*make)(int)) {
  static struct Sets : std::map<std::string, std::vector<std::string>> {
    ~Sets() {
      for (const auto& [name, paths] : *this)
        for (const std::string& p : paths) std::remove(p.c_str());
    }
  } sets;
  std::vector<std::string>& paths = sets[name];
  for (int i = static_cast<int>(paths.size()); i < n; ++i) {
    paths.push_back(md::bench::TempPath("memory-" + name + "-" + std::to_string(i)));
    if (!md::bench::WriteFile(paths.back(), make(i))) paths.back().clear();
  }
  return paths;
}

bool Print(md::demo::Page& page, benchmark::State& state) {
  std::string error;
  if (md::demo::PrintRaster(page, 300, nullptr, &error) != nullptr) return true;
  state.SkipWithError(("cannot print: " + error).c_str());
  return false;
}

// The resident memory in MB, once freed memory went back to the system.
double ResidentMb() {
  ::malloc_trim(0);
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1e6;
}

md::imaging::ImageCache& Cache() { return md::imaging::ImageCache::Shared(); }

Bytes Tile(int i) { return md::bench::TaggedBmp(256, 256, static_cast<std::uint32_t>(i)); }
Bytes Png(int i) { return md::bench::NoisePng(100 + i, 1600, 1100); }

void Import(benchmark::State& state, const char* set, Bytes (*make)(int)) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<std::string>& files = Files(set, n, make);
  for (auto _ : state) {
    state.PauseTiming();
    Cache().Clear();
    auto page = std::make_unique<md::demo::Page>();
    state.ResumeTiming();
    for (int i = 0; i < n; ++i)
      if (!md::bench::Add(*page, files[static_cast<std::size_t>(i)], 1000, 2000, 2000, 1000))
        return state.SkipWithError("cannot import a picture");
    state.PauseTiming();
    page.reset();
    state.ResumeTiming();
  }
}
BENCHMARK_CAPTURE(Import, tile, "tile", Tile)
    ->Name("Import")
    ->RangeMultiplier(10)
    ->Range(10, 1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Import, png, "png", Png)->Name("ImportPng")->Arg(20)->Unit(benchmark::kMillisecond);

void WarmPrint300(benchmark::State& state) {
  Cache().Clear();
  md::demo::Page page;
  const auto sheet = [](int i) { return md::bench::TaggedBmp(580, 580, static_cast<std::uint32_t>(i)); };
  if (!md::bench::Grid(page, Files("sheet", 300, sheet), 20, 15)) return state.SkipWithError("cannot import");
  if (!Print(page, state)) return;
  const std::size_t decodes = Cache().DecodeCount();
  for (auto _ : state)
    if (!Print(page, state)) return;
  state.counters["decodes"] = static_cast<double>(Cache().DecodeCount() - decodes) / state.iterations();
}
BENCHMARK(WarmPrint300)->Unit(benchmark::kMillisecond);

void Memory(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<std::string>& files =
      Files("sizes", 40, [](int i) { return md::bench::NoisePng(1000 + i, 400, 400); });
  for (auto _ : state) {
    Cache().Clear();
    md::demo::Page page;
    for (int i = 0; i < n; ++i)
      for (const int cm : {20, 15, 10, 5})
        if (!md::bench::Add(page, files[static_cast<std::size_t>(i)], 500, 500 + cm * 1000, 500 + cm * 1000,
                            500))
          return state.SkipWithError("cannot import a picture");
    if (!Print(page, state) || !Print(page, state)) return;
    state.counters["MB"] = ResidentMb();
  }
}
BENCHMARK(Memory)->Arg(5)->Arg(10)->Arg(20)->Arg(40)->Iterations(1)->Unit(benchmark::kMillisecond);

void SharedPaths(benchmark::State& state) {
  const std::size_t n = static_cast<std::size_t>(state.range(0));
  const std::vector<std::string>& files = Files("one", 20, [](int) {
    static const Bytes png = md::bench::NoisePng(1, 1600, 1100);
    return png;
  });
  for (auto _ : state) {
    md::demo::Page page;
    std::vector<std::string> shown;
    for (std::size_t i = 0; i < files.size(); ++i) shown.push_back(files[i % n]);
    // Printed once before, so that what a first print loads (fonts) is not
    // counted.
    if (!md::bench::Grid(page, shown, 5, 4) || !Print(page, state)) return;
    Cache().Clear();
    const double before = ResidentMb();
    const std::size_t decodes = Cache().DecodeCount();
    if (!Print(page, state)) return;
    state.counters["MB"] = ResidentMb() - before;
    state.counters["decodes"] = static_cast<double>(Cache().DecodeCount() - decodes);
  }
}
BENCHMARK(SharedPaths)->Arg(1)->Arg(20)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  RatioReporter* reporter = nullptr;
  if (!RunBenchmarks(argc, argv, &reporter, "0.05")) return 1;
  const double at10 = reporter->PerIteration("Import/10") / 10,
               at1000 = reporter->PerIteration("Import/1000") / 1000;
  if (at10 > 0 && at1000 > 0)
    std::printf("import a picture, 1,000 tiles / 10 tiles = %.2f (target: at most 1.50)\n", at1000 / at10);
  return 0;
}
