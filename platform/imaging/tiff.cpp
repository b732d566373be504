// The TIFF reader, on libtiff's RGBA interface: the first page, any
// photometric interpretation libtiff converts; XResolution/YResolution with
// the resolution unit give the resolution.
#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/imaging/decode.h"

namespace md::imaging {
namespace {

constexpr const char* kName = "TIFF";

struct Source {
  detail::MemoryReader in;
  std::string error;
};

tmsize_t ReadProc(thandle_t h, void* out, tmsize_t n) {
  if (n <= 0) return 0;
  return static_cast<tmsize_t>(static_cast<Source*>(h)->in.Read(out, static_cast<std::size_t>(n)));
}
tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return 0; }
toff_t SeekProc(thandle_t h, toff_t off, int whence) {
  auto* src = static_cast<Source*>(h);
  unsigned long long base = 0;
  if (whence == SEEK_CUR) base = src->in.pos;
  if (whence == SEEK_END) base = src->in.size;
  const unsigned long long to = base + off;
  if (to < base || to > src->in.size) return static_cast<toff_t>(-1);
  src->in.pos = static_cast<std::size_t>(to);
  return to;
}
int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t h) { return static_cast<Source*>(h)->in.size; }
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}

// libtiff's errors are kept (the first one) and never printed.
int OnError(TIFF*, void* user, const char*, const char* fmt, va_list ap) {
  auto* src = static_cast<Source*>(user);
  if (src->error.empty()) {
    char buf[256];
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    src->error = buf;
  }
  return 1;
}
int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct Closer {
  TIFF* tif = nullptr;
  TIFFOpenOptions* opts = nullptr;
  ~Closer() {
    if (tif != nullptr) TIFFClose(tif);
    if (opts != nullptr) TIFFOpenOptionsFree(opts);
  }
};

}  // namespace

DecodeResult DecodeTiff(const std::uint8_t* data, std::size_t size, std::size_t memoryLimit) {
  if (data == nullptr || size < 8) return detail::Fail(kName, "no TIFF header");
  Source src{{data, size, 0}, {}};
  Closer c;
  c.opts = TIFFOpenOptionsAlloc();
  if (c.opts == nullptr) return detail::Fail(kName, "out of memory");
  // libtiff's own buffers (strips, tiles, tag arrays) stay below the limit
  // too; the picture's size is checked against it below.
  TIFFOpenOptionsSetMaxSingleMemAlloc(c.opts,
                                      static_cast<tmsize_t>(std::max<std::size_t>(memoryLimit, 16u << 20)));
  TIFFOpenOptionsSetErrorHandlerExtR(c.opts, &OnError, &src);
  TIFFOpenOptionsSetWarningHandlerExtR(c.opts, &OnWarning, &src);
  // "m": the bytes are not mapped, all reads go through ReadProc.
  c.tif = TIFFClientOpenExt("picture", "rm", &src, &ReadProc, &WriteProc, &SeekProc, &CloseProc, &SizeProc,
                            &MapProc, &UnmapProc, c.opts);
  if (c.tif == nullptr) return detail::Fail(kName, src.error.empty() ? "damaged file" : src.error);
  uint32_t w = 0, h = 0;
  TIFFGetField(c.tif, TIFFTAG_IMAGEWIDTH, &w);
  TIFFGetField(c.tif, TIFFTAG_IMAGELENGTH, &h);
  if (w > 0x7FFFFFFFu || h > 0x7FFFFFFFu) return detail::Fail(kName, "bad size");
  std::string error;
  std::shared_ptr<Bitmap> out =
      detail::NewBitmap(static_cast<int>(w), static_cast<int>(h), memoryLimit, Format::Tiff, &error);
  if (!out) return detail::Fail(kName, error);
  char why[1024] = {};
  if (TIFFRGBAImageOK(c.tif, why) == 0)
    return detail::Fail(kName, why[0] != '\0' ? why : "unsupported layout");
  // The RGBA interface gives A, B, G, R bytes from high to low, colours
  // premultiplied by alpha; stop at the first damaged strip or tile.
  if (TIFFReadRGBAImageOriented(c.tif, w, h, out->pixels.data(), ORIENTATION_TOPLEFT, 1) == 0 ||
      !src.error.empty())
    return detail::Fail(kName, src.error.empty() ? "damaged pixel data" : src.error);
  for (std::uint32_t& p : out->pixels) {
    p = (TIFFGetA(p) << 24) | (TIFFGetR(p) << 16) | (TIFFGetG(p) << 8) | TIFFGetB(p);
  }
  float xr = 0, yr = 0;
  uint16_t unit = RESUNIT_INCH;
  TIFFGetFieldDefaulted(c.tif, TIFFTAG_RESOLUTIONUNIT, &unit);
  if (TIFFGetField(c.tif, TIFFTAG_XRESOLUTION, &xr) == 1 &&
      TIFFGetField(c.tif, TIFFTAG_YRESOLUTION, &yr) == 1 && xr > 0 && yr > 0 && xr < 1e6f && yr < 1e6f) {
    const double k = unit == RESUNIT_CENTIMETER ? 2.54 : (unit == RESUNIT_INCH ? 1.0 : 0.0);
    out->dpiX = xr * k;
    out->dpiY = yr * k;
  }
  detail::MarkAlpha(out.get());
  DecodeResult r;
  r.bitmap = std::move(out);
  return r;
}

}  // namespace md::imaging
