// The SVG check's fuzz target's checks, also run by the tests that replay its
// inputs: a document the check lets through is UTF-8 without a mark, holds
// none of the ways out it looks for, and refers plainly only to its own parts
// or to PNG data.
#pragma once

#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/imaging/svgdrawing.h"
#include "tests/fuzz/fuzz_check.h"

namespace md::test {

// True when the check lets the bytes through as the metafile helper's SVG.
inline bool ReadSvgCheckInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view svg(reinterpret_cast<const char*>(data), size);
  if (!md::imaging::SvgRefersOnlyToItself(svg)) return false;
  std::string lower(svg);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  fuzz::Check(size > 0 && !svg.starts_with("\xEF\xBB\xBF"));
  for (unsigned char c : svg) fuzz::Check(c != 0 && c != 0xC0 && c != 0xC1 && c < 0xF5);
  for (const char* word : {"<!doctype", "<!entity", "@import", "xml:base", "&", "\\", "<?xml-stylesheet"})
    fuzz::Check(lower.find(word) == std::string::npos);
  for (const std::string_view key : {"href=", "url("}) {
    for (std::size_t at = lower.find(key); at != std::string::npos; at = lower.find(key, at + 1)) {
      const std::size_t v = lower.find_first_not_of(" \t\r\n\"'", at + key.size());
      fuzz::Check(v < size && (svg[v] == '#' || (lower.compare(v, 22, "data:image/png;base64,") == 0 &&
                                                 svg.compare(v + 22, 10, "iVBORw0KGg") == 0)));
    }
  }
  return true;
}

}  // namespace md::test
