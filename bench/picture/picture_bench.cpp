// A page with one 20-megapixel picture (5472 x 3648 JPEG, 250 x 167 mm on an
// A4 landscape page), printed ten times into a 300-dpi raster:
//   TenPrints/cached      the picture is decoded once, on the first print,
//                         and the other nine draw from the cache;
//   TenPrints/uncached    the cache is emptied before every print, so each
//                         print decodes the file again;
//   Decode                decoding the file alone;
//   DrawDecoded           one print of the page with the picture decoded.
// The ratio uncached / cached is printed at the end, and those of the
// benchmarks of shared and fresh files (picturecache_bench.cpp).
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "host/basilo/igis_globalproperties.h"
#include "layout/graphicelement/picture/igis_pictureelement.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/imaging/loader.h"
#include "tools/demo/pagedraw.h"
#include "tools/demo/samplepage.h"

namespace {

constexpr int kDpi = 300;
constexpr int kWidth = 5472, kHeight = 3648;  // 19.96 megapixels
constexpr int kPrints = 10;

// Writes a photo-like JPEG: smooth colour fields with fine detail.
std::string WritePicture() {
  const std::string path =
      std::string(GIS_GetTempDir()) + "/bench-20mp-" + std::to_string(::getpid()) + ".jpg";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return std::string();
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, f);
  c.image_width = kWidth;
  c.image_height = kHeight;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 90, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(kWidth) * 3);
  while (c.next_scanline < c.image_height) {
    const int y = static_cast<int>(c.next_scanline);
    for (int x = 0; x < kWidth; ++x) {
      const double u = static_cast<double>(x) / kWidth, v = static_cast<double>(y) / kHeight;
      const double ripple = 0.5 + 0.5 * std::sin((x * 0.05) + std::cos(y * 0.03) * 4.0);
      row[x * 3 + 0] = static_cast<JSAMPLE>(255 * (0.6 * u + 0.4 * ripple));
      row[x * 3 + 1] = static_cast<JSAMPLE>(255 * (0.7 * v + 0.3 * ripple));
      row[x * 3 + 2] = static_cast<JSAMPLE>(255 * (0.5 * (1 - u) + 0.5 * (1 - v)));
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::fclose(f);
  return path;
}

struct PicturePage {
  PicturePage() {
    path = WritePicture();
    auto* picture = dynamic_cast<IGIS_PictureElement*>(page.Create(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE));
    if (path.empty() || picture == nullptr) return;
    picture->SetRect(SGIS_Rect(2350, 18850, 27350, 2150));
    ok = picture->ImportPictureFromFile(path.c_str());
  }
  ~PicturePage() {
    if (!path.empty()) std::remove(path.c_str());
  }
  md::demo::Page page;
  std::string path;
  bool ok = false;
};

PicturePage& Page() {
  static PicturePage page;
  return page;
}

std::unique_ptr<md::canvas::CairoCanvas> Raster() {
  return md::canvas::CairoCanvas::createPageImage(md::demo::kPageWidth / 100.0, md::demo::kPageHeight / 100.0,
                                                  kDpi);
}

void TenPrints(benchmark::State& state, bool cached) {
  PicturePage& p = Page();
  auto canvas = Raster();
  if (!p.ok || canvas == nullptr) {
    state.SkipWithError("no picture page");
    return;
  }
  md::imaging::ImageCache& cache = md::imaging::ImageCache::Shared();
  std::string error;
  for (auto _ : state) {
    cache.Clear();
    for (int i = 0; i < kPrints; ++i) {
      if (!cached) cache.Clear();
      if (!md::demo::PrintPage(p.page, canvas.get(), kDpi, nullptr, &error)) {
        state.SkipWithError(error.c_str());
        return;
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * kPrints);
}

void Decode(benchmark::State& state) {
  PicturePage& p = Page();
  for (auto _ : state) {
    md::imaging::DecodeResult r = md::imaging::LoadFile(p.path);
    if (!r) {
      state.SkipWithError(r.error.c_str());
      return;
    }
    benchmark::DoNotOptimize(r.bitmap->pixels.data());
  }
}

void DrawDecoded(benchmark::State& state) {
  PicturePage& p = Page();
  auto canvas = Raster();
  std::string error;
  if (!p.ok || canvas == nullptr || !md::demo::PrintPage(p.page, canvas.get(), kDpi, nullptr, &error)) {
    state.SkipWithError("no picture page");
    return;
  }
  for (auto _ : state) md::demo::PrintPage(p.page, canvas.get(), kDpi, nullptr, &error);
}

BENCHMARK_CAPTURE(TenPrints, cached, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TenPrints, uncached, false)->Unit(benchmark::kMillisecond);
BENCHMARK(Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(DrawDecoded)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  RatioReporter* reporter = nullptr;
  if (!RunBenchmarks(argc, argv, &reporter, "0.05")) return 1;
  const double cached = reporter->PerIteration("TenPrints/cached");
  const double uncached = reporter->PerIteration("TenPrints/uncached");
  if (cached > 0 && uncached > 0)
    std::printf("ten prints decoding every time take %.2f times as long as with the cache\n",
                uncached / cached);
  reporter->PrintRatio("Twenty/shared_warm", "Twenty/distinct_warm",
                       "warm 300-dpi print, 20 files of one PNG / 20 different PNGs", 1.15);
  reporter->PrintRatio("Twenty/shared_cold", "Twenty/distinct_cold",
                       "cold 300-dpi print, 20 files of one PNG / 20 different PNGs", 1.05);
  reporter->PrintRatio("OneFile/fresh100ms", "OneFile/settled",
                       "100-dpi print, file written less than 100 ms before / settled", 1.5);
  reporter->PrintRatio("OneFile/fresh2s", "OneFile/settled",
                       "100-dpi print, file written 120 ms to 1.8 s before / settled", 1.5);
  return 0;
}
