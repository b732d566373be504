// Fuzzes the reader of stored symbols of the second kind (checks in symbol2_input.h).
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/fuzz_common.h"
#include "tests/fuzz/symbol2_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  md::test::ReadSymbol2Input(data, size);
  return 0;
}
