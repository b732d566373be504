// For the regular tests: the seeds (corpus/<name>/) and the inputs that once
// broke a reader (regressions/<name>/) of a fuzz target, and the writing of
// seeds from real objects when MD_WRITE_FUZZ_CORPUS is set (after a
// deliberate change of a stored form).
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace md::test {

struct FuzzInput {
  std::string file;  // "corpus/<name>/<file>" or "regressions/<name>/<file>"
  std::vector<std::uint8_t> bytes;
  bool seed = false;
};

inline std::filesystem::path FuzzRoot() { return std::filesystem::path(MD_SOURCE_DIR) / "tests" / "fuzz"; }

inline std::vector<FuzzInput> FuzzInputs(const std::string& name) {
  namespace fs = std::filesystem;
  std::vector<FuzzInput> out;
  for (const char* kind : {"corpus", "regressions"}) {
    const fs::path dir = FuzzRoot() / kind / name;
    if (!fs::is_directory(dir)) continue;
    for (const auto& e : fs::directory_iterator(dir)) {
      if (!e.is_regular_file()) continue;
      std::ifstream in(e.path(), std::ios::binary);
      FuzzInput input;
      input.file = std::string(kind) + "/" + name + "/" + e.path().filename().string();
      input.bytes.assign(std::istreambuf_iterator<char>(in), {});
      input.seed = std::string(kind) == "corpus";
      out.push_back(std::move(input));
    }
  }
  return out;
}

// Writes a seed into corpus/<name>/ when MD_WRITE_FUZZ_CORPUS is set.
inline void WriteFuzzSeed(const std::string& name, const std::string& file,
                          const std::vector<std::uint8_t>& bytes) {
  if (std::getenv("MD_WRITE_FUZZ_CORPUS") == nullptr) return;
  const std::filesystem::path dir = FuzzRoot() / "corpus" / name;
  std::filesystem::create_directories(dir);
  std::ofstream out(dir / file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace md::test
