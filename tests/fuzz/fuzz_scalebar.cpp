// Feeds arbitrary bytes to the scale bars' stored-state readers (a bar's
// "Custom" set and its scale marks). They must never crash, overread, hang
// or lay a bar out beyond its bounded counts.
#include "host/glyphor/igis_symbol.h"
#include "tests/fuzz/fuzz_common.h"
#include "tests/fuzz/scalebar_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Texts measured by formula: the font library's process-wide caches are
  // not the readers' concern.
  static const bool fixed = [] {
    GIS_SetSymbolTextEngine("fixed");
    return true;
  }();
  (void)fixed;
  using namespace md::test;
  scalebarinput::Feed(data, size, fuzz::PickPart(data, size, scalebarinput::kParts));
  return 0;
}

// The font library keeps its configuration for the life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }
