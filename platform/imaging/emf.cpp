// The enhanced metafile reader: libemf2svg turns the records (EMF+ included)
// into an SVG document of the picture's pixel size, and librsvg draws it
// with cairo into the picture's pixels. The drawing covers the frame the
// header gives (in 0.01 mm). Both libraries run in the helper program
// (metafile.h).
#include <emf2svg.h>
#include <librsvg/rsvg.h>

#include <cstdlib>

#include "platform/imaging/decode.h"
#include "platform/imaging/metafile.h"

namespace md::imaging {
namespace {

constexpr const char* kName = "EMF";

std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::int32_t S32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }

std::string Draw(const std::uint8_t* data, std::size_t size, double widthInches, double heightInches,
                 detail::MetafileTarget* t) {
  std::string why = t->Size(widthInches, heightInches);
  if (!why.empty()) return why;
  const int w = t->header[0], h = t->header[1];
  generatorOptions options{};
  char empty[] = "";
  options.nameSpace = empty;
  options.svgDelimiter = true;
  options.emfplus = true;
  options.imgWidth = w;
  options.imgHeight = h;
  char* svg = nullptr;
  std::size_t length = 0;
  const int converted =
      emf2svg(reinterpret_cast<char*>(const_cast<std::uint8_t*>(data)), size, &svg, &length, &options);
  if (converted == 0 || svg == nullptr) {
    std::free(svg);
    return "damaged records";
  }
  GError* error = nullptr;
  RsvgHandle* handle = rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg), length, &error);
  std::free(svg);
  if (handle == nullptr) {
    why = std::string("the drawing cannot be read: ") + (error != nullptr ? error->message : "");
    if (error != nullptr) g_error_free(error);
    return why;
  }
  cairo_surface_t* surface = t->Surface();
  cairo_t* cr = cairo_create(surface);
  const RsvgRectangle viewport{0, 0, static_cast<double>(w), static_cast<double>(h)};
  if (!rsvg_handle_render_document(handle, cr, &viewport, &error)) {
    why = std::string("the drawing cannot be drawn: ") + (error != nullptr ? error->message : "");
    if (error != nullptr) g_error_free(error);
  }
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  if (why.empty()) t->Finish();  // while librsvg's fonts live
  g_object_unref(handle);
  return why;
}

struct Frame {
  std::uint32_t declared = 0;    // the bytes of the records
  double width = 0, height = 0;  // inches
};

// The header record: type 1, its size, the bounds in device pixels, the
// frame in 0.01 mm, the signature " EMF", the version and the file's size.
std::string ReadHeader(const std::uint8_t* data, std::size_t size, Frame* f) {
  if (data == nullptr || size < 88 || U32(data) != 1 || U32(data + 40) != 0x464D4520u)
    return "no metafile header";
  const std::uint32_t headerSize = U32(data + 4);
  if (headerSize < 88 || headerSize > size || headerSize % 4 != 0)
    return "bad header record of " + std::to_string(headerSize) + " bytes";
  f->declared = U32(data + 48);
  if (f->declared > size) return "the records end early";
  if (f->declared < headerSize + 20) return "the file holds no records";
  const double left = S32(data + 24), top = S32(data + 28), right = S32(data + 32), bottom = S32(data + 36);
  f->width = (right - left) / 2540.0;
  f->height = (bottom - top) / 2540.0;
  if (!(f->width > 0) || !(f->height > 0))
    return "the frame has no size (" + std::to_string(right - left) + " x " + std::to_string(bottom - top) +
           " x 0.01 mm)";
  return "";
}

}  // namespace

DecodeResult DecodeEmf(const std::uint8_t* data, std::size_t size, std::size_t memoryLimit) {
  Frame f;
  const std::string why = ReadHeader(data, size, &f);
  if (!why.empty()) return detail::Fail(kName, why);
  return detail::RenderMetafile(kName, Format::Emf, memoryLimit, data, f.declared);
}

namespace detail {

std::string PlayEmf(const std::uint8_t* data, std::size_t size, MetafileTarget* t) {
  Frame f;
  const std::string why = ReadHeader(data, size, &f);
  if (!why.empty()) return why;
  return Draw(data, f.declared, f.width, f.height, t);
}

}  // namespace detail

}  // namespace md::imaging
