// A metafile's drawing measured before it is painted: what it draws once its
// references are followed, refused past the bounds; its pictures' pixels
// counted; the painter's work; each print's drawing its own; drawings
// painted at once.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cairo-pdf.h>
#include <cairo.h>
#include <glib.h>

#include <array>
#include <barrier>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/recording.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/draw.h"
#include "platform/imaging/svgdrawing.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/platform/imaging/costlydrawings.h"
#include "tests/platform/imaging/imagefiles.h"
#include "tests/support/onthreads.h"

namespace {

using namespace md::imaging;
namespace c = md::test::costly;
namespace f = md::test::imagefiles;
namespace m = md::test::metafiles;

TEST(ImagingSvgDrawing, WhatADocumentDrawsIsCountedWithItsReferencesFollowed) {
  // Inside the root, which counts one element; the elements, segments and
  // layers drawn, and how deep.
  const std::pair<const char*, std::array<std::uint64_t, 4>> rows[] = {
      {"<path d='M 0 0 L 1 0 C 1 2 2 2 2 1 Z m0,0 1,0 1,1 h2v-3'/>", {2, 7, 0, 2}},
      {"<defs><g id='g'><rect/><path d='M0 0L1 1'/></g><clipPath id='c'><rect/></clipPath><pattern id='p'>"
       "<path d='M0 0L1 1'/></pattern></defs><use xlink:href='#g'/><use xlink:href='#g'/><g "
       "clip-path='url(#c)'><path style='fill:url(#p)' d='M0 0L1 1'/></g>",
       {15, 16, 0, 5}},
      {"<defs><g id='f' style='opacity:0.5'/><mask id='m'><rect/></mask></defs><use xlink:href='#f'/>"
       "<use xlink:href='#f'/><g style='opacity:1'/><rect mask='url(#m)'/><g filter='url(#x)'/>",
       {10, 8, 4, 4}},
  };
  for (const auto& [body, drawn] : rows) {
    const SvgMeasure measure = MeasureSvg(std::string("<svg>") + body + "</svg>");
    EXPECT_EQ((std::array{measure.instances, measure.segments, measure.layers, measure.depth}), drawn)
        << body;
  }
}

// PNG data of the picture, as a document's reference holds it.
std::string PngData(const m::Bytes& png) {
  const std::unique_ptr<gchar, decltype(&g_free)> base64(g_base64_encode(png.data(), png.size()), g_free);
  return "data:image/png;base64," + std::string(base64.get());
}

// An image element showing a PNG of one pixel whose header says it is side x
// side pixels (nothing decodes it), its data told apart from the others' by
// `copy` blanks at its end.
std::string PictureElement(std::uint32_t side, int copy = 0) {
  m::Bytes png = f::Png(1, 1, f::Opaque(1, 1));
  for (int k = 0; k < 8; ++k) png[16 + k] = static_cast<std::uint8_t>(side >> (24 - 8 * (k % 4)));
  return "<image width=\"100\" height=\"100\" xlink:href=\"" + PngData(png) + std::string(copy, ' ') +
         "\"/>\n";
}

// A document showing such a picture.
std::string Picture(std::uint32_t side) { return c::SvgOpen(100, 100) + PictureElement(side) + "</svg>\n"; }

// Pictures of sides each past what 32 bits of their pixels hold are not
// counted as few pixels: the sum stops growing instead of wrapping round, and
// a side past 2^31 - 1 is no PNG's.
TEST(ImagingSvgDrawing, PicturesOfHugeSidesAreCountedAsHuge) {
  const auto many = [](int count, std::uint32_t side, std::uint32_t last) {
    std::string svg = c::SvgOpen(100, 100);
    for (int k = 0; k < count; ++k) svg += PictureElement(side, k);
    return svg + PictureElement(last, count) + "</svg>\n";
  };
  constexpr std::uint64_t kSide = 16384, kMost = 0x7FFFFFFF;
  // The document, the fewest pixels it may be counted at, what its refusal names.
  const std::tuple<std::string, std::uint64_t, const char*> rows[] = {
      {many(32, kSide, 0x80000000), 0, "the size of a picture it holds cannot be read"},
      {many(32, kSide, kMost), kMost * kMost, ""},
      {many(3, kMost, kMost), kMost * kMost, ""},
      {many(32, kSide, kSide), 33 * kSide * kSide, ""},
  };
  for (const auto& [svg, fewest, refusal] : rows) {
    const SvgMeasure m = MeasureSvg(svg);
    EXPECT_GE(m.picturePixels, fewest);
    EXPECT_EQ(m.refusal, refusal);
    EXPECT_FALSE(SvgDrawing(svg, 9, 9, kDefaultMemoryLimit).Readable());
  }
}

// What cairo's SVG may hold, arranged to keep a painter busy for minutes or
// to make it hold gigabytes: a print keeps a picture's pixels, four bytes
// each.
TEST(ImagingSvgDrawing, ADocumentDrawingOrHoldingPastABoundIsRefused) {
  std::string faded = c::SvgOpen(9, 9);
  for (int k = 0; k <= static_cast<int>(kSvgMaxLayers); ++k) faded += "<g style=\"opacity:0.5;\"/>";
  std::string nested = c::SvgOpen(9, 9);
  for (int k = 0; k < 65; ++k) nested += "<g>";
  for (int k = 0; k < 65; ++k) nested += "</g>";
  const std::pair<std::string, const char*> rows[] = {
      {c::NestedGroups(5, 8), "draws 107667 elements (its references followed), more than the 50000 allowed"},
      {c::NestedGroups(9, 10), "draws 3222222223 elements (its references followed), more than the 50000"},
      {c::LongPath(330000), "draws 330000 path segments, more than the 200000 allowed"},
      {faded + "</svg>", "draws 101 layers"},
      {c::SvgOpen(9, 9) +
           "<defs><g id=\"a\"><use xlink:href=\"#a\"/></g></defs><use xlink:href=\"#a\"/></svg>",
       "its references run in a cycle through #a"},
      {Picture(16000), "it would hold 976 MiB once painted, more than the 256 MiB a picture may take"},
      {Picture(20000),
       "its pictures take 1525 MiB decoded, more than the 1024 MiB the metafile helper may hold"},
      {nested + "</svg>", "draws 66 elements one inside another"},
      {c::SvgOpen(9, 9) +
           "<path style='stroke:rgb(0%,0%,0%);stroke-dasharray:1,1;' d='M 0 0 h 300000 z'/></svg>",
       "draws 600000 dashes, more than the 200000 allowed"},
      {c::SvgOpen(9, 9) + "<rect width='100000' height='50000' style='stroke-dasharray:0.5,0.5,1;'/></svg>",
       "draws 450000 dashes"},
  };
  for (const auto& [svg, refusal] : rows) {
    const SvgDrawing drawing(svg, 9, 9, std::size_t{256} << 20);
    EXPECT_THAT(drawing.Refusal(), testing::HasSubstr(refusal));
  }
}

// Paints the drawing over width x height of the surface; what cairo's state
// says after.
cairo_status_t PaintOnto(cairo_surface_t* surface, const SvgDrawing& drawing, double width, double height) {
  cairo_t* cr = cairo_create(surface);
  drawing.paint(cr, width, height);
  const cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  return status;
}

// What cairo writes is painted as SVG paints it, each row a document of a
// 100 x 100 view box painted over 100 x 100 pixels and the pixel (ARGB,
// premultiplied) at a point, give or take 8 a channel for the edges'
// antialiasing; what no cairo writes (a transform nothing can undo, a
// negative dash, a use inside a symbol inside what it names, definitions
// nested deep) leaves cairo's state and the painter's stack sound.
TEST(ImagingSvgDrawing, ThePainterPaintsWhatCairoWrites) {
  const std::string picture = PngData(f::Png(2, 2, f::Opaque(2, 2)));  // red, green / blue, white
  const std::string red = "style='fill:rgb(100%,0%,0%);stroke:none;'";
  // Definitions each inside the one before, far deeper than a paint goes.
  std::string deep;
  for (int k = 0; k < 100000; ++k) deep += "<defs>";
  for (int k = 0; k < 100000; ++k) deep += "</defs>";
  // A rectangle through a mask of a picture opaque on its left half only.
  const std::string masked =
      "<defs><image id='h' width='2' height='1' xlink:href='" +
      PngData(f::Png(2, 1, [](int x, int) { return x == 0 ? 0xFF000000u : 0u; })) +
      "'/><mask id='m'><g filter='url(#alpha)'><use xlink:href='#h' transform='matrix(50,0,0,100,0,0)'/></g>"
      "</mask></defs><rect width='100' height='100' " +
      red + " mask='url(#m)'/>";
  const std::string holed =
      "<path style='fill-rule:evenodd;fill:rgb(0%,0%,100%);' d='M 10 10 L 90 10 L 90 90 L 10 90 Z M 30 30 L "
      "70 30 L 70 70 L 30 70 Z'/>";
  const std::string scaled =
      "<g transform='matrix(2,0,0,2,40,40)'><rect width='10' height='10' " + red + "/></g>";
  const std::string clipped =
      "<defs><clipPath id='c'><rect width='50' height='50'/></clipPath></defs><g clip-path='url(#c)'><rect "
      "width='100' height='100' " +
      red + "/></g>";
  const std::tuple<std::string, int, int, std::uint32_t> rows[] = {
      {"<rect x='10' y='10' width='80' height='80' " + red + "/>", 50, 50, 0xFFFF0000},
      {holed, 50, 50, 0},
      {holed, 20, 20, 0xFF0000FF},
      {"<path style='fill:#00ff00;fill-opacity:0.5;' d='M 0 0 h 100 v 100 h -100 z'/>", 50, 50, 0x80008000},
      {"<g style='fill:rgb(0%,100%,0%);'><path d='M 0 0 H 100 V 100 H 0 Z'/></g>", 50, 50, 0xFF00FF00},
      {scaled, 55, 55, 0xFFFF0000},
      {scaled, 65, 65, 0},
      {clipped, 25, 25, 0xFFFF0000},
      {clipped, 75, 75, 0},
      {"<defs><symbol id='s'><path d='M 0 0 L 10 0 L 10 10 L 0 10 Z'/></symbol></defs><use xlink:href='#s' "
       "x='60' y='20'/>",
       65, 25, 0xFF000000},
      {"<defs><linearGradient id='l' gradientUnits='userSpaceOnUse' x1='0' y1='0' x2='100' y2='0'><stop "
       "offset='0' style='stop-color:rgb(100%,0%,0%);stop-opacity:1;'/><stop offset='1' "
       "style='stop-color:rgb(0%,0%,100%);stop-opacity:1;'/></linearGradient></defs><rect width='100' "
       "height='100' style='fill:url(#l);'/>",
       50, 50, 0xFF800080},
      {"<defs><image id='i' width='2' height='2' xlink:href='" + picture +
           "'/><pattern id='p' patternUnits='userSpaceOnUse' width='2' height='2' "
           "patternTransform='matrix(40,0,0,40,0,0)'><use xlink:href='#i'/></pattern></defs><rect "
           "width='100' height='100' style='fill:url(#p);'/>",
       60, 20, 0xFF00FF00},
      {"<defs><image id='i' width='2' height='2' xlink:href='" + picture +
           "'/></defs><use xlink:href='#i' transform='matrix(50,0,0,50,0,0)'/>",
       25, 75, 0xFF0000FF},
      {"<g id='a'><symbol id='c'><use xlink:href='#a'/></symbol><rect width='100' height='100' " + red +
           "/></g>",
       50, 50, 0xFFFF0000},
      {deep + "<rect width='100' height='100' " + red + "/>", 50, 50, 0xFFFF0000},
      {masked, 25, 50, 0xFFFF0000},
      {masked, 75, 50, 0},
      {"<g transform='matrix(0,0,0,0,0,0)'><rect width='100' height='100' " + red + "/></g>", 50, 50, 0},
      {"<path style='fill:none;stroke:rgb(0%,0%,0%);stroke-width:20;stroke-dasharray:-1,2;' d='M 0 50 L 100 "
       "50'/>",
       50, 50, 0xFF000000},
  };
  for (const auto& [body, x, y, expected] : rows) {
    const SvgDrawing drawing(c::SvgOpen(100, 100) + body + "</svg>", 100, 100, kDefaultMemoryLimit);
    ASSERT_TRUE(drawing.Readable()) << drawing.Refusal() << "\n" << body;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 100, 100);
    EXPECT_EQ(PaintOnto(surface, drawing, 100, 100), CAIRO_STATUS_SUCCESS) << body;
    cairo_surface_flush(surface);
    const std::uint32_t got = reinterpret_cast<const std::uint32_t*>(
        cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface))[x];
    cairo_surface_destroy(surface);
    for (int shift = 0; shift < 32; shift += 8)
      EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((expected >> shift) & 0xFF), 8)
          << std::hex << got << " for " << expected << " at " << std::dec << x << "," << y << ": " << body;
  }
}

