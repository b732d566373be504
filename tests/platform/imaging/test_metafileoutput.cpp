// Metafiles drawn at the resolution of the output they go into: an edge
// printed at several times the file's own size stays a device pixel or two
// wide, and a PDF carries the drawing as paths, not as a picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/draw.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/platform/imaging/metafiles.h"
#include "tests/support/command.h"

namespace {

using namespace md::imaging;
namespace m = md::test::metafiles;

bool Near(std::uint32_t a, std::uint32_t b) {
  for (int shift = 0; shift < 24; shift += 8)
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 24)
      return false;
  return true;
}

// Walking from (x, y) by (dx, dy) out of a region of colour `from` into one
// of colour `to`: the pixels of neither colour between them.
int EdgeWidth(const md::canvas::Raster& r, int x, int y, int dx, int dy, std::uint32_t from,
              std::uint32_t to) {
  int width = 0;
  for (int k = 0; k < 200 && x >= 0 && y >= 0 && x < r.width && y < r.height; ++k, x += dx, y += dy) {
    const std::uint32_t p = r.at(x, y);
    if (Near(p, to)) return width;
    if (!Near(p, from)) ++width;
  }
  return -1;  // never reached `to`
}

constexpr std::uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000;

// The test files' outlines at 3.78 times their own size on a 300 dpi page:
// where a walk across one starts, and which way it goes.
struct EdgeRow {
  const char* name;
  m::Bytes bytes;
  double scale;  // of the drawing: the file's own size at 300 dpi, times this
  int x, y, dx, dy;
};

std::vector<EdgeRow> EdgeRows() {
  return {
      // The rectangle's left edge, its middle row (2 x 1 inches).
      {"wmf: the rectangle's left edge", m::SampleWmf(), 3.78, 1200, 680, 1, 0},
      // The triangle's base, upwards through its middle (50 x 25 mm).
      {"emf: the triangle's base", m::SampleEmf(), 3.78, 1674, 1110, 0, -1},
  };
}

TEST(ImagingMetafileOutput, AnEdgePrintedLargeStaysSharp) {
  for (const EdgeRow& row : EdgeRows()) {
    SCOPED_TRACE(row.name);
    const DecodeResult r = Decode(row.bytes.data(), row.bytes.size());
    ASSERT_TRUE(r) << r.error;
    const int w = static_cast<int>(r.bitmap->width * 300 / r.bitmap->dpiX * row.scale);
    const int h = static_cast<int>(r.bitmap->height * 300 / r.bitmap->dpiY * row.scale);
    auto canvas = md::canvas::CairoCanvas::createImage(w, h);
    HDC hdc = md::win::CreateScreenDC(canvas.get(), 300, &md::text::FixedMetricsEngine());
    ASSERT_TRUE(DrawBitmap(hdc, *r.bitmap, 0, 0, w, h));
    DeleteDC(hdc);
    const md::canvas::Raster raster = md::canvas::ReadRaster(*canvas);
    const int width = EdgeWidth(raster, row.x, row.y, row.dx, row.dy, kWhite, kBlack);
    EXPECT_GE(width, 0);
    EXPECT_LE(width, 2);
  }
}

// The rows of a poppler listing below its dashed rule.
int ListingRows(const std::string& listing) {
  const std::size_t rule = listing.find("\n---");
  if (rule == std::string::npos) return -1;
  int rows = 0;
  for (std::size_t at = listing.find('\n', rule + 1); at != std::string::npos && at + 1 < listing.size();
       at = listing.find('\n', at + 1))
    ++rows;
  return rows;
}

TEST(ImagingMetafileOutput, APdfCarriesTheDrawingAsPathsNotAPicture) {
  if (!md::test::HavePrograms({"pdfimages", "pdftoppm"})) GTEST_SKIP() << "poppler's tools are not installed";
  const struct {
    const char* name;
    m::Bytes bytes;
    int widthMm, heightMm;  // the file's own size, drawn on a page of it
    int redX, redY;         // a pixel of the red shape on the page at 100 dpi
  } rows[] = {
      {"wmf", m::SampleWmf(), 51, 25, 150, 60},
      {"emf", m::SampleEmf(), 50, 25, 148, 79},
  };
  const auto dir = std::filesystem::path(MD_TEST_OUTPUT_DIR) / "metafile-output";
  std::filesystem::create_directories(dir);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const DecodeResult r = Decode(row.bytes.data(), row.bytes.size());
    ASSERT_TRUE(r) << r.error;
    const std::string pdf = (dir / (std::string(row.name) + ".pdf")).string();
    auto canvas = md::canvas::CairoCanvas::createPdf(pdf, row.widthMm, row.heightMm,
                                                     md::canvas::CairoCanvas::kVectorDpi);
    ASSERT_NE(canvas, nullptr);
    HDC hdc = md::win::CreateScreenDC(canvas.get(), 2540, &md::text::FixedMetricsEngine());
    ASSERT_TRUE(DrawBitmap(hdc, *r.bitmap, 0, 0, canvas->width(), canvas->height()));
    DeleteDC(hdc);
    ASSERT_TRUE(canvas->finish());

    EXPECT_EQ(ListingRows(md::test::CheckedOutput("pdfimages -list '" + pdf + "'")), 0);
    md::test::CheckedOutput("pdftoppm -r 100 -png -singlefile '" + pdf + "' '" + pdf + "'");
    md::canvas::Raster page;
    std::string error;
    ASSERT_TRUE(md::canvas::ReadPng(pdf + ".png", &page, &error)) << error;
    EXPECT_TRUE(Near(page.at(row.redX, row.redY), 0xFF0000)) << std::hex << page.at(row.redX, row.redY);
  }
}

}  // namespace
