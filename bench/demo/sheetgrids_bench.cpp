// The two grids the grid wizard makes on the demo's map sheet (A2, the whole
// 1:50,000 sample sheet), built by the demo (AddWizardGrids) through
// GIS_CreateMapGridFromValues as the grids page builds them: a graticule
// every 5′ (lines, ticks, degrees and minutes labels) and a kilometre grid
// every 1000 m in the sheet's own Gauss-Krüger reference (ticks and labels).
// Printed at 300 dpi:
//   Grids/Draw          both grids drawn over the frame (the frame itself
//                       drawn once beforehand, outside the timing);
//   Grids/RawCairo      what that drawing paints (its shapes and texts,
//                       recorded once) straight into cairo on the same
//                       raster under the same clips, pens and fonts ready;
//                       the ratio of the two is printed at the end;
//   Grid/Draw/K, Grid/RawCairo/K
//                       one grid alone (K 0 the graticule, 1 the kilometre
//                       grid) and its baseline;
//   Grid/StoreRead/K    the grid's Save into a data buffer and a new grid
//                       rebuilt from those bytes ("bytes": their size);
//   Measured/Interval/M the kilometre grid alone every M metres (1000, 100,
//                       10; 1 reaches the drawing's cap of 10,000 lines a
//                       direction and is run only when asked for, as the
//                       other dense benchmarks);
//   Graticule/Interval/S
//                       the graticule alone every S seconds of arc (300 =
//                       5′, 60 = 1′, 10).
// The counter "calls" counts the drawing calls the canvas received.
//
// The map sheet as the demo builds it, with its own three grids (K 0 the
// kilometre grid with its numbers, 1 the minute marks, 2 the corner
// coordinates):
//   Own/Draw/K/S        grid K alone over the frame through a 300-dpi
//                       printer (S 200: the view clips, lines take 200
//                       samples) or a 300-dpi screen (S 20);
//   Own/RawCairo/K      what Own/Draw/K/200 paints, straight into cairo;
//   Own/StoreRead/K     its Save and a new grid read from the bytes;
//   Own/Convert/K       its conversion into plain elements (the elements
//                       ended outside the timing; "elements" counts them).
// Own/Draw and Own/RawCairo run five times each (medians shown); the end
// prints minute marks (K 1) and corner coordinates (K 2) each over its raw
// cairo baseline, from those medians of the same run.
//
// The default run is short (a smoke run); pass --benchmark_min_time=N for
// steadier figures.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/demo/cairoreplay.h"
#include "bench/grid/gridstoreread.h"
#include "bench/ratio_reporter.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/display/cgis_printdisplay.h"
#include "host/display/cgis_screendisplay.h"
#include "host/featra/igis_feature.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/recording.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tools/demo/mapsheet.h"
#include "tools/demo/wizardgrids.h"

namespace {

constexpr int kDpi = 300;
// Repetitions of the sheet's own grids and their baselines: the ratios at
// the end divide their medians.
constexpr int kOwnRepetitions = 5;

// The map sheet page with the wizard's two grids on its frame in place of
// the sheet's own, or with its own three.
class SheetGrids {
 public:
  explicit SheetGrids(bool wizardGrids) : doc_(md::demo::SampleMapsFolder()), count_(wizardGrids ? 2 : 3) {
    page_ = md::demo::BuildMapSheetPage(doc_, nullptr);
    if (page_ == nullptr) return;
    for (IGIS_Element* e : page_->elements())
      if (auto* f = dynamic_cast<IGIS_MapElement*>(e)) frame_ = f;
    if (frame_ == nullptr || !wizardGrids) return;
    frame_->GetMapGrids()->ReleaseMapGrids();
    if (!md::demo::AddWizardGrids(doc_, frame_)) frame_ = nullptr;
  }
  bool ok() const { return frame_ != nullptr && frame_->GetMapGrids()->GetCount() == count_; }
  md::demo::Page& page() { return *page_; }
  IGIS_MapElement* frame() { return frame_; }
  IGIS_MapGrid* grid(int k) { return frame_->GetMapGrids()->GetMapGrid(k); }
  // Shows only grid k (k < 0: all).
  void Show(int k) {
    for (int i = 0; i < count_; ++i) grid(i)->SetVisible(k < 0 || i == k);
  }

