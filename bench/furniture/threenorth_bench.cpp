// The three-north diagram of the map sheet (its fonts, lines, angles,
// lengths and text offset), measured with the FreeType engine as a page
// measures it:
//   ThreeNorth/StoreRead  Archive(0), then Archive(1) reading it back: what
//                         saving and reading a page do for each diagram.
// Its instructions a call under callgrind: run
//   valgrind --tool=callgrind --collect-atstart=no
//     --toggle-collect='*StoreAndReadOnce*' bench_furniture --benchmark_min_time=2
// and divide the instructions collected by the calls of StoreAndReadOnce
// that callgrind_annotate --tree=caller shows (a call stores and reads).
#include <benchmark/benchmark.h>

#include <cstring>

#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/furniture/igis_threenorthelement.h"

namespace {

// A page holding one diagram set up as the map sheet sets up its own.
class ThreeNorthScene {
 public:
  ThreeNorthScene() {
    GIS_SetSymbolTextEngine("freetype");
    md::layout::InstallElementHooks();
    set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
    page_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
    set_->GetFeatureClass()->SetSpatialReference(page_);
    diagram_ =
        dynamic_cast<IGIS_ThreeNorthElement*>(set_->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH));
    if (diagram_ == nullptr) return;
    IGIS_SymbolFactory* symbols = GIS_GetSymbolFactoryObject();
    md::basilo::ReleasePtr<IGIS_Symbol> font(symbols->CreateSymbol(GIS_SYMBOL_TEXT));
    if (LOGFONT* lf = font->GetFontSizePtr()) {
      lf->lfHeight = -7;
      std::strncpy(lf->lfFaceName, "宋体", sizeof(lf->lfFaceName) - 1);
    }
    diagram_->SetAxisTextSymbolPtr(font.get());
    diagram_->SetAngleTextSymbolPtr(font.get());
    md::basilo::ReleasePtr<IGIS_Symbol> line(symbols->CreateSymbol(GIS_SYMBOL_LINE));
    line->SetCode(0xD03);
    line->SetLineWidth(0.15);
    diagram_->SetAxisLineSymbolPtr(line.get());
    diagram_->SetAngleLineSymbolPtr(line.get());
    diagram_->SetCoordinateAngle(-0.35);
    diagram_->SetMagnetAngle(-6.8);
    diagram_->SetAxisLength(3200);
    diagram_->SetTxtOffset(150);
    diagram_->SetAngle(36);
    diagram_->Refresh();
  }
  ~ThreeNorthScene() {
    set_->Release();
    page_->Release();
  }
  IGIS_Element* diagram() { return diagram_; }

 private:
  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* page_ = nullptr;
  IGIS_ThreeNorthElement* diagram_ = nullptr;
};

// One store and one read, apart so that callgrind can count them.
[[gnu::noinline]] bool StoreAndReadOnce(IGIS_Element* e) { return e->Archive(0, 0) && e->Archive(1, 0); }

void ThreeNorthStoreRead(benchmark::State& state) {
  ThreeNorthScene scene;
  if (scene.diagram() == nullptr) {
    state.SkipWithError("no diagram");
    return;
  }
  for (auto _ : state) {
    if (!StoreAndReadOnce(scene.diagram())) state.SkipWithError("not stored and read");
  }
}
BENCHMARK(ThreeNorthStoreRead)->Name("ThreeNorth/StoreRead")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
