// Fuzzes the check a metafile's SVG passes before librsvg reads it: a
// document it lets through refers plainly only to its own parts or to PNG data.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/imaging/svgdrawing.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view svg(reinterpret_cast<const char*>(data), size);
  if (!md::imaging::SvgRefersOnlyToItself(svg)) return 0;
  std::string lower(svg);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const std::string_view key : {"href=", "url("})
    for (std::size_t at = lower.find(key); at != std::string::npos; at = lower.find(key, at + 1)) {
      const std::size_t v = lower.find_first_not_of(" \t\r\n\"'", at + key.size());
      md::test::fuzz::Check(v < size &&
                            (svg[v] == '#' || (lower.compare(v, 22, "data:image/png;base64,") == 0 &&
                                               svg.compare(v + 22, 10, "iVBORw0KGg") == 0)));
    }
  return 0;
}
