// The fuzz seeds and crash inputs of the map grids' stored-state readers,
// replayed whole and cut short. With MAPDECK_UPDATE_SEEDS=1 the seeds are
// first written from real graticules.
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

TEST(MapGridStoredInput, SeedsAndCrashInputsReadWithoutHarm) {
  const char* update = std::getenv("MAPDECK_UPDATE_SEEDS");
  if (update != nullptr && std::string(update) == "1") WriteSeeds();
  int n = 0;
  for (const char* folder : {"corpus", "regressions"}) {
    for (const fs::path& p : md::test::fuzz::Inputs(folder, "mapgrid")) {
      const std::vector<unsigned char> bytes = md::test::fuzz::ReadInput(p);
      mapgridinput::Feed(bytes.data(), bytes.size());
      ++n;
    }
  }
  EXPECT_GE(n, 2);
  for (const fs::path& p : md::test::fuzz::Inputs("corpus", "mapgrid")) {
    const std::vector<unsigned char> bytes = md::test::fuzz::ReadInput(p);
    for (std::size_t cut :
         {std::size_t{0}, std::size_t{1}, bytes.size() / 3, bytes.size() / 2, bytes.size() - 1}) {
      mapgridinput::Feed(bytes.data(), cut);
    }
  }
}

}  // namespace
}  // namespace md::test
