// Metafiles drawn at the resolution of the output they go into: an edge
// printed at several times the file's own size stays a device pixel or two
// wide, and a PDF carries the drawing as paths, not as a picture.
#include <cairo-svg.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/draw.h"
#include "platform/imaging/helper/listwriter.h"
#include "platform/imaging/helper/svg/svgcheck.h"
#include "platform/imaging/protocol/drawlist.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/platform/imaging/drawn.h"
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

TEST(ImagingMetafileOutput, AnEdgePrintedLargeStaysSharp) {
  // The outlines at 3.78 times the files' own size on a 300 dpi page: where
  // a walk from white into one's black starts, and which way it goes.
  const struct {
    const char* name;
    m::Bytes bytes;
    int x, y, dx, dy;
  } rows[] = {
      {"wmf: the rectangle's left edge, its middle row", m::SampleWmf(), 1200, 680, 1, 0},
      {"emf: the triangle's base, upwards through its middle", m::SampleEmf(), 1674, 1110, 0, -1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const DecodeResult r = Decode(row.bytes.data(), row.bytes.size());
    ASSERT_TRUE(r) << r.error;
    const int w = static_cast<int>(r.bitmap->width * 300 / r.bitmap->dpiX * 3.78);
    const int h = static_cast<int>(r.bitmap->height * 300 / r.bitmap->dpiY * 3.78);
    auto canvas = md::canvas::CairoCanvas::createImage(w, h);
    HDC hdc = md::win::CreateScreenDC(canvas.get(), 300, &md::text::FixedMetricsEngine());
    ASSERT_TRUE(md::test::Drawn(hdc, *r.bitmap, 0, 0, w, h));
    DeleteDC(hdc);
    const md::canvas::Raster raster = md::canvas::ReadRaster(*canvas);
    const int width = EdgeWidth(raster, row.x, row.y, row.dx, row.dy, 0xFFFFFF, 0x000000);
    EXPECT_GE(width, 0);
    EXPECT_LE(width, 2);
  }
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
    ASSERT_TRUE(md::test::Drawn(hdc, *r.bitmap, 0, 0, canvas->width(), canvas->height()));
    DeleteDC(hdc);
    ASSERT_TRUE(canvas->finish());

    // The listing's two lines of heading, and no picture under them.
    const std::string listing = md::test::CheckedOutput("pdfimages -list '" + pdf + "'");
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 2) << listing;
    md::test::CheckedOutput("pdftoppm -r 100 -png -singlefile '" + pdf + "' '" + pdf + "'");
    md::canvas::Raster page;
    std::string error;
    ASSERT_TRUE(md::canvas::ReadPng(pdf + ".png", &page, &error)) << error;
    EXPECT_TRUE(Near(page.at(row.redX, row.redY), 0xFF0000)) << std::hex << page.at(row.redX, row.redY);
  }
}

const std::string kSvg =
    "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' viewBox='0 0 9 9'>";

// The helper reads cairo's SVG of a drawing only when it refers to nothing
// outside itself.
TEST(ImagingMetafileOutput, TheHelperReadsItsSvgOnlyWhenItRefersToNothingOutside) {
  const std::string& svg = kSvg;
  std::string utf16 = "\xFF\xFE";
  for (char c : svg + "<image xlink:href='file:///etc/hosts'/></svg>") utf16 += std::string{c, '\0'};
  const struct {
    const char* name;
    std::string document;
    bool readable;
  } rows[] = {
      {"its own parts", svg + "<g id='a' style='fill:url(#b)'/><use xlink:href=\"#a\"/></svg>", true},
      {"PNG data", svg + "<image xlink:href=\"data:image/png;base64,iVBORw0KGgo=\"/></svg>", true},
      {"a file", svg + "<image xlink:href=\"file:///etc/hosts\"/></svg>", false},
      {"a file, quoted otherwise", svg + "<image xlink:href = 'file:///etc/hosts'/></svg>", false},
      {"a file behind a character reference", svg + "<image xlink:href='&#102;ile:///etc/hosts'/></svg>",
       false},
      {"data of another format", svg + "<image xlink:href=\"data:image/tiff;base64,SUkqAA==\"/></svg>",
       false},
      {"a file in a style", svg + "<rect width='4' height='4' style='fill:URL(/tmp/p.svg#p)'/></svg>", false},
      {"no SVG", "GIF89a", false},
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + svg + "<rect width='4' height='4'/></svg>", false},
      {"UTF-16, its reference spelled with NULs", utf16, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(detail::SvgRefusal(row.document).empty(), row.readable);
  }
}

