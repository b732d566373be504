// The checks of the picture fuzz targets, for the targets and for the
// regular tests that replay their inputs: a decode is refused with a reason,
// or gives a picture whose pixels match its size and stay within the limit;
// the loader's pictures also draw.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/canvas/recording.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/draw.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/fuzz/fuzz_check.h"

namespace md::test {

// A small limit keeps single inputs fast; the size checks are the same.
constexpr std::size_t kFuzzImageLimit = std::size_t{64} << 20;

inline void CheckDecode(const md::imaging::DecodeResult& r) {
  if (!r) {
    fuzz::Check(!r.error.empty());
    return;
  }
  // A metafile keeps no pixels: its helper paints it at each size.
  const md::imaging::Bitmap& b = *r.bitmap;
  const std::size_t pixels = static_cast<std::size_t>(b.width) * static_cast<std::size_t>(b.height);
  fuzz::Check(b.width > 0 && b.height > 0 && b.pixels.size() == (b.metafile != nullptr ? 0 : pixels) &&
              pixels * 4 <= kFuzzImageLimit && b.dpiX >= 0 && b.dpiY >= 0);
}

// The bytes as a BMP file; true when they gave a picture.
inline bool ReadImageBmpInput(const std::uint8_t* data, std::size_t size) {
  const md::imaging::DecodeResult r = md::imaging::DecodeBmp(data, size, kFuzzImageLimit);
  CheckDecode(r);
  return static_cast<bool>(r);
}

// The bytes as an icon or cursor, a WMF or an EMF file; true when they gave
// a picture. A metafile's libraries run in a child process: what they do
// with a damaged file must end in a refusal, never in a crash of this one.
inline bool ReadImageIcoInput(const std::uint8_t* data, std::size_t size) {
  const md::imaging::DecodeResult r = md::imaging::DecodeIco(data, size, kFuzzImageLimit);
  CheckDecode(r);
  return static_cast<bool>(r);
}
inline bool ReadImageWmfInput(const std::uint8_t* data, std::size_t size) {
  const md::imaging::DecodeResult r = md::imaging::DecodeWmf(data, size, kFuzzImageLimit);
  CheckDecode(r);
  return static_cast<bool>(r);
}
inline bool ReadImageEmfInput(const std::uint8_t* data, std::size_t size) {
  const md::imaging::DecodeResult r = md::imaging::DecodeEmf(data, size, kFuzzImageLimit);
  CheckDecode(r);
  return static_cast<bool>(r);
}

// The bytes as a picture file of any format the loader knows, drawn into a
// small screen context when they gave a picture; true then.
inline bool ReadImageLoaderInput(const std::uint8_t* data, std::size_t size) {
  const md::imaging::DecodeResult r = md::imaging::Decode(data, size, kFuzzImageLimit);
  CheckDecode(r);
  if (!r) return false;
  static md::canvas::RecordingCanvas canvas(64, 48);
  static HDC hdc = md::win::CreateScreenDC(&canvas, 96, &md::text::FixedMetricsEngine());
  canvas.clear();
  fuzz::Check(md::imaging::DrawBitmap(hdc, *r.bitmap, 3, 2, 57, 41) == TRUE);
  return true;
}

}  // namespace md::test
