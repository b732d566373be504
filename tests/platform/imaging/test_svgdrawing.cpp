// A metafile's drawing painted from its SVG: refused past the memory it may
// hold; the painter's work; each print's drawing its own; drawings painted
// at once.
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

// The drawing a metafile decodes to; an empty one, failing the test, when none.
std::shared_ptr<const SvgDrawing> DrawingOf(const m::Bytes& file) {
  const DecodeResult r = Decode(file.data(), file.size());
  EXPECT_TRUE(r && r.bitmap->vectors != nullptr) << r.error;
  return r && r.bitmap->vectors != nullptr ? r.bitmap->vectors : std::make_shared<SvgDrawing>("", 1, 1, 0);
}

// PNG data of the picture, as a document's reference holds it.
std::string PngData(const m::Bytes& png) {
  const std::unique_ptr<gchar, decltype(&g_free)> base64(g_base64_encode(png.data(), png.size()), g_free);
  return "data:image/png;base64," + std::string(base64.get());
}

// A document showing a picture of one pixel whose PNG header says it is side
// x side pixels (nothing decodes it).
std::string Picture(std::uint32_t side) {
  m::Bytes png = f::Png(1, 1, f::Opaque(1, 1));
  for (int k = 0; k < 8; ++k) png[16 + k] = static_cast<std::uint8_t>(side >> (24 - 8 * (k % 4)));
  return c::SvgOpen(100, 100) + "<image width=\"100\" height=\"100\" xlink:href=\"" + PngData(png) +
         "\"/>\n</svg>\n";
}

// A print keeps a picture's pixels, four bytes each: a document whose
// pictures would take more than the memory it was made with is refused.
TEST(ImagingSvgDrawing, ADocumentHoldingPastItsMemoryIsRefused) {
  const SvgDrawing drawing(Picture(16000), 9, 9, std::size_t{256} << 20);
  EXPECT_THAT(
      drawing.Refusal(),
      testing::HasSubstr("it would hold 976 MiB once painted, more than the 256 MiB a picture may take"));
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

// A metafile of a 40 x 30 picture, decoded.
DecodeResult DibDecoded() {
  const m::Bytes file = m::DibWmf(40, 30, f::Opaque(40, 30));
  return Decode(file.data(), file.size());
}

// A print is given a drawing of its own to keep: what its surface refers to
// of it is nobody else's.
TEST(ImagingSvgDrawing, APrintIsGivenADrawingOfItsOwn) {
  const DecodeResult r = DibDecoded();
  ASSERT_TRUE(r && r.bitmap->vectors != nullptr && r.bitmap->vectors->Readable()) << r.error;
  md::canvas::RecordingCanvas prints[2] = {{300, 300}, {300, 300}};
  for (md::canvas::RecordingCanvas& print : prints) {
    const HDC hdc = md::win::CreateScreenDC(&print, 300);
    EXPECT_TRUE(DrawBitmap(hdc, *r.bitmap, 0, 0, 300, 300));
    DeleteDC(hdc);
  }
  const auto drawn = [&](int k) {
    return prints[k].recordsOf(md::canvas::Record::Type::Vectors).at(0)->vectors;
  };
  ASSERT_NE(drawn(0), nullptr);
  EXPECT_NE(drawn(0), drawn(1));
  EXPECT_NE(drawn(0), r.bitmap->vectors);
}

// The pixels of the drawing painted over 200 x 100, through an observer of
// the surface that calls `onFill` after each fill, when given.
std::vector<std::uint32_t> Painted(const SvgDrawing& drawing,
                                   cairo_surface_observer_callback_t onFill = nullptr, void* data = nullptr) {
  std::vector<std::uint32_t> pixels(200 * 100);
  cairo_surface_t* target = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(pixels.data()), CAIRO_FORMAT_ARGB32, 200, 100, 200 * 4);
  cairo_surface_t* surface = cairo_surface_create_observer(target, CAIRO_SURFACE_OBSERVER_NORMAL);
  if (onFill != nullptr) cairo_surface_observer_add_fill_callback(surface, onFill, data);
  EXPECT_EQ(PaintOnto(surface, drawing, 200, 100), CAIRO_STATUS_SUCCESS);
  cairo_surface_destroy(surface);
  cairo_surface_destroy(target);
  return pixels;
}

