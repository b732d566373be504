// The degrees-minutes-seconds label of a graticule on the 1:50,000 sample
// sheet (its frame at true scale, the sheet in Gauss-Kruger zone 39), with
// meridians and parallels every 1′ (15 by 10 over the sheet) and every 15″
// (60 by 40), degrees and minutes (and seconds at 15″) in 7-point type:
//   Print/SPACING     the label's drawing into a 300-dpi raster of the sheet
//                     through the whole pipeline as when printing: each line
//                     sampled 201 times and carried through the references
//                     and the map view, crossings, crowded ends, texts
//                     formatted, the annotation drawer, device context and
//                     cairo canvas;
//   Screen/SPACING    the same with 21 samples a line, as on a screen;
//   RawCairo/SPACING  the same texts (taken from one recorded drawing) shown
//                     straight with cairo at the same places, in the same
//                     face, size and turn; the ratios Print / RawCairo and
//                     Screen / RawCairo are printed at the end;
//   Convert/SPACING   the conversion into text elements, per labelled line
//                     ("per_line");
//   Stacked/SPACING   the conversion of the stacked display (two texts a
//                     line), per labelled line.
// SPACING is in seconds of arc. The default run is short (a smoke run);
// pass --benchmark_min_time=N for steadier figures.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/gridlabel/samplesheet.h"
#include "bench/ratio_reporter.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/grid/graticule/cgis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/label/cgis_dmsgridlabel.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/text/textengine.h"

namespace {

constexpr int kDpi = 300;

// The sheet in its frame with a graticule of the spacing (seconds of arc)
// and the graticule's own DMS label.
class SheetScene {
 public:
  explicit SheetScene(int nSeconds) {
    if (page_.frame() == nullptr) return;
    grid_ = new CGIS_GraticuleGrid;
    grid_->SetMapElement(page_.frame());
    grid_->SetBorder(nullptr);
    IGIS_GridSpacing* spacing = grid_->GetGridSpacing();
    spacing->SetUnits(3);  // seconds of arc
    spacing->SetXIntervalSize(nSeconds);
    spacing->SetYIntervalSize(nSeconds);
    label_ = dynamic_cast<CGIS_DMSGridLabel*>(grid_->GetLabelFormat());
    if (label_ == nullptr) return;
    if (nSeconds % 60 == 0) label_->SetShowSeconds(false);
    label_->SetDecimalDigits(0);
    LOGFONT* font = label_->GetTextSymbolPtr()->GetFontSizePtr();
    font->lfHeight = -7;
    std::strncpy(font->lfFaceName, "宋体", sizeof(font->lfFaceName) - 1);
    label_->SetSecondsSymbolTextPtr(label_->GetTextSymbolPtr());
    label_->SetLabelOffsetX(100, 100, 0, 0);
    label_->SetLabelOffsetY(0, 0, 100, 100);
  }
  ~SheetScene() {
    if (grid_ != nullptr) grid_->Release();
  }
  SheetScene(const SheetScene&) = delete;
  SheetScene& operator=(const SheetScene&) = delete;

  bool ok() const { return label_ != nullptr; }
  const md::bench::SampleSheetPage& page() const { return page_; }
  CGIS_DMSGridLabel* label() const { return label_; }

 private:
  md::bench::SampleSheetPage page_;
  CGIS_GraticuleGrid* grid_ = nullptr;
  CGIS_DMSGridLabel* label_ = nullptr;
};

SheetScene& Scene(int nSeconds) {
  static SheetScene minute(60);
  static SheetScene quarter(15);
  return nSeconds >= 60 ? minute : quarter;
}

void DrawLabels(benchmark::State& state, bool bPrint) {
  SheetScene& scene = Scene(static_cast<int>(state.range(0)));
  if (!scene.ok()) return state.SkipWithError("no sheet");
  auto canvas =
      md::canvas::CairoCanvas::createPageImage(scene.page().WidthMm(), scene.page().HeightMm(), kDpi);
  md::bench::PrintedSheet printed(scene.page(), canvas.get(), kDpi);
  for (auto _ : state) scene.label()->OnDraw(printed.hdc, bPrint, printed.display.get());
}

void Print(benchmark::State& state) { DrawLabels(state, true); }
void Screen(benchmark::State& state) { DrawLabels(state, false); }

void RawCairo(benchmark::State& state) {
  SheetScene& scene = Scene(static_cast<int>(state.range(0)));
  if (!scene.ok()) return state.SkipWithError("no sheet");
  md::bench::TimeRawTexts(state, scene.page(), kDpi, [&scene](HDC hdc, IGIS_Display* display) {
    scene.label()->OnDraw(hdc, true, display);
  });
}

void ConvertLabels(benchmark::State& state, int nType) {
  SheetScene& scene = Scene(static_cast<int>(state.range(0)));
  if (!scene.ok()) return state.SkipWithError("no sheet");
  scene.label()->SetDMSLabelType(nType);
  const int nTextsPerLine = nType == GIS_DMSLABEL_STACKED ? 2 : 1;
  std::int64_t lines = 0;
  for (auto _ : state) {
    IGIS_Element* made = scene.label()->ConvertToElement();
    state.PauseTiming();
    auto* compound = dynamic_cast<IGIS_CompoundElement*>(made);
    if (compound != nullptr) lines += compound->GetElementCount() / nTextsPerLine;
    DropCompound(compound);
    state.ResumeTiming();
  }
  scene.label()->SetDMSLabelType(GIS_DMSLABEL_STANDARD);
  state.counters["per_line"] = benchmark::Counter(static_cast<double>(lines),
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void Convert(benchmark::State& state) { ConvertLabels(state, GIS_DMSLABEL_STANDARD); }
void Stacked(benchmark::State& state) { ConvertLabels(state, GIS_DMSLABEL_STACKED); }

}  // namespace

BENCHMARK(Print)->Name("Print")->Arg(60)->Arg(15)->Unit(benchmark::kMillisecond);
BENCHMARK(Screen)->Name("Screen")->Arg(60)->Arg(15)->Unit(benchmark::kMillisecond);
BENCHMARK(RawCairo)->Name("RawCairo")->Arg(60)->Arg(15)->Unit(benchmark::kMillisecond);
BENCHMARK(Convert)->Name("Convert")->Arg(60)->Arg(15)->Unit(benchmark::kMillisecond);
BENCHMARK(Stacked)->Name("Stacked")->Arg(60)->Arg(15)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  RatioReporter* reporter = nullptr;
  if (!RunBenchmarks(argc, argv, &reporter, "0.05")) return 1;
  // Raw cairo only shows the texts; the pipeline also samples, carries and
  // cuts every line (most of the printing time), so these ratios measure
  // what labelling costs beyond showing its texts.
  const auto ratio = [reporter](const char* a, const char* b, const char* what) {
    const double x = reporter->PerIteration(a), y = reporter->PerIteration(b);
    if (x > 0 && y > 0) std::printf("%s = %.2f\n", what, x / y);
  };
  ratio("Print/60", "RawCairo/60", "labels every 1′, printing: pipeline / raw cairo texts");
  ratio("Screen/60", "RawCairo/60", "labels every 1′, on screen: pipeline / raw cairo texts");
  ratio("Print/15", "RawCairo/15", "labels every 15″, printing: pipeline / raw cairo texts");
  ratio("Screen/15", "RawCairo/15", "labels every 15″, on screen: pipeline / raw cairo texts");
  return 0;
}
