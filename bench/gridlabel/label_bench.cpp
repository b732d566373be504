// The formatted grid label on the 1:50,000 sample sheet (its frame at true
// scale, a measured grid of the sheet's own reference) at 1 km and 100 m
// spacing:
//   Draw/SPACING      the label's drawing into a 300-dpi raster of the sheet
//                     through the whole pipeline: lines sampled and carried
//                     through the references and the map view (201 samples a
//                     line, as when printing), crossings, texts formatted,
//                     the annotation drawer, device context and cairo canvas;
//   RawCairo/SPACING  the same texts (taken from one recorded drawing) shown
//                     straight with cairo at the same places, in the same
//                     face, size and turn; the ratio Draw / RawCairo is
//                     printed at the end;
//   Convert/SPACING   the conversion into text elements, per label made
//                     ("per_label");
//   StoreAndRead      Save into a buffer and the label rebuilt from it by
//                     the exported reader.
// The default run is short (a smoke run); pass --benchmark_min_time=N for
// steadier figures.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "bench/gridlabel/samplesheet.h"
#include "bench/ratio_reporter.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/grid/label/cgis_formattedgridlabel.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/text/textengine.h"
#include "tests/support/measuregriddouble.h"

namespace {

constexpr int kDpi = 300;

// The sheet in its frame with a measured grid double and its formatted label.
class SheetScene {
 public:
  explicit SheetScene(double dInterval) {
    if (page_.frame() == nullptr) return;
    grid_ = new md::test::MeasureGridDouble(page_.sheet()->GetSpatialReference());
    grid_->SetMapElement(page_.frame());
    grid_->GetGridSpacing()->SetXIntervalSize(dInterval);
    grid_->GetGridSpacing()->SetYIntervalSize(dInterval);
    label_ = new CGIS_FormattedGridLabel;
    label_->SetMapGrid(grid_);
    LOGFONT* font = label_->GetTextSymbolPtr()->GetFontSizePtr();
    font->lfHeight = -7;
    std::strncpy(font->lfFaceName, "黑体", sizeof(font->lfFaceName) - 1);
    label_->SetLabelOffsetX(100, 100, 0, 0);
    label_->SetLabelOffsetY(0, 0, 100, 100);
  }
  ~SheetScene() {
    if (label_ != nullptr) label_->Release();
    if (grid_ != nullptr) grid_->Release();
  }
  SheetScene(const SheetScene&) = delete;
  SheetScene& operator=(const SheetScene&) = delete;

  bool ok() const { return label_ != nullptr; }
  const md::bench::SampleSheetPage& page() const { return page_; }
  CGIS_FormattedGridLabel* label() const { return label_; }

 private:
  md::bench::SampleSheetPage page_;
  md::test::MeasureGridDouble* grid_ = nullptr;
  CGIS_FormattedGridLabel* label_ = nullptr;
};

SheetScene& Scene(double dInterval) {
  static SheetScene km(1000.0);
  static SheetScene hm(100.0);
  return dInterval >= 1000.0 ? km : hm;
}

void Draw(benchmark::State& state) {
  SheetScene& scene = Scene(static_cast<double>(state.range(0)));
  if (!scene.ok()) return state.SkipWithError("no sheet");
  auto canvas =
      md::canvas::CairoCanvas::createPageImage(scene.page().WidthMm(), scene.page().HeightMm(), kDpi);
  md::bench::PrintedSheet printed(scene.page(), canvas.get(), kDpi);
  for (auto _ : state) scene.label()->OnDraw(printed.hdc, true, printed.display.get());
}

void RawCairo(benchmark::State& state) {
  SheetScene& scene = Scene(static_cast<double>(state.range(0)));
  if (!scene.ok()) return state.SkipWithError("no sheet");
  md::bench::TimeRawTexts(state, scene.page(), kDpi, [&scene](HDC hdc, IGIS_Display* display) {
    scene.label()->OnDraw(hdc, true, display);
  });
}

void Convert(benchmark::State& state) {
  SheetScene& scene = Scene(static_cast<double>(state.range(0)));
  if (!scene.ok()) return state.SkipWithError("no sheet");
  std::int64_t labels = 0;
  for (auto _ : state) {
    IGIS_Element* made = scene.label()->ConvertToElement();
    state.PauseTiming();
    auto* compound = dynamic_cast<IGIS_CompoundElement*>(made);
    if (compound != nullptr) labels += compound->GetElementCount();
    DropCompound(compound);
    state.ResumeTiming();
  }
  state.counters["per_label"] = benchmark::Counter(static_cast<double>(labels),
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void StoreAndRead(benchmark::State& state) {
  SheetScene& scene = Scene(1000.0);
  if (!scene.ok()) return state.SkipWithError("no sheet");
  for (auto _ : state) {
    IGIS_DataBuffer* buffer = GIS_CreateDataBufferObject(0);
    scene.label()->Save(buffer);
    IGIS_GridLabel* read = GIS_CreateMapGridLabelFormatObjectFromDataBuffer(buffer);
    benchmark::DoNotOptimize(read);
    if (read != nullptr) read->Release();
    buffer->Release();
  }
}

}  // namespace

BENCHMARK(Draw)->Name("Draw")->Arg(1000)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(RawCairo)->Name("RawCairo")->Arg(1000)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(Convert)->Name("Convert")->Arg(1000)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(StoreAndRead)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  RatioReporter* reporter = nullptr;
  if (!RunBenchmarks(argc, argv, &reporter, "0.05")) return 1;
  reporter->PrintRatio("Draw/1000", "RawCairo/1000", "labels at 1 km: pipeline / raw cairo", 2.0);
  reporter->PrintRatio("Draw/100", "RawCairo/100", "labels at 100 m: pipeline / raw cairo", 2.0);
  return 0;
}
