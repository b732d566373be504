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
#include <fstream>
#include <iterator>
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
using md::test::PngPhysical;
using md::test::ReadPngPhysical;
using md::test::ReadPngPhysicalFile;

const std::uint32_t* Grey(const void* context, int) { return static_cast<const std::uint32_t*>(context); }

std::vector<std::uint8_t> Encoded(double dpi, bool* ok) {
  static const std::vector<std::uint32_t> row(8, 0x00808080u);
  std::vector<std::uint8_t> out;
  *ok = md::canvas::EncodePng(md::canvas::PngRows{8, 4, row.data(), &Grey, dpi},
                              [&](const std::uint8_t* d, std::size_t n) {
                                out.insert(out.end(), d, d + n);
                                return true;
                              });
  return out;
}

fs::path Scratch(const std::string& name) {
  const fs::path dir = fs::path(MD_TEST_OUTPUT_DIR) / "png-resolution";
  fs::create_directories(dir);
  return dir / name;
}

void ExpectStated(const PngPhysical& p, std::uint32_t perMetre, const char* what) {
  SCOPED_TRACE(what);
  EXPECT_TRUE(p.found);
  EXPECT_EQ(p.count, 1);
  EXPECT_EQ(p.x, perMetre);
  EXPECT_EQ(p.y, perMetre);
  EXPECT_EQ(p.unit, 1);
}

struct ResolutionRow {
  double dpi;
  std::uint32_t perMetre;  // dpi / 0.0254, rounded
};
const ResolutionRow kResolutions[] = {{36, 1417},   {72, 2835},   {96, 3780},   {150, 5906},
                                      {254, 10000}, {300, 11811}, {600, 23622}, {1200.5, 47264}};

TEST(PngResolution, EveryWriterStatesItsResolution) {
  for (const ResolutionRow& row : kResolutions) {
    SCOPED_TRACE(row.dpi);
    bool ok = false;
    const std::vector<std::uint8_t> png = Encoded(row.dpi, &ok);
    ASSERT_TRUE(ok);
    ExpectStated(ReadPngPhysical(png), row.perMetre, "encoded");
    const md::imaging::DecodeResult read = md::imaging::Decode(png.data(), png.size());
    ASSERT_TRUE(read);
    EXPECT_NEAR(read.bitmap->dpiX, row.dpi, 0.02);
    EXPECT_NEAR(read.bitmap->dpiY, row.dpi, 0.02);

    // A page raster, what is read out of it, and the difference of two.
    auto page = md::canvas::CairoCanvas::createPageImage(25.4, 12.7, row.dpi);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->resolution(), row.dpi);
    const std::string canvasFile = Scratch("canvas.png").string();
    ASSERT_TRUE(page->writePng(canvasFile));
    ExpectStated(ReadPngPhysicalFile(canvasFile), row.perMetre, "page raster");
    const md::canvas::Raster raster = md::canvas::ReadRaster(*page);
    const std::string rasterFile = Scratch("raster.png").string();
    ASSERT_TRUE(md::canvas::WritePng(raster, rasterFile, nullptr));
    ExpectStated(ReadPngPhysicalFile(rasterFile), row.perMetre, "raster");
    const std::string differenceFile = Scratch("difference.png").string();
    ASSERT_TRUE(
        md::canvas::WritePng(md::canvas::DifferenceImage(raster, raster, 0), differenceFile, nullptr));
    ExpectStated(ReadPngPhysicalFile(differenceFile), row.perMetre, "difference");

    // Stripes compressed apart.
    static const std::vector<std::uint32_t> line(8, 0x00FFFFFFu);
    std::vector<md::canvas::PngStripe> stripes(1);
    ASSERT_TRUE(md::canvas::CompressPngStripe(md::canvas::PngRows{8, 4, line.data(), &Grey}, 0, 4, true,
                                              &stripes[0]));
    const std::string stripeFile = Scratch("stripes.png").string();
    ASSERT_TRUE(md::canvas::WritePngFile(stripeFile, 8, 4, stripes, row.dpi));
    ExpectStated(ReadPngPhysicalFile(stripeFile), row.perMetre, "stripes");
  }
}

