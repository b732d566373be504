// The tests' metafiles of other programs (tests/platform/imaging/outside/
// files), each printed into a 100 x 75 mm box, the picture cache emptied
// before each print: Raster/<file> on a raster page at 300 dpi, Pdf/<file>
// into a PDF file. Each reports the processor time of the helper processes
// (its children: the read of the file and its drawing), and Pdf/<file> the
// bytes of the PDF written. A file the library does not read skips.
// MAPDECK_BENCH_CORPUS names another folder of metafiles to print instead.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/canvas/cairo_canvas.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/draw.h"
#include "platform/imaging/loader.h"
#include "platform/imaging/metafilelimits.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace {

using md::canvas::CairoCanvas;

double ChildrenSeconds() {
  rusage u{};
  ::getrusage(RUSAGE_CHILDREN, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Reads the file and prints it into the box of a new canvas made by
// `make`, the cache emptied first; the helper's processor time is added
// to *helper. False when the library does not read it.
template <typename Make>
bool PrintOnce(const std::vector<std::uint8_t>& bytes, int dpi, Make make, double* helper,
               std::string* error) {
  md::imaging::ImageCache::Shared().Clear();
  md::imaging::ForgetRefusedMetafiles();
  const double before = ChildrenSeconds();
  const md::imaging::DecodeResult r = md::imaging::Decode(bytes.data(), bytes.size());
  if (!r) {
    *error = r.error;
    return false;
  }
  std::unique_ptr<CairoCanvas> canvas = make();
  HDC hdc = md::win::CreateScreenDC(canvas.get(), dpi, &md::text::FixedMetricsEngine());
  md::imaging::DrawBitmap(hdc, *r.bitmap, 0, 0, canvas->width(), canvas->height());
  DeleteDC(hdc);
  canvas->finish();
  *helper += ChildrenSeconds() - before;
  return true;
}

void Raster(benchmark::State& state, const std::vector<std::uint8_t>& bytes) {
  double helper = 0;
  std::string error;
  for (auto _ : state) {
    if (!PrintOnce(
            bytes, 300, [] { return CairoCanvas::createPageImage(100, 75, 300); }, &helper, &error)) {
      state.SkipWithError(error.c_str());
      return;
    }
  }
  state.counters["helper_cpu_ms"] = benchmark::Counter(helper * 1000, benchmark::Counter::kAvgIterations);
}

void Pdf(benchmark::State& state, const std::vector<std::uint8_t>& bytes, const std::string& name) {
  const std::filesystem::path pdf =
      std::filesystem::temp_directory_path() / ("bench-corpus-" + name + ".pdf");
  double helper = 0;
  std::string error;
  for (auto _ : state) {
    const auto make = [&] { return CairoCanvas::createPdf(pdf.string(), 100, 75, CairoCanvas::kVectorDpi); };
    if (!PrintOnce(bytes, static_cast<int>(CairoCanvas::kVectorDpi), make, &helper, &error)) {
      state.SkipWithError(error.c_str());
      return;
    }
  }
  std::error_code ec;
  state.counters["helper_cpu_ms"] = benchmark::Counter(helper * 1000, benchmark::Counter::kAvgIterations);
  state.counters["pdf_bytes"] = static_cast<double>(std::filesystem::file_size(pdf, ec));
  std::filesystem::remove(pdf, ec);
}

}  // namespace

int main(int argc, char** argv) {
  const char* other = std::getenv("MAPDECK_BENCH_CORPUS");
  const std::filesystem::path folder =
      other != nullptr ? std::filesystem::path(other)
                       : std::filesystem::path(MD_SOURCE_DIR) / "tests/platform/imaging/outside/files";
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const std::filesystem::path& path : files) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    const std::string name = path.filename().string();
    benchmark::RegisterBenchmark(("Raster/" + name).c_str(),
                                 [bytes](benchmark::State& s) { Raster(s, bytes); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("Pdf/" + name).c_str(),
                                 [bytes, name](benchmark::State& s) { Pdf(s, bytes, name); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3)
        ->UseRealTime();
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
