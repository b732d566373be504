// A metafile's drawing measured before librsvg reads it: what it draws once
// its references are followed, refused past the bounds; its pictures' pixels
// counted; the drawing slow to paint told apart; drawings painted at once.
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
#include <vector>

#include "platform/canvas/cairo_canvas.h"
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

TEST(ImagingSvgDrawing, WhatADocumentDrawsIsCountedWithItsReferencesFollowed) {
  // Inside the root, which counts one element; the elements, segments and layers drawn.
  const std::pair<const char*, std::array<std::uint64_t, 3>> rows[] = {
      {"<path d='M 0 0 L 1 0 C 1 2 2 2 2 1 Z m0,0 1,0 1,1 h2v-3'/>", {2, 7, 0}},
      {"<defs><g id='g'><rect/><path d='M0 0L1 1'/></g><clipPath id='c'><rect/></clipPath><pattern id='p'>"
       "<path d='M0 0L1 1'/></pattern></defs><use xlink:href='#g'/><use xlink:href='#g'/><g "
       "clip-path='url(#c)'><path style='fill:url(#p)' d='M0 0L1 1'/></g>",
       {15, 16, 0}},
      {"<defs><g id='f' style='opacity:0.5'/><mask id='m'><rect/></mask></defs><use xlink:href='#f'/>"
       "<use xlink:href='#f'/><g style='opacity:1'/><rect mask='url(#m)'/><g filter='url(#x)'/>",
       {10, 8, 4}},
  };
  for (const auto& [body, drawn] : rows) {
    const SvgMeasure measure = MeasureSvg(std::string("<svg>") + body + "</svg>");
    EXPECT_EQ((std::array{measure.instances, measure.segments, measure.layers}), drawn) << body;
  }
}

// A document showing a PNG of one pixel whose header says it is side x side
// pixels (librsvg is not asked to decode it).
std::string Picture(std::uint32_t side) {
  m::Bytes png = f::Png(1, 1, f::Opaque(1, 1));
  for (int k = 0; k < 8; ++k) png[16 + k] = static_cast<std::uint8_t>(side >> (24 - 8 * (k % 4)));
  const std::unique_ptr<gchar, decltype(&g_free)> base64(g_base64_encode(png.data(), png.size()), g_free);
  return c::SvgOpen(100, 100) + "<image width=\"100\" height=\"100\" xlink:href=\"data:image/png;base64," +
         base64.get() + "\"/>\n</svg>\n";
}

// What cairo's SVG may hold, arranged to keep librsvg busy for minutes or to
// make it hold gigabytes: librsvg keeps a picture's pixels, four bytes each,
// and holds as many again while it decodes it.
TEST(ImagingSvgDrawing, ADocumentDrawingOrHoldingPastABoundIsRefused) {
  std::string faded = c::SvgOpen(9, 9);
  for (int k = 0; k <= static_cast<int>(kSvgMaxLayers); ++k) faded += "<g style=\"opacity:0.5;\"/>";
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
  };
  for (const auto& [svg, refusal] : rows) {
    const SvgDrawing drawing(svg, 9, 9, std::size_t{256} << 20);
    EXPECT_THAT(drawing.Refusal(), testing::HasSubstr(refusal));
  }
}

TEST(ImagingSvgDrawing, AZigzagOfThousandsOfCrossingsIsSlowToPaint) {
  for (const auto& [points, slow] : {std::pair{3000, true}, std::pair{1500, false}})
    EXPECT_EQ(DrawingOf(c::ZigzagWmf(points))->SlowToPaint(), slow) << points;
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
  cairo_t* cr = cairo_create(surface);
  drawing.paint(cr, 200, 100);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  cairo_surface_destroy(target);
  return pixels;
}

// A paint does not hold the drawing through librsvg's render: another paint
// of it (here, made from inside the first's first fill) paints meanwhile.
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

// Two drawings, and one drawing, painted on two threads at once.
TEST(ImagingSvgDrawingThreads, DrawingsPaintedOnTwoThreadsAtOncePaintAsAlone) {
  const std::shared_ptr<const SvgDrawing> drawings[2] = {DrawingOf(m::SampleWmf()),
                                                         DrawingOf(m::SampleEmf())};
  const std::vector<std::uint32_t> alone[2] = {Painted(*drawings[0]), Painted(*drawings[1])};
  for (const auto& painted : {std::array{0, 1}, std::array{0, 0}}) {  // by each thread
    std::barrier start(2);
    int same[2] = {0, 0};
    md::test::OnThreads(2, [&](int t) {
      start.arrive_and_wait();
      for (int k = 0; k < 8; ++k) same[t] += Painted(*drawings[painted[t]]) == alone[painted[t]];
    });
    EXPECT_EQ(same[0] + same[1], 16);
  }
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
  const m::Bytes file = m::DibWmf(40, 30, f::Opaque(40, 30));
  DecodeResult r = Decode(file.data(), file.size());
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

}  // namespace