// What the painter would paint as pixels, or past what it paints in a time
// of its own, is drawn from the drawing's pixels instead, and says why.
TEST(ImagingSvgDrawing, WhatWouldBePaintedAsPixelsIsRefused) {
  const std::string picture =
      "<image id='i' width='1' height='1' xlink:href='" + PngData(f::Png(1, 1, f::Opaque(1, 1))) + "'/>";
  std::string stops;
  for (int k = 0; k < 257; ++k) stops += "<stop offset='0' style='stop-color:rgb(0%,0%,0%);'/>";
  const std::pair<std::string, const char*> rows[] = {
      {"<defs><filter id='f'><feColorMatrix type='saturate' values='0'/></filter></defs><g "
       "filter='url(#f)'/>",
       "it holds a filter"},
      {"<defs><pattern id='p' width='2' height='2'><path d='M 0 0 L 1 1'/></pattern></defs>",
       "a pattern of more than one picture"},
      {"<defs>" + picture + "</defs><g style='opacity:0.5;'><use xlink:href='#i'/></g>",
       "a picture in a group painted with opacity"},
      {"<defs>" + picture +
           "<mask id='m'><rect width='1' height='1'/></mask></defs><use xlink:href='#i' "
           "mask='url(#m)'/>",
       "a picture in a group painted with opacity or a mask"},
      {"<defs><linearGradient id='l'>" + stops + "</linearGradient></defs>", "a gradient of 257 stops"},
      {"<defs>" + picture +
           "<mask id='m'><use xlink:href='#i'/><use xlink:href='#i'/></mask></defs><rect "
           "width='1' height='1' mask='url(#m)'/>",
       "a mask of more than one picture"},
  };
  for (const auto& [body, refusal] : rows) {
    const SvgDrawing drawing(c::SvgOpen(9, 9) + body + "</svg>", 9, 9, kDefaultMemoryLimit);
    EXPECT_FALSE(drawing.Readable()) << body;
    EXPECT_THAT(drawing.Refusal(), testing::HasSubstr(refusal));
  }
}

}  // namespace
