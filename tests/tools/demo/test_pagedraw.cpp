// The demo's printing helpers: paper rasters painted on several threads,
// rasters compared on several threads, prints painted band by band, and
// vector files drawn and written in two steps.
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <regex>
#include <string>
#include <thread>

#include "platform/canvas/banding.h"
#include "platform/canvas/pngencode.h"
#include "platform/canvas/pngwrite.h"
#include "tests/tools/demo/demotest.h"
#include "tools/demo/mapsheet.h"

namespace {

using md::canvas::CairoCanvas;

struct PaperCase {
  double widthMm, heightMm;
  int dpi;
  unsigned threads;
  bool made;
};

TEST(PaperRaster, IsWhitePaperOfThePagesSizeOrNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const PaperCase cases[] = {
      {210, 297, 96, 1, true},   {210, 297, 96, 3, true},   {10, 10, 36, 8, true},  {1, 1, 36, 64, true},
      {210, 297, 35, 1, false},  {210, 297, 601, 1, false}, {0, 297, 96, 1, false}, {nan, 297, 96, 1, false},
      {2000, 10, 600, 4, false}, {210, -1, 96, 1, false},
  };
  for (const PaperCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.widthMm << " x " << c.heightMm << " mm at " << c.dpi << " dpi, "
                                    << c.threads << " threads");
    const auto paper = md::demo::NewPaperRaster(c.widthMm, c.heightMm, c.dpi, c.threads);
    ASSERT_EQ(paper != nullptr, c.made);
    if (!c.made) continue;
    const auto reference = CairoCanvas::createPageImage(c.widthMm, c.heightMm, c.dpi);
    ASSERT_NE(reference, nullptr);
    EXPECT_EQ(paper->width(), reference->width());
    EXPECT_EQ(paper->height(), reference->height());
    EXPECT_TRUE(md::demo::SameRasters(*paper, *reference, 1));
  }
}

TEST(PaperRaster, PrintsThePageAsACairoRasterDoes) {
  md::test::FixedText fixed;
  auto page = md::demo::BuildSamplePage(nullptr);
  ASSERT_NE(page, nullptr);
  constexpr int kDpi = 72;
  std::string error;
  const auto reference = md::demo::PrintRaster(*page, kDpi, &md::text::FixedMetricsEngine(), &error);
  ASSERT_NE(reference, nullptr) << error;
  const auto paper = md::demo::NewPaperRaster(page->width() / 100.0, page->height() / 100.0, kDpi, 4);
  ASSERT_NE(paper, nullptr);
  ASSERT_TRUE(md::demo::PrintPage(*page, paper.get(), kDpi, &md::text::FixedMetricsEngine(), &error))
      << error;
  const md::canvas::Difference d = md::canvas::Compare(*paper, *reference, 0);
  EXPECT_TRUE(d.sameSize);
  EXPECT_EQ(d.differing, 0);
}

// A raster of 40 x 37 pixels, white but for one pixel set to `value` (none
// when y < 0).
std::unique_ptr<CairoCanvas> Marked(int x, int y, std::uint32_t value, int width = 40) {
  auto canvas = md::demo::NewPaperRaster(width * 25.4 / 36, 37 * 25.4 / 36, 36, 1);
  EXPECT_NE(canvas, nullptr);
  if (canvas != nullptr && y >= 0) const_cast<std::uint32_t*>(canvas->pixelRow(y))[x] = value;
  return canvas;
}

struct CompareCase {
  const char* what;
  int x, y;
  std::uint32_t value;
  int width;
  bool same;
};

TEST(SameRasters, FindsAnyDifferingPixelOnAnyThread) {
  const CompareCase cases[] = {
      {"identical", 0, -1, 0, 40, true},
      {"first pixel", 0, 0, 0xFFFFFFFEu, 40, false},
      {"last pixel", 39, 36, 0xFF00FFFFu, 40, false},
      {"middle row", 17, 18, 0xFFFF7FFFu, 40, false},
      {"top byte only", 5, 9, 0x00FFFFFFu, 40, true},
      {"another width", 0, -1, 0, 41, false},
  };
  const auto white = Marked(0, -1, 0);
  for (const CompareCase& c : cases) {
    for (unsigned threads : {1u, 3u, 8u}) {
      SCOPED_TRACE(testing::Message() << c.what << ", " << threads << " threads");
      const auto other = Marked(c.x, c.y, c.value, c.width);
      EXPECT_EQ(md::demo::SameRasters(*white, *other, threads), c.same);
      EXPECT_EQ(md::demo::SameRasters(*other, *white, threads), c.same);
    }
  }
}

struct BandCase {
  bool sheet;  // the map sheet, or the sample page
  int dpi;
  int bandRows;
  unsigned threads;
};

