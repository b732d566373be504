// The measured grids among the seeds of the stored grids' fuzz target
// (which the grid folder's tests replay through every reader): rebuilt by
// the grid factory, each stores back the bytes it was read from. With
// MAPDECK_UPDATE_SEEDS=1 they are first written from real measured grids.
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

TEST(MeasureGridSeeds, ReadBackAsMeasuredGridsThatStoreTheSameBytes) {
  const char* update = std::getenv("MAPDECK_UPDATE_SEEDS");
  if (update != nullptr && std::string(update) == "1") WriteSeeds();
  for (const char* name : {"measure.bin", "measure_edited.bin"}) {
    SCOPED_TRACE(name);
    const std::vector<unsigned char> bytes =
        md::test::fuzz::ReadInput(fs::path(MD_SOURCE_DIR) / "tests" / "fuzz" / "corpus" / "mapgrid" / name);
    ASSERT_FALSE(bytes.empty());
    md::basilo::ReleasePtr<IGIS_DataBuffer> b(
        md::test::BufferOf(std::vector<BYTE>(bytes.begin(), bytes.end())));
    Grid grid(static_cast<IGIS_MeasureGrid*>(GIS_CreateMapGridPropertyObjectFromBuffer(b.get())));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetType(), GIS_MAPGRID_MEASURE);
    EXPECT_EQ(md::test::Stored(grid.get()), std::vector<BYTE>(bytes.begin(), bytes.end()));
  }
}

}  // namespace
