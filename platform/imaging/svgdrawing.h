// A metafile's drawing as vectors: the SVG document cairo wrote of it in the
// helper program (metafile.h), painted here by a painter of exactly what
// cairo's SVG surface writes (svgpaint.h), as paths into vector files. The
// file itself is decoded only in the helper; what crosses into this process
// is cairo's own SVG of what the libraries drew (paths, clips, masks,
// gradients, patterns, pictures; text as glyph outlines), read only here and
// only when it is no larger than kSvgDrawingBytes, SvgRefusal finds nothing
// else in it, MeasureSvg finds it within its bounds and it holds nothing
// that would be painted as pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/canvas/canvas.h"
#include "platform/imaging/svgcheck.h"
#include "platform/imaging/svgmeasure.h"

namespace md::imaging {

namespace detail {
class SvgDocument;
}

// The largest document read here; a larger document is not read and its
// drawing's pixels are drawn instead. The helper writes none larger
// (kMetafileSvgBytes).
constexpr std::size_t kSvgDrawingBytes = std::size_t{4} << 20;

// The document is checked, measured and read into its elements when the
// drawing is made; they are shared, read-only, by every paint. Each paint
// is a print of its own (ForPrint), which decodes the document's pictures
// into surfaces that only it paints.
class SvgDrawing final : public canvas::VectorDrawing {
 public:
  // The document, the size of its view box, and the memory the drawing may
  // hold once painted (a picture's memory limit, bitmap.h).
  SvgDrawing(std::string svg, double width, double height, std::size_t memoryLimit);
  ~SvgDrawing() override;
  SvgDrawing(const SvgDrawing&) = delete;
  SvgDrawing& operator=(const SvgDrawing&) = delete;

  // False when it is larger than kSvgDrawingBytes, SvgRefusal refuses it,
  // it draws past a bound of MeasureSvg's, its pictures take more than
  // kIsolatedExtraMemory, it would hold more than the memory limit it was
  // made with, or it holds what the painter would paint as pixels (a filter,
  // a pattern of anything but a picture, a picture in a faded or masked
  // group): then the drawing's pixels are drawn instead.
  bool Readable() const { return checked_.empty(); }
  // Why Readable answers false ("" when it answers true).
  const std::string& Refusal() const { return checked_; }
  // What the document draws.
  const SvgMeasure& Measure() const { return measure_; }
  // Paints it through a print of this paint's own.
  void paint(cairo_t* cr, double width, double height) const override;
  // A print of the drawing, for a paint or a surface that refers to what it
  // was painted with until it is finished (a vector file, painted at its
  // end): its pictures decoded now (the work a print does before it paints)
  // into surfaces only it paints, held until its last reference and the
  // surfaces it was painted into end (a picture that cannot be decoded
  // within the memory limit is left out). NULL when the drawing is not
  // readable.
  std::shared_ptr<const canvas::VectorDrawing> ForPrint() const;
  // The memory the drawing is reckoned to hold: the document and its
  // elements, and the pictures a print holds (kSvgPictureBytesPerPixel a
  // pixel) while it lives, counted here for one print at a time; its text
  // only when it may not be read.
  std::size_t Bytes() const;

 private:
  const double width_, height_;
  const std::size_t memoryLimit_;
  std::size_t textBytes_ = 0;
  // Found when it is made: what the document draws, why it may not be read
  // ("" when it may) and its elements (NULL when it may not).
  SvgMeasure measure_;
  std::string checked_;
  std::shared_ptr<const detail::SvgDocument> document_;
};

}  // namespace md::imaging
