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
#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

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
#include "layout/graphicelement/grid/label/cgis_mixedfontgridlabel.h"
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

// The sheet in its frame with a measured grid double in kilometres and a
// label of the type.
class SheetScene {
 public:
  SheetScene(int nType, double dIntervalKm) {
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
  IGIS_GridLabel* label() const { return label_; }

 private:
  static int KilometreUnit() {
    IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
    for (int i = 0; i < f->GetLinearUnitCount(); ++i) {
      if (f->GetLinearUnit(i)->GetFactor() == 1000.0) return i;
    }
    return 0;
  }

  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* page_ = nullptr;
  IGIS_Document* doc_ = nullptr;
  CGIS_MapElement* frame_ = nullptr;
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

// The texts of one drawing of the scene's label, recorded.
std::unique_ptr<md::canvas::RecordingCanvas> Recorded(SheetScene& scene);

// The lines a drawing labels: one text each for the formatted label; one
// second part each (the size most texts have) for the mixed-font label.
double LinesLabelled(SheetScene& scene) {
  const auto recording = Recorded(scene);
  const auto texts = recording->recordsOf(md::canvas::Record::Type::Text);
  if (scene.label()->GetType() != GIS_GRIDLABEL_MIXEDFONT) return static_cast<double>(texts.size());
  std::map<double, int> sizes;
  for (const md::canvas::Record* r : texts) ++sizes[r->text.font.emHeight];
  int most = 0;
  for (const auto& [em, n] : sizes) most = std::max(most, n);
  return most;
}

void Draw(benchmark::State& state, int nType) {
  SheetScene& scene = Scene(nType, state.range(0));
  if (!scene.ok()) return state.SkipWithError("no sheet");
  auto canvas = md::canvas::CairoCanvas::createPageImage(scene.WidthMm(), scene.HeightMm(), kDpi);
  Printed printed(scene, canvas.get());
  for (auto _ : state) scene.label()->OnDraw(printed.hdc, true, printed.display.get());
  state.counters["per_label"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * LinesLabelled(scene),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The texts of one recorded drawing, each with what cairo needs made beforehand.
class TextReplay {
 public:
  explicit TextReplay(const md::canvas::RecordingCanvas& recording) {
    for (const md::canvas::Record* r : recording.recordsOf(md::canvas::Record::Type::Text)) {
      texts_.push_back({r->text.text, r->text.origin.x, r->text.origin.y, r->text.angle,
                        r->text.font.emHeight, FaceOf(r->text.font)});
    }
  }
  ~TextReplay() {
    for (cairo_font_face_t* f : faces_) cairo_font_face_destroy(f);
  }
  TextReplay(const TextReplay&) = delete;
  TextReplay& operator=(const TextReplay&) = delete;

  std::size_t size() const { return texts_.size(); }
  void Draw(cairo_t* cr) const {
    cairo_set_source_rgb(cr, 0, 0, 0);
    for (const Text& t : texts_) {
      cairo_save(cr);
      cairo_translate(cr, t.x, t.y);
      cairo_rotate(cr, -t.angle * M_PI / 180.0);
      cairo_set_font_face(cr, t.face);
      cairo_set_font_size(cr, t.em);
      cairo_move_to(cr, 0, 0);
      cairo_show_text(cr, t.text.c_str());
      cairo_restore(cr);
    }
  }

 private:
  struct Text {
    std::string text;
    double x, y, angle, em;
    cairo_font_face_t* face;
  };
  // The face file the text engine chose for the run's font.
  cairo_font_face_t* FaceOf(const md::canvas::Font& font) {
    md::text::FontRequest req;
    req.face = font.face;
    req.height = -font.emHeight;
    const md::text::FontPtr matched = md::text::FreeTypeEngine().Match(req);
    const md::text::FaceSource* src = matched->Face(0);
    FcPattern* pat = FcPatternCreate();
    if (src != nullptr) {
      FcPatternAddString(pat, FC_FILE, reinterpret_cast<const FcChar8*>(src->file.c_str()));
      FcPatternAddInteger(pat, FC_INDEX, src->index);
    }
    cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pat);
    FcPatternDestroy(pat);
    faces_.push_back(face);
    return face;
  }
  std::vector<Text> texts_;
  std::vector<cairo_font_face_t*> faces_;
};

std::unique_ptr<md::canvas::RecordingCanvas> Recorded(SheetScene& scene) {
  auto sizer = md::canvas::CairoCanvas::createPageImage(scene.WidthMm(), scene.HeightMm(), kDpi);
  auto recording = std::make_unique<md::canvas::RecordingCanvas>(sizer->width(), sizer->height());
  Printed printed(scene, recording.get());
  recording->clear();
  scene.label()->OnDraw(printed.hdc, true, printed.display.get());
  return recording;
}

void RawCairo(benchmark::State& state, int nType) {
  SheetScene& scene = Scene(nType, state.range(0));
  if (!scene.ok()) return state.SkipWithError("no sheet");
  const auto recording = Recorded(scene);
  const int w = recording->width(), h = recording->height();
  const TextReplay replay(*recording);
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

void Convert(benchmark::State& state, int nType) {
  SheetScene& scene = Scene(nType, state.range(0));
  if (!scene.ok()) return state.SkipWithError("no sheet");
  for (auto _ : state) {
    IGIS_Element* made = scene.label()->ConvertToElement();
    state.PauseTiming();
    DropCompound(dynamic_cast<IGIS_CompoundElement*>(made));
    state.ResumeTiming();
  }
  state.counters["per_label"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * LinesLabelled(scene),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
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
