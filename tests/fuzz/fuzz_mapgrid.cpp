// Feeds arbitrary bytes to the map grids' readers of a stored grid (checks
// in mapgrid_input.h): they must never crash, overread or hang, what they
// read stores stably, and drawing and converting it finishes. Each input
// takes one part of the check (one kind of grid), so that its work stays small.
#include "tests/fuzz/fuzz_common.h"
#include "tests/fuzz/mapgrid_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > (1u << 20)) return 0;
  using namespace md::test;
  mapgridinput::FeedGrid(data, size, fuzz::PickPart(data, size, mapgridinput::kGridParts));
  return 0;
}
