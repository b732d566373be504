#include "host/stratel/numericformat_codec.h"

#include <cstring>

#include "host/stratel/igis_numericformat.h"

namespace md::stratel::detail {

bool ValidDisplayMode(int mode) {
  return mode == GIS_LATLON_DEGREES || mode == GIS_LATLON_DM || mode == GIS_LATLON_DMS;
}

bool ValidSettings(const FormatSettings& s) {
  return (s.kind == GIS_NUMERICFORMAT_NUMBER || s.kind == GIS_NUMERICFORMAT_LATLON) &&
         (s.alignment == 0 || s.alignment == 1) && (s.roundingMode == 0 || s.roundingMode == 1) &&
         s.width >= 0 && s.width <= GIS_NUMERICFORMAT_MAX_WIDTH && s.digits >= 0 &&
         s.digits <= GIS_NUMERICFORMAT_MAX_DIGITS && ValidDisplayMode(s.displayMode);
}

std::vector<std::uint8_t> EncodeFormat(const FormatSettings& s) {
  // Sized once: the stored form has a fixed length.
  std::vector<std::uint8_t> b;
  b.reserve(kFormatSize);
  b.insert(b.end(), kFormatMagic, kFormatMagic + 4);
  b.push_back(static_cast<std::uint8_t>(kFormatVersion & 0xFF));
  b.push_back(static_cast<std::uint8_t>(kFormatVersion >> 8));
  for (int v : {s.kind, s.alignment, s.roundingMode, s.width, s.digits, int(s.plusSign), int(s.thousands),
                int(s.zeroPadding), int(s.split), int(s.optionA), int(s.optionB), s.displayMode})
    b.push_back(static_cast<std::uint8_t>(v));
  return b;
}

bool DecodeFormat(const std::uint8_t* data, std::size_t size, FormatSettings* out, std::string* why) {
  if (data == nullptr || size != kFormatSize) {
    *why = "wrong length";
    return false;
  }
  if (std::memcmp(data, kFormatMagic, 4) != 0) {
    *why = "not a stored numeric format";
    return false;
  }
  if ((data[4] | data[5] << 8) != kFormatVersion) {
    *why = "unknown version";
    return false;
  }
  const std::uint8_t* v = data + 6;
  for (int i = 5; i <= 10; ++i) {
    if (v[i] > 1) {
      *why = "flag neither 0 nor 1";
      return false;
    }
  }
  FormatSettings s;
  s.kind = v[0];
  s.alignment = v[1];
  s.roundingMode = v[2];
  s.width = v[3];
  s.digits = v[4];
  s.plusSign = v[5] != 0;
  s.thousands = v[6] != 0;
  s.zeroPadding = v[7] != 0;
  s.split = v[8] != 0;
  s.optionA = v[9] != 0;
  s.optionB = v[10] != 0;
  s.displayMode = v[11];
  if (!ValidSettings(s)) {
    *why = "setting out of range";
    return false;
  }
  *out = s;
  return true;
}

}  // namespace md::stratel::detail
