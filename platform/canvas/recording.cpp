#include "platform/canvas/recording.h"

#include <algorithm>

namespace md::canvas {

std::vector<Point> Record::Points() const {
  std::vector<Point> out;
  for (const SubPath& p : shape.paths) out.insert(out.end(), p.points.begin(), p.points.end());
  return out;
}

void Record::DrawImageOn(Canvas& canvas) const {
  const int w = src.right - src.left, h = src.bottom - src.top;
  if (w <= 0 || h <= 0 || pixels.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) return;
  const Image image{pixels.data(), w, h, w * 4, false, premultiplied};
  canvas.drawImage(image, Rect{0, 0, w, h}, dst, state);
}

void RecordingCanvas::drawShape(const Shape& shape, const Pen& pen, const Brush& brush, const State& state) {
  Record r;
  r.type = Record::Type::Shape;
  r.state = state;
  r.shape = shape;
  r.pen = pen;
  r.brush = brush;
  records_.push_back(std::move(r));
}

void RecordingCanvas::fillRects(const std::vector<Rect>& rects, const Brush& brush, const State& state) {
  Record r;
  r.type = Record::Type::Rects;
  r.state = state;
  r.rects = rects;
  r.brush = brush;
  records_.push_back(std::move(r));
}

void RecordingCanvas::drawText(const TextRun& run, const State& state) {
  Record r;
  r.type = Record::Type::Text;
  r.state = state;
  r.text = run;
  records_.push_back(std::move(r));
}

void RecordingCanvas::drawImage(const Image& image, const Rect& src, const Rect& dst, const State& state) {
  Record r;
  r.type = Record::Type::Image;
  r.state = state;
  r.src = src;
  r.dst = dst;
  r.premultiplied = image.premultiplied;
  // Keep the part of the source rectangle that lies inside the image.
  const int x0 = std::max(src.left, 0), y0 = std::max(src.top, 0);
  const int x1 = std::min(src.right, image.width), y1 = std::min(src.bottom, image.height);
  if (image.pixels && src.left >= 0 && src.top >= 0 && x1 == src.right && y1 == src.bottom) {
    r.pixels.reserve(static_cast<std::size_t>(x1 - x0) * static_cast<std::size_t>(std::max(0, y1 - y0)));
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) r.pixels.push_back(image.at(x, y));
    }
  }
  records_.push_back(std::move(r));
}

bool RecordingCanvas::drawVectors(const std::shared_ptr<const VectorDrawing>& drawing, Point from, Point to,
                                  const State& state) {
  if (drawing == nullptr) return false;
  Record r;
  r.type = Record::Type::Vectors;
  r.state = state;
  r.vectors = drawing;
  r.from = from;
  r.to = to;
  records_.push_back(std::move(r));
  return true;
}

std::vector<const Record*> RecordingCanvas::recordsOf(Record::Type type) const {
  std::vector<const Record*> out;
  for (const Record& r : records_) {
    if (r.type == type) out.push_back(&r);
  }
  return out;
}

std::vector<const Record*> RecordingCanvas::shapesOf(ShapeKind kind) const {
  std::vector<const Record*> out;
  for (const Record& r : records_) {
    if (r.type == Record::Type::Shape && r.shape.kind == kind) out.push_back(&r);
  }
  return out;
}

}  // namespace md::canvas
