// The resolution every PNG states: the encoder, the file writers, a page
// raster, a raster copied out of it and its difference picture each write a
// physical-size chunk of the resolution in pixels per metre, rounded, before
// the image data, which libpng reads back; a resolution no chunk can state
// writes nothing; and a PNG made by cairo gets its chunk put in.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/pngwrite.h"
#include "platform/canvas/raster.h"
#include "platform/imaging/decode.h"
#include "tests/support/pngresolution.h"

namespace {

namespace fs = std::filesystem;
namespace c = md::canvas;
using md::test::ReadPngPhysical;
using md::test::ReadPngPhysicalFile;
using md::test::Stated;

const std::uint32_t* Grey(const void* context, int) { return static_cast<const std::uint32_t*>(context); }
const std::vector<std::uint32_t> kRow(8, 0x00808080u);

// The encoder's bytes; none when it fails.
std::vector<std::uint8_t> Encoded(double dpi) {
  std::vector<std::uint8_t> out;
  const bool ok =
      c::EncodePng(c::PngRows{8, 4, kRow.data(), &Grey, dpi}, [&](const std::uint8_t* d, std::size_t n) {
        out.insert(out.end(), d, d + n);
        return true;
      });
  return ok ? out : std::vector<std::uint8_t>{};
}

std::string Scratch(const std::string& name) {
  const fs::path dir = fs::path(MD_TEST_OUTPUT_DIR) / "png-resolution";
  fs::create_directories(dir);
  fs::remove(dir / name);
  return (dir / name).string();
}

TEST(PngResolution, EveryWriterStatesItsResolution) {
  const struct {
    double dpi;
    std::uint32_t perMetre;  // dpi / 0.0254, rounded
  } rows[] = {{36, 1417},   {72, 2835},   {96, 3780},   {150, 5906},
              {254, 10000}, {300, 11811}, {600, 23622}, {1200.5, 47264}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.dpi);
    const std::vector<std::uint8_t> png = Encoded(row.dpi);
    EXPECT_EQ(ReadPngPhysical(png), Stated(row.perMetre));
    const md::imaging::DecodeResult read = md::imaging::Decode(png.data(), png.size());
    ASSERT_TRUE(read);
    EXPECT_NEAR(read.bitmap->dpiX, row.dpi, 0.02);
    EXPECT_NEAR(read.bitmap->dpiY, row.dpi, 0.02);

    // A page raster, what is read out of it, the difference of two, and
    // stripes compressed apart.
    auto page = c::CairoCanvas::createPageImage(25.4, 12.7, row.dpi);
    ASSERT_NE(page, nullptr);
    const c::Raster raster = c::ReadRaster(*page);
    std::vector<c::PngStripe> stripes(1);
    ASSERT_TRUE(c::CompressPngStripe(c::PngRows{8, 4, kRow.data(), &Grey}, 0, 4, true, &stripes[0]));
    const std::string file = Scratch("written.png");
    const std::function<bool()> writers[] = {
        [&] { return page->writePng(file); }, [&] { return c::WritePng(raster, file, nullptr); },
        [&] { return c::WritePng(c::DifferenceImage(raster, raster, 0), file, nullptr); },
        [&] { return c::WritePngFile(file, 8, 4, stripes, row.dpi); }};
    for (const auto& write : writers) {
      ASSERT_TRUE(write());
      EXPECT_EQ(ReadPngPhysicalFile(file), Stated(row.perMetre));
      fs::remove(file);
    }
  }
  // A picture of no paper size states a screen's resolution.
  const std::string file = Scratch("image.png");
  ASSERT_TRUE(c::CairoCanvas::createImage(10, 10)->writePng(file));
  EXPECT_EQ(ReadPngPhysicalFile(file), Stated(3780));
}

TEST(PngResolution, AResolutionNoChunkCanStateWritesNothing) {
  for (double dpi : {0.0, -96.0, std::nan(""), std::numeric_limits<double>::infinity(), 1e12, 0.01}) {
    SCOPED_TRACE(dpi);
    EXPECT_EQ(c::PngPixelsPerMetre(dpi), 0u);
    EXPECT_TRUE(Encoded(dpi).empty());
    const std::string file = Scratch("refused.png");
    std::string error;
    EXPECT_FALSE(c::WritePngFile(file, kRow.data(), 2, 2, 8, false, &error, dpi));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(file));
  }
}

// A PNG cairo wrote, with its background chunk: the resolution goes in after
// the header, a second call replaces it, and the pixels read back as before;
// bytes that are no PNG, or cut short, and a bad resolution leave it as it was.
TEST(PngResolution, APngMadeElsewhereGetsItsResolutionPutIn) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 6, 5);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgba(cr, 0.2, 0.4, 0.6, 0.5);
  cairo_paint(cr);
  cairo_destroy(cr);
  std::vector<std::uint8_t> png;  // cairo's own encoding, as SurfacePng starts from
  const auto append = [](void* to, const unsigned char* d, unsigned n) {
    auto* v = static_cast<std::vector<std::uint8_t>*>(to);
    v->insert(v->end(), d, d + n);
    return CAIRO_STATUS_SUCCESS;
  };
  ASSERT_EQ(cairo_surface_write_to_png_stream(s, append, &png), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(ReadPngPhysical(c::SurfacePng(s, 150)), Stated(5906));
  cairo_surface_destroy(s);
  ASSERT_FALSE(ReadPngPhysical(png).found);
  const md::imaging::DecodeResult before = md::imaging::Decode(png.data(), png.size());
  ASSERT_TRUE(before);
  for (const auto& [dpi, perMetre] : {std::pair<double, std::uint32_t>{300, 11811}, {72, 2835}}) {
    SCOPED_TRACE(dpi);
    ASSERT_TRUE(c::SetPngResolution(&png, dpi));
    EXPECT_EQ(ReadPngPhysical(png), Stated(perMetre));
    EXPECT_EQ(std::string(png.begin() + 37, png.begin() + 41), "pHYs");  // right after the header
    const md::imaging::DecodeResult after = md::imaging::Decode(png.data(), png.size());
    ASSERT_TRUE(after);
    EXPECT_EQ(after.bitmap->pixels, before.bitmap->pixels);
  }
  std::vector<std::uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'},
                            cut(png.begin(), png.begin() + 50);
  for (const auto& [bytes, dpi] : {std::pair{&text, 300.0}, {&cut, 300.0}, {&png, 0.0}}) {
    const std::vector<std::uint8_t> kept = *bytes;
    EXPECT_FALSE(c::SetPngResolution(bytes, dpi));
    EXPECT_EQ(*bytes, kept);
  }
}

}  // namespace
