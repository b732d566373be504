#include "platform/canvas/banding.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "platform/canvas/cairo_canvas.h"

namespace md::canvas {

namespace {

constexpr double kEverywhere = std::numeric_limits<double>::infinity();

// The rows between the lowest and the highest y; everywhere when one is not finite.
struct Span {
  double top = kEverywhere;
  double bottom = -kEverywhere;
  bool unbounded = false;
  void add(double y) {
    if (!std::isfinite(y)) unbounded = true;
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
};

}  // namespace

void BandRecording::keep(double top, double bottom, const State& state) {
  if (state.clip.active) {
    // Nothing is painted outside the clip's rows.
    if (state.clip.rects.empty()) {
      top = kEverywhere, bottom = -kEverywhere;
    } else {
      top = std::max(top, static_cast<double>(state.clip.rects.front().top));
      int clipBottom = state.clip.rects.front().bottom;
      for (const Rect& r : state.clip.rects) clipBottom = std::max(clipBottom, r.bottom);
      bottom = std::min(bottom, static_cast<double>(clipBottom));
    }
  }
  reach_.push_back(Reach{top, bottom});
}

void BandRecording::drawShape(const Shape& shape, const Pen& pen, const Brush& brush, const State& state) {
  RecordingCanvas::drawShape(shape, pen, brush, state);
  // Cairo leaves out the dashes of a dashed pen that it judges to lie
  // outside its clip, and on a band's clip it misjudges some.
  const bool dashed = pen.style == PenStyle::Dash || pen.style == PenStyle::Dot ||
                      pen.style == PenStyle::DashDot || pen.style == PenStyle::DashDotDot;
  if (shape.stroke && dashed) paintable_ = false;
  Span span;
  for (const SubPath& p : shape.paths)
    for (const Point& q : p.points) span.add(q.y);
  // A stroke reaches past its points by half the pen, a cap or a mitred
  // join (limited to ten half-widths) further; a pixel more for the
  // rounding of anti-aliased edges.
  const double margin = (shape.stroke ? 6.0 * std::max(1.0, pen.width) : 0.0) + 4.0;
  if (span.unbounded) {
    keep(-kEverywhere, kEverywhere, state);
  } else {
    keep(span.top - margin, span.bottom + margin, state);
  }
}

void BandRecording::fillRects(const std::vector<Rect>& rects, const Brush& brush, const State& state) {
  RecordingCanvas::fillRects(rects, brush, state);
  Span span;
  for (const Rect& r : rects) {
    span.add(r.top);
    span.add(r.bottom);
  }
  keep(span.top - 1, span.bottom + 1, state);
}

void BandRecording::drawText(const TextRun& run, const State& state) {
  RecordingCanvas::drawText(run, state);
  // The glyphs lie along the baseline, within its length of the origin,
  // and within a few ems across it: the rows they reach are the baseline's
  // rows widened by a few ems. Without an advance for each character, the
  // canvas places them as the engine shapes them: a few ems a character at
  // most. A width asked for may widen every glyph.
  const double em = std::fabs(run.font.emHeight);
  std::size_t characters = 0;
  for (const char c : run.text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  const double scale = std::isfinite(run.font.width) && em > 0
                           ? std::max(1.0, 4 * std::fabs(run.font.width) / em)
                           : kEverywhere;
  double length = 0;
  if (run.advances.size() == characters) {
    for (double a : run.advances) length += std::fabs(a);
  } else {
    length = 3 * em * scale * static_cast<double>(characters);
  }
  const double rise = std::fabs(std::sin(run.angle * std::numbers::pi / 180.0));
  const double reach = (rise > 0 ? rise * (length + 3 * em * scale) : 0.0) + 4 * em + 8;
  Span span;
  span.add(run.origin.y - reach);
  span.add(run.origin.y + reach);
  for (const Point& q : run.backgroundBox) {
    span.add(q.y - 1);
    span.add(q.y + 1);
  }
  keep(span.unbounded ? -kEverywhere : span.top, span.unbounded ? kEverywhere : span.bottom, state);
}

void BandRecording::drawImage(const Image& image, const Rect& src, const Rect& dst, const State& state) {
  RecordingCanvas::drawImage(image, src, dst, state);
  const Record& r = records().back();
  const int w = r.src.right - r.src.left, h = r.src.bottom - r.src.top;
  if (w > 0 && h > 0 && r.pixels.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h))
    paintable_ = false;
  keep(std::min(dst.top, dst.bottom) - 1.0, std::max(dst.top, dst.bottom) + 1.0, state);
}

bool BandRecording::drawVectors(const std::shared_ptr<const VectorDrawing>& drawing, Point from, Point to,
                                const State& state) {
  if (!RecordingCanvas::drawVectors(drawing, from, to, state)) return false;
  Span span;
  span.add(from.y);
  span.add(to.y);
  keep(span.unbounded ? -kEverywhere : span.top - 1, span.unbounded ? kEverywhere : span.bottom + 1, state);
  return true;
}

bool BandRecording::readPixels(const Rect&, std::uint32_t*) const {
  paintable_ = false;
  return false;
}

void BandRecording::paintBand(CairoCanvas& band) const {
  const double top = band.firstRow(), bottom = band.endRow();
  const std::vector<Record>& records = this->records();
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (!(reach_[i].top < bottom && reach_[i].bottom >= top)) continue;
    const Record& r = records[i];
    switch (r.type) {
      case Record::Type::Shape:
        band.drawShape(r.shape, r.pen, r.brush, r.state);
        break;
      case Record::Type::Rects:
        band.fillRects(r.rects, r.brush, r.state);
        break;
      case Record::Type::Text:
        band.drawText(r.text, r.state);
        break;
      case Record::Type::Image:
        r.DrawImageOn(band);
        break;
      case Record::Type::Vectors:
        r.DrawVectorsOn(band);
        break;
    }
  }
  band.flush();
}

}  // namespace md::canvas
