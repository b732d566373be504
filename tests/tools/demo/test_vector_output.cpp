// Vector files of the page: drawn on a device grid of one page unit (0.01 mm),
// so that a shift of a single unit shows in the file, and with pens and fonts
// of the same size as on the raster: the PDF rasterised at 300 dpi matches the
// 300 dpi PNG.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "layout/graphicelement/igis_element.h"
#include "platform/canvas/raster.h"
#include "tests/support/command.h"
#include "tests/tools/demo/demotest.h"

namespace {

constexpr int kDpi = 300;

IGIS_Element* FirstOfType(md::demo::Page& page, const char* type) {
  for (IGIS_Element* e : page.elements()) {
    if (std::string(e->GetType()) == type) return e;
  }
  return nullptr;
}

bool HavePdfRasteriser() { return std::system("command -v pdftoppm >/dev/null 2>&1") == 0; }
bool HavePdfTools() {
  return md::test::HavePrograms({"pdftoppm", "pdftotext", "pdffonts", "pdfimages", "pdfinfo"});
}

// The rows of a poppler listing (pdffonts, pdfimages -list) below its
// dashed rule, split into words.
std::vector<std::vector<std::string>> ListingRows(const std::string& listing) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(listing);
  std::string line;
  bool body = false;
  while (std::getline(lines, line)) {
    if (!body) {
      body = line.rfind("---", 0) == 0;
      continue;
    }
    std::istringstream words(line);
    std::vector<std::string> row;
    for (std::string w; words >> w;) row.push_back(w);
    if (!row.empty()) rows.push_back(row);
  }
  return rows;
}

// The sample page written as a PDF file into a scratch folder.
std::filesystem::path SamplePdf(const std::string& folder) {
  auto page = md::demo::BuildSamplePage(nullptr);
  EXPECT_NE(page, nullptr);
  const auto pdf = md::test::ScratchFolder(folder) / "page.pdf";
  std::string error;
  if (page != nullptr) {
    EXPECT_TRUE(md::demo::PrintVector(*page, pdf.string(), nullptr, &error)) << error;
  }
  return pdf;
}

// Rasterises the part of the PDF's page from (x, y), w x h pixels at dpi, and
// reads it back.
md::canvas::Raster Rasterise(const std::filesystem::path& pdf, int dpi, int x, int y, int w, int h) {
  const std::string out = (pdf.parent_path() / "crop").string();
  std::string command = "pdftoppm -r " + std::to_string(dpi) + " -png -singlefile";
  if (w > 0)
    command += " -x " + std::to_string(x) + " -y " + std::to_string(y) + " -W " + std::to_string(w) + " -H " +
               std::to_string(h);
  command += " '" + pdf.string() + "' '" + out + "'";
  md::canvas::Raster r;
  std::string error;
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  EXPECT_TRUE(md::canvas::ReadPng(out + ".png", &r, &error)) << error;
  return r;
}

TEST(VectorOutput, AShiftOfOnePageUnitMovesTheEdgeOneUnitInTheFile) {
  if (!HavePdfRasteriser()) GTEST_SKIP() << "pdftoppm is not installed";
  auto page = md::demo::BuildSamplePage(nullptr);
  ASSERT_NE(page, nullptr);
  IGIS_Element* rect = FirstOfType(*page, GIS_TYPE_GRAPHIC_ELEMENT_RECT);
  ASSERT_NE(rect, nullptr);
  const SGIS_Rect r = rect->GetRect();
  const auto dir = md::test::ScratchFolder("vector-grid");
  const auto pdf = dir / "page.pdf";
  // At 2540 dpi one pixel is one page unit: a row across the rectangle's
  // left side, where its edge is the first inked pixel.
  const int row = md::demo::kPageHeight - (r.top + r.bottom) / 2;
  const int from = r.left - 100;
  std::vector<int> edges;
  for (int step = 0; step < 4; ++step) {
    if (step > 0) rect->OffsetAllPoints(1, 0);
    std::string error;
    ASSERT_TRUE(md::demo::PrintVector(*page, pdf.string(), nullptr, &error)) << error;
    const md::canvas::Raster line = Rasterise(pdf, 2540, from, row, 200, 1);
    ASSERT_EQ(line.width, 200);
    int edge = -1;
    for (int x = 0; x < line.width && edge < 0; ++x) {
      if (line.at(x, 0) != 0xFFFFFFu) edge = from + x;
    }
    ASSERT_GE(edge, 0);
    edges.push_back(edge);
  }
  EXPECT_EQ(edges, (std::vector<int>{edges[0], edges[0] + 1, edges[0] + 2, edges[0] + 3}));
}

