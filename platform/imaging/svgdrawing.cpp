#include "platform/imaging/svgdrawing.h"

#include <utility>

#include "platform/imaging/svgpaint.h"

namespace md::imaging {

SvgDrawing::SvgDrawing(std::string svg, double width, double height, std::size_t memoryLimit)
    : width_(width), height_(height), memoryLimit_(memoryLimit), textBytes_(svg.size()) {
  if (svg.size() > kSvgDrawingBytes) {
    checked_ = "it is larger than " + std::to_string(kSvgDrawingBytes >> 20) + " MiB";
    return;
  }
  checked_ = SvgRefusal(svg);
  if (!checked_.empty()) return;
  measure_ = MeasureSvg(svg);
  checked_ = SvgPastBounds(measure_);
  if (!checked_.empty()) return;
  // Read once its references are known to run in no cycle and no deeper
  // than the measure allows: the painter follows them.
  document_ = detail::SvgDocument::Read(std::move(svg), &checked_);
  if (document_ == nullptr) return;
  if (const std::size_t held = Bytes(); held > memoryLimit) {
    checked_ = "it would hold " + std::to_string(held >> 20) + " MiB once painted, more than the " +
               std::to_string(memoryLimit >> 20) + " MiB a picture may take";
    document_ = nullptr;
  }
}

SvgDrawing::~SvgDrawing() = default;

std::size_t SvgDrawing::Bytes() const {
  if (document_ == nullptr) return textBytes_;  // never read: its text only
  return document_->Bytes() + static_cast<std::size_t>(measure_.picturePixels) * kSvgPictureBytesPerPixel;
}

void SvgDrawing::paint(cairo_t* cr, double width, double height) const {
  if (const std::shared_ptr<const canvas::VectorDrawing> print = ForPrint()) print->paint(cr, width, height);
}

std::shared_ptr<const canvas::VectorDrawing> SvgDrawing::ForPrint() const {
  if (!Readable() || !(width_ > 0) || !(height_ > 0)) return nullptr;
  return detail::PrintSvg(document_, width_, height_, memoryLimit_);
}

}  // namespace md::imaging
