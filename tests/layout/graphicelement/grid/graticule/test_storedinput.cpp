// The graticule's seeds of the map grids' fuzz target, written from real
// graticules when MAPDECK_UPDATE_SEEDS=1, and read through the grid readers
// whole and cut short (the grid base's test replays every seed too).
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "layout/graphicelement/grid/graticule/cgis_graticulegrid.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/mapgrid_input.h"
#include "tests/layout/graphicelement/grid/graticule/graticuletest.h"

namespace md::test {
namespace {

namespace fs = std::filesystem;

void WriteSeed(const char* name, const std::vector<BYTE>& bytes) {
  const fs::path dir = fs::path(MD_SOURCE_DIR) / "tests" / "fuzz" / "corpus" / "mapgrid";
  fs::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void WriteSeeds() {
  Owned<CGIS_GraticuleGrid> plain(new CGIS_GraticuleGrid());
  WriteSeed("graticule.bin", Stored(plain.get()));
  Owned<CGIS_GraticuleGrid> edited(new CGIS_GraticuleGrid());
  edited->SetHatchIntervalX(1.0 / 60);
  edited->SetHatchIntervalY(2.0 / 60);
  edited->SetMainHatchCount(5);
  edited->SetSubHatchLength(INT_MIN);
  edited->SetShowInteriorLabels(true);
  edited->SetInteriorLabelIntervalX(std::nan(""));
  edited->SetInteriorLabelIntervalY(1e300);
  edited->SetGridlineType(GIS_GRIDLINE_MARKS);
  edited->SetTickDivision(7);
  edited->GetGridSpacing()->SetUnits(3);
  edited->GetGridSpacing()->SetXIntervalSize(-5.0);
  edited->SetBorder(nullptr);
  Owned<DmsLabelDouble> label(new DmsLabelDouble());
  edited->SetLabelFormat(label.get());
  WriteSeed("graticule_edited.bin", Stored(edited.get()));
}

TEST(GraticuleStoredInput, SeedsOfRealGraticulesReadWithoutHarm) {
  const char* update = std::getenv("MAPDECK_UPDATE_SEEDS");
  if (update != nullptr && std::string(update) == "1") WriteSeeds();
  int n = 0;
  for (const fs::path& p : md::test::fuzz::Inputs("corpus", "mapgrid")) {
    if (p.filename().string().rfind("graticule", 0) != 0) continue;
    const std::vector<unsigned char> bytes = md::test::fuzz::ReadInput(p);
    for (std::size_t cut : {bytes.size(), bytes.size() / 3, bytes.size() / 2, bytes.size() - 1})
      mapgridinput::FeedGrid(bytes.data(), cut);
    ++n;
  }
  EXPECT_EQ(n, 2);
}

}  // namespace
}  // namespace md::test
