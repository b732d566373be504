// The fuzz seeds and crash inputs of the map grids' stored-state readers,
// replayed whole and cut short. With MAPDECK_UPDATE_SEEDS=1 the seeds are
// first written from real measured grids.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/measure/cgis_measuregrid.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/mapgrid_input.h"
#include "tests/layout/graphicelement/grid/grid/gridtest.h"

namespace {

namespace fs = std::filesystem;
using Grid = md::basilo::ReleasePtr<IGIS_MeasureGrid>;

void WriteSeed(const char* name, const std::vector<BYTE>& bytes) {
  const fs::path dir = fs::path(MD_SOURCE_DIR) / "tests" / "fuzz" / "corpus" / "mapgrid";
  fs::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void WriteSeeds() {
  Grid plain(new CGIS_MeasureGrid());
  WriteSeed("measure.bin", md::test::Stored(plain.get()));
  // Marks, kilometres, a zone-prefixed reference, odd ticks and no label.
  Grid edited(new CGIS_MeasureGrid());
  IGIS_GridSpacing* s = edited->GetGridSpacing();
  s->SetUnits(1);
  s->SetXIntervalSize(0.5);
  s->SetYIntervalSize(-2.0);
  s->SetXOrigin(1e300);
  s->SetFixedOrigin(true);
  md::basilo::ReleasePtr<IGIS_SpatialReference> zone40(
      GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 3, 40, TRUE));
  edited->SetSpatialReference(zone40.get());
  edited->SetGridlineType(GIS_GRIDLINE_MARKS);
  edited->SetSubTickCount(2147483647);
  edited->SetTickLength(-1e9);
  edited->SetTickDivision(1000000);
  edited->SetLabelFormat(nullptr);
  edited->SetName("公里网");
  WriteSeed("measure_edited.bin", md::test::Stored(edited.get()));
}

TEST(MapGridStoredInput, SeedsAndCrashInputsReadWithoutHarm) {
  const char* update = std::getenv("MAPDECK_UPDATE_SEEDS");
  if (update != nullptr && std::string(update) == "1") WriteSeeds();
  int n = 0;
  for (const char* folder : {"corpus", "regressions"}) {
    for (const fs::path& p : md::test::fuzz::Inputs(folder, "mapgrid")) {
      const std::vector<unsigned char> bytes = md::test::fuzz::ReadInput(p);
      md::test::mapgridinput::Feed(bytes.data(), bytes.size());
      ++n;
    }
  }
  EXPECT_GE(n, 2);
  for (const fs::path& p : md::test::fuzz::Inputs("corpus", "mapgrid")) {
    const std::vector<unsigned char> bytes = md::test::fuzz::ReadInput(p);
    for (std::size_t cut :
         {std::size_t{0}, std::size_t{1}, bytes.size() / 3, bytes.size() / 2, bytes.size() - 1}) {
      md::test::mapgridinput::Feed(bytes.data(), cut);
    }
  }
}

}  // namespace
