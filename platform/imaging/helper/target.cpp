// The helper's drawing of a metafile (target.h): a recording of the chosen
// size, painted over a box's window, or written as a draw list.
#include "platform/imaging/helper/target.h"

#include <cairo-svg.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "platform/imaging/helper/listwriter.h"

namespace md::imaging::detail {
namespace {

// Size and PaintBox write the header's first words through `header` (the
// 0 PaintBox writes fourth says no list: VectorsAnswer::None).
static_assert(offsetof(AnswerHeader, width) == 0 && offsetof(AnswerHeader, height) == 4 &&
              offsetof(AnswerHeader, dpiMilli) == 8 && offsetof(AnswerHeader, vectors) == 12);

// The palette of an opaque image of at most 256 colours, and each pixel's
// index into it; false for any other image.
bool PaletteOf(cairo_surface_t* image, std::vector<std::uint32_t>* palette,
               std::vector<std::uint8_t>* indices) {
  const int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
  const int stride = cairo_image_surface_get_stride(image);
  const unsigned char* data = cairo_image_surface_get_data(image);
  indices->resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  std::uint32_t last = 0;
  std::uint8_t lastIndex = 0;
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    std::uint8_t* out = indices->data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = row[x];
      if (p >> 24 != 0xFF) return false;
      if (palette->empty() || p != last) {
        const std::size_t index =
            static_cast<std::size_t>(std::find(palette->begin(), palette->end(), p) - palette->begin());
        if (index == palette->size() && index == 256) return false;
        if (index == palette->size()) palette->push_back(p);
        last = p;
        lastIndex = static_cast<std::uint8_t>(index);
      }
      out[x] = lastIndex;
    }
  }
  return true;
}

struct PngOut {
  std::vector<unsigned char> bytes;
};

bool WritePalettePng(int w, int h, const std::vector<std::uint32_t>& palette,
                     const std::vector<std::uint8_t>& indices, PngOut* out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  const int depth = palette.size() <= 2 ? 1 : palette.size() <= 4 ? 2 : palette.size() <= 16 ? 4 : 8;
  const std::size_t rowBytes = (static_cast<std::size_t>(w) * static_cast<std::size_t>(depth) + 7) / 8;
  std::vector<png_byte> row(rowBytes);
  std::vector<png_color> colours;
  for (const std::uint32_t p : palette)
    colours.push_back(
        png_color{static_cast<png_byte>(p >> 16), static_cast<png_byte>(p >> 8), static_cast<png_byte>(p)});
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(
      png, out,
      [](png_structp p, png_bytep data, png_size_t n) {
        auto* o = static_cast<PngOut*>(png_get_io_ptr(p));
        o->bytes.insert(o->bytes.end(), data, data + n);
      },
      nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), depth,
               PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
  png_set_compression_level(png, 1);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_write_info(png, info);
  const int perByte = 8 / depth;
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* in = indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
    std::fill(row.begin(), row.end(), 0);
    for (int x = 0; x < w; ++x)
      row[static_cast<std::size_t>(x / perByte)] |=
          static_cast<png_byte>(in[x] << ((perByte - 1 - x % perByte) * depth));
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}
}  // namespace

std::string MetafileTarget::Size(double widthInches, double heightInches) {
  if (!std::isfinite(widthInches) || !std::isfinite(heightInches) || widthInches <= 0 || heightInches <= 0)
    return "the drawing has no size";
  double dpi = kMetafileDpi;
  const double longest = std::max(widthInches, heightInches);
  dpi = std::min(dpi, kMetafileMaxSide / longest);
  const double area = widthInches * heightInches;
  dpi = std::min(dpi, std::sqrt(static_cast<double>(maxPixels) / area));
  // Rounded to the nearest pixel when that fits, else down.
  double w = std::max(1.0, std::round(widthInches * dpi)), h = std::max(1.0, std::round(heightInches * dpi));
  if (w * h > static_cast<double>(maxPixels)) {
    w = std::max(1.0, std::floor(widthInches * dpi));
    h = std::max(1.0, std::floor(heightInches * dpi));
  }
  if (w > kMetafileMaxSide || h > kMetafileMaxSide || w * h > static_cast<double>(maxPixels))
    return "a drawing of " + std::to_string(widthInches) + " x " + std::to_string(heightInches) +
           " inches does not fit the memory limit";
  header[0] = static_cast<std::int32_t>(w);
  header[1] = static_cast<std::int32_t>(h);
  header[2] = static_cast<std::int32_t>(std::lround(dpi * 1000.0));
  return "";
}

void AttachPalettePng(cairo_surface_t* image) {
  if (cairo_image_surface_get_format(image) != CAIRO_FORMAT_ARGB32) return;
  cairo_surface_flush(image);
  std::vector<std::uint32_t> palette;
  std::vector<std::uint8_t> indices;
  auto* out = new PngOut;
  if (PaletteOf(image, &palette, &indices) &&
      WritePalettePng(cairo_image_surface_get_width(image), cairo_image_surface_get_height(image), palette,
                      indices, out) &&
      cairo_surface_set_mime_data(
          image, CAIRO_MIME_TYPE_PNG, out->bytes.data(), out->bytes.size(),
          [](void* o) { delete static_cast<PngOut*>(o); }, out) == CAIRO_STATUS_SUCCESS)
    return;
  delete out;
}

