// The processor time and memory metafile drawings take printed into PDF
// files. First a page of six WMFs, each one StretchDIB of a different 8000 x
// 8000 1-bit bitmap (8 MB) over 4 inches square, drawn by the real helper
// within the default limits: each drawing's picture holds more pixels than a
// list answered with the drawing's own pixels may, so its list is asked for
// at each box it is printed into, its picture at the box's resolution, and
// kept in the picture cache. The page, A4 landscape at 150 dpi, is printed
// into a PDF file three times, the cache emptied before and at `capacity`
// MiB (LargeSix/<capacity>; 512 is the default): the first print decodes the
// metafiles and asks for their lists while the page's budget for metafiles
// lasts, the second asks for those the first drew from pixels, the third is
// warm (everything kept). Measured as the process sees it: the host's own
// processor time (getrusage RUSAGE_SELF) of each print, the warm one's to be
// at most 1 s, beside the helper's runs (RUSAGE_CHILDREN) and the wall
// clock; the growth of its peak resident memory (VmHWM, reset before) and of its
// resident memory once freed memory went back to the system (VmRSS), beside
// what the cache counts (most after a print) and what the README says a PDF
// print holds besides (every picture as printed, 4 bytes a pixel, until the
// file is finished, as much again while it is written, and the picture being
// drawn, decoded, with its file's bytes). The fixed amount is what the same
// page with six 100 x 100 bitmaps adds (fonts, the file, the helper's runs);
// the peak is to stay within the capacity plus what a PDF print holds, plus
// that fixed amount.
// Then PdfPrints: five pages printed to PDF one after another at a capacity
// of 64 MiB, each one page-sized picture of a WMF of its own (a 4000 x 4000
// 1-bit StretchDIB under a 3,000-point zigzag polygon, its list asked for at
// the box): the growth of resident memory from the first print to the fifth
// beside the growth of what the cache counts; what grows beyond the cache's
// count is to stay within 32 MB (nothing a print made outlives it but what
// the cache counts).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/picture/picturefiles.h"
#include "bench/procstatus.h"
#include "bench/ratio_reporter.h"
#include "host/basilo/igis_log.h"
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

