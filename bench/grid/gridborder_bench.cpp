// The grid border's calibrated and alternating bands round the demo sheet's
// map frame (431 x 374 mm), printed at 200 dpi, against raw cairo:
//
//   Band/Draw/<form>/<interval>
//                     the border's Draw: the walk, each piece through the
//                     view to device pixels and the renderer, inside the
//                     element clip;
//   Band/RawCairo/<form>/<interval>
//                     the same filled rings (recorded once from the drawing,
//                     with their colours and the paper's clip) filled
//                     straight into a cairo raster of the same size;
//   Band/Convert/<form>/<interval>
//                     the border's ConvertToElement: one polygon element a
//                     piece in a new compound (the compound is dropped
//                     outside the timing);
//   IndexGrid/Draw, IndexGrid/Convert
//                     a 6 x 6 index grid's lines and ticks over the same
//                     frame (its border simple).
//
// form is 0 calibrated, 1 alternating; the intervals run from 2000 (the
// demo sheet's 20 mm) down to the setter's least, 20, to show how the cost
// grows with the number of pieces. The "pieces" counter is what one
// iteration laid; items per second are pieces (elements) per second. The
// ratio Draw / RawCairo at the sheet's interval is printed at the end.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/benchpage.h"
#include "bench/ratio_reporter.h"
#include "host/display/cgis_printdisplay.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/grid/grid/igis_indexgrid.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace {

constexpr int kDpi = 200;
constexpr double kPaperWidthMm = 594.0, kPaperHeightMm = 420.0;  // A2 landscape, as the demo sheet
// The demo sheet's frame: its lower-left corner and its size at 1:50,000.
const SGIS_Rect kFrame(2300, 2300 + 37400, 2300 + 43100, 2300);
constexpr int kBandWidth = 300;

IGIS_Symbol* Fill(COLORREF colour) {
  IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_FILL);
  s->SetColor(colour);
  s->SetLineWidth(0.0);
  return s;
}

// A layout page with the sheet's frame and an index grid bound to it.
struct Sheet {
  Sheet() {
    md::layout::InstallElementHooks();
    set = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
    page = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
    set->GetFeatureClass()->SetSpatialReference(page);
    frame = dynamic_cast<IGIS_MapElement*>(set->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_MAP));
    frame->SetRect(kFrame);
    grid = dynamic_cast<IGIS_IndexGrid*>(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_INDEX));
    grid->SetMapElement(frame);
    IGIS_Symbol* black = Fill(RGB(0, 0, 0));
    IGIS_Symbol* yellow = Fill(RGB(250, 220, 0));
    grid->GetBorder()->SetBackgroundSymbolPtr(black);
    grid->GetBorder()->SetForegroundSymbolPtr(yellow);
    black->Release();
    yellow->Release();
  }
  // The border as a band of the form and interval.
  IGIS_MapGridBorder* Band(int form, int interval) {
    IGIS_MapGridBorder* b = grid->GetBorder();
    b->SetBorderType(form < 0 ? GIS_GRIDBORDER_SIMPLE : GIS_GRIDBORDER_CALIBRATED);
    b->SetAlternating(form == 1);
    b->SetBorderWidth(kBandWidth);
    b->SetInterval(interval);
    return b;
  }
  IGIS_FeatureSet* set = nullptr;
  IGIS_SpatialReference* page = nullptr;
  IGIS_MapElement* frame = nullptr;
  IGIS_IndexGrid* grid = nullptr;
};

Sheet& TheSheet() {
  static Sheet* sheet = new Sheet();  // kept for the program's life
  return *sheet;
}

// A printer context of the paper drawing into the canvas.
struct Printer : BenchPrinter {
  explicit Printer(md::canvas::Canvas* canvas) : BenchPrinter(canvas, kDpi, kPaperWidthMm, kPaperHeightMm) {}
};

std::unique_ptr<md::canvas::CairoCanvas> NewRaster() {
  return md::canvas::CairoCanvas::createPageImage(kPaperWidthMm, kPaperHeightMm, kDpi);
}

