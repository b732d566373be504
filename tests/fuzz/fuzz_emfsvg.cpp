// Fuzzes the helper's mending of libemf2svg's SVG (emfstrings.h): the
// markup comes from the library's reading of an untrusted EMF, so whatever
// it holds, the mending ends and writes only text XML can hold: valid
// UTF-8 of XML characters.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/imaging/helper/emfstrings.h"
#include "tests/fuzz/fuzz_common.h"

namespace {

// Whether `s` is UTF-8 of characters XML 1.0 holds.
bool XmlText(std::string_view s) {
  for (std::size_t at = 0; at < s.size();) {
    const auto b = static_cast<unsigned char>(s[at]);
    const std::size_t length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (length == 0 || at + length > s.size()) return false;
    char32_t c = length == 1 ? b : b & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto t = static_cast<unsigned char>(s[at + k]);
      if ((t >> 6) != 2) return false;
      c = (c << 6) | (t & 0x3F);
    }
    const bool xml = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                     (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
    if (!xml) return false;
    at += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view svg(reinterpret_cast<const char*>(data), size);
  const std::string mended = md::imaging::detail::EscapeEmfSvg(svg, 1.0);
  md::test::fuzz::Check(XmlText(mended));
  return 0;
}
