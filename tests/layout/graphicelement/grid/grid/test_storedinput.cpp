// The fuzz seeds and crash inputs of the map grids' stored-state readers
// (a grid, the grid list, the spacing, the grid border), each replayed
// whole and cut short through every reader. With MAPDECK_UPDATE_SEEDS=1 the
// seeds are first written from real objects.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "layout/graphicelement/grid/grid/cgis_gridspacing.h"
#include "layout/graphicelement/grid/grid/cgis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_indexgrid.h"
#include "layout/graphicelement/grid/gridborder/cgis_mapgridborder.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/mapgrid_input.h"
#include "tests/layout/graphicelement/grid/grid/gridtest.h"

namespace {

namespace fs = std::filesystem;
using md::test::Owned;
using md::test::TestKindGrid;

void WriteSeed(const char* target, const char* name, const std::vector<BYTE>& bytes) {
  const fs::path dir = fs::path(MD_SOURCE_DIR) / "tests" / "fuzz" / "corpus" / target;
  fs::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void WriteSeeds() {
  Owned<TestKindGrid> plain(new TestKindGrid());
  WriteSeed("mapgrid", "common.bin", md::test::Stored(plain.get()));
  Owned<TestKindGrid> edited(new TestKindGrid());
  edited->SetName("经纬网 1");
  edited->SetGridlineType(GIS_GRIDLINE_MARKS);
  edited->SetTickDivision(1000000);
  edited->SetTickLength(-1e300);
  edited->SetSubTickCount(2147483647);
  edited->GetBorder()->SetBorderType(1);
  edited->GetBorder()->SetAlternating(true);
  edited->GetBorder()->SetInterval(20);
  edited->GetBorder()->SetBorderWidth(-200);
  WriteSeed("mapgrid", "edited.bin", md::test::Stored(edited.get()));
  // A list of two grids of a kind without a class, stored as written back.
  Owned<CGIS_MapGrids> list(new CGIS_MapGrids());
  list->AddMapGrid(plain->Clone());
  list->AddMapGrid(edited->Clone());
  WriteSeed("mapgrids", "two.bin", md::test::Stored(list.get()));
  Owned<CGIS_GridSpacing> spacing(new CGIS_GridSpacing());
  spacing->SetUnitsType(GIS_GRIDSPACING_UNITS_ANGULAR);
  spacing->SetUnits(1);
  spacing->SetXIntervalSize(1e-12);
  WriteSeed("gridspacing", "angular.bin", md::test::Stored(spacing.get()));
  // Index grids: the defaults in a calibrated band, and counts and a band
  // far beyond what a frame can show.
  Owned<IGIS_IndexGrid> index(
      dynamic_cast<IGIS_IndexGrid*>(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_INDEX)));
  index->GetBorder()->SetBorderType(1);
  WriteSeed("mapgrid", "index.bin", md::test::Stored(index.get()));
  index->SetColumnCount(2147483647);
  index->SetRowCount(-2147483647 - 1);
  index->SetXYLabelType(false);
  index->SetGridlineType(GIS_GRIDLINE_MARKS);
  index->SetTickLength(1e300);
  index->GetBorder()->SetAlternating(true);
  index->GetBorder()->SetBorderWidth(2147483647);
  WriteSeed("mapgrid", "index_edited.bin", md::test::Stored(index.get()));
  WriteSeed("mapgridborder", "simple.bin", md::test::Stored(plain->GetBorder()));
  WriteSeed("mapgridborder", "alternating.bin", md::test::Stored(edited->GetBorder()));
}

TEST(MapGridStoredInput, SeedsAndCrashInputsReadWithoutHarm) {
  const char* update = std::getenv("MAPDECK_UPDATE_SEEDS");
  if (update != nullptr && std::string(update) == "1") WriteSeeds();
  int n = 0;
  for (const char* target : {"mapgrid", "mapgrids", "gridspacing", "mapgridborder"}) {
    for (const md::test::fuzz::Input& input : md::test::fuzz::AllInputs(target)) {
      const std::vector<std::uint8_t>& bytes = input.bytes;
      // Every reader gets every input, whole and cut short.
      for (std::size_t size : {bytes.size(), bytes.size() / 2, bytes.size() > 0 ? bytes.size() - 1 : 0}) {
        md::test::mapgridinput::FeedGrid(bytes.data(), size);
        md::test::mapgridinput::FeedGridList(bytes.data(), size);
        md::test::mapgridinput::FeedSpacing(bytes.data(), size);
        md::test::mapgridinput::FeedBorder(bytes.data(), size);
      }
      ++n;
    }
  }
  EXPECT_GE(n, 8);
}

}  // namespace
