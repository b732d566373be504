// Fuzzes the reader of stored symbols of the second kind (checks in symbol2_input.h).
#include <cstddef>
#include <cstdint>

#include "host/basilo/igis_log.h"
#include "tests/fuzz/symbol2_input.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  md::test::PrepareFuzzLog();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  md::test::ReadSymbol2Input(data, size);
  return 0;
}
