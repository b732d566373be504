// Fuzzes the reader of resource files (dialog templates, strings) (checks in resources_input.h).
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/fuzz_common.h"
#include "tests/fuzz/resources_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  md::test::ReadResourceInput(data, size);
  return 0;
}
