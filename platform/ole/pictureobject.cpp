// The embedded picture: a PNG image kept in the stream "Picture", decoded
// when first drawn and drawn stretched over the object's rectangle by the
// imaging layer.
#include <cairo.h>

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/pngencode.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/draw.h"
#include "platform/ole/objectclass.h"
#include "platform/ole/objectclassmaker.h"

namespace md::ole {
namespace {

constexpr const char* kStream = "Picture";
constexpr std::size_t kMaxPngBytes = 32u << 20;
constexpr std::uint32_t kMaxSide = 8192;
// Natural size of one pixel: 96 pixels to the inch, in 0.01 mm.
constexpr double kHimetricPerPixel = 2540.0 / 96.0;

std::uint32_t BigEndian32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// Width and height from the PNG header, read before decoding so that a
// huge image is refused before its pixels are allocated.
bool PngSize(const std::vector<std::uint8_t>& png, std::uint32_t* w, std::uint32_t* h) {
  if (png.size() < 33 || std::memcmp(png.data(), md::canvas::kPngSignature, 8) != 0 ||
      std::memcmp(png.data() + 12, "IHDR", 4) != 0)
    return false;
  *w = BigEndian32(png.data() + 16);
  *h = BigEndian32(png.data() + 20);
  return *w > 0 && *h > 0 && *w <= kMaxSide && *h <= kMaxSide;
}

// The PNG's chunks, without decoding its pixels: each chunk lies inside the
// bytes and matches its check sum, image data is present and the end chunk
// closes the file. Damage to stored bytes is found here, when they are read;
// the pixels are decoded when the picture is first drawn.
bool PngChunksWhole(const std::vector<std::uint8_t>& png, std::string* pError) {
  std::size_t at = 8;
  bool data = false;
  while (png.size() - at >= 12) {
    const std::uint32_t length = BigEndian32(png.data() + at);
    if (length > png.size() - at - 12) break;
    const std::uint8_t* type = png.data() + at + 4;
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), type, length + 4);
    if (crc != BigEndian32(type + 4 + length)) {
      *pError = "damaged PNG image: a chunk does not match its check sum";
      return false;
    }
    if (std::memcmp(type, "IDAT", 4) == 0) data = true;
    if (std::memcmp(type, "IEND", 4) == 0) {
      if (data) return true;
      break;
    }
    at += 12 + length;
  }
  *pError = "damaged PNG image: cut short or without image data";
  return false;
}

// A small picture for a new object: a blue field with a white cross and a
// gold square, all on whole pixels so that any resampling keeps its edges.
std::vector<std::uint8_t> DrawDefaultPng() {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 160, 120);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, 0.25, 0.45, 0.75);
  cairo_paint(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_rectangle(cr, 72, 0, 16, 120);
  cairo_rectangle(cr, 0, 52, 160, 16);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 0.95, 0.75, 0.1);
  cairo_rectangle(cr, 20, 14, 32, 24);
  cairo_fill(cr);
  cairo_destroy(cr);
  // A picture of no paper size: a screen's resolution.
  std::vector<std::uint8_t> out = md::canvas::SurfacePng(s, md::canvas::kScreenDpi);
  cairo_surface_destroy(s);
  return out;
}

// Every new object starts with the same picture, drawn and encoded once.
std::vector<std::uint8_t> DefaultPng() {
  static const std::vector<std::uint8_t> png = DrawDefaultPng();
  return png;
}

class PictureObject final : public EmbeddedObject {
 public:
  const ObjectClass& Class() const override { return PictureClass(); }

  // Takes the bytes when their header and chunks are sound; the pixels are
  // decoded when first drawn.
  bool SetContent(std::vector<std::uint8_t> png, std::string* pError) {
    std::uint32_t w = 0, h = 0;
    if (!PngSize(png, &w, &h)) {
      *pError = "not a PNG image of at most 8192 x 8192 pixels";
      return false;
    }
    if (!PngChunksWhole(png, pError)) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    png_ = std::move(png);
    width_ = w;
    height_ = h;
    bitmap_.reset();
    decodeFailed_ = false;
    return true;
  }

  bool Load(const Storage& storage, std::string* pError) override {
    auto it = storage.streams.find(kStream);
    if (it == storage.streams.end()) {
      *pError = "no picture stream";
      return false;
    }
    return SetContent(it->second, pError);
  }

  void Save(Storage* pStorage) const override {
    pStorage->clsid = Class().clsid;
    pStorage->streams[kStream] = png_;
  }

  std::vector<std::uint8_t> Content() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return png_;
  }

  bool GetExtent(SIZE* pSize) const override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (png_.empty()) return false;
    pSize->cx = static_cast<LONG>(width_ * kHimetricPerPixel + 0.5);
    pSize->cy = static_cast<LONG>(height_ * kHimetricPerPixel + 0.5);
    return true;
  }

  // Stretched over the rectangle; the top edge given is the one shown on top.
  bool Draw(HDC hdc, const RECT& bounds) const override {
    const md::imaging::BitmapPtr bitmap = Decoded();
    if (bitmap == nullptr) return false;
    return md::imaging::DrawBitmap(hdc, *bitmap, bounds.left, bounds.top, bounds.right - bounds.left,
                                   bounds.bottom - bounds.top) != FALSE;
  }

 private:
  // The pixels, decoded on first use; NULL when the image data is damaged.
  md::imaging::BitmapPtr Decoded() const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (bitmap_ == nullptr && !decodeFailed_ && !png_.empty()) {
      md::imaging::DecodeResult result = md::imaging::Decode(png_.data(), png_.size());
      decodeFailed_ = !result;
      bitmap_ = std::move(result.bitmap);
    }
    return bitmap_;
  }

  mutable std::mutex mutex_;
  std::vector<std::uint8_t> png_;
  std::uint32_t width_ = 0;
  std::uint32_t height_ = 0;
  mutable md::imaging::BitmapPtr bitmap_;
  mutable bool decodeFailed_ = false;
};

}  // namespace

const ObjectClass& PictureClass() {
  static const ObjectClass c = detail::MakeStreamObjectClass<PictureObject>(
      {0x6d, 0x64, 0x6f, 0x6c, 0x65, 0x70, 0x69, 0x63, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01},
      "Mapdeck.Picture", "图片对象", "*.png", kStream, kMaxPngBytes, &DefaultPng);
  return c;
}

}  // namespace md::ole
