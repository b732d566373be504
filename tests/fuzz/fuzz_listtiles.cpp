// Fuzzes the list writer's check and painting of a pattern's tile
// (listtiles.h), in process: whatever the SVG's patterns hold, a tile found
// paintable paints the pixels asked for, premultiplied.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/listtiles_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  md::test::ReadListTilesInput(data, size);
  return 0;
}
