// The demo's command line, its output folder, and the program as a newcomer
// runs it.
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/canvas/raster.h"
#include "tests/support/command.h"
#include "tests/tools/demo/demotest.h"
#include "tools/demo/demooptions.h"

namespace {

struct OptionRow {
  std::vector<std::string> args;
  bool ok;
  std::string folder;  // expected folder (ok rows)
  int dpi;             // expected resolution (ok rows)
  bool help;
  std::string message;  // part of the message (failing rows)
};

const OptionRow kOptionRows[] = {
    {{}, true, "demo-output", 300, false, ""},
    {{"-o", "out"}, true, "out", 300, false, ""},
    {{"--output", "a b"}, true, "a b", 300, false, ""},
    {{"--output=x/y", "-r", "150"}, true, "x/y", 150, false, ""},
    {{"--resolution=36"}, true, "demo-output", 36, false, ""},
    {{"-r", "600", "-h"}, true, "demo-output", 600, true, ""},
    {{"--help"}, true, "demo-output", 300, true, ""},
    {{"--bogus"}, false, "", 0, false, "unknown option '--bogus'"},
    {{"-x"}, false, "", 0, false, "unknown option '-x'"},
    {{"stray"}, false, "", 0, false, "unexpected argument 'stray'"},
    {{"-o"}, false, "", 0, false, "needs a folder"},
    {{"--output="}, false, "", 0, false, "needs a folder"},
    {{"-r"}, false, "", 0, false, "needs a number of dots per inch"},
    {{"-r", "35"}, false, "", 0, false, "bad resolution '35'"},
    {{"-r", "601"}, false, "", 0, false, "bad resolution '601'"},
    {{"--resolution=300dpi"}, false, "", 0, false, "bad resolution '300dpi'"},
    {{"-r", "-300"}, false, "", 0, false, "bad resolution '-300'"},
    {{"-r", "99999999999999999999"}, false, "", 0, false, "bad resolution"},
    {{"--help=yes"}, false, "", 0, false, "takes no value"},
};

// "[a][b c]" for a trace.
std::string Joined(const std::vector<std::string>& args) {
  std::string joined;
  for (const std::string& a : args) joined += "[" + a + "]";
  return joined;
}

TEST(DemoOptions, ParsesWhatPeopleTypeAndNamesWhatItRefuses) {
  for (const OptionRow& row : kOptionRows) {
    SCOPED_TRACE(Joined(row.args));
    md::demo::Options options;
    std::string error;
    ASSERT_EQ(md::demo::ParseOptions(row.args, &options, &error), row.ok) << error;
    if (row.ok) {
      EXPECT_EQ(options.outputFolder, row.folder);
      EXPECT_EQ(options.dpi, row.dpi);
      EXPECT_EQ(options.help, row.help);
    } else {
      EXPECT_NE(error.find(row.message), std::string::npos) << error;
      // A refused command line leaves the options as they were.
      EXPECT_EQ(options.outputFolder, "demo-output");
      EXPECT_EQ(options.dpi, 300);
    }
  }
  const std::string usage = md::demo::Usage("mapdeck-demo");
  for (const char* part :
       {"--output", "--resolution", "--page", "sample-page", "map-sheet", "--help", "36 to 600", "NAME.png"})
    EXPECT_NE(usage.find(part), std::string::npos) << part;
}

struct PageRow {
  std::vector<std::string> args;
  bool ok;
  std::vector<std::string> pages;  // as kept (ok rows) or part of the message
  bool sample, sheet;              // which pages are made (ok rows)
};

const PageRow kPageRows[] = {
    {{}, true, {}, true, true},
    {{"--page", "map-sheet"}, true, {"map-sheet"}, false, true},
    {{"-p", "sample-page"}, true, {"sample-page"}, true, false},
    {{"--page=map-sheet", "-p", "sample-page"}, true, {"map-sheet", "sample-page"}, true, true},
    {{"-p", "map-sheet", "-p", "map-sheet"}, true, {"map-sheet"}, false, true},
    {{"--page"}, false, {"needs a page name"}, false, false},
    {{"--page="}, false, {"unknown page ''"}, false, false},
    {{"-p", "sheet"}, false, {"unknown page 'sheet': give sample-page or map-sheet"}, false, false},
    {{"-p", "map-sheet", "-p", "MAP-SHEET"}, false, {"unknown page 'MAP-SHEET'"}, false, false},
};

TEST(DemoOptions, PagesAreChosenByNameAndUnknownNamesRefused) {
  for (const PageRow& row : kPageRows) {
    SCOPED_TRACE(Joined(row.args));
    md::demo::Options options;
    std::string error;
    ASSERT_EQ(md::demo::ParseOptions(row.args, &options, &error), row.ok) << error;
    if (row.ok) {
      EXPECT_EQ(options.pages, row.pages);
      EXPECT_EQ(md::demo::WantsPage(options, "sample-page"), row.sample);
      EXPECT_EQ(md::demo::WantsPage(options, "map-sheet"), row.sheet);
    } else {
      EXPECT_NE(error.find(row.pages.front()), std::string::npos) << error;
      EXPECT_TRUE(options.pages.empty());
    }
  }
}

TEST(DemoOptions, TheOutputFolderIsMadeOrItsTroubleIsNamed) {
  const auto dir = md::test::ScratchFolder("folders");
  std::string error;
  const std::string nested = (dir / "a" / "b" / "c").string();
  EXPECT_TRUE(md::demo::PrepareOutputFolder(nested, &error)) << error;
  EXPECT_TRUE(std::filesystem::is_directory(nested));
  // Nothing is left behind by the writing test.
  EXPECT_TRUE(std::filesystem::is_empty(nested));
  EXPECT_TRUE(md::demo::PrepareOutputFolder(nested, &error)) << error;

  const std::string file = (dir / "plain-file").string();
  std::ofstream(file) << "x";
  error.clear();
  EXPECT_FALSE(md::demo::PrepareOutputFolder(file, &error));
  EXPECT_NE(error.find("is not a folder"), std::string::npos) << error;
  error.clear();
  EXPECT_FALSE(md::demo::PrepareOutputFolder(file + "/below", &error));
  EXPECT_NE(error.find("cannot make the output folder"), std::string::npos) << error;
  // Not writable even for the superuser.
  error.clear();
  EXPECT_FALSE(md::demo::PrepareOutputFolder("/proc/self", &error));
  EXPECT_NE(error.find("cannot write into the output folder '/proc/self'"), std::string::npos) << error;
}

struct ProgramRun {
  int status = -1;
  std::string output;
};

// Runs the demo program, after the assignments `NAME='value' `, with the
// arguments, output and errors together.
ProgramRun RunDemo(const std::string& args, const std::string& environment = "") {
  const md::test::CommandRun r =
      md::test::RunCommand(environment + "'" + MAPDECK_DEMO_PATH + "' " + args + " 2>&1");
  ProgramRun run;
  run.output = r.output;
  run.status = r.status;
  return run;
}

TEST(DemoProgram, WritesThePageChecksTheReloadAndNamesItsFiles) {
  const auto dir = md::test::ScratchFolder("program");
  const ProgramRun run = RunDemo("--resolution 60 --output '" + (dir / "out").string() + "'");
  ASSERT_EQ(run.status, 0) << run.output;
  for (const char* name : {"sample-page.png", "sample-page.pdf", "sample-page.mdfs"}) {
    const auto path = dir / "out" / name;
    EXPECT_TRUE(std::filesystem::is_regular_file(path)) << name;
    EXPECT_GT(std::filesystem::file_size(path), 1000u) << name;
    EXPECT_NE(run.output.find(path.string()), std::string::npos) << run.output;
  }
  EXPECT_NE(run.output.find("pixel for pixel"), std::string::npos) << run.output;
  EXPECT_FALSE(std::filesystem::exists(dir / "out" / "sample-page-difference.png"));
  md::canvas::Raster png;
  std::string error;
  ASSERT_TRUE(md::canvas::ReadPng((dir / "out" / "sample-page.png").string(), &png, &error)) << error;
  EXPECT_EQ(png.width, 702);  // 297 mm at 60 dpi
  EXPECT_EQ(png.height, 496);
}

TEST(DemoProgram, MakesOnlyThePageAskedFor) {
  const auto dir = md::test::ScratchFolder("program-sheet");
  const ProgramRun run = RunDemo("--page map-sheet -r 60 -o '" + (dir / "out").string() + "'");
  ASSERT_EQ(run.status, 0) << run.output;
  for (const char* name : {"map-sheet.png", "map-sheet.pdf", "map-sheet.mdfs"})
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "out" / name)) << name;
  EXPECT_FALSE(std::filesystem::exists(dir / "out" / "sample-page.png"));
  EXPECT_NE(run.output.find("594 x 420 mm"), std::string::npos) << run.output;
  md::canvas::Raster png;
  std::string error;
  ASSERT_TRUE(md::canvas::ReadPng((dir / "out" / "map-sheet.png").string(), &png, &error)) << error;
  EXPECT_EQ(png.width, 1403);  // A2 landscape, 594 x 420 mm at 60 dpi
  EXPECT_EQ(png.height, 992);

  const ProgramRun unknown = RunDemo("--page atlas -o '" + (dir / "none").string() + "'");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.output.find("unknown page 'atlas'"), std::string::npos) << unknown.output;
  EXPECT_FALSE(std::filesystem::exists(dir / "none"));
}

