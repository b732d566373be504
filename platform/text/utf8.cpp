// UTF-8 decoding and encoding shared by the text engines and the device contexts.
#include "platform/text/textengine.h"

namespace md::text {
namespace detail {

std::size_t DecodeOne(std::string_view s, std::size_t i, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  std::size_t len = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2;
    value = b0 & 0x1F;
    minimum = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3;
    value = b0 & 0x0F;
    minimum = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4;
    value = b0 & 0x07;
    minimum = 0x10000;
  } else {
    cp = 0xFFFD;
    return 1;
  }
  if (i + len > s.size()) {
    cp = 0xFFFD;
    return 1;
  }
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      cp = 0xFFFD;
      return 1;
    }
    value = (value << 6) | (b & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are malformed.
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    cp = 0xFFFD;
    return 1;
  }
  cp = value;
  return len;
}

}  // namespace detail

std::u32string DecodeUtf8(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  ForEachCodepoint(s, [&](char32_t cp, std::size_t, std::size_t) { out.push_back(cp); });
  return out;
}

std::string EncodeUtf8(std::u32string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t cp : s) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

}  // namespace md::text
