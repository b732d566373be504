// One start of an isolated helper through RunIsolated: the warden's spawn,
// its fork, the fences of the program's process, the exec of a helper that
// answers at once, and the wait for both to end. Elapsed time a start.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/imaging/isolate.h"

namespace {

void HelperStart(benchmark::State& state) {
  const char input = 0;
  for (auto _ : state) {
    std::string error;
    if (!md::imaging::detail::RunIsolated(
            MD_BENCH_STANDIN, {}, &input, 1, 16, [](const void*) { return std::string(); }, {}, &error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
}
BENCHMARK(HelperStart)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
