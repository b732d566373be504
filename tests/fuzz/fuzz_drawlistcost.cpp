// Fuzzes the cost model of draw lists as an oracle: a list the reader passes
// whose cost is within the budget is painted into a PDF file and onto a
// raster (checks in drawlistcost_input.h) within the processor time the
// budget allows, 1 s on the bench, three times over for the sanitizers'
// instrumentation; an input past it stops the run, kept as a crash.
#include <sys/resource.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "tests/fuzz/drawlistcost_input.h"
#include "tests/fuzz/fuzz_common.h"

namespace {

constexpr double kLimitSeconds = 3;

double CpuSeconds() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const double start = CpuSeconds();
  md::test::ReadDrawListCostInput(data, size);
  const double spent = CpuSeconds() - start;
  if (spent > kLimitSeconds) {
    std::fprintf(stderr, "a list within the budget took %.2f s of processor time\n", spent);
    __builtin_trap();
  }
  return 0;
}
