// A metafile's drawing as vectors: the SVG document cairo wrote of it in the
// helper program (metafile.h), painted with librsvg wherever it goes. The
// file itself is decoded only in the helper; what crosses into this process
// is cairo's own SVG of what the libraries drew (paths, clips, pictures;
// text as glyph outlines), no larger than kMetafileSvgBytes, read only here.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>

#include "platform/canvas/canvas.h"

struct _RsvgHandle;

namespace md::imaging {

class SvgDrawing final : public canvas::VectorDrawing {
 public:
  // The document and the size of its view box.
  SvgDrawing(std::string svg, double width, double height);
  ~SvgDrawing() override;
  SvgDrawing(const SvgDrawing&) = delete;
  SvgDrawing& operator=(const SvgDrawing&) = delete;

  // Reads the document, once; false when librsvg cannot or the document
  // refers to anything but its own parts and PNG data, and then the
  // drawing's pixels are drawn instead.
  bool Readable() const;
  void paint(cairo_t* cr, double width, double height) const override;
  std::size_t Bytes() const { return svg_.size(); }

 private:
  const std::string svg_;
  const double width_, height_;
  mutable std::mutex mutex_;  // librsvg's handle draws on one thread at a time
  mutable _RsvgHandle* handle_ = nullptr;
  mutable bool read_ = false;
};

}  // namespace md::imaging
