// The time one metafile takes to become a picture, the helper program's
// start included; and what a host that ignores SIGCHLD (so that the kernel
// reaps the helper's warden) spends drawing two metafiles, beside one that
// does not.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/resource.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/imaging/decode.h"
#include "tests/platform/imaging/metafiles.h"
#include "tools/demo/samplelogo.h"

namespace {

std::vector<std::uint8_t> DemoMark() {
  std::string error;
  const std::string path = md::demo::WriteSampleMark(&error);
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void DecodeFile(benchmark::State& state, const std::vector<std::uint8_t>& bytes) {
  for (auto _ : state) {
    const md::imaging::DecodeResult r = md::imaging::Decode(bytes.data(), bytes.size());
    if (!r) {
      state.SkipWithError(r.error.c_str());
      break;
    }
    benchmark::DoNotOptimize(r.bitmap->pixels.data());
  }
}

void DemoMarkEmf(benchmark::State& state) {
  static const std::vector<std::uint8_t> bytes = DemoMark();
  DecodeFile(state, bytes);
}

void SampleWmf(benchmark::State& state) {
  static const std::vector<std::uint8_t> bytes = md::test::metafiles::SampleWmf();
  DecodeFile(state, bytes);
}

// A WMF of ten red rectangles in a row, `shift` units inside their places
// (two files of different bytes).
std::vector<std::uint8_t> TenRectangles(int shift) {
  namespace m = md::test::metafiles;
  std::vector<m::WmfRecord> records{{0x020B, {0, 0}},
                                    {0x020C, {1000, 2000}},
                                    {0x02FC, {0, 0x00FF, 0, 0}},  // 0: red brush
                                    {0x012D, {0}}};
  for (int k = 0; k < 10; ++k) {
    const auto left = static_cast<std::uint16_t>(k * 200);
    records.push_back({0x041B,
                       {static_cast<std::uint16_t>(900 - shift), static_cast<std::uint16_t>(left + 150),
                        static_cast<std::uint16_t>(100 + shift), left}});
  }
  return m::Wmf(2000, 1000, 1000, records, 1);
}

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

// Two 10-rectangle WMFs, SIGCHLD ignored (range 1) or left as it is (0):
// the elapsed time and the process's own user and system time, per drawing
// of the two, and how many of the files failed.
void TwoWmfs(benchmark::State& state) {
  static const std::vector<std::uint8_t> files[2] = {TenRectangles(0), TenRectangles(50)};
  struct sigaction before {
  }, ignore{};
  ignore.sa_handler = state.range(0) != 0 ? SIG_IGN : SIG_DFL;
  ::sigaction(SIGCHLD, &ignore, &before);
  double elapsed = 0, user = 0, system = 0, failed = 0;
  for (auto _ : state) {
    rusage start{}, end{};
    ::getrusage(RUSAGE_SELF, &start);
    const auto from = std::chrono::steady_clock::now();
    for (const auto& bytes : files) {
      const md::imaging::DecodeResult r = md::imaging::Decode(bytes.data(), bytes.size());
      if (!r) ++failed;
    }
    elapsed += std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
    ::getrusage(RUSAGE_SELF, &end);
    user += Seconds(end.ru_utime) - Seconds(start.ru_utime);
    system += Seconds(end.ru_stime) - Seconds(start.ru_stime);
  }
  ::sigaction(SIGCHLD, &before, nullptr);
  state.counters["elapsed_s"] = benchmark::Counter(elapsed, benchmark::Counter::kAvgIterations);
  state.counters["user_s"] = benchmark::Counter(user, benchmark::Counter::kAvgIterations);
  state.counters["system_s"] = benchmark::Counter(system, benchmark::Counter::kAvgIterations);
  state.counters["failed"] = benchmark::Counter(failed, benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK(TwoWmfs)
    ->ArgName("sigchld_ignored")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(DemoMarkEmf)->Unit(benchmark::kMillisecond);
BENCHMARK(SampleWmf)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
