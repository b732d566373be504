// What every fuzz target shares: quiet logging and the checks of
// fuzz_check.h. Include it in exactly one file of a target (it defines the
// libFuzzer initialisation hook).
#pragma once

#include "host/basilo/igis_log.h"
#include "tests/fuzz/fuzz_check.h"

// Readers write log records, which the log keeps in memory up to a bound.
// Filling it first with records whose texts live on the heap keeps every
// run's allocations balanced (each new record frees an old one's texts), so
// that libFuzzer does not run a leak check after each input that logs.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  IGIS_Log* log = GIS_GetLogPtr();
  log->EnableFileOutput(FALSE);
  const char* filler = "a record written before fuzzing starts";
  for (int i = 0; i < (1 << 17); ++i) log->Write(4, filler, filler, filler, 0, filler);
  return 0;
}
