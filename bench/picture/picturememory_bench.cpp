// Pages of many pictures: what importing them costs a picture as their number
// grows, what a warm print of a page the cache holds costs, and the memory
// prints leave behind. All pictures are real files in the temporary folder,
// written once a run.
//   Import/N        N picture elements import N different BMPs of 256 x 256
//                   that differ only in their last bytes (uncompressed tiles
//                   of one size), the cache emptied before; CPU a picture.
//   ImportPng/N     the same with N different 5 MB PNGs of noise.
//   WarmPrint300    a 300-dpi print of 300 different 580 x 580 BMPs (1 MB
//                   files that agree on all but their last bytes), the cache
//                   kept from the print before; the decodes it does.
//   Memory/N        N different 400 x 400 pictures, each drawn at 20, 15, 10
//                   and 5 cm square at 300 dpi: the process's resident memory
//                   once the page is printed twice and its raster let go.
//   SharedPaths/N   20 picture elements in a 5 x 4 grid, printed at 300 dpi,
//                   showing N paths that hold one 5 MB PNG (N = 1: all show
//                   one path): the resident memory a print adds to an empty
//                   cache, and the decodes.
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
#include "layout/graphicelement/picture/igis_pictureelement.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/imaging/loader.h"
#include "tools/demo/pagedraw.h"
#include "tools/demo/samplepage.h"

namespace {

using md::bench::Bytes;

// The sets of files, written the first time they are asked for and removed
// at the end of the run.
struct Files {
  ~Files() {
    for (const auto& [name, paths] : sets)
      for (const std::string& p : paths) std::remove(p.c_str());
  }
  template <typename Make>
  const std::vector<std::string>& Set(const std::string& name, int n, Make make) {
    auto it = sets.find(name);
    if (it != sets.end()) return it->second;
    std::vector<std::string> paths;
    for (int i = 0; i < n; ++i) {
      paths.push_back(md::bench::TempPath("memory-" + name + "-" + std::to_string(i)));
      if (!md::bench::WriteFile(paths.back(), make(i))) paths.back().clear();
    }
    return sets.emplace(name, std::move(paths)).first->second;
  }
  std::map<std::string, std::vector<std::string>> sets;
};

Files& TheFiles() {
  static Files files;
  return files;
}

// A page of picture elements on A4 landscape.
struct PicturePage {
  bool Add(const std::string& file, int left, int top, int right, int bottom) {
    auto* picture = dynamic_cast<IGIS_PictureElement*>(page.Create(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE));
    if (picture == nullptr || file.empty()) return false;
    picture->SetRect(SGIS_Rect(left, top, right, bottom));
    return picture->ImportPictureFromFile(file.c_str()) != FALSE;
  }
  // The files in a grid of `columns` over most of the paper.
  bool Grid(const std::vector<std::string>& files, int columns, int rows) {
    const int cellW = 25000 / columns, cellH = 16700 / rows;
    for (std::size_t i = 0; i < files.size(); ++i) {
      const int left = 2350 + static_cast<int>(i % static_cast<std::size_t>(columns)) * cellW;
      const int top = 18850 - static_cast<int>(i / static_cast<std::size_t>(columns) % rows) * cellH;
      if (!Add(files[i], left, top, left + cellW - 100, top - cellH + 100)) return false;
    }
    return true;
  }
  md::demo::Page page;
};

bool Print(PicturePage& p, int dpi, benchmark::State& state) {
  std::string error;
  auto canvas = md::canvas::CairoCanvas::createPageImage(md::demo::kPageWidth / 100.0,
                                                         md::demo::kPageHeight / 100.0, dpi);
  if (canvas != nullptr && md::demo::PrintPage(p.page, canvas.get(), dpi, nullptr, &error)) return true;
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

void ImportAll(benchmark::State& state, const std::vector<std::string>& files) {
  for (auto _ : state) {
    state.PauseTiming();
    Cache().Clear();
    auto page = std::make_unique<PicturePage>();
    state.ResumeTiming();
    for (const std::string& file : files) {
      if (!page->Add(file, 1000, 2000, 2000, 1000)) {
        state.SkipWithError("cannot import a picture");
        return;
      }
    }
    state.PauseTiming();
    page.reset();
    state.ResumeTiming();
  }
}

void Import(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  ImportAll(state, TheFiles().Set("tile" + std::to_string(n), n, [](int i) {
    return md::bench::TaggedBmp(256, 256, static_cast<std::uint32_t>(i));
  }));
}
BENCHMARK(Import)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void ImportPng(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  ImportAll(state, TheFiles().Set("png", n, [](int i) { return md::bench::NoisePng(100 + i, 1600, 1100); }));
}
BENCHMARK(ImportPng)->Arg(20)->Unit(benchmark::kMillisecond);

void WarmPrint300(benchmark::State& state) {
  const std::vector<std::string>& files = TheFiles().Set(
      "sheet", 300, [](int i) { return md::bench::TaggedBmp(580, 580, static_cast<std::uint32_t>(i)); });
  Cache().Clear();
  PicturePage page;
  if (!page.Grid(files, 20, 15)) {
    state.SkipWithError("cannot import a picture");
    return;
  }
  constexpr int kDpi = 300;
  if (!Print(page, kDpi, state)) return;
  const std::size_t decodes = Cache().DecodeCount();
  std::int64_t prints = 0;
  for (auto _ : state) {
    if (!Print(page, kDpi, state)) return;
    ++prints;
  }
  state.counters["decodes"] =
      benchmark::Counter(static_cast<double>(Cache().DecodeCount() - decodes) / static_cast<double>(prints));
}
BENCHMARK(WarmPrint300)->Unit(benchmark::kMillisecond);

void Memory(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<std::string>& files =
      TheFiles().Set("sizes", 40, [](int i) { return md::bench::NoisePng(1000 + i, 400, 400); });
  for (auto _ : state) {
    Cache().Clear();
    PicturePage page;
    for (int i = 0; i < n; ++i) {
      for (const int cm : {20, 15, 10, 5}) {
        if (!page.Add(files[static_cast<std::size_t>(i)], 500, 500 + cm * 1000, 500 + cm * 1000, 500)) {
          state.SkipWithError("cannot import a picture");
          return;
        }
      }
    }
    if (!Print(page, 300, state) || !Print(page, 300, state)) return;
    state.counters["MB"] = ResidentMb();
  }
}
BENCHMARK(Memory)->Arg(5)->Arg(10)->Arg(20)->Arg(40)->Iterations(1)->Unit(benchmark::kMillisecond);

void SharedPaths(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const Bytes png = md::bench::NoisePng(1, 1600, 1100);
  const std::vector<std::string>& files = TheFiles().Set("one", 20, [&png](int) { return png; });
  for (auto _ : state) {
    PicturePage page;
    std::vector<std::string> shown;
    for (std::size_t i = 0; i < files.size(); ++i) shown.push_back(files[i % static_cast<std::size_t>(n)]);
    // Printed once before, so that what a first print loads (fonts) is not
    // counted.
    if (!page.Grid(shown, 5, 4) || !Print(page, 300, state)) return;
    Cache().Clear();
    const double before = ResidentMb();
    const std::size_t decodes = Cache().DecodeCount();
    if (!Print(page, 300, state)) return;
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
  // Memory figures are the benchmarks' MB column.
  return 0;
}
