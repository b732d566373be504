// PDF files of the cairo canvas: pages come out in order with what was drawn
// on them, text stays text in subset fonts, pictures keep their transparency.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "tests/support/command.h"

using namespace md::canvas;

namespace {

bool HavePoppler() {
  return md::test::HavePrograms({"pdftoppm", "pdftotext", "pdffonts", "pdfimages", "pdfinfo"});
}

std::string Scratch(const std::string& name) {
  const auto dir = std::filesystem::path(MD_TEST_OUTPUT_DIR) / "cairo-pdf";
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

// One page of the file at 254 dpi: one pixel a device pixel of the canvases
// below (10 per millimetre; the rasteriser may add one at the edges).
Raster PageOf(const std::string& pdf, int page) {
  const std::string out = pdf + "-page" + std::to_string(page);
  md::test::CheckedOutput("pdftoppm -r 254 -png -singlefile -f " + std::to_string(page) + " -l " +
                          std::to_string(page) + " '" + pdf + "' '" + out + "'");
  Raster r;
  std::string error;
  EXPECT_TRUE(ReadPng(out + ".png", &r, &error)) << error;
  return r;
}

Shape Box(double x0, double y0, double x1, double y1) {
  Shape s;
  s.kind = ShapeKind::Polygon;
  s.paths.push_back(SubPath{{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, true});
  s.fill = true;
  return s;
}

Brush Solid(Color c) { return Brush{BrushStyle::Solid, c, Hatch::Horizontal}; }
Pen NoPen() { return Pen{PenStyle::Null, 1, 0, LineCap::Round, LineJoin::Round}; }

TextRun Text(const std::string& text, double x, double y) {
  TextRun run;
  run.text = text;
  run.font.engine = "freetype";
  run.font.face = "黑体";
  run.font.emHeight = 40;
  run.origin = {x, y};
  return run;
}

constexpr Color kRed = 0x0000FF, kBlue = 0xFF0000;  // 0x00BBGGRR

TEST(CairoPdf, PagesComeOutInOrderWithTheirTextAsSubsetFonts) {
  if (!HavePoppler()) GTEST_SKIP() << "poppler's tools are not installed";
  const std::string pdf = Scratch("pages.pdf");
  auto c = CairoCanvas::createPdf(pdf, 100, 50, 254);
  ASSERT_NE(c, nullptr);
  c->drawShape(Box(100, 100, 300, 300), NoPen(), Solid(kBlue), State{});
  c->drawText(Text("第一页 page one", 400, 200), State{});
  c->newPage();
  c->drawText(Text("第二页 page two", 400, 200), State{});
  c->drawShape(Box(600, 300, 900, 450), NoPen(), Solid(kRed), State{});
  ASSERT_TRUE(c->finish());

  EXPECT_NE(md::test::CheckedOutput("pdfinfo '" + pdf + "'").find("Pages:           2"), std::string::npos);
  const std::string one = md::test::CheckedOutput("pdftotext -enc UTF-8 -f 1 -l 1 '" + pdf + "' -");
  const std::string two = md::test::CheckedOutput("pdftotext -enc UTF-8 -f 2 -l 2 '" + pdf + "' -");
  EXPECT_NE(one.find("第一页 page one"), std::string::npos) << one;
  EXPECT_EQ(one.find("page two"), std::string::npos) << one;
  EXPECT_NE(two.find("第二页 page two"), std::string::npos) << two;

  const std::string fonts = md::test::CheckedOutput("pdffonts '" + pdf + "'");
  EXPECT_NE(fonts.find("+NotoSansCJK"), std::string::npos) << fonts;
  EXPECT_NE(fonts.find("yes yes yes"), std::string::npos) << fonts;
  EXPECT_EQ(fonts.find(" no "), std::string::npos) << fonts;

  const Raster p1 = PageOf(pdf, 1), p2 = PageOf(pdf, 2);
  ASSERT_GE(p1.width, 1000);
  ASSERT_GE(p2.width, 1000);
  EXPECT_EQ(p1.at(200, 200) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(p1.at(750, 400) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(p2.at(200, 200) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(p2.at(750, 400) & 0xFFFFFF, 0xFF0000u);
  // The text inks its line on the page it was drawn on.
  int ink = 0;
  for (int x = 400; x < 700; ++x)
    for (int y = 160; y < 210; ++y) ink += (p2.at(x, y) & 0xFFFFFF) != 0xFFFFFFu;
  EXPECT_GT(ink, 500);
}

TEST(CairoPdf, PicturesKeepTheirTransparencyAndPartsOutsideTheSourceShowWhatIsBelow) {
  if (!HavePoppler()) GTEST_SKIP() << "poppler's tools are not installed";
  const std::string pdf = Scratch("pictures.pdf");
  auto c = CairoCanvas::createPdf(pdf, 100, 50, 254);
  ASSERT_NE(c, nullptr);
  c->fillRects({Rect{0, 0, 1000, 500}}, Solid(kRed), State{});
  // Opaque blue on the left, transparent on the right.
  const std::uint32_t halves[] = {0xFF0000FFu, 0xFF0000FFu, 0u, 0u, 0xFF0000FFu, 0xFF0000FFu, 0u, 0u};
  Image alpha{halves, 4, 2, 16, false, true};
  c->drawImage(alpha, Rect{0, 0, 4, 2}, Rect{100, 100, 500, 300}, State{});
  // An opaque green picture whose source rectangle starts left of it.
  const std::uint32_t green[] = {0x00FF00u, 0x00FF00u, 0x00FF00u, 0x00FF00u};
  Image opaque{green, 2, 2, 8, false, false};
  c->drawImage(opaque, Rect{-2, 0, 2, 2}, Rect{600, 100, 1000, 300}, State{});
  ASSERT_TRUE(c->finish());

  const Raster page = PageOf(pdf, 1);
  ASSERT_GE(page.width, 1000);
  EXPECT_EQ(page.at(200, 200) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(page.at(400, 200) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(page.at(700, 200) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(page.at(900, 200) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(page.at(50, 450) & 0xFFFFFF, 0xFF0000u);
}

TEST(CairoPdf, DrawingAfterFinishLeavesTheFileAsItWas) {
  const std::string pdf = Scratch("finished.pdf");
  auto c = CairoCanvas::createPdf(pdf, 100, 50, 254);
  ASSERT_NE(c, nullptr);
  c->drawText(Text("完成 done", 100, 200), State{});
  ASSERT_TRUE(c->finish());
  const auto size = std::filesystem::file_size(pdf);
  c->drawText(Text("后来 later", 100, 300), State{});
  c->drawShape(Box(0, 0, 100, 100), NoPen(), Solid(kRed), State{});
  c->newPage();
  EXPECT_TRUE(c->finish());
  c.reset();
  EXPECT_EQ(std::filesystem::file_size(pdf), size);
  if (HavePoppler()) {
    const std::string text = md::test::CheckedOutput("pdftotext -enc UTF-8 '" + pdf + "' -");
    EXPECT_NE(text.find("完成 done"), std::string::npos) << text;
    EXPECT_EQ(text.find("later"), std::string::npos) << text;
  }
}

}  // namespace
