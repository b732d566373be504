// The graticules of fixed rows and columns among the seeds of the stored
// grids' fuzz target, written from real grids when MD_WRITE_FUZZ_CORPUS is
// set, and read through the grid readers whole and cut short (the grid
// folder's tests replay every seed too).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/graphicelement/grid/graticulemn/cgis_graticulemngrid.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/mapgrid_input.h"
#include "tests/layout/graphicelement/grid/grid/gridtest.h"
#include "tests/support/dmslabeldouble.h"

namespace {

using md::test::Owned;

std::vector<std::uint8_t> Seed(IGIS_MapGrid* grid) {
  const std::vector<BYTE> bytes = md::test::Stored(grid);
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void WriteSeeds() {
  Owned<CGIS_GraticuleMNGrid> plain(new CGIS_GraticuleMNGrid());
  md::test::fuzz::WriteSeed("mapgrid", "fixedgraticule.bin", Seed(plain.get()));
  // Marks, 20 columns and one row, odd ticks, a label and no border.
  Owned<CGIS_GraticuleMNGrid> edited(new CGIS_GraticuleMNGrid());
  edited->SetLatitudeCount(20);
  edited->SetLongitudeCount(1);
  edited->SetGridlineType(GIS_GRIDLINE_MARKS);
  edited->SetSubTickCount(2147483647);
  edited->SetTickLength(-1e9);
  edited->SetTickDivision(1000000);
  edited->SetBorder(nullptr);
  Owned<md::test::DmsLabelDouble> label(new md::test::DmsLabelDouble());
  edited->SetLabelFormat(label.get());
  md::test::fuzz::WriteSeed("mapgrid", "fixedgraticule_edited.bin", Seed(edited.get()));
}

TEST(GraticuleMNStoredInput, SeedsOfRealGridsReadWithoutHarm) {
  WriteSeeds();
  int n = 0;
  for (const md::test::fuzz::Input& in : md::test::fuzz::AllInputs("mapgrid")) {
    if (in.file.find("/fixedgraticule") == std::string::npos) continue;
    const std::vector<std::uint8_t>& bytes = in.bytes;
    for (std::size_t cut : {bytes.size(), bytes.size() / 3, bytes.size() / 2, bytes.size() - 1})
      md::test::mapgridinput::FeedGrid(bytes.data(), cut);
    // Whole, the factory rebuilds the kind with its counts.
    Owned<IGIS_DataBuffer> b(md::test::BufferOf(std::vector<BYTE>(bytes.begin(), bytes.end())));
    Owned<IGIS_MapGrid> rebuilt(GIS_CreateMapGridPropertyObjectFromBuffer(b.get()));
    auto* grid = dynamic_cast<IGIS_GraticuleMNGrid*>(rebuilt.get());
    ASSERT_NE(grid, nullptr) << in.file;
    const bool edited = in.file.find("edited") != std::string::npos;
    EXPECT_EQ(grid->GetLatitudeCount(), edited ? 20 : 4) << in.file;
    EXPECT_EQ(grid->GetLongitudeCount(), edited ? 1 : 4) << in.file;
    ++n;
  }
  EXPECT_EQ(n, 2);
}

}  // namespace
