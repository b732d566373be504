// The fuzz seeds and crash inputs of the map borders' stored-state readers,
// replayed whole and cut short, also as a stored manager and a library file. With MAPDECK_UPDATE_SEEDS=1 the
// seeds are first written from real borders, a manager and a library.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "layout/graphicelement/grid/border/cgis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/border/cgis_mapborderlibrary.h"
#include "layout/graphicelement/grid/border/cgis_mapbordermanager.h"
#include "layout/graphicelement/grid/border/cgis_mapborderpattern.h"
#include "layout/graphicelement/grid/border/cgis_mapbordersimple.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/mapborder_input.h"
#include "tests/layout/graphicelement/grid/border/bordertest.h"

namespace {

namespace fs = std::filesystem;
using md::test::Owned;

void WriteSeed(const char* name, const std::vector<BYTE>& bytes) {
  const fs::path dir = fs::path(MD_SOURCE_DIR) / "tests" / "fuzz" / "corpus" / "mapborder";
  fs::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void WriteSeeds() {
  Owned<IGIS_Symbol> red(md::test::NewFill(RGB(200, 0, 0)));
  Owned<CGIS_MapBorderSimple> simple(new CGIS_MapBorderSimple());
  simple->SetName("simple");
  WriteSeed("simple.bin", md::test::Stored(simple.get()));
  Owned<CGIS_MapBorderCalibrated> cal(new CGIS_MapBorderCalibrated());
  cal->SetAlternating(true);
  cal->SetInterval(1);
  WriteSeed("calibrated_interval1.bin", md::test::Stored(cal.get()));
  Owned<CGIS_MapBorderPattern> pattern(new CGIS_MapBorderPattern());
  pattern->SetTopSymbolPtr(red.get());
  pattern->SetLeftTopSymbolPtr(red.get());
  pattern->SetTopScale(1e-6);
  WriteSeed("pattern_tiny_scale.bin", md::test::Stored(pattern.get()));
  Owned<CGIS_MapBorderManager> manager(new CGIS_MapBorderManager());
  manager->SetMapBorder(pattern.get());
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  manager->Save(b);
  WriteSeed("manager.bin", std::vector<BYTE>(b->GetData(), b->GetData() + b->GetSize()));
  b->Release();
  const fs::path lib = fs::path(MD_TEST_OUTPUT_DIR) / "mapborder-seed.ets";
  CGIS_MapBorderLibrary library;
  library.AddMapBorder(simple.get());
  library.AddMapBorder(cal.get());
  library.AddMapBorder(pattern.get());
  fs::create_directories(lib.parent_path());
  ASSERT_TRUE(library.Save(lib.string()));
  const std::vector<unsigned char> bytes = md::test::fuzz::ReadInput(lib);
  WriteSeed("library.bin", std::vector<BYTE>(bytes.begin(), bytes.end()));
}

// The bytes as a stored border manager and as a border library file.
void FeedManagerAndLibrary(const std::vector<unsigned char>& bytes) {
  IGIS_DataBuffer* buffer = md::test::BufferOf(std::vector<BYTE>(bytes.begin(), bytes.end()));
  Owned<CGIS_MapBorderManager> manager(new CGIS_MapBorderManager());
  manager->Open(buffer);
  Owned<IGIS_MapBorderManager> copy(manager->Clone());
  buffer->Release();
  const fs::path path = fs::path(MD_TEST_OUTPUT_DIR) / "mapborder-input.ets";
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  CGIS_MapBorderLibrary library;
  library.Load(path.string());
  library.Save(path.string() + ".out");
}

TEST(MapBorderStoredInput, SeedsAndCrashInputsReadWithoutHarm) {
  const char* update = std::getenv("MAPDECK_UPDATE_SEEDS");
  if (update != nullptr && std::string(update) == "1") WriteSeeds();
  int n = 0;
  for (const char* folder : {"corpus", "regressions"}) {
    for (const fs::path& p : md::test::fuzz::Inputs(folder, "mapborder")) {
      const std::vector<unsigned char> bytes = md::test::fuzz::ReadInput(p);
      md::test::mapborderinput::Feed(bytes.data(), bytes.size());
      FeedManagerAndLibrary(bytes);
      ++n;
    }
  }
  EXPECT_GE(n, 5);
  // Damaged forms of every seed: cut short at several places.
  for (const fs::path& p : md::test::fuzz::Inputs("corpus", "mapborder")) {
    const std::vector<unsigned char> bytes = md::test::fuzz::ReadInput(p);
    for (std::size_t cut :
         {std::size_t{0}, std::size_t{1}, bytes.size() / 3, bytes.size() / 2, bytes.size() - 1}) {
      md::test::mapborderinput::Feed(bytes.data(), cut);
      FeedManagerAndLibrary(std::vector<unsigned char>(bytes.begin(), bytes.begin() + cut));
    }
  }
}

}  // namespace