// The whole file's bytes.
std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(DemoProgram, TwoRunsStoreTheSameBytes) {
  for (const char* page : {"sample-page", "map-sheet"}) {
    SCOPED_TRACE(page);
    const auto dir = md::test::ScratchFolder(std::string("program-twice-") + page);
    const std::string args = std::string("--page ") + page + " -r 36 -o '" + dir.string() + "'";
    const ProgramRun first = RunDemo(args);
    ASSERT_EQ(first.status, 0) << first.output;
    const std::string stored = FileBytes(dir / (std::string(page) + ".mdfs"));
    const ProgramRun second = RunDemo(args);
    ASSERT_EQ(second.status, 0) << second.output;
    EXPECT_GT(stored.size(), 1000u);
    EXPECT_TRUE(stored == FileBytes(dir / (std::string(page) + ".mdfs")));
  }
}

// The page stores its link's source relative to itself: moved with its
// files, the page read back finds sample-notes.txt beside it.
TEST(DemoProgram, APageMovedWithItsFilesFindsItsLinkedSourceBesideIt) {
  const auto dir = md::test::ScratchFolder("program-moved");
  const ProgramRun run = RunDemo("--page sample-page -r 36 -o '" + (dir / "out").string() + "'");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("links read their sources beside it again: 1"), std::string::npos) << run.output;
  std::filesystem::rename(dir / "out", dir / "moved");
  std::string error;
  const auto page = md::demo::LoadPage((dir / "moved" / "sample-page.mdfs").string(), &error, nullptr);
  ASSERT_NE(page, nullptr) << error;
  EXPECT_EQ(md::demo::UpdateLinks(*page), 1);
}

