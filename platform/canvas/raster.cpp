// Raster pictures: reading a canvas, PNG files through cairo, comparisons.
#include "platform/canvas/raster.h"

#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/pngwrite.h"

#include <cairo.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace md::canvas {
namespace {

void SetError(std::string* error, const std::string& text) {
  if (error != nullptr) *error = text;
}

}  // namespace

Raster ReadRaster(Canvas& canvas) {
  Raster r;
  if (canvas.width() <= 0 || canvas.height() <= 0) return r;
  if (const auto* cairo = dynamic_cast<const CairoCanvas*>(&canvas)) r.dpi = cairo->resolution();
  r.width = canvas.width();
  r.height = canvas.height();
  r.pixels.resize(static_cast<std::size_t>(r.width) * r.height);
  canvas.flush();
  if (!canvas.readPixels(Rect{0, 0, r.width, r.height}, r.pixels.data())) return Raster{};
  return r;
}

bool WritePng(const Raster& raster, const std::string& path, std::string* error) {
  if (raster.width <= 0 || raster.height <= 0 ||
      raster.pixels.size() != static_cast<std::size_t>(raster.width) * raster.height) {
    SetError(error, "nothing to write to " + path);
    return false;
  }
  std::string why;
  if (!WritePngFile(path, raster.pixels.data(), raster.width, raster.height,
                    static_cast<std::ptrdiff_t>(raster.width) * 4, false, &why, raster.dpi)) {
    SetError(error, "cannot write " + path + ": " + why);
    return false;
  }
  return true;
}

bool ReadPng(const std::string& path, Raster* raster, std::string* error) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  const cairo_status_t status = cairo_surface_status(s);
  if (status != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    SetError(error, "cannot read " + path + ": " + cairo_status_to_string(status));
    return false;
  }
  const cairo_format_t format = cairo_image_surface_get_format(s);
  const int w = cairo_image_surface_get_width(s);
  const int h = cairo_image_surface_get_height(s);
  if ((format != CAIRO_FORMAT_RGB24 && format != CAIRO_FORMAT_ARGB32) || w <= 0 || h <= 0) {
    cairo_surface_destroy(s);
    SetError(error, path + " is not an RGB picture");
    return false;
  }
  const unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  Raster r;
  r.width = w;
  r.height = h;
  r.pixels.resize(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < w; ++x) {
      std::uint32_t p = row[x];
      if (format == CAIRO_FORMAT_ARGB32) {
        // Premultiplied: composite over white, as the page's paper is.
        const std::uint32_t a = p >> 24;
        std::uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
          const std::uint32_t c = (p >> shift) & 0xFF;
          out |= std::min<std::uint32_t>(255, c + (255 - a)) << shift;
        }
        p = out;
      }
      r.pixels[static_cast<std::size_t>(y) * w + x] = p & 0xFFFFFF;
    }
  }
  cairo_surface_destroy(s);
  *raster = std::move(r);
  return true;
}

namespace {

int ChannelDifference(std::uint32_t a, std::uint32_t b) {
  int d = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    d = std::max(d, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  }
  return d;
}

}  // namespace

namespace {

// Rows compared whole first: equal rows, the usual case, cost one memcmp.
template <class RowA, class RowB>
Difference CompareRows(int width, int height, RowA rowA, RowB rowB, int tolerance) {
  Difference d;
  d.sameSize = true;
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* a = rowA(y);
    const std::uint32_t* b = rowB(y);
    if (a == nullptr || b == nullptr) return Difference{};
    if (std::memcmp(a, b, static_cast<std::size_t>(width) * 4) == 0) continue;
    for (int x = 0; x < width; ++x) {
      const int c = ChannelDifference(a[x], b[x]);
      d.largest = std::max(d.largest, c);
      if (c > tolerance) ++d.differing;
    }
  }
  return d;
}

}  // namespace

Difference Compare(const Raster& a, const Raster& b, int tolerance) {
  const bool sameSize = a.width == b.width && a.height == b.height && a.pixels.size() == b.pixels.size() &&
                        a.pixels.size() == static_cast<std::size_t>(a.width) * a.height;
  if (!sameSize) return Difference{};
  auto row = [](const Raster& r) {
    return [&r](int y) { return r.pixels.data() + static_cast<std::size_t>(y) * r.width; };
  };
  return CompareRows(a.width, a.height, row(a), row(b), tolerance);
}

Difference Compare(const CairoCanvas& a, const CairoCanvas& b, int tolerance) {
  if (a.width() != b.width() || a.height() != b.height() || a.width() <= 0 || a.height() <= 0)
    return Difference{};
  return CompareRows(
      a.width(), a.height(), [&a](int y) { return a.pixelRow(y); }, [&b](int y) { return b.pixelRow(y); },
      tolerance);
}

Raster DifferenceImage(const Raster& a, const Raster& b, int tolerance) {
  Raster out;
  if (!Compare(a, b, tolerance).sameSize) return out;
  out.width = a.width;
  out.height = a.height;
  out.dpi = a.dpi;
  out.pixels.resize(a.pixels.size());
  for (std::size_t i = 0; i < a.pixels.size(); ++i) {
    if (ChannelDifference(a.pixels[i], b.pixels[i]) > tolerance) {
      out.pixels[i] = 0xFF0000;
      continue;
    }
    // Grey of the pixel's brightness, faded three quarters towards white.
    const std::uint32_t p = a.pixels[i];
    const std::uint32_t grey = (((p >> 16) & 0xFF) * 3 + ((p >> 8) & 0xFF) * 6 + (p & 0xFF)) / 10;
    const std::uint32_t g = 255 - (255 - grey) / 4;
    out.pixels[i] = (g << 16) | (g << 8) | g;
  }
  return out;
}

}  // namespace md::canvas
