// Under a process limit no thread or process can be started: a print, a
// metafile's helper and the probe of its sandbox answer FALSE with a record
// naming the limit, or do the work on the calling thread, and never end the
// host; once the limit is lifted the next call succeeds. Each row runs in a
// process of its own, as a user of its own where the tests run as root (root
// is not held to RLIMIT_NPROC). Needs the kernel's RLIMIT_NPROC, which every Linux
// holds: a row fails where a thread still starts under the limit.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/picture/igis_pictureelement.h"
#include "layout/graphicelement/print/gis_pageprint.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/helperfences.h"
#include "platform/imaging/loader.h"
#include "platform/imaging/picturecache.h"
#include "tests/platform/imaging/imagefiles.h"
#include "tests/platform/imaging/metafiles.h"

namespace {

namespace fs = std::filesystem;
using md::basilo::ReleasePtr;

// Where the process is root, becomes a user of its own that runs nothing
// else (its temporary folder and log chosen before, as root); then puts
// its user at `processes` processes, this one among them. False where the
// limit does not hold (a thread past it still starts), with the reason on
// standard error.
bool UnderProcessLimit(rlim_t processes) {
  GIS_GetTempDir();
  // The log's file lies in root's folder, which the user it becomes cannot
  // write: its records are read from the log itself.
  GIS_GetLogPtr()->EnableFileOutput(FALSE);
  // LeakSanitizer's check at a program's exit starts a thread, which the
  // limit refuses, and ends the program before it answers: the programs
  // started under the limit leave it off (builds without it read nothing).
  const char* sanitizer = std::getenv("ASAN_OPTIONS");
  ::setenv("ASAN_OPTIONS", (std::string(sanitizer != nullptr ? sanitizer : "") + ":detect_leaks=0").c_str(),
           1);
  const uid_t own = static_cast<uid_t>(100000 + ::getpid());
  if (::getuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(own) != 0 || ::setuid(own) != 0)) {
    std::fputs("cannot become a user of its own\n", stderr);
    return false;
  }
  rlimit limit{};
  ::getrlimit(RLIMIT_NPROC, &limit);
  limit.rlim_cur = processes;
  if (::setrlimit(RLIMIT_NPROC, &limit) != 0) return false;
  // As many threads as the limit leaves room for start; the next does not.
  std::atomic<bool> end{false};
  std::vector<std::thread> room;
  bool held = false;
  try {
    for (rlim_t i = 0; i < processes; ++i)
      room.emplace_back([&end] {
        while (!end.load()) std::this_thread::yield();
      });
  } catch (const std::system_error&) {
    held = room.size() < processes;
  }
  end = true;
  for (std::thread& t : room) t.join();
  if (!held)
    std::fprintf(stderr, "%zu threads started under RLIMIT_NPROC %lu\n", room.size(),
                 static_cast<unsigned long>(processes));
  return held;
}

// Lifts the limit back to its hard bound.
void LiftProcessLimit() {
  rlimit limit{};
  ::getrlimit(RLIMIT_NPROC, &limit);
  limit.rlim_cur = limit.rlim_max;
  ::setrlimit(RLIMIT_NPROC, &limit);
}

