// A metafile's drawing as vectors: the SVG document cairo wrote of it in the
// helper program (metafile.h), painted with librsvg wherever it goes. The
// file itself is decoded only in the helper; what crosses into this process
// is cairo's own SVG of what the libraries drew (paths, clips, masks,
// gradients, patterns, pictures; text as glyph outlines), read only here and
// only when it is no larger than kSvgDrawingBytes, SvgRefusal finds nothing
// else in it and MeasureSvg finds it within the bounds below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/canvas/canvas.h"

struct _RsvgHandle;

namespace md::imaging {

// The largest document read here. librsvg takes about 0.2 s a MiB to read
// one and keeps some 10 to 30 times its size; a larger document is not read
// and its drawing's pixels are drawn instead. The helper writes none larger
// (kMetafileSvgBytes).
constexpr std::size_t kSvgDrawingBytes = std::size_t{4} << 20;
// What a read document is reckoned to keep, the document included, for the
// memory a cache holds: this many times its size.
constexpr std::size_t kSvgDrawingKeptPerByte = 32;

// What librsvg's painting of a document costs grows with what it draws,
// which the elements it may hold (SvgRefusal) do not bound: a few kilobytes
// of groups that each use the one below several times draw millions of
// elements. What a document draws, counted in one pass over its text before
// librsvg reads it.
struct SvgMeasure {
  // Elements painted: an element drawn through a reference (a use, or a
  // clip path, mask, pattern, gradient or filter named by url(#...)) counts
  // its whole subtree again for each reference.
  std::uint64_t instances = 0;
  // Segments of the paths painted (a rectangle's four), counted the same way.
  std::uint64_t segments = 0;
  // Elements painted with opacity, a mask or a filter, counted the same way:
  // librsvg paints each onto an intermediate surface of the whole target.
  std::uint64_t layers = 0;
  // The pixels of the embedded pictures, as their PNG headers give them
  // (a picture shown twice counts once: librsvg decodes it once).
  std::uint64_t picturePixels = 0;
  // Why it cannot be measured (a reference cycle, a tag not closed); "" when
  // it was.
  std::string refusal;
};
SvgMeasure MeasureSvg(std::string_view svg);

// The most a document read here may draw: far above what cairo writes of the
// tests' and the demo's metafiles (bench_svg prints their figures: at most
// 23 elements, 290 segments and no layer), far below what keeps librsvg busy
// for minutes. At 300 dpi of a 10 x 5 inch drawing an element filling it
// costs librsvg about 1 ms, a layer 10 ms, and a path that crosses itself
// all over far more a segment than one that does not.
constexpr std::uint64_t kSvgMaxInstances = 50000;
constexpr std::uint64_t kSvgMaxSegments = 200000;
constexpr std::uint64_t kSvgMaxLayers = 100;
// A picture's pixels as librsvg keeps them once it painted the document: a
// cairo image surface, four bytes a pixel; and while it decodes one, the
// pixbuf it decodes into as well, up to four bytes a pixel more. A drawing is
// counted at that peak. The pictures of a document together take at most
// kIsolatedExtraMemory (isolate.h) as surfaces: the helper held them all
// while it drew them. A drawing counted at more than the memory a picture
// may take (the limit its pixels were decoded within, as for any picture) is
// drawn from its pixels. One counted at more than the picture cache's
// capacity is painted but not kept (picturecache.h).
constexpr std::size_t kSvgPictureBytesPerPixel = 4;
constexpr std::size_t kSvgPictureDecodingBytesPerPixel = 4;

// Whether librsvg may read the document without reading anything else on
// its behalf: UTF-8 without a byte-order mark (an XML declaration, if any,
// names no other encoding), with no document type or other declaration, no
// entity or character reference, no processing instruction but the XML
// declaration, no escape, no style sheet import, no markup inside a style
// element (comments, CDATA sections, elements), no base, and no reference
// but to its own parts ("#...") and to PNG data ("data:image/png;base64,"
// whose bytes start with PNG's signature). What cairo writes passes.
bool SvgRefersOnlyToItself(std::string_view svg);

// Why librsvg may not read the document: "" when it passes
// SvgRefersOnlyToItself and holds only what cairo's SVG surface writes of a
// drawing (SVG 1.1): an XML declaration, one svg element holding the other
// elements cairo writes, each with attributes of the ones cairo writes of it,
// style attributes of the properties cairo writes, and blanks between the
// tags. Anything else (another element such as a filter's turbulence, an
// attribute, a property, text, a comment) is named in the answer: librsvg
// can spend minutes on a few kilobytes of effects cairo never writes.
std::string SvgRefusal(std::string_view svg);

// A drawing whose painting is slow enough that a raster of it is worth
// keeping at each size it is drawn at: one of these figures reached. The
// zigzag of one self-intersecting 3,000-point polygon takes cairo over a
// second at 300 dpi, where the tests' and the demo's metafiles draw far less.
constexpr std::uint64_t kSvgSlowInstances = 10000;
constexpr std::uint64_t kSvgSlowSegments = 2000;
constexpr std::uint64_t kSvgSlowLayers = 10;

// The document is checked and measured when the drawing is made, and read by
// librsvg at its first use. librsvg's handle paints on one thread at a time
// (its own image loader may run on several at once, each with its own
// handle): the drawing keeps one handle, the one Bytes counts, which a
// paint takes while it paints; a paint that finds it taken (another thread
// paints the drawing) reads a handle of its own from the document, which
// ends with that paint.
class SvgDrawing final : public canvas::VectorDrawing {
 public:
  // The document, the size of its view box, and the memory the drawing may
  // hold once painted (a picture's memory limit, bitmap.h).
  SvgDrawing(std::string svg, double width, double height, std::size_t memoryLimit);
  ~SvgDrawing() override;
  SvgDrawing(const SvgDrawing&) = delete;
  SvgDrawing& operator=(const SvgDrawing&) = delete;

