// Feeds arbitrary bytes to the grid labels' stored-state readers (checks in
// gridlabel_input.h): they must never crash, overread or hang, and what they
// read stores stably.
#include "tests/fuzz/fuzz_common.h"
#include "tests/fuzz/gridlabel_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  md::test::gridlabelinput::Feed(data, size);
  return 0;
}