// What this thread recorded since the mark, one record a line.
std::string RecordsSince(std::size_t mark) {
  std::string out;
  for (const SGIS_LogRecord& r : GIS_GetLogPtr()->GetThreadRecordsSince(mark))
    out += r.method + ": " + r.text + "\n";
  return out;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A folder of the test's output anyone may write, for a process that became
// nobody; one for each test, as tests may run at the same time.
struct OpenFolder {
  OpenFolder()
      : path(fs::path(MD_TEST_OUTPUT_DIR) / "processlimit" /
             ::testing::UnitTest::GetInstance()->current_test_info()->name()) {
    fs::remove_all(path);  // what an earlier run's users wrote
    fs::create_directories(path);
    fs::permissions(path, fs::perms::all);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
  fs::path path;
};

// A page of one picture from `file`, printed under the limit and again once
// it is lifted: the first print's answer and records, "|", the second's
// answer; "same" when both wrote the same bytes.
std::string PrintUnderLimit(const OpenFolder& folder, const std::string& picture, const char* output) {
  ReleasePtr<IGIS_FeatureSet> page(GIS_CreateFeatureSetObject(nullptr, "layout", 0, 0, 0, 0, nullptr));
  auto* element = dynamic_cast<IGIS_PictureElement*>(page->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE));
  if (element == nullptr || !element->ImportPictureFromFile(picture.c_str())) return "no picture";
  element->SetRect(SGIS_Rect(1000, 9000, 9000, 1000));
  // Nothing kept between drawings: each print starts the metafile's helper.
  md::imaging::SetPictureCacheCapacity(0);
  const std::string limited = folder.File(std::string("limited-") + output);
  const std::string lifted = folder.File(std::string("lifted-") + output);
  if (!UnderProcessLimit(1)) return "no limit";
  const std::size_t mark = GIS_GetLogPtr()->GetRecordCount();
  const BOOL first = GIS_PrintPageToFile(page.get(), 10000, 10000, 150, limited.c_str());
  std::string said = (first ? "TRUE\n" : "FALSE\n") + RecordsSince(mark);
  LiftProcessLimit();
  const BOOL second = GIS_PrintPageToFile(page.get(), 10000, 10000, 150, lifted.c_str());
  said += std::string("|") + (second ? "TRUE" : "FALSE");
  if (first && second && FileBytes(limited) == FileBytes(lifted)) said += " same";
  element->Release();
  return said;
}

// The print's output and picture, and what the child says: the first print's
// answer and records, then the second's answer once the limit is lifted.
TEST(ProcessLimit, APrintUnderAProcessLimitAnswersWithARecordNamingItAndNeverAborts) {
  const struct {
    const char* picture;  // the picture's file name, of the bytes below
    bool metafile;
    const char* output;
    const char* said;  // a pattern of what the child tells
  } rows[] = {
      // The encoder's threads cannot start: the page is encoded on the
      // calling thread, the same bytes.
      {"raster.png", false, "page.png", "^TRUE\n[|]TRUE same$"},
      // The metafile's helper cannot start: the picture is crossed out,
      // its record names the limit, and the next print draws it.
      {"mark.wmf", true, "page.png",
       "^FALSE\nCGIS_PictureElement::OnDraw: [^\n]*/mark\\.wmf: WMF: [^\n]*RLIMIT_NPROC 1\\)\n[|]TRUE$"},
      {"mark.wmf", true, "page.pdf",
       "^FALSE\nCGIS_PictureElement::OnDraw: [^\n]*/mark\\.wmf: WMF: [^\n]*RLIMIT_NPROC 1\\)\n[|]TRUE$"},
      {"mark.emf", true, "page.pdf",
       "^FALSE\nCGIS_PictureElement::OnDraw: [^\n]*/mark\\.emf: EMF: [^\n]*RLIMIT_NPROC 1\\)\n[|]TRUE$"},
  };
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process: its sandbox not yet learned
  const OpenFolder folder;
  namespace files = md::test::imagefiles;
  for (const auto& row : rows) {
    const std::string picture = folder.File(row.picture);
    const std::string name = row.picture;
    files::WriteAll(picture, !row.metafile            ? files::Png(200, 150, files::Opaque(200, 150))
                             : name.ends_with(".wmf") ? md::test::metafiles::SampleWmf()
                                                      : md::test::metafiles::SampleEmf());
    fs::permissions(picture, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EXIT(
        {
          std::fputs(PrintUnderLimit(folder, picture, row.output).c_str(), stderr);
          ::_exit(0);
        },
        testing::ExitedWithCode(0), row.said)
        << row.picture << " to " << row.output;
  }
}

// A metafile imported into a new picture under the limit, then, the limit
// lifted or not, `then`: a print (after SetRect, or not), or the same import
// again. Answers the
// import's answer and records, "|", the next call's, "|", the rectangle's
// width x height after it.
enum class Then { kPrintLifted, kPlacedPrintLifted, kPrintLimited, kImportLifted };
std::string ImportUnderLimit(const OpenFolder& folder, const std::string& picture, Then then) {
  ReleasePtr<IGIS_FeatureSet> page(GIS_CreateFeatureSetObject(nullptr, "layout", 0, 0, 0, 0, nullptr));
  auto* element = dynamic_cast<IGIS_PictureElement*>(page->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE));
  if (element == nullptr) return "no element";
  md::imaging::SetPictureCacheCapacity(0);
  if (md::imaging::detail::HelperFences() < 0) return "no sandbox";  // its words are then those of the helper
  if (!UnderProcessLimit(1)) return "no limit";
  std::size_t mark = GIS_GetLogPtr()->GetRecordCount();
  const BOOL imported = element->ImportPictureFromFile(picture.c_str());
  std::string said = (imported ? "TRUE\n" : "FALSE\n") + RecordsSince(mark);
  // The host's own rectangle, set after the import, is kept.
  if (then == Then::kPlacedPrintLifted) element->SetRect(SGIS_Rect(1000, 9000, 9000, 1000));
  if (then != Then::kPrintLimited) LiftProcessLimit();
  mark = GIS_GetLogPtr()->GetRecordCount();
  const BOOL next = then == Then::kImportLifted ? element->ImportPictureFromFile(picture.c_str())
                                                : GIS_PrintPageToFile(page.get(), 10000, 10000, 150,
                                                                      folder.File("import.png").c_str());
  said += std::string("|") + (next ? "TRUE\n" : "FALSE\n") + RecordsSince(mark);
  const SGIS_Rect r = element->GetRect();
  said += "|" + std::to_string(r.Width()) + " x " + std::to_string(r.Height());
  element->Release();
  return said;
}

// An import the limit refused names the file and says so; the next print
// draws the picture and sizes its rectangle as the import would have, or,
// still under the limit, crosses it out with a record; importing it again
// once the limit is lifted imports it.
TEST(ProcessLimit, AnImportUnderAProcessLimitIsTriedAgainByTheNextDrawing) {
  const char* const kRefused =
      "^FALSE\nCGIS_PictureElement::ImportPictureFromFile: [^\n]*/mark\\.(wmf: WMF|emf: EMF): "
      "[^\n]*RLIMIT_NPROC "
      "1\\): not imported yet, its next drawing tries again\n";
  const struct {
    const char* picture;
    Then then;
    const char* said;  // a pattern of what follows the import's answer
  } rows[] = {
      {"mark.wmf", Then::kPrintLifted, "[|]TRUE\n[|]600 x 300$"},
      {"mark.emf", Then::kPrintLifted, "[|]TRUE\n[|]591 x 295$"},
      {"mark.wmf", Then::kPlacedPrintLifted, "[|]TRUE\n[|]8000 x 8000$"},
      {"mark.wmf", Then::kPrintLimited,
       "[|]FALSE\nCGIS_PictureElement::OnDraw: [^\n]*/mark\\.wmf: WMF: [^\n]*RLIMIT_NPROC 1\\)\n[|]0 x 0$"},
      {"mark.wmf", Then::kImportLifted, "[|]TRUE\n[|]600 x 300$"},
  };
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const OpenFolder folder;
  for (const auto& row : rows) {
    const std::string picture = folder.File(row.picture);
    md::test::imagefiles::WriteAll(picture, std::string(row.picture).ends_with(".wmf")
                                                ? md::test::metafiles::SampleWmf()
                                                : md::test::metafiles::SampleEmf());
    fs::permissions(picture, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EXIT(
        {
          std::fputs(ImportUnderLimit(folder, picture, row.then).c_str(), stderr);
          ::_exit(0);
        },
        testing::ExitedWithCode(0), std::string(kRefused) + row.said)
        << row.picture << " then " << static_cast<int>(row.then);
  }
}

// The helper's start and its sandbox's probe in a process whose sandbox is
// not yet learned: the probe cannot start the warden, says why and is asked
// again; with the sandbox learned, the helper's own start names the limit.
TEST(ProcessLimit, AHelperUnderAProcessLimitIsNotStartedWithARecordNamingItAndRunsOnceItIsLifted) {
  const struct {
    bool learnedFirst;  // the sandbox learned before the limit
    rlim_t processes;   // the limit
    const char* error;  // a pattern of the decoding's error under the limit
  } rows[] = {
      // The warden starts, but not the probe of the fences it makes.
      {false, 2,
       "the renderer .* was not started: its sandbox could not be learned \\(its warden could not try it: "
       ".*RLIMIT_NPROC 2\\)\\)"},
      {false, 1,
       "the renderer .* was not started: its sandbox could not be learned \\(its warden .* could not be "
       "started: .*RLIMIT_NPROC 1\\)\\)"},
      {true, 1, "cannot start the renderer .*: .*\\(a process limit: RLIMIT_NPROC 1\\)"},
  };
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process: its sandbox not yet learned
  std::string skipped;
  for (const auto& row : rows) {
    // Another user's processes count against a limit above 1: only root can take a user of its own.
    if (row.processes > 1 && ::getuid() != 0) {
      skipped += "the limit of " + std::to_string(row.processes) +
                 " processes: only a test run as root can check it; ";
      continue;
    }
    EXPECT_EXIT(
        {
          const auto bytes = md::test::metafiles::SampleWmf();
          md::imaging::SetPictureCacheCapacity(0);
          if (row.learnedFirst && md::imaging::detail::HelperFences() < 0) ::_exit(3);
          if (!UnderProcessLimit(row.processes)) ::_exit(4);
          const md::imaging::DecodeResult limited = md::imaging::Decode(bytes.data(), bytes.size());
          LiftProcessLimit();
          const md::imaging::DecodeResult lifted = md::imaging::Decode(bytes.data(), bytes.size());
          std::fprintf(stderr, "%s|%s|%s", limited.notRun ? "not run" : "run", limited.error.c_str(),
                       lifted ? "lifted: drawn" : lifted.error.c_str());
          ::_exit(0);
        },
        testing::ExitedWithCode(0), std::string("^not run[|]WMF: ") + row.error + "[|]lifted: drawn$")
        << (row.learnedFirst ? "sandbox learned first" : "sandbox not yet learned");
  }
  if (!skipped.empty()) GTEST_SKIP() << "rows not checked here: " << skipped;
}

}  // namespace
