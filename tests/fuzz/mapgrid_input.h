// One input of the map grids' stored-state readers, reached through the
// library's exports and the grid interface: the bytes as a stored grid
// rebuilt by the grid factory, and opened by a grid of every kind the
// factory makes. What a grid read is stored again, and the stored form of
// that is stable: read into a new grid of its kind and stored once more it
// gives the same bytes; its clone stores them too. Shared by the fuzz target
// and the regular test that replays seeds and crash inputs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "tests/fuzz/fuzz_check.h"

namespace md::test::mapgridinput {

inline void CheckStable(IGIS_MapGrid* grid) {
  using md::test::fuzz::BytesWritten;
  const std::vector<std::uint8_t> first = BytesWritten([&](IGIS_DataBuffer* b) { return grid->Save(b); });
  IGIS_MapGrid* again = GIS_CreateMapGridPropertyObject(grid->GetType());
  md::test::fuzz::Check(again != nullptr);
  IGIS_DataBuffer* b = md::test::fuzz::BufferOf(first.data(), first.size());
  md::test::fuzz::Check(again->Open(b));
  b->Release();
  md::test::fuzz::Check(BytesWritten([&](IGIS_DataBuffer* out) { return again->Save(out); }) == first);
  IGIS_MapGrid* clone = again->Clone();
  md::test::fuzz::Check(clone != nullptr && clone->GetType() == grid->GetType());
  md::test::fuzz::Check(BytesWritten([&](IGIS_DataBuffer* out) { return clone->Save(out); }) == first);
  clone->Release();
  again->Release();
}

inline void Feed(const std::uint8_t* data, std::size_t size) {
  IGIS_DataBuffer* bytes = md::test::fuzz::BufferOf(data, size);
  if (IGIS_MapGrid* rebuilt = GIS_CreateMapGridPropertyObjectFromBuffer(bytes)) {
    CheckStable(rebuilt);
    rebuilt->Release();
  }
  for (int type = 0; type <= 3; ++type) {
    IGIS_MapGrid* grid = GIS_CreateMapGridPropertyObject(type);
    if (grid == nullptr) continue;
    grid->Open(bytes);
    CheckStable(grid);
    grid->Release();
  }
  bytes->Release();
}

}  // namespace md::test::mapgridinput
