// The checks of the SVG check's fuzz target, for the target and for the
// regular tests that replay its inputs: a document the check lets through
// holds none of the ways out it looks for, in any case, and every reference
// spelled plainly in it is to its own parts or to PNG data.
#pragma once

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/imaging/svgdrawing.h"
#include "tests/fuzz/fuzz_check.h"

namespace md::test {

// The bytes as an SVG document from the metafile helper; true when the
// check lets it through.
inline bool ReadSvgCheckInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view svg(reinterpret_cast<const char*>(data), size);
  if (!md::imaging::SvgRefersOnlyToItself(svg)) return false;
  std::string lower(svg);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  fuzz::Check(size > 0 && svg.substr(0, 3) != "\xEF\xBB\xBF");
  // Bytes no UTF-8 holds, and NUL.
  for (unsigned char c : svg) fuzz::Check(c != 0 && c != 0xC0 && c != 0xC1 && c < 0xF5);
  for (const char* word : {"<!doctype", "<!entity", "@import", "xml:base", "&", "\\", "<?xml-stylesheet"})
    fuzz::Check(lower.find(word) == std::string::npos);
  for (const std::string_view key : {"href=\"", "href='", "url("}) {
    for (std::size_t at = lower.find(key); at != std::string::npos; at = lower.find(key, at + 1)) {
      std::size_t value = at + key.size();
      if (key == "url(") {
        value = lower.find_first_not_of(" \t\r\n", value);
        if (value != std::string::npos && (lower[value] == '"' || lower[value] == '\'')) ++value;
      }
      fuzz::Check(value < size &&
                  (svg[value] == '#' || (lower.compare(value, 22, "data:image/png;base64,") == 0 &&
                                         svg.compare(value + 22, 10, "iVBORw0KGg") == 0)));
    }
  }
  return true;
}

}  // namespace md::test
