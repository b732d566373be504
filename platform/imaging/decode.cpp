// Format detection, dispatch to the decoders, and their shared helpers.
#include "platform/imaging/decode.h"

#include <algorithm>
#include <cstring>

#include "platform/canvas/pngencode.h"

namespace md::imaging {

Format DetectFormat(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr) return Format::Unknown;
  auto starts = [&](const void* sig, std::size_t n) { return size >= n && std::memcmp(data, sig, n) == 0; };
  if (starts(md::canvas::kPngSignature, sizeof md::canvas::kPngSignature)) return Format::Png;
  if (starts("\xFF\xD8\xFF", 3)) return Format::Jpeg;
  if (starts("GIF87a", 6) || starts("GIF89a", 6)) return Format::Gif;
  if (starts("II*\0", 4) || starts("MM\0*", 4) || starts("II+\0", 4) || starts("MM\0+", 4))
    return Format::Tiff;
  if (starts("BM", 2)) return Format::Bmp;
  // Icons: a zero reserved word, the type (1 icon, 2 cursor) and at least
  // one image.
  if (size >= 6 && data[0] == 0 && data[1] == 0 && (data[2] == 1 || data[2] == 2) && data[3] == 0 &&
      (data[4] != 0 || data[5] != 0))
    return data[2] == 1 ? Format::Ico : Format::Cur;
  // Metafiles: the placeable WMF key, a WMF header (memory or disk type,
  // nine-word header), an EMF header record with its signature.
  if (starts("\xD7\xCD\xC6\x9A", 4)) return Format::Wmf;
  if (size >= 6 && (data[0] == 1 || data[0] == 2) && data[1] == 0 && data[2] == 9 && data[3] == 0 &&
      data[4] == 0 && (data[5] == 1 || data[5] == 3))
    return Format::Wmf;
  if (size >= 44 && std::memcmp(data, "\x01\0\0\0", 4) == 0 && std::memcmp(data + 40, " EMF", 4) == 0)
    return Format::Emf;
  return Format::Unknown;
}

DecodeResult Decode(const std::uint8_t* data, std::size_t size, std::size_t memoryLimit) {
  switch (DetectFormat(data, size)) {
    case Format::Png:
      return DecodePng(data, size, memoryLimit);
    case Format::Jpeg:
      return DecodeJpeg(data, size, memoryLimit);
    case Format::Gif:
      return DecodeGif(data, size, memoryLimit);
    case Format::Tiff:
      return DecodeTiff(data, size, memoryLimit);
    case Format::Bmp:
      return DecodeBmp(data, size, memoryLimit);
    case Format::Ico:
    case Format::Cur:
      return DecodeIco(data, size, memoryLimit);
    case Format::Wmf:
      return DecodeWmf(data, size, memoryLimit);
    case Format::Emf:
      return DecodeEmf(data, size, memoryLimit);
    case Format::Unknown:
      break;
  }
  DecodeResult r;
  r.error = size == 0 ? "empty file" : "not a PNG, JPEG, GIF, TIFF, BMP, ICO, CUR, WMF or EMF picture";
  return r;
}

namespace detail {

std::size_t MemoryReader::Read(void* out, std::size_t n) {
  const std::size_t k = std::min(n, size - pos);
  if (k > 0) std::memcpy(out, data + pos, k);
  pos += k;
  return k;
}

std::shared_ptr<Bitmap> NewBitmap(int width, int height, std::size_t memoryLimit, Format format,
                                  std::string* error) {
  if (width <= 0 || height <= 0) {
    *error = "picture has no pixels (" + std::to_string(width) + " x " + std::to_string(height) + ")";
    return nullptr;
  }
  const unsigned long long bytes =
      static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) * 4ULL;
  if (bytes > memoryLimit) {
    *error = "picture of " + std::to_string(width) + " x " + std::to_string(height) + " pixels needs " +
             std::to_string(bytes >> 20) + " MiB, more than the limit of " +
             std::to_string(memoryLimit >> 20) + " MiB";
    return nullptr;
  }
  auto b = std::make_shared<Bitmap>();
  b->width = width;
  b->height = height;
  b->format = format;
  b->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  return b;
}

void MarkAlpha(Bitmap* bitmap) {
  bitmap->hasAlpha = false;
  for (std::uint32_t p : bitmap->pixels) {
    if ((p >> 24) != 0xFF) {
      bitmap->hasAlpha = true;
      return;
    }
  }
}

DecodeResult Fail(const char* format, const std::string& why) {
  DecodeResult r;
  r.error = std::string(format) + ": " + why;
  return r;
}

}  // namespace detail
}  // namespace md::imaging
