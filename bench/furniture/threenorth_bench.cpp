// ThreeNorth/StoreRead: Archive(0), then Archive(1) reading it back, of the
// map sheet's three-north diagram measured with FreeType: what saving and
// reading a page do for each diagram. Its instructions a call: run
//   valgrind --tool=callgrind --collect-atstart=no
//     --toggle-collect='*StoreAndReadOnce*' bench_furniture --benchmark_min_time=2
// and divide by the calls of StoreAndReadOnce (callgrind_annotate --tree=caller).
#include <benchmark/benchmark.h>

#include <cstring>

#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/furniture/igis_threenorthelement.h"

namespace {

using md::basilo::ReleasePtr;

// One store and one read, apart so that callgrind can count them.
[[gnu::noinline]] bool StoreAndReadOnce(IGIS_Element* e) { return e->Archive(0, 0) && e->Archive(1, 0); }

// A diagram on a page, set up as the map sheet sets up its own.
void ThreeNorthStoreRead(benchmark::State& state) {
  GIS_SetSymbolTextEngine("freetype");
  md::layout::InstallElementHooks();
  ReleasePtr<IGIS_SpatialReference> page(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0));
  ReleasePtr<IGIS_FeatureSet> set(GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr));
  set->GetFeatureClass()->SetSpatialReference(page.get());
  auto* diagram =
      dynamic_cast<IGIS_ThreeNorthElement*>(set->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH));
  if (diagram == nullptr) return state.SkipWithError("no diagram");
  IGIS_SymbolFactory* symbols = GIS_GetSymbolFactoryObject();
  ReleasePtr<IGIS_Symbol> font(symbols->CreateSymbol(GIS_SYMBOL_TEXT));
  if (LOGFONT* lf = font->GetFontSizePtr()) {
    lf->lfHeight = -7;
    std::strncpy(lf->lfFaceName, "宋体", sizeof(lf->lfFaceName) - 1);
  }
  ReleasePtr<IGIS_Symbol> line(symbols->CreateSymbol(GIS_SYMBOL_LINE));
  line->SetCode(0xD03);
  line->SetLineWidth(0.15);
  diagram->SetAxisTextSymbolPtr(font.get());
  diagram->SetAngleTextSymbolPtr(font.get());
  diagram->SetAxisLineSymbolPtr(line.get());
  diagram->SetAngleLineSymbolPtr(line.get());
  diagram->SetCoordinateAngle(-0.35);
  diagram->SetMagnetAngle(-6.8);
  diagram->SetAxisLength(3200);
  diagram->SetTxtOffset(150);
  diagram->SetAngle(36);
  diagram->Refresh();
  for (auto _ : state)
    if (!StoreAndReadOnce(diagram)) state.SkipWithError("not stored and read");
}
BENCHMARK(ThreeNorthStoreRead)->Name("ThreeNorth/StoreRead")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
