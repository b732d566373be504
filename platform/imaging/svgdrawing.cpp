#include "platform/imaging/svgdrawing.h"

#include <librsvg/rsvg.h>

#include <cctype>

namespace md::imaging {
namespace {

// Whether every reference the document makes is to its own parts or to PNG
// data, as cairo writes them, so that librsvg reads nothing else (no file,
// no other format to decode) on its behalf. cairo writes neither character
// references nor escapes, which could hide a reference from this look; the
// look ignores case, as style sheets do.
bool OnlyOwnReferences(std::string svg) {
  if (svg.find_first_of("&\\") != std::string::npos) return false;
  for (char& c : svg) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const std::string key : {"href", "url("}) {
    for (std::size_t at = svg.find(key); at != std::string::npos; at = svg.find(key, at + 1)) {
      // The value, after an equals sign for an attribute, blanks and a quote.
      std::size_t value = svg.find_first_not_of(" \t\r\n", at + key.size());
      if (key == "href") {
        if (value == std::string::npos || svg[value] != '=') continue;  // a word, not an attribute
        value = svg.find_first_not_of(" \t\r\n", value + 1);
      }
      if (value != std::string::npos && (svg[value] == '"' || svg[value] == '\'')) ++value;
      if (value == std::string::npos ||
          (svg.compare(value, 1, "#") != 0 && svg.compare(value, 22, "data:image/png;base64,") != 0))
        return false;
    }
  }
  return true;
}

}  // namespace

SvgDrawing::SvgDrawing(std::string svg, double width, double height)
    : svg_(std::move(svg)), width_(width), height_(height) {}

SvgDrawing::~SvgDrawing() {
  if (handle_ != nullptr) g_object_unref(handle_);
}

bool SvgDrawing::Readable() const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!read_) {
    read_ = true;
    if (!OnlyOwnReferences(svg_)) return false;
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
