// Feeds arbitrary bytes to the frame symbol libraries' reader. It must never
// crash, overread or hang.
#include "tests/fuzz/framelibrary_input.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  md::test::framelibraryinput::Feed(data, size);
  return 0;
}
