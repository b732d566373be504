// The fuzz seeds and crash inputs of the frame symbol libraries' reader,
// replayed whole and cut short, also loaded and saved as a library file. With
// MAPDECK_UPDATE_SEEDS=1 the seeds are first written from real libraries.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/fuzz/framelibrary_input.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/layout/graphicelement/frame/dialogs/framedialogtest.h"

namespace {

namespace fs = std::filesystem;
using md::test::Bytes;
using md::test::Symbol2;

class FrameLibraryStoredInput : public md::test::FrameLibraryTest {
 protected:
  void WriteSeeds() {
    const fs::path dir = fs::path(MD_SOURCE_DIR) / "tests" / "fuzz" / "corpus" / "framelibrary";
    fs::create_directories(dir);
    Symbol2 line(md::test::LineSymbol2(RGB(10, 20, 30), 0.5)), fill(md::test::FillSymbol2(RGB(1, 200, 3)));
    WriteAll((dir / "empty.bin").string(), LibraryBytes({}));
    WriteAll((dir / "lines.bin").string(),
             LibraryBytes({{"实线", Bytes(line.p)}, {"Second", Bytes(line.p)}}));
    WriteAll((dir / "fills_and_junk.bin").string(),
             LibraryBytes(
                 {{"填充", Bytes(fill.p)}, {"坏", {0, 1, 2, 3}}, {std::string(1200, 'n'), Bytes(fill.p)}}));
  }
  // The bytes as a library file, loaded and saved again: a read library
  // keeps every entry, also those not rebuilt.
  void FeedLibrary(const std::vector<unsigned char>& bytes) {
    const std::string path = (dir_ / "input.ets").string();
    WriteAll(path, std::string(bytes.begin(), bytes.end()));
    CGIS_FrameSymbolLibrary lib;
    const auto state = lib.Load(path);
    const int entries = lib.GetEntryCount();
    EXPECT_TRUE(lib.SaveIfAllowed());
    if (state != CGIS_FrameSymbolLibrary::FileState::Read) {
      EXPECT_EQ(ReadAll(path), std::string(bytes.begin(), bytes.end()));
      return;
    }
    CGIS_FrameSymbolLibrary back;
    EXPECT_EQ(back.Load(path), CGIS_FrameSymbolLibrary::FileState::Read);
    EXPECT_EQ(back.GetEntryCount(), entries);
  }
};

TEST_F(FrameLibraryStoredInput, SeedsAndCrashInputsReadWithoutHarm) {
  const char* update = std::getenv("MAPDECK_UPDATE_SEEDS");
  if (update != nullptr && std::string(update) == "1") WriteSeeds();
  int n = 0;
  for (const char* folder : {"corpus", "regressions"}) {
    for (const fs::path& p : md::test::fuzz::Inputs(folder, "framelibrary")) {
      const std::vector<unsigned char> bytes = md::test::fuzz::ReadInput(p);
      md::test::framelibraryinput::Feed(bytes.data(), bytes.size());
      FeedLibrary(bytes);
      ++n;
    }
  }
  EXPECT_GE(n, 3);
  for (const fs::path& p : md::test::fuzz::Inputs("corpus", "framelibrary")) {
    const std::vector<unsigned char> bytes = md::test::fuzz::ReadInput(p);
    for (std::size_t cut :
         {std::size_t{0}, std::size_t{1}, bytes.size() / 3, bytes.size() / 2, bytes.size() - 1}) {
      md::test::framelibraryinput::Feed(bytes.data(), cut);
      FeedLibrary(std::vector<unsigned char>(bytes.begin(), bytes.begin() + cut));
    }
  }
}

}  // namespace
