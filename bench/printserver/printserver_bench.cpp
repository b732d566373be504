// A print server as a host builds one from the README's "Pages and threads":
// four worker threads take print jobs from one queue, and each job reads its
// page from the page's stored file into a fresh feature set
// (LoadPageFromFile), prints it with GIS_PrintPageToFile and ends it. There
// are 16 stored pages on A4 landscape, each a title text and three pictures
// of metafiles holding a 24-bit DIB, drawn through the real helper program:
// 12 distinct files, WMFs of one StretchDIB and EMFs of one
// EMR_STRETCHDIBITS, of bitmaps of different sizes and colours, shared
// between pages; every fourth page keeps its pictures' bytes in its own file,
// the others name files beside it. Consecutive jobs print different pages,
// so that the threads print different pages at once.
//
// Every job's file is compared with its page printed alone, on one thread,
// before the workers start: a PNG byte for byte, a PDF byte for byte but its
// creation date (the one thing two prints of a page differ in). A FALSE
// answer of the load or the print counts as a failure (its records are
// printed, the first few), a file that differs as a mismatch (the first of
// each page is kept for a look).
//   PrintServer/<pdf|png>       4 jobs a thread (the smoke run's case);
//   PrintServerLarge/<pdf|png>  --jobs=N jobs in all (100,000 PDF and
//                               10,000 PNG jobs unless given), only when asked.
// Each prints the jobs run, mismatches, failures, jobs a second (wall time,
// the workers only), the process's peak resident memory (VmHWM) and the
// pictures decoded meanwhile (a metafile decoded is a run of the helper).
// --capacity=MiB sets the picture cache's capacity (at 0 every job's
// pictures go through the helper again).
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "bench/procstatus.h"
#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_log.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/picture/igis_pictureelement.h"
#include "layout/graphicelement/print/gis_pageprint.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "platform/files/filestore.h"
#include "platform/imaging/loader.h"
#include "platform/imaging/picturecache.h"
#include "tests/platform/imaging/metafiles.h"

namespace {

namespace m = md::test::metafiles;
namespace fs = std::filesystem;

constexpr int kThreads = 4, kPages = 16, kMetafiles = 12, kPicturesAPage = 3;
constexpr int kPaperWidth = 29700, kPaperHeight = 21000;  // A4 landscape
constexpr int kPngDpi = 100;
long g_jobs = 0;  // --jobs=N: the large runs' jobs in all; 0 for their own default

// The colours of metafile `n`'s bitmap: a gradient across it, another down
// it, a tint of its own and a frame of one pixel.
m::Pattern Colours(int n, int w, int h) {
  return [n, w, h](int x, int y) -> std::uint32_t {
    if (x == 0 || y == 0 || x == w - 1 || y == h - 1) return 0x202020;
    const auto r = static_cast<std::uint32_t>(x * 255 / w), g = static_cast<std::uint32_t>(y * 255 / h),
               b = static_cast<std::uint32_t>(n * 21);
    return (r << 16) | (g << 8) | ((b + (x ^ y)) & 0xFF);
  };
}

// A 1-inch square EMF (100 units of its 100-dpi reference device) of one
// EMR_STRETCHDIBITS (SRCCOPY) of a w x h 24-bit bitmap over all of it.
m::Bytes DibEmf(int w, int h, const m::Pattern& p) {
  m::Bytes bits;
  m::PutDibRows(bits, w, h, 24, p);  // rows of four bytes each
  const auto uw = static_cast<std::uint32_t>(w), uh = static_cast<std::uint32_t>(h),
             size = static_cast<std::uint32_t>(bits.size());
  std::vector<std::uint32_t> record = {0,  0,          99,  99,            // bounds
                                       0,  0,          0,   0,    uw, uh,  // destination, source
                                       80, 40,         120, size,          // the header's and bits' places
                                       0,  0x00CC0020, 100, 100,  40, uw, uh, 0x180001u, 0, size, 0, 0, 0, 0};
  for (std::size_t at = 0; at < bits.size(); at += 4)
    record.push_back(bits[at] | bits[at + 1] << 8 | bits[at + 2] << 16 |
                     static_cast<std::uint32_t>(bits[at + 3]) << 24);
  return m::Emf(2540, 2540, {{81, record}}, 1);
}

// Metafile n: a WMF for even n, an EMF for odd, of a bitmap growing with n.
m::Bytes Metafile(int n) {
  const int w = 40 + 13 * n, h = 30 + 7 * n;
  return n % 2 == 0 ? m::DibWmf(w, h, Colours(n, w, h)) : DibEmf(w, h, Colours(n, w, h));
}

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The bytes two prints of a page are to share: a PDF's creation date left out.
std::string Comparable(std::string bytes) {
  const std::size_t at = bytes.find("/CreationDate (");
  if (at != std::string::npos) bytes.erase(at, bytes.find(')', at) + 1 - at);
  return bytes;
}

// The stored pages and their metafiles, written once into a folder of their
// own in the temporary folder, removed at exit.
struct StoredPages {
  StoredPages() {
    folder = std::string(GIS_GetTempDir()) + "/printserver-" + std::to_string(::getpid());
    std::error_code ec;
    fs::create_directories(folder, ec);
    std::vector<std::string> metafiles;
    for (int n = 0; n < kMetafiles; ++n) {
      metafiles.push_back(folder + "/picture" + std::to_string(n) + (n % 2 == 0 ? ".wmf" : ".emf"));
      const m::Bytes bytes = Metafile(n);
      std::string error;
      if (!md::files::WriteWholeFile(metafiles.back().c_str(), bytes.data(), bytes.size(), &error)) {
        problem = error;
        return;
      }
    }
    IGIS_ElementFactory* factory = GIS_CreateGraphicElementFactoryObject();
    for (int p = 0; p < kPages && problem.empty(); ++p) {
      paths.push_back(folder + "/page" + std::to_string(p) + ".mdfs");
      if (!Store(factory, p, metafiles)) problem = "cannot store " + paths.back();
    }
    factory->Release();
  }
  ~StoredPages() {
    std::error_code ec;
    if (keep)
      std::printf("the mismatching files are kept in %s\n", folder.c_str());
    else
      fs::remove_all(folder, ec);
  }

