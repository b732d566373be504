// The memory metafile drawings hold. First a page of six WMFs, each one StretchDIB
// of a different 8000 x 8000 1-bit bitmap (8 MB) over 4 inches square, drawn
// by the real helper within the default limits, printed twice at 300 dpi with
// the picture cache at
// `capacity` MiB (LargeSix/<capacity>), the cache emptied before. Measured as the
// process sees it: the growth of its resident memory (VmRSS once freed memory
// went back to the system) and of its peak (VmHWM, reset before), beside what
// the cache counts (most after a print). The fixed amount is what the same
// page with six 100 x 100 bitmaps adds (the page's raster, the helper's
// runs); the resident growth is to stay within 1.25 x what the cache counts
// plus it, and the peak within that plus the one drawing being painted (a
// picture's memory limit), which the cache does not keep past its capacity.
// Then PdfPrints: five pages printed to PDF one after another at a capacity
// of 64 MiB, each one page-sized picture of a WMF of its own (a 4000 x 4000
// 1-bit StretchDIB under a 3,000-point zigzag polygon, slow to paint): the
// growth of resident memory from the first print to the fifth, which is to
// stay within 32 MB (nothing a print made outlives it but what the cache
// counts).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/picture/picturefiles.h"
#include "bench/procstatus.h"
#include "bench/ratio_reporter.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/imaging/loader.h"
#include "platform/imaging/metafilelimits.h"
#include "platform/imaging/picturecache.h"
#include "tests/platform/imaging/costlydrawings.h"
#include "tests/platform/imaging/metafiles.h"
#include "tools/demo/pagedraw.h"

namespace {

using md::bench::Bytes;

// A placeable WMF of `inches` square at 1000 units an inch: one StretchDIB
// (SRCCOPY) of a w x h 1-bit bitmap, white with a black frame, over all of
// it; under a black zigzag polygon of `points` vertices when there are any.
Bytes BitmapWmf(int w, int h, int inches, int points = 0) {
  namespace f = md::test::imagefiles;
  const std::size_t stride = (static_cast<std::size_t>(w) + 31) / 32 * 4;
  Bytes dib;
  for (std::uint32_t v :
       {40u, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h), 0x10001u, 0u, 0u, 0u, 0u, 0u, 0u,
        0x000000u, 0xFFFFFFu})  // 1 plane of 1 bit; the palette: black, white
    f::Put32(dib, v);
  const std::size_t pixels = dib.size();
  dib.resize(pixels + stride * static_cast<std::size_t>(h), 0xFF);
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = dib.data() + pixels + stride * static_cast<std::size_t>(y);
    if (y < 8 || y >= h - 8) std::fill(row, row + stride, 0);
    row[0] = row[(w - 1) / 8] = 0;
  }
  const auto units = static_cast<std::uint16_t>(inches * 1000);
  std::vector<std::uint16_t> record = {
      0x0020, 0x00CC, 0, static_cast<std::uint16_t>(h), static_cast<std::uint16_t>(w), 0, 0, units,
      units,  0,      0};
  for (std::size_t at = 0; at < dib.size(); at += 2)
    record.push_back(static_cast<std::uint16_t>(dib[at] | (at + 1 < dib.size() ? dib[at + 1] << 8 : 0)));
  std::vector<md::test::metafiles::WmfRecord> records = {
      {0x020B, {0, 0}}, {0x020C, {units, units}}, {0x0F43, record}};
  if (points > 0) {
    std::vector<std::uint16_t> polygon = {static_cast<std::uint16_t>(points)};
    for (const auto& [x, y] : md::test::costly::Zigzag(points, units, units))
      polygon.insert(polygon.end(), {static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)});
    records.insert(records.end(), {{0x02FC, {0, 0, 0, 0}}, {0x012D, {0}}, {0x0106, {1}}, {0x0324, polygon}});
  }
  return md::test::metafiles::Wmf(units, units, 1000, records, points > 0 ? 1 : 0);
}

using md::bench::StatusKb;

struct Memory {
  double rssMb = 0, peakMb = 0, countedMb = 0;
  bool overCapacity = false;
};

