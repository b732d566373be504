// The texts of the numeric formats (see igis_numericformat.h for the rules).
#pragma once

#include <cstdint>
#include <string>

namespace md::stratel::detail {

struct FormatSettings {
  int kind = 0;
  int alignment = 0;
  int roundingMode = 0;
  int width = 0;
  int digits = 0;
  bool plusSign = false;
  bool thousands = false;
  bool zeroPadding = false;
  bool split = false;
  bool optionA = false;
  bool optionB = false;
  int displayMode = 5;
  bool operator==(const FormatSettings&) const = default;
};

// Largest magnitude, in degrees, that a longitude-latitude text is made for.
constexpr double kMaxDegrees = 100000.0;

// The text of value; false (and *out untouched) for a value that is not
// finite or, for a longitude-latitude format, beyond kMaxDegrees.
bool FormatValue(const FormatSettings& s, double value, std::string* out);

// A magnitude in degrees as whole degrees, whole minutes and seconds rounded
// half away from zero to `decimals` places, minutes and seconds carried so
// that neither reaches 60. The seconds are given as an integer count of
// 10^-decimals seconds. False beyond kMaxDegrees or for a non-finite value.
struct DmsParts {
  std::int64_t degrees = 0;
  int minutes = 0;
  std::int64_t secondUnits = 0;
};
bool SplitMagnitude(double magnitude, int decimals, DmsParts* parts);

}  // namespace md::stratel::detail
