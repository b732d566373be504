// Feeds arbitrary bytes to the grid spacing's reader (checks in
// mapgrid_input.h): it must never crash or overread, and what it read stores
// stably.
#include "tests/fuzz/fuzz_common.h"
#include "tests/fuzz/mapgrid_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  md::test::mapgridinput::FeedSpacing(data, size);
  return 0;
}