// cairo's SVG of every kind of drawing the helper's SVG of the metafiles
// lacks: a dashed stroke, gradients of every extend, a picture repeated and
// used as a mask, and when `faded` a group faded (of the picture).
std::string CairoSvgOfEveryKindOfDrawing(bool faded) {
  const std::string path =
      std::string(MD_TEST_OUTPUT_DIR) + "/every-kind-of-drawing" + (faded ? "-faded" : "") + ".svg";
  cairo_surface_t* document = cairo_svg_surface_create(path.c_str(), 400, 300);
  cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
  cairo_surface_mark_dirty(picture);  // a clear one would be left out
  cairo_t* cr = cairo_create(document);
  cairo_arc(cr, 200, 150, 250, 0, 6.28);
  cairo_set_source_rgba(cr, 0, 0, 1, 0.5);
  const double dashes[] = {4, 2};
  cairo_set_dash(cr, dashes, 2, 1);
  cairo_stroke(cr);
  for (int extend = CAIRO_EXTEND_NONE; extend <= CAIRO_EXTEND_PAD; ++extend) {
    for (cairo_pattern_t* gradient :
         {cairo_pattern_create_linear(0, 0, 50, 50), cairo_pattern_create_radial(60, 60, 5, 70, 70, 50)}) {
      cairo_pattern_add_color_stop_rgba(gradient, 0, 1, 0, 0, 1);
      cairo_pattern_add_color_stop_rgba(gradient, 1, 0, 1, 0, 0.5);
      cairo_pattern_set_extend(gradient, static_cast<cairo_extend_t>(extend));
      cairo_set_source(cr, gradient);
      cairo_rectangle(cr, 20 * extend, 150, 20, 100);
      cairo_fill(cr);
      cairo_pattern_destroy(gradient);
    }
  }
  cairo_set_source_surface(cr, picture, 300, 20);
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_REPEAT);
  cairo_mask_surface(cr, picture, 320, 20);
  if (faded) {
    cairo_push_group(cr);
    cairo_paint(cr);
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, 0.3);
  }
  cairo_destroy(cr);
  for (cairo_surface_t* s : {document, picture}) cairo_surface_destroy(s);
  const auto bytes = md::test::fuzz::ReadInput(path);
  return {bytes.begin(), bytes.end()};
}

// The helper reads only what cairo writes (elements, attributes and style
// properties each from a list): a renderer may spend minutes on a filter's
// turbulence. A picture in a faded group is drawn from its pixels, with its
// code.
TEST(ImagingMetafileOutput, AnSvgHoldingWhatCairoDoesNotWriteIsNotRead) {
  const auto in = [](const std::string& body) { return kSvg + body + "<rect width='4' height='4'/></svg>"; };
  // A document, and what its refusal names ("" when it is read).
  const std::pair<std::string, const char*> rows[] = {
      {CairoSvgOfEveryKindOfDrawing(false), ""},
      {in("<stop offset='0' style='stop-opacity 1'/>"), ""},  // without its colon, as cairo writes one
      {in("<filter id='f'><feTurbulence baseFrequency='0.05'/></filter>"), "<feTurbulence>"},
      {in("<path d='M 0 0 L 9 9' filter='url(#alpha)'/>"), "attribute filter"},
      {in("<g style='fill:none;filter:url(#alpha)'/>"), "style filter:url(#alpha)"},
      {in("<x:g xmlns:x='http://www.w3.org/2000/svg'/>"), "<x:g>"},
      {"<svg xmlns='http://www.w3.org/1999/xhtml'></svg>", "as xmlns"},
      {in("<svg width='9' height='9'/>"), "second <svg>"},
      {in("<g>map</g>"), "holds text"},
      {in("<!-- a -->"), "comment"},
  };
  for (const auto& [svg, refusal] : rows) {
    const std::string why = detail::SvgRefusal(svg);
    EXPECT_EQ(why.empty(), *refusal == '\0') << why;
    EXPECT_NE(why.find(refusal), std::string::npos) << why << ", not " << refusal;
  }
  // What the check lets through becomes a list, but for a picture in a
  // faded group.
  std::vector<std::uint8_t> room(drawlist::kMaxBytes);
  for (const auto& [faded, answer] : {std::pair{false, detail::VectorsAnswer::List},
                                      std::pair{true, detail::VectorsAnswer::PictureInLayer}}) {
    const detail::ListAnswer written = detail::WriteDrawList(
        CairoSvgOfEveryKindOfDrawing(faded), {400, 300, 0, 0, kDefaultMemoryLimit}, room.data(), room.size());
    EXPECT_EQ(written.vectors, answer) << faded;
  }
}

