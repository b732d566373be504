// Feeds arbitrary bytes to the stored-state readers of the map index, the
// north arrow and the slope rule. They must never crash, overread or hang,
// and drawing what they read must stay bounded.
#include "tests/fuzz/furniture_input.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  md::test::furnitureinput::Feed(data, size);
  return 0;
}
