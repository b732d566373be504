// Fuzzes the WMF reader (libwmf in its child process) (checks in image_input.h).
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/fuzz_common.h"
#include "tests/fuzz/image_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  md::test::ReadImageWmfInput(data, size);
  return 0;
}
