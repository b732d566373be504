// Feeds arbitrary bytes to the three-north diagram's stored-state reader,
// then draws and converts what was read. Nothing may crash, overread or hang.
#include "host/basilo/igis_log.h"
#include "tests/fuzz/threenorth_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool quiet = [] {
    GIS_GetLogPtr()->EnableFileOutput(FALSE);
    return true;
  }();
  (void)quiet;
  md::test::threenorthinput::Feed(data, size);
  return 0;
}
