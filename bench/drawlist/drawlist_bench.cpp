// A metafile's drawing as a draw list. First the figures of each real
// metafile's list as its helper answers it (the demo's mark, the tests'
// metafiles, the WMF and EMF seeds of the fuzz corpora): records, points of
// its paths, bytes, pictures and their pixels, the most clips, groups and
// masks open at once, and the share of the cost budget (drawlistcost.h) it
// takes printed at its own size, beside the bounds of drawlist.h; then
//   Read/<metafile>    the time the library takes to read the list from the
//                      helper's buffer and check it (ReadDrawList);
//   Paint/<metafile>   the time it takes to paint the checked list into a
//                      cairo recording of the drawing's size, as a vector
//                      canvas paints each drawing once for each size;
//   Pages/<threads>    one metafile on every page (a 1,500-point zigzag,
//                      10 x 5 inches, drawn by the helper once and kept in
//                      the cache after), each page printed into a PDF file
//                      of its own, on 1, 2 and 4 threads at once; pages a
//                      second of them all, and the share of their time the
//                      threads ran.
// The ratio of pages a second on 4 threads to 1 thread is printed at the end.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/picture/picturefiles.h"
#include "bench/ratio_reporter.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/drawlistcost.h"
#include "platform/imaging/drawlistpaint.h"
#include "platform/imaging/drawlistread.h"
#include "platform/imaging/metafile.h"
#include "platform/imaging/metafilelimits.h"
#include "platform/imaging/metafilevectors.h"
#include "platform/imaging/protocol/answer.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/platform/imaging/costlydrawings.h"
#include "tests/platform/imaging/metafiles.h"
#include "tools/demo/pagedraw.h"
#include "tools/demo/samplelogo.h"

