// Under an address-space limit (RLIMIT_AS) a print answers TRUE, or FALSE
// with one record, and never ends the host: each row prints an A3 page in a
// process of its own, as a user of its own where the tests run as root (root
// may raise a hard limit, which no service may), whose parent reads how the
// process ended and what the print answered. Needs the kernel's RLIMIT_AS,
// which every Linux holds; builds with a sanitizer that reserves shadow
// memory cannot run under it, and skip.
#include <gmock/gmock.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/picture/igis_pictureelement.h"
#include "layout/graphicelement/print/gis_pageprint.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/protocol/run.h"
#include "tests/platform/imaging/imagefiles.h"
#include "tests/platform/imaging/metafiles.h"

namespace {

namespace fs = std::filesystem;
using md::basilo::ReleasePtr;

using md::imaging::detail::kShadowMemory;

constexpr int kA3Width = 29700, kA3Height = 42000;

// A folder of the test's output anyone may write and read, for a process
// that became a user of its own.
struct OpenFolder {
  OpenFolder() : path(fs::path(MD_TEST_OUTPUT_DIR) / "memorylimit") {
    fs::create_directories(path);
    fs::permissions(path, fs::perms::all);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
  fs::path path;
};

// Noise: no run repeats, so that neither the picture nor the page compresses.
std::uint32_t Noise(int x, int y) {
  std::uint32_t v = static_cast<std::uint32_t>(x) * 0x9E3779B1u ^ static_cast<std::uint32_t>(y) * 0x85EBCA77u;
  v ^= v >> 15;
  v *= 0x2C1B3C6Du;
  v ^= v >> 12;
  return 0xFF000000u | (v & 0x00FFFFFFu);
}

// Writes `bytes` to the folder's file `name`, once a run, readable by all.
std::string Picture(const OpenFolder& folder, const std::string& name,
                    const std::function<md::test::imagefiles::Bytes()>& bytes) {
  const std::string path = folder.File(name);
  if (!fs::exists(path)) md::test::imagefiles::WriteAll(path, bytes());
  fs::permissions(
      path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
  return path;
}

// A page and the elements it holds.
struct Page {
  ReleasePtr<IGIS_FeatureSet> set;
  std::vector<ReleasePtr<IGIS_PictureElement>> elements;
};

// A page of `count` pictures from the files in turn, in a grid on A3; no
// page where a picture cannot be read.
Page MakePage(const std::vector<std::string>& files, int count) {
  Page page{ReleasePtr<IGIS_FeatureSet>(GIS_CreateFeatureSetObject(nullptr, "layout", 0, 0, 0, 0, nullptr)),
            {}};
  const int across = count > 9 ? 4 : 3;
  const int cellW = kA3Width / across, cellH = kA3Height / ((count + across - 1) / across);
  for (int i = 0; i < count; ++i) {
    auto* element =
        dynamic_cast<IGIS_PictureElement*>(page.set->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE));
    if (element == nullptr) return {};
    page.elements.emplace_back(element);
    if (!element->ImportPictureFromFile(files[i % files.size()].c_str())) return {};
    const int left = (i % across) * cellW, top = kA3Height - (i / across) * cellH;
    element->SetRect(SGIS_Rect(left + 200, top - 200, left + cellW - 200, top - cellH + 200));
  }
  return page;
}

// Becomes a user of its own where the process is root.
bool OwnUser() {
  GIS_GetTempDir();
  const uid_t own = static_cast<uid_t>(100000 + ::getpid());
  return ::getuid() != 0 || (::setgroups(0, nullptr) == 0 && ::setgid(own) == 0 && ::setuid(own) == 0);
}

// Makes the page and does `call` to it in a child process under RLIMIT_AS of
// `limitMiB`, soft and hard, set once the page is made: how the child ended,
// then what it said (the answer and its records, one a line).
std::string InChild(const std::function<Page()>& make, rlim_t limitMiB,
                    const std::function<BOOL(Page&)>& call) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return "no pipe";
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipeFds[0]);
    std::string said;
    said.reserve(1 << 16);
    Page page = make();
    if (page.set == nullptr) ::_exit(2);
    if (!OwnUser()) ::_exit(3);
    const rlimit limit{limitMiB << 20, limitMiB << 20};
    if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(4);
    const std::size_t mark = GIS_GetLogPtr()->GetRecordCount();
    BOOL answer = FALSE;
    try {
      answer = call(page);
    } catch (...) {
      ::_exit(5);  // thrown at the host
    }
    said += answer ? "TRUE\n" : "FALSE\n";
    for (const SGIS_LogRecord& r : GIS_GetLogPtr()->GetThreadRecordsSince(mark))
      said += r.method + ": " + r.text + "\n";
    (void)!::write(pipeFds[1], said.data(), said.size());
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  std::string heard;
  char chunk[4096];
  for (ssize_t n; (n = ::read(pipeFds[0], chunk, sizeof chunk)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    heard.append(chunk, static_cast<std::size_t>(n));
  }
  ::close(pipeFds[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  const std::string how = WIFEXITED(status)     ? "exit " + std::to_string(WEXITSTATUS(status))
                          : WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status))
                                                : "?";
  return how + "\n" + heard;
}

// Prints the page to `output` at `dpi` in such a child.
std::string PrintInChild(const std::function<Page()>& make, rlim_t limitMiB, const std::string& output,
                         int dpi) {
  fs::remove(output);
  return InChild(make, limitMiB, [&](Page& page) {
    return GIS_PrintPageToFile(page.set.get(), kA3Width, kA3Height, dpi, output.c_str());
  });
}

// Imports `file` into the page's one picture element in such a child.
std::string ImportInChild(const std::function<Page()>& make, rlim_t limitMiB, const std::string& file) {
  return InChild(make, limitMiB,
                 [&](Page& page) { return page.elements.at(0)->ImportPictureFromFile(file.c_str()); });
}

// The pictures of the pages: three noise PNGs of 3000 x 2000 pixels and a
// WMF and an EMF of a few shapes, made once a run.
struct Pictures {
  explicit Pictures(const OpenFolder& folder) {
    namespace files = md::test::imagefiles;
    for (int i = 0; i < 3; ++i)
      noise.push_back(Picture(folder, "noise" + std::to_string(i) + ".png", [i] {
        return files::Png(3000, 2000, [i](int x, int y) { return Noise(x + i * 7919, y); });
      }));
    wmf = Picture(folder, "mark.wmf", [] { return md::test::metafiles::SampleWmf(); });
    emf = Picture(folder, "mark.emf", [] { return md::test::metafiles::SampleEmf(); });
  }
  // 16 noise pictures, or 9 of one metafile.
  Page Make(const std::string& kind) const {
    return kind == "raster" ? MakePage(noise, 16) : MakePage({kind == "wmf" ? wmf : emf}, 9);
  }
  std::vector<std::string> noise;
  std::string wmf, emf;
};

// An A3 page at 300 dpi under address-space limits from 150 MiB to 1 GiB:
// the child ends normally, its print answering TRUE with no record, or FALSE
// with one (the encoder's threads, the pictures' drawing, the canvas and the
// metafiles' helper may each be where memory runs out).
TEST(MemoryLimit, APrintUnderAnAddressSpaceLimitIsTrueOrFalseWithOneRecordAndNeverEndsTheProcess) {
  if (kShadowMemory) GTEST_SKIP() << "a sanitizer's shadow memory cannot be reserved under RLIMIT_AS";
  const struct {
    const char* page;  // raster: 16 noise PNGs; wmf, emf: 9 of one metafile
    const char* output;
  } rows[] = {{"raster", "png"}, {"raster", "pdf"}, {"wmf", "png"},
              {"wmf", "pdf"},    {"emf", "png"},    {"emf", "pdf"}};
  // 200 and 220 MiB: where cairo's PDF writer, short of memory while it
  // writes the pictures out, would crash.
  const rlim_t limits[] = {150, 200, 220, 256, 400, 512, 768, 1024};
  const OpenFolder folder;
  const Pictures pictures(folder);
  for (const auto& row : rows)
    for (const rlim_t limit : limits) {
      const std::string output =
          folder.File(std::string(row.page) + "-" + std::to_string(limit) + "." + row.output);
      EXPECT_THAT(PrintInChild([&] { return pictures.Make(row.page); }, limit, output, 300),
                  testing::MatchesRegex("exit 0\n(TRUE\n|FALSE\n[^\n]+\n)"))
          << row.page << " to " << row.output << " under RLIMIT_AS " << limit << " MiB";
    }
}

// A print service at 512 MiB: its helper runs within that limit and draws
// the page's small metafiles.
TEST(MemoryLimit, APrintServiceAt512MiBDrawsItsSmallMetafiles) {
  if (kShadowMemory) GTEST_SKIP() << "a sanitizer's shadow memory cannot be reserved under RLIMIT_AS";
  const struct {
    const char* page;
    const char* output;
  } rows[] = {{"wmf", "png"}, {"wmf", "pdf"}, {"emf", "png"}, {"emf", "pdf"}};
  const OpenFolder folder;
  const Pictures pictures(folder);
  for (const auto& row : rows) {
    const std::string output = folder.File(std::string("service-") + row.page + "." + row.output);
    EXPECT_EQ(PrintInChild([&] { return pictures.Make(row.page); }, 512, output, 300), "exit 0\nTRUE\n")
        << row.page << " to " << row.output;
  }
}

// A metafile whose drawing needs more than the limit leaves its helper: the
// reason names the limit and what the helper may need; within a limit that
// holds it, it is drawn.
TEST(MemoryLimit, AMetafileTooLargeForTheLimitSaysWhichLimitItMet) {
  if (kShadowMemory) GTEST_SKIP() << "a sanitizer's shadow memory cannot be reserved under RLIMIT_AS";
  const auto wmf = md::test::metafiles::BigDibWmf(
      md::test::metafiles::BigDib(4000, 4000, 24, [](int x, int y) { return Noise(x, y); }), 4);
  const struct {
    rlim_t limit;
    const char* said;  // a pattern of what the decoding answered
  } rows[] = {
      {200, "WMF: .*\\(an address-space limit: RLIMIT_AS 200 MiB; the renderer needs up to [0-9]+ MiB\\)"},
      {512, "drawn"},
  };
  for (const auto& row : rows) {
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(pipeFds[0]);
      const rlimit limit{row.limit << 20, row.limit << 20};
      if (!OwnUser() || ::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(3);
      const md::imaging::DecodeResult r = md::imaging::Decode(wmf.data(), wmf.size());
      const std::string said = r ? "drawn" : r.error;
      (void)!::write(pipeFds[1], said.data(), said.size());
      ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string heard;
    char chunk[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], chunk, sizeof chunk)) > 0;) heard.append(chunk, n);
    ::close(pipeFds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "under RLIMIT_AS " << row.limit << " MiB";
    EXPECT_THAT(heard, testing::MatchesRegex(row.said)) << "under RLIMIT_AS " << row.limit << " MiB";
  }
}

