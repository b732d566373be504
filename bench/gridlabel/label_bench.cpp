// The kilometre labels on the 1:50,000 sample sheet (its frame at true
// scale, a measured grid of the sheet's own reference in kilometres) at 1 km
// and 100 m spacing, each benchmark for the formatted label ("formatted")
// and the mixed-font label ("mixed", its sheet sizes: 6 and 9 points, the
// zone number shown):
//   Draw/LABEL/SPACING      the label's drawing into a 300-dpi raster of the
//                           sheet through the whole pipeline: lines sampled
//                           and carried through the references and the map
//                           view (201 samples a line, as when printing),
//                           crossings, texts formatted (and split and laid
//                           out), the annotation drawer, device context and
//                           cairo canvas; "per_label" per line labelled;
//   RawCairo/LABEL/SPACING  the same texts (taken from one recorded drawing)
//                           shown straight with cairo at the same places, in
//                           the same faces, sizes and turns; the ratios
//                           Draw / RawCairo are printed at the end;
//   Convert/LABEL/SPACING   the conversion into text elements, per line
//                           labelled ("per_label");
//   StoreAndRead/LABEL      Save into a buffer and the label rebuilt from it
//                           by the exported reader.
// The default run is short (a smoke run); pass --benchmark_min_time=N for
// steadier figures.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "bench/gridlabel/samplesheet.h"
#include "bench/ratio_reporter.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/grid/label/cgis_formattedgridlabel.h"
#include "layout/graphicelement/grid/label/cgis_mixedfontgridlabel.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/text/textengine.h"
#include "tests/support/measuregriddouble.h"

namespace {

constexpr int kDpi = 300;

// The index of the kilometre in the linear units (0 when there is none).
int KilometreUnit() {
  IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
  for (int i = 0; i < f->GetLinearUnitCount(); ++i) {
    if (f->GetLinearUnit(i)->GetFactor() == 1000.0) return i;
  }
  return 0;
}

// The sheet in its frame with a measured grid double in kilometres and a
// label of the type.
class SheetScene {
 public:
  SheetScene(int nType, double dIntervalKm) {
    if (page_.frame() == nullptr) return;
    grid_ = new md::test::MeasureGridDouble(page_.sheet()->GetSpatialReference());
    grid_->SetMapElement(page_.frame());
    grid_->GetGridSpacing()->SetUnits(KilometreUnit());
    grid_->GetGridSpacing()->SetXIntervalSize(dIntervalKm);
    grid_->GetGridSpacing()->SetYIntervalSize(dIntervalKm);
    label_ = GIS_CreateMapGridLabelFormatObject(nType);
    label_->SetMapGrid(grid_);
    LOGFONT* font = label_->GetTextSymbolPtr()->GetFontSizePtr();
    std::strncpy(font->lfFaceName, "黑体", sizeof(font->lfFaceName) - 1);
    IGIS_NumericFormat* format = nullptr;
    if (auto* formatted = dynamic_cast<IGIS_FormattedGridLabel*>(label_)) {
      font->lfHeight = -7;
      format = formatted->GetNumericFormat();
      label_->SetLabelOffsetX(100, 100, 0, 0);
      label_->SetLabelOffsetY(0, 0, 100, 100);
    } else if (auto* mixed = dynamic_cast<IGIS_MixedFontGridLabel*>(label_)) {
      font->lfHeight = -6;
      mixed->GetSecondarySymbolText()->GetFontSizePtr()->lfHeight = -9;
      mixed->SetShowZone(true);
      format = mixed->GetNumericFormat();
      label_->SetLabelOffsetX(50, 50, 0, 0);
      label_->SetLabelOffsetY(0, 0, 50, 50);
    }
    // Tenths of a kilometre at 100 m.
    if (format != nullptr && dIntervalKm < 1.0) format->SetDigits(1);
  }
  ~SheetScene() {
    if (label_ != nullptr) label_->Release();
    if (grid_ != nullptr) grid_->Release();
  }
  SheetScene(const SheetScene&) = delete;
  SheetScene& operator=(const SheetScene&) = delete;

  bool ok() const { return label_ != nullptr; }
  const md::bench::SampleSheetPage& page() const { return page_; }
  IGIS_GridLabel* label() const { return label_; }

  // The lines a drawing labels: one text each for the formatted label; one
  // second part each (the size most texts have) for the mixed-font label.
  double LinesLabelled() const {
    auto sizer = md::canvas::CairoCanvas::createPageImage(page_.WidthMm(), page_.HeightMm(), kDpi);
    md::canvas::RecordingCanvas recording(sizer->width(), sizer->height());
    {
      md::bench::PrintedSheet printed(page_, &recording, kDpi);
      recording.clear();
      label_->OnDraw(printed.hdc, true, printed.display.get());
    }
    const auto texts = recording.recordsOf(md::canvas::Record::Type::Text);
    if (label_->GetType() != GIS_GRIDLABEL_MIXEDFONT) return static_cast<double>(texts.size());
    std::map<double, int> sizes;
    for (const md::canvas::Record* r : texts) ++sizes[r->text.font.emHeight];
    int most = 0;
    for (const auto& [em, n] : sizes) most = std::max(most, n);
    return most;
  }

