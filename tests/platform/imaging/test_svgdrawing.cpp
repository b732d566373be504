// A metafile's drawing measured before librsvg reads it: what it draws once
// its references are followed, refused past the bounds; the pixels its
// pictures decode to counted as it holds them; the drawing slow to paint told
// apart; and drawings painted on several threads at once.
#include <gtest/gtest.h>

#include <cairo.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/imaging/decode.h"
#include "platform/imaging/picturecache.h"
#include "platform/imaging/svgdrawing.h"
#include "tests/platform/imaging/costlydrawings.h"
#include "tests/platform/imaging/metafiles.h"

namespace {

using namespace md::imaging;
namespace c = md::test::costly;
namespace m = md::test::metafiles;

const std::string kRoot = "<svg xmlns:xlink='http://www.w3.org/1999/xlink'>";

TEST(ImagingSvgDrawing, WhatADocumentDrawsIsCountedWithItsReferencesFollowed) {
  const struct {
    const char* name;
    std::string body;  // inside the root, which counts one element
    std::uint64_t instances, segments, layers;
  } rows[] = {
      {"lines, a curve and a close", "<path d='M 0 0 L 1 0 L 1 1 C 1 2 2 2 2 1 Z'/>", 2, 4, 0},
      {"pairs after a move are lines; relative, across and down", "<path d='m0,0 1,0 1,1 h2v-3 z'/>", 2, 5,
       0},
      {"definitions paint only where used; a rectangle's four sides",
       "<defs><rect id='r' width='1' height='1'/></defs><use xlink:href='#r'/><use xlink:href='#r'/>", 5, 8,
       0},
      {"a use draws the whole group again",
       "<defs><g id='g'><path d='M0 0L1 1'/><path d='M0 0L1 1'/></g></defs>"
       "<use xlink:href='#g'/><use xlink:href='#g'/><use xlink:href='#g'/>",
       13, 6, 0},
      {"a clip path and a pattern at each reference",
       "<defs><clipPath id='c'><rect width='1' height='1'/></clipPath><pattern id='p'><path d='M0 0L1 1'/>"
       "</pattern></defs><g clip-path='url(#c)'><path style='fill:url(#p)' d='M0 0L1 1'/>"
       "<path style='fill:url(#p)' d='M0 0L1 1'/></g>",
       10, 8, 0},
      {"opacity below one, a mask and a filter make layers",
       "<defs><g id='f' style='opacity:0.5'><rect width='1' height='1'/></g><mask id='m'><rect width='1' "
       "height='1'/></mask><filter id='x'><feColorMatrix/></filter></defs><use xlink:href='#f'/>"
       "<use xlink:href='#f'/><g style='opacity:1'/><rect mask='url(#m)' width='1' height='1'/>"
       "<g filter='url(#x)'/>",
       14, 16, 4},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const SvgMeasure measure = MeasureSvg(kRoot + row.body + "</svg>");
    EXPECT_EQ(measure.refusal, "");
    EXPECT_EQ(measure.instances, row.instances);
    EXPECT_EQ(measure.segments, row.segments);
    EXPECT_EQ(measure.layers, row.layers);
  }
}

// What cairo's SVG may hold, arranged to cost librsvg minutes: each refused
// before librsvg reads it, its reason naming the bound it passed.
TEST(ImagingSvgDrawing, ADocumentDrawingPastABoundIsRefused) {
  std::string faded = c::SvgOpen(9, 9);
  for (int k = 0; k <= static_cast<int>(kSvgMaxLayers); ++k) faded += "<g style=\"opacity:0.5;\"/>";
  const struct {
    const char* name;
    std::string svg;
    const char* refusal;
  } rows[] = {
      {"five levels of faded groups, each using the one below 8 times", c::NestedGroups(5, 8),
       "draws 107667 elements (its references followed), more than the 50000 allowed"},
      {"nine levels, each using the one below 10 times", c::NestedGroups(9, 10),
       "draws 3222222223 elements (its references followed), more than the 50000 allowed"},
      {"a path of 330,000 segments crossing itself", c::LongPath(330000),
       "draws 330000 path segments, more than the 200000 allowed"},
      {"101 faded groups", faded + "</svg>", "draws 101 layers"},
      {"a group using itself",
       c::SvgOpen(9, 9) +
           "<defs><g id=\"a\"><use xlink:href=\"#a\"/></g></defs><use xlink:href=\"#a\"/></svg>",
       "its references run in a cycle through #a"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const SvgDrawing drawing(row.svg, 9, 9);
    EXPECT_FALSE(drawing.Readable());
    EXPECT_NE(drawing.Refusal().find(row.refusal), std::string::npos) << drawing.Refusal();
  }
}

// librsvg keeps each picture's pixels from the first paint on, four bytes
// each, and holds as many again while it decodes one: a drawing that would
// hold more than the picture cache may keep, or pictures past what the
// helper may hold, is drawn from its pixels.
TEST(ImagingSvgDrawing, ADrawingCountsThePixelsItsPicturesDecodeTo) {
  const std::size_t capacity = SetPictureCacheCapacity(std::size_t{256} << 20);
  const struct {
    std::uint32_t width, height;
    const char* refusal;
  } rows[] = {
      {100, 100, ""},
      {4000, 4000, ""},
      {16000, 16000, "it would hold 1953 MiB once painted, more than the 256 MiB the picture cache may keep"},
      {20000, 20000,
       "its pictures take 1525 MiB decoded, more than the 1024 MiB the metafile helper may hold"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.width) + " x " + std::to_string(row.height));
    const std::string svg = c::SvgOfPicture(row.width, row.height);
    const SvgDrawing drawing(svg, 100, 100);
    EXPECT_EQ(drawing.Readable(), *row.refusal == '\0');
    EXPECT_EQ(drawing.Refusal(), row.refusal);
    EXPECT_EQ(drawing.Bytes(), *row.refusal == '\0' ? svg.size() * kSvgDrawingKeptPerByte +
                                                          std::size_t{row.width} * row.height * 8
                                                    : svg.size());
  }
  SetPictureCacheCapacity(capacity);
}

TEST(ImagingSvgDrawing, AZigzagOfThousandsOfCrossingsIsSlowToPaint) {
  const struct {
    const char* name;
    m::Bytes wmf;
    bool slow;
  } rows[] = {
      {"a 3,000-point zigzag filled even-odd", c::ZigzagWmf(3000), true},
      {"a 300-point zigzag", c::ZigzagWmf(300), false},
      {"the tests' metafile", m::SampleWmf(), false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const DecodeResult r = Decode(row.wmf.data(), row.wmf.size());
    ASSERT_TRUE(r) << r.error;
    ASSERT_NE(r.bitmap->vectors, nullptr);
    EXPECT_TRUE(r.bitmap->vectors->Readable()) << r.bitmap->vectors->Refusal();
    EXPECT_EQ(r.bitmap->vectors->SlowToPaint(), row.slow);
  }
}

// Holds a paint at its first fill until released.
struct FirstFill {
  // A surface drawing into `target` that holds the paint at its first fill.
  cairo_surface_t* Observe(cairo_surface_t* target) {
    cairo_surface_t* observer = cairo_surface_create_observer(target, CAIRO_SURFACE_OBSERVER_NORMAL);
    cairo_surface_observer_add_fill_callback(
        observer,
        [](cairo_surface_t*, cairo_surface_t*, void* data) {
          auto* self = static_cast<FirstFill*>(data);
          std::unique_lock lock(self->mutex);
          if (self->reached) return;
          self->reached = true;
          self->changed.notify_all();
          self->changed.wait(lock, [self] { return self->released; });
        },
        this);
    return observer;
  }
  void WaitReached() {
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return reached; });
  }
  void Release() {
    std::lock_guard lock(mutex);
    released = true;
    changed.notify_all();
  }
  std::mutex mutex;
  std::condition_variable changed;
  bool reached = false, released = false;
};

