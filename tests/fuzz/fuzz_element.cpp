// Fuzzes the reader of stored pages through every element's Archive reader (checks in element_input.h).
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/element_input.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool hooks = [] {
    md::layout::InstallElementHooks();
    return true;
  }();
  (void)hooks;
  if (size > (1u << 20)) return 0;
  md::test::ReadElementInput(data, size);
  return 0;
}