// An import whose decoding runs out of memory answers FALSE with one record
// and throws nothing at the host; within a limit that holds it, it imports.
TEST(MemoryLimit, AnImportThatRunsOutOfMemoryIsFalseWithOneRecord) {
  if (kShadowMemory) GTEST_SKIP() << "a sanitizer's shadow memory cannot be reserved under RLIMIT_AS";
  const OpenFolder folder;
  const Pictures pictures(folder);
  const struct {
    rlim_t limit;
    const char* said;  // a pattern of how the child ended, its answer and records
  } rows[] = {
      {60, "exit 0\nFALSE\n[^\n]+\n"},
      {80, "exit 0\nFALSE\n[^\n]+\n"},
      {100, "exit 0\nFALSE\n[^\n]+\n"},
      {1024, "exit 0\nTRUE\n"},
  };
  for (const auto& row : rows) {
    const auto import = [&] {
      Page page{
          ReleasePtr<IGIS_FeatureSet>(GIS_CreateFeatureSetObject(nullptr, "layout", 0, 0, 0, 0, nullptr)),
          {}};
      auto* element =
          dynamic_cast<IGIS_PictureElement*>(page.set->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE));
      if (element != nullptr) page.elements.emplace_back(element);
      return page;
    };
    EXPECT_THAT(ImportInChild(import, row.limit, pictures.noise[0]), testing::MatchesRegex(row.said))
        << "under RLIMIT_AS " << row.limit << " MiB";
  }
}

}  // namespace
