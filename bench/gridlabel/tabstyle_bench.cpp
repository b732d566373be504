// The four index tab styles on a 20 x 20 index grid round an A3 map frame
// (380 x 257 mm), printed at 300 dpi:
//
//   Tabs/Draw/<type>      the style's drawing with its texts hidden: each
//                         ring through the view to device points and the
//                         renderer (fill, then outline), inside the element
//                         clip;
//   Tabs/RawCairo/<type>  the same rings (recorded once from the drawing,
//                         with their colours, pen widths and clip) filled
//                         and stroked straight into a cairo raster of the
//                         same size;
//   Tabs/DrawAll/<type>   the whole drawing: the rings and the 80
//                         designations through the annotation drawer;
//   Tabs/Convert/<type>   the conversion: a polygon and a polyline a ring and
//                         the compound of the 80 texts (the compound is
//                         dropped outside the timing); items are elements.
//
// type is the style's code: 4 background, 5 button, 6 continuous,
// 7 rounded. The ratio Draw / RawCairo of each style is printed at the end.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/benchpage.h"
#include "bench/ratio_reporter.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/grid/grid/igis_indexgrid.h"
#include "layout/graphicelement/grid/grid/igis_indexgridtabstyle.h"
#include "layout/graphicelement/grid/label/cgis_gridlabelbase.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/canvas/cairo_canvas.h"

namespace {

constexpr int kDpi = 300;
constexpr double kPaperWidthMm = 420.0, kPaperHeightMm = 297.0;  // A3 landscape
const SGIS_Rect kFrame(2000, 27700, 40000, 2000);
constexpr int kCells = 20;

// A page with the frame and one index grid of 20 x 20 cells per style.
struct Scene {
  Scene() {
    md::layout::InstallElementHooks();
    GIS_SetSymbolTextEngine("fixed");
    set = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
    page = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
    set->GetFeatureClass()->SetSpatialReference(page);
    frame = dynamic_cast<IGIS_MapElement*>(set->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_MAP));
    frame->SetRect(kFrame);
    for (int type = GIS_GRIDLABEL_INDEX_BACKGROUND; type <= GIS_GRIDLABEL_INDEX_ROUNDED; ++type) {
      auto* grid = dynamic_cast<IGIS_IndexGrid*>(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_INDEX));
      grid->SetMapElement(frame);
      grid->SetColumnCount(kCells);
      grid->SetRowCount(kCells);
      IGIS_GridLabel* style = GIS_CreateMapGridLabelFormatObject(type);
      grid->SetLabelFormat(style);
      style->Release();
      grids[type - GIS_GRIDLABEL_INDEX_BACKGROUND] = grid;
    }
  }
  IGIS_GridLabel* Style(int type) const {
    return grids[type - GIS_GRIDLABEL_INDEX_BACKGROUND]->GetLabelFormat();
  }
  // Shows or hides the designations of every side.
  static void ShowTexts(IGIS_GridLabel* style, bool show) {
    dynamic_cast<md::layout::label::GridLabelState&>(*style).SetLabelVisible(show, show, show, show);
  }

  IGIS_FeatureSet* set = nullptr;
  IGIS_SpatialReference* page = nullptr;
  IGIS_MapElement* frame = nullptr;
  IGIS_IndexGrid* grids[4] = {};
};

Scene& TheScene() {
  static Scene* scene = new Scene();  // kept for the program's life
  return *scene;
}

std::unique_ptr<md::canvas::CairoCanvas> NewRaster() {
  return md::canvas::CairoCanvas::createPageImage(kPaperWidthMm, kPaperHeightMm, kDpi);
}

void Draw(benchmark::State& state, bool bTexts) {
  IGIS_GridLabel* style = TheScene().Style(static_cast<int>(state.range(0)));
  Scene::ShowTexts(style, bTexts);
  auto canvas = NewRaster();
  BenchPrinter printer(canvas.get(), kDpi, kPaperWidthMm, kPaperHeightMm);
  for (auto _ : state) style->OnDraw(printer.hdc, true, printer.display.get());
  Scene::ShowTexts(style, true);
}

void TabsDraw(benchmark::State& state) { Draw(state, false); }
void TabsDrawAll(benchmark::State& state) { Draw(state, true); }

// The drawing's rings, recorded once, filled and stroked straight into
// cairo with the clip, colours and pen widths each had.
void TabsRawCairo(benchmark::State& state) {
  IGIS_GridLabel* style = TheScene().Style(static_cast<int>(state.range(0)));
  auto sizer = NewRaster();
  TimeRecordedShapesInCairo(
      state, sizer->width(), sizer->height(),
      [style](md::canvas::Canvas* recording) {
        Scene::ShowTexts(style, false);
        BenchPrinter printer(recording, kDpi, kPaperWidthMm, kPaperHeightMm);
        style->OnDraw(printer.hdc, true, printer.display.get());
        Scene::ShowTexts(style, true);
      },
      "shapes");
}

// The elements of a compound, its nested compounds' members counted too.
int CountElements(IGIS_CompoundElement* c) {
  int n = 0;
  for (int i = 0; i < c->GetElementCount(); ++i) {
    auto* nested = dynamic_cast<IGIS_CompoundElement*>(c->GetElementPtrByIndex(i));
    n += nested != nullptr ? CountElements(nested) : 1;
  }
  return n;
}

void TabsConvert(benchmark::State& state) {
  IGIS_GridLabel* style = TheScene().Style(static_cast<int>(state.range(0)));
  std::int64_t elements = 0;
  for (auto _ : state) {
    auto* c = dynamic_cast<IGIS_CompoundElement*>(style->ConvertToElement());
    state.PauseTiming();
    elements = c != nullptr ? CountElements(c) : 0;
    DropCompound(c);
    state.ResumeTiming();
  }
  state.counters["elements"] = static_cast<double>(elements);
  state.SetItemsProcessed(state.iterations() * elements);
}

void Types(benchmark::internal::Benchmark* b) {
  for (int type = GIS_GRIDLABEL_INDEX_BACKGROUND; type <= GIS_GRIDLABEL_INDEX_ROUNDED; ++type) b->Arg(type);
}

BENCHMARK(TabsDraw)->Name("Tabs/Draw")->Apply(Types)->Unit(benchmark::kMicrosecond);
BENCHMARK(TabsRawCairo)->Name("Tabs/RawCairo")->Apply(Types)->Unit(benchmark::kMicrosecond);
BENCHMARK(TabsDrawAll)->Name("Tabs/DrawAll")->Apply(Types)->Unit(benchmark::kMicrosecond);
BENCHMARK(TabsConvert)->Name("Tabs/Convert")->Apply(Types)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  RatioReporter* reporter = nullptr;
  if (!RunBenchmarks(argc, argv, &reporter, "0.05")) return 1;
  const char* names[] = {"background", "button", "continuous", "rounded"};
  for (int type = GIS_GRIDLABEL_INDEX_BACKGROUND; type <= GIS_GRIDLABEL_INDEX_ROUNDED; ++type) {
    const std::string arg = std::to_string(type);
    const std::string label =
        std::string(names[type - GIS_GRIDLABEL_INDEX_BACKGROUND]) + " tabs, Draw / RawCairo";
    reporter->PrintRatio("Tabs/Draw/" + arg, "Tabs/RawCairo/" + arg, label.c_str(), 2.0);
  }
  return 0;
}
