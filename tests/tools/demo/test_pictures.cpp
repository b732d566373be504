// Comparing pictures and reading and writing them: what the render check and
// the demo's own pixel-for-pixel check rest on.
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/canvas/pngwrite.h"
#include "platform/canvas/raster.h"
#include "tests/tools/demo/demotest.h"

namespace {

md::canvas::Raster Filled(int w, int h, std::uint32_t color) {
  md::canvas::Raster r;
  r.width = w;
  r.height = h;
  r.pixels.assign(static_cast<std::size_t>(w) * h, color);
  return r;
}

void Set(md::canvas::Raster& r, int x, int y, std::uint32_t c) {
  r.pixels[static_cast<std::size_t>(y) * r.width + x] = c;
}

TEST(Pictures, CompareCountsPixelsBeyondTheToleranceOnEachChannel) {
  const md::canvas::Raster white = Filled(8, 5, 0xFFFFFF);
  md::canvas::Raster changed = white;
  Set(changed, 0, 0, 0xFFFFF0);  // blue channel off by 15
  Set(changed, 7, 4, 0xC0FFFF);  // red channel off by 63
  Set(changed, 3, 2, 0xFF00FF);  // green channel off by 255

  struct Row {
    int tolerance;
    long long differing;
  };
  for (const Row& row :
       {Row{0, 3}, Row{14, 3}, Row{15, 2}, Row{62, 2}, Row{63, 1}, Row{254, 1}, Row{255, 0}}) {
    SCOPED_TRACE(row.tolerance);
    const md::canvas::Difference d = md::canvas::Compare(white, changed, row.tolerance);
    EXPECT_TRUE(d.sameSize);
    EXPECT_EQ(d.differing, row.differing);
    EXPECT_EQ(d.largest, 255);
  }
  EXPECT_EQ(md::canvas::Compare(white, white, 0).differing, 0);
  EXPECT_EQ(md::canvas::Compare(white, white, 0).largest, 0);

  // Pictures of other sizes never compare equal, whatever the tolerance.
  for (const md::canvas::Raster& other :
       {Filled(5, 8, 0xFFFFFF), Filled(8, 4, 0xFFFFFF), md::canvas::Raster{}}) {
    const md::canvas::Difference d = md::canvas::Compare(white, other, 255);
    EXPECT_FALSE(d.sameSize);
  }
  // A raster whose pixel count does not match its size is refused too.
  md::canvas::Raster broken = white;
  broken.pixels.pop_back();
  EXPECT_FALSE(md::canvas::Compare(broken, broken, 0).sameSize);
}

TEST(Pictures, DifferenceImageMarksExactlyTheDifferingPixelsInRed) {
  const md::canvas::Raster a = Filled(6, 4, 0x000000);
  md::canvas::Raster b = a;
  Set(b, 2, 1, 0x808080);
  Set(b, 5, 3, 0x050505);
  const md::canvas::Raster d = md::canvas::DifferenceImage(a, b, 10);
  ASSERT_EQ(d.width, 6);
  ASSERT_EQ(d.height, 4);
  int red = 0;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) {
      if (d.at(x, y) == 0xFF0000) {
        ++red;
        EXPECT_EQ(x, 2);
        EXPECT_EQ(y, 1);
      } else {
        // The rest is the first picture faded, so it stays light.
        EXPECT_GE(d.at(x, y) & 0xFF, 0xBF);
      }
    }
  }
  EXPECT_EQ(red, 1);
  EXPECT_TRUE(md::canvas::DifferenceImage(a, Filled(3, 3, 0), 0).pixels.empty());
}

TEST(Pictures, PngKeepsEveryPixelAndBadFilesAreRefused) {
  md::canvas::Raster r = Filled(37, 23, 0x102030);
  for (int i = 0; i < 37; ++i) Set(r, i, i % 23, static_cast<std::uint32_t>(i * 0x070503));
  const auto dir = md::test::ScratchFolder("pictures");
  const std::string path = (dir / "pattern.png").string();
  std::string error;
  ASSERT_TRUE(md::canvas::WritePng(r, path, &error)) << error;
  md::canvas::Raster back;
  ASSERT_TRUE(md::canvas::ReadPng(path, &back, &error)) << error;
  EXPECT_EQ(back.width, r.width);
  EXPECT_EQ(back.height, r.height);
  EXPECT_EQ(back.pixels, r.pixels);

  // A file that is no PNG, one cut short, one missing, and an empty raster.
  const std::string text = (dir / "text.png").string();
  std::ofstream(text) << "not a picture";
  const std::string cut = (dir / "cut.png").string();
  {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
  }
  for (const std::string& bad : {text, cut, (dir / "missing.png").string()}) {
    SCOPED_TRACE(bad);
    md::canvas::Raster untouched = Filled(1, 1, 7);
    error.clear();
    EXPECT_FALSE(md::canvas::ReadPng(bad, &untouched, &error));
    EXPECT_NE(error.find(bad), std::string::npos) << error;
    EXPECT_EQ(untouched.width, 1);
  }
  EXPECT_FALSE(md::canvas::WritePng(md::canvas::Raster{}, (dir / "empty.png").string(), &error));
  EXPECT_FALSE(md::canvas::WritePng(r, (dir / "no-such-folder" / "x.png").string(), &error));
}

