// Font requests from LOGFONT records.
#include "platform/win/fontrequest.h"

#include <cmath>

namespace md::win {
namespace {

// Sizes beyond this many pixels are clamped: nothing on a page needs more,
// and it keeps later integer conversions in range.
constexpr double kMaxPixels = 1.0e6;

double SafeScale(double s) {
  if (!std::isfinite(s) || s == 0) return 1.0;
  return std::fabs(s);
}

double Clamp(double v) {
  if (!std::isfinite(v)) return 0;
  if (v > kMaxPixels) return kMaxPixels;
  if (v < -kMaxPixels) return -kMaxPixels;
  return v;
}

}  // namespace

text::FontRequest FontRequestFromLogFont(const LOGFONT& lf, double pixelsPerUnitX, double pixelsPerUnitY) {
  text::FontRequest r;
  std::size_t n = 0;
  while (n < sizeof lf.lfFaceName && lf.lfFaceName[n] != '\0') ++n;
  r.face.assign(lf.lfFaceName, n);
  r.height = Clamp(static_cast<double>(lf.lfHeight) * SafeScale(pixelsPerUnitY));
  r.width = std::fabs(Clamp(static_cast<double>(lf.lfWidth) * SafeScale(pixelsPerUnitX)));
  r.weight = lf.lfWeight <= 0 ? 400 : (lf.lfWeight > 1000 ? 1000 : static_cast<int>(lf.lfWeight));
  r.italic = lf.lfItalic != 0;
  r.underline = lf.lfUnderline != 0;
  r.strikeOut = lf.lfStrikeOut != 0;
  r.escapement = static_cast<int>(lf.lfEscapement % 3600);
  r.orientation = static_cast<int>(lf.lfOrientation % 3600);
  r.charSet = lf.lfCharSet;
  return r;
}

}  // namespace md::win
