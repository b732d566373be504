#include "platform/imaging/svgdrawing.h"

#include <librsvg/rsvg.h>

namespace md::imaging {

SvgDrawing::SvgDrawing(std::string svg, double width, double height)
    : svg_(std::move(svg)), width_(width), height_(height) {}

SvgDrawing::~SvgDrawing() {
  if (handle_ != nullptr) g_object_unref(handle_);
}

bool SvgDrawing::Readable() const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!read_) {
    read_ = true;
    GError* error = nullptr;
    handle_ = rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg_.data()), svg_.size(), &error);
    if (error != nullptr) g_error_free(error);
  }
  return handle_ != nullptr;
}

void SvgDrawing::paint(cairo_t* cr, double width, double height) const {
  if (!Readable() || !(width_ > 0) || !(height_ > 0)) return;
  std::lock_guard<std::mutex> lock(mutex_);
  // Stretched as the pixels would be: the view box onto the whole box.
  cairo_save(cr);
  cairo_scale(cr, width / width_, height / height_);
  const RsvgRectangle viewport{0, 0, width_, height_};
  GError* error = nullptr;
  rsvg_handle_render_document(handle_, cr, &viewport, &error);
  if (error != nullptr) g_error_free(error);
  cairo_restore(cr);
}

}  // namespace md::imaging
