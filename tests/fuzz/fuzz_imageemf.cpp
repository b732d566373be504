// Fuzzes the EMF reader (libemf2svg and librsvg in their child process) (checks in image_input.h).
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/fuzz_common.h"
#include "tests/fuzz/image_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  md::test::ReadImageEmfInput(data, size);
  return 0;
}
