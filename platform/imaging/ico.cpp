// The icon and cursor reader. The directory names the images; the largest
// (then the deepest) is read, and a file whose chosen image does not lie
// whole inside it is refused: a PNG image through the PNG reader, a DIB
// image through the BMP reader, given a file header and its true height,
// with its AND mask making the masked pixels clear. Every offset and length
// is checked against the bytes at hand before it is used.
#include <algorithm>

#include "platform/imaging/decode.h"

namespace md::imaging {
namespace {

std::uint32_t U16(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8);
}
std::uint32_t U32(const std::uint8_t* p) { return U16(p) | (U16(p + 2) << 16); }
void Put32(std::vector<std::uint8_t>* b, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) b->push_back(static_cast<std::uint8_t>(v >> (8 * k)));
}

// A directory holds at most this many images; more is a damaged file.
constexpr std::size_t kMaxImages = 512;

struct Entry {
  std::uint32_t width = 0, height = 0, depth = 0, offset = 0, length = 0;
  const char* damage = nullptr;  // why the image's bytes are not all in the file
};

// The bits per pixel of the image itself: a PNG's from its header, a DIB's
// from its info header; the directory's own figure is often 0.
std::uint32_t ImageDepth(const std::uint8_t* p, std::uint32_t n, std::uint32_t declared) {
  if (n >= 26 && p[0] == 0x89 && p[1] == 'P') {
    static const unsigned kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
    const unsigned type = p[25];
    return p[24] * (type < 7 ? kChannels[type] : 0u);
  }
  if (n >= 16) return U16(p + 14);
  return declared;
}

DecodeResult Retag(DecodeResult r, Format format, const char* name) {
  if (!r) return detail::Fail(name, r.error);
  auto b = std::make_shared<Bitmap>(*r.bitmap);
  b->format = format;
  r.bitmap = std::move(b);
  return r;
}

DecodeResult DecodeDib(const std::uint8_t* p, std::uint32_t n, Format format, const char* name,
                       std::size_t memoryLimit) {
  if (n < 40) return detail::Fail(name, "image header ends early");
  const std::uint32_t infoSize = U32(p);
  if (infoSize < 40 || infoSize > n) return detail::Fail(name, "bad image header");
  const std::int64_t width = static_cast<std::int32_t>(U32(p + 4));
  const std::int64_t doubled = static_cast<std::int32_t>(U32(p + 8));
  const std::uint32_t bpp = U16(p + 14), compression = U32(p + 16);
  if (width <= 0 || doubled <= 1 || (doubled & 1) != 0)
    return detail::Fail(name, "bad image size " + std::to_string(width) + " x " + std::to_string(doubled));
  if (compression != 0) return detail::Fail(name, "compressed image pixels");
  const std::int64_t height = doubled / 2;
  std::size_t colours = 0;
  if (bpp <= 8) {
    const std::uint32_t used = U32(p + 32);
    colours = std::min<std::size_t>(used != 0 ? used : (std::size_t{1} << bpp), std::size_t{1} << bpp);
  }
  const std::uint64_t colourStride = ((static_cast<std::uint64_t>(width) * bpp + 31) / 32) * 4;
  const std::uint64_t maskStride = ((static_cast<std::uint64_t>(width) + 31) / 32) * 4;
  const std::uint64_t pixelsAt = infoSize + colours * 4;
  const std::uint64_t maskAt = pixelsAt + colourStride * static_cast<std::uint64_t>(height);
  if (maskAt > n) return detail::Fail(name, "image pixels end early");

  // A BMP file of the colour image: a file header, a 40-byte info header
  // (56 bytes with bit masks for 32 bits, whose top byte is alpha), the
  // colour table and the pixels.
  const bool alpha = bpp == 32;
  const std::uint32_t header = alpha ? 56 : 40;
  const std::uint64_t offBits = 14 + header + colours * 4;
  std::vector<std::uint8_t> bmp = {'B', 'M'};
  bmp.reserve(offBits + (maskAt - pixelsAt));
  Put32(&bmp, static_cast<std::uint32_t>(offBits + (maskAt - pixelsAt)));
  Put32(&bmp, 0);
  Put32(&bmp, static_cast<std::uint32_t>(offBits));
  bmp.insert(bmp.end(), p, p + 40);
  bmp[14] = static_cast<std::uint8_t>(header);
  for (int k = 0; k < 4; ++k)
    bmp[14 + 8 + k] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(height) >> (8 * k));
  if (alpha) {
    bmp[14 + 16] = 3;  // bit fields
    for (std::uint32_t m : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) Put32(&bmp, m);
  }
  bmp.insert(bmp.end(), p + infoSize, p + maskAt);
  DecodeResult r = Retag(DecodeBmp(bmp.data(), bmp.size(), memoryLimit), format, name);
  if (!r || r.bitmap->hasAlpha) return r;  // an image with alpha of its own needs no mask

  // The AND mask: one bit a pixel, rows bottom-up; a set bit clears the pixel.
  if (maskAt + maskStride * static_cast<std::uint64_t>(height) > n)
    return detail::Fail(name, "mask ends early");
  auto b = std::const_pointer_cast<Bitmap>(r.bitmap);
  for (std::int64_t row = 0; row < height; ++row) {
    const std::uint8_t* m = p + maskAt + maskStride * static_cast<std::uint64_t>(row);
    std::uint32_t* d =
        b->pixels.data() + static_cast<std::size_t>(height - 1 - row) * static_cast<std::size_t>(width);
    for (std::int64_t x = 0; x < width; ++x) {
      if ((m[x / 8] >> (7 - x % 8)) & 1u) d[x] = 0;
    }
  }
  detail::MarkAlpha(b.get());
  return r;
}

}  // namespace

