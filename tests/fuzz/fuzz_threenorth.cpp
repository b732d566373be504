// Feeds arbitrary bytes to the three-north diagram's stored-state reader,
// then draws and converts what was read. Nothing may crash, overread or hang.
#include "host/glyphor/igis_symbol.h"
#include "tests/fuzz/fuzz_common.h"
#include "tests/fuzz/threenorth_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Texts measured by formula: shaping with real fonts is not the readers'
  // concern and would take most of each input's time.
  static const bool fixed = GIS_SetSymbolTextEngine("fixed");
  (void)fixed;
  using namespace md::test;
  threenorthinput::Feed(data, size, fuzz::PickPart(data, size, threenorthinput::kParts));
  return 0;
}
