// Fuzzes the reader of resource files (dialog templates, strings) (checks in resources_input.h).
#include <cstddef>
#include <cstdint>

#include "host/basilo/igis_log.h"
#include "tests/fuzz/resources_input.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  md::test::PrepareFuzzLog();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  md::test::ReadResourceInput(data, size);
  return 0;
}
