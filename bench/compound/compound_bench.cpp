// A page of 40 compounds, two a level over 20 levels, each listing both
// compounds of the next level, and one rectangle under the last level: a
// 13 KB page whose full walk visits a million members. Every walk of it from
// the top is cut short by the walk's budget and fails; the copy also makes
// and then deletes elements as it goes. The counter "elements" is the number
// of elements on the page after the walk (the copy leaves none behind).
#include <benchmark/benchmark.h>

#include <vector>

#include "host/featra/igis_feature.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"

namespace {

constexpr int kLevels = 20;

class Lattice {
 public:
  Lattice() {
    md::layout::InstallElementHooks();
    set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
    std::vector<IGIS_CompoundElement*> level{Make(), Make()};
    top_ = level[0];
    for (int i = 1; i < kLevels; ++i) {
      const std::vector<IGIS_CompoundElement*> next{Make(), Make()};
      for (IGIS_CompoundElement* c : level) c->AddElement(next[0]), c->AddElement(next[1]);
      level = next;
    }
    IGIS_Element* leaf = set_->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_RECT");
    leaf->SetRect(SGIS_Rect(0, 10, 10, 0));
    level[0]->AddElement(leaf);
  }
  ~Lattice() { set_->Release(); }  // the set ends the elements it made
  Lattice(const Lattice&) = delete;
  Lattice& operator=(const Lattice&) = delete;

  IGIS_CompoundElement* top() { return top_; }
  int count() { return set_->GetFeatureCount(); }

 private:
  IGIS_CompoundElement* Make() {
    return dynamic_cast<IGIS_CompoundElement*>(set_->CreateElement("GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND"));
  }

  IGIS_FeatureSet* set_ = nullptr;
  IGIS_CompoundElement* top_ = nullptr;
};

void Elements(benchmark::State& state, Lattice& lattice) { state.counters["elements"] = lattice.count(); }

void Move(benchmark::State& state) {
  Lattice lattice;
  for (auto _ : state) lattice.top()->OffsetAllPoints(1, 1);
  Elements(state, lattice);
}

void Measure(benchmark::State& state) {
  Lattice lattice;
  for (auto _ : state) benchmark::DoNotOptimize(lattice.top()->GetRect());
  Elements(state, lattice);
}

void Copy(benchmark::State& state) {
  Lattice lattice;
  for (auto _ : state) benchmark::DoNotOptimize(lattice.top()->Clone());
  Elements(state, lattice);
}

BENCHMARK(Move)->Unit(benchmark::kMillisecond);
BENCHMARK(Measure)->Unit(benchmark::kMillisecond);
BENCHMARK(Copy)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
