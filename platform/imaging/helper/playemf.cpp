// The enhanced metafile reader: libemf2svg turns the records (EMF+ included)
// into SVG, and librsvg draws it with cairo into the picture's pixels. The
// picture is the frame the header gives (in 0.01 mm), placed on the
// reference device the header names. Both libraries run in the helper
// program (request.h).
#include <emf2svg.h>
#include <librsvg/rsvg.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/imaging/helper/emfbitmaps.h"
#include "platform/imaging/helper/emfstrings.h"
#include "platform/imaging/helper/play.h"
#include "platform/imaging/helper/target.h"
#include "platform/imaging/protocol/metafileheader.h"

namespace md::imaging {
namespace {

constexpr std::uint32_t kComment = 70, kSetWindowExt = 9, kSetViewportExt = 11;

// A device starts with window and viewport extents of 1 x 1, which a file
// switching to an anisotropic or isotropic mapping keeps until it sets its
// own; libemf2svg starts them at 0 and maps every point of such a file to
// no number. The copy is given the device's first extents as records of
// its own, after the header and the comments right after it (where an EMF+
// header lies).
void SetFirstExtents(std::vector<std::uint8_t>* copy) {
  std::vector<std::uint8_t>& b = *copy;
  std::size_t at = detail::EmfU32(b.data() + 4);
  while (at + 8 <= b.size() && detail::EmfU32(b.data() + at) == kComment) {
    const std::uint32_t bytes = detail::EmfU32(b.data() + at + 4);
    if (bytes < 8 || bytes > b.size() - at) break;
    at += bytes;
  }
  constexpr std::array<std::uint32_t, 8> kWords = {kSetWindowExt, 16, 1, 1, kSetViewportExt, 16, 1, 1};
  std::uint8_t records[4 * kWords.size()];
  for (std::size_t k = 0; k < kWords.size(); ++k) detail::EmfPut32(records + 4 * k, kWords[k]);
  b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), std::begin(records), std::end(records));
  detail::EmfPut32(b.data() + 48, detail::EmfU32(b.data() + 48) + sizeof records);
  detail::EmfPut32(b.data() + 52, detail::EmfU32(b.data() + 52) + 2);
}

std::string Draw(const std::uint8_t* data, std::size_t size, const detail::EmfFrame& f,
                 detail::MetafileTarget* t) {
  std::string why = t->Size(f.width, f.height);
  if (!why.empty()) return why;
  const int w = t->header[0], h = t->header[1];
  // libemf2svg scales and places the drawing by the header's bounds, the box
  // of what the records draw, and draws its hairlines one SVG unit wide. It
  // is given a copy whose bounds are the frame rounded out to whole device
  // pixels, and a width that makes an SVG unit about a pixel of the picture
  // (its hatches' cells are sized in them); the SVG's view box then picks
  // the frame out exactly, and librsvg draws it at the drawn size.
  const double boundsX = std::floor(f.left), boundsY = std::floor(f.top);
  const double boundsW = std::ceil(f.right) - boundsX, boundsH = std::ceil(f.bottom) - boundsY;
  if (boundsX < INT32_MIN || boundsY < INT32_MIN || boundsX + boundsW > INT32_MAX ||
      boundsY + boundsH > INT32_MAX)
    return "the frame lies past the reference device's range";
  std::vector<std::uint8_t> copy = detail::ExpandEmfBitmaps(data, size, t->memoryLimit / 4);
  if (copy.empty()) copy.assign(data, data + size);
  // The bounds lie within 32 bits (above): each as the word it is.
  const auto bound = [&copy](std::size_t at, double v) {
    detail::EmfPut32(copy.data() + at, static_cast<std::uint32_t>(static_cast<std::int32_t>(v)));
  };
  bound(8, boundsX);
  bound(12, boundsY);
  bound(16, boundsX + boundsW);
  bound(20, boundsY + boundsH);
  SetFirstExtents(&copy);
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
  if (t->SizeOnly()) {
    // Its records read, its size the header's: what it draws is drawn at
    // each size it is drawn at.
    std::free(body);
    t->Finish();
    return "";
  }
  char head[512];
  std::snprintf(head, sizeof head,
                "<svg version=\"1.1\" xmlns=\"http://www.w3.org/2000/svg\" "
                "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"%d\" height=\"%d\" "
                "viewBox=\"%.17g %.17g %.17g %.17g\" preserveAspectRatio=\"none\">\n",
                w, h, (f.left - boundsX) * unit, (f.top - boundsY) * unit, (f.right - f.left) * unit,
                (f.bottom - f.top) * unit);
  std::string svg = head;
  // The SVG's units of a pixel of the drawn size, the larger across or down.
  const double least =
      std::max((f.right - f.left) * unit / t->DrawnWidth(), (f.bottom - f.top) * unit / t->DrawnHeight());
  svg += detail::EscapeEmfSvg(std::string_view(body, length), least);
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
  const RsvgRectangle viewport{0, 0, t->DrawnWidth(), t->DrawnHeight()};
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

}  // namespace

namespace detail {

std::string PlayEmf(const std::uint8_t* data, std::size_t size, MetafileTarget* t) {
  EmfFrame f;
  const std::string why = ReadEmfHeader(data, size, &f);
  if (!why.empty()) return why;
  return Draw(data, f.declared, f, t);
}

}  // namespace detail

}  // namespace md::imaging