// A face name and a text holding what SVG markup reserves draw like any
// other: nothing of them ends the markup the decoder writes them into.
TEST(ImagingMetafileOutput, EmfFaceNamesAndTextsHoldingMarkupDraw) {
  const auto units = [](const std::u16string& s, std::size_t n) {  // two a word, padded with NULs
    std::vector<std::uint32_t> words((n + 1) / 2, 0);
    for (std::size_t k = 0; k < s.size(); ++k) words[k / 2] |= std::uint32_t{s[k]} << (16 * (k % 2));
    return words;
  };
  // A font 40 pixels of the reference device high, and the text at the top left.
  std::vector<std::uint32_t> font = {1, static_cast<std::uint32_t>(-40), 0, 0, 0, 400, 0, 0};
  for (std::uint32_t w : units(u"R&D <\"Sans\">", 32)) font.push_back(w);
  const std::u16string text = u"Map ]]> 12";
  const auto n = static_cast<std::uint32_t>(text.size()), words = (n + 1) / 2;
  // Its place, the string's length and offset, and its spacing's offset.
  std::vector<std::uint32_t> out = {0, 0, 190, 90, 1, 0, 0, 10, 10, n, 76, 0, 0, 0, 0, 0, 76 + 4 * words};
  for (std::uint32_t w : units(text, n)) out.push_back(w);
  out.insert(out.end(), n, 20);
  const m::Bytes file = m::Emf(5000, 2500, {{82, font}, {37, {1}}, {84, out}}, 2);
  const DecodeResult r = Decode(file.data(), file.size());
  int ink = 0;  // opaque dark pixels
  for (std::uint32_t p : r ? m::OwnPixels(r.bitmap)->pixels : std::vector<std::uint32_t>{})
    ink += (p >> 24) > 0x80 && (p & 0xFF) < 0x60 && ((p >> 8) & 0xFF) < 0x60;
  EXPECT_GT(ink, 200) << r.error;
}

}  // namespace

// A WMF of 2 x 1 inches with one line across its middle, drawn with a pen
// `width` thousandths of an inch wide (0: a pen of no width).
m::Bytes LineWmf(std::uint16_t width) {
  return m::Wmf(2000, 1000, 1000,
                {{0x020B, {0, 0}},
                 {0x020C, {1000, 2000}},
                 {0x02FA, {0, width, 0, 0, 0}},  // a black pen
                 {0x012D, {0}},
                 {0x0214, {500, 100}},  // move to
                 {0x0213, {500, 1900}}},
                1);
}

