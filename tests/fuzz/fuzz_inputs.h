// The fuzz targets' seeds (tests/fuzz/corpus/<name>) and the crash inputs
// kept as regressions (tests/fuzz/regressions/<name>), for the regular tests
// that replay them.
#pragma once

#include <cstdint>
#include <cstdlib>
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

// One input of a target, for replaying.
struct Input {
  std::string file;  // "corpus/<name>/<file>" or "regressions/<name>/<file>"
  std::vector<std::uint8_t> bytes;
  bool seed = false;  // from the corpus
};

// The seeds and the regressions of a target.
inline std::vector<Input> AllInputs(const char* name) {
  std::vector<Input> out;
  for (const char* folder : {"corpus", "regressions"}) {
    for (const std::filesystem::path& path : Inputs(folder, name)) {
      const std::vector<unsigned char> bytes = ReadInput(path);
      out.push_back(Input{std::string(folder) + "/" + name + "/" + path.filename().string(),
                          std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
                          std::string(folder) == "corpus"});
    }
  }
  return out;
}

// Writes a seed made from real objects into corpus/<name>/ when
// MD_WRITE_FUZZ_CORPUS is set (after a deliberate change of a stored form).
inline void WriteSeed(const char* name, const std::string& file, const std::vector<std::uint8_t>& bytes) {
  if (std::getenv("MD_WRITE_FUZZ_CORPUS") == nullptr) return;
  const std::filesystem::path dir = std::filesystem::path(MD_SOURCE_DIR) / "tests" / "fuzz" / "corpus" / name;
  std::filesystem::create_directories(dir);
  std::ofstream out(dir / file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace md::test::fuzz
