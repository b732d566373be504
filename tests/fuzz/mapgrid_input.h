// One input of the map grids' stored-state readers, reached through the
// library's exports and the grid interface: the bytes as a stored grid
// rebuilt by the grid factory, and opened by a grid of every kind the
// factory makes. What a grid read is stored again, and the stored form of
// that is stable: read back and stored once more it gives the same bytes.
// Shared by the fuzz target and the regular test that replays seeds and
// crash inputs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "tests/fuzz/fuzz_check.h"

namespace md::test::mapgridinput {

// The bytes the grid's Save leaves in a new buffer.
inline std::vector<std::uint8_t> Saved(IGIS_MapGrid* grid) {
  return md::test::fuzz::BytesWritten([&](IGIS_DataBuffer* b) {
    grid->Save(b);
    return true;
  });
}

// Stores the grid, reads that into a new grid of its kind and stores it
// again: both stored forms match, and so does a clone's.
inline void CheckStable(IGIS_MapGrid* grid) {
  const std::vector<std::uint8_t> first = Saved(grid);
  IGIS_MapGrid* again = GIS_CreateMapGridPropertyObject(grid->GetType());
  md::test::fuzz::Check(again != nullptr);
  IGIS_DataBuffer* b = md::test::fuzz::BufferOf(first.data(), first.size());
  md::test::fuzz::Check(again->Open(b));
  b->Release();
  md::test::fuzz::Check(Saved(again) == first);
  IGIS_MapGrid* clone = again->Clone();
  md::test::fuzz::Check(clone != nullptr && Saved(clone) == first);
  clone->Release();
  again->Release();
}

inline void Feed(const std::uint8_t* data, std::size_t size) {
  IGIS_DataBuffer* bytes = md::test::fuzz::BufferOf(data, size);
  if (IGIS_MapGrid* rebuilt = GIS_CreateMapGridPropertyObjectFromBuffer(bytes)) {
    CheckStable(rebuilt);
    rebuilt->Release();
  }
  for (int kind = GIS_MAPGRID_GRATICULE; kind <= GIS_MAPGRID_GRATICULE_MN; ++kind) {
    IGIS_MapGrid* grid = GIS_CreateMapGridPropertyObject(kind);
    if (grid == nullptr) continue;
    grid->Open(bytes);
    CheckStable(grid);
    grid->Release();
  }
  bytes->Release();
}

}  // namespace md::test::mapgridinput
