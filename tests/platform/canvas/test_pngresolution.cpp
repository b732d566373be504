// Every PNG states the resolution it was made at: a physical-size chunk of its
// pixels per metre, rounded, before the image data, whichever writer made it.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/pngwrite.h"
#include "platform/canvas/raster.h"
#include "tests/support/pngresolution.h"

namespace {

namespace c = md::canvas;
using md::test::PngPhysical;

const std::uint32_t* Grey(const void* context, int) { return static_cast<const std::uint32_t*>(context); }

TEST(PngResolution, EveryWriterStatesItsResolution) {
  const std::vector<std::uint32_t> grey(8, 0x00808080u);
  const c::PngRows rows{8, 4, grey.data(), &Grey};
  std::vector<c::PngStripe> stripes(1);
  ASSERT_TRUE(c::CompressPngStripe(rows, 0, 4, true, &stripes[0]));
  auto page = c::CairoCanvas::createPageImage(25.4, 12.7, 300);
  ASSERT_NE(page, nullptr);
  const c::Raster raster = c::ReadRaster(*page);
  const std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 6, 5), &cairo_surface_destroy);
  std::filesystem::create_directories(MD_TEST_OUTPUT_DIR);
  const std::string file = MD_TEST_OUTPUT_DIR "/png-resolution.png";
  const auto written = [&](bool ok) { return ok ? md::test::ReadPngPhysicalFile(file) : PngPhysical{}; };
  const struct {
    const char* writer;
    std::function<PngPhysical()> stated;
    std::uint32_t perMetre;
  } table[] = {
      {"a page", [&] { return written(page->writePng(file)); }, 11811},
      {"a difference",
       [&] { return written(c::WritePng(c::DifferenceImage(raster, raster, 0), file, nullptr)); }, 11811},
      {"stripes", [&] { return written(c::WritePngFile(file, 8, 4, stripes, 1200.5)); }, 47264},
      {"no paper size", [&] { return written(c::CairoCanvas::createImage(10, 10)->writePng(file)); }, 3780},
      {"cairo's writer", [&] { return md::test::ReadPngPhysical(c::SurfacePng(surface.get(), 150)); }, 5906},
  };
  for (const auto& row : table) {
    std::filesystem::remove(file);
    EXPECT_EQ(row.stated(), md::test::Stated(row.perMetre)) << row.writer;
  }
}

}  // namespace