// Down the column x of a raster: how many pixels are inked, the darkest
// channel of the darkest, and the ink of them all in pixels of black (a
// line's width however it is spread over them).
struct Across {
  int inked = 0, darkest = 255;
  double ink = 0;
};
Across LineAcross(const md::canvas::Raster& r, int x) {
  Across a;
  for (int y = 0; y < r.height; ++y) {
    const std::uint32_t p = r.at(x, y);
    const int v = std::min(
        {static_cast<int>(p & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>((p >> 16) & 0xFF)});
    a.inked += v < 200;
    a.darkest = std::min(a.darkest, v);
    a.ink += (255 - v) / 255.0;
  }
  return a;
}

// The metafile printed over a box of `widthMm` x `heightMm`: on a raster
// page at dpi, or in a PDF shown by pdftoppm at dpi.
md::canvas::Raster Printed(const m::Bytes& bytes, bool pdf, int dpi, double widthMm = 50.8,
                           double heightMm = 25.4) {
  md::canvas::Raster raster;
  const DecodeResult r = Decode(bytes.data(), bytes.size());
  EXPECT_TRUE(r) << r.error;
  if (!r) return raster;
  if (pdf) {
    const auto dir = std::filesystem::path(MD_TEST_OUTPUT_DIR) / "metafile-output";
    std::filesystem::create_directories(dir);
    // One file per test: ctest runs the tests of this file side by side.
    const std::string file =
        (dir / (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".pdf"))
            .string();
    auto canvas =
        md::canvas::CairoCanvas::createPdf(file, widthMm, heightMm, md::canvas::CairoCanvas::kVectorDpi);
    HDC hdc = md::win::CreateScreenDC(canvas.get(), 2540, &md::text::FixedMetricsEngine());
    EXPECT_TRUE(md::test::Drawn(hdc, *r.bitmap, 0, 0, canvas->width(), canvas->height()));
    DeleteDC(hdc);
    EXPECT_TRUE(canvas->finish());
    md::test::CheckedOutput("pdftoppm -r " + std::to_string(dpi) + " -png -singlefile '" + file + "' '" +
                            file + "'");
    std::string error;
    EXPECT_TRUE(md::canvas::ReadPng(file + ".png", &raster, &error)) << error;
  } else {
    auto canvas = md::canvas::CairoCanvas::createPageImage(widthMm, heightMm, dpi);
    HDC hdc = md::win::CreateScreenDC(canvas.get(), dpi, &md::text::FixedMetricsEngine());
    EXPECT_TRUE(md::test::Drawn(hdc, *r.bitmap, 0, 0, canvas->width(), canvas->height()));
    DeleteDC(hdc);
    raster = md::canvas::ReadRaster(*canvas);
  }
  return raster;
}

TEST(ImagingMetafileOutput, APenThinnerThanADevicePixelIsDrawnOnePixelWide) {
  if (!md::test::HavePrograms({"pdftoppm"})) GTEST_SKIP() << "pdftoppm is not installed";
  // A hairline lies on whole device pixels on a raster; in a PDF it may lie
  // across two.
  const struct {
    const char* name;
    m::Bytes bytes;
    bool pdf;
    int dpi;
    int most;     // pixels inked across the line, at most
    int darkest;  // the darkest pixel's darkest channel, at most
    double heightMm = 25.4;
  } rows[] = {
      {"wmf, no width, on a raster at 100 dpi", LineWmf(0), false, 100, 1, 96},
      {"wmf, no width, on a raster at 600 dpi", LineWmf(0), false, 600, 1, 96},
      {"wmf, a thousandth of an inch, at 100 dpi", LineWmf(1), false, 100, 1, 96},
      {"wmf, a thousandth of an inch, at 600 dpi", LineWmf(1), false, 600, 1, 96},
      {"wmf, no width, in a PDF at 300 dpi", LineWmf(0), true, 300, 2, 96},
      {"wmf, a thousandth of an inch, in a PDF at 300 dpi", LineWmf(1), true, 300, 2, 96},
      // A box as high as wide stretches the 2 x 1 inch picture down, its
      // hairline not.
      {"wmf, no width, stretched down on a raster at 300 dpi", LineWmf(0), false, 300, 1, 96, 50.8},
      {"wmf, no width, stretched down in a PDF at 300 dpi", LineWmf(0), true, 300, 2, 96, 50.8},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const md::canvas::Raster raster = Printed(row.bytes, row.pdf, row.dpi, 50.8, row.heightMm);
    const Across line = LineAcross(raster, raster.width / 2);
    EXPECT_GE(line.inked, 1);
    EXPECT_LE(line.inked, row.most);
    EXPECT_LE(line.darkest, row.darkest);  // dark, not a faint grey
    EXPECT_LE(line.ink, 1.5);              // a pixel wide, spread or not
  }
}

// A pen of 0.02 inch (6 pixels at 300 dpi) on a 2 x 1 inch picture printed
// into a box of 2 x 2 inches is stretched down with the picture: as thick
// on a raster as in a PDF.
TEST(ImagingMetafileOutput, APenIsStretchedWithThePictureOnEveryOutput) {
  if (!md::test::HavePrograms({"pdftoppm"})) GTEST_SKIP() << "pdftoppm is not installed";
  const struct {
    const char* name;
    bool pdf;
    double heightMm;
    int least, most;  // pixels inked down across the line
  } rows[] = {
      {"raster, the picture's own shape", false, 25.4, 5, 7},
      {"PDF, the picture's own shape", true, 25.4, 5, 7},
      {"raster, stretched down twice", false, 50.8, 11, 13},
      {"PDF, stretched down twice", true, 50.8, 11, 13},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const md::canvas::Raster raster = Printed(LineWmf(20), row.pdf, 300, 50.8, row.heightMm);
    const int inked = LineAcross(raster, raster.width / 2).inked;
    EXPECT_GE(inked, row.least);
    EXPECT_LE(inked, row.most);
  }
}
