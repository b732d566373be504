// Feeds arbitrary bytes to the map borders' stored-state readers (each kind,
// the factory, the manager and the border library). They must never crash,
// overread or hang, and drawing what they read must finish.
#include "host/basilo/igis_log.h"
#include "tests/fuzz/mapborder_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool quiet = [] {
    GIS_GetLogPtr()->EnableFileOutput(FALSE);
    return true;
  }();
  (void)quiet;
  mapborderinput::Feed(data, size);
  return 0;
}