TEST(VectorOutput, ThePdfKeepsItsTextAsTextReadBackAsTheCharactersDrawn) {
  if (!HavePdfTools()) GTEST_SKIP() << "poppler's tools are not installed";
  const auto pdf = SamplePdf("vector-text");
  const std::string text = md::test::CheckedOutput("pdftotext -enc UTF-8 '" + pdf.string() + "' -");
  for (const char* expected :
       {"地图整饰示例 · mapdeck layout sample", "矩形、椭圆、多边形、折线、点符号、文字与复合单元",
        "rectangles, ellipses, polygons", "图例 Legend (复合单元 compound)", "Framed Latin text",
        "嵌入对象 Embedded objects", "草图模式 Draft-mode frame"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " is not in:\n" << text;
  }
  // The glyph of 示 is also the font's glyph of the radical ⽰ (U+2F70), and
  // that of 文 the radical ⽂ (U+2F42): the file names the characters drawn.
  EXPECT_EQ(text.find("⽰"), std::string::npos);
  EXPECT_EQ(text.find("⽂"), std::string::npos);
}

TEST(VectorOutput, FontsAreEmbeddedAsSubsetsWithUnicodeMaps) {
  if (!HavePdfTools()) GTEST_SKIP() << "poppler's tools are not installed";
  const auto pdf = SamplePdf("vector-fonts");
  const std::string listing = md::test::CheckedOutput("pdffonts '" + pdf.string() + "'");
  const auto rows = ListingRows(listing);
  // Sans and serif CJK faces (regular and bold) and the Latin faces.
  EXPECT_GE(rows.size(), 4u) << listing;
  int cjk = 0;
  for (const auto& row : rows) {
    // name, type words..., encoding, emb, sub, uni, object, generation
    ASSERT_GE(row.size(), 8u) << listing;
    const std::size_t n = row.size();
    EXPECT_EQ(row[n - 5], "yes") << "not embedded: " << row[0];
    EXPECT_EQ(row[n - 4], "yes") << "not a subset: " << row[0];
    EXPECT_EQ(row[n - 3], "yes") << "no Unicode map: " << row[0];
    // A subset's name starts with a six-letter tag.
    EXPECT_EQ(row[0].find('+'), 6u) << row[0];
    if (row[0].find("CJK") != std::string::npos) ++cjk;
  }
  EXPECT_GE(cjk, 3) << listing;
}

TEST(VectorOutput, PicturesAreEmbeddedAtPrintResolutionAndTheFileStaysSmall) {
  if (!HavePdfTools()) GTEST_SKIP() << "poppler's tools are not installed";
  const auto pdf = SamplePdf("vector-images");
  const std::string listing = md::test::CheckedOutput("pdfimages -list '" + pdf.string() + "'");
  const auto rows = ListingRows(listing);
  // The picture (with its transparency mask) and the embedded object.
  ASSERT_GE(rows.size(), 2u) << listing;
  for (const auto& row : rows) {
    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
    ASSERT_GE(row.size(), 14u) << listing;
    EXPECT_LE(std::stoi(row[12]), 601) << listing;
    EXPECT_GE(std::stoi(row[12]), 590) << listing;
    EXPECT_LE(std::stoi(row[13]), 601) << listing;
  }
  std::error_code ec;
  EXPECT_LT(std::filesystem::file_size(pdf, ec), 600u * 1024u);
}

TEST(VectorOutput, ThePdfRasterisedAt300DpiMatchesThePng) {
  if (!HavePdfRasteriser()) GTEST_SKIP() << "pdftoppm is not installed";
  auto page = md::demo::BuildSamplePage(nullptr);
  ASSERT_NE(page, nullptr);
  std::string error;
  auto canvas = md::demo::PrintRaster(*page, kDpi, nullptr, &error);
  ASSERT_NE(canvas, nullptr) << error;
  const md::canvas::Raster png = md::canvas::ReadRaster(*canvas);
  const auto dir = md::test::ScratchFolder("vector-render");
  const auto pdf = dir / "page.pdf";
  ASSERT_TRUE(md::demo::PrintVector(*page, pdf.string(), nullptr, &error)) << error;
  const md::canvas::Raster fromPdf = Rasterise(pdf, kDpi, 0, 0, 0, 0);

  // The rasteriser rounds the paper's sides its own way: compare the common
  // part. The raster rounds every position to its pixels and the file does
  // not, so edges may lie a pixel apart: a pixel matches when one within a
  // pixel of it in the other picture is close to it (a one-pixel line that
  // the file places between two pixels shows half its colour in each). A
  // pen, a hatch or a font of another size puts ink where the other has none.
  ASSERT_GE(fromPdf.width, png.width - 1);
  ASSERT_GE(fromPdf.height, png.height - 1);
  const int w = std::min(png.width, fromPdf.width);
  const int h = std::min(png.height, fromPdf.height);
  constexpr int kTolerance = 140;
  auto close = [&](const md::canvas::Raster& a, const md::canvas::Raster& b, int x, int y) {
    const std::uint32_t p = a.at(x, y);
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const int bx = x + dx, by = y + dy;
        if (bx < 0 || by < 0 || bx >= w || by >= h) continue;
        const std::uint32_t q = b.at(bx, by);
        int d = 0;
        for (int shift = 0; shift < 24; shift += 8) {
          d = std::max(
              d, std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((q >> shift) & 0xFF)));
        }
        if (d <= kTolerance) return true;
      }
    }
    return false;
  };
  long long differing = 0;
  md::canvas::Raster marks;
  marks.width = w;
  marks.height = h;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool same = close(png, fromPdf, x, y) && close(fromPdf, png, x, y);
      if (!same) ++differing;
      marks.pixels.push_back(same ? 0xFFFFFFu : 0xFF0000u);
    }
  }
  const double share = static_cast<double>(differing) / (static_cast<double>(w) * h);
  if (share > 0.0005) md::canvas::WritePng(marks, (dir / "differing.png").string(), nullptr);
  EXPECT_LE(share, 0.0005) << differing << " pixels differ; see " << (dir / "differing.png").string();
  std::printf("PDF at %d dpi against the PNG: %lld of %d pixels have no close pixel within one (%.4f%%)\n",
              kDpi, differing, w * h, 100.0 * share);
}

}  // namespace
