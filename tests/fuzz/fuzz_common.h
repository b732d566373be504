// What every fuzz target shares: quiet logging and the checks of
// fuzz_check.h. Include it in exactly one file of a target (it defines the
// libFuzzer initialisation hook).
#pragma once

#include "host/basilo/igis_log.h"
#include "tests/fuzz/fuzz_check.h"

// Readers write log records. Kept in memory they would make every input
// that logs end with more allocations than frees, after which libFuzzer runs
// the input again and a whole-heap leak check: none are kept.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  IGIS_Log* log = GIS_GetLogPtr();
  log->EnableFileOutput(FALSE);
  log->SetKeptRecordCount(0);
  return 0;
}
