// A graticule over the 1:50 000 sample sheet (a 250 x 200 mm frame) with its
// lines, main and sub ticks, hatches and interior labels, drawn on a 300-dpi
// raster through the printer's device context, at intervals of 15′, 5′, 1′
// and 30″ (hatches every fifth of the interval, labels at every crossing);
// and, as the baseline, what that drawing paints (the same polylines, pens
// and texts, recorded once) straight into cairo under the same clip. The
// ratio at 1′ is what the graticule (geographic frame, sampling, projection,
// clipping, renderer, annotation drawer, device context) costs on top of
// painting; the counter "marks" shows how the work grows as the interval
// falls.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "host/display/cgis_printdisplay.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/gis_mapfile.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/grid/graticule/cgis_graticulegrid.h"
#include "layout/graphicelement/mapframe/cgis_mapelement.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/support/dmslabeldouble.h"

namespace {

constexpr int kDpi = 300;
constexpr double kPageWmm = 400.0, kPageHmm = 300.0;
constexpr int kPageW = 40000, kPageH = 30000;

IGIS_Symbol* Line(COLORREF color, double widthMm) {
  IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE);
  s->SetColor(color);
  s->SetLineWidth(widthMm);
  return s;
}

// The sample sheet in a frame, and a graticule of the interval (seconds of
// arc) over it; the frame drawn once so that its map view shows the map.
class Scene {
 public:
  explicit Scene(int seconds) {
    GIS_SetSymbolTextEngine("fixed");
    md::layout::InstallElementHooks();
    set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
    page_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
    set_->GetFeatureClass()->SetSpatialReference(page_);
    doc_ = GIS_CreateDocumentObject();
    IGIS_Map* sheet =
        GIS_LoadMapFile(doc_, (std::string(MD_SOURCE_DIR) + "/host/helmora/maps/sheet_50k.geojson").c_str());
    set_->SetMapLayer(doc_->GetLayoutLayer());
    frame_ = new CGIS_MapElement(set_, nullptr);
    frame_->SetRect(SGIS_Rect(5000, 25000, 30000, 5000));
    frame_->SetMapName(sheet->GetName());
    grid_ = new CGIS_GraticuleGrid();
    grid_->SetMapElement(frame_);
    grid_->SetBorder(nullptr);
    grid_->GetGridSpacing()->SetUnits(3);  // seconds of arc
    grid_->GetGridSpacing()->SetXIntervalSize(seconds);
    grid_->GetGridSpacing()->SetYIntervalSize(seconds);
    IGIS_Symbol* line = Line(RGB(30, 60, 160), 0.15);
    IGIS_Symbol* tick = Line(RGB(0, 0, 0), 0.2);
    IGIS_Symbol* hatch = Line(RGB(180, 30, 30), 0.15);
    grid_->SetLineSymbol(line);
    grid_->SetTickLineSymbol(tick);
    grid_->SetSubTickLineSymbol(tick);
    grid_->SetSubTickCount(5);
    grid_->SetHatchLineSymbolPtr(hatch);
    grid_->SetMainHatchLineSymbolPtr(hatch);
    grid_->SetSubHatchLineSymbolPtr(hatch);
    line->Release();
    tick->Release();
    hatch->Release();
    const double degrees = seconds / 3600.0;
    grid_->SetHatchIntervalX(degrees / 5);
    grid_->SetHatchIntervalY(degrees / 5);
    grid_->SetMainHatchCount(2);
    grid_->SetSubHatchCount(2);
    grid_->SetShowInteriorLabels(true);
    grid_->SetInteriorLabelIntervalX(degrees);
    grid_->SetInteriorLabelIntervalY(degrees);
    // Degrees and minutes in an 8-point text.
    text_ = GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_TEXT);
    text_->GetFontSizePtr()->lfHeight = 8;
    auto* label = new md::test::DmsLabelDouble();
    label->text = text_;
    label->seconds = false;
    grid_->SetLabelFormat(label);
    label->Release();
  }
  ~Scene() {
    grid_->Release();
    text_->Release();
    frame_->Release();
    set_->Release();
    doc_->Release();
    page_->Release();
  }
  CGIS_MapElement* frame() { return frame_; }
  CGIS_GraticuleGrid* grid() { return grid_; }

 private:
  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* page_ = nullptr;
  IGIS_Document* doc_ = nullptr;
  CGIS_MapElement* frame_ = nullptr;
  CGIS_GraticuleGrid* grid_ = nullptr;
  IGIS_Symbol* text_ = nullptr;
};

