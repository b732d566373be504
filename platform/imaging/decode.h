// Decoding pictures held in memory. Every decoder checks the declared size
// against the memory limit before it allocates pixels, and turns a damaged
// or truncated file into an error text instead of a crash or a partial
// picture.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/imaging/bitmap.h"

namespace md::imaging {

// The format the first bytes announce (signatures only; Unknown when none).
Format DetectFormat(const std::uint8_t* data, std::size_t size);

// Decodes the first picture of the bytes (the first frame of a GIF, the
// first page of a TIFF, the largest and deepest image of an icon or cursor);
// a metafile (WMF, EMF) is drawn into pixels at its own size.
DecodeResult Decode(const std::uint8_t* data, std::size_t size,
                    std::size_t memoryLimit = kDefaultMemoryLimit);

// The decoders themselves, for tests and fuzzing.
DecodeResult DecodeBmp(const std::uint8_t* data, std::size_t size, std::size_t memoryLimit);
DecodeResult DecodePng(const std::uint8_t* data, std::size_t size, std::size_t memoryLimit);
DecodeResult DecodeJpeg(const std::uint8_t* data, std::size_t size, std::size_t memoryLimit);
DecodeResult DecodeGif(const std::uint8_t* data, std::size_t size, std::size_t memoryLimit);
DecodeResult DecodeTiff(const std::uint8_t* data, std::size_t size, std::size_t memoryLimit);
// Icons and cursors: ICO and CUR files.
DecodeResult DecodeIco(const std::uint8_t* data, std::size_t size, std::size_t memoryLimit);
DecodeResult DecodeWmf(const std::uint8_t* data, std::size_t size, std::size_t memoryLimit);
DecodeResult DecodeEmf(const std::uint8_t* data, std::size_t size, std::size_t memoryLimit);

namespace detail {
// Bytes read in order, for the libraries' read callbacks.
struct MemoryReader {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::size_t pos = 0;
  // Copies up to n bytes; answers how many.
  std::size_t Read(void* out, std::size_t n);
};
// A bitmap of width x height, or NULL with the error set when the size is
// not positive or its pixels would pass the limit (nothing is allocated then).
std::shared_ptr<Bitmap> NewBitmap(int width, int height, std::size_t memoryLimit, Format format,
                                  std::string* error);
// Straight-alpha RGBA to the bitmap's premultiplied pixel.
inline std::uint32_t Premultiply(unsigned r, unsigned g, unsigned b, unsigned a) {
  if (a == 255) return 0xFF000000u | (r << 16) | (g << 8) | b;
  if (a == 0) return 0;
  r = (r * a + 127) / 255;
  g = (g * a + 127) / 255;
  b = (b * a + 127) / 255;
  return (a << 24) | (r << 16) | (g << 8) | b;
}
// Sets hasAlpha from the pixels.
void MarkAlpha(Bitmap* bitmap);
DecodeResult Fail(const char* format, const std::string& why);
}  // namespace detail

}  // namespace md::imaging