// Raster canvases compared in place: a top-down image and a bottom-up pixel
// buffer with the same drawing are the same; one changed pixel is found.
TEST(Pictures, CanvasesCompareInPlaceWhateverTheirRowOrder) {
  using md::canvas::CairoCanvas;
  constexpr int kW = 9, kH = 6;
  std::vector<std::uint32_t> bits(kW * kH, 0xFFFFFF);
  auto image = CairoCanvas::createImage(kW, kH);
  auto bottomUp = CairoCanvas::createOnPixels(md::canvas::PixelBuffer{bits.data(), kW, kH, kW * 4, true});
  ASSERT_NE(image, nullptr);
  ASSERT_NE(bottomUp, nullptr);
  md::canvas::Brush brush;
  brush.style = md::canvas::BrushStyle::Solid;
  brush.color = 0x3366CC;
  for (CairoCanvas* c : {image.get(), bottomUp.get()}) {
    c->fillRects({md::canvas::Rect{1, 0, 4, 2}}, brush, md::canvas::State{});
    c->flush();
  }
  md::canvas::Difference d = md::canvas::Compare(*image, *bottomUp, 0);
  EXPECT_TRUE(d.sameSize);
  EXPECT_EQ(d.differing, 0);
  EXPECT_EQ(d.largest, 0);

  brush.color = 0x3366CC + 0x000020;  // red channel 0x20 apart (0x00BBGGRR)
  bottomUp->fillRects({md::canvas::Rect{8, 5, 9, 6}}, brush, md::canvas::State{});
  bottomUp->flush();
  EXPECT_EQ(bits[8], 0xEC6633u);  // the last device row is the first stored one
  d = md::canvas::Compare(*image, *bottomUp, 0);
  EXPECT_EQ(d.differing, 1);
  EXPECT_EQ(d.largest, 0xFF - 0x33);  // white against the new colour's blue
  EXPECT_EQ(md::canvas::Compare(*image, *bottomUp, 0xFF).differing, 0);

  auto other = CairoCanvas::createImage(kW, kH + 1);
  EXPECT_FALSE(md::canvas::Compare(*image, *other, 0).sameSize);
  EXPECT_EQ(image->pixelRow(-1), nullptr);
  EXPECT_EQ(image->pixelRow(kH), nullptr);
}

// A canvas written as PNG reads back top-down; a write that fails leaves the
// file that was there, and no temporary file behind.
TEST(Pictures, CanvasPngIsTopDownAndFailedWritesChangeNothing) {
  using md::canvas::CairoCanvas;
  std::vector<std::uint32_t> bits(5 * 3, 0xFFFFFF);
  auto canvas = CairoCanvas::createOnPixels(md::canvas::PixelBuffer{bits.data(), 5, 3, 5 * 4, true});
  ASSERT_NE(canvas, nullptr);
  md::canvas::Brush brush;
  brush.style = md::canvas::BrushStyle::Solid;
  brush.color = 0x0000FF;  // red
  canvas->fillRects({md::canvas::Rect{0, 0, 5, 1}}, brush, md::canvas::State{});
  canvas->flush();
  const auto dir = md::test::ScratchFolder("canvas-png");
  const std::string path = (dir / "canvas.png").string();
  ASSERT_TRUE(canvas->writePng(path));
  md::canvas::Raster back;
  std::string error;
  ASSERT_TRUE(md::canvas::ReadPng(path, &back, &error)) << error;
  ASSERT_EQ(back.width, 5);
  ASSERT_EQ(back.height, 3);
  EXPECT_EQ(back.at(2, 0), 0xFF0000u);
  EXPECT_EQ(back.at(2, 2), 0xFFFFFFu);

  // A folder where the file should be: the rename fails, the folder stays.
  const auto blocked = dir / "blocked.png";
  std::filesystem::create_directories(blocked / "inside");
  EXPECT_FALSE(canvas->writePng(blocked.string()));
  EXPECT_TRUE(std::filesystem::is_directory(blocked / "inside"));
  EXPECT_FALSE(md::canvas::WritePngFile(path, nullptr, 5, 3, 20));
  EXPECT_FALSE(md::canvas::WritePngFile(path, bits.data(), 5, 3, 4));  // rows overlap
  ASSERT_TRUE(md::canvas::ReadPng(path, &back, &error)) << error;      // still the first picture
  EXPECT_EQ(back.at(2, 0), 0xFF0000u);
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    EXPECT_EQ(entry.path().string().find(".tmp."), std::string::npos) << entry.path();
    ++entries;
  }
  EXPECT_EQ(entries, 2);
}

// The raster read back from a printed page is the page at its resolution,
// white where nothing is drawn and not white everywhere.
TEST(Pictures, APrintedPageIsTheA4PaperAtItsResolution) {
  md::test::FixedText fixed;
  auto page = md::demo::BuildSamplePage(nullptr);
  ASSERT_NE(page, nullptr);
  const md::canvas::Raster r = md::test::Print(*page, 50);
  EXPECT_EQ(r.width, 585);   // 297 mm at 50 dpi
  EXPECT_EQ(r.height, 413);  // 210 mm
  ASSERT_FALSE(r.pixels.empty());
  EXPECT_EQ(r.at(1, 1), 0xFFFFFFu);  // outside the neat lines
  long long inked = 0;
  for (std::uint32_t p : r.pixels) inked += p != 0xFFFFFF ? 1 : 0;
  EXPECT_GT(inked, static_cast<long long>(r.pixels.size()) / 20);
  EXPECT_LT(inked, static_cast<long long>(r.pixels.size()) / 2);

  std::string error;
  EXPECT_EQ(md::demo::PrintRaster(*page, md::demo::kMinDpi - 1, nullptr, &error), nullptr);
  EXPECT_EQ(md::demo::PrintRaster(*page, md::demo::kMaxDpi + 1, nullptr, &error), nullptr);
}

}  // namespace
