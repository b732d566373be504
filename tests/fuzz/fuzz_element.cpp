// Fuzzes the reader of stored pages through every element's Archive reader (checks in element_input.h).
#include <cstddef>
#include <cstdint>

#include "host/basilo/igis_log.h"
#include "tests/fuzz/element_input.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  md::test::PrepareFuzzLog();
  md::layout::InstallElementHooks();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  md::test::ReadElementInput(data, size);
  return 0;
}
