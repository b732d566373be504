// The BMP reader: uncompressed 1, 4, 8, 16, 24 and 32 bits per pixel, bit
// fields, and RLE8/RLE4 compression, with the core (12-byte) and the 40- to
// 124-byte info headers. Every offset and length is checked against the
// bytes at hand before it is used.
#include <algorithm>
#include <array>
#include <cstring>

#include "platform/imaging/decode.h"
#include "platform/imaging/protocol/rle.h"

namespace md::imaging {
namespace {

constexpr const char* kName = "BMP";

std::uint32_t U16(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8);
}
std::uint32_t U32(const std::uint8_t* p) { return U16(p) | (U16(p + 2) << 16); }
std::int32_t S32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }

// One channel of a bit-field pixel, scaled to 0..255.
struct Field {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  void Set(std::uint32_t m) {
    mask = m;
    shift = 0;
    bits = 0;
    if (m == 0) return;
    while (((m >> shift) & 1u) == 0) ++shift;
    while (shift + bits < 32 && ((m >> (shift + bits)) & 1u) != 0) ++bits;
  }
  unsigned Get(std::uint32_t v) const {
    if (bits == 0) return 0;
    const std::uint32_t x = (v & mask) >> shift;
    const std::uint32_t max = bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1u);
    return static_cast<unsigned>((static_cast<unsigned long long>(x) * 255ULL + max / 2) / max);
  }
};

struct Header {
  std::int64_t width = 0;
  std::int64_t height = 0;  // positive; topDown tells the row order
  bool topDown = false;
  int bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t xppm = 0, yppm = 0;
  std::uint32_t colorsUsed = 0;
  std::size_t infoSize = 0;
  bool core = false;
  Field r, g, b, a;
  bool haveMasks = false;
};

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kAlphaBitfields = 6;

DecodeResult DecodeRle(const std::uint8_t* src, std::size_t n, const Header& h,
                       const std::vector<std::uint32_t>& palette, Bitmap* out) {
  const std::size_t w = static_cast<std::size_t>(h.width), ht = static_cast<std::size_t>(h.height);
  // Pixels no run reaches take the palette's first colour.
  std::vector<std::uint8_t> indices(w * ht, 0);
  if (const char* why = detail::ExpandRle(src, n, w, ht, h.compression == kRle4, indices.data()))
    return detail::Fail(kName, why);
  for (std::size_t y = 0; y < ht; ++y)
    for (std::size_t x = 0; x < w; ++x) {
      const unsigned index = indices[y * w + x];
      out->pixels[(ht - 1 - y) * w + x] = index < palette.size() ? palette[index] : 0xFF000000u;
    }
  return DecodeResult{};
}

}  // namespace

