// ThreeNorth/StoreRead: Archive(0), then Archive(1) reading it back, of the
// three-north diagram of the map sheet page, measured with FreeType: what
// saving and reading a page do for each diagram. Its instructions a call: run
//   valgrind --tool=callgrind --collect-atstart=no
//     --toggle-collect='*StoreAndReadOnce*' bench_furniture --benchmark_min_time=2
// and divide by the calls of StoreAndReadOnce (callgrind_annotate --tree=caller).
#include <benchmark/benchmark.h>

#include <vector>

#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/furniture/igis_threenorthelement.h"
#include "tools/demo/mapsheet.h"
#include "tools/demo/samplepage.h"

namespace {

// One store and one read, apart so that callgrind can count them.
[[gnu::noinline]] bool StoreAndReadOnce(IGIS_Element* e) { return e->Archive(0, 0) && e->Archive(1, 0); }

void ThreeNorthStoreRead(benchmark::State& state) {
  GIS_SetSymbolTextEngine("freetype");
  md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  const auto page = doc.ok() ? md::demo::BuildMapSheetPage(doc, nullptr) : nullptr;
  IGIS_Element* diagram = nullptr;
  for (IGIS_Element* e : page != nullptr ? page->elements() : std::vector<IGIS_Element*>())
    if (dynamic_cast<IGIS_ThreeNorthElement*>(e) != nullptr) diagram = e;
  if (diagram == nullptr) return state.SkipWithError("no diagram");
  for (auto _ : state)
    if (!StoreAndReadOnce(diagram)) state.SkipWithError("not stored and read");
}
BENCHMARK(ThreeNorthStoreRead)->Name("ThreeNorth/StoreRead")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