namespace {

namespace c = md::test::costly;
namespace dl = md::imaging::drawlist;
using md::bench::Bytes;
using md::imaging::DrawList;

// The list the helper answers of the metafile for a box of its own size
// (its pixels are of 300 dpi, the box's cells of 600 dpi); NULL (and why in
// *why) when it answers none.
std::shared_ptr<const DrawList> ListOf(const Bytes& metafile, std::string* why) {
  const md::imaging::DecodeResult r = md::imaging::Decode(metafile.data(), metafile.size());
  if (!r || r.bitmap->metafile == nullptr) {
    *why = r ? "not drawn as vectors" : r.error;
    return nullptr;
  }
  bool spent = false;
  const std::shared_ptr<const md::imaging::MetafileVectors> vectors = md::imaging::detail::ListMetafile(
      *r.bitmap, std::int64_t{r.bitmap->width} * 2, std::int64_t{r.bitmap->height} * 2, why, &spent);
  if (vectors == nullptr) return nullptr;
  const auto* drawing = dynamic_cast<const md::imaging::DrawListDrawing*>(vectors->Drawing().get());
  if (drawing == nullptr) {
    *why = vectors->Refusal();
    return nullptr;
  }
  return drawing->List();
}

// The real metafiles' lists, by name.
const std::vector<std::pair<std::string, std::shared_ptr<const DrawList>>>& RealLists() {
  static const auto lists = [] {
    std::string error;
    std::vector<std::pair<std::string, Bytes>> files = {
        {"the demo's mark", md::test::fuzz::ReadInput(md::demo::WriteSampleMark(&error))},
        {"the tests' WMF", md::test::metafiles::SampleWmf()},
        {"the tests' EMF", md::test::metafiles::SampleEmf()}};
    for (const char* target : {"imagewmf", "imageemf"})
      for (md::test::fuzz::Input& in : md::test::fuzz::AllInputs(target))
        if (in.file.find("refused-") == std::string::npos) files.emplace_back(in.file, in.bytes);
    // Files of other programs: the tests' corpus, and the large ones when
    // bench/metafile/outside/make-large.sh has written them.
    const std::filesystem::path outside =
        std::filesystem::path(MD_SOURCE_DIR) / "tests/platform/imaging/outside/files";
    const char* large = std::getenv("MAPDECK_BENCH_METAFILES");
    for (const std::filesystem::path& folder :
         {outside, large != nullptr ? std::filesystem::path(large)
                                    : std::filesystem::path(MD_BENCH_BUILD_DIR) / "bench-metafiles"}) {
      std::error_code error;
      std::vector<std::filesystem::path> found;
      for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        found.push_back(entry.path());
      std::sort(found.begin(), found.end());
      for (const std::filesystem::path& path : found) {
        std::ifstream in(path, std::ios::binary);
        files.emplace_back(path.filename().string(),
                           Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
      }
    }
    std::vector<std::pair<std::string, std::shared_ptr<const DrawList>>> out;
    for (const auto& [name, bytes] : files) {
      std::string why;
      std::shared_ptr<const DrawList> list = ListOf(bytes, &why);
      if (list == nullptr)
        std::printf("%-48s no list: %s\n", name.c_str(), why.c_str());
      else
        out.emplace_back(name, std::move(list));
    }
    return out;
  }();
  return lists;
}

// The list's length as its header gives it: the bytes the helper answered.
std::size_t ListBytes(const DrawList& list) {
  dl::Header header;
  std::memcpy(&header, list.Data(), sizeof header);
  return static_cast<std::size_t>(header.bytes);
}

struct Figures {
  std::uint64_t records = 0, points = 0, bytes = 0, pictures = 0, pixels = 0, depth = 0;
  double share = 0;  // of the cost budget, printed at the metafile's own size
};

Figures Measure(const DrawList& list) {
  Figures f;
  f.records = list.Records().size();
  f.bytes = ListBytes(list);
  f.pictures = list.Pictures().size();
  for (const DrawList::Picture& p : list.Pictures()) f.pixels += std::uint64_t{p.width} * p.height;
  std::uint64_t open = 0;
  for (const DrawList::Record& r : list.Records()) {
    const std::uint8_t* payload = list.Data() + r.at;
    std::size_t path = 0;  // where the record's path starts, when it has one
    switch (r.kind) {
      case dl::Kind::Fill:
        path = sizeof(dl::FillHead);
        break;
      case dl::Kind::PushClip:
        path = sizeof(dl::ClipHead);
        break;
      case dl::Kind::Stroke: {
        dl::StrokeHead head;
        std::memcpy(&head, payload, sizeof head);
        path = sizeof head + std::size_t{head.dashes} * sizeof(double);
        break;
      }
      default:
        break;
    }
    if (path > 0) {
      dl::PathHead head;
      std::memcpy(&head, payload + path, sizeof head);
      f.points += head.points;
    }
    if (r.kind == dl::Kind::PushClip || r.kind == dl::Kind::PushGroup || r.kind == dl::Kind::PushMask)
      f.depth = std::max(f.depth, ++open);
    if (r.kind == dl::Kind::PopClip || r.kind == dl::Kind::PopGroup) --open;
    if (r.kind == dl::Kind::PopMask) open -= 2;  // the mask and its group
  }
  f.share = md::imaging::CostOfList(list, list.Width(), list.Height(), 1).Share();
  return f;
}

void PrintRow(const std::string& name, const Figures& f) {
  std::printf("%-48s %8llu %10llu %12llu %8llu %10llu %6llu %8.4f\n", name.c_str(),
              static_cast<unsigned long long>(f.records), static_cast<unsigned long long>(f.points),
              static_cast<unsigned long long>(f.bytes), static_cast<unsigned long long>(f.pictures),
              static_cast<unsigned long long>(f.pixels), static_cast<unsigned long long>(f.depth), f.share);
}

void PrintFigures() {
  std::printf("%-48s %8s %10s %12s %8s %10s %6s %8s\n", "the metafile's draw list", "records", "points",
              "bytes", "pictures", "pixels", "depth", "share");
  Figures most;
  for (const auto& [name, list] : RealLists()) {
    const Figures f = Measure(*list);
    PrintRow(name, f);
    most = {std::max(most.records, f.records), std::max(most.points, f.points),
            std::max(most.bytes, f.bytes),     std::max(most.pictures, f.pictures),
            std::max(most.pixels, f.pixels),   std::max(most.depth, f.depth),
            std::max(most.share, f.share)};
  }
  PrintRow("most of a real metafile", most);
  for (const auto& [points, name] : {std::pair<int, const char*>{3000, "a 3,000-point zigzag"},
                                     {1500, "a 1,500-point zigzag (each page of Pages/*)"}}) {
    std::string why;
    const std::shared_ptr<const DrawList> zigzag = ListOf(c::ZigzagWmf(points), &why);
    if (zigzag != nullptr) PrintRow(name, Measure(*zigzag));
  }
  // Pictures are bounded by the bytes alone (the helper shrinks them to fit).
  std::printf("%-48s %8s %10s %12zu %8s %10s %6u %8d\n\n", "bound", "-", "-", dl::kMaxBytes, "-", "-",
              dl::kMaxDepth, 1);
}

void Read(benchmark::State& state, std::size_t index) {
  const DrawList& list = *RealLists()[index].second;
  const std::size_t bytes = ListBytes(list);
  for (auto _ : state) {
    std::string why;
    const std::shared_ptr<const DrawList> read = md::imaging::ReadDrawList(list.Data(), bytes, &why);
    if (read == nullptr) {
      state.SkipWithError(why.c_str());
      break;
    }
    benchmark::DoNotOptimize(read.get());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
  state.counters["records"] = static_cast<double>(list.Records().size());
}

void Paint(benchmark::State& state, std::size_t index) {
  const std::shared_ptr<const DrawList>& list = RealLists()[index].second;
  const cairo_rectangle_t extents{0, 0, list->Width(), list->Height()};
  for (auto _ : state) {
    cairo_surface_t* recording = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
    cairo_t* cr = cairo_create(recording);
    const bool painted = md::imaging::PaintDrawList(list, cr, list->Width(), list->Height(), 1.0);
    cairo_destroy(cr);
    cairo_surface_destroy(recording);
    if (!painted) {
      state.SkipWithError("the list could not be painted");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(list->Records().size()));
}

constexpr int kPagesEach = 40;

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
  // Each thread's page, the metafile over most of it, and its PDF file; one
  // print each first, so that the helper's drawing is kept and only the
  // painting and the files are timed.
  std::vector<std::unique_ptr<md::demo::Page>> pages;
  std::vector<std::string> files;
  std::string error;
  for (int t = 0; t < threads; ++t) {
    pages.push_back(std::make_unique<md::demo::Page>());
    files.push_back(md::bench::TempPath("pages-" + std::to_string(t) + ".pdf"));
    if (!md::bench::Add(*pages.back(), Zigzag(), 2350, 18850, 27350, 2350) ||
        !md::demo::PrintVector(*pages.back(), files.back(), nullptr, &error))
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
          md::demo::PrintVector(*pages[static_cast<std::size_t>(t)], files[static_cast<std::size_t>(t)],
                                nullptr, &why);
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
  for (const std::string& file : files) std::remove(file.c_str());
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
  // Each real list's name, without the folders of the fuzz seeds.
  using Run = void (*)(benchmark::State&, std::size_t);
  for (const auto& [kind, run] : {std::pair<std::string, Run>{"Read/", Read}, {"Paint/", Paint}})
    for (std::size_t k = 0; k < RealLists().size(); ++k) {
      std::string name = RealLists()[k].first;
      name = name.substr(name.find_last_of('/') + 1);
      std::replace(name.begin(), name.end(), ' ', '_');
      benchmark::RegisterBenchmark((kind + name).c_str(), run, k)->Unit(benchmark::kMicrosecond);
    }
  RatioReporter* reporter = nullptr;
  if (!RunBenchmarks(argc, argv, &reporter, "0.05")) return 1;
  if (g_pagesPerSecond[1] > 0 && g_pagesPerSecond[4] > 0)
    std::printf(
        "one metafile on every page, PDF pages a second on 4 threads / 1 thread = %.2f (target: at least 3; "
        "a processor-bound loop gets %.2f on this machine now)\n",
        g_pagesPerSecond[4] / g_pagesPerSecond[1], LoopScaling(4));
  return 0;
}
