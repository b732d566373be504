// Metafiles written by other programs (outside/make.sh makes them from our
// own drawings), each printed into a 100 x 75 mm box as a raster and as a
// PDF, through the real helper: every one is drawn, and the raster and the
// PDF rasterized at the same resolution show the same picture in the same
// place. Drawn at their own size, they show what their makers draw.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/draw.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/platform/imaging/drawn.h"
#include "tests/support/command.h"

namespace {

using namespace md::imaging;
using md::canvas::CairoCanvas;
using md::canvas::Raster;

constexpr double kBoxWidthMm = 100, kBoxHeightMm = 75;

std::filesystem::path OutsideFile(const std::string& name) {
  return std::filesystem::path(MD_SOURCE_DIR) / "tests/platform/imaging/outside/files" / name;
}

DecodeResult DecodeOutside(const std::string& name) {
  const std::vector<unsigned char> bytes = md::test::fuzz::ReadInput(OutsideFile(name));
  return Decode(bytes.data(), bytes.size());
}

// Where the prints are written, to be looked at.
std::filesystem::path OutputFolder() {
  const auto dir = std::filesystem::path(MD_TEST_OUTPUT_DIR) / "outside-metafiles";
  std::filesystem::create_directories(dir);
  return dir;
}

// The picture drawn over a box of width x height pixels on a white raster
// of that size, a device of dpi.
Raster DrawnOver(const Bitmap& bitmap, int width, int height, int dpi = 300) {
  auto canvas = CairoCanvas::createImage(width, height);
  HDC hdc = md::win::CreateScreenDC(canvas.get(), dpi, &md::text::FixedMetricsEngine());
  EXPECT_TRUE(md::test::Drawn(hdc, bitmap, 0, 0, width, height));
  DeleteDC(hdc);
  return md::canvas::ReadRaster(*canvas);
}

// The picture drawn over the whole box on a white raster page of the box.
Raster PrintRaster(const Bitmap& bitmap, int dpi) {
  auto canvas = CairoCanvas::createPageImage(kBoxWidthMm, kBoxHeightMm, dpi);
  HDC hdc = md::win::CreateScreenDC(canvas.get(), dpi, &md::text::FixedMetricsEngine());
  EXPECT_TRUE(md::test::Drawn(hdc, bitmap, 0, 0, canvas->width(), canvas->height()));
  DeleteDC(hdc);
  return md::canvas::ReadRaster(*canvas);
}

// The picture drawn over a PDF page of the box, rasterized by poppler at
// dpi, cut to the raster page's size: by its cairo backend (`viewer`
// "pdftocairo") or its own (Splash, "pdftoppm"), which draws an enlarged
// picture half a source pixel up and left and hints text its own way.
Raster PrintPdf(const Bitmap& bitmap, int dpi, const std::string& name, int width, int height,
                const std::string& viewer) {
  const std::string pdf = (OutputFolder() / (name + ".pdf")).string();
  {
    auto canvas = CairoCanvas::createPdf(pdf, kBoxWidthMm, kBoxHeightMm, CairoCanvas::kVectorDpi);
    HDC hdc = md::win::CreateScreenDC(canvas.get(), static_cast<int>(CairoCanvas::kVectorDpi),
                                      &md::text::FixedMetricsEngine());
    EXPECT_TRUE(md::test::Drawn(hdc, bitmap, 0, 0, canvas->width(), canvas->height()));
    DeleteDC(hdc);
    EXPECT_TRUE(canvas->finish());
  }
  const std::string png = pdf + "-" + viewer + "-" + std::to_string(dpi);
  md::test::CheckedOutput(viewer + " -r " + std::to_string(dpi) + " -x 0 -y 0 -W " + std::to_string(width) +
                          " -H " + std::to_string(height) + " -png -singlefile '" + pdf + "' '" + png + "'");
  Raster r;
  std::string error;
  EXPECT_TRUE(md::canvas::ReadPng(png + ".png", &r, &error)) << error;
  return r;
}

int Channel(std::uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

// The 8 x 8 cells of two rasters of one size whose mean of a channel
// differs by more than `visible`.
int CellsDiffering(const Raster& a, const Raster& b, int visible = 24) {
  int count = 0;
  for (int cy = 0; cy + 8 <= a.height; cy += 8)
    for (int cx = 0; cx + 8 <= a.width; cx += 8)
      for (int shift : {0, 8, 16}) {
        int sum = 0;
        for (int y = cy; y < cy + 8; ++y)
          for (int x = cx; x < cx + 8; ++x) sum += Channel(a.at(x, y), shift) - Channel(b.at(x, y), shift);
        if (std::abs(sum) > visible * 64) {
          ++count;
          break;
        }
      }
  return count;
}

// The box of the pixels darker than light grey in some channel: left, top,
// right, bottom (past the last), or all zero for a blank raster.
std::vector<int> ContentBox(const Raster& r) {
  std::vector<int> box{r.width, r.height, 0, 0};
  for (int y = 0; y < r.height; ++y)
    for (int x = 0; x < r.width; ++x) {
      const std::uint32_t p = r.at(x, y);
      if (std::min({Channel(p, 0), Channel(p, 8), Channel(p, 16)}) >= 160) continue;
      box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1), std::max(box[3], y + 1)};
    }
  return box[2] == 0 ? std::vector<int>{0, 0, 0, 0} : box;
}

