// Where the tests' snapshots of dialogs and pages go.
#pragma once

#include <filesystem>
#include <string>

namespace md::test {

// The snapshot's file, name.png, in the test output's "snapshots" folder,
// which is made when missing (a test run alone finds no folder made before).
inline std::string SnapshotPath(const std::string& name) {
  const std::filesystem::path dir = std::filesystem::path(MD_TEST_OUTPUT_DIR) / "snapshots";
  std::filesystem::create_directories(dir);
  return (dir / (name + ".png")).string();
}

}  // namespace md::test
