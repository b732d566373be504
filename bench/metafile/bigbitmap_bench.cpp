// WMFs of one large bitmap (a StretchDIB of w x w pixels of 1 or 24 bits
// over 3 x 3 inches; an EMF's StretchDIBits where <emf> is 1) drawn through
// the real helper (built into bench_metafilepage, whose main is
// zigzagpage_bench.cpp's):
//   BigBitmapRun/<side>/<bits>/<dpi>/<pdf>/<emf>  one run of the helper for
//       one picture: painted into a box of 3 inches at <dpi> (pdf 0), or its
//       draw list for a box of 3 inches of 600-dpi cells (pdf 1); the
//       helper's processor time (its children's, by getrusage) per run;
//   BigBitmapPage/<pdf>  a page of six 8000 x 8000 1-bit files printed
//       at 150 dpi onto a raster (0) or into a PDF file (1), the cache
//       emptied first: whether the print answered TRUE, and the helper's
//       processor time of the whole print.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/picture/picturefiles.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/loader.h"
#include "platform/imaging/metafile.h"
#include "tests/platform/imaging/metafiles.h"
#include "tools/demo/pagedraw.h"
#include "tools/demo/samplepage.h"

namespace {

namespace m = md::test::metafiles;
constexpr double kInches = 3;

// Broad stripes (of 16 + `variant` a side) and a disc: few edges for a
// reduction to blur.
std::vector<std::uint8_t> BigBitmapWmf(int side, int bits, int variant = 0, bool emf = false) {
  const auto value = [side, bits, variant](int x, int y) -> std::uint32_t {
    const int dx = x - side / 2, dy = y - side / 2;
    const bool inside = 4LL * (dx * static_cast<long long>(dx) + dy * static_cast<long long>(dy)) <
                        static_cast<long long>(side) * side / 4;
    const bool on = inside != ((x / (side / (16 + variant) + 1)) % 2 == 0);
    if (bits == 1) return on ? 1 : 0;
    return on ? 0xFF000000u | static_cast<std::uint32_t>(x * 255 / side) << 16 | 0x40u
              : 0xFF000000u | static_cast<std::uint32_t>(y * 255 / side) << 8;
  };
  const m::Bytes dib = m::BigDib(side, side, bits, value);
  return emf ? m::BigDibEmf(dib, kInches) : m::BigDibWmf(dib, kInches);
}

double ChildSeconds() {
  rusage r{};
  ::getrusage(RUSAGE_CHILDREN, &r);
  return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
         static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

void BigBitmapRun(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0)), bits = static_cast<int>(state.range(1)),
            dpi = static_cast<int>(state.range(2));
  const bool pdf = state.range(3) != 0;
  const std::vector<std::uint8_t> bytes = BigBitmapWmf(side, bits, 0, state.range(4) != 0);
  const md::imaging::DecodeResult r = md::imaging::Decode(bytes.data(), bytes.size());
  if (!r) {
    state.SkipWithError(r.error.c_str());
    return;
  }
  const int box = static_cast<int>(kInches * dpi), cells = static_cast<int>(kInches * 600);
  double helper = 0;
  std::int64_t runs = 0;
  for (auto _ : state) {
    std::string why;
    bool spent = false;
    const double before = ChildSeconds();
    bool drawn = false;
    if (pdf) {
      drawn = md::imaging::detail::ListMetafile(*r.bitmap, cells, cells, &why, &spent) != nullptr;
    } else {
      md::imaging::detail::MetafileBox b;
      b.size = {box, box};
      b.window = {0, 0, box, box};
      drawn = md::imaging::detail::PaintMetafile(*r.bitmap, b, &why, &spent) != nullptr;
    }
    helper += ChildSeconds() - before;
    ++runs;
    if (!drawn) {
      state.SkipWithError(why.c_str());
      return;
    }
  }
  state.counters["helper_cpu_s"] = helper / static_cast<double>(runs);
}

void BigBitmapPage(benchmark::State& state) {
  const bool pdf = state.range(0) != 0;
  const std::string out = md::bench::TempPath("bigbitmap.pdf");
  std::vector<std::string> files;
  md::demo::Page page;
  bool ok = true;
  // Two rows of three 3-inch squares (7620 page units of 0.01 mm) on A4
  // landscape, the paper's top edge at 21000.
  for (int i = 0; i < 6 && ok; ++i) {
    const int left = 1000 + i % 3 * 9000, top = 20000 - i / 3 * 9000;
    files.push_back(md::bench::TempPath("bigbitmap" + std::to_string(i) + ".wmf"));
    ok = md::bench::WriteFile(files.back(), BigBitmapWmf(8000, 1, i)) &&
         md::bench::Add(page, files.back(), left, top, left + 7620, top - 7620);
  }
  auto canvas = md::canvas::CairoCanvas::createPageImage(md::demo::kPageWidth / 100.0,
                                                         md::demo::kPageHeight / 100.0, 150);
  double helper = 0, printed = 0;
  for (auto _ : state) {
    md::imaging::ImageCache::Shared().Clear();
    std::string error;
    const double before = ChildSeconds();
    const bool answered = ok && (pdf ? md::demo::PrintVector(page, out, nullptr, &error)
                                     : md::demo::PrintPage(page, canvas.get(), 150, nullptr, &error));
    helper = ChildSeconds() - before;
    printed = answered ? 1 : 0;
  }
  state.counters["printed_true"] = printed;
  state.counters["helper_cpu_s"] = helper;
  for (const std::string& file : files) std::remove(file.c_str());
  if (std::getenv("MD_BENCH_KEEP") == nullptr) std::remove(out.c_str());
}

BENCHMARK(BigBitmapRun)
    ->ArgsProduct({{4000, 8000}, {1}, {150, 300}, {0, 1}, {0}})
    ->ArgsProduct({{4000}, {24}, {150, 300}, {0, 1}, {0}})
    ->ArgsProduct({{8000}, {1}, {150}, {0, 1}, {1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();
BENCHMARK(BigBitmapPage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