// The files, by maker, what each brings, the pixels by which its PDF's
// content box may lie off its raster's below 600 dpi and at 600 dpi (1, but
// 2 where the raster hints a glyph's stroke thinner than a pixel onto one
// row of pixels that the PDF spreads lighter over two, and more where the
// PDF has the drawing from pixels of its own size), and the 8 x 8 cells at
// 300 dpi in which its raster and its PDF may differ, shown by poppler's
// cairo backend and by Splash: 30, but where hairlines lie on whole pixels
// on the raster and across two in the PDF, where Splash enlarges a bitmap
// half a source pixel off or hints text its own way.
const struct {
  const char* name;
  const char* what;
  int box, box600;
  int cairoCells;
  int splashCells;
} kFiles[] = {
    {"inkscape-shapes.wmf", "pens from 0.01 to 2 mm, joins, dashes, curves, an even-odd star", 1, 1, 30, 30},
    {"inkscape-shapes.emf", "the same as EMF", 1, 1, 30, 30},
    {"inkscape-text.wmf", "text of several faces, turned, stretched and squeezed", 1, 1, 30, 30},
    {"inkscape-text.emf", "the same as EMF (its text hinted by Splash)", 1, 1, 30, 180},
    {"inkscape-paints.wmf", "gradients and a clip as a WMF holds them", 1, 1, 30, 30},
    {"inkscape-paints.emf", "gradients, a clip, translucent fills", 1, 1, 30, 30},
    {"inkscape-bitmap.wmf", "a small bitmap enlarged and turned", 1, 1, 30, 1600},
    {"inkscape-bitmap.emf", "the same as EMF", 1, 1, 30, 1600},
    {"libreoffice-page.wmf", "a hatch, a gradient, a hairline, dashes, bitmaps, text of an explicit width", 1,
     1, 30, 560},
    {"libreoffice-page.emf", "the same as EMF, with EMF+ records beside", 1, 1, 30, 600},
    {"libreoffice-transparent.wmf", "a bitmap with an alpha channel, a translucent fill", 1, 1, 30, 30},
    {"libreoffice-transparent.emf", "the same as EMF: the bitmap's mask compressed (RLE8)", 1, 1, 30, 170},
    {"gnuplot-lines.emf", "curves, dashes, a key, turned text (hinted by Splash)", 1, 1, 30, 110},
    {"gnuplot-fills.emf",
     "pattern-filled boxes, a translucent fill, minus signs a pixel thin at 100 dpi; the hatches' cells "
     "painted at 300 dpi and repeated in the PDF",
     2, 1, 30, 60},
    {"gnuplot-surface.emf", "many small filled polygons", 1, 1, 30, 30},
    {"pstoedit-drawing.emf", "clips, dashes, a hairline, text scaled and turned, a small image", 1, 1, 30,
     30},
    {"libreoffice-bitmaps.wmf",
     "a bitmap with an alpha channel and one shown half transparent, over a box (Splash enlarges the bitmaps "
     "half a source pixel off)",
     1, 1, 30, 1800},
    {"libreoffice-bitmaps.emf", "the same as EMF", 1, 1, 30, 2600},
    {"libreoffice-hatches.wmf",
     "single, double and triple hatches, turned, on no background and on a solid one: their lines are "
     "hairlines, on whole rows and columns of pixels on the raster and across two in the PDF, so that many "
     "cells differ",
     1, 1, 140, 290},
    {"libreoffice-hatches.emf", "the same as EMF", 1, 1, 30, 30},
    {"libreoffice-gradients.wmf", "linear, axial, radial, ellipsoid, square and rectangular gradients", 1, 1,
     30, 30},
    {"libreoffice-gradients.emf", "the same as EMF", 1, 1, 30, 30},
    {"libreoffice-faces.wmf", "text in a monospace face and a narrow one, bold and slanted", 1, 1, 30, 30},
    {"libreoffice-faces.emf", "the same as EMF", 1, 1, 30, 30},
    {"libreoffice-map.wmf", "a small map: a filled box and lake, a dashed track, a legend of keys and labels",
     1, 1, 30, 30},
    {"libreoffice-map.emf", "the same as EMF", 1, 1, 30, 30},
    {"gnuplot-patterns.emf",
     "boxes of each of gnuplot's fill patterns, their cells painted at 300 dpi and repeated in the PDF; its "
     "tick labels, set flush right, end where the plot's own size spaces their glyphs, up to 5 pixels at "
     "600 dpi from where the raster's hinting at the box's size does",
     3, 5, 70, 280},
    {"fig2dev-patterns.emf",
     "boxes of xfig's area patterns and an ellipse of one, their cells painted at 300 dpi and repeated in "
     "the "
     "PDF: Splash lays the repeats a pixel or two off cairo's, so that most cells of a pattern's lines "
     "differ",
     1, 2, 30, 1100},
};

