// Fuzzes the picture loader as a whole, PNG, JPEG, GIF, TIFF and BMP, and the
// drawing of what it reads (checks in image_input.h).
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/fuzz_common.h"
#include "tests/fuzz/image_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  md::test::ReadImageLoaderInput(data, size);
  return 0;
}