 private:
  md::demo::MapDocument doc_;
  std::unique_ptr<md::demo::Page> page_;
  IGIS_MapElement* frame_ = nullptr;
  int count_;
};

SheetGrids& Sheet() {
  static SheetGrids sheet(true);
  return sheet;
}

SheetGrids& OwnSheet() {
  static SheetGrids sheet(false);
  return sheet;
}

// A 300-dpi printer (or screen) over a canvas of the sheet's paper, the
// frame drawn once so that its map view is set for the grids.
class Printer {
 public:
  Printer(md::canvas::Canvas* canvas, SheetGrids& sheet, bool printer = true) {
    if (printer) {
      md::win::PrinterSetup setup;
      setup.dpiX = setup.dpiY = kDpi;
      setup.paperWidthMm = md::demo::kSheetPaperWidth / 100.0;
      setup.paperHeightMm = md::demo::kSheetPaperHeight / 100.0;
      hdc_ = md::win::CreatePrinterDC(canvas, setup, &md::text::FixedMetricsEngine());
      printer_ =
          std::make_unique<CGIS_PrintDisplay>(hdc_, md::demo::kSheetPaperWidth, md::demo::kSheetPaperHeight,
                                              SGIS_Point(0, md::demo::kSheetPaperHeight));
      printer_->PrepareDC();
      display_ = printer_.get();
    } else {
      hdc_ = md::win::CreateScreenDC(canvas, kDpi, &md::text::FixedMetricsEngine());
      screen_ = std::make_unique<CGIS_ScreenDisplay>(hdc_, 1.0, 0.0, double{md::demo::kSheetPaperHeight});
      display_ = screen_.get();
    }
    IGIS_MapGrids* grids = sheet.frame()->GetMapGrids();
    // The frame without its grids: the map, its view and its borders.
    for (int i = 0; i < grids->GetCount(); ++i) grids->GetMapGrid(i)->SetVisible(false);
    sheet.frame()->OnDraw(hdc_, printer_ != nullptr, display_);
  }
  ~Printer() {
    printer_.reset();
    screen_.reset();
    DeleteDC(hdc_);
  }
  Printer(const Printer&) = delete;
  Printer& operator=(const Printer&) = delete;
  // The visible grids over the frame.
  bool DrawGrids(SheetGrids& sheet) {
    return sheet.frame()->GetMapGrids()->OnDraw(hdc_, printer_ != nullptr, display_, sheet.frame());
  }

