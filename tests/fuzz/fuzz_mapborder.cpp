// Feeds arbitrary bytes to the map borders' stored-state readers (each kind
// and the border factory). They must never crash, overread or hang, and
// drawing and converting what they read must finish.
#include "tests/fuzz/fuzz_common.h"
#include "tests/fuzz/mapborder_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  md::test::mapborderinput::Feed(data, size);
  return 0;
}
