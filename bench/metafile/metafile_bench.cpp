// The time one metafile takes to become a picture, the helper program's
// start included.
#include <benchmark/benchmark.h>

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

}  // namespace

BENCHMARK(DemoMarkEmf)->Unit(benchmark::kMillisecond);
BENCHMARK(SampleWmf)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
