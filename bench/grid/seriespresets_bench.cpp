// The series-scale presets of the 1:50,000 topographic sheet on a test page
// with the 1:50,000 sample sheet's frame at true scale: the 1′ graticule
// (lines, ticks, degrees-minutes-seconds labels) and the 5000 m kilometre
// grid in the sheet's own Gauss-Krüger reference (lines, ticks, mixed-font
// labels), with the simple inner and outer borders the frame takes.
// Printed at 300 dpi:
//   Presets/Draw        both grids drawn over the frame (the frame itself,
//                       borders included, drawn once beforehand, outside
//                       the timing);
//   Presets/RawCairo    what that drawing paints (recorded once) straight
//                       into cairo on the same raster under the same clips,
//                       pens and fonts ready; the ratio of the two is
//                       printed at the end;
//   Preset/Draw/K, Preset/RawCairo/K
//                       one grid alone (K 0 the graticule, 1 the kilometre
//                       grid) and its baseline;
//   Preset/StoreRead/K  the grid's Save into a data buffer and a new grid
//                       rebuilt from those bytes ("bytes": their size);
//   Preset/Make/K       the preset made and handed to the frame (grid,
//                       label, symbols and both borders).
// The counter "calls" counts the drawing calls the canvas received.
//
// The default run is short (a smoke run); pass --benchmark_min_time=N for
// steadier figures.
#include <benchmark/benchmark.h>

#include "bench/demo/cairoreplay.h"
#include "bench/grid/gridstoreread.h"
#include "bench/gridlabel/samplesheet.h"
#include "bench/ratio_reporter.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/factory/seriesmapgrids.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"

namespace {

using md::basilo::ReleasePtr;

constexpr int kDpi = 300;
constexpr int kFiftyThousandSheet = 5;
// PresetPage::Show: neither grid (the frame drawn beforehand).
constexpr int kNoGrid = -2;

// The sample sheet's page with the two presets on its frame.
class PresetPage {
 public:
  PresetPage() {
    CGIS_MapElement* frame = page_.frame();
    if (frame == nullptr) return;
    for (int k = 0; k < 2; ++k) {
      IGIS_MapGrid* g = Make(k);
      // Named as the wizard's start page names them: the list keeps names apart.
      if (g != nullptr) g->SetName(k == 0 ? "经纬网" : "方里网");
      if (g == nullptr || !frame->GetMapGrids()->AddMapGrid(g)) {
        if (g != nullptr) g->Release();
        return;
      }
      g->SetMapElement(frame);
    }
    ok_ = true;
  }
  bool ok() const { return ok_; }
  const md::bench::SampleSheetPage& page() const { return page_; }
  IGIS_MapGrids* grids() const { return page_.frame()->GetMapGrids(); }
  // The preset of the 1:50,000 sheet: k 0 the graticule, 1 the kilometre
  // grid; the frame takes its borders.
  IGIS_MapGrid* Make(int k) {
    return k == 0 ? md::layout::grid::CreateSeriesGraticule(kFiftyThousandSheet, page_.frame())
                  : md::layout::grid::CreateSeriesMeasuredGrid(
                        kFiftyThousandSheet, page_.sheet()->GetSpatialReference(), page_.frame());
  }
  // Shows grid k alone (k -1: both, k -2: neither).
  void Show(int k) {
    for (int i = 0; i < grids()->GetCount(); ++i) grids()->GetMapGrid(i)->SetVisible(k == -1 || i == k);
  }

 private:
  md::bench::SampleSheetPage page_;
  bool ok_ = false;
};

PresetPage& Page() {
  static PresetPage page;
  return page;
}

bool Ready(benchmark::State& state) {
  if (Page().ok()) return true;
  state.SkipWithError("no sheet with the presets");
  return false;
}

std::unique_ptr<md::canvas::CairoCanvas> Raster() {
  const md::bench::SampleSheetPage& page = Page().page();
  return md::canvas::CairoCanvas::createPageImage(page.WidthMm(), page.HeightMm(), kDpi);
}

// Draws the grids the argument shows (-1 both) once per iteration; the frame
// is drawn once beforehand with its grids hidden.
void DrawOf(benchmark::State& state, int shown) {
  if (!Ready(state)) return;
  PresetPage& page = Page();
  auto canvas = Raster();
  page.Show(kNoGrid);
  md::bench::PrintedSheet printed(page.page(), canvas.get(), kDpi);
  page.Show(shown);
  for (auto _ : state) {
    if (!page.grids()->OnDraw(printed.hdc, true, printed.display.get(), page.page().frame()))
      state.SkipWithError("grids not drawn");
    canvas->flush();
  }
}

// What DrawOf paints, recorded once and replayed straight into cairo.
void RawCairoOf(benchmark::State& state, int shown) {
  if (!Ready(state)) return;
  PresetPage& page = Page();
  auto sizer = Raster();
  const int w = sizer->width(), h = sizer->height();
  sizer.reset();
  md::canvas::RecordingCanvas recording(w, h);
  {
    page.Show(kNoGrid);
    md::bench::PrintedSheet printed(page.page(), &recording, kDpi);
    recording.clear();
    page.Show(shown);
    page.grids()->OnDraw(printed.hdc, true, printed.display.get(), page.page().frame());
  }
  md::bench::TimeReplay(state, recording, w, h);
}

void PresetsDraw(benchmark::State& state) { DrawOf(state, -1); }
void PresetsRawCairo(benchmark::State& state) { RawCairoOf(state, -1); }
void PresetDraw(benchmark::State& state) { DrawOf(state, static_cast<int>(state.range(0))); }
void PresetRawCairo(benchmark::State& state) { RawCairoOf(state, static_cast<int>(state.range(0))); }

void PresetStoreRead(benchmark::State& state) {
  if (!Ready(state)) return;
  md::bench::TimeGridStoreRead(state, Page().grids()->GetMapGrid(static_cast<int>(state.range(0))));
}

void PresetMake(benchmark::State& state) {
  if (!Ready(state)) return;
  for (auto _ : state) {
    ReleasePtr<IGIS_MapGrid> grid(Page().Make(static_cast<int>(state.range(0))));
    if (!grid) state.SkipWithError("preset not made");
  }
}

BENCHMARK(PresetsDraw)->Name("Presets/Draw")->Unit(benchmark::kMillisecond);
BENCHMARK(PresetsRawCairo)->Name("Presets/RawCairo")->Unit(benchmark::kMillisecond);
BENCHMARK(PresetDraw)->Name("Preset/Draw")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(PresetRawCairo)->Name("Preset/RawCairo")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(PresetStoreRead)->Name("Preset/StoreRead")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(PresetMake)->Name("Preset/Make")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatio(argc, argv, "Presets/Draw", "Presets/RawCairo", "both presets / raw cairo",
                                3.0);
}
