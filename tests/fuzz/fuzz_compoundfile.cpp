// Reads arbitrary bytes as a compound file (see compoundfile_input.h).
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/compoundfile_input.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  md::test::fuzz::Check(md::test::fuzz::CompoundFileInputHolds(data, size));
  return 0;
}
