// Feeds arbitrary bytes to the stored-state readers of the map index, the
// north arrow and the slope rule. They must never crash, overread or hang,
// and drawing what they read must stay bounded.
#include "host/glyphor/igis_symbol.h"
#include "tests/fuzz/furniture_input.h"
#include "tests/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Texts measured by formula: shaping with real fonts is not the readers'
  // concern and would take most of each input's time.
  static const bool fixed = GIS_SetSymbolTextEngine("fixed");
  (void)fixed;
  if (size > (1u << 20)) return 0;
  using namespace md::test;
  furnitureinput::Feed(data, size, fuzz::PickPart(data, size, furnitureinput::kParts));
  return 0;
}
