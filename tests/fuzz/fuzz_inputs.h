// The fuzz targets' seeds (tests/fuzz/corpus/<name>) and the crash inputs
// kept as regressions (tests/fuzz/regressions/<name>), for the regular tests
// that replay them.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace md::test::fuzz {

inline std::vector<unsigned char> ReadInput(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// The inputs of one folder ("corpus" or "regressions") of a target, by path;
// none when the folder does not exist.
inline std::vector<std::filesystem::path> Inputs(const char* folder, const char* name) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(MD_SOURCE_DIR) / "tests" / "fuzz" / folder / name;
  std::vector<fs::path> paths;
  if (fs::is_directory(dir)) {
    for (const auto& e : fs::directory_iterator(dir)) paths.push_back(e.path());
  }
  return paths;
}

}  // namespace md::test::fuzz
