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
#include <cairo.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/gridlabel/textreplay.h"
#include "bench/ratio_reporter.h"
#include "host/display/cgis_printdisplay.h"
#include "host/featra/igis_feature.h"
#include "host/helmora/gis_mapfile.h"
#include "host/helmora/igis_map.h"
#include "host/tilemar/igis_tilingrule.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/grid/label/cgis_formattedgridlabel.h"
#include "layout/graphicelement/mapframe/cgis_mapelement.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/support/measuregriddouble.h"

namespace {

constexpr int kDpi = 300;
constexpr int kMargin = 2000;  // page units round the frame

// The sheet in its frame with a measured grid double and its formatted label.
class SheetScene {
 public:
  explicit SheetScene(double dInterval) {
    GIS_SetSymbolTextEngine("freetype");
    md::layout::InstallElementHooks();
    set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
    page_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
    set_->GetFeatureClass()->SetSpatialReference(page_);
    doc_ = GIS_CreateDocumentObject();
    IGIS_Map* sheet =
        GIS_LoadMapFile(doc_, (std::string(MD_SOURCE_DIR) + "/host/helmora/maps/sheet_50k.geojson").c_str());
    SGIS_Rect r;
    if (sheet == nullptr || !GIS_GetTilingRuleManagerPtr()
                                 ->GetTilingRule(GIS_TILINGRULE_NATIONAL)
                                 ->GetSheetExtent("J50E001009", sheet->GetSpatialReference(), 1, &r)) {
      return;
    }
    set_->SetMapLayer(doc_->GetLayoutLayer());
    r.Normalize();
    const SGIS_DRect extent(r.left, r.bottom, r.right, r.top);
    frame_ = new CGIS_MapElement(set_, nullptr);
    frame_->SetRect(SGIS_Rect(kMargin, kMargin + static_cast<int>(std::lround(extent.Height() / 0.5)),
                              kMargin + static_cast<int>(std::lround(extent.Width() / 0.5)), kMargin));
    frame_->SetMapName(sheet->GetName());
    frame_->SetMapBound(extent);
    frame_->SetScale(0.5);
    grid_ = new md::test::MeasureGridDouble(sheet->GetSpatialReference());
    grid_->SetMapElement(frame_);
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
    if (frame_ != nullptr) frame_->Release();
    set_->Release();
    doc_->Release();
    page_->Release();
  }
  SheetScene(const SheetScene&) = delete;
  SheetScene& operator=(const SheetScene&) = delete;

  bool ok() const { return label_ != nullptr; }
  double WidthMm() const { return (frame_->GetRect().right + kMargin) / 100.0; }
  double HeightMm() const { return (frame_->GetRect().top + kMargin) / 100.0; }
  IGIS_FeatureSet* set() const { return set_; }
  CGIS_MapElement* frame() const { return frame_; }
  CGIS_FormattedGridLabel* label() const { return label_; }

 private:
  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* page_ = nullptr;
  IGIS_Document* doc_ = nullptr;
  CGIS_MapElement* frame_ = nullptr;
  md::test::MeasureGridDouble* grid_ = nullptr;
  CGIS_FormattedGridLabel* label_ = nullptr;
};

SheetScene& Scene(double dInterval) {
  static SheetScene km(1000.0);
  static SheetScene hm(100.0);
  return dInterval >= 1000.0 ? km : hm;
}

// A printer context on the canvas for the scene's paper, with its display;
// the frame is drawn once, so that the map view maps onto this page.
struct Printed {
  Printed(SheetScene& scene, md::canvas::Canvas* canvas) {
    md::win::PrinterSetup setup;
    setup.dpiX = setup.dpiY = kDpi;
    setup.paperWidthMm = scene.WidthMm();
    setup.paperHeightMm = scene.HeightMm();
    hdc = md::win::CreatePrinterDC(canvas, setup, &md::text::FreeTypeEngine());
    const int w = static_cast<int>(std::lround(scene.WidthMm() * 100));
    const int h = static_cast<int>(std::lround(scene.HeightMm() * 100));
    display = std::make_unique<CGIS_PrintDisplay>(hdc, w, h, SGIS_Point(0, h));
    display->PrepareDC();
    scene.frame()->OnDraw(hdc, true, display.get());
  }
  ~Printed() {
    display.reset();
    DeleteDC(hdc);
  }
  HDC hdc = nullptr;
  std::unique_ptr<CGIS_PrintDisplay> display;
};

void Draw(benchmark::State& state) {
  SheetScene& scene = Scene(static_cast<double>(state.range(0)));
  if (!scene.ok()) return state.SkipWithError("no sheet");
  auto canvas = md::canvas::CairoCanvas::createPageImage(scene.WidthMm(), scene.HeightMm(), kDpi);
  Printed printed(scene, canvas.get());
  for (auto _ : state) scene.label()->OnDraw(printed.hdc, true, printed.display.get());
}

void RawCairo(benchmark::State& state) {
  SheetScene& scene = Scene(static_cast<double>(state.range(0)));
  if (!scene.ok()) return state.SkipWithError("no sheet");
  auto sizer = md::canvas::CairoCanvas::createPageImage(scene.WidthMm(), scene.HeightMm(), kDpi);
  const int w = sizer->width(), h = sizer->height();
  sizer.reset();
  md::canvas::RecordingCanvas recording(w, h);
  {
    Printed printed(scene, &recording);
    recording.clear();
    scene.label()->OnDraw(printed.hdc, true, printed.display.get());
  }
  const md::bench::TextReplay replay(recording);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(surface);
  for (auto _ : state) {
    replay.Draw(cr);
    cairo_surface_flush(surface);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  state.counters["texts"] = static_cast<double>(replay.size());
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
