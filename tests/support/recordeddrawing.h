// The filled or stroked shapes a drawing left on a recording canvas, and the
// printer and screen pages that the tests comparing a drawing with its
// conversion draw on.
#pragma once

#include <memory>
#include <ostream>
#include <vector>

#include "platform/canvas/recording.h"
#include "tests/support/recordingdevices.h"

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
struct Printer : RecordingPrinter {
  Printer() : RecordingPrinter(400.0, 300.0, 254, SGIS_Point(-5000, 25000)) {}
};

// A screen at 96 dpi showing the page at zoom 0.1 from (-5000, 25000).
struct Screen : RecordingScreen {
  Screen() : RecordingScreen(1600, 1200, 96, 0.1, -5000.0, 25000.0) {}
};

}  // namespace md::test
