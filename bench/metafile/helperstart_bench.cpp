// One start of an isolated helper through RunIsolated: the warden's spawn,
// its fork, the fences of the program's process, the exec of a helper that
// answers at once, and the wait for both to end, under the fences the
// kernel allows (range 0) or under namespaces in place of Landlock (1).
// Elapsed time a start.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/imaging/isolate.h"
#include "platform/imaging/protocol/fences.h"

namespace {

void HelperStart(benchmark::State& state) {
  const char input = 0;
  const int before = md::imaging::detail::SetWardenFencesWithout(
      state.range(0) != 0 ? md::imaging::detail::kFenceLandlock : 0);
  for (auto _ : state) {
    std::string error;
    if (!md::imaging::detail::RunIsolated(
            MD_BENCH_STANDIN, {}, &input, 1, 16, [](const void*) { return std::string(); }, {}, &error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
  md::imaging::detail::SetWardenFencesWithout(before);
}
BENCHMARK(HelperStart)->ArgName("namespaces")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