  // Page p: its title, and three of the metafiles in a row, each of its own
  // size; every fourth page keeps the pictures' bytes.
  bool Store(IGIS_ElementFactory* factory, int p, const std::vector<std::string>& metafiles) {
    IGIS_FeatureSet* page = GIS_CreateFeatureSetObject(nullptr, "layout", 0, 0, 0, 0, nullptr);
    std::vector<IGIS_Element*> made;
    auto* title =
        dynamic_cast<IGIS_TextElement*>(factory->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_TEXT, page, nullptr));
    bool ok = title != nullptr;
    if (ok) {
      made.push_back(title);
      title->SetText(("Print job page " + std::to_string(p)).c_str());
      title->SetPoint(SGIS_Point(2000, 19000), 0);
    }
    for (int k = 0; k < kPicturesAPage && ok; ++k) {
      auto* picture = dynamic_cast<IGIS_PictureElement*>(
          factory->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE, page, nullptr));
      ok = picture != nullptr;
      if (!ok) break;
      made.push_back(picture);
      const int left = 2000 + k * 9000, top = 17000 - (p + k) % 3 * 1500, side = 5000 + (p * 3 + k) % 5 * 700;
      picture->SetRect(SGIS_Rect(left, top, left + side, top - side * 3 / 4));
      ok = picture->ImportPictureFromFile(
          metafiles[static_cast<std::size_t>((p + 5 * k) % kMetafiles)].c_str());
      if (ok && p % 4 == 3) picture->ArchivePictureData(true);
    }
    ok = ok && page->SaveToFile(paths.back().c_str());
    for (IGIS_Element* e : made) e->Release();
    page->Release();
    return ok;
  }

  std::string folder, problem;
  std::vector<std::string> paths;
  bool keep = false;  // a mismatching file lies in the folder
};

StoredPages& Pages() {
  static StoredPages pages;
  return pages;
}

// What the jobs came to.
struct Tally {
  std::atomic<long> run{0}, mismatches{0}, failures{0};
  std::mutex mutex;
  std::vector<std::string> reasons;  // the first failures' records
  std::set<int> kept;                // the pages whose mismatching file was kept
};

// One job: page p read from its stored file and printed to `out` (its
// ending picks PDF or PNG), compared with `alone` unless that is NULL.
// Answers what the file holds, to compare; "" on a failure.
std::string Job(int p, const std::string& out, int dpi, const std::string* alone, Tally& tally) {
  StoredPages& pages = Pages();
  const std::size_t mark = GIS_GetLogPtr()->GetRecordCount();
  IGIS_FeatureSet* page = GIS_CreateFeatureSetObject(nullptr, "layout", 0, 0, 0, 0, nullptr);
  const bool ok = page->LoadPageFromFile(pages.paths[static_cast<std::size_t>(p)].c_str()) &&
                  GIS_PrintPageToFile(page, kPaperWidth, kPaperHeight, dpi, out.c_str());
  page->Release();
  tally.run.fetch_add(1, std::memory_order_relaxed);
  if (!ok) {
    tally.failures.fetch_add(1, std::memory_order_relaxed);
    std::string why = "page " + std::to_string(p) + ":";
    for (const SGIS_LogRecord& r : GIS_GetLogPtr()->GetThreadRecordsSince(mark))
      why += " [" + r.method + ": " + r.text + "]";
    const std::lock_guard<std::mutex> lock(tally.mutex);
    if (tally.reasons.size() < 5) tally.reasons.push_back(why);
    return std::string();
  }
  std::string bytes = Comparable(FileText(out));
  if (alone != nullptr && bytes != *alone) {
    tally.mismatches.fetch_add(1, std::memory_order_relaxed);
    const std::lock_guard<std::mutex> lock(tally.mutex);
    if (tally.kept.insert(p).second) {
      std::error_code ec;
      fs::copy_file(out,
                    pages.folder + "/mismatch-page" + std::to_string(p) + fs::path(out).extension().string(),
                    fs::copy_options::overwrite_existing, ec);
      pages.keep = true;
    }
  }
  return bytes;
}

