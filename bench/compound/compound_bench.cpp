// A move, a measure and a copy of a page of 40 compounds, two a level over 20
// levels, each listing both compounds of the next level, and one rectangle
// under the last: a 13 KB page whose full walk visits a million members. Each
// walk is cut short by its budget and fails; the copy makes and deletes
// elements as it goes, in about the time of the others. "elements" counts the
// page's elements after the walks (the copy leaves none).
#include <benchmark/benchmark.h>

#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"

namespace {

// Arg: 0 a move, 1 a measure, 2 a copy.
void Walk(benchmark::State& state) {
  md::layout::InstallElementHooks();
  // The set ends the elements it made.
  md::basilo::ReleasePtr<IGIS_FeatureSet> set(
      GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr));
  const auto make = [&set] {
    return dynamic_cast<IGIS_CompoundElement*>(set->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND"));
  };
  std::vector<IGIS_CompoundElement*> level{make(), make()};
  IGIS_CompoundElement* top = level[0];
  for (int i = 1; i < 20; ++i) {
    const std::vector<IGIS_CompoundElement*> next{make(), make()};
    for (IGIS_CompoundElement* c : level) c->AddElement(next[0]), c->AddElement(next[1]);
    level = next;
  }
  IGIS_Element* leaf = set->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_RECT");
  leaf->SetRect(SGIS_Rect(0, 10, 10, 0));
  level[0]->AddElement(leaf);
  for (auto _ : state) {
    if (state.range(0) == 0) top->OffsetAllPoints(1, 1);
    if (state.range(0) == 1) benchmark::DoNotOptimize(top->GetRect());
    if (state.range(0) == 2) benchmark::DoNotOptimize(top->Clone());
  }
  state.counters["elements"] = set->GetFeatureCount();
}

BENCHMARK(Walk)->ArgName("move_measure_copy")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