// The processor time this process has taken, all its threads (RUSAGE_SELF;
// the helper's runs are processes of their own), or the helper's runs that
// ended (RUSAGE_CHILDREN: each run's warden and the helper it waited for).
double CpuSeconds(int who = RUSAGE_SELF) {
  rusage u{};
  ::getrusage(who, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

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

constexpr int kDpi = 150, kColumns = 3, kRows = 2;
constexpr int kInches = 4;  // each WMF's side

// The page printed into a PDF file at `dpi`, finished.
bool PrintPdf(md::demo::Page& page, const std::string& path, std::string* error) {
  const auto canvas =
      md::canvas::CairoCanvas::createPdf(path, page.width() / 100.0, page.height() / 100.0, kDpi);
  if (canvas == nullptr) {
    *error = "cannot write " + path;
    return false;
  }
  if (!md::demo::PrintPage(page, canvas.get(), kDpi, nullptr, error)) return false;
  if (canvas->finish()) return true;
  *error = "writing " + path + " failed";
  return false;
}

// Three prints of a page of the files to PDF, the cache emptied before: each
// one's host processor time, its helpers' and its wall time, and the memory
// they took.
constexpr int kPrints = 3;
struct Prints {
  bool printed[kPrints] = {};
  double cpu[kPrints] = {}, helpers[kPrints] = {}, wall[kPrints] = {};
  double rssMb = 0, peakMb = 0, countedMb = 0;
  bool overCapacity = false;
  std::string error;
};

Prints Printed(const std::vector<std::string>& files, benchmark::State& state) {
  md::imaging::ImageCache& cache = md::imaging::ImageCache::Shared();
  Prints m;
  md::demo::Page page;
  if (!md::bench::Grid(page, files, kColumns, kRows)) {
    state.SkipWithError("cannot import the metafiles");
    return m;
  }
  const std::string pdf = md::bench::TempPath("largesix.pdf");
  cache.Clear();
  ::malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";  // VmHWM from here
  const double rss = StatusKb("VmRSS"), peak = StatusKb("VmHWM");
  for (int print = 0; print < kPrints; ++print) {
    const std::size_t logged = GIS_GetLogPtr()->GetRecordCount();
    const double cpu = CpuSeconds(), helpers = CpuSeconds(RUSAGE_CHILDREN);
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    m.printed[print] = PrintPdf(page, pdf, &error);
    m.wall[print] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.cpu[print] = CpuSeconds() - cpu;
    m.helpers[print] = CpuSeconds(RUSAGE_CHILDREN) - helpers;
    // What the log says of a print that failed: its first record.
    const std::vector<SGIS_LogRecord> records = GIS_GetLogPtr()->GetRecordsSince(logged);
    if (!m.printed[print] && !records.empty())
      m.error += "print " + std::to_string(print + 1) + ": " + records.front().text + "; ";
    m.countedMb = std::max(m.countedMb, static_cast<double>(cache.BytesKept()) / 1e6);
    m.overCapacity = m.overCapacity || cache.BytesKept() > cache.Capacity();
  }
  m.peakMb = (StatusKb("VmHWM") - peak) / 1e3;
  ::malloc_trim(0);
  m.rssMb = (StatusKb("VmRSS") - rss) / 1e3;
  std::remove(pdf.c_str());
  return m;
}

// What the README says a PDF print of the page holds besides the cache, in
// MB: every picture as printed (4 bytes a pixel at kDpi) until the file is
// finished and as much again while it is written, and the picture being
// drawn, decoded (its 300-dpi pixels), with its file's bytes.
double PdfPrintHoldsMb(std::size_t fileBytes) {
  const double cellW = (25000.0 / kColumns - 100) / 2540 * kDpi,
               cellH = (16700.0 / kRows - 100) / 2540 * kDpi;
  const double printed = kColumns * kRows * cellW * cellH * 4;
  const double decoded = 4.0 * (kInches * 300) * (kInches * 300) + static_cast<double>(fileBytes);
  return (2 * printed + decoded) / 1e6;
}

void LargeSix(benchmark::State& state) {
  const std::size_t capacity = static_cast<std::size_t>(state.range(0)) << 20;
  static const std::vector<std::string> small = Files(100), large = Files(8000);
  const std::size_t before = md::imaging::SetPictureCacheCapacity(capacity);
  const md::imaging::MetafileLimits limits = md::imaging::SetMetafileLimits({});
  for (auto _ : state) {
    Printed(small, state);  // what a first print loads (fonts, the helper's first run) is not counted
    const Prints fixed = Printed(small, state), m = Printed(large, state);
    const double held = PdfPrintHoldsMb(static_cast<std::size_t>(8000 / 8) * 8000);
    const double bound = static_cast<double>(capacity) / 1e6 + held + fixed.peakMb;
    state.counters["first_cpu_s"] = m.cpu[0];
    state.counters["warm_cpu_s"] = m.cpu[2];
    state.counters["counted_MB"] = m.countedMb;
    state.counters["RSS_MB"] = m.rssMb;
    state.counters["HWM_MB"] = m.peakMb;
    state.counters["fixedHWM_MB"] = fixed.peakMb;
    std::printf("capacity %zu MiB, default limits (budget %.1f s):\n", capacity >> 20,
                md::imaging::CurrentMetafileLimits().drawingMilliseconds / 1000.0);
    const char* names[kPrints] = {"first", "second", "warm"};
    for (int print = 0; print < kPrints; ++print)
      std::printf("  %-6s print %-5s host CPU %.2f s%s, helpers %.2f s, wall %.2f s\n", names[print],
                  m.printed[print] ? "TRUE," : "FALSE,", m.cpu[print],
                  print == kPrints - 1 ? (m.cpu[print] <= 1 ? " (within 1 s)" : " (OVER 1 s)") : "",
                  m.helpers[print], m.wall[print]);
    if (!m.error.empty()) std::printf("  the log: %s\n", m.error.c_str());
    std::printf(
        "  the cache counts %.0f MB (%s its capacity); VmRSS +%.0f MB, VmHWM +%.0f MB; fixed: VmRSS +%.0f "
        "MB, "
        "VmHWM +%.0f MB; a PDF print holds %.0f MB; capacity + that + fixed = %.0f MB (HWM %s), counted + "
        "that + fixed = %.0f MB (HWM %s)\n",
        m.countedMb, m.overCapacity ? "OVER" : "within", m.rssMb, m.peakMb, fixed.rssMb, fixed.peakMb, held,
        bound, m.peakMb <= bound ? "within" : "OVER", m.countedMb + held + fixed.peakMb,
        m.peakMb <= m.countedMb + held + fixed.peakMb ? "within" : "OVER");
  }
  md::imaging::SetMetafileLimits(limits);
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
    std::vector<double> rss, counted;
    for (const std::string& file : files) {
      md::demo::Page page;
      std::string error;
      if (!md::bench::Grid(page, {file}, 1, 1) || !md::demo::PrintVector(page, pdf, nullptr, &error))
        state.SkipWithError(("cannot print " + file + ": " + error).c_str());
      ::malloc_trim(0);
      rss.push_back(StatusKb("VmRSS") / 1e3);
      counted.push_back(static_cast<double>(md::imaging::ImageCache::Shared().BytesKept()) / 1e6);
    }
    state.counters["growth_MB"] = rss.back() - rss.front();
    state.counters["cacheGrowth_MB"] = counted.back() - counted.front();
    std::printf("PDF prints, resident MB after each (the cache counts):");
    for (std::size_t k = 0; k < rss.size(); ++k) std::printf(" %.0f (%.0f)", rss[k], counted[k]);
    const double grown = rss.back() - rss.front(), beyond = grown - (counted.back() - counted.front());
    std::printf("; growth from the first to the fifth %+.0f MB, %+.0f MB beyond the cache's (%s 32 MB)\n",
                grown, beyond, beyond <= 32 ? "within" : "OVER");
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