  // Reads the document, once; false when it is larger than
  // kSvgDrawingBytes, SvgRefusal refuses it, it draws past a bound of
  // MeasureSvg's, its pictures take more than kIsolatedExtraMemory, it
  // would hold more than the memory limit it was made with, or
  // librsvg cannot read it, and then the drawing's pixels are drawn instead.
  // It never waits for a paint.
  bool Readable() const;
  // Why Readable answered false ("" when it answered true, and when the
  // document was checked and measured but librsvg has not read it yet).
  std::string Refusal() const;
  // What the document draws.
  const SvgMeasure& Measure() const { return measure_; }
  // Whether painting the drawing is slow enough (by its measure) that a
  // raster painting of it is worth keeping at each size it is drawn at;
  // false when it is not readable.
  bool SlowToPaint() const;
  void paint(cairo_t* cr, double width, double height) const override;
  // A drawing of one print's own, for a surface that refers to what it was
  // painted with until it is finished (a vector file, painted at its end):
  // the document read now into a handle that nothing else paints and that
  // ends with the print's last reference. NULL when the drawing is not
  // readable.
  std::shared_ptr<const canvas::VectorDrawing> ForPrint() const;
  // The memory the drawing is reckoned to hold once read and painted: the
  // document's read form and its pictures' pixels; its text only when it may
  // not be read.
  std::size_t Bytes() const;

 private:
  // The kept handle, or one of the paint's own when another paint holds it
  // (NULL when librsvg cannot read the document); and its return.
  _RsvgHandle* TakeHandle() const;
  void GiveBack(_RsvgHandle* handle) const;

  const std::string svg_;
  const double width_, height_;
  // Found when it is made: what the document draws, and why it may not be
  // read ("" when it may).
  SvgMeasure measure_;
  std::string checked_;
  mutable std::mutex mutex_;               // guards what follows; never held while librsvg runs
  mutable _RsvgHandle* handle_ = nullptr;  // the kept handle, when no paint holds it
  mutable bool read_ = false;
  mutable std::string refusal_;
};

}  // namespace md::imaging
