// Feeds arbitrary bytes to the legend's readers of stored bytes (its class
// format block, its format, its items and its "Custom" set).
#include "tests/fuzz/fuzz_common.h"
#include "tests/fuzz/legend_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  legendinput::Feed(data, size);
  return 0;
}
