// The embedded picture: a PNG image kept in the stream "Picture", drawn
// stretched over the object's rectangle.
#include <cairo.h>

#include <algorithm>
#include <cstring>

#include "platform/ole/objectclass.h"
#include "platform/win/wingdi.h"

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
  static const std::uint8_t kSig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (png.size() < 33 || std::memcmp(png.data(), kSig, 8) != 0 ||
      std::memcmp(png.data() + 12, "IHDR", 4) != 0)
    return false;
  *w = BigEndian32(png.data() + 16);
  *h = BigEndian32(png.data() + 20);
  return *w > 0 && *h > 0 && *w <= kMaxSide && *h <= kMaxSide;
}

struct PngReader {
  const std::vector<std::uint8_t>* bytes;
  std::size_t at = 0;
};

cairo_status_t ReadPng(void* closure, unsigned char* data, unsigned int length) {
  auto* r = static_cast<PngReader*>(closure);
  if (r->bytes->size() - r->at < length) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(data, r->bytes->data() + r->at, length);
  r->at += length;
  return CAIRO_STATUS_SUCCESS;
}

// Decoded pixels as 32-bit BGRX rows, composed over white.
struct Pixels {
  int width = 0, height = 0;
  std::vector<std::uint32_t> bgrx;
};

bool Decode(const std::vector<std::uint8_t>& png, Pixels* pOut, std::string* pError) {
  std::uint32_t w = 0, h = 0;
  if (!PngSize(png, &w, &h)) {
    *pError = "not a PNG image of at most 8192 x 8192 pixels";
    return false;
  }
  PngReader reader{&png};
  cairo_surface_t* s = cairo_image_surface_create_from_png_stream(&ReadPng, &reader);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    *pError = "damaged PNG image";
    cairo_surface_destroy(s);
    return false;
  }
  cairo_surface_flush(s);
  Pixels px;
  px.width = cairo_image_surface_get_width(s);
  px.height = cairo_image_surface_get_height(s);
  const int stride = cairo_image_surface_get_stride(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  const cairo_format_t format = cairo_image_surface_get_format(s);
  px.bgrx.resize(static_cast<std::size_t>(px.width) * px.height);
  for (int y = 0; y < px.height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < px.width; ++x) {
      std::uint32_t v = row[x];
      if (format == CAIRO_FORMAT_ARGB32) {
        // Premultiplied: composing over white adds the uncovered share.
        const std::uint32_t a = v >> 24, rest = 255 - a;
        const std::uint32_t r = ((v >> 16) & 0xFF) + rest, g = ((v >> 8) & 0xFF) + rest,
                            b = (v & 0xFF) + rest;
        v = (r << 16) | (g << 8) | b;
      }
      px.bgrx[static_cast<std::size_t>(y) * px.width + x] = v & 0x00FFFFFF;
    }
  }
  cairo_surface_destroy(s);
  *pOut = std::move(px);
  return true;
}

// A small picture for a new object: a blue field with a white cross and a
// gold square, all on whole pixels so that any resampling keeps its edges.
std::vector<std::uint8_t> DefaultPng() {
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
  std::vector<std::uint8_t> out;
  cairo_surface_write_to_png_stream(
      s,
      [](void* closure, const unsigned char* data, unsigned int length) {
        auto* v = static_cast<std::vector<std::uint8_t>*>(closure);
        v->insert(v->end(), data, data + length);
        return CAIRO_STATUS_SUCCESS;
      },
      &out);
  cairo_surface_destroy(s);
  return out;
}

class PictureObject final : public EmbeddedObject {
 public:
  const ObjectClass& Class() const override { return PictureClass(); }

  bool SetPng(std::vector<std::uint8_t> png, std::string* pError) {
    Pixels px;
    if (!Decode(png, &px, pError)) return false;
    png_ = std::move(png);
    pixels_ = std::move(px);
    return true;
  }

  bool Load(const Storage& storage, std::string* pError) override {
    auto it = storage.streams.find(kStream);
    if (it == storage.streams.end()) {
      *pError = "no picture stream";
      return false;
    }
    return SetPng(it->second, pError);
  }

  void Save(Storage* pStorage) const override {
    pStorage->clsid = Class().clsid;
    pStorage->streams[kStream] = png_;
  }

  bool GetExtent(SIZE* pSize) const override {
    pSize->cx = static_cast<LONG>(pixels_.width * kHimetricPerPixel + 0.5);
    pSize->cy = static_cast<LONG>(pixels_.height * kHimetricPerPixel + 0.5);
    return true;
  }

  bool Draw(HDC hdc, const RECT& bounds) const override {
    if (pixels_.width <= 0 || pixels_.height <= 0) return false;
    // Pixels are copied top-down in device units: the rectangle goes to the
    // device and the mapping is set aside meanwhile.
    POINT corners[2] = {{bounds.left, bounds.top}, {bounds.right, bounds.bottom}};
    if (!LPtoDP(hdc, corners, 2)) return false;
    const RECT device{std::min(corners[0].x, corners[1].x), std::min(corners[0].y, corners[1].y),
                      std::max(corners[0].x, corners[1].x), std::max(corners[0].y, corners[1].y)};
    const int saved = SaveDC(hdc);
    SetMapMode(hdc, MM_TEXT);
    SetWindowOrgEx(hdc, 0, 0, nullptr);
    SetViewportOrgEx(hdc, 0, 0, nullptr);
    const bool drawn = Blit(hdc, device);
    RestoreDC(hdc, saved);
    return drawn;
  }

 private:
  bool Blit(HDC hdc, const RECT& bounds) const {
    BITMAPINFO info;
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = pixels_.width;
    info.bmiHeader.biHeight = -pixels_.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(hdc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) return false;
    std::memcpy(bits, pixels_.bgrx.data(), pixels_.bgrx.size() * sizeof(std::uint32_t));
    HDC memory = CreateCompatibleDC(hdc);
    bool ok = false;
    if (memory != nullptr) {
      HGDIOBJ old = SelectObject(memory, bitmap);
      const int oldMode = SetStretchBltMode(hdc, HALFTONE);
      ok = StretchBlt(hdc, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                      memory, 0, 0, pixels_.width, pixels_.height, SRCCOPY) != FALSE;
      SetStretchBltMode(hdc, oldMode);
      SelectObject(memory, old);
      DeleteDC(memory);
    }
    DeleteObject(bitmap);
    return ok;
  }

  std::vector<std::uint8_t> png_;
  Pixels pixels_;
};

}  // namespace

const ObjectClass& PictureClass() {
  static const ObjectClass c = [] {
    ObjectClass k;
    k.clsid = {0x6d, 0x64, 0x6f, 0x6c, 0x65, 0x70, 0x69, 0x63,
               0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01};
    k.progId = "Mapdeck.Picture";
    k.userType = "图片对象";
    k.fileHint = "*.png";
    k.createNew = []() -> std::unique_ptr<EmbeddedObject> {
      auto p = std::make_unique<PictureObject>();
      std::string error;
      if (!p->SetPng(DefaultPng(), &error)) return nullptr;
      return p;
    };
    k.createFromFile = [](const std::string& path, std::string* pError) -> std::unique_ptr<EmbeddedObject> {
      std::vector<std::uint8_t> bytes;
      if (!ReadWholeFile(path, kMaxPngBytes, &bytes, pError)) return nullptr;
      auto p = std::make_unique<PictureObject>();
      if (!p->SetPng(std::move(bytes), pError)) return nullptr;
      return p;
    };
    return k;
  }();
  return c;
}

}  // namespace md::ole