// The pixels of the drawing painted over 200 x 100, held at its first fill
// when `hold` is given.
std::vector<std::uint32_t> Painted(const SvgDrawing& drawing, FirstFill* hold = nullptr) {
  cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 200, 100);
  cairo_surface_t* surface = hold != nullptr ? hold->Observe(target) : cairo_surface_reference(target);
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

// A paint that finds another thread painting the same drawing paints with a
// handle of its own, and drawings painted at once paint as they do alone.
TEST(ImagingSvgDrawingThreads, DrawingsPaintedOnTwoThreadsAtOncePaintAsAlone) {
  const m::Bytes wmf = m::SampleWmf(), emf = m::SampleEmf();
  const DecodeResult first = Decode(wmf.data(), wmf.size()), second = Decode(emf.data(), emf.size());
  ASSERT_TRUE(first && second) << first.error << second.error;
  const SvgDrawing& a = *first.bitmap->vectors;
  const SvgDrawing& b = *second.bitmap->vectors;
  const std::vector<std::uint32_t> aloneA = Painted(a), aloneB = Painted(b);
  ASSERT_NE(aloneA, aloneB);
  const struct {
    const char* name;
    const SvgDrawing& other;
    const std::vector<std::uint32_t>& expected;
  } rows[] = {{"two drawings", b, aloneB}, {"one drawing", a, aloneA}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    // The first paint is held at its first fill until the second one ended.
    FirstFill hold;
    std::vector<std::uint32_t> held, other;
    std::thread first([&] { held = Painted(a, &hold); });
    hold.WaitReached();
    std::thread([&] {
      EXPECT_TRUE(row.other.Readable());
      other = Painted(row.other);
    }).join();
    hold.Release();
    first.join();
    EXPECT_EQ(held, aloneA);
    EXPECT_EQ(other, row.expected);
  }
}

}  // namespace
