// Every PNG states the resolution it was made at: a physical-size chunk of its
// pixels per metre, rounded, before the image data, whichever writer made it;
// and every writer that cannot write its file ends its message with the
// system's reason.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/pngwrite.h"
#include "platform/canvas/raster.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/loader.h"
#include "tests/support/filesizelimit.h"

namespace {

namespace c = md::canvas;

// The pixels per metre a reader takes from a picture, when square; else 0.
long PerMetre(const md::imaging::DecodeResult& read) {
  const md::imaging::Bitmap* b = read.bitmap.get();
  return b != nullptr && b->dpiX == b->dpiY ? std::lround(b->dpiX / 0.0254) : 0;
}

const std::uint32_t* Grey(const void* context, int) { return static_cast<const std::uint32_t*>(context); }

// One stripe of 8 x 4 grey pixels.
std::vector<c::PngStripe> GreyStripes() {
  static const std::vector<std::uint32_t> grey(8, 0x00808080u);
  std::vector<c::PngStripe> stripes(1);
  EXPECT_TRUE(c::CompressPngStripe(c::PngRows{8, 4, grey.data(), &Grey}, 0, 4, true, &stripes[0]));
  return stripes;
}

TEST(PngResolution, EveryWriterStatesItsResolution) {
  const std::vector<c::PngStripe> stripes = GreyStripes();
  auto page = c::CairoCanvas::createPageImage(25.4, 12.7, 300);
  ASSERT_NE(page, nullptr);
  const c::Raster raster = c::ReadRaster(*page);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 6, 5);
  const std::vector<std::uint8_t> png = c::SurfacePng(surface, 150);
  cairo_surface_destroy(surface);
  std::vector<std::uint8_t> restated = png;
  ASSERT_TRUE(c::SetPngResolution(&restated, 600));
  const std::string file = MD_TEST_OUTPUT_DIR "/png-resolution.png";
  const auto load = [&](bool written) {
    return written ? md::imaging::LoadFile(file) : md::imaging::DecodeResult{};
  };
  // A page at 300 dpi and a difference of two, stripes at 1200.5 dpi, a
  // raster of no paper size, cairo's writer at 150 dpi, then at 600.
  const std::vector<long> stated = {
      PerMetre(load(page->writePng(file))),
      PerMetre(load(c::WritePng(c::DifferenceImage(raster, raster, 0), file, nullptr))),
      PerMetre(load(c::WritePngFile(file, 8, 4, stripes, 1200.5))),
      PerMetre(load(c::CairoCanvas::createImage(10, 10)->writePng(file))),
      PerMetre(md::imaging::Decode(png.data(), png.size())),
      PerMetre(md::imaging::Decode(restated.data(), restated.size())),
  };
  EXPECT_EQ(stated, (std::vector<long>{11811, 11811, 47264, 3780, 5906, 23622}));
}

TEST(PngResolution, AWriterOnAFullDiskEndsWithTheSystemsReason) {
  const std::vector<c::PngStripe> stripes = GreyStripes();
  const std::string file = MD_TEST_OUTPUT_DIR "/png-full-disk.png";
  std::string errors[2];
  {
    const md::test::FileSizeLimit full(16);  // the signature and part of the header
    c::WritePng(c::ReadRaster(*c::CairoCanvas::createImage(8, 4)), file, &errors[0]);
    c::WritePngFile(file, 8, 4, stripes, 96, &errors[1]);
  }
  for (const std::string& error : errors) EXPECT_TRUE(error.ends_with(std::strerror(EFBIG))) << error;
}

}  // namespace