 private:
  HDC hdc_ = nullptr;
  std::unique_ptr<CGIS_PrintDisplay> printer_;
  std::unique_ptr<CGIS_ScreenDisplay> screen_;
  IGIS_Display* display_ = nullptr;
};

std::unique_ptr<md::canvas::CairoCanvas> SheetRaster() {
  return md::canvas::CairoCanvas::createPageImage(md::demo::kSheetPaperWidth / 100.0,
                                                  md::demo::kSheetPaperHeight / 100.0, kDpi);
}

// Draws the grids the state's argument shows (-1 all) `state` times.
void DrawOf(benchmark::State& state, int shown, SheetGrids& sheet = Sheet(), bool print = true) {
  if (!sheet.ok()) {
    state.SkipWithError("no sheet with grids");
    return;
  }
  auto canvas = SheetRaster();
  Printer printer(canvas.get(), sheet, print);
  sheet.Show(shown);
  for (auto _ : state) {
    if (!printer.DrawGrids(sheet)) state.SkipWithError("grids not drawn");
    canvas->flush();
  }
  md::canvas::RecordingCanvas recording(canvas->width(), canvas->height());
  Printer counter(&recording, sheet, print);
  recording.clear();
  sheet.Show(shown);
  counter.DrawGrids(sheet);
  state.counters["calls"] = static_cast<double>(recording.records().size());
}

// What DrawOf paints, recorded once and replayed straight into cairo.
void RawCairoOf(benchmark::State& state, int shown, SheetGrids& sheet = Sheet()) {
  if (!sheet.ok()) {
    state.SkipWithError("no sheet with grids");
    return;
  }
  auto sizer = SheetRaster();
  const int w = sizer->width(), h = sizer->height();
  sizer.reset();
  md::canvas::RecordingCanvas recording(w, h);
  {
    Printer printer(&recording, sheet);
    recording.clear();
    sheet.Show(shown);
    printer.DrawGrids(sheet);
  }
  md::bench::TimeReplay(state, recording, w, h);
}

void GridsDraw(benchmark::State& state) { DrawOf(state, -1); }
void GridsRawCairo(benchmark::State& state) { RawCairoOf(state, -1); }
void GridDraw(benchmark::State& state) { DrawOf(state, static_cast<int>(state.range(0))); }
void GridRawCairo(benchmark::State& state) { RawCairoOf(state, static_cast<int>(state.range(0))); }

// The sheet's grid that the state's first argument names; NULL, with the
// state skipped, when the sheet could not be made.
IGIS_MapGrid* GridOf(benchmark::State& state, SheetGrids& sheet) {
  if (sheet.ok()) return sheet.grid(static_cast<int>(state.range(0)));
  state.SkipWithError("no sheet with grids");
  return nullptr;
}

void StoreReadOf(benchmark::State& state, SheetGrids& sheet) {
  if (IGIS_MapGrid* grid = GridOf(state, sheet)) md::bench::TimeGridStoreRead(state, grid);
}

void GridStoreRead(benchmark::State& state) { StoreReadOf(state, Sheet()); }
void OwnStoreRead(benchmark::State& state) { StoreReadOf(state, OwnSheet()); }
void OwnRawCairo(benchmark::State& state) { RawCairoOf(state, static_cast<int>(state.range(0)), OwnSheet()); }
void OwnDraw(benchmark::State& state) {
  DrawOf(state, static_cast<int>(state.range(0)), OwnSheet(), state.range(1) == 200);
}

// Ends a converted element: a compound's members first, each through the
// feature set that holds it, as a host deletes what it does not keep.
int EndConverted(IGIS_Element* element) {
  if (element == nullptr) return 0;
  int count = 1;
  if (auto* compound = dynamic_cast<IGIS_CompoundElement*>(element)) {
    count = 0;
    while (compound->GetElementCount() > 0) {
      IGIS_Element* member = compound->GetElementPtrByIndex(0);
      if (member == nullptr || !compound->RemoveElement(member)) break;
      count += EndConverted(member);
    }
  }
  IGIS_FeatureSet* owner = element->GetFeatureSetPtr();
  if (owner == nullptr || !owner->DeleteElement(element)) element->Release();
  return count;
}

void OwnConvert(benchmark::State& state) {
  IGIS_MapGrid* grid = GridOf(state, OwnSheet());
  if (grid == nullptr) return;
  int elements = 0;
  for (auto _ : state) {
    IGIS_Element* made = grid->ConvertToElement();
    if (made == nullptr) state.SkipWithError("grid not converted");
    state.PauseTiming();
    elements = EndConverted(made);
    state.ResumeTiming();
  }
  state.counters["elements"] = elements;
}

// One grid alone at an interval: the kilometre grid in metres, the
// graticule in seconds of arc; the wizard's interval restored afterwards.
void IntervalOf(benchmark::State& state, int k, double interval) {
  SheetGrids& sheet = Sheet();
  if (!sheet.ok()) {
    state.SkipWithError("no sheet with grids");
    return;
  }
  IGIS_MapGrid* grid = sheet.grid(k);
  IGIS_GridSpacing* spacing = k == 0 ? dynamic_cast<IGIS_GraticuleGrid*>(grid)->GetGridSpacing()
                                     : dynamic_cast<IGIS_MeasureGrid*>(grid)->GetGridSpacing();
  const double x = spacing->GetXIntervalSize(), y = spacing->GetYIntervalSize();
  spacing->SetXIntervalSize(interval);
  spacing->SetYIntervalSize(interval);
  DrawOf(state, k);
  spacing->SetXIntervalSize(x);
  spacing->SetYIntervalSize(y);
}

void MeasuredInterval(benchmark::State& state) { IntervalOf(state, 1, static_cast<double>(state.range(0))); }
void GraticuleInterval(benchmark::State& state) { IntervalOf(state, 0, state.range(0) / 3600.0); }

BENCHMARK(GridsDraw)->Name("Grids/Draw")->Unit(benchmark::kMillisecond);
BENCHMARK(GridsRawCairo)->Name("Grids/RawCairo")->Unit(benchmark::kMillisecond);
BENCHMARK(GridDraw)->Name("Grid/Draw")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(GridRawCairo)->Name("Grid/RawCairo")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(GridStoreRead)->Name("Grid/StoreRead")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(OwnDraw)
    ->Name("Own/Draw")
    ->ArgsProduct({{0, 1, 2}, {20, 200}})
    ->Repetitions(kOwnRepetitions)
    ->DisplayAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(OwnRawCairo)
    ->Name("Own/RawCairo")
    ->DenseRange(0, 2)
    ->Repetitions(kOwnRepetitions)
    ->DisplayAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(OwnStoreRead)->Name("Own/StoreRead")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(OwnConvert)->Name("Own/Convert")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(MeasuredInterval)
    ->Name("Measured/Interval")
    ->Arg(1000)
    ->Arg(100)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(MeasuredInterval)->Name("Measured/DenseInterval")->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(GraticuleInterval)
    ->Name("Graticule/Interval")
    ->Arg(300)
    ->Arg(60)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  RatioReporter* reporter = nullptr;
  if (!RunBenchmarks(argc, argv, &reporter, "0.05")) return 1;
  reporter->PrintRatio("Grids/Draw", "Grids/RawCairo", "both grids / raw cairo", 3.0);
  reporter->PrintRatio("Own/Draw/1/200", "Own/RawCairo/1", "minute marks / raw cairo", 1.3);
  reporter->PrintRatio("Own/Draw/2/200", "Own/RawCairo/2", "corner coordinates / raw cairo", 1.3);
  return 0;
}