TEST(ImagingOutsideMetafiles, EachIsDrawnTheSameOnARasterAndInAPdf) {
  if (!md::test::HavePrograms({"pdftoppm", "pdftocairo"}))
    GTEST_SKIP() << "poppler's tools are not installed";
  for (const auto& file : kFiles) {
    SCOPED_TRACE(std::string(file.name) + ": " + file.what);
    const DecodeResult decoded = DecodeOutside(file.name);
    EXPECT_TRUE(decoded) << decoded.error;
    if (!decoded) continue;
    for (const int dpi : {100, 300, 600}) {
      SCOPED_TRACE(std::to_string(dpi) + " dpi");
      const Raster raster = PrintRaster(*decoded.bitmap, dpi);
      std::string error;
      const auto png = OutputFolder() / (std::string(file.name) + "-" + std::to_string(dpi) + ".png");
      EXPECT_TRUE(md::canvas::WritePng(raster, png.string(), &error)) << error;
      const std::vector<int> rasterBox = ContentBox(raster);
      EXPECT_LT(rasterBox[0], rasterBox[2]) << "the raster is blank";
      for (const char* viewer : {"pdftocairo", "pdftoppm"}) {
        SCOPED_TRACE(viewer);
        const Raster pdf = PrintPdf(*decoded.bitmap, dpi, file.name, raster.width, raster.height, viewer);
        ASSERT_EQ(pdf.width, raster.width);
        ASSERT_EQ(pdf.height, raster.height);
        const std::vector<int> pdfBox = ContentBox(pdf);
        EXPECT_LT(pdfBox[0], pdfBox[2]) << "the PDF is blank";
        for (int side = 0; side < 4; ++side)
          EXPECT_NEAR(rasterBox[side], pdfBox[side], dpi == 600 ? file.box600 : file.box) << "side " << side;
        if (dpi == 300) {
          EXPECT_LE(CellsDiffering(raster, pdf),
                    viewer == std::string("pdftoppm") ? file.splashCells : file.cairoCells);
        }
      }
    }
  }
}