DecodeResult DecodeIco(const std::uint8_t* data, std::size_t size, std::size_t memoryLimit) {
  const Format format = size >= 4 && data != nullptr && data[2] == 2 ? Format::Cur : Format::Ico;
  const char* name = format == Format::Cur ? "CUR" : "ICO";
  if (data == nullptr || size < 6 || U16(data) != 0 || (U16(data + 2) != 1 && U16(data + 2) != 2))
    return detail::Fail(name, "no icon directory");
  const std::size_t count = U16(data + 4);
  if (count == 0) return detail::Fail(name, "the directory names no image");
  if (count > kMaxImages)
    return detail::Fail(name, "the directory names " + std::to_string(count) + " images");
  if (6 + count * 16 > size) return detail::Fail(name, "the directory ends early");
  // A damaged image competes with the depth its directory entry claims; of
  // two alike, the sound one is taken.
  Entry best;
  for (std::size_t k = 0; k < count; ++k) {
    const std::uint8_t* e = data + 6 + k * 16;
    Entry c;
    c.width = e[0] == 0 ? 256 : e[0];
    c.height = e[1] == 0 ? 256 : e[1];
    c.length = U32(e + 8);
    c.offset = U32(e + 12);
    if (c.offset < 6 + count * 16) {
      c.damage = "starts inside the directory";
    } else if (c.offset >= size) {
      c.damage = "starts past the end of the file";
    } else if (c.length > size - c.offset) {
      c.damage = "runs past the end of the file";
    } else if (c.length == 0) {
      c.damage = "has no bytes";
    }
    const std::uint32_t declared = format == Format::Ico ? U16(e + 6) : 0;
    c.depth = c.damage != nullptr ? declared : ImageDepth(data + c.offset, c.length, declared);
    const std::uint64_t area = std::uint64_t{c.width} * c.height,
                        bestArea = std::uint64_t{best.width} * best.height;
    if (k == 0 || area > bestArea ||
        (area == bestArea && (c.depth > best.depth || (c.depth == best.depth && best.damage && !c.damage))))
      best = c;
  }
  if (best.damage != nullptr)
    return detail::Fail(name, "the chosen image, " + std::to_string(best.width) + " x " +
                                  std::to_string(best.height) + ", " + best.damage);
  const std::uint8_t* p = data + best.offset;
  if (best.length >= 8 && DetectFormat(p, best.length) == Format::Png)
    return Retag(DecodePng(p, best.length, memoryLimit), format, name);
  return DecodeDib(p, best.length, format, name, memoryLimit);
}

}  // namespace md::imaging
