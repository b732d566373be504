// The enhanced metafile reader: libemf2svg turns the records (EMF+ included)
// into SVG, and librsvg draws it with cairo into the picture's pixels. The
// picture is the frame the header gives (in 0.01 mm), placed on the
// reference device the header names. Both libraries run in the helper
// program (metafile.h).
#include <emf2svg.h>
#include <librsvg/rsvg.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/imaging/decode.h"
#include "platform/imaging/emfstrings.h"
#include "platform/imaging/metafile.h"

namespace md::imaging {
namespace {

constexpr const char* kName = "EMF";

std::int32_t S32(const std::uint8_t* p) { return static_cast<std::int32_t>(detail::EmfU32(p)); }

struct Frame {
  std::uint32_t declared = 0;                       // the bytes of the records
  double width = 0, height = 0;                     // inches
  double left = 0, top = 0, right = 0, bottom = 0;  // in pixels of the reference device
};

std::string Draw(const std::uint8_t* data, std::size_t size, const Frame& f, detail::MetafileTarget* t) {
  std::string why = t->Size(f.width, f.height);
  if (!why.empty()) return why;
  const int w = t->header[0], h = t->header[1];
  // libemf2svg scales and places the drawing by the header's bounds, the box
  // of what the records draw, and draws its hairlines one SVG unit wide. It
  // is given a copy whose bounds are the frame rounded out to whole device
  // pixels, and a width that makes an SVG unit about a pixel of the picture;
  // the SVG's view box then picks the frame out exactly.
  const double boundsX = std::floor(f.left), boundsY = std::floor(f.top);
  const double boundsW = std::ceil(f.right) - boundsX, boundsH = std::ceil(f.bottom) - boundsY;
  if (boundsX < INT32_MIN || boundsY < INT32_MIN || boundsX + boundsW > INT32_MAX ||
      boundsY + boundsH > INT32_MAX)
    return "the frame lies past the reference device's range";
  std::vector<std::uint8_t> copy(data, data + size);
  // The bounds lie within 32 bits (above): each as the word it is.
  const auto bound = [&copy](std::size_t at, double v) {
    detail::EmfPut32(copy.data() + at, static_cast<std::uint32_t>(static_cast<std::int32_t>(v)));
  };
  bound(8, boundsX);
  bound(12, boundsY);
  bound(16, boundsX + boundsW);
  bound(20, boundsY + boundsH);
  detail::MarkEmfStrings(copy.data(), copy.size());
  const double unit = w / (f.right - f.left);  // SVG units a device pixel
  generatorOptions options{};
  char empty[] = "";
  options.nameSpace = empty;
  options.svgDelimiter = false;
  options.emfplus = true;
  options.imgWidth = boundsW * unit;
  options.imgHeight = 0;  // from the bounds' shape: the same unit across and down
  char* body = nullptr;
  std::size_t length = 0;
  const int converted = emf2svg(reinterpret_cast<char*>(copy.data()), copy.size(), &body, &length, &options);
  if (converted == 0 || body == nullptr) {
    std::free(body);
    return "damaged records";
  }
  char head[512];
  std::snprintf(head, sizeof head,
                "<svg version=\"1.1\" xmlns=\"http://www.w3.org/2000/svg\" "
                "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"%d\" height=\"%d\" "
                "viewBox=\"%.17g %.17g %.17g %.17g\" preserveAspectRatio=\"none\">\n",
                w, h, (f.left - boundsX) * unit, (f.top - boundsY) * unit, (f.right - f.left) * unit,
                (f.bottom - f.top) * unit);
  std::string svg = head;
  svg += detail::EscapeEmfSvg(std::string_view(body, length));
  std::free(body);
  svg += "</svg>\n";
  GError* error = nullptr;
  RsvgHandle* handle =
      rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg.data()), svg.size(), &error);
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

// The header record: type 1, its size, the bounds in device pixels, the
// frame in 0.01 mm, the signature " EMF", the version, the file's size, the
// reference device's size in pixels and in millimetres.
std::string ReadHeader(const std::uint8_t* data, std::size_t size, Frame* f) {
  if (data == nullptr || size < 88 || detail::EmfU32(data) != 1 || detail::EmfU32(data + 40) != 0x464D4520u)
    return "no metafile header";
  const std::uint32_t headerSize = detail::EmfU32(data + 4);
  if (headerSize < 88 || headerSize > size || headerSize % 4 != 0)
    return "bad header record of " + std::to_string(headerSize) + " bytes";
  f->declared = detail::EmfU32(data + 48);
  if (f->declared > size) return "the records end early";
  if (f->declared < headerSize + 20) return "the file holds no records";
  const double left = S32(data + 24), top = S32(data + 28), right = S32(data + 32), bottom = S32(data + 36);
  f->width = (right - left) / 2540.0;
  f->height = (bottom - top) / 2540.0;
  if (!(f->width > 0) || !(f->height > 0))
    return std::string(f->width < 0 || f->height < 0 ? "the frame is inverted ("
                                                     : "the frame has no size (") +
           std::to_string(S32(data + 32) - std::int64_t{S32(data + 24)}) + " x " +
           std::to_string(S32(data + 36) - std::int64_t{S32(data + 28)}) + " x 0.01 mm)";
  const double pixelsX = S32(data + 72), pixelsY = S32(data + 76), mmX = S32(data + 80), mmY = S32(data + 84);
  if (!(pixelsX > 0) || !(pixelsY > 0) || !(mmX > 0) || !(mmY > 0))
    return "the header names no reference device (" + std::to_string(S32(data + 72)) + " x " +
           std::to_string(S32(data + 76)) + " pixels over " + std::to_string(S32(data + 80)) + " x " +
           std::to_string(S32(data + 84)) + " mm)";
  f->left = left / 100 * pixelsX / mmX;
  f->right = right / 100 * pixelsX / mmX;
  f->top = top / 100 * pixelsY / mmY;
  f->bottom = bottom / 100 * pixelsY / mmY;
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
  return Draw(data, f.declared, f, t);
}

}  // namespace detail

}  // namespace md::imaging