// Each file as its maker draws it (outside/references/, written by make.sh
// at 100 dpi of the file's frame): the maker's PNG, the pixels by which our
// content box may lie off the maker's, and the 8 x 8 cells at 100 dpi in
// which ours may differ visibly from it, with why where they are many.
const struct {
  const char* name;
  const char* reference;
  int box;
  int cells;
  const char* why;
} kMakers[] = {
    {"inkscape-shapes.wmf", "inkscape-shapes.wmf.png", 2, 30,
     "Inkscape dashes a dashed pen finer and draws pens thinner than a pixel thinner than one"},
    {"inkscape-shapes.emf", "inkscape-shapes.emf.png", 2, 23, "as the WMF"},
    {"inkscape-text.wmf", "inkscape-text.wmf.png", 2, 10, ""},
    {"inkscape-text.emf", "inkscape-text.emf.png", 2, 10, ""},
    {"inkscape-paints.wmf", "inkscape-paints.wmf.png", 2, 10, ""},
    {"inkscape-paints.emf", "inkscape-paints.emf.png", 2, 10, ""},
    {"inkscape-bitmap.wmf", "inkscape-bitmap.wmf.png", 2, 10, ""},
    {"inkscape-bitmap.emf", "inkscape-bitmap.emf.png", 2, 10, ""},
    {"libreoffice-page.wmf", "libreoffice-page.png", 2, 30,
     "the gradient's edges step otherwise; the hairline is stroked with the black pen a saved state kept "
     "after the WMF deleted it, which GDI keeps (a pen deleted while selected is not deleted), as "
     "LibreOffice "
     "does"},
    {"libreoffice-page.emf", "libreoffice-page.png", 2, 40, "the gradient's edges step otherwise"},
    {"libreoffice-transparent.wmf", "libreoffice-transparent.wmf.png", 2, 400,
     "LibreOffice fills the rectangle from its EMF+ record, translucent and 10 mm off; we draw the plain "
     "record, opaque (the bitmap's mask and image are drawn as one image with alpha, as LibreOffice does)"},
    {"libreoffice-transparent.emf", "libreoffice-transparent.emf.png", 2, 320,
     "LibreOffice fills the rectangle from its EMF+ record, 10 mm off; we draw the plain records, the "
     "rectangle at the EMF+ fill's opacity (the bitmap's mask and image are drawn as one image with alpha, "
     "as LibreOffice does)"},
    {"gnuplot-lines.emf", "gnuplot-lines.emf.png", 5, 25, "LibreOffice spaces text by its hinted widths"},
    {"gnuplot-fills.emf", "gnuplot-fills.emf.png", 5, 530,
     "we fill the boxes of a pattern brush with its hatch, LibreOffice leaves them empty"},
    {"gnuplot-surface.emf", "gnuplot-surface.emf.png", 5, 55,
     "LibreOffice draws seams between the colour box's bands"},
    {"pstoedit-drawing.emf", "pstoedit-drawing.emf.png", 2, 40,
     "the edges of text and thin lines lie a pixel otherwise"},
    {"libreoffice-bitmaps.wmf", "libreoffice-bitmaps.png", 2, 160,
     "we draw the bitmap shown half transparent opaque, as the WMF's plain records hold it"},
    {"libreoffice-bitmaps.emf", "libreoffice-bitmaps.png", 2, 165,
     "we draw the bitmap shown half transparent opaque, as the EMF's plain records hold it (the other's mask "
     "and image are drawn as one image with alpha)"},
    {"libreoffice-hatches.wmf", "libreoffice-hatches.png", 2, 30,
     "hatch lines a pixel thin fall on other rows"},
    {"libreoffice-hatches.emf", "libreoffice-hatches.png", 2, 30, "as the WMF"},
    {"libreoffice-gradients.wmf", "libreoffice-gradients.png", 2, 125,
     "the steps' edges lie elsewhere and show a lighter seam; the radial gradient's corners are black, the "
     "brush the WMF deleted while a saved state held it, kept as GDI and LibreOffice keep it"},
    {"libreoffice-gradients.emf", "libreoffice-gradients.png", 2, 110,
     "the steps' edges lie elsewhere (each gradient is drawn clipped to the box the EMF fills black between "
     "its two drawings of it in R2_XORPEN)"},
    {"libreoffice-faces.wmf", "libreoffice-faces.png", 2, 10, ""},
    {"libreoffice-faces.emf", "libreoffice-faces.png", 2, 10, ""},
    {"libreoffice-map.wmf", "libreoffice-map.png", 2, 10,
     "the WMF deletes the brushes its saved states hold and makes others in their places: the legend's box "
     "keeps its colour as GDI keeps the deleted brush"},
    {"libreoffice-map.emf", "libreoffice-map.png", 2, 10, ""},
    {"gnuplot-patterns.emf", "gnuplot-patterns.emf.png", 2, 900,
     "we fill the boxes with their patterns' hatches or the colours the patterns average to, LibreOffice "
     "leaves them empty"},
    {"fig2dev-patterns.emf", "fig2dev-patterns.emf.png", 2, 560,
     "we fill the area patterns with their hatches or the colours they average to, LibreOffice fills them "
     "solid"},
};

