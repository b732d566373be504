// A metafile's drawing measured before librsvg reads it: what it draws once
// its references are followed, refused past the bounds; its pictures' pixels
// counted; the drawing slow to paint told apart; drawings painted at once.
#include <gtest/gtest.h>

#include <cairo.h>

#include <array>
#include <barrier>
#include <string>
#include <vector>

#include "platform/imaging/decode.h"
#include "platform/imaging/picturecache.h"
#include "platform/imaging/svgdrawing.h"
#include "tests/platform/imaging/costlydrawings.h"
#include "tests/support/onthreads.h"

namespace {

using namespace md::imaging;
namespace c = md::test::costly;
namespace m = md::test::metafiles;

TEST(ImagingSvgDrawing, WhatADocumentDrawsIsCountedWithItsReferencesFollowed) {
  const struct {
    std::string body;  // inside the root, which counts one element
    std::uint64_t instances, segments, layers;
  } rows[] = {
      {"<path d='M 0 0 L 1 0 C 1 2 2 2 2 1 Z m0,0 1,0 1,1 h2v-3'/>", 2, 7, 0},
      {"<defs><g id='g'><rect/><path d='M0 0L1 1'/></g><clipPath id='c'><rect/></clipPath><pattern id='p'>"
       "<path d='M0 0L1 1'/></pattern></defs><use xlink:href='#g'/><use xlink:href='#g'/><g "
       "clip-path='url(#c)'>"
       "<path style='fill:url(#p)' d='M0 0L1 1'/></g>",
       15, 16, 0},
      {"<defs><g id='f' style='opacity:0.5'/><mask id='m'><rect/></mask></defs><use xlink:href='#f'/>"
       "<use xlink:href='#f'/><g style='opacity:1'/><rect mask='url(#m)'/><g filter='url(#x)'/>",
       10, 8, 4},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.body);
    const SvgMeasure measure = MeasureSvg("<svg>" + row.body + "</svg>");
    EXPECT_EQ(measure.refusal, "");
    EXPECT_EQ((std::vector<std::uint64_t>{measure.instances, measure.segments, measure.layers}),
              (std::vector<std::uint64_t>{row.instances, row.segments, row.layers}));
  }
}

// What cairo's SVG may hold, arranged to keep librsvg busy for minutes.
TEST(ImagingSvgDrawing, ADocumentDrawingPastABoundIsRefused) {
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
  };
  for (const auto& [svg, refusal] : rows) {
    const SvgDrawing drawing(svg, 9, 9, kDefaultMemoryLimit);
    EXPECT_FALSE(drawing.Readable());
    EXPECT_NE(drawing.Refusal().find(refusal), std::string::npos) << drawing.Refusal();
  }
}

// librsvg keeps a picture's pixels, four bytes each, and holds as many again
// while it decodes it.
TEST(ImagingSvgDrawing, ADrawingCountsThePixelsItsPicturesDecodeTo) {
  const struct {
    std::uint32_t side;
    const char* refusal;
  } rows[] = {
      {100, ""},
      {4000, ""},
      {16000, "it would hold 1953 MiB once painted, more than the 256 MiB a picture may take"},
      {20000, "its pictures take 1525 MiB decoded, more than the 1024 MiB the metafile helper may hold"},
  };
  for (const auto& row : rows) {
    const std::string svg = c::SvgOfPicture(row.side, row.side);
    const SvgDrawing drawing(svg, 100, 100, std::size_t{256} << 20);
    EXPECT_EQ(drawing.Refusal(), row.refusal);
    EXPECT_EQ(drawing.Readable(), *row.refusal == '\0');
    const std::size_t held = svg.size() * kSvgDrawingKeptPerByte + std::size_t{row.side} * row.side * 8;
    EXPECT_EQ(drawing.Bytes(), *row.refusal == '\0' ? held : svg.size());
  }
}

TEST(ImagingSvgDrawing, AZigzagOfThousandsOfCrossingsIsSlowToPaint) {
  for (const auto& [points, slow] : {std::pair{3000, true}, std::pair{1500, false}}) {
    const m::Bytes wmf = c::ZigzagWmf(points);
    const DecodeResult r = Decode(wmf.data(), wmf.size());
    ASSERT_TRUE(r && r.bitmap->vectors != nullptr) << r.error;
    EXPECT_EQ(r.bitmap->vectors->SlowToPaint(), slow) << points;
  }
}

// The pixels of the drawing painted over 200 x 100, through an observer of
// the surface that calls `onFill` after each fill when given.
std::vector<std::uint32_t> Painted(const SvgDrawing& drawing,
                                   cairo_surface_observer_callback_t onFill = nullptr, void* data = nullptr) {
  cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 200, 100);
  cairo_surface_t* surface = onFill != nullptr
                                 ? cairo_surface_create_observer(target, CAIRO_SURFACE_OBSERVER_NORMAL)
                                 : cairo_surface_reference(target);
  if (onFill != nullptr) cairo_surface_observer_add_fill_callback(surface, onFill, data);
  cairo_t* cr = cairo_create(surface);
  drawing.paint(cr, 200, 100);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  cairo_surface_flush(target);
  const auto* pixels = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(target));
  std::vector<std::uint32_t> out(pixels, pixels + 200 * 100);
  cairo_surface_destroy(target);
  return out;
}

// A paint does not hold the drawing through librsvg's render: another paint
// of it (here, made from inside the first's first fill) paints meanwhile.
TEST(ImagingSvgDrawing, APaintDoesNotWaitForAnotherPaintOfTheDrawing) {
  const m::Bytes wmf = m::SampleWmf();
  const DecodeResult r = Decode(wmf.data(), wmf.size());
  ASSERT_TRUE(r) << r.error;
  struct Inner {
    const SvgDrawing& drawing;
    std::vector<std::uint32_t> pixels;
  } inner{*r.bitmap->vectors, {}};
  const std::vector<std::uint32_t> outer = Painted(
      inner.drawing,
      [](cairo_surface_t*, cairo_surface_t*, void* data) {
        auto* in = static_cast<Inner*>(data);
        if (in->pixels.empty()) in->pixels = Painted(in->drawing);
      },
      &inner);
  EXPECT_EQ(inner.pixels, Painted(inner.drawing));
  EXPECT_EQ(outer, inner.pixels);
}

// Two drawings, and one drawing, painted on two threads at once.
TEST(ImagingSvgDrawingThreads, DrawingsPaintedOnTwoThreadsAtOncePaintAsAlone) {
  const m::Bytes wmf = m::SampleWmf(), emf = m::SampleEmf();
  const DecodeResult a = Decode(wmf.data(), wmf.size()), b = Decode(emf.data(), emf.size());
  ASSERT_TRUE(a && b) << a.error << b.error;
  const SvgDrawing* drawings[2] = {a.bitmap->vectors.get(), b.bitmap->vectors.get()};
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

}  // namespace
