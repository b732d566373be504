// Reads arbitrary bytes as a picture file of any format the loader knows
// (PNG, JPEG, GIF, TIFF, BMP), then draws the result into a small screen
// context. A read either fails with a reason or gives a consistent picture,
// which draws.
#include <cstddef>
#include <cstdint>

#include "platform/canvas/recording.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/draw.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/fuzz/imagecheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  md::imaging::DecodeResult r = md::imaging::Decode(data, size, md::test::kFuzzImageLimit);
  md::test::CheckDecode(r);
  if (!r) return 0;
  static md::canvas::RecordingCanvas canvas(64, 48);
  static HDC hdc = md::win::CreateScreenDC(&canvas, 96, &md::text::FixedMetricsEngine());
  canvas.clear();
  if (!md::imaging::DrawBitmap(hdc, *r.bitmap, 3, 2, 57, 41)) __builtin_trap();
  return 0;
}
