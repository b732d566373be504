// Metafiles drawn at the resolution of the output they go into: an edge
// printed at several times the file's own size stays a device pixel or two
// wide, and a PDF carries the drawing as paths, not as a picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/draw.h"
#include "platform/imaging/svgdrawing.h"
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
    ASSERT_TRUE(DrawBitmap(hdc, *r.bitmap, 0, 0, w, h));
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
    ASSERT_TRUE(DrawBitmap(hdc, *r.bitmap, 0, 0, canvas->width(), canvas->height()));
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

TEST(ImagingMetafileOutput, AnSvgFromTheHelperIsReadOnlyWhenItRefersToNothingOutside) {
  const std::string svg =
      "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' viewBox='0 0 9 9'>";
  const struct {
    const char* name;
    std::string document;
    bool readable;
  } rows[] = {
      {"its own parts",
       svg + "<rect id='a' width='4' height='4' fill='url(#b)'/><use xlink:href=\"#a\"/></svg>", true},
      {"PNG data", svg + "<image xlink:href=\"data:image/png;base64,iVBORw0KGgo=\"/></svg>", true},
      {"a file", svg + "<image xlink:href=\"file:///etc/hosts\"/></svg>", false},
      {"a file, quoted otherwise", svg + "<image xlink:href = 'file:///etc/hosts'/></svg>", false},
      {"a file behind a character reference", svg + "<image xlink:href='&#102;ile:///etc/hosts'/></svg>",
       false},
      {"data of another format", svg + "<image xlink:href=\"data:image/tiff;base64,SUkqAA==\"/></svg>",
       false},
      {"a file in a style", svg + "<rect width='4' height='4' style='fill:URL(/tmp/p.svg#p)'/></svg>", false},
      {"no SVG", "GIF89a", false},
      // Read up to the bound, drawn from its pixels past it.
      {"a document as large as the bound",
       svg + "<!--" + std::string(kSvgDrawingBytes - svg.size() - 13, ' ') + "--></svg>", true},
      {"a document past the bound",
       svg + "<!--" + std::string(kSvgDrawingBytes - svg.size() - 12, ' ') + "--></svg>", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(SvgDrawing(row.document, 9, 9).Readable(), row.readable);
  }
}

// The document as little-endian UTF-16, with or without a byte-order mark.
std::string Utf16(const std::string& ascii, bool mark) {
  std::string out = mark ? "\xFF\xFE" : "";
  for (char c : ascii) out += std::string{c, '\0'};
  return out;
}

TEST(ImagingMetafileOutput, TheHelpersSvgMayHoldNoWayToReachOutside) {
  const std::string open =
      "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
      "width=\"9\" height=\"9\">";
  const std::string own = "<rect id=\"a\" width=\"4\" height=\"4\"/><use xlink:href=\"#a\"/>";
  const std::string body = open + own + "</svg>";
  const struct {
    const char* name;
    std::string document;
    bool passes;
  } rows[] = {
      {"cairo's own form",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + open +
           "<defs><g><symbol overflow=\"visible\" id=\"glyph0-1\"><path style=\"stroke:none;\" "
           "d=\"M 1 1 L 2 2 Z\"/></symbol></g><clipPath id=\"clip1\"><path d=\"M 0 0 L 9 9 Z\"/></clipPath>"
           "<image id=\"image5\" width=\"1\" height=\"1\" xlink:href=\"data:image/png;base64,"
           "iVBORw0KGgoAAAANSUhEUg==\"/></defs><g clip-path=\"url(#clip1)\"><use xlink:href=\"#glyph0-1\" "
           "x=\"1\" y=\"2\"/><use xlink:href=\"#image5\"/></g></svg>",
       true},
      {"a declaration without an encoding", "<?xml version='1.0'?>" + body, true},
      {"a comment and a CDATA section",
       open + "<!-- a note --><style><![CDATA[rect { fill: url(#a) }]]></style>" + own + "</svg>", true},
      {"UTF-8 beyond ASCII", open + own + "<title>地图 Карта</title></svg>", true},
      {"an imported style sheet", open + "<style>@IMPORT \"file:///tmp/s.css\";</style>" + own + "</svg>",
       false},
      {"a system document type", "<!DOCTYPE svg SYSTEM \"file:///tmp/svg.dtd\">" + body, false},
      {"a public document type",
       "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" \"http://example.com/svg11.dtd\">" + body, false},
      {"an external entity",
       "<!DOCTYPE svg [<!ENTITY e SYSTEM \"file:///etc/hosts\">]>" + open + "<text>&e;</text></svg>", false},
      {"an entity reference", open + "<text>&amp;</text>" + own + "</svg>", false},
      {"a declaration without a document type", open + "<!ELEMENT svg ANY>" + own + "</svg>", false},
      {"a base on an element",
       open + "<rect id=\"a\"/><use xml:base=\"file:///tmp/other.svg\" xlink:href=\"#a\"/></svg>", false},
      {"UTF-16 with a byte-order mark", Utf16(body, true), false},
      {"UTF-16 without a mark", Utf16(body, false), false},
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + body, false},
      {"a declared encoding other than UTF-8",
       "<?xml version=\"1.0\" encoding=\"UTF-7\"?>" + open + "<use xlink:+AGgAcgBlAGY-=\"x\"/></svg>", false},
      {"bytes that are not UTF-8", open + own + "<title>\xC3\x28</title></svg>", false},
      {"a NUL", open + own + std::string(1, '\0') + "</svg>", false},
      {"PNG data that holds an SVG",
       open + "<image xlink:href=\"data:image/png;base64,PHN2ZyB4bWxucz0iaHR0cDovL3d3dy53My5vcmcvMjAwMC9zdmci"
              "PjxpbWFnZSBocmVmPSJmaWxlOi8vL2V0Yy9ob3N0cyIvPjwvc3ZnPg==\"/></svg>",
       false},
      {"PNG data whose signature ends wrong",
       open + "<image xlink:href=\"data:image/png;base64,iVBORw0KGgs=\"/></svg>", false},
      {"a style sheet instruction", "<?xml-stylesheet type=\"text/css\" href=\"#s\"?>" + body, false},
      {"an inclusion",
       open + "<xi:include xmlns:xi=\"http://www.w3.org/2001/XInclude\" href=\"file:///etc/hosts\" "
              "parse=\"text\"/></svg>",
       false},
      {"a spaced url()",
       open + "<rect width=\"4\" height=\"4\" fill=\"url( 'file:///tmp/p.svg#p' )\"/></svg>", false},
      {"an escape in a style", open + "<style>rect { fill: \\75 rl(/tmp/p.svg#p) }</style>" + own + "</svg>",
       false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(SvgRefersOnlyToItself(row.document), row.passes);
  }
}

}  // namespace