void BandDraw(benchmark::State& state) {
  IGIS_MapGridBorder* border =
      TheSheet().Band(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  auto canvas = NewRaster();
  Printer printer(canvas.get());
  md::canvas::RecordingCanvas count(canvas->width(), canvas->height());
  {
    Printer counting(&count);
    border->Draw(counting.hdc, true, counting.display.get());
  }
  const auto pieces = static_cast<std::int64_t>(count.records().size());
  for (auto _ : state) border->Draw(printer.hdc, true, printer.display.get());
  state.counters["pieces"] = static_cast<double>(pieces);
  state.SetItemsProcessed(state.iterations() * pieces);
}

// The drawing's filled rings, recorded once, filled straight into cairo with
// the clip each had.
void BandRawCairo(benchmark::State& state) {
  IGIS_MapGridBorder* border =
      TheSheet().Band(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  auto sizer = NewRaster();
  TimeRecordedShapesInCairo(
      state, sizer->width(), sizer->height(),
      [border](md::canvas::Canvas* recording) {
        Printer printer(recording);
        border->Draw(printer.hdc, true, printer.display.get());
      },
      "pieces");
}

// Times the conversion made by make; the elements count says how many
// pieces count took from the result, which is dropped outside the timing.
template <class Make, class Count>
void ConvertLoop(benchmark::State& state, Make make, Count count) {
  std::int64_t elements = 0;
  for (auto _ : state) {
    auto* c = dynamic_cast<IGIS_CompoundElement*>(make());
    state.PauseTiming();
    elements = c != nullptr ? count(c) : 0;
    DropCompound(c);
    state.ResumeTiming();
  }
  state.counters["elements"] = static_cast<double>(elements);
  state.SetItemsProcessed(state.iterations() * elements);
}

void BandConvert(benchmark::State& state) {
  IGIS_MapGridBorder* border =
      TheSheet().Band(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  ConvertLoop(
      state, [border] { return border->ConvertToElement(); },
      [](IGIS_CompoundElement* c) { return c->GetElementCount(); });
}

void IndexGridDraw(benchmark::State& state) {
  TheSheet().Band(-1, 1000);
  IGIS_IndexGrid* grid = TheSheet().grid;
  auto canvas = NewRaster();
  Printer printer(canvas.get());
  for (auto _ : state) grid->OnDraw(printer.hdc, true, printer.display.get());
  state.SetItemsProcessed(state.iterations() * (14 + 28));
}

void IndexGridConvert(benchmark::State& state) {
  TheSheet().Band(-1, 1000);
  IGIS_IndexGrid* grid = TheSheet().grid;
  // The grid's own compound comes last, after the border's.
  ConvertLoop(
      state, [grid] { return grid->ConvertToElement(); },
      [](IGIS_CompoundElement* c) {
        auto* own = dynamic_cast<IGIS_CompoundElement*>(c->GetElementPtrByIndex(c->GetElementCount() - 1));
        return own != nullptr ? own->GetElementCount() : 0;
      });
}

void Intervals(benchmark::internal::Benchmark* b) {
  for (int form : {0, 1})
    for (int interval : {2000, 1000, 500, 200, 100, 50, 20}) b->Args({form, interval});
}

BENCHMARK(BandDraw)->Name("Band/Draw")->Apply(Intervals)->Unit(benchmark::kMicrosecond);
BENCHMARK(BandRawCairo)->Name("Band/RawCairo")->Apply(Intervals)->Unit(benchmark::kMicrosecond);
BENCHMARK(BandConvert)->Name("Band/Convert")->Apply(Intervals)->Unit(benchmark::kMicrosecond);
BENCHMARK(IndexGridDraw)->Name("IndexGrid/Draw")->Unit(benchmark::kMicrosecond);
BENCHMARK(IndexGridConvert)->Name("IndexGrid/Convert")->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  RatioReporter* reporter = nullptr;
  if (!RunBenchmarks(argc, argv, &reporter, "0.05")) return 1;
  reporter->PrintRatio("Band/Draw/0/2000", "Band/RawCairo/0/2000", "calibrated band, Draw / RawCairo", 2.0);
  reporter->PrintRatio("Band/Draw/1/2000", "Band/RawCairo/1/2000", "alternating band, Draw / RawCairo", 2.0);
  reporter->PrintRatio("Band/Draw/0/20", "Band/RawCairo/0/20", "calibrated band at 20, Draw / RawCairo", 2.0);
  return 0;
}