MetafileTarget::~MetafileTarget() {
  if (recording_ != nullptr) cairo_surface_destroy(recording_);
}

double MetafileTarget::DrawnWidth() const {
  return box != nullptr ? static_cast<double>(std::abs(box->size[0])) : header[0];
}

double MetafileTarget::DrawnHeight() const {
  return box != nullptr ? static_cast<double>(std::abs(box->size[1])) : header[1];
}

cairo_surface_t* MetafileTarget::Surface() const {
  if (recording_ == nullptr && box != nullptr && box->size[0] > 0 && box->size[1] > 0) {
    // An upright box is drawn straight into its window's pixels, the
    // window's corner where it lies in the box: nothing is recorded to be
    // painted again.
    const auto& window = box->window;
    const int w = static_cast<int>(window[2] - window[0]), h = static_cast<int>(window[3] - window[1]);
    recording_ = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels),
                                                     CAIRO_FORMAT_ARGB32, w, h, w * 4);
    cairo_surface_set_device_offset(recording_, static_cast<double>(-window[0]),
                                    static_cast<double>(-window[1]));
    direct_ = true;
  }
  if (recording_ == nullptr) {
    const cairo_rectangle_t extents{0, 0, DrawnWidth(), DrawnHeight()};
    recording_ = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
  }
  return cairo_surface_reference(recording_);
}

void MetafileTarget::PaintBox() const {
  header[3] = 0;
  if (direct_) {
    cairo_surface_flush(recording_);
    return;
  }
  const auto& [size, window] = *box;
  const int w = static_cast<int>(window[2] - window[0]), h = static_cast<int>(window[3] - window[1]);
  cairo_surface_t* image = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels),
                                                               CAIRO_FORMAT_ARGB32, w, h, w * 4);
  cairo_t* cr = cairo_create(image);
  // As a raster canvas paints a drawing into the box: its corner on the
  // box's first corner, mirrored where the box runs backwards. The drawing
  // is of the box's size: nothing is scaled.
  const double boxW = DrawnWidth(), boxH = DrawnHeight();
  cairo_translate(cr, static_cast<double>(-window[0]) + (size[0] < 0 ? boxW : 0.0),
                  static_cast<double>(-window[1]) + (size[1] < 0 ? boxH : 0.0));
  cairo_scale(cr, size[0] < 0 ? -1 : 1, size[1] < 0 ? -1 : 1);
  cairo_set_source_surface(cr, recording_, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(image);
  cairo_surface_destroy(image);
  header[3] = 0;
}

void MetafileTarget::Finish() {
  if (SizeOnly()) {
    // Played to its end and sized: what it draws is painted or listed at
    // each size it is drawn at.
    header[3] = static_cast<std::int32_t>(VectorsAnswer::None);
    return;
  }
  if (recording_ == nullptr) return;
  if (box != nullptr) {
    PaintBox();
  } else {
    WriteList();
  }
  std::memcpy(reinterpret_cast<std::uint8_t*>(header) + offsetof(AnswerHeader, nearestRops), &nearestRops,
              sizeof nearestRops);
}

void MetafileTarget::WriteList() const {
  // cairo's SVG of the recording, in memory; one that does not fit is
  // answered as too large.
  struct Output {
    std::string svg;
    bool full = false;
  } out;
  auto write = [](void* closure, const unsigned char* data, unsigned int length) {
    auto* o = static_cast<Output*>(closure);
    if (o->full || length > kMetafileSvgBytes - o->svg.size()) {
      o->full = true;
      return CAIRO_STATUS_WRITE_ERROR;
    }
    o->svg.append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
  };
  cairo_surface_t* document = cairo_svg_surface_create_for_stream(write, &out, header[0], header[1]);
  cairo_t* cr = cairo_create(document);
  cairo_set_source_surface(cr, recording_, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_finish(document);
  const cairo_status_t status = cairo_surface_status(document);
  cairo_surface_destroy(document);
  ListAnswer written{out.full ? VectorsAnswer::TooLarge : VectorsAnswer::Unreadable};
  if (!out.full && status == CAIRO_STATUS_SUCCESS)
    written = WriteDrawList(
        out.svg,
        {static_cast<double>(header[0]), static_cast<double>(header[1]), cells[0], cells[1], memoryLimit},
        list, listBytes);
  // The header whole, its size and resolution as Size wrote them.
  AnswerHeader answer;
  answer.width = header[0], answer.height = header[1], answer.dpiMilli = header[2];
  answer.vectors = static_cast<std::uint32_t>(written.vectors);
  answer.listBytes = written.vectors == VectorsAnswer::List ? written.bytes : 0;
  std::memcpy(static_cast<void*>(header), &answer, sizeof answer);
}

}  // namespace md::imaging::detail
