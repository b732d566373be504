// Feeds arbitrary bytes to the grid border's reader (checks in
// mapgrid_input.h): it must never crash or overread, what it read stores
// stably, and drawing and converting it round a frame finishes.
#include "tests/fuzz/fuzz_common.h"
#include "tests/fuzz/mapgrid_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  md::test::mapgridinput::FeedBorder(data, size);
  return 0;
}