// The demo run with a copy of the imaging library, which looks for its
// metafile helper beside itself, in a folder without the helper.
TEST(DemoProgram, FailsNamingAPictureItCouldNotMakeAndTheRecordsWhy) {
  namespace fs = std::filesystem;
  const fs::path dir = md::test::ScratchFolder("program-helper");
  fs::copy_file(MAPDECK_IMAGING_LIBRARY, dir / fs::path(MAPDECK_IMAGING_LIBRARY).filename());
  const ProgramRun run = RunDemo("--page sample-page -r 36 -o '" + (dir / "out").string() + "'",
                                 "LD_LIBRARY_PATH='" + dir.string() + "' ");
  EXPECT_EQ(run.status, 1) << run.output;
  for (const char* part :
       {"sample-page: a picture, object or link was not made or drawn as the page meant it:",
        "[1] CGIS_PictureElement::ImportPictureFromFile: ", "mapdeck-metafile is missing"})
    EXPECT_NE(run.output.find(part), std::string::npos) << part;
}

TEST(DemoProgram, BadOptionsAndUnwritableFoldersFailWithAMessage) {
  const ProgramRun help = RunDemo("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("Usage:"), std::string::npos) << help.output;

  const ProgramRun bad = RunDemo("--resolution 5000");
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.output.find("bad resolution '5000'"), std::string::npos) << bad.output;
  EXPECT_NE(bad.output.find("--help"), std::string::npos) << bad.output;

  const ProgramRun unknown = RunDemo("--colour red");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.output.find("unknown option '--colour'"), std::string::npos) << unknown.output;

  const ProgramRun folder = RunDemo("-o /proc/self/mapdeck");
  EXPECT_EQ(folder.status, 1);
  EXPECT_NE(folder.output.find("/proc/self/mapdeck"), std::string::npos) << folder.output;
}

}  // namespace
