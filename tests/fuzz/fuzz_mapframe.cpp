// Feeds arbitrary bytes to the map frame's stored-state readers (the frame's
// "Custom" set, its grid list and its borders). They must never crash,
// overread, hang or let a non-finite bound in.
#include "tests/fuzz/fuzz_common.h"
#include "tests/fuzz/mapframe_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  md::test::mapframeinput::Feed(data, size);
  return 0;
}
