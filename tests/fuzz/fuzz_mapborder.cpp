// Feeds arbitrary bytes to the map borders' stored-state readers (each kind
// and the border factory). They must never crash, overread or hang, and
// drawing and converting what they read must finish.
#include "host/glyphor/igis_symbol.h"
#include "tests/fuzz/fuzz_common.h"
#include "tests/fuzz/mapborder_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Texts measured by formula: shaping with real fonts is not the readers'
  // concern and would take most of each input's time.
  static const bool fixed = GIS_SetSymbolTextEngine("fixed");
  (void)fixed;
  if (size > (1u << 20)) return 0;
  using namespace md::test;
  mapborderinput::Feed(data, size, fuzz::PickPart(data, size, mapborderinput::kParts));
  return 0;
}
