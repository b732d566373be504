// Storing and reading a grid as the benchmarks of whole sheets time it.
#pragma once

#include <benchmark/benchmark.h>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"

namespace md::bench {

// The grid's Save into a new data buffer and a new grid rebuilt from those
// bytes, once per iteration ("bytes": their size).
inline void TimeGridStoreRead(benchmark::State& state, IGIS_MapGrid* grid) {
  int bytes = 0;
  for (auto _ : state) {
    md::basilo::ReleasePtr<IGIS_DataBuffer> buffer(GIS_CreateDataBufferObject(0));
    grid->Save(buffer.get());
    md::basilo::ReleasePtr<IGIS_MapGrid> read(GIS_CreateMapGridPropertyObjectFromBuffer(buffer.get()));
    if (!read) state.SkipWithError("grid not read");
    bytes = buffer->GetSize();
  }
  state.counters["bytes"] = bytes;
}

}  // namespace md::bench
