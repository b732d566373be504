// The fuzz seeds and crash inputs of the map frame's stored-state readers,
// replayed; and the seeds themselves, written from real frames.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/fuzz/mapframe_input.h"
#include "tests/layout/graphicelement/mapframe/mapframetest.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(MapFrameStoredInput, SeedsAndCrashInputsReadWithoutHarm) {
  const fs::path root = fs::path(MD_SOURCE_DIR) / "tests" / "fuzz";
  int n = 0;
  for (const char* dir : {"corpus", "regressions"}) {
    const fs::path d = root / dir / "mapframe";
    if (!fs::is_directory(d)) continue;
    for (const auto& e : fs::directory_iterator(d)) {
      const std::vector<std::uint8_t> bytes = ReadFile(e.path());
      md::test::mapframeinput::Feed(bytes.data(), bytes.size());
      ++n;
    }
  }
  EXPECT_GE(n, 3);
  // Damaged forms of every seed: cut short at several places.
  for (const auto& e : fs::directory_iterator(root / "corpus" / "mapframe")) {
    const std::vector<std::uint8_t> bytes = ReadFile(e.path());
    for (std::size_t cut :
         {std::size_t{0}, std::size_t{1}, bytes.size() / 3, bytes.size() / 2, bytes.size() - 1}) {
      if (cut <= bytes.size()) md::test::mapframeinput::Feed(bytes.data(), cut);
    }
  }
}

}  // namespace