// A printer context and display over a canvas of the page at kDpi.
struct Printer {
  explicit Printer(md::canvas::Canvas* canvas) {
    md::win::PrinterSetup setup;
    setup.dpiX = setup.dpiY = kDpi;
    setup.paperWidthMm = kPageWmm;
    setup.paperHeightMm = kPageHmm;
    hdc = md::win::CreatePrinterDC(canvas, setup, &md::text::FixedMetricsEngine());
    display = std::make_unique<CGIS_PrintDisplay>(hdc, kPageW, kPageH, SGIS_Point(0, kPageH));
    display->PrepareDC();
  }
  ~Printer() {
    display.reset();
    DeleteDC(hdc);
  }
  HDC hdc;
  std::unique_ptr<CGIS_PrintDisplay> display;
};

void ThroughGraticule(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)));
  auto canvas = md::canvas::CairoCanvas::createPageImage(kPageWmm, kPageHmm, kDpi);
  Printer printer(canvas.get());
  scene.frame()->OnDraw(printer.hdc, true, printer.display.get());
  for (auto _ : state) {
    if (!scene.grid()->OnDraw(printer.hdc, true, printer.display.get()))
      state.SkipWithError("grid not drawn");
    canvas->flush();
  }
  md::canvas::RecordingCanvas recording(1, 1);
  Printer counter(&recording);
  scene.frame()->OnDraw(counter.hdc, true, counter.display.get());
  recording.clear();
  scene.grid()->OnDraw(counter.hdc, true, counter.display.get());
  state.counters["marks"] = static_cast<double>(recording.records().size());
}

void SetColor(cairo_t* cr, md::canvas::Color c) {
  cairo_set_source_rgb(cr, md::canvas::red(c) / 255.0, md::canvas::green(c) / 255.0,
                       md::canvas::blue(c) / 255.0);
}

void RawCairo(benchmark::State& state) {
  // What the graticule's drawing paints, recorded once, in device pixels.
  Scene scene(static_cast<int>(state.range(0)));
  auto image = md::canvas::CairoCanvas::createPageImage(kPageWmm, kPageHmm, kDpi);
  md::canvas::RecordingCanvas recording(image->width(), image->height());
  {
    Printer printer(&recording);
    scene.frame()->OnDraw(printer.hdc, true, printer.display.get());
    recording.clear();
    scene.grid()->OnDraw(printer.hdc, true, printer.display.get());
  }
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image->width(), image->height());
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_select_font_face(cr, "Noto Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  for (auto _ : state) {
    for (const md::canvas::Record& r : recording.records()) {
      cairo_save(cr);
      if (r.state.clip.active) {
        for (const md::canvas::Rect& c : r.state.clip.rects)
          cairo_rectangle(cr, c.left, c.top, c.right - c.left, c.bottom - c.top);
        cairo_clip(cr);
      }
      if (r.type == md::canvas::Record::Type::Text) {
        SetColor(cr, r.text.color);
        cairo_set_font_size(cr, r.text.font.emHeight);
        cairo_move_to(cr, r.text.origin.x, r.text.origin.y);
        cairo_show_text(cr, r.text.text.c_str());
      } else if (r.type == md::canvas::Record::Type::Shape && r.shape.stroke) {
        for (const md::canvas::SubPath& p : r.shape.paths) {
          if (p.points.empty()) continue;
          cairo_move_to(cr, p.points[0].x, p.points[0].y);
          for (size_t k = 1; k < p.points.size(); ++k) cairo_line_to(cr, p.points[k].x, p.points[k].y);
        }
        SetColor(cr, r.pen.color);
        cairo_set_line_width(cr, r.pen.width);
        cairo_stroke(cr);
      }
      cairo_restore(cr);
    }
    cairo_surface_flush(surface);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  state.counters["marks"] = static_cast<double>(recording.records().size());
}

// Intervals in seconds of arc: 15′, 5′, 1′, 30″.
BENCHMARK(ThroughGraticule)->Arg(900)->Arg(300)->Arg(60)->Arg(30)->Unit(benchmark::kMillisecond);
BENCHMARK(RawCairo)->Arg(900)->Arg(300)->Arg(60)->Arg(30)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatio(argc, argv, "ThroughGraticule/60", "RawCairo/60",
                                "graticule at 1 minute / raw cairo", 3.0);
}
