// Displays over recording canvases, and the filled or stroked shapes a
// drawing left on one: shared by the tests of drawings that compare what was
// drawn with what a conversion made.
#pragma once

#include <memory>
#include <ostream>
#include <vector>

#include "host/display/cgis_printdisplay.h"
#include "host/display/cgis_screendisplay.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace md::test {

// A filled or stroked shape as the canvas received it.
struct Painted {
  std::vector<md::canvas::Point> points;
  bool fill;
  md::canvas::Color color;  // brush colour of a fill, pen colour of a stroke
  bool operator==(const Painted&) const = default;
};

inline void PrintTo(const Painted& p, std::ostream* os) {
  *os << (p.fill ? "fill " : "stroke ") << std::hex << p.color << std::dec;
  for (const md::canvas::Point& q : p.points) *os << " (" << q.x << ", " << q.y << ")";
}

inline std::vector<Painted> PaintedOf(const md::canvas::RecordingCanvas& canvas) {
  std::vector<Painted> out;
  for (const md::canvas::Record* r : canvas.recordsOf(md::canvas::Record::Type::Shape)) {
    if (!r->shape.fill && !r->shape.stroke) continue;
    out.push_back({r->Points(), r->shape.fill, r->shape.fill ? r->brush.color : r->pen.color});
  }
  return out;
}

// A printer page of 400 x 300 mm at 254 dpi (1 pixel = 0.1 mm) whose
// paper's top-left corner is the page point (-5000, 25000); it clips.
struct Printer {
  Printer() : canvas(4000, 3000) {
    md::win::PrinterSetup setup;
    setup.dpiX = setup.dpiY = 254;
    setup.paperWidthMm = 400.0;
    setup.paperHeightMm = 300.0;
    hdc = md::win::CreatePrinterDC(&canvas, setup, &md::text::FixedMetricsEngine());
    display = std::make_unique<CGIS_PrintDisplay>(hdc, 40000, 30000, SGIS_Point(-5000, 25000));
    display->PrepareDC();
  }
  ~Printer() { DeleteDC(hdc); }
  Printer(const Printer&) = delete;
  Printer& operator=(const Printer&) = delete;
  md::canvas::RecordingCanvas canvas;
  HDC hdc;
  std::unique_ptr<CGIS_PrintDisplay> display;
};

// A screen at 96 dpi showing the page at zoom 0.1 from (-5000, 25000).
struct Screen {
  Screen() : canvas(1600, 1200) {
    hdc = md::win::CreateScreenDC(&canvas, 96, &md::text::FixedMetricsEngine());
    display = std::make_unique<CGIS_ScreenDisplay>(hdc, 0.1, -5000.0, 25000.0);
  }
  ~Screen() { DeleteDC(hdc); }
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;
  md::canvas::RecordingCanvas canvas;
  HDC hdc;
  std::unique_ptr<CGIS_ScreenDisplay> display;
};

}  // namespace md::test
