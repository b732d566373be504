// A metafile's drawing as vectors. First the figures of what each real
// metafile's SVG draws (the demo's mark, the tests' metafiles, the WMF and
// EMF seeds of the fuzz corpora), beside the bounds and the costly documents'
// figures; then
//   Refusal/<document>   the time a drawing of the document takes to say
//                        whether it is read (readable: 1 when it is, and
//                        then librsvg paints it for minutes);
//   Pages/<threads>      one metafile on every page (a 1,500-point zigzag,
//                        10 x 5 inches, painted by the helper at 300 dpi
//                        once and put from the cache after), pages printed on 1, 2 and 4 threads at
//                        once, each its own page; pages a second of them all,
//                        and the share of their time the threads ran.
// The ratio of pages a second on 4 threads to 1 thread is printed at the end.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bench/picture/picturefiles.h"
#include "bench/ratio_reporter.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/isolate.h"
#include "platform/imaging/metafilelimits.h"
#include "platform/imaging/svgdrawing.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/platform/imaging/costlydrawings.h"
#include "tests/platform/imaging/metafiles.h"
#include "tools/demo/pagedraw.h"
#include "tools/demo/samplelogo.h"

namespace {

namespace c = md::test::costly;
using md::bench::Bytes;

// The real metafiles, by name.
std::vector<std::pair<std::string, Bytes>> RealMetafiles() {
  std::string error;
  std::vector<std::pair<std::string, Bytes>> files = {
      {"the demo's mark", md::test::fuzz::ReadInput(md::demo::WriteSampleMark(&error))},
      {"the tests' WMF", md::test::metafiles::SampleWmf()},
      {"the tests' EMF", md::test::metafiles::SampleEmf()}};
  for (const char* target : {"imagewmf", "imageemf"})
    for (md::test::fuzz::Input& in : md::test::fuzz::AllInputs(target))
      if (in.file.find("refused-") == std::string::npos) files.emplace_back(in.file, in.bytes);
  return files;
}

void PrintFigures() {
  const auto row = [](const std::string& name, const md::imaging::SvgMeasure& m) {
    std::printf("%-48s %12llu %12llu %8llu %8llu %6llu %12llu %s\n", name.c_str(),
                static_cast<unsigned long long>(m.instances), static_cast<unsigned long long>(m.segments),
                static_cast<unsigned long long>(m.layers), static_cast<unsigned long long>(m.dashes),
                static_cast<unsigned long long>(m.depth), static_cast<unsigned long long>(m.picturePixels),
                m.refusal.c_str());
  };
  std::printf("%-48s %12s %12s %8s %8s %6s %12s\n", "what the SVG draws", "elements", "segments", "layers",
              "dashes", "depth", "pixels");
  md::imaging::SvgMeasure most;
  for (const auto& [name, bytes] : RealMetafiles()) {
    const md::imaging::DecodeResult r = md::imaging::Decode(bytes.data(), bytes.size());
    if (!r || r.bitmap->vectors == nullptr) {
      std::printf("%-48s not drawn as vectors: %s\n", name.c_str(), r.error.c_str());
      continue;
    }
    const md::imaging::SvgMeasure& m = r.bitmap->vectors->Measure();
    row(name, m);
    most.instances = std::max(most.instances, m.instances);
    most.segments = std::max(most.segments, m.segments);
    most.layers = std::max(most.layers, m.layers);
    most.depth = std::max(most.depth, m.depth);
    most.dashes = std::max(most.dashes, m.dashes);
    most.picturePixels = std::max(most.picturePixels, m.picturePixels);
  }
  row("most of a real metafile", most);
  row("bound", {md::imaging::kSvgMaxInstances, md::imaging::kSvgMaxSegments, md::imaging::kSvgMaxLayers,
                md::imaging::kSvgMaxDashes, md::imaging::kSvgMaxDepth,
                md::imaging::detail::kIsolatedExtraMemory / md::imaging::kSvgPictureBytesPerPixel, ""});
  const Bytes zigzag = c::ZigzagWmf(3000);
  const md::imaging::DecodeResult r = md::imaging::Decode(zigzag.data(), zigzag.size());
  if (r && r.bitmap->vectors != nullptr) row("a 3,000-point zigzag", r.bitmap->vectors->Measure());
  const Bytes everyPage = c::ZigzagWmf(1500);
  const md::imaging::DecodeResult page = md::imaging::Decode(everyPage.data(), everyPage.size());
  if (page && page.bitmap->vectors != nullptr)
    row("a 1,500-point zigzag (each page of Pages/*)", page.bitmap->vectors->Measure());
  row("5 levels of faded groups x 8 uses", md::imaging::MeasureSvg(c::NestedGroups(5, 8)));
  row("9 levels x 10 uses", md::imaging::MeasureSvg(c::NestedGroups(9, 10)));
  row("a path of 330,000 segments", md::imaging::MeasureSvg(c::LongPath(330000)));
  std::printf("\n");
}

void Refusal(benchmark::State& state, const std::string& svg) {
  bool readable = false;
  for (auto _ : state) {
    const md::imaging::SvgDrawing drawing(svg, 3000, 1500, md::imaging::kDefaultMemoryLimit);
    readable = drawing.Readable();
  }
  state.counters["readable"] = readable;
  state.counters["KB"] = static_cast<double>(svg.size()) / 1024;
}
BENCHMARK_CAPTURE(Refusal, nested_5x8, c::NestedGroups(5, 8))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Refusal, nested_9x10, c::NestedGroups(9, 10))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Refusal, path_330000, c::LongPath(330000))->Unit(benchmark::kMillisecond);

