// Draws a map of 3,000 features (1,000 lines of 24 points, 1,000 rings of 12
// points, 1,000 point symbols) through the main controller into a 300-dpi A4
// raster, and, as the baseline, the very shapes that drawing produces (the
// same paths, pens and brushes, recorded once) straight into cairo under the
// same clip. The ratio is what the map stack (view conversions, clipping,
// symbols, renderer, device context) costs on top of painting.
//
// The default run is short (a few iterations of each); pass the usual
// --benchmark_* options for more.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>
#include <vector>

#include "bench/ratio_reporter.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_mainobject.h"
#include "host/sferon/igis_spatialreference.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace {

constexpr int kWidth = 2480;  // A4 at 300 dpi
constexpr int kHeight = 3508;
constexpr int kEach = 1000;
const SGIS_Rect kDevice(150, 150, kWidth - 150, kHeight - 150);

IGIS_Symbol* Symbol(int type, int code, COLORREF color, double width) {
  IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbol(type);
  s->SetCode(code);
  s->SetColor(color);
  if (width > 0) s->SetLineWidth(width);
  return s;
}

// A map over 20 x 28 km in Gauss-Kruger metres: wavy lines, small rings and
// points spread over it, some reaching past its edges.
IGIS_Map* MakeMap(IGIS_Document* doc) {
  IGIS_SpatialReference* ref = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(2);
  IGIS_Map* map = doc->CreateMap("基准图", ref);
  ref->Release();
  IGIS_MapLayer* layer = GIS_CreateVectorLayerObject("要素", nullptr);
  auto* data = dynamic_cast<IGIS_VectorMapLayer*>(layer->GetLayerPtr());
  IGIS_Symbol* symbols[3] = {Symbol(GIS_SYMBOL_LINE, 3331, RGB(40, 90, 200), 0.3),
                             Symbol(GIS_SYMBOL_FILL, 3366, RGB(180, 210, 240), 0.1),
                             Symbol(GIS_SYMBOL_POINT5, 3304, RGB(180, 0, 40), 0)};
  symbols[2]->SetSize(6);
  const char* names[3] = {"line", "area", "point"};
  for (int i = 0; i < 3; ++i) {
    data->GetSymbolMatchTable()->AddEntry(names[i], names[i], symbols[i]);
    symbols[i]->Release();
  }
  const double x0 = 420000, y0 = 4400000, w = 20000, h = 28000;
  std::vector<SGIS_DPoint> pts;
  for (int i = 0; i < kEach; ++i) {
    const double bx = x0 - 1000 + std::fmod(i * 7919.0, w + 2000),
                 by = y0 - 1000 + std::fmod(i * 104729.0, h + 2000);
    pts.clear();
    for (int k = 0; k < 24; ++k) pts.emplace_back(bx + k * 60.0, by + 80.0 * std::sin(k * 0.7 + i));
    int n = 24;
    data->AddFeature(GIS_MAPFEATURE_LINE, 0, "", 1, &n, pts.data());
    pts.clear();
    for (int k = 0; k < 12; ++k)
      pts.emplace_back(bx + 300 + 150 * std::cos(k * 0.5236), by + 400 + 120 * std::sin(k * 0.5236));
    n = 12;
    data->AddFeature(GIS_MAPFEATURE_POLYGON, 1, "", 1, &n, pts.data());
    const SGIS_DPoint p(bx + 900, by - 300);
    n = 1;
    data->AddFeature(GIS_MAPFEATURE_POINT, 2, "", 1, &n, &p);
  }
  map->AddLayer(layer);
  return map;
}

struct Fixture {
  IGIS_Document* doc = GIS_CreateDocumentObject();
  IGIS_Map* map = MakeMap(doc);
  IGIS_MainObject* main = HM_CreateMainObject(0);
  Fixture() {
    main->SetMap(map);
    main->GetMapView()->SetDeviceRect(kDevice);
    main->GetMapView()->ZoomToExtent(SGIS_DRect(420000, 4428000, 440000, 4400000), 0, nullptr, 0);
  }
  ~Fixture() {
    main->Release();
    doc->Release();
  }
  BOOL Draw(HDC hdc) {
    return main->DrawMap(hdc, FALSE, kDevice.left, kDevice.top, kDevice.right, kDevice.bottom);
  }
};

void ThroughMap(benchmark::State& state) {
  Fixture f;
  auto canvas = md::canvas::CairoCanvas::createImage(kWidth, kHeight);
  HDC hdc = md::win::CreateScreenDC(canvas.get(), 300, &md::text::FixedMetricsEngine());
  for (auto _ : state) {
    if (!f.Draw(hdc)) state.SkipWithError("map not drawn");
    canvas->flush();
  }
  DeleteDC(hdc);
  state.SetItemsProcessed(state.iterations() * 3 * kEach);
}

void SetColor(cairo_t* cr, md::canvas::Color c) {
  cairo_set_source_rgb(cr, md::canvas::red(c) / 255.0, md::canvas::green(c) / 255.0,
                       md::canvas::blue(c) / 255.0);
}

void RawCairo(benchmark::State& state) {
  // The shapes the map drawing makes, recorded once.
  Fixture f;
  md::canvas::RecordingCanvas recording(kWidth, kHeight);
  HDC rdc = md::win::CreateScreenDC(&recording, 300, &md::text::FixedMetricsEngine());
  f.Draw(rdc);
  DeleteDC(rdc);
  std::vector<const md::canvas::Record*> shapes = recording.recordsOf(md::canvas::Record::Type::Shape);

  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_rectangle(cr, kDevice.left, kDevice.top, kDevice.right - kDevice.left, kDevice.bottom - kDevice.top);
  cairo_clip(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  for (auto _ : state) {
    for (const md::canvas::Record* r : shapes) {
      for (const md::canvas::SubPath& p : r->shape.paths) {
        if (p.points.empty()) continue;
        cairo_move_to(cr, p.points[0].x, p.points[0].y);
        for (size_t k = 1; k < p.points.size(); ++k) cairo_line_to(cr, p.points[k].x, p.points[k].y);
        if (p.closed) cairo_close_path(cr);
      }
      if (r->shape.fill && r->brush.style != md::canvas::BrushStyle::Null) {
        SetColor(cr, r->brush.color);
        if (r->shape.stroke) {
          cairo_fill_preserve(cr);
        } else {
          cairo_fill(cr);
        }
      }
      if (r->shape.stroke && r->pen.style != md::canvas::PenStyle::Null) {
        SetColor(cr, r->pen.color);
        cairo_set_line_width(cr, r->pen.width);
        cairo_stroke(cr);
      }
      cairo_new_path(cr);
    }
    cairo_surface_flush(surface);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  state.SetItemsProcessed(state.iterations() * 3 * kEach);
  state.counters["shapes"] = static_cast<double>(shapes.size());
}

BENCHMARK(ThroughMap)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(RawCairo)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatio(argc, argv, "ThroughMap", "RawCairo",
                                "map through the main controller / raw cairo", 3.0);
}
