// A canvas that paints nothing and keeps every call, with its resolved
// device geometry, pen, brush, font, text and the clip in force, so that
// tests can ask what was drawn, where, and under which clip.
#pragma once

#include <vector>

#include "platform/canvas/canvas.h"

namespace md::canvas {

struct Record {
  enum class Type { Shape, Rects, Text, Image, Vectors };
  Type type = Type::Shape;
  State state;                        // clip and background at the time of the call
  Shape shape;                        // Type::Shape
  Pen pen;                            // Type::Shape
  Brush brush;                        // Type::Shape and Type::Rects
  std::vector<Rect> rects;            // Type::Rects
  TextRun text;                       // Type::Text
  Rect src;                           // Type::Image: source rectangle
  Rect dst;                           // Type::Image: destination rectangle
  std::vector<std::uint32_t> pixels;  // Type::Image: the copied source rectangle, top-down
  bool premultiplied = false;         // Type::Image: the pixels carry alpha (see Image)

  // Type::Vectors: the drawing, and where its corners land.
  std::shared_ptr<const VectorDrawing> vectors;
  Point from, to;

  // Every point of the shape's paths, in order.
  std::vector<Point> Points() const;
  // Draws a kept image onto another canvas as it was drawn here; nothing
  // when the kept pixels do not fill the source rectangle.
  void DrawImageOn(Canvas& canvas) const;
  // Draws kept vectors onto another canvas as they were drawn here.
  void DrawVectorsOn(Canvas& canvas) const { canvas.drawVectors(vectors, from, to, state); }
};

class RecordingCanvas : public Canvas {
 public:
  RecordingCanvas(int width, int height) : width_(width), height_(height) {}

  int width() const override { return width_; }
  int height() const override { return height_; }
  void drawShape(const Shape& shape, const Pen& pen, const Brush& brush, const State& state) override;
  void fillRects(const std::vector<Rect>& rects, const Brush& brush, const State& state) override;
  void drawText(const TextRun& run, const State& state) override;
  void drawImage(const Image& image, const Rect& src, const Rect& dst, const State& state) override;
  // Keeps the drawing itself (shared).
  bool drawVectors(const std::shared_ptr<const VectorDrawing>& drawing, Point from, Point to,
                   const State& state) override;
  VectorOutput vectorOutput() const override { return VectorOutput::Paths; }

  const std::vector<Record>& records() const { return records_; }
  // The records of one type, in call order.
  std::vector<const Record*> recordsOf(Record::Type type) const;
  // The shapes made by one kind of call.
  std::vector<const Record*> shapesOf(ShapeKind kind) const;
  void clear() { records_.clear(); }

 private:
  int width_;
  int height_;
  std::vector<Record> records_;
};

}  // namespace md::canvas
