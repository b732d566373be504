// mapdeck-demo: plays the host of a layout page. It builds a sample page
// through the element factory, stores every element and saves the feature
// set, prints the page to PNG and PDF while the file is loaded into a fresh
// feature set with a fresh factory and printed again, and fails unless both
// prints are the same and the printed page still stores the same bytes.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/igis_element.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "tools/demo/demooptions.h"
#include "tools/demo/mapsheet.h"
#include "tools/demo/pagedraw.h"
#include "tools/demo/samplelogo.h"
#include "tools/demo/samplepage.h"

namespace {

// The program's name in messages.
std::string g_name = "mapdeck-demo";
const char* g_program = g_name.c_str();

// One step of the run. When a step has taken more than a second, a line
// names it, and its time is added when it ends.
class Stage {
 public:
  explicit Stage(std::string what) : what_(std::move(what)), start_(std::chrono::steady_clock::now()) {
    watcher_ = std::thread([this] {
      std::unique_lock<std::mutex> lock(mutex_);
      if (!done_cv_.wait_for(lock, std::chrono::seconds(1), [this] { return done_; })) {
        std::printf("  %s ...", what_.c_str());
        std::fflush(stdout);
        announced_ = true;
      }
    });
  }
  // A stage left without End() was cut short by a failure.
  ~Stage() { Finish(false); }
  Stage(const Stage&) = delete;
  Stage& operator=(const Stage&) = delete;

  void End() { Finish(true); }

 private:
  void Finish(bool completed) {
    if (!watcher_.joinable()) return;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    done_cv_.notify_all();
    watcher_.join();
    if (announced_) {
      const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
      std::printf(completed ? " done (%.1f s)\n" : " failed after %.1f s\n", s);
      std::fflush(stdout);
    }
  }

