// Fonts sized in tenths of a point (720 to the inch) for a device context.
#include "platform/win/fonthelpers.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr int kTenthsPerInch = 720;
constexpr const char* kFallbackFace = "Times New Roman";

bool FitsInt(std::int64_t v) {
  return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
}

}  // namespace

HFONT CreateFontByName(int height, const char* faceName, HDC hdc) {
  LOGFONT lf{};
  lf.lfHeight = height;
  lf.lfCharSet = 1;  // the default character set
  lf.lfClipPrecision = 4;
  lf.lfPitchAndFamily = 0x10;  // Roman family, default pitch
  const char* face = faceName != nullptr ? faceName : "";
  const std::size_t len = std::strlen(face);
  std::memcpy(lf.lfFaceName, len < LF_FACESIZE ? face : kFallbackFace,
              len < LF_FACESIZE ? len : std::strlen(kFallbackFace));
  return CreateScaledFont(&lf, hdc);
}

HFONT CreateScaledFont(LOGFONT* font, HDC hdc) {
  if (font == nullptr) return nullptr;
  POINT oldOrigin{};
  if (!SetViewportOrgEx(hdc, 0, 0, &oldOrigin)) return nullptr;

  // 64-bit products, then the truncating division; a result that does not
  // fit the 32-bit coordinates of the context is refused.
  const std::int64_t y64 =
      static_cast<std::int64_t>(GetDeviceCaps(hdc, LOGPIXELSY)) * font->lfHeight / kTenthsPerInch;
  const std::int64_t x64 =
      static_cast<std::int64_t>(GetDeviceCaps(hdc, LOGPIXELSX)) * font->lfHeight / kTenthsPerInch;
  if (!FitsInt(y64) || !FitsInt(x64)) {
    SetViewportOrgEx(hdc, oldOrigin.x, oldOrigin.y, nullptr);
    return nullptr;
  }
  POINT pts[2];
  pts[0].x = static_cast<LONG>(x64);
  pts[0].y = static_cast<LONG>(y64);
  pts[1].x = 0;
  pts[1].y = 0;
  const BOOL converted = DPtoLP(hdc, pts, 2);
  SetViewportOrgEx(hdc, oldOrigin.x, oldOrigin.y, nullptr);
  if (!converted) return nullptr;

  const std::int64_t dy = static_cast<std::int64_t>(pts[0].y) - pts[1].y;
  const std::int64_t magnitude = dy < 0 ? -dy : dy;
  if (magnitude > std::numeric_limits<LONG>::max()) return nullptr;
  font->lfHeight = static_cast<LONG>(-magnitude);
  return CreateFontIndirect(font);
}