TEST(PaintBands, GivesTheWholePrintsPixelsAsThePngsStripes) {
  md::test::FixedText fixed;
  md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  ASSERT_TRUE(doc.ok());
  const BandCase cases[] = {{false, 72, 16, 3}, {false, 100, 37, 1}, {true, 50, 64, 4}};
  const auto folder = md::test::ScratchFolder("paint-bands");
  for (const BandCase& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.sheet ? "sheet" : "sample page") << " at " << c.dpi
                                    << " dpi, bands of " << c.bandRows << " rows");
    auto page = c.sheet ? md::demo::BuildMapSheetPage(doc, nullptr) : md::demo::BuildSamplePage(nullptr);
    ASSERT_NE(page, nullptr);
    std::string error;
    const auto first = md::demo::RecordRaster(*page, c.dpi, &md::text::FixedMetricsEngine(), &error);
    const auto second = md::demo::RecordRaster(*page, c.dpi, &md::text::FixedMetricsEngine(), &error);
    ASSERT_TRUE(first != nullptr && second != nullptr) << error;
    ASSERT_TRUE(first->paintable());
    const md::demo::BandedPrints bands = md::demo::PaintBands(*first, *second, c.threads, c.bandRows);
    ASSERT_TRUE(bands.painted);
    EXPECT_TRUE(bands.same);
    const std::string png = (folder / "bands.png").string();
    ASSERT_TRUE(md::canvas::WritePngFile(png, first->width(), first->height(), bands.stripes));
    md::canvas::Raster banded;
    ASSERT_TRUE(md::canvas::ReadPng(png, &banded, &error)) << error;
    const md::canvas::Difference d = md::canvas::Compare(banded, md::test::Print(*page, c.dpi), 0);
    EXPECT_TRUE(d.sameSize);
    EXPECT_EQ(d.differing, 0);
  }
}

TEST(PaintBands, FindsAPixelTheSecondPrintAddsInAnyBand) {
  md::test::FixedText fixed;
  auto page = md::demo::BuildSamplePage(nullptr);
  ASSERT_NE(page, nullptr);
  constexpr int kDpi = 36, kBandRows = 50;
  std::string error;
  const auto first = md::demo::RecordRaster(*page, kDpi, &md::text::FixedMetricsEngine(), &error);
  ASSERT_NE(first, nullptr) << error;
  const int last = first->height() - 1;
  // Row 0 column 0 is paper: white on it changes nothing.
  const CompareCase cases[] = {
      {"white on paper", 0, 0, 0xFFFFFF, 0, true},
      {"first row", 3, 0, 0, 0, false},
      {"band's last row", 7, kBandRows - 1, 0, 0, false},
      {"next band's first row", 7, kBandRows, 0, 0, false},
      {"last row", 1, last, 0x0000FE, 0, false},
  };
  for (const CompareCase& c : cases) {
    SCOPED_TRACE(c.what);
    const auto second = md::demo::RecordRaster(*page, kDpi, &md::text::FixedMetricsEngine(), &error);
    ASSERT_NE(second, nullptr) << error;
    md::canvas::Brush brush;
    brush.color = c.value;
    second->fillRects({md::canvas::Rect{c.x, c.y, c.x + 1, c.y + 1}}, brush, md::canvas::State{});
    const md::demo::BandedPrints bands = md::demo::PaintBands(*first, *second, 2, kBandRows);
    ASSERT_TRUE(bands.painted);
    EXPECT_EQ(bands.same, c.same);
  }
  // Pixels read back cannot be answered band by band.
  std::uint32_t pixel = 0;
  EXPECT_FALSE(first->readPixels(md::canvas::Rect{0, 0, 1, 1}, &pixel));
  EXPECT_FALSE(first->paintable());
}

std::string FileWithoutDate(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return std::regex_replace(bytes, std::regex("/CreationDate \\(D:[0-9Z]*\\)"), "/CreationDate ()");
}

TEST(VectorInTwoSteps, WritesWhatPrintVectorWritesAfterThePageHasGone) {
  md::test::FixedText fixed;
  const auto folder = md::test::ScratchFolder("vector-in-two-steps");
  std::string error;
  const std::string once = (folder / "once.pdf").string();
  const std::string twice = (folder / "twice.pdf").string();
  std::unique_ptr<CairoCanvas> canvas;
  {
    auto page = md::demo::BuildSamplePage(nullptr);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(md::demo::PrintVector(*page, once, &md::text::FixedMetricsEngine(), &error)) << error;
    canvas = md::demo::DrawVector(*page, twice, &md::text::FixedMetricsEngine(), &error);
    ASSERT_NE(canvas, nullptr) << error;
  }
  EXPECT_FALSE(std::filesystem::exists(twice));
  bool written = false;
  std::thread([&] { written = md::demo::FinishVector(*canvas, twice, &error); }).join();
  ASSERT_TRUE(written) << error;
  EXPECT_EQ(FileWithoutDate(twice), FileWithoutDate(once));
}

}  // namespace
