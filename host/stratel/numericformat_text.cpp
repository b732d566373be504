#include "host/stratel/numericformat_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace md::stratel::detail {

namespace {

constexpr double kExponentFrom = 1e15;
// Counters the error of a product such as degrees x 3600 x 10^k before it is
// rounded, so that a decimal half written by the caller rounds up.
constexpr double kProductSlack = 1e-13;

std::int64_t Pow10(int n) {
  std::int64_t p = 1;
  for (int i = 0; i < n; ++i) p *= 10;
  return p;
}

// A decimal number as its digits and the count of them after the point
// (negative: that many zeros follow the digits).
struct Decimal {
  std::string digits = "0";
  int decimals = 0;
};

// The magnitude m (finite, below kExponentFrom) rounded half away from zero,
// from the shortest decimal text that reads back as m.
Decimal RoundMagnitude(double m, bool significant, int count) {
  Decimal d;
  if (significant && count < 1) count = 1;
  if (m == 0.0) {
    d.decimals = significant ? count - 1 : count;
    d.digits.assign(static_cast<std::size_t>(d.decimals + 1), '0');
    return d;
  }
  char buffer[64];
  const auto res = std::to_chars(buffer, buffer + sizeof buffer, m, std::chars_format::scientific);
  *res.ptr = '\0';
  // buffer: d[.ddd]e±XX
  std::string mantissa;
  const char* p = buffer;
  for (; *p != 'e'; ++p) {
    if (*p != '.') mantissa.push_back(*p);
  }
  const int exponent = std::atoi(p + 1);  // m = 0.mantissa x 10^(exponent + 1)
  const int decimals = significant ? count - exponent - 1 : count;
  const int keep = exponent + 1 + decimals;  // digits of mantissa kept
  std::string kept;
  bool up = false;
  if (keep < 0) {
    kept = "0";
  } else {
    for (int i = 0; i < keep; ++i) kept.push_back(i < static_cast<int>(mantissa.size()) ? mantissa[i] : '0');
    up = keep < static_cast<int>(mantissa.size()) && mantissa[static_cast<std::size_t>(keep)] >= '5';
    if (kept.empty()) kept = "0";
  }
  if (up) {
    int i = static_cast<int>(kept.size()) - 1;
    while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9') kept[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
      ++kept[static_cast<std::size_t>(i)];
    } else {
      kept.insert(kept.begin(), '1');
    }
  }
  d.digits = kept;
  d.decimals = decimals;
  // In significant mode a carry (9.99 -> 10.0) keeps the count of digits.
  if (significant && up && static_cast<int>(d.digits.size()) > count && d.digits.back() == '0' &&
      static_cast<int>(d.digits.size()) > 1) {
    d.digits.pop_back();
    --d.decimals;
  }
  return d;
}

bool AllZero(const std::string& s) { return s.find_first_not_of('0') == std::string::npos; }

std::string Group(const std::string& integer, bool thousands) {
  if (!thousands || integer.size() <= 3) return integer;
  std::string out;
  const std::size_t first = integer.size() % 3 == 0 ? 3 : integer.size() % 3;
  out = integer.substr(0, first);
  for (std::size_t i = first; i < integer.size(); i += 3) out += "," + integer.substr(i, 3);
  return out;
}

// "integer[.fraction]" of a rounded decimal.
std::string DecimalText(const Decimal& d, bool thousands) {
  std::string digits = d.digits;
  if (d.decimals < 0) digits.append(static_cast<std::size_t>(-d.decimals), '0');
  const std::size_t frac = d.decimals > 0 ? static_cast<std::size_t>(d.decimals) : 0;
  if (digits.size() <= frac) digits.insert(0, frac + 1 - digits.size(), '0');
  std::string integer = digits.substr(0, digits.size() - frac);
  const std::size_t nonZero = integer.find_first_not_of('0');
  integer = nonZero == std::string::npos ? "0" : integer.substr(nonZero);
  std::string text = Group(integer, thousands);
  if (frac > 0) text += "." + digits.substr(digits.size() - frac);
  return text;
}

std::string Integer(std::int64_t v, int minDigits, bool thousands) {
  std::string s = std::to_string(v);
  if (static_cast<int>(s.size()) < minDigits)
    s.insert(0, static_cast<std::size_t>(minDigits) - s.size(), '0');
  return Group(s, thousands);
}