// `jobs` jobs on the workers, page after page, after each page printed alone.
void Serve(benchmark::State& state, const char* ending, long jobs) {
  StoredPages& pages = Pages();
  if (!pages.problem.empty()) {
    state.SkipWithError(pages.problem.c_str());
    return;
  }
  const int dpi = std::strcmp(ending, ".pdf") == 0 ? GIS_PRINT_VECTOR_DPI : kPngDpi;
  for (auto _ : state) {
    Tally tally;
    std::vector<std::string> alone;
    for (int p = 0; p < kPages; ++p)
      alone.push_back(Job(p, pages.folder + "/alone" + ending, dpi, nullptr, tally));
    if (tally.failures > 0) {
      state.SkipWithError(("a page printed alone failed: " + tally.reasons.front()).c_str());
      return;
    }
    tally.run = 0;
    std::atomic<long> next{0};
    const std::size_t decodes = md::imaging::ImageCache::Shared().DecodeCount();
    const auto start = std::chrono::steady_clock::now();
    {
      std::vector<std::jthread> workers;
      for (int t = 0; t < kThreads; ++t)
        workers.emplace_back([&, t] {
          const std::string out = pages.folder + "/worker" + std::to_string(t) + ending;
          for (long j; (j = next.fetch_add(1)) < jobs;) {
            const int p = static_cast<int>(j % kPages);
            if (jobs >= 10000 && j % (jobs / 10) == 0) std::fprintf(stderr, "%ld jobs taken\n", j);
            Job(p, out, dpi, &alone[static_cast<std::size_t>(p)], tally);
          }
        });
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double peakMb = md::bench::StatusKb("VmHWM") / 1024;
    // A metafile decoded is a run of the helper.
    const std::size_t decoded = md::imaging::ImageCache::Shared().DecodeCount() - decodes;
    state.counters["jobs"] = static_cast<double>(tally.run);
    state.counters["mismatches"] = static_cast<double>(tally.mismatches);
    state.counters["failures"] = static_cast<double>(tally.failures);
    state.counters["jobs/s"] = static_cast<double>(tally.run) / seconds;
    state.counters["peak_MiB"] = peakMb;
    state.counters["decodes"] = static_cast<double>(decoded);
    std::printf(
        "%s on %d threads, picture cache %zu MiB: %ld jobs run, %ld mismatches, %ld failures (FALSE), %.1f "
        "s, "
        "%.1f jobs/s, peak RSS %.0f MiB, %zu pictures decoded\n",
        ending + 1, kThreads, md::imaging::PictureCacheCapacity() >> 20, tally.run.load(),
        tally.mismatches.load(), tally.failures.load(), seconds, static_cast<double>(tally.run) / seconds,
        peakMb, decoded);
    for (const std::string& why : tally.reasons) std::printf("  failed: %s\n", why.c_str());
    if (tally.mismatches > 0 || tally.failures > 0)
      state.SkipWithError("a job failed or differs from its page printed alone");
  }
}

// The jobs of a run: a few on each thread, or the large run's.
long Jobs(bool large, const char* ending) {
  if (!large) return 4 * kThreads;
  return g_jobs > 0 ? g_jobs : std::strcmp(ending, ".pdf") == 0 ? 100000 : 10000;
}

}  // namespace

int main(int argc, char** argv) {
  // --jobs=N and --capacity=MiB (the picture cache's, set before the
  // threads start) are this program's own; the rest are the benchmark
  // library's.
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strncmp(argv[i], "--jobs=", 7) == 0)
      g_jobs = std::atol(argv[i] + 7);
    else if (std::strncmp(argv[i], "--capacity=", 11) == 0)
      md::imaging::SetPictureCacheCapacity(static_cast<std::size_t>(std::atol(argv[i] + 11)) << 20);
    else
      args.push_back(argv[i]);
  }
  int n = static_cast<int>(args.size());
  for (const bool large : {false, true})
    for (const char* ending : {".pdf", ".png"}) {
      const std::string name = std::string(large ? "PrintServerLarge/" : "PrintServer/") + (ending + 1);
      benchmark::RegisterBenchmark(
          name.c_str(),
          [large, ending](benchmark::State& state) { Serve(state, ending, Jobs(large, ending)); })
          ->Iterations(1)
          ->Unit(benchmark::kSecond)
          ->UseRealTime();
    }
  benchmark::Initialize(&n, args.data());
  if (benchmark::ReportUnrecognizedArguments(n, args.data())) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
