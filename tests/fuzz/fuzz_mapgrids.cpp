// Feeds arbitrary bytes to the grid list's reader (checks in
// mapgrid_input.h): it must never crash, overread or hang, and what it read
// stores stably.
#include "tests/fuzz/fuzz_common.h"
#include "tests/fuzz/mapgrid_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  md::test::mapgridinput::FeedGridList(data, size);
  return 0;
}