// `count` WMFs of side x side bitmaps (under a zigzag of `points`), each
// told apart by a row of its own, written once a run and removed at its end.
std::vector<std::string> Files(int side, int count = 6, int points = 0) {
  static struct Written : std::vector<std::string> {
    ~Written() {
      for (const std::string& p : *this) std::remove(p.c_str());
    }
  } written;
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) {
    Bytes wmf = BitmapWmf(side, side, points > 0 ? 7 : 4, points);
    // A few pixels of a row near the end, before the end-of-file record.
    wmf[wmf.size() - 8 - static_cast<std::size_t>(i) * static_cast<std::size_t>(side / 8)] = 0x0F;
    paths.push_back(md::bench::TempPath("bitmap-" + std::to_string(side) + "-" + std::to_string(points) +
                                        "-" + std::to_string(i) + ".wmf"));
    if (!md::bench::WriteFile(paths.back(), wmf)) paths.back().clear();
    written.push_back(paths.back());
  }
  return paths;
}

// What printing a page of the files twice adds, the cache emptied before.
Memory Printed(const std::vector<std::string>& files, benchmark::State& state) {
  md::imaging::ImageCache& cache = md::imaging::ImageCache::Shared();
  Memory m;
  md::demo::Page page;
  if (!md::bench::Grid(page, files, 3, 2)) {
    state.SkipWithError("cannot import the metafiles");
    return m;
  }
  cache.Clear();
  ::malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";  // VmHWM from here
  const double rss = StatusKb("VmRSS"), peak = StatusKb("VmHWM");
  std::string error;
  for (int print = 0; print < 2; ++print) {
    if (md::demo::PrintRaster(page, 300, nullptr, &error) == nullptr) state.SkipWithError(error.c_str());
    m.countedMb = std::max(m.countedMb, static_cast<double>(cache.BytesKept()) / 1e6);
    m.overCapacity = m.overCapacity || cache.BytesKept() > cache.Capacity();
  }
  m.peakMb = (StatusKb("VmHWM") - peak) / 1e3;
  ::malloc_trim(0);
  m.rssMb = (StatusKb("VmRSS") - rss) / 1e3;
  return m;
}