// A paint does not hold the drawing while it paints: another paint of it
// (here, made from inside the first's first fill) paints meanwhile.
TEST(ImagingSvgDrawing, APaintDoesNotWaitForAnotherPaintOfTheDrawing) {
  const auto drawing = DrawingOf(m::SampleWmf());
  std::pair<const SvgDrawing*, std::vector<std::uint32_t>> inner{drawing.get(), {}};  // and its pixels
  const auto fill = [](cairo_surface_t*, cairo_surface_t*, void* data) {
    auto& [innerDrawing, pixels] = *static_cast<decltype(inner)*>(data);
    if (pixels.empty()) pixels = Painted(*innerDrawing);
  };
  const std::vector<std::uint32_t> outer = Painted(*drawing, fill, &inner), alone = Painted(*drawing);
  EXPECT_EQ(inner.second, alone);
  EXPECT_EQ(outer, alone);
}

// A PDF surface of 1 x 1 inch (72 points) writing into `out`.
cairo_surface_t* PdfInto(std::string* out) {
  return cairo_pdf_surface_create_for_stream(
      [](void* closure, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
      },
      out, 72, 72);
}

// Draws the picture over the whole surface's page as a print does.
void DrawOnto(cairo_surface_t* surface, const Bitmap& picture) {
  const auto canvas = md::canvas::CairoCanvas::createOnSurface(surface, 25.4, 25.4, 300);
  ASSERT_NE(canvas, nullptr);
  const HDC hdc = md::win::CreateScreenDC(canvas.get(), 300);
  EXPECT_TRUE(DrawBitmap(hdc, picture, 0, 0, 300, 300));
  DeleteDC(hdc);
  canvas->finish();
}

// What a PDF surface refers to of a drawing painted into it stays the
// surface's until it is finished, whatever other threads do with the drawing
// meanwhile: here another thread prints it and releases the last reference.
TEST(ImagingSvgDrawingThreads, APdfSurfaceOwnsWhatItWasPaintedWithUntilItIsFinished) {
  DecodeResult r = DibDecoded();
  ASSERT_TRUE(r && r.bitmap->vectors != nullptr && r.bitmap->vectors->Readable()) << r.error;
  BitmapPtr picture = std::move(r.bitmap);
  std::string first, second;
  cairo_surface_t* open = PdfInto(&first);
  DrawOnto(open, *picture);  // left open
  std::thread([&, picture = std::exchange(picture, nullptr)]() mutable {
    cairo_surface_t* other = PdfInto(&second);
    DrawOnto(other, *picture);
    cairo_surface_destroy(other);
    picture.reset();
  }).join();
  cairo_surface_finish(open);
  cairo_surface_destroy(open);
  for (const std::string* pdf : {&first, &second}) {
    EXPECT_THAT(*pdf, testing::HasSubstr("/Subtype /Image"));
    EXPECT_THAT(*pdf, testing::EndsWith("%%EOF\n"));
  }
}

// The bytes of a one-page PDF file of the drawing over 1 x 1 inch.
std::string PdfOf(const SvgDrawing& drawing) {
  std::string pdf;
  cairo_surface_t* surface = PdfInto(&pdf);
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATE_DATE, "2000-01-01T00:00:00");
  EXPECT_EQ(PaintOnto(surface, drawing, 72, 72), CAIRO_STATUS_SUCCESS);
  cairo_surface_finish(surface);
  cairo_surface_destroy(surface);
  return pdf;
}

// Drawings, and one drawing (with a picture), painted on four threads at
// once, each into surfaces of its own: each raster and each PDF file comes
// out as the drawing's painted alone.
TEST(ImagingSvgDrawingThreads, DrawingsPaintedOnFourThreadsAtOncePaintAsAlone) {
  const std::shared_ptr<const SvgDrawing> drawings[3] = {DrawingOf(m::SampleWmf()), DrawingOf(m::SampleEmf()),
                                                         DrawingOf(m::DibWmf(40, 30, f::Opaque(40, 30)))};
  std::vector<std::uint32_t> alone[3];
  std::string aloneInPdf[3];
  for (int d = 0; d < 3; ++d) {
    alone[d] = Painted(*drawings[d]);
    aloneInPdf[d] = PdfOf(*drawings[d]);
  }
  for (const auto& painted : {std::array{0, 1, 2, 0}, std::array{2, 2, 2, 2}}) {  // by each thread
    std::barrier start(4);
    int same[4] = {0, 0, 0, 0};
    md::test::OnThreads(4, [&](int t) {
      start.arrive_and_wait();
      const int d = painted[static_cast<std::size_t>(t)];
      for (int k = 0; k < 4; ++k)
        same[t] += (Painted(*drawings[d]) == alone[d]) + (PdfOf(*drawings[d]) == aloneInPdf[d]);
    });
    EXPECT_EQ(same[0] + same[1] + same[2] + same[3], 32);
  }
}

}  // namespace
