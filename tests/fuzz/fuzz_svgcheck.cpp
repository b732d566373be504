// Fuzzes the check a metafile's SVG passes before librsvg reads it (checks in svgcheck_input.h).
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/fuzz_common.h"
#include "tests/fuzz/svgcheck_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  md::test::ReadSvgCheckInput(data, size);
  return 0;
}