constexpr int kDpi = 300, kPagesEach = 4;

// The processor time the process has taken, all its threads.
double CpuSeconds() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}
std::map<int, double> g_pagesPerSecond;

// The metafile every page shows, written once a run.
const std::string& Zigzag() {
  static const struct File {
    File() : path(md::bench::TempPath("zigzag-1500.wmf")) {
      if (!md::bench::WriteFile(path, c::ZigzagWmf(1500))) path.clear();
    }
    ~File() { std::remove(path.c_str()); }
    std::string path;
  } file;
  return file.path;
}

void Pages(benchmark::State& state) {
  const int threads = static_cast<int>(state.range(0));
  // Each thread's page, the metafile over most of it; one print each first,
  // so that the helper's drawing is kept and only painting is timed.
  std::vector<std::unique_ptr<md::demo::Page>> pages;
  std::string error;
  for (int t = 0; t < threads; ++t) {
    pages.push_back(std::make_unique<md::demo::Page>());
    if (!md::bench::Add(*pages.back(), Zigzag(), 2350, 18850, 27350, 2350) ||
        md::demo::PrintRaster(*pages.back(), kDpi, nullptr, &error) == nullptr)
      return state.SkipWithError(("cannot print the page: " + error).c_str());
  }
  for (auto _ : state) {
    const double cpu = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::jthread> printers;
    for (int t = 0; t < threads; ++t)
      printers.emplace_back([&, t] {
        std::string why;
        for (int k = 0; k < kPagesEach; ++k)
          md::demo::PrintRaster(*pages[static_cast<std::size_t>(t)], kDpi, nullptr, &why);
      });
    printers.clear();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    g_pagesPerSecond[threads] = threads * kPagesEach / seconds;
    // The share of the threads' time they ran: below one, they waited (for
    // a lock, or for a processor on a busy machine).
    state.counters["busy"] = (CpuSeconds() - cpu) / (seconds * threads);
  }
  state.counters["pages/s"] = g_pagesPerSecond[threads];
}
BENCHMARK(Pages)->Arg(1)->Arg(2)->Arg(4)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// How much faster `threads` threads get through a processor-bound loop than
// one thread: what the machine has to give the pages now (one shared with
// other work gives less than the number of threads).
double LoopScaling(int threads) {
  const auto run = [](int n) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::jthread> loops;
    for (int t = 0; t < n; ++t)
      loops.emplace_back([] {
        volatile double x = 0;
        for (long i = 0; i < 200000000; ++i) x = x + 1e-9;
      });
    loops.clear();
    return n / std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  const double one = run(1);
  return run(threads) / one;
}

}  // namespace

int main(int argc, char** argv) {
  md::imaging::SetMetafileLimits({120000, 240000, ""});  // a busy machine draws the metafiles in time
  PrintFigures();
  RatioReporter* reporter = nullptr;
  if (!RunBenchmarks(argc, argv, &reporter, "0.05")) return 1;
  if (g_pagesPerSecond[1] > 0 && g_pagesPerSecond[4] > 0)
    std::printf(
        "one metafile on every page, pages a second on 4 threads / 1 thread = %.2f (target: at least 3; "
        "a processor-bound loop gets %.2f on this machine now)\n",
        g_pagesPerSecond[4] / g_pagesPerSecond[1], LoopScaling(4));
  return 0;
}