// Units counted in 10^-decimals, written with that many decimals.
std::string Units(std::int64_t units, int decimals, int minIntegerDigits) {
  const std::int64_t scale = Pow10(decimals);
  std::string text = Integer(units / scale, minIntegerDigits, false);
  if (decimals > 0) {
    std::string frac = std::to_string(units % scale);
    frac.insert(0, static_cast<std::size_t>(decimals) - frac.size(), '0');
    text += "." + frac;
  }
  return text;
}

std::size_t Characters(const std::string& s) {
  std::size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80 ? 1 : 0;
  return n;
}

// The magnitude text of a number format and whether it rounded to zero.
std::string NumberText(const FormatSettings& s, double magnitude, bool* zero) {
  if (magnitude >= kExponentFrom) {
    const int decimals = s.roundingMode == 1 ? (s.digits < 1 ? 0 : s.digits - 1) : s.digits;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", decimals, magnitude);
    *zero = false;
    return buffer;
  }
  const Decimal d = RoundMagnitude(magnitude, s.roundingMode == 1, s.digits);
  *zero = AllZero(d.digits);
  return DecimalText(d, s.thousands);
}

std::string LatLonText(const FormatSettings& s, double magnitude, bool* zero) {
  static const char* const kDegree = "°";
  static const char* const kMinute = "′";
  static const char* const kSecond = "″";
  const int pad = s.optionA ? 2 : 1;
  if (s.displayMode == 1) {
    const Decimal d = RoundMagnitude(magnitude, false, s.digits);
    *zero = AllZero(d.digits);
    return DecimalText(d, s.thousands) + kDegree;
  }
  std::string text;
  if (s.displayMode == 6) {
    const std::int64_t scale = Pow10(s.digits);
    const double x = magnitude * 60.0 * static_cast<double>(scale);
    const auto units = static_cast<std::int64_t>(std::floor(x + 0.5 + x * kProductSlack));
    const std::int64_t perDegree = 60 * scale;
    const std::int64_t minuteUnits = units % perDegree;
    *zero = units == 0;
    text = Integer(units / perDegree, 1, s.thousands) + kDegree;
    if (minuteUnits != 0 || s.optionB) text += Units(minuteUnits, s.digits, pad) + kMinute;
    return text;
  }
  DmsParts p;
  SplitMagnitude(magnitude, s.digits, &p);
  *zero = p.degrees == 0 && p.minutes == 0 && p.secondUnits == 0;
  text = Integer(p.degrees, 1, s.thousands) + kDegree;
  const bool seconds = p.secondUnits != 0 || s.optionB;
  if (p.minutes != 0 || seconds) text += Units(p.minutes, 0, pad) + kMinute;
  if (seconds) text += Units(p.secondUnits, s.digits, pad) + kSecond;
  return text;
}

}  // namespace

bool SplitMagnitude(double magnitude, int decimals, DmsParts* parts) {
  if (!std::isfinite(magnitude) || magnitude < 0.0 || magnitude > kMaxDegrees) return false;
  const std::int64_t scale = Pow10(decimals);
  const double x = magnitude * 3600.0 * static_cast<double>(scale);
  const auto units = static_cast<std::int64_t>(std::floor(x + 0.5 + x * kProductSlack));
  const std::int64_t perMinute = 60 * scale;
  const std::int64_t perDegree = 60 * perMinute;
  parts->degrees = units / perDegree;
  parts->minutes = static_cast<int>(units % perDegree / perMinute);
  parts->secondUnits = units % perMinute;
  return true;
}

bool FormatValue(const FormatSettings& s, double value, std::string* out) {
  if (!std::isfinite(value)) return false;
  const double magnitude = std::fabs(value);
  const bool latlon = s.kind == 2;
  if (latlon && magnitude > kMaxDegrees) return false;
  bool zero = false;
  const std::string body = latlon ? LatLonText(s, magnitude, &zero) : NumberText(s, magnitude, &zero);
  std::string sign;
  if (!zero && value < 0.0) sign = "-";
  if (!zero && value > 0.0 && s.plusSign) sign = "+";
  std::string text = sign + body;
  const std::size_t chars = Characters(text);
  const auto width = static_cast<std::size_t>(s.width > 0 ? s.width : 0);
  if (chars < width) {
    const std::size_t fill = width - chars;
    if (s.zeroPadding) {
      text = sign + std::string(fill, '0') + body;
    } else if (s.alignment == 1) {
      text.insert(0, fill, ' ');
    } else {
      text.append(fill, ' ');
    }
  }
  *out = std::move(text);
  return true;
}

}  // namespace md::stratel::detail
