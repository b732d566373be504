// A metafile's drawing as vectors: the SVG document cairo wrote of it in the
// helper program (metafile.h), painted with librsvg wherever it goes. The
// file itself is decoded only in the helper; what crosses into this process
// is cairo's own SVG of what the libraries drew (paths, clips, masks,
// gradients, patterns, pictures; text as glyph outlines), read only here and
// only when SvgRefusal finds nothing else in it and it is no larger than
// kSvgDrawingBytes.
#pragma once

#include <cstddef>
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

class SvgDrawing final : public canvas::VectorDrawing {
 public:
  // The document and the size of its view box.
  SvgDrawing(std::string svg, double width, double height);
  ~SvgDrawing() override;
  SvgDrawing(const SvgDrawing&) = delete;
  SvgDrawing& operator=(const SvgDrawing&) = delete;

  // Reads the document, once; false when it is larger than
  // kSvgDrawingBytes, SvgRefusal refuses it or librsvg cannot read it, and
  // then the drawing's pixels are drawn instead.
  bool Readable() const;
  // Why Readable answered false ("" before it was asked and when it answered
  // true).
  std::string Refusal() const;
  // Whether painting the drawing is slow enough (by what it is measured to
  // draw) that a raster painting of it is worth keeping at each size it is
  // drawn at; false when it is not readable.
  bool SlowToPaint() const;
  void paint(cairo_t* cr, double width, double height) const override;
  // The memory the drawing is reckoned to keep once read.
  std::size_t Bytes() const { return svg_.size() * kSvgDrawingKeptPerByte; }

 private:
  const std::string svg_;
  const double width_, height_;
  mutable std::mutex mutex_;  // librsvg's handle draws on one thread at a time
  mutable _RsvgHandle* handle_ = nullptr;
  mutable bool read_ = false;
  mutable std::string refusal_;
};

}  // namespace md::imaging