TEST(ImagingOutsideMetafiles, EachIsDrawnAsItsMakerDrawsIt) {
  for (const auto& file : kMakers) {
    SCOPED_TRACE(std::string(file.name) + ": " + file.why);
    const DecodeResult decoded = DecodeOutside(file.name);
    ASSERT_TRUE(decoded) << decoded.error;
    Raster maker;
    std::string error;
    const auto reference = std::filesystem::path(MD_SOURCE_DIR) / "tests/platform/imaging/outside/references";
    ASSERT_TRUE(md::canvas::ReadPng((reference / file.reference).string(), &maker, &error)) << error;
    // The picture's own pixels are at 300 dpi of its frame, the maker's at 100.
    EXPECT_NEAR(maker.width, decoded.bitmap->width / 3.0, 1);
    EXPECT_NEAR(maker.height, decoded.bitmap->height / 3.0, 1);
    const Raster ours = DrawnOver(*decoded.bitmap, maker.width, maker.height, 100);
    const auto png = OutputFolder() / (std::string(file.name) + "-as-its-maker.png");
    EXPECT_TRUE(md::canvas::WritePng(ours, png.string(), &error)) << error;
    const std::vector<int> ourBox = ContentBox(ours), makerBox = ContentBox(maker);
    EXPECT_LT(makerBox[0], makerBox[2]) << "the maker draws nothing";
    for (int side = 0; side < 4; ++side)
      EXPECT_NEAR(ourBox[side], makerBox[side], file.box) << "side " << side;
    EXPECT_LE(CellsDiffering(ours, maker), file.cells);
  }
}

}  // namespace

// The picture's own 300-dpi pixels and its helper's painting of a box of
// twice their size, averaged down to theirs, show the same picture: text at
// its height and width, the edges where they were.
TEST(ImagingOutsideMetafiles, ItsOwnPixelsAndItsPaintingAtTwiceTheirSizeAgree) {
  for (const auto& file : kFiles) {
    SCOPED_TRACE(std::string(file.name) + ": " + file.what);
    const DecodeResult decoded = DecodeOutside(file.name);
    EXPECT_TRUE(decoded) << decoded.error;
    if (!decoded) continue;
    const int w = decoded.bitmap->width, h = decoded.bitmap->height;
    const Raster own = DrawnOver(*decoded.bitmap, w, h), twice = DrawnOver(*decoded.bitmap, 2 * w, 2 * h);
    Raster averaged = own;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        std::uint32_t p = 0;
        for (const int shift : {0, 8, 16}) {
          int sum = 0;
          for (int k = 0; k < 4; ++k) sum += Channel(twice.at(2 * x + k % 2, 2 * y + k / 2), shift);
          p |= static_cast<std::uint32_t>((sum + 2) / 4) << shift;
        }
        averaged.pixels[static_cast<std::size_t>(y) * w + x] = p;
      }
    const std::vector<int> ownBox = ContentBox(own), averagedBox = ContentBox(averaged);
    for (int side = 0; side < 4; ++side) EXPECT_NEAR(ownBox[side], averagedBox[side], 1) << "side " << side;
    // Hairlines are a device pixel wide at both sizes, so half as dark
    // averaged: a cell differs here by more than twice as much.
    EXPECT_LE(CellsDiffering(own, averaged, 48), 30);
  }
}