  std::string what_;
  std::chrono::steady_clock::time_point start_;
  std::mutex mutex_;
  std::condition_variable done_cv_;
  bool done_ = false;
  bool announced_ = false;
  std::thread watcher_;
};

// Where the host log stood when the run began.
std::size_t g_logMark = 0;

// The host log records written during the run, most recent last (at most `limit`).
void PrintLog(FILE* out, std::size_t limit) {
  const std::vector<SGIS_LogRecord> records = GIS_GetLogPtr()->GetRecordsSince(g_logMark);
  if (records.empty()) return;
  std::fprintf(out, "host log, %zu record(s) during the run%s:\n", records.size(),
               records.size() > limit ? " (the latest shown)" : "");
  for (std::size_t i = records.size() > limit ? records.size() - limit : 0; i < records.size(); ++i) {
    const SGIS_LogRecord& r = records[i];
    std::fprintf(out, "  [%d] %s: %s\n", r.level, r.method.c_str(), r.text.c_str());
  }
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", g_program, message.c_str());
  PrintLog(stderr, 8);
  return 1;
}

// "GIS_TYPE_GRAPHIC_ELEMENT_TEXT" -> "text".
std::string KindName(const std::string& type) {
  const std::string prefix = "GIS_TYPE_GRAPHIC_ELEMENT_";
  std::string s = type.rfind(prefix, 0) == 0 ? type.substr(prefix.size()) : type;
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The whole of a file, or false.
bool ReadWhole(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

std::string KindSummary(md::demo::Page& page) {
  std::map<std::string, int> counts;
  for (IGIS_Element* e : page.elements()) ++counts[KindName(e->GetType())];
  std::string s;
  for (const auto& [kind, n] : counts) s += (s.empty() ? "" : ", ") + std::to_string(n) + " " + kind;
  return s;
}

// One page of the run: built, stored and saved, printed to PNG and PDF,
// loaded into a fresh feature set (showing the map layer, when there is
// one), printed again and compared pixel for pixel, and stored again to show
// that printing left it as it was. 0, or the exit status of a failure (with
// its message written).
struct PageRun {
  std::string stem;  // file names: <stem>.png, .pdf, .mdfs
  std::function<std::unique_ptr<md::demo::Page>(md::demo::BuildReport*)> build;
  IGIS_MapLayer* mapLayer = nullptr;
  // The paper the page is built on, in page units: the rasters of its prints
  // are made while it is built.
  int paperWidth = md::demo::kPageWidth;
  int paperHeight = md::demo::kPageHeight;
};

int RunPage(const PageRun& run, const md::demo::Options& options, const std::filesystem::path& folder,
            std::vector<std::string>* files) {
  namespace fs = std::filesystem;
  std::string error;
  const std::string pngPath = (folder / (run.stem + ".png")).string();
  const std::string pdfPath = (folder / (run.stem + ".pdf")).string();
  const std::string pagePath = (folder / (run.stem + ".mdfs")).string();
  const std::string reloadedPath = (folder / (run.stem + "-reloaded.png")).string();
  const std::string diffPath = (folder / (run.stem + "-difference.png")).string();
  // Files of an earlier failed run would mislead.
  std::error_code ignored;
  fs::remove(reloadedPath, ignored);
  fs::remove(diffPath, ignored);

  std::printf("%s:\n", run.stem.c_str());

  // Threads that paint a raster's paper or compare two rasters.
  const unsigned helpers = std::clamp(std::thread::hardware_concurrency() / 2, 1u, 4u);

  // The rasters of both prints: their memory is touched and painted white
  // on other threads while the page is built.
  const auto newPaper = [&options, helpers](int width, int height) {
    return std::async(std::launch::async, [&options, helpers, width, height] {
      return md::demo::NewPaperRaster(width / 100.0, height / 100.0, options.dpi, helpers);
    });
  };
  std::future<std::unique_ptr<md::canvas::CairoCanvas>> firstPaper =
      newPaper(run.paperWidth, run.paperHeight);
  std::future<std::unique_ptr<md::canvas::CairoCanvas>> secondPaper =
      newPaper(run.paperWidth, run.paperHeight);

  md::demo::BuildReport report;
  Stage build("building the page");
  std::unique_ptr<md::demo::Page> page = run.build(&report);
  build.End();
  if (page == nullptr) return Fail("cannot make the element factory or the page's feature set");
  for (const std::string& type : report.missingTypes)
    std::printf("  note: the element factory builds no %s element yet; the page leaves it out\n",
                KindName(type).c_str());
  if (page->elements().empty()) return Fail("the element factory built no element of the page");
  const std::size_t elementCount = page->elements().size();
  const int paperWidth = page->width(), paperHeight = page->height();
  const std::string kinds = KindSummary(*page);

  if (paperWidth != run.paperWidth || paperHeight != run.paperHeight) {
    firstPaper = newPaper(paperWidth, paperHeight);
    secondPaper = newPaper(paperWidth, paperHeight);
  }
  const std::string noRaster = "cannot make a raster of the page at " + std::to_string(options.dpi) + " dpi";

  // Stored before printing, so that the page read back prints beside the
  // first print; stored again once printed, below.
  Stage store("storing the elements and saving the feature set");
  std::string stored;
  if (!md::demo::SavePage(*page, pagePath, &error)) return Fail(error);
  if (!ReadWhole(pagePath, &stored)) return Fail("cannot read " + pagePath);
  store.End();

  // The PDF canvas keeps what the page draws; the file is written beside
  // the rest of the run, first as it takes longest. Drawn before any other
  // thread draws: the page's pictures are decoded on their first drawing,
  // in a forked child, which must not copy another thread's locks.
  Stage pdf("writing the PDF");
  std::unique_ptr<md::canvas::CairoCanvas> vector = md::demo::DrawVector(*page, pdfPath, nullptr, &error);
  if (vector == nullptr) return Fail(error);
  pdf.End();
  std::string pdfError;
  std::future<bool> pdfWriter = std::async(std::launch::async, [&vector, &pdfError, pdfPath] {
    return md::demo::FinishVector(*vector, pdfPath, &pdfError);
  });

  // The second page comes from the file alone, into a feature set of its
  // own: it is loaded and printed on another thread while this one prints
  // the first. Its error, when it fails. The file is saved again only once
  // it has been read.
  std::string secondError;
  std::unique_ptr<md::canvas::CairoCanvas> second;
  std::promise<void> fileRead;
  std::future<void> fileReadDone = fileRead.get_future();
  std::future<void> reprint = std::async(std::launch::async, [&] {
    std::unique_ptr<md::demo::Page> loaded = md::demo::LoadPage(pagePath, &secondError, run.mapLayer);
    fileRead.set_value();
    if (loaded == nullptr) return;
    loaded->SetPaper(paperWidth, paperHeight);
    if (loaded->elements().size() != elementCount) {
      secondError = "the file gave back " + std::to_string(loaded->elements().size()) +
                    " elements instead of " + std::to_string(elementCount);
      return;
    }
    second = secondPaper.get();
    if (second == nullptr) {
      secondError = noRaster;
      return;
    }
    if (!md::demo::PrintPage(*loaded, second.get(), options.dpi, nullptr, &secondError)) second.reset();
  });

  // The first print is kept to compare the second with, in place.
  Stage print("printing the page at " + std::to_string(options.dpi) + " dpi");
  const std::unique_ptr<md::canvas::CairoCanvas> first = firstPaper.get();
  if (first == nullptr) return Fail(noRaster);
  if (!md::demo::PrintPage(*page, first.get(), options.dpi, nullptr, &error)) return Fail(error);
  print.End();
  // The PNG is encoded beside the rest of the run: nothing else writes to
  // the first print, which is only read until the comparison. Waited for
  // before `first` goes (declared after it, so also on every early return).
  std::future<bool> pngWriter =
      std::async(std::launch::async, [canvas = first.get(), pngPath] { return canvas->writePng(pngPath); });

  // Stored again after printing: the file shows that a drawing leaves what
  // the elements store as it was.
  Stage restore("storing the printed page again");
  fileReadDone.wait();
  std::string restored;
  if (!md::demo::SavePage(*page, pagePath, &error)) return Fail(error);
  if (!ReadWhole(pagePath, &restored)) return Fail("cannot read " + pagePath);
  if (restored != stored)
    return Fail("the printed page stores other bytes than before it was printed: " + pagePath);
  restore.End();

  {
    Stage wait("loading the feature set into a fresh page and printing it");
    reprint.get();
    wait.End();
  }
  // The first page ends here: the loaded one printed, nothing shares its map.
  page.reset();
  Stage pdfFile("finishing the PDF");
  if (!pdfWriter.get()) return Fail(pdfError);
  pdfFile.End();
  if (second == nullptr) return Fail(secondError);
  if (!pngWriter.get()) return Fail("cannot write " + pngPath);
  if (!md::demo::SameRasters(*first, *second, helpers)) {
    const md::canvas::Difference d = md::canvas::Compare(*first, *second, 0);
    std::string detail = d.sameSize ? std::to_string(d.differing) + " pixels differ" : "the sizes differ";
    std::string written;
    if (second->writePng(reloadedPath)) written += "\n  " + reloadedPath;
    if (d.sameSize && md::canvas::WritePng(md::canvas::DifferenceImage(md::canvas::ReadRaster(*first),
                                                                       md::canvas::ReadRaster(*second), 0),
                                           diffPath, nullptr))
      written += "\n  " + diffPath + " (differing pixels in red)";
    return Fail("the page read back does not print like the page stored: " + detail + ". See:\n  " + pngPath +
                written);
  }

  std::error_code ec;
  const auto pageBytes = fs::file_size(pagePath, ec);
  std::printf("  %zu elements (%s)\n", elementCount, kinds.c_str());
  std::printf(
      "  stored, saved, loaded into a fresh feature set and printed again: the same, pixel for pixel\n");
  files->push_back(pngPath + "  (" + std::to_string(first->width()) + " x " +
                   std::to_string(first->height()) + " pixels, " + std::to_string(options.dpi) + " dpi)");
  files->push_back(pdfPath + "  (vector, " + std::to_string(paperWidth / 100) + " x " +
                   std::to_string(paperHeight / 100) + " mm)");
  files->push_back(pagePath + "  (the stored feature set, " +
                   std::to_string(ec ? 0 : static_cast<unsigned long long>(pageBytes)) + " bytes)");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 0 && argv[0] != nullptr && argv[0][0] != '\0') {
    g_name = std::filesystem::path(argv[0]).filename().string();
    g_program = g_name.c_str();
  }
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  md::demo::Options options;
  std::string error;
  if (!md::demo::ParseOptions(args, &options, &error)) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for the options.\n", g_program, error.c_str(), g_program);
    return 2;
  }
  if (options.help) {
    std::fputs(md::demo::Usage(g_program).c_str(), stdout);
    return 0;
  }
  if (!md::demo::PrepareOutputFolder(options.outputFolder, &error)) return Fail(error);

  namespace fs = std::filesystem;
  const fs::path folder = fs::absolute(options.outputFolder).lexically_normal();
  g_logMark = GIS_GetLogPtr()->GetRecordCount();
  GIS_SetSymbolTextEngine("freetype");
  std::printf("mapdeck demo: pages at %d dpi into %s\n", options.dpi, folder.c_str());

  // The pages' pictures and link name the files they come from: those go
  // beside the stored pages.
  md::demo::SetSampleFileFolder(folder.string());
  std::vector<std::string> files;
  if (md::demo::WantsPage(options, "sample-page")) {
    PageRun sample;
    sample.stem = "sample-page";
    sample.build = [](md::demo::BuildReport* report) { return md::demo::BuildSamplePage(report); };
    if (const int status = RunPage(sample, options, folder, &files)) return status;
  }

  if (md::demo::WantsPage(options, "map-sheet")) {
    // The document of the map sheet outlives the pages that show its map.
    md::demo::MapDocument doc(md::demo::SampleMapsFolder());
    if (!doc.ok()) return Fail("cannot load the sample sheet from " + md::demo::SampleMapsFolder());
    PageRun sheet;
    sheet.stem = "map-sheet";
    sheet.build = [&doc](md::demo::BuildReport* report) { return md::demo::BuildMapSheetPage(doc, report); };
    sheet.mapLayer = doc.LayoutLayer();
    sheet.paperWidth = md::demo::kSheetPaperWidth;
    sheet.paperHeight = md::demo::kSheetPaperHeight;
    if (const int status = RunPage(sheet, options, folder, &files)) return status;
  }

  for (const std::string& path : md::demo::SampleFilesKept())
    files.push_back(path + "  (a file the pages' pictures or link come from)");
  std::printf("Files written:\n");
  for (const std::string& f : files) std::printf("  %s\n", f.c_str());
  return 0;
}
