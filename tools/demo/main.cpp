// mapdeck-demo: plays the host of a layout page. It builds a sample page
// through the element factory, stores every element and saves the feature
// set, prints the page to PNG and PDF while the file is loaded into a fresh
// feature set with a fresh factory and printed again, and fails unless both
// prints are the same, the printed page still stores the same bytes and
// every picture, object and link of the page was made and drawn as meant.
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
#include "platform/canvas/banding.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/pngencode.h"
#include "platform/canvas/pngwrite.h"
#include "platform/canvas/raster.h"
#include "tools/demo/demooptions.h"
#include "tools/demo/mapsheet.h"
#include "tools/demo/pagedraw.h"
#include "tools/demo/samplelogo.h"
#include "tools/demo/samplepage.h"

namespace {

// Rows of the bands the prints are painted in: a band of the A2 sheet at
// 300 dpi is 2.5 MB, which stays in the caches while it is painted twice,
// compared and compressed.
constexpr int kBandRows = 128;

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

// Fails the page's run when a picture, object or link of it was not made or
// drawn as the page meant it (what LeftOut says, with the links read back
// besides); 0 otherwise.
int FailLeftOut(const std::string& stem, const md::demo::BuildReport& report, std::size_t pageMark,
                int linksUpdated) {
  std::vector<std::string> lines = md::demo::LeftOut(report, GIS_GetLogPtr()->GetRecordsSince(pageMark));
  if (linksUpdated >= 0 && linksUpdated != report.links)
    lines.push_back("the page read back read " + std::to_string(linksUpdated) + " of its " +
                    std::to_string(report.links) + " links' sources");
  if (lines.empty()) return 0;
  std::fprintf(stderr, "%s: %s: a picture, object or link was not made or drawn as the page meant it:\n",
               g_program, stem.c_str());
  for (const std::string& line : lines) std::fprintf(stderr, "  %s\n", line.c_str());
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

  // Threads that paint the prints band by band (each with two bands of its
  // own), or compare two whole rasters.
  const unsigned helpers = std::clamp(std::thread::hardware_concurrency() / 2, 1u, 4u);

  md::demo::BuildReport report;
  const std::size_t pageMark = GIS_GetLogPtr()->GetRecordCount();
  Stage build("building the page");
  std::unique_ptr<md::demo::Page> page = run.build(&report);
  build.End();
  if (page == nullptr) return Fail("cannot make the element factory or the page's feature set");
  for (const std::string& type : report.missingTypes)
    std::printf("  note: the element factory builds no %s element yet; the page leaves it out\n",
                KindName(type).c_str());
  if (page->elements().empty()) return Fail("the element factory built no element of the page");
  if (const int status = FailLeftOut(run.stem, report, pageMark, -1)) return status;
  const std::size_t elementCount = page->elements().size();
  const int paperWidth = page->width(), paperHeight = page->height();
  const std::string kinds = KindSummary(*page);

  // Stored before printing, so that the page read back prints beside the
  // first print; stored again once printed, below.
  Stage store("storing the elements and saving the feature set");
  std::string stored;
  if (!md::demo::SavePage(*page, pagePath, &error)) return Fail(error);
  if (!ReadWhole(pagePath, &stored)) return Fail("cannot read " + pagePath);
  store.End();

  // The second page comes from the file alone, into a feature set of its
  // own: it is loaded and printed on another thread while this one draws
  // the PDF and prints the first. Its error, when it fails. The file is
  // saved again only once it has been read. Both prints are kept as
  // recordings of their rasters, painted band by band below: no raster of
  // the whole page is made.
  std::string secondError;
  std::unique_ptr<md::demo::Page> loaded;
  int linksUpdated = 0;
  std::unique_ptr<md::canvas::BandRecording> second;
  std::promise<void> fileRead;
  std::future<void> fileReadDone = fileRead.get_future();
  std::future<void> reprint = std::async(std::launch::async, [&] {
    loaded = md::demo::LoadPage(pagePath, &secondError, run.mapLayer);
    fileRead.set_value();
    if (loaded == nullptr) return;
    // As a host whose user agreed: the links read their sources beside the page.
    linksUpdated = md::demo::UpdateLinks(*loaded);
    loaded->SetPaper(paperWidth, paperHeight);
    if (loaded->elements().size() != elementCount) {
      secondError = "the file gave back " + std::to_string(loaded->elements().size()) +
                    " elements instead of " + std::to_string(elementCount);
      return;
    }
    second = md::demo::RecordRaster(*loaded, options.dpi, nullptr, &secondError);
  });
  // Whatever happens, the loaded page ends before the first: it shows the
  // map the first one's document holds.
  struct EndLoaded {
    std::future<void>& reprint;
    std::unique_ptr<md::demo::Page>& loaded;
    ~EndLoaded() {
      if (reprint.valid()) reprint.wait();
      loaded.reset();
    }
  } endLoaded{reprint, loaded};

  // The PDF canvas keeps what the page draws; the file is written beside
  // the rest of the run, first as it takes longest.
  Stage pdf("writing the PDF");
  std::unique_ptr<md::canvas::CairoCanvas> vector = md::demo::DrawVector(*page, pdfPath, nullptr, &error);
  if (vector == nullptr) return Fail(error);
  pdf.End();
  std::string pdfError;
  std::future<bool> pdfWriter = std::async(std::launch::async, [&vector, &pdfError, pdfPath] {
    return md::demo::FinishVector(*vector, pdfPath, &pdfError);
  });

  Stage print("printing the page at " + std::to_string(options.dpi) + " dpi");
  const std::unique_ptr<md::canvas::BandRecording> first =
      md::demo::RecordRaster(*page, options.dpi, nullptr, &error);
  if (first == nullptr) return Fail(error);
  print.End();

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
  if (second == nullptr) return Fail(secondError);

  // Both prints painted band by band beside each other: each band of the
  // first is compared with the second's and compressed into the PNG.
  Stage paint("painting and comparing the prints");
  md::demo::BandedPrints bands;
  if (first->paintable() && second->paintable())
    bands = md::demo::PaintBands(*first, *second, helpers, kBandRows);
  paint.End();
  const int pixelWidth = first->width(), pixelHeight = first->height();
  std::string pngError;
  if (bands.same) {
    if (!md::canvas::WritePngFile(pngPath, pixelWidth, pixelHeight, bands.stripes, options.dpi, &pngError))
      return Fail("cannot write " + pngPath + ": " + pngError);
  } else {
    // Printed onto whole rasters: the drawing read pixels back, or the
    // prints differ and the difference is shown.
    std::string wholeError;
    const std::string noRaster =
        "cannot make a raster of the page at " + std::to_string(options.dpi) + " dpi";
    const auto whole = [&](md::demo::Page& p) {
      auto raster = md::demo::NewPaperRaster(paperWidth / 100.0, paperHeight / 100.0, options.dpi, helpers);
      if (raster == nullptr) wholeError = noRaster;
      return raster != nullptr && md::demo::PrintPage(p, raster.get(), options.dpi, nullptr, &wholeError)
                 ? std::move(raster)
                 : nullptr;
    };
    const std::unique_ptr<md::canvas::CairoCanvas> wholeFirst = whole(*page);
    if (wholeFirst == nullptr) return Fail(wholeError);
    const std::unique_ptr<md::canvas::CairoCanvas> wholeSecond = whole(*loaded);
    if (wholeSecond == nullptr) return Fail(wholeError);
    if (!wholeFirst->writePng(pngPath, &pngError)) return Fail("cannot write " + pngPath + ": " + pngError);
    if (!md::demo::SameRasters(*wholeFirst, *wholeSecond, helpers)) {
      const md::canvas::Difference d = md::canvas::Compare(*wholeFirst, *wholeSecond, 0);
      std::string detail = d.sameSize ? std::to_string(d.differing) + " pixels differ" : "the sizes differ";
      std::string written;
      if (wholeSecond->writePng(reloadedPath)) written += "\n  " + reloadedPath;
      if (d.sameSize &&
          md::canvas::WritePng(md::canvas::DifferenceImage(md::canvas::ReadRaster(*wholeFirst),
                                                           md::canvas::ReadRaster(*wholeSecond), 0),
                               diffPath, nullptr))
        written += "\n  " + diffPath + " (differing pixels in red)";
      return Fail("the page read back does not print like the page stored: " + detail + ". See:\n  " +
                  pngPath + written);
    }
  }
  // The pages end here, the loaded one first.
  loaded.reset();
  page.reset();
  Stage pdfFile("finishing the PDF");
  if (!pdfWriter.get()) return Fail(pdfError);
  pdfFile.End();
  if (const int status = FailLeftOut(run.stem, report, pageMark, linksUpdated)) return status;

  std::error_code ec;
  const auto pageBytes = fs::file_size(pagePath, ec);
  std::printf("  %zu elements (%s)\n", elementCount, kinds.c_str());
  if (linksUpdated > 0)
    std::printf("  the loaded page's links read their sources beside it again: %d\n", linksUpdated);
  std::printf(
      "  stored, saved, loaded into a fresh feature set and printed again: the same, pixel for pixel\n");
  files->push_back(pngPath + "  (" + std::to_string(pixelWidth) + " x " + std::to_string(pixelHeight) +
                   " pixels, " + std::to_string(options.dpi) + " dpi)");
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
    if (const int status = RunPage(sheet, options, folder, &files)) return status;
  }

  for (const std::string& path : md::demo::SampleFilesKept())
    files.push_back(path + "  (a file the pages' pictures or link come from)");
  std::printf("Files written:\n");
  for (const std::string& f : files) std::printf("  %s\n", f.c_str());
  return 0;
}
