// Drawing a page raster band by band: a device context prints the page once
// into a BandRecording, which keeps every call with the rows it can reach;
// each band is then painted from it onto a band canvas
// (CairoCanvas::createBand), only with the calls that reach the band's rows.
// The bands come out as the same rows of the page printed onto one raster,
// without a raster of the whole page ever being made; they may be painted
// on several threads at once.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/canvas/recording.h"

namespace md::canvas {

class CairoCanvas;

class BandRecording final : public RecordingCanvas {
 public:
  BandRecording(int width, int height) : RecordingCanvas(width, height) {}

  void drawShape(const Shape& shape, const Pen& pen, const Brush& brush, const State& state) override;
  void fillRects(const std::vector<Rect>& rects, const Brush& brush, const State& state) override;
  void drawText(const TextRun& run, const State& state) override;
  void drawImage(const Image& image, const Rect& src, const Rect& dst, const State& state) override;
  bool drawVectors(const std::shared_ptr<const VectorDrawing>& drawing, Point from, Point to,
                   const State& state) override;
  // The bands are rasters.
  VectorOutput vectorOutput() const override { return VectorOutput::Pixels; }
  // A recording has no pixels to give back: the drawing went otherwise than
  // on a raster, and the page must be printed onto a whole one.
  bool readPixels(const Rect& r, std::uint32_t* out) const override;

  // False when the bands would not come out as a whole raster's rows: pixels
  // were read back, an image was drawn from outside its source, or a shape
  // was stroked with a dashed pen.
  bool paintable() const { return paintable_; }
  // Paints the kept calls that can reach the band's rows onto it, in order.
  void paintBand(CairoCanvas& band) const;

 private:
  struct Reach {
    double top;
    double bottom;
  };
  void keep(double top, double bottom, const State& state);

  std::vector<Reach> reach_;  // one a record: the device rows it may paint
  mutable bool paintable_ = true;
};

}  // namespace md::canvas
