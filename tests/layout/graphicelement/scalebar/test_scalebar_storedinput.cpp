// The fuzz seeds and crash inputs of the scale bars' stored-state readers,
// replayed, and damaged forms of every seed.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "scalebartest.h"
#include "tests/fuzz/scalebar_input.h"

namespace md::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ScaleBarStoredInput, SeedsCrashInputsAndTheirDamagedFormsReadWithoutHarm) {
  const fs::path root = fs::path(MD_SOURCE_DIR) / "tests" / "fuzz";
  int n = 0;
  for (const char* dir : {"corpus", "regressions"}) {
    const fs::path d = root / dir / "scalebar";
    if (!fs::is_directory(d)) continue;
    for (const auto& e : fs::directory_iterator(d)) {
      const std::vector<std::uint8_t> bytes = ReadFile(e.path());
      md::test::scalebarinput::Feed(bytes.data(), bytes.size());
      ++n;
      for (std::size_t cut : {std::size_t{0}, std::size_t{1}, bytes.size() / 3, bytes.size() / 2,
                              bytes.empty() ? std::size_t{0} : bytes.size() - 1}) {
        md::test::scalebarinput::Feed(bytes.data(), cut);
      }
    }
  }
  EXPECT_GE(n, 3);
}

}  // namespace
}  // namespace md::test
