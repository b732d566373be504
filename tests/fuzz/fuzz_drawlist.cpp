// Fuzzes the library's reader and painter of the metafile helper's draw lists
// (checks in drawlist_input.h).
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/drawlist_input.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  md::test::ReadDrawListInput(data, size);
  return 0;
}
