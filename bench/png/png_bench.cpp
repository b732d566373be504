// SetPngResolution on a 5 MB PNG written by cairo (a noisy 1300 x 1300
// picture, which hardly compresses), against one plain copy of the same
// vector:
//   Insert       the PNG as cairo writes it, without a resolution chunk:
//                the chunk goes in after the header (the vector holds no
//                spare room, so it grows once).
//   Replace      the PNG holding a resolution chunk already: it is replaced.
//   PlainCopy    a copy of the vector, made and freed.
// Each operation is timed alone (the fresh PNG an Insert needs is copied
// while the clock is stopped). The ratios to PlainCopy are printed at the end.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "bench/ratio_reporter.h"
#include "platform/canvas/pngencode.h"

namespace {

constexpr int kSide = 1300;

std::vector<std::uint8_t> CairoPng() {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSide, kSide);
  auto* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  std::uint32_t state = 12345;
  for (int y = 0; y < kSide; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < kSide; ++x) {
      state = state * 1664525u + 1013904223u;
      row[x] = state >> 8;
    }
  }
  cairo_surface_mark_dirty(surface);
  std::vector<std::uint8_t> png;
  cairo_surface_write_to_png_stream(
      surface,
      [](void* closure, const unsigned char* bytes, unsigned int length) {
        auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
        out->insert(out->end(), bytes, bytes + length);
        return CAIRO_STATUS_SUCCESS;
      },
      &png);
  cairo_surface_destroy(surface);
  png.shrink_to_fit();
  return png;
}

const std::vector<std::uint8_t>& Png() {
  static const std::vector<std::uint8_t> png = CairoPng();
  return png;
}

void Insert(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::uint8_t> png = Png();
    state.ResumeTiming();
    if (!md::canvas::SetPngResolution(&png, 300)) state.SkipWithError("not a PNG");
    benchmark::DoNotOptimize(png.data());
  }
}

void Replace(benchmark::State& state) {
  std::vector<std::uint8_t> png = Png();
  md::canvas::SetPngResolution(&png, 150);
  for (auto _ : state) {
    if (!md::canvas::SetPngResolution(&png, 300)) state.SkipWithError("not a PNG");
    benchmark::DoNotOptimize(png.data());
  }
}

void PlainCopy(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<std::uint8_t> copy = Png();
    benchmark::DoNotOptimize(copy.data());
  }
}

}  // namespace

BENCHMARK(Insert)->Unit(benchmark::kMillisecond);
BENCHMARK(Replace)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainCopy)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  RatioReporter* reporter = nullptr;
  if (!RunBenchmarks(argc, argv, &reporter, "0.2")) return 1;
  std::printf("PNG of %zu bytes\n", Png().size());
  reporter->PrintRatio("Insert", "PlainCopy", "Insert / PlainCopy", 1.5);
  reporter->PrintRatio("Replace", "PlainCopy", "Replace / PlainCopy", 1.5);
  return 0;
}