 private:
  md::bench::SampleSheetPage page_;
  md::test::MeasureGridDouble* grid_ = nullptr;
  IGIS_GridLabel* label_ = nullptr;
};

// The scene of a label type at 1 km (an argument of 1000 m) or 100 m.
SheetScene& Scene(int nType, std::int64_t metres) {
  static SheetScene formattedKm(GIS_GRIDLABEL_FORMATTED, 1.0);
  static SheetScene formattedHm(GIS_GRIDLABEL_FORMATTED, 0.1);
  static SheetScene mixedKm(GIS_GRIDLABEL_MIXEDFONT, 1.0);
  static SheetScene mixedHm(GIS_GRIDLABEL_MIXEDFONT, 0.1);
  if (nType == GIS_GRIDLABEL_MIXEDFONT) return metres >= 1000 ? mixedKm : mixedHm;
  return metres >= 1000 ? formattedKm : formattedHm;
}

// Time per labelled line, from the iterations run.
void CountPerLabel(benchmark::State& state, const SheetScene& scene) {
  state.counters["per_label"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * scene.LinesLabelled(),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void Draw(benchmark::State& state, int nType) {
  SheetScene& scene = Scene(nType, state.range(0));
  if (!scene.ok()) return state.SkipWithError("no sheet");
  auto canvas =
      md::canvas::CairoCanvas::createPageImage(scene.page().WidthMm(), scene.page().HeightMm(), kDpi);
  md::bench::PrintedSheet printed(scene.page(), canvas.get(), kDpi);
  for (auto _ : state) scene.label()->OnDraw(printed.hdc, true, printed.display.get());
  CountPerLabel(state, scene);
}

void RawCairo(benchmark::State& state, int nType) {
  SheetScene& scene = Scene(nType, state.range(0));
  if (!scene.ok()) return state.SkipWithError("no sheet");
  md::bench::TimeRawTexts(state, scene.page(), kDpi, [&scene](HDC hdc, IGIS_Display* display) {
    scene.label()->OnDraw(hdc, true, display);
  });
}

void Convert(benchmark::State& state, int nType) {
  SheetScene& scene = Scene(nType, state.range(0));
  if (!scene.ok()) return state.SkipWithError("no sheet");
  for (auto _ : state) {
    IGIS_Element* made = scene.label()->ConvertToElement();
    state.PauseTiming();
    DropCompound(dynamic_cast<IGIS_CompoundElement*>(made));
    state.ResumeTiming();
  }
  CountPerLabel(state, scene);
}

void StoreAndRead(benchmark::State& state, int nType) {
  SheetScene& scene = Scene(nType, 1000);
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

BENCHMARK_CAPTURE(Draw, formatted, GIS_GRIDLABEL_FORMATTED)
    ->Arg(1000)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Draw, mixed, GIS_GRIDLABEL_MIXEDFONT)->Arg(1000)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RawCairo, formatted, GIS_GRIDLABEL_FORMATTED)
    ->Arg(1000)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RawCairo, mixed, GIS_GRIDLABEL_MIXEDFONT)
    ->Arg(1000)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Convert, formatted, GIS_GRIDLABEL_FORMATTED)
    ->Arg(1000)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Convert, mixed, GIS_GRIDLABEL_MIXEDFONT)
    ->Arg(1000)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StoreAndRead, formatted, GIS_GRIDLABEL_FORMATTED)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(StoreAndRead, mixed, GIS_GRIDLABEL_MIXEDFONT)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  RatioReporter* reporter = nullptr;
  if (!RunBenchmarks(argc, argv, &reporter, "0.05")) return 1;
  for (const char* label : {"formatted", "mixed"}) {
    for (const char* spacing : {"1000", "100"}) {
      const std::string a = std::string("Draw/") + label + "/" + spacing;
      const std::string b = std::string("RawCairo/") + label + "/" + spacing;
      const std::string what = std::string(label) + " labels at " + spacing + " m: pipeline / raw cairo";
      reporter->PrintRatio(a, b, what.c_str(), 2.0);
    }
  }
  // The mixed-font label draws and converts up to three texts where the
  // formatted one has one.
  reporter->PrintRatio("Draw/mixed/1000", "Draw/formatted/1000", "mixed / formatted drawing at 1 km", 3.0);
  reporter->PrintRatio("Convert/mixed/1000", "Convert/formatted/1000", "mixed / formatted conversion at 1 km",
                       3.0);
  return 0;
}