// The six 8000 x 8000 bitmaps' page at the default metafile limits, printed
// at 150 dpi twice, the cache emptied before at `capacity` MiB
// (LargeSixDefault/<capacity>): whether each print answers TRUE, the seconds
// of the first (within the page's budget) and of the warm one, and the
// growth of resident memory beside what the cache counts.
void LargeSixDefault(benchmark::State& state) {
  const std::size_t capacity = static_cast<std::size_t>(state.range(0)) << 20;
  static const std::vector<std::string> large = Files(8000);
  const std::size_t before = md::imaging::SetPictureCacheCapacity(capacity);
  const md::imaging::MetafileLimits limits = md::imaging::SetMetafileLimits({});
  md::imaging::ImageCache& cache = md::imaging::ImageCache::Shared();
  for (auto _ : state) {
    md::demo::Page page;
    if (!md::bench::Grid(page, large, 3, 2)) {
      state.SkipWithError("cannot import the metafiles");
      break;
    }
    cache.Clear();
    ::malloc_trim(0);
    const double rss = StatusKb("VmRSS");
    double seconds[2] = {0, 0};
    bool printed[2] = {false, false};
    std::string error[2];
    for (int print = 0; print < 2; ++print) {
      const auto start = std::chrono::steady_clock::now();
      printed[print] = md::demo::PrintRaster(page, 150, nullptr, &error[print]) != nullptr;
      seconds[print] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    ::malloc_trim(0);
    const double grown = (StatusKb("VmRSS") - rss) / 1e3,
                 counted = static_cast<double>(cache.BytesKept()) / 1e6;
    state.counters["first_s"] = seconds[0];
    state.counters["warm_s"] = seconds[1];
    state.counters["RSS_MB"] = grown;
    std::printf(
        "six 8000^2 bitmaps at 150 dpi, capacity %zu MiB, default limits (budget %.1f s): first print %s in "
        "%.2f s, warm print %s in %.2f s; the cache counts %.0f MB, VmRSS +%.0f MB%s%s\n",
        capacity >> 20, md::imaging::CurrentMetafileLimits().drawingMilliseconds / 1000.0,
        printed[0] ? "TRUE" : "FALSE", seconds[0], printed[1] ? "TRUE" : "FALSE", seconds[1], counted, grown,
        error[0].empty() ? "" : ("; " + error[0]).c_str(), error[1].empty() ? "" : ("; " + error[1]).c_str());
  }
  md::imaging::SetMetafileLimits(limits);
  md::imaging::SetPictureCacheCapacity(before);
}
BENCHMARK(LargeSixDefault)->Arg(512)->Arg(256)->Iterations(1)->Unit(benchmark::kMillisecond);

void LargeSix(benchmark::State& state) {
  const std::size_t capacity = static_cast<std::size_t>(state.range(0)) << 20;
  static const std::vector<std::string> small = Files(100), large = Files(8000);
  const std::size_t before = md::imaging::SetPictureCacheCapacity(capacity);
  for (auto _ : state) {
    Printed(small, state);  // what a first print loads (fonts, the helper's first run) is not counted
    const Memory fixed = Printed(small, state), m = Printed(large, state);
    state.counters["counted_MB"] = m.countedMb;
    state.counters["RSS_MB"] = m.rssMb;
    state.counters["HWM_MB"] = m.peakMb;
    state.counters["fixedRSS_MB"] = fixed.rssMb;
    state.counters["fixedHWM_MB"] = fixed.peakMb;
    // The peak also holds the drawing being painted, which the cache may not
    // keep: at most a picture's memory limit.
    const double bound = 1.25 * m.countedMb, painted = md::imaging::kDefaultMemoryLimit / 1e6;
    std::printf(
        "capacity %zu MiB: the cache counts %.0f MB (%s its capacity); VmRSS +%.0f MB, VmHWM +%.0f MB; "
        "fixed: VmRSS +%.0f MB, VmHWM +%.0f MB; 1.25 x counted + fixed: %.0f MB (RSS %s); with one "
        "drawing painted: %.0f MB (HWM %s)\n",
        capacity >> 20, m.countedMb, m.overCapacity ? "OVER" : "within", m.rssMb, m.peakMb, fixed.rssMb,
        fixed.peakMb, bound + fixed.rssMb, m.rssMb <= bound + fixed.rssMb ? "within" : "OVER",
        bound + painted + fixed.peakMb, m.peakMb <= bound + painted + fixed.peakMb ? "within" : "OVER");
  }
  md::imaging::SetPictureCacheCapacity(before);
}
BENCHMARK(LargeSix)->Arg(512)->Arg(256)->Iterations(1)->Unit(benchmark::kMillisecond);

// Five pages printed to PDF one after another, each its own slow WMF.
void PdfPrints(benchmark::State& state) {
  const std::size_t before = md::imaging::SetPictureCacheCapacity(std::size_t{64} << 20);
  static const std::vector<std::string> files = Files(4000, 5, 3000);
  const std::string pdf = md::bench::TempPath("pdfprints.pdf");
  for (auto _ : state) {
    md::imaging::ImageCache::Shared().Clear();
    std::vector<double> rss;
    for (const std::string& file : files) {
      md::demo::Page page;
      std::string error;
      if (!md::bench::Grid(page, {file}, 1, 1) || !md::demo::PrintVector(page, pdf, nullptr, &error))
        state.SkipWithError(("cannot print " + file + ": " + error).c_str());
      ::malloc_trim(0);
      rss.push_back(StatusKb("VmRSS") / 1e3);
    }
    state.counters["growth_MB"] = rss.back() - rss.front();
    std::printf("PDF prints, resident MB after each:");
    for (double mb : rss) std::printf(" %.0f", mb);
    std::printf("; growth from the first to the fifth %+.0f MB (%s 32 MB)\n", rss.back() - rss.front(),
                rss.back() - rss.front() <= 32 ? "within" : "OVER");
  }
  std::remove(pdf.c_str());
  md::imaging::SetPictureCacheCapacity(before);
}
BENCHMARK(PdfPrints)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  RatioReporter* reporter = nullptr;
  return RunBenchmarks(argc, argv, &reporter, "0.05") ? 0 : 1;
}