// Pictures of no paper size state a screen's resolution.
TEST(PngResolution, APictureWithoutPaperStatesAScreensResolution) {
  auto image = md::canvas::CairoCanvas::createImage(10, 10);
  ASSERT_NE(image, nullptr);
  const std::string file = Scratch("image.png").string();
  ASSERT_TRUE(image->writePng(file));
  ExpectStated(ReadPngPhysicalFile(file), 3780, "image");
}

TEST(PngResolution, AResolutionNoChunkCanStateWritesNothing) {
  const double kBad[] = {0.0, -96.0, std::nan(""), std::numeric_limits<double>::infinity(), 1e12, 0.01};
  for (double dpi : kBad) {
    SCOPED_TRACE(dpi);
    EXPECT_EQ(md::canvas::PngPixelsPerMetre(dpi), 0u);
    bool ok = true;
    Encoded(dpi, &ok);
    EXPECT_FALSE(ok);
    static const std::uint32_t pixels[4] = {};
    const fs::path file = Scratch("refused.png");
    fs::remove(file);
    std::string error;
    EXPECT_FALSE(md::canvas::WritePngFile(file.string(), pixels, 2, 2, 8, false, &error, dpi));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(file));
  }
}

// A PNG cairo wrote, with its background chunk: the resolution goes in after
// the header, a second call replaces it, and the pixels read back as before.
TEST(PngResolution, APngMadeElsewhereGetsItsResolutionPutIn) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 6, 5);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgba(cr, 0.2, 0.4, 0.6, 0.5);
  cairo_paint(cr);
  cairo_destroy(cr);
  // cairo's own encoding, as SurfacePng starts from.
  const fs::path cairoFile = Scratch("cairo.png");
  ASSERT_EQ(cairo_surface_write_to_png(s, cairoFile.c_str()), CAIRO_STATUS_SUCCESS);
  std::ifstream in(cairoFile, std::ios::binary);
  std::vector<std::uint8_t> png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::vector<std::uint8_t> stated = md::canvas::SurfacePng(s, 150);
  ExpectStated(ReadPngPhysical(stated), 5906, "surface");
  cairo_surface_destroy(s);
  ASSERT_FALSE(ReadPngPhysical(png).found);
  const md::imaging::DecodeResult before = md::imaging::Decode(png.data(), png.size());
  ASSERT_TRUE(before);

  struct Row {
    double dpi;
    std::uint32_t perMetre;
  };
  for (const Row& row : {Row{300, 11811}, Row{72, 2835}}) {
    SCOPED_TRACE(row.dpi);
    ASSERT_TRUE(md::canvas::SetPngResolution(&png, row.dpi));
    ExpectStated(ReadPngPhysical(png), row.perMetre, "put in");
    EXPECT_EQ(std::string(png.begin() + 37, png.begin() + 41), "pHYs");  // right after the header
    const md::imaging::DecodeResult after = md::imaging::Decode(png.data(), png.size());
    ASSERT_TRUE(after);
    EXPECT_EQ(after.bitmap->pixels, before.bitmap->pixels);
  }

  // Bytes that are no PNG, or cut short, and a bad resolution: unchanged.
  std::vector<std::uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'};
  EXPECT_FALSE(md::canvas::SetPngResolution(&text, 300));
  EXPECT_EQ(text.size(), 9u);
  std::vector<std::uint8_t> cut(png.begin(), png.begin() + 50);
  EXPECT_FALSE(md::canvas::SetPngResolution(&cut, 300));
  EXPECT_EQ(cut.size(), 50u);
  const std::vector<std::uint8_t> kept = png;
  EXPECT_FALSE(md::canvas::SetPngResolution(&png, 0));
  EXPECT_EQ(png, kept);
}

}  // namespace
