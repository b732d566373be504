// What the benchmarks that print a page share: a printer context and display
// over a canvas of the paper, and the shapes of a recorded drawing painted
// straight into cairo (the raw baseline a drawing is compared with).
#pragma once

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "host/display/cgis_printdisplay.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

// A printer context of a paper of widthMm x heightMm at the resolution over
// the canvas, with its display (the paper's top-left corner is the page
// point (0, paper height)); texts measured with the fixed-metrics engine.
struct BenchPrinter {
  BenchPrinter(md::canvas::Canvas* canvas, int dpi, double widthMm, double heightMm) {
    md::win::PrinterSetup setup;
    setup.dpiX = setup.dpiY = dpi;
    setup.paperWidthMm = widthMm;
    setup.paperHeightMm = heightMm;
    hdc = md::win::CreatePrinterDC(canvas, setup, &md::text::FixedMetricsEngine());
    const int w = static_cast<int>(widthMm * 100 + 0.5), h = static_cast<int>(heightMm * 100 + 0.5);
    display = std::make_unique<CGIS_PrintDisplay>(hdc, w, h, SGIS_Point(0, h));
    display->PrepareDC();
  }
  ~BenchPrinter() {
    display.reset();
    DeleteDC(hdc);
  }
  BenchPrinter(const BenchPrinter&) = delete;
  BenchPrinter& operator=(const BenchPrinter&) = delete;

  HDC hdc = nullptr;
  std::unique_ptr<CGIS_PrintDisplay> display;
};

// Paints the recorded shapes into cairo as the canvas received them: each
// under its clip, its paths filled with the brush's colour and then stroked
// with the pen's colour, width, caps and joins, as the record says.
inline void PaintRecordedShapes(cairo_t* cr, const std::vector<const md::canvas::Record*>& shapes) {
  for (const md::canvas::Record* r : shapes) {
    cairo_save(cr);
    if (r->state.clip.active) {
      for (const md::canvas::Rect& c : r->state.clip.rects)
        cairo_rectangle(cr, c.left, c.top, c.right - c.left, c.bottom - c.top);
      cairo_clip(cr);
    }
    cairo_new_path(cr);
    for (const md::canvas::SubPath& sp : r->shape.paths) {
      if (sp.points.empty()) continue;
      cairo_move_to(cr, sp.points[0].x, sp.points[0].y);
      for (std::size_t i = 1; i < sp.points.size(); ++i) cairo_line_to(cr, sp.points[i].x, sp.points[i].y);
      if (sp.closed) cairo_close_path(cr);
    }
    if (r->shape.fill) {
      const md::canvas::Color c = r->brush.color;
      cairo_set_source_rgb(cr, md::canvas::red(c) / 255.0, md::canvas::green(c) / 255.0,
                           md::canvas::blue(c) / 255.0);
      cairo_fill_preserve(cr);
    }
    if (r->shape.stroke) {
      const md::canvas::Color c = r->pen.color;
      cairo_set_source_rgb(cr, md::canvas::red(c) / 255.0, md::canvas::green(c) / 255.0,
                           md::canvas::blue(c) / 255.0);
      cairo_set_line_width(cr, r->pen.width);
      cairo_set_line_cap(cr, r->pen.cap == md::canvas::LineCap::Round    ? CAIRO_LINE_CAP_ROUND
                             : r->pen.cap == md::canvas::LineCap::Square ? CAIRO_LINE_CAP_SQUARE
                                                                         : CAIRO_LINE_CAP_BUTT);
      cairo_set_line_join(cr, r->pen.join == md::canvas::LineJoin::Round   ? CAIRO_LINE_JOIN_ROUND
                              : r->pen.join == md::canvas::LineJoin::Bevel ? CAIRO_LINE_JOIN_BEVEL
                                                                           : CAIRO_LINE_JOIN_MITER);
      cairo_stroke_preserve(cr);
    }
    cairo_restore(cr);
  }
}

// Times painting the shapes of one drawing straight into a white cairo
// raster of width x height: record(canvas) makes the drawing into a
// recording of that size once, outside the timing. The counter named
// szCounter and the items per second count the shapes.
template <class Record>
void TimeRecordedShapesInCairo(benchmark::State& state, int width, int height, Record record,
                               const char* szCounter) {
  md::canvas::RecordingCanvas recording(width, height);
  record(&recording);
  const std::vector<const md::canvas::Record*> shapes = recording.recordsOf(md::canvas::Record::Type::Shape);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  for (auto _ : state) {
    PaintRecordedShapes(cr, shapes);
    cairo_surface_flush(surface);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  state.counters[szCounter] = static_cast<double>(shapes.size());
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(shapes.size()));
}