DecodeResult DecodeBmp(const std::uint8_t* data, std::size_t size, std::size_t memoryLimit) {
  if (data == nullptr || size < 14 + 12 || data[0] != 'B' || data[1] != 'M')
    return detail::Fail(kName, "no BMP file header");
  const std::uint32_t offBits = U32(data + 10);
  Header h;
  h.infoSize = U32(data + 14);
  const std::uint8_t* info = data + 14;
  if (h.infoSize == 12) {
    h.core = true;
    h.width = U16(info + 4);
    h.height = U16(info + 6);
    if (U16(info + 8) != 1) return detail::Fail(kName, "planes is not 1");
    h.bitCount = static_cast<int>(U16(info + 10));
  } else if (h.infoSize >= 40 && h.infoSize <= 124 && h.infoSize != 64) {
    if (14 + h.infoSize > size) return detail::Fail(kName, "info header ends early");
    h.width = S32(info + 4);
    const std::int64_t height = S32(info + 8);
    h.topDown = height < 0;
    h.height = height < 0 ? -height : height;
    if (U16(info + 12) != 1) return detail::Fail(kName, "planes is not 1");
    h.bitCount = static_cast<int>(U16(info + 14));
    h.compression = U32(info + 16);
    h.xppm = U32(info + 24);
    h.yppm = U32(info + 28);
    h.colorsUsed = U32(info + 32);
  } else {
    return detail::Fail(kName, "unknown info header of " + std::to_string(h.infoSize) + " bytes");
  }
  if (h.width <= 0 || h.height <= 0 || h.width > 0x7FFFFFFF || h.height > 0x7FFFFFFF)
    return detail::Fail(kName, "bad size " + std::to_string(h.width) + " x " + std::to_string(h.height));

  const int bpp = h.bitCount;
  const bool rle = h.compression == kRle8 || h.compression == kRle4;
  if (rle) {
    if ((h.compression == kRle8 && bpp != 8) || (h.compression == kRle4 && bpp != 4) || h.topDown)
      return detail::Fail(kName, "bad run-length compression");
  } else if (h.compression == kBitfields || h.compression == kAlphaBitfields) {
    if (bpp != 16 && bpp != 32) return detail::Fail(kName, "bit fields need 16 or 32 bits per pixel");
  } else if (h.compression != kRgb) {
    return detail::Fail(kName, "unsupported compression " + std::to_string(h.compression));
  }
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    return detail::Fail(kName, "unsupported " + std::to_string(bpp) + " bits per pixel");

  // Bit masks: inside a header of 52 bytes or more, else after a 40-byte one.
  std::size_t tableAt = 14 + h.infoSize;
  if (h.compression == kBitfields || h.compression == kAlphaBitfields) {
    const std::uint8_t* m = nullptr;
    if (h.infoSize >= 52) {
      m = info + 40;
    } else {
      const std::size_t count = h.compression == kAlphaBitfields ? 4 : 3;
      if (tableAt + count * 4 > size) return detail::Fail(kName, "bit masks end early");
      m = data + tableAt;
      tableAt += count * 4;
    }
    // A 52- to 55-byte header holds the three colour masks only: an alpha
    // mask it is said to hold lies outside it.
    const bool alphaInHeader = h.infoSize >= 56;
    if (h.infoSize >= 52 && h.compression == kAlphaBitfields && !alphaInHeader)
      return detail::Fail(kName, "the alpha mask lies outside the info header");
    h.r.Set(U32(m));
    h.g.Set(U32(m + 4));
    h.b.Set(U32(m + 8));
    if (h.compression == kAlphaBitfields || alphaInHeader) h.a.Set(U32(m + 12));
    h.haveMasks = true;
  } else if (bpp == 16) {
    h.r.Set(0x7C00);
    h.g.Set(0x03E0);
    h.b.Set(0x001F);
  } else if (bpp == 32) {
    h.r.Set(0x00FF0000);
    h.g.Set(0x0000FF00);
    h.b.Set(0x000000FF);
  }

  // Colour table.
  std::vector<std::uint32_t> palette;
  if (bpp <= 8) {
    const std::size_t entry = h.core ? 3 : 4;
    std::size_t count = h.colorsUsed != 0 ? h.colorsUsed : (std::size_t{1} << bpp);
    count = std::min<std::size_t>(count, std::size_t{1} << bpp);
    if (tableAt + count * entry > size) return detail::Fail(kName, "colour table ends early");
    palette.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
      const std::uint8_t* e = data + tableAt + k * entry;
      palette.push_back(detail::Premultiply(e[2], e[1], e[0], 255));
    }
  }

  if (offBits >= size) return detail::Fail(kName, "pixel data lies beyond the end of the file");
  std::string error;
  std::shared_ptr<Bitmap> out = detail::NewBitmap(static_cast<int>(h.width), static_cast<int>(h.height),
                                                  memoryLimit, Format::Bmp, &error);
  if (!out) return detail::Fail(kName, error);
  if (h.xppm > 0 && h.yppm > 0) {
    out->dpiX = h.xppm * 0.0254;
    out->dpiY = h.yppm * 0.0254;
  }
  const std::uint8_t* pixels = data + offBits;
  const std::size_t available = size - offBits;
  const int w = out->width, ht = out->height;

  if (rle) {
    DecodeResult r = DecodeRle(pixels, available, h, palette, out.get());
    if (!r.error.empty()) return r;
  } else {
    const unsigned long long stride =
        ((static_cast<unsigned long long>(w) * static_cast<unsigned>(bpp) + 31ULL) / 32ULL) * 4ULL;
    if (stride * static_cast<unsigned long long>(ht) > available)
      return detail::Fail(kName, "pixel data ends early");
    bool anyAlpha = false;
    for (int row = 0; row < ht; ++row) {
      const std::uint8_t* s = pixels + stride * static_cast<unsigned long long>(row);
      const int y = h.topDown ? row : ht - 1 - row;
      std::uint32_t* d = out->pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
      for (int x = 0; x < w; ++x) {
        std::uint32_t px = 0xFF000000u;
        switch (bpp) {
          case 1:
          case 4:
          case 8: {
            const unsigned perByte = 8u / static_cast<unsigned>(bpp);
            const unsigned byte = s[static_cast<unsigned>(x) / perByte];
            const unsigned shift =
                8u - static_cast<unsigned>(bpp) * (static_cast<unsigned>(x) % perByte + 1u);
            const unsigned index = (byte >> shift) & ((1u << bpp) - 1u);
            px = index < palette.size() ? palette[index] : 0xFF000000u;
            break;
          }
          case 24: {
            const std::uint8_t* p = s + static_cast<std::size_t>(x) * 3;
            px = detail::Premultiply(p[2], p[1], p[0], 255);
            break;
          }
          default: {  // 16 and 32 bits, through the masks
            const std::uint32_t v = bpp == 16 ? U16(s + static_cast<std::size_t>(x) * 2)
                                              : U32(s + static_cast<std::size_t>(x) * 4);
            const unsigned a = h.a.bits != 0 ? h.a.Get(v) : 255u;
            if (a != 0) anyAlpha = true;
            // Straight alpha is kept in the top byte for now; see below.
            px = (static_cast<std::uint32_t>(a) << 24) | (h.r.Get(v) << 16) | (h.g.Get(v) << 8) | h.b.Get(v);
            break;
          }
        }
        d[x] = px;
      }
    }
    if (bpp == 16 || bpp == 32) {
      // Writers that leave the alpha bits empty mean an opaque picture.
      for (std::uint32_t& p : out->pixels) {
        const unsigned a = anyAlpha ? (p >> 24) : 255u;
        p = detail::Premultiply((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, a);
      }
    }
  }
  detail::MarkAlpha(out.get());
  DecodeResult r;
  r.bitmap = std::move(out);
  return r;
}

}  // namespace md::imaging
