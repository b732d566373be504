// The library's reader and painter of draw lists (drawlistread.h,
// drawlistpaint.h): every record checked before anything is painted, and what
// passed painted as the cairo calls it names.
#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "platform/imaging/drawlistpaint.h"
#include "platform/imaging/drawlistread.h"
#include "tests/fuzz/drawlist_input.h"
#include "tests/platform/imaging/drawlistbuilder.h"
#include "tests/support/command.h"

namespace {

using md::imaging::DrawList;
using md::imaging::ReadDrawList;
using md::test::ListBuilder;
using md::test::ListPath;
namespace dl = md::imaging::drawlist;

dl::Matrix Scale(double s, double tx = 0, double ty = 0) { return dl::Matrix{s, 0, 0, s, tx, ty}; }

dl::StrokeHead Pen(double width, dl::Cap cap = dl::Cap::Butt, dl::Join join = dl::Join::Miter) {
  dl::StrokeHead h;
  h.paint = ListBuilder::Colour(0, 0, 0);
  h.width = width;
  h.cap = static_cast<std::uint32_t>(cap);
  h.join = static_cast<std::uint32_t>(join);
  return h;
}

dl::GradientHead Linear(double x0, double y0, double x1, double y1, dl::Extend extend) {
  dl::GradientHead g;
  g.type = static_cast<std::uint32_t>(dl::GradientType::Linear);
  g.extend = static_cast<std::uint32_t>(extend);
  g.points[0] = x0, g.points[1] = y0, g.points[2] = x1, g.points[3] = y1;
  return g;
}

const std::vector<dl::GradientStop> kTwoStops = {{0, {1, 0, 0, 1}}, {1, {0, 0, 1, 0.4}}};

// A list of the 64-wide drawing painted whole by a repeated radial gradient
// whose first circle, a point, lies `off` left of the centre of its second,
// of radius 32 about the drawing's middle.
std::vector<std::uint8_t> NestedRadial(double off) {
  dl::GradientHead g;
  g.type = static_cast<std::uint32_t>(dl::GradientType::Radial);
  g.extend = static_cast<std::uint32_t>(dl::Extend::Repeat);
  const double points[6] = {32 - off, 32, 0, 32, 32, 32};
  std::copy(std::begin(points), std::end(points), g.points);
  return ListBuilder().Gradient(g, kTwoStops).PaintAll(ListBuilder::Gradient(0)).Bytes();
}

// The pixels `paint` paints onto a side x side raster, row by row.
std::vector<std::uint32_t> PaintedPixels(int side, const std::function<void(cairo_t*)>& paint) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, side, side);
  cairo_t* cr = cairo_create(s);
  paint(cr);
  cairo_surface_flush(s);
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < side; ++y) {
    const auto* line = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(s) +
                                                              y * cairo_image_surface_get_stride(s));
    pixels.insert(pixels.end(), line, line + side);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(s);
  return pixels;
}

// The pixels of the list in `bytes` painted over a side x side raster;
// none, with a failure, when it is refused.
std::vector<std::uint32_t> ListPixels(const std::vector<std::uint8_t>& bytes, int side) {
  std::string why;
  const auto list = md::imaging::ReadDrawList(bytes.data(), bytes.size(), &why);
  if (list == nullptr) {
    ADD_FAILURE() << why;
    return {};
  }
  return PaintedPixels(
      side, [&](cairo_t* cr) { EXPECT_TRUE(md::imaging::PaintDrawList(list, cr, side, side, 1.0)); });
}

// The most a channel of one pixel differs by between the two.
int MostApart(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  int apart = 0;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    for (int shift = 0; shift < 32; shift += 8)
      apart = std::max(apart, std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                                       static_cast<int>((b[i] >> shift) & 0xFF)));
  return apart;
}

std::string Refusal(const std::vector<std::uint8_t>& bytes) {
  std::string why;
  return ReadDrawList(bytes.data(), bytes.size(), &why) == nullptr ? why : "read";
}

TEST(ImagingDrawList, EachRecordIsCheckedBeforeAnythingIsPainted) {
  const ListPath square = ListPath().Rect(8, 8, 16, 16);
  const auto withHeader = [](auto change) {
    std::vector<std::uint8_t> bytes = ListBuilder().Bytes();
    dl::Header h;
    std::memcpy(&h, bytes.data(), sizeof h);
    change(&h);
    std::memcpy(bytes.data(), &h, sizeof h);
    return bytes;
  };
  // A long path dashed finely: cut into more dashes than a vector file's
  // writer may be made to cut.
  ListPath zigzag;
  zigzag.Move(0, 0);
  for (int k = 1; k <= 400; ++k) zigzag.Line(static_cast<float>(k % 2 ? 60000 : 0), static_cast<float>(k));
  dl::Matrix singular = Scale(1e-7);  // each entry fine, the determinant 1e-14
  const auto mitered = [&](double limit) {
    dl::StrokeHead h = Pen(1);
    h.miterLimit = limit;
    return ListBuilder().Stroke(h, {}, square).Bytes();
  };
  struct Row {
    const char* name;
    std::vector<std::uint8_t> bytes;
    const char* refusal;  // part of the reason, or "read"
  } rows[] = {
      {"nothing", {}, "shorter than its header"},
      {"another magic", withHeader([](dl::Header* h) { h->magic = 0x3C737667; }), "no draw list"},
      {"a header's length not the list's", withHeader([](dl::Header* h) { h->bytes += 8; }),
       "another length"},
      {"a drawing of no size", withHeader([](dl::Header* h) { h->width = 0; }), "size is out of range"},
      {"a drawing of a huge size", withHeader([](dl::Header* h) { h->height = 1e300; }),
       "size is out of range"},
      {"a kind of no meaning", ListBuilder().Raw(99, {}).Bytes(), "record 1 is of no known kind"},
      {"a record running past the end",
       [] {
         std::vector<std::uint8_t> b = ListBuilder().PushGroup().PopGroup(1).Bytes();
         b[b.size() - 12] = 64;  // the last record's length
         return b;
       }(),
       "record 2 runs past the list"},
      {"a pop with nothing open", ListBuilder().PopClip().Bytes(), "closes what is not open"},
      {"a group left open", ListBuilder().PushGroup().Bytes(), "leaves a clip, group or mask open"},
      {"a clip closed as a group", ListBuilder().PushClip(square).PopGroup(1).Bytes(),
       "closes what is not open"},
      {"a mask outside a group", ListBuilder().PushMask().PopMask().Bytes(), "mask outside a group"},
      {"a picture named before it is read", ListBuilder().Image(0, Scale(1)).Bytes(),
       "picture not read before"},
      {"a gradient named before it is read", ListBuilder().Fill(ListBuilder::Gradient(0), square).Bytes(),
       "gradient not read before"},
      {"a transform of no inverse",
       ListBuilder().Fill(ListBuilder::Colour(0, 0, 0), square, {}, Scale(0)).Bytes(), "cannot be inverted"},
      {"a transform whose inverse is out of range",
       ListBuilder().Fill(ListBuilder::Colour(0, 0, 0), square, {}, singular).Bytes(), "cannot be inverted"},
      {"a transform of huge entries",
       ListBuilder().Fill(ListBuilder::Colour(0, 0, 0), square, {}, Scale(1e100)).Bytes(), "out of range"},
      {"a point that is not a number",
       ListBuilder().Fill(ListBuilder::Colour(0, 0, 0), ListPath().Move(0, NAN).Line(1, 1)).Bytes(),
       "not a number"},
      {"a point far out under its transform",
       ListBuilder()
           .Fill(ListBuilder::Colour(0, 0, 0), ListPath().Move(0, 0).Line(300000, 0), {}, Scale(4))
           .Bytes(),
       "point out of range"},
      {"a curve short of points",
       [] {
         ListPath p = ListPath().Move(0, 0);
         p.verbs.push_back(dl::Verb::Curve);
         p.points.insert(p.points.end(), {1, 1, 2, 2});
         return ListBuilder().Fill(ListBuilder::Colour(0, 0, 0), p).Bytes();
       }(),
       "take more points"},
      {"a colour out of range", ListBuilder().PaintAll(ListBuilder::Colour(2, 0, 0)).Bytes(),
       "colour out of range"},
      {"an alpha out of range", ListBuilder().PushGroup().PopGroup(-0.5).Bytes(), "alpha out of range"},
      {"a picture of no side", ListBuilder().Picture(0, 4, {}).Bytes(), "sides out of range"},
      {"a picture past the largest side", ListBuilder().Picture(40000, 1, {}).Bytes(), "sides out of range"},
      {"a picture's pixels cut short",
       ListBuilder().Picture(32767, 32767, std::vector<std::uint32_t>(16)).Bytes(),
       "not as long as its picture"},
      {"a gradient of 257 stops",
       ListBuilder()
           .Gradient(Linear(0, 0, 1, 0, dl::Extend::Pad), std::vector<dl::GradientStop>(257))
           .Bytes(),
       "more stops than 256"},
      {"stops out of order",
       ListBuilder()
           .Gradient(Linear(0, 0, 1, 0, dl::Extend::Pad), {{0.5, {0, 0, 0, 1}}, {0.2, {0, 0, 0, 1}}})
           .Bytes(),
       "stop out of order"},
      {"a radius below nothing",
       [] {
         dl::GradientHead g;
         g.type = static_cast<std::uint32_t>(dl::GradientType::Radial);
         g.points[5] = -1;
         return ListBuilder().Gradient(g, kTwoStops).Bytes();
       }(),
       "negative radius"},
      {"dashes of no length", ListBuilder().Stroke(Pen(1), {0, 0}, square).Bytes(), "dashes of no length"},
      {"a negative dash", ListBuilder().Stroke(Pen(1), {2, -1}, square).Bytes(), "dash out of range"},
      {"a long path dashed finely", ListBuilder().Stroke(Pen(1), {0.5, 0.5}, zigzag).Bytes(),
       "dashes painted past 200000"},
      {"a wide path dashed coarsely", ListBuilder().Stroke(Pen(1), {500, 500}, zigzag).Bytes(), "read"},
      {"a picture repeated more finely than a list may",
       ListBuilder()
           .Picture(2, 1, {0xFF000000u, 0xFFFFFFFFu})
           .PaintAll(ListBuilder::Pattern(0, Scale(100), dl::Extend::Repeat))
           .Bytes(),
       "repeats more than 1024 times"},
      {"a gradient reflected more often than a list may",
       ListBuilder()
           .Gradient(Linear(0, 0, 0.01, 0, dl::Extend::Reflect), kTwoStops)
           .PaintAll(ListBuilder::Gradient(0))
           .Bytes(),
       "repeats more than 1024 times"},
      {"a gradient repeated often under a transform that stretches it",
       ListBuilder()
           .Gradient(Linear(0, 0, 0.01, 0, dl::Extend::Repeat), kTwoStops)
           .Fill(ListBuilder::Gradient(0), square, dl::FillRule::Winding, Scale(100))
           .Bytes(),
       "read"},
      {"a picture repeated coarsely, shifted far",
       ListBuilder()
           .Picture(2, 1, {0xFF000000u, 0xFFFFFFFFu})
           .PaintAll(ListBuilder::Pattern(0, dl::Matrix{0.5, 0, 0, 0.5, -262144, 0}, dl::Extend::Repeat))
           .Bytes(),
       "read"},
      {"a picture padded",
       ListBuilder()
           .Picture(2, 1, {0xFF000000u, 0xFFFFFFFFu})
           .PaintAll(ListBuilder::Pattern(0, Scale(16), dl::Extend::Pad))
           .Bytes(),
       "picture not repeated"},
      {"a picture squeezed past its bound",
       ListBuilder()
           .Picture(2, 1, {0xFF000000u, 0xFFFFFFFFu})
           .Image(0, dl::Matrix{1.862645149230957e-09, 0, 0, 8, 10, 10})
           .Bytes(),
       "squeezed past"},
      {"a picture's pattern squeezed past its bound",
       ListBuilder()
           .Picture(2, 1, {0xFF000000u, 0xFFFFFFFFu})
           .Fill(ListBuilder::Pattern(0, dl::Matrix{1, 0, 0, 4096, 0, 0}, dl::Extend::Repeat), square)
           .Bytes(),
       "squeezed past"},
      {"a picture repeated in pixels past the range a raster samples it in",
       ListBuilder()
           .Picture(2048, 1, std::vector<std::uint32_t>(2048, 0xFF000000u))
           .PaintAll(ListBuilder::Pattern(0, Scale(600), dl::Extend::Repeat))
           .Bytes(),
       "repeated in pixels past"},
      {"a gradient squeezed past its bound",
       ListBuilder()
           .Gradient([] {
             dl::GradientHead g = Linear(0, 0, 20, 0, dl::Extend::None);
             g.matrix = Scale(262144);
             return g;
           }(),
                     kTwoStops)
           .Fill(ListBuilder::Gradient(0), square)
           .Bytes(),
       "gradient squeezed past"},
      {"a reflected radial gradient whose circles cross",
       [] {
         dl::GradientHead g;
         g.type = static_cast<std::uint32_t>(dl::GradientType::Radial);
         g.extend = static_cast<std::uint32_t>(dl::Extend::Reflect);
         const double points[6] = {0, -2, 2.000001, 0, 0, 0};
         std::copy(std::begin(points), std::end(points), g.points);
         return ListBuilder().Gradient(g, kTwoStops).PaintAll(ListBuilder::Gradient(0)).Bytes();
       }(),
       "circles are not nested"},
      // A repeated radial gradient's repeats come closest where its first
      // circle nears its second: counted there (0.05 and 0.1 of the 64-wide
      // drawing, against its 1,024 repeats' 0.0625), not at the radii's run.
      {"a repeated radial gradient whose circles come close on one side",
       NestedRadial(31.95), "repeats more than 1024 times"},
      {"a repeated radial gradient whose circles keep apart on every side", NestedRadial(31.9), "read"},
      {"a gradient far from the drawing",
       ListBuilder()
           .Gradient(
               [] {
                 dl::GradientHead g = Linear(0, 0, 20, 0, dl::Extend::Repeat);
                 g.matrix = dl::Matrix{1, 0, 0, 1, 131072, 0};
                 return g;
               }(),
               kTwoStops)
           .Fill(ListBuilder::Gradient(0), square)
           .Bytes(),
       "gradient far from the drawing"},
      {"a gradient of a space scaled far from the drawing's",
       ListBuilder()
           .Gradient(
               [] {
                 dl::GradientHead g = Linear(0, 0, -14336, 0, dl::Extend::None);
                 g.matrix = Scale(-262144);
                 return g;
               }(),
               kTwoStops)
           .Fill(ListBuilder::Gradient(0), square)
           .Bytes(),
       "gradient far from the drawing"},
      {"a gradient of no run", ListBuilder().Gradient(Linear(5, 5, 5, 5, dl::Extend::Repeat), kTwoStops).PaintAll(ListBuilder::Gradient(0)).Bytes(), "read"},
      {"a miter limit of 1", mitered(1), "read"},
      {"a miter limit below 1", mitered(0.999), "miter limit out of range"},
      {"a width below nothing", ListBuilder().Stroke(Pen(-1), {}, square).Bytes(), "width out of range"},
      {"an unknown stroke flag",
       [&] {
         dl::StrokeHead h = Pen(1);
         h.flags = 6;
         return ListBuilder().Stroke(h, {}, square).Bytes();
       }(),
       "flags of no meaning"},
  };
  for (const Row& row : rows) {
    const std::string why = Refusal(row.bytes);
    EXPECT_NE(why.find(row.refusal), std::string::npos) << row.name << ": " << why;
  }
}

// A step from `v` toward `to`: the next double.
double Step(double v, double to) { return std::nextafter(v, to); }

// Each bound of a list, at its limit, is read; one step past it, the list is
// refused, saying which bound. Transforms, coordinates and the sizes of
// paints are stepped by the next double (or float, for a path's points);
// counts by one.
TEST(ImagingDrawList, EachBoundIsTakenAtItsLimitAndRefusedAStepPast) {
  const ListPath square = ListPath().Rect(8, 8, 16, 16);
  const ListPath half = ListPath().Rect(0, 0, 0.5f, 0.5f);
  const dl::Paint black = ListBuilder::Colour(0, 0, 0);
  const auto filled = [&](const dl::Matrix& m, const ListPath& path) {
    return ListBuilder().Fill(black, path, dl::FillRule::Winding, m).Bytes();
  };
  const auto nested = [](int depth) {
    ListBuilder b;
    for (int k = 0; k < depth; ++k) b.PushGroup();
    for (int k = 0; k < depth; ++k) b.PopGroup(1);
    return b.Bytes();
  };
  const auto stroked = [&](double width, double miter, double offset, const std::vector<double>& dashes,
                           const ListPath& path) {
    dl::StrokeHead h = Pen(width);
    h.miterLimit = miter;
    h.dashOffset = offset;
    return ListBuilder().Stroke(h, dashes, path).Bytes();
  };
  // A gradient painted over the whole drawing.
  const auto painted = [](const dl::GradientHead& g, std::size_t stops = 2) {
    return ListBuilder()
        .Gradient(g, std::vector<dl::GradientStop>(stops))
        .PaintAll(ListBuilder::Gradient(0))
        .Bytes();
  };
  // A linear gradient of `run` whose space is 1,024 times the drawing's.
  const auto squeezed = [&](double run) {
    dl::GradientHead g = Linear(0, 0, run, 0, dl::Extend::Pad);
    g.matrix = Scale(1024);
    return painted(g);
  };
  // A radial gradient repeated about the drawing's middle (in a space 8
  // times the drawing's), its circles' radii r0 and 1,024.
  const auto radial = [&](double r0) {
    dl::GradientHead g;
    g.type = static_cast<std::uint32_t>(dl::GradientType::Radial);
    g.extend = static_cast<std::uint32_t>(dl::Extend::Repeat);
    const double points[6] = {256, 256, r0, 256, 256, 1024};
    std::copy(std::begin(points), std::end(points), g.points);
    g.matrix = Scale(8);
    return painted(g);
  };
  // A linear gradient down the drawing whose space is stretched `stretch`
  // times across it, along its longest axis alone.
  const auto stretched = [&](double stretch) {
    dl::GradientHead g = Linear(0, 0, 0, 64, dl::Extend::Pad);
    g.matrix = {1 / stretch, 0, 0, 1, 0, 0};
    return painted(g);
  };
  // A radial gradient padded about the drawing's middle, from a point to a
  // circle of radius `r`.
  const auto spread = [&](double r) {
    dl::GradientHead g;
    g.type = static_cast<std::uint32_t>(dl::GradientType::Radial);
    g.extend = static_cast<std::uint32_t>(dl::Extend::Pad);
    const double points[6] = {32, 32, 0, 32, 32, r};
    std::copy(std::begin(points), std::end(points), g.points);
    return painted(g);
  };
  // One use of a gradient of `stops` stops repeated every `period` down a
  // drawing 64 wide and `high` tall.
  const auto repeatedDown = [](double period, int stops, double high = 64) {
    return ListBuilder(64, high)
        .Gradient(Linear(0, 0, 0, period, dl::Extend::Repeat),
                  std::vector<dl::GradientStop>(static_cast<std::size_t>(stops)))
        .PaintAll(ListBuilder::Gradient(0))
        .Bytes();
  };
  // One use of a gradient of `stops` stops repeated along a diagonal of the
  // drawing, 64 times: from its corner at 0, 0 to the one at 64, 64, or
  // (`up`) from the one at 0, 64 to the one at 64, 0, its start at the
  // middle.
  const auto repeatedAcross = [](int stops, bool up = false) {
    return ListBuilder()
        .Gradient(up ? Linear(32, 32, 33, 31, dl::Extend::Repeat) : Linear(0, 0, 1, 1, dl::Extend::Repeat),
                  std::vector<dl::GradientStop>(static_cast<std::size_t>(stops)))
        .PaintAll(ListBuilder::Gradient(0))
        .Bytes();
  };
  // One use of a radial gradient of `stops` stops repeated every `period`
  // out from a circle of radius r0 about (x, y).
  const auto repeatedOut = [](double x, double y, double period, int stops, double r0 = 0) {
    dl::GradientHead g;
    g.type = static_cast<std::uint32_t>(dl::GradientType::Radial);
    g.extend = static_cast<std::uint32_t>(dl::Extend::Repeat);
    const double points[6] = {x, y, r0, x, y, r0 + period};
    std::copy(std::begin(points), std::end(points), g.points);
    return ListBuilder()
        .Gradient(g, std::vector<dl::GradientStop>(static_cast<std::size_t>(stops)))
        .PaintAll(ListBuilder::Gradient(0))
        .Bytes();
  };
  // The gradient padded, or repeated every unit across the 64 of the drawing.
  const auto stopUses = [](int uses, dl::Extend extend = dl::Extend::Pad, int stops = 256) {
    ListBuilder b;
    b.Gradient(Linear(0, 0, extend == dl::Extend::Pad ? 64 : 1, 0, extend),
               std::vector<dl::GradientStop>(static_cast<std::size_t>(stops)));
    for (int k = 0; k < uses; ++k) b.PaintAll(ListBuilder::Gradient(0));
    return b.Bytes();
  };
  // `count` fills of squares `side` wide with a picture of a pixel repeated
  // 1,024 times across the 64-wide drawing.
  const auto patternFills = [](int count, float side) {
    ListBuilder b;
    b.Picture(1, 1, {0xFF000000u});
    for (int k = 0; k < count; ++k)
      b.Fill(ListBuilder::Pattern(0, Scale(16), dl::Extend::Repeat),
             ListPath().Rect(side < 64 ? static_cast<float>(k % 63) : 0, 0, side, side));
    return b.Bytes();
  };
  // Tiles of that pattern: 15 paints of the whole drawing (1,048,577 each)
  // and a fill of 64 x `high`, 1,048,561 at 64 less 1/1,024: 2^24 in all;
  // the fill first or last.
  const auto tiles = [](float high, bool fillFirst = false) {
    ListBuilder b;
    b.Picture(1, 1, {0xFF000000u});
    const auto fill = [&] {
      b.Fill(ListBuilder::Pattern(0, Scale(16), dl::Extend::Repeat), ListPath().Rect(0, 0, 64, high));
    };
    if (fillFirst) fill();
    for (int k = 0; k < 15; ++k) b.PaintAll(ListBuilder::Pattern(0, Scale(16), dl::Extend::Repeat));
    if (!fillFirst) fill();
    return b.Bytes();
  };
  // A picture of side x side pixels repeated over the drawing, from its
  // space to its pixels under `m`.
  const auto pattern = [](std::uint32_t side, const dl::Matrix& m) {
    return ListBuilder()
        .Picture(side, side, std::vector<std::uint32_t>(std::size_t{side} * side, 0xFF000000u))
        .PaintAll(ListBuilder::Pattern(0, m, dl::Extend::Repeat))
        .Bytes();
  };
  const auto drawn = [](int records) {
    ListBuilder b;
    for (int k = 0; k < records; ++k) b.PaintAll(ListBuilder::Colour(0, 0, 0, 0.5));
    return b.Bytes();
  };
  // The verbs of the paths: a fill of 1,000 and a clip of the rest.
  const auto verbs = [](int count) {
    ListPath fill, clip;
    for (int k = 0; k < 1000; ++k) k == 0 ? fill.Move(0, 0) : fill.Line(static_cast<float>(k % 64), 9);
    for (int k = 1000; k < count; ++k) k == 1000 ? clip.Move(0, 0) : clip.Line(9, static_cast<float>(k % 64));
    return ListBuilder().PushClip(clip).Fill(ListBuilder::Colour(0, 0, 0), fill).PopClip().Bytes();
  };
  // `paints` paints of the whole clip within a clip of 4,096 verbs.
  const auto clipped = [](int paints) {
    ListPath clip;
    clip.Move(0, 0);
    for (int k = 0; k < 4094; ++k) clip.Line(static_cast<float>(k % 64), static_cast<float>(k % 2 ? 64 : 0));
    ListBuilder b;
    b.PushClip(clip.Close());
    for (int k = 0; k < paints; ++k) b.PaintAll(ListBuilder::Colour(0, 0, 0, 0.1));
    return b.PopClip().Bytes();
  };
  const auto groups = [](int count) {
    ListBuilder b;
    for (int k = 0; k < count; ++k) b.PushGroup().PopGroup(0.5);
    return b.Bytes();
  };
  // A picture `width` pixels wide and one tall repeated a pixel a unit.
  const auto repeatedWide = [](std::uint32_t width) {
    return ListBuilder()
        .Picture(width, 1, std::vector<std::uint32_t>(width, 0xFF000000u))
        .PaintAll(ListBuilder::Pattern(0, Scale(1), dl::Extend::Repeat))
        .Bytes();
  };
  constexpr double kMost = 1048576;  // 2^20
  constexpr float kTileHigh = 64 - 1.0f / 1024;
  struct Row {
    const char* name;
    std::vector<std::uint8_t> bytes;
    const char* refusal;  // part of the reason, or "read"
  } rows[] = {
      {"a transform's entry of 2^20", filled({kMost, 0, 0, 1, 0, 0}, half), "read"},
      {"a transform's entry past 2^20", filled({Step(kMost, 2 * kMost), 0, 0, 1, 0, 0}, half),
       "transform out of range"},
      {"a determinant of 2^-40", filled(Scale(1.0 / 1048576), half), "read"},
      {"a determinant below 2^-40", filled({Step(1.0 / 1048576, 0), 0, 0, 1.0 / 1048576, 0, 0}, half),
       "cannot be inverted within bounds"},
      {"a determinant of 2^40", filled(Scale(kMost), half), "read"},
      {"a determinant of 2^40 + 1", filled({kMost, 1, -1, kMost, 0, 0}, half),
       "cannot be inverted within bounds"},
      {"a point 2^20 out", filled({}, ListPath().Move(0, 0).Line(static_cast<float>(kMost), 0)), "read"},
      {"a point past 2^20 out",
       filled({}, ListPath().Move(0, 0).Line(std::nextafter(static_cast<float>(kMost), 2e6f), 0)),
       "point out of range"},
      {"a gradient's point 2^20 out",
       ListBuilder().Gradient(Linear(0, 0, kMost, 0, dl::Extend::Pad), kTwoStops).Bytes(), "read"},
      {"a gradient's point past 2^20 out",
       ListBuilder().Gradient(Linear(0, 0, Step(kMost, 2 * kMost), 0, dl::Extend::Pad), kTwoStops).Bytes(),
       "gradient's point out of range"},
      {"a stroke 2^20 wide", stroked(kMost, 10, 0, {}, square), "read"},
      {"a stroke wider than 2^20", stroked(Step(kMost, 2 * kMost), 10, 0, {}, square), "width out of range"},
      {"a miter limit of 2^20", stroked(1, kMost, 0, {}, square), "read"},
      {"a miter limit past 2^20", stroked(1, Step(kMost, 2 * kMost), 0, {}, square),
       "miter limit out of range"},
      {"a dash offset of -2^20", stroked(1, 10, -kMost, {1, 1}, square), "read"},
      {"a dash offset past -2^20", stroked(1, 10, Step(-kMost, -2 * kMost), {1, 1}, square),
       "dash offset out of range"},
      {"a dash of 2^20", stroked(1, 10, 0, {kMost, 1}, square), "read"},
      {"a dash past 2^20", stroked(1, 10, 0, {Step(kMost, 2 * kMost), 1}, square), "dash out of range"},
      {"64 dash entries", stroked(1, 10, 0, std::vector<double>(64, 1), square), "read"},
      {"65 dash entries", stroked(1, 10, 0, std::vector<double>(65, 1), square), "more dashes than 64"},
      // A path 199,998 long dashed by {1, 1}: (199,998 / 2 + 1) x 2 dashes.
      {"a path cut into 200,000 dashes", stroked(1, 10, 0, {1, 1}, ListPath().Move(0, 0).Line(199998, 0)),
       "read"},
      {"a path cut into more than 200,000 dashes",
       stroked(1, 10, 0, {1, 1}, ListPath().Move(0, 0).Line(std::nextafter(199998.0f, 3e5f), 0)),
       "dashes painted past 200000"},
      // An odd array runs twice, in twice its period, as many dashes a length.
      // A path 319,992 long dashed by {1, 1, 1, 1, 4}: (319,992 / 8 + 1) x 5.
      {"a path cut into 200,000 dashes by an odd array",
       stroked(1, 10, 0, {1, 1, 1, 1, 4}, ListPath().Move(0, 0).Line(319992, 0)), "read"},
      {"a path cut into more than 200,000 dashes by an odd array",
       stroked(1, 10, 0, {1, 1, 1, 1, 4}, ListPath().Move(0, 0).Line(std::nextafter(319992.0f, 4e5f), 0)),
       "dashes painted past 200000"},
      {"a picture's pixel shown 1/1,024 long",
       ListBuilder().Picture(1, 1, {0}).Image(0, Scale(1.0 / 1024)).Bytes(), "read"},
      {"a picture's pixel shown shorter",
       ListBuilder().Picture(1, 1, {0}).Image(0, Scale(Step(1.0 / 1024, 0))).Bytes(),
       "squeezed past a pixel's bound"},
      {"a gradient's run shown 1/1,024 long", squeezed(1), "read"},
      {"a gradient's run shown shorter", squeezed(Step(1, 0)), "gradient squeezed past its bound"},
      {"a gradient's end 4 drawings' widths out", painted(Linear(0, 0, 256, 0, dl::Extend::Pad)), "read"},
      {"a gradient's end further out", painted(Linear(0, 0, Step(256, 512), 0, dl::Extend::Pad)),
       "gradient far from the drawing"},
      {"a gradient's space stretched 16,384 times along one axis", stretched(16384), "read"},
      {"a gradient's space stretched further along one axis", stretched(Step(16384, 32768)),
       "gradient far from the drawing"},
      {"a radial gradient's radius 4 drawings' widths long", spread(256), "read"},
      {"a radial gradient's radius longer", spread(Step(256, 512)), "gradient far from the drawing"},
      {"a repeated radial's circles nested by 1/1,024 of its radius", radial(1023), "read"},
      {"a repeated radial's circles nested by less", radial(Step(1023, 1024)), "circles are not nested"},
      {"a gradient repeated 1,024 times", painted(Linear(0, 0, 0.0625, 0, dl::Extend::Repeat)), "read"},
      {"a gradient repeated more often", painted(Linear(0, 0, Step(0.0625, 0), 0, dl::Extend::Repeat)),
       "repeats more than 1024 times"},
      {"a picture repeated 1,024 times", pattern(1, Scale(16)), "read"},
      {"a picture repeated more often", pattern(1, {16, 0, 0, Step(16, 32), 0, 0}),
       "repeats more than 1024 times"},
      {"a picture of 8,192 pixels across the drawing", pattern(8, Scale(128)), "read"},
      {"a picture of more pixels across the drawing", pattern(8, {128, 0, 0, Step(128, 256), 0, 0}),
       "repeated in pixels past their bound"},
      {"a gradient of 256 stops",
       ListBuilder()
           .Gradient(Linear(0, 0, 1, 0, dl::Extend::Pad), std::vector<dl::GradientStop>(256))
           .Bytes(),
       "read"},
      {"a gradient of 257 stops",
       ListBuilder()
           .Gradient(Linear(0, 0, 1, 0, dl::Extend::Pad), std::vector<dl::GradientStop>(257))
           .Bytes(),
       "more stops than 256"},
      {"a gradient's stops painted up to their bound", stopUses(512), "read"},
      {"a gradient's stops painted past their bound", stopUses(513), "gradient stops painted past 131072"},
      {"a gradient's stops painted at each of 64 repeats up to their bound",
       stopUses(128, dl::Extend::Repeat, 16), "read"},
      {"a gradient's stops painted at each of 64 reflections past their bound",
       stopUses(129, dl::Extend::Reflect, 16), "record 130 brings the gradient stops painted past"},
      // One use of a repeated gradient paints at most 4,096 stops: a viewer
      // searches them at each point it shades.
      {"a repeated gradient painting 64 stops at each of 64 repeats", stopUses(1, dl::Extend::Repeat, 64),
       "read"},
      {"a repeated gradient painting 65 stops at each of 64 repeats", stopUses(1, dl::Extend::Repeat, 65),
       "paints more stops than 4096"},
      // Repeats part-way across the drawing count as whole ones: 62.5 of 65
      // stops paint 4,095, a little over 63 paint 4,160.
      {"a repeated gradient painting 65 stops at each of 62.5 repeats", repeatedDown(1.024, 65), "read"},
      {"a repeated gradient painting 65 stops at each of a little over 63 repeats", repeatedDown(1.0158, 65),
       "paints more stops than 4096"},
      // Repeats are counted across a drawing's larger side: 64 down one 128
      // tall and 64 wide.
      {"a repeated gradient painting 64 stops at each of 64 repeats down a tall drawing",
       repeatedDown(2, 64, 128), "read"},
      {"a repeated gradient painting 65 stops at each of 64 repeats down a tall drawing",
       repeatedDown(2, 65, 128), "paints more stops than 4096"},
      // Repeats are counted along the gradient, over the drawing's corners, as
      // a vector file lays them out.
      {"a repeated gradient painting 64 stops at each of 64 repeats along the drawing's diagonal",
       repeatedAcross(64), "read"},
      {"a repeated gradient painting 65 stops at each of 64 repeats along the drawing's diagonal",
       repeatedAcross(65), "paints more stops than 4096"},
      {"a repeated gradient painting 64 stops at each of 64 repeats along the other diagonal",
       repeatedAcross(64, true), "read"},
      {"a repeated gradient painting 65 stops at each of 64 repeats along the other diagonal",
       repeatedAcross(65, true), "paints more stops than 4096"},
      // A radial one's from where its circles start to the farthest corner:
      // 45.25 / 0.71 (63.7) from the drawing's middle, 90.51 / 1.42 from a
      // corner.
      {"a repeated radial gradient painting 64 stops at each of 64 repeats out from the middle",
       repeatedOut(32, 32, 0.71, 64), "read"},
      {"a repeated radial gradient painting 65 stops at each of 64 repeats out from the middle",
       repeatedOut(32, 32, 0.71, 65), "paints more stops than 4096"},
      {"a repeated radial gradient painting 64 stops at each of 64 repeats out from a corner",
       repeatedOut(0, 0, 1.42, 64), "read"},
      {"a repeated radial gradient painting 65 stops at each of 64 repeats out from a corner",
       repeatedOut(0, 0, 1.42, 65), "paints more stops than 4096"},
      // From a circle, its repeats inward to the point its circles start at
      // count too: 0.70 of one within it, and 63.04 out to the corners.
      {"a repeated radial gradient painting 63 stops at each of 65 repeats out from a circle",
       repeatedOut(32, 32, 0.71, 63, 0.5), "read"},
      {"a repeated radial gradient painting 64 stops at each of 65 repeats out from a circle",
       repeatedOut(32, 32, 0.71, 64, 0.5), "paints more stops than 4096"},
      // Started far off the drawing, at most its diagonal over the period, and
      // one more: 90.51 / 1.44 (62.9) and one.
      {"a repeated radial gradient painting 64 stops at each of 64 repeats out from 200 left of the drawing",
       repeatedOut(-200, 32, 1.44, 64), "read"},
      // Pattern tiles, counted as a viewer draws them: over what each fill
      // paints of the drawing, and over the whole drawing for each paint of
      // it, whatever path came before.
      {"pattern tiles up to their bound", tiles(kTileHigh), "read"},
      {"pattern tiles past their bound", tiles(std::nextafter(kTileHigh, 64.0f)),
       "record 17 brings the pattern tiles painted past 16777216"},
      {"pattern tiles up to their bound, the fill first", tiles(kTileHigh, true), "read"},
      {"pattern tiles past their bound, the fill first", tiles(std::nextafter(kTileHigh, 64.0f), true),
       "record 17 brings the pattern tiles painted past 16777216"},
      // Paints of gradients and patterns, each an object of a vector file.
      {"8,192 small fills by a pattern at 1,024 repeats", patternFills(8192, 1), "read"},
      {"8,193 small fills by a pattern", patternFills(8193, 1),
       "record 8194 brings the paints of gradients and patterns past 8192"},
      {"8,192 paints of a gradient of one stop", stopUses(8192, dl::Extend::Pad, 1), "read"},
      {"8,193 paints of a gradient of one stop", stopUses(8193, dl::Extend::Pad, 1),
       "record 8194 brings the paints of gradients and patterns past 8192"},
      // A picture is repeated at most 8,192 pixels a side, for the range a
      // raster samples it in.
      {"a picture 8,192 pixels wide repeated", repeatedWide(8192), "read"},
      {"a picture 8,193 pixels wide repeated", repeatedWide(8193), "repeated in pixels past their bound"},
      {"50,000 records that draw", drawn(50000), "read"},
      {"50,001 records that draw", drawn(50001), "record 50001 brings the records that draw past 50000"},
      {"paths of 200,000 verbs", verbs(200000), "read"},
      {"paths of 200,001 verbs", verbs(200001), "verbs of the paths past 200000"},
      {"4,096 paints within a clip of 4,096 verbs", clipped(4096), "read"},
      {"4,097 paints within a clip of 4,096 verbs", clipped(4097),
       "record 4098 brings the verbs of the clips drawn within past 16777216"},
      {"100 groups one after another", groups(100), "read"},
      {"101 groups one after another", groups(101), "opens more groups than 100"},
      {"64 groups deep", nested(64), "read"},
      {"65 groups deep", nested(65), "more than 64 at once"},
  };
  for (const Row& row : rows) {
    const std::string why = Refusal(row.bytes);
    EXPECT_NE(why.find(row.refusal), std::string::npos) << row.name << ": " << why;
  }
}

TEST(ImagingDrawList, PicturesAreKeptPremultipliedAndTablesByIndex) {
  // A colour above its alpha comes out at its alpha; the rest as written.
  const std::vector<std::uint32_t> pixels = {0x80FF2010u, 0xFF102030u, 0x00000000u, 0x40404040u};
  const std::vector<std::uint8_t> bytes = ListBuilder()
                                              .Picture(2, 2, pixels)
                                              .Gradient(Linear(0, 0, 1, 0, dl::Extend::Repeat), kTwoStops)
                                              .Image(0, Scale(8))
                                              .PaintAll(ListBuilder::Gradient(0, 0.5))
                                              .Bytes();
  std::string why;
  const std::shared_ptr<const DrawList> list = ReadDrawList(bytes.data(), bytes.size(), &why);
  ASSERT_NE(list, nullptr) << why;
  ASSERT_EQ(list->Pictures().size(), 1u);
  ASSERT_EQ(list->Gradients().size(), 1u);
  EXPECT_EQ(list->Records().size(), 4u);
  std::vector<std::uint32_t> kept(4);
  std::memcpy(kept.data(), list->Data() + list->Pictures()[0].at, 16);
  EXPECT_EQ(kept, (std::vector<std::uint32_t>{0x80802010u, 0xFF102030u, 0x00000000u, 0x40404040u}));
}

// A 64 x 64 image painted by `paint`, as premultiplied pixels.
std::vector<std::uint32_t> Painted(const std::function<void(cairo_t*)>& paint) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 64);
  cairo_t* cr = cairo_create(s);
  paint(cr);
  EXPECT_EQ(cairo_status(cr), CAIRO_STATUS_SUCCESS);
  cairo_destroy(cr);
  cairo_surface_flush(s);
  std::vector<std::uint32_t> out(64 * 64);
  for (int y = 0; y < 64; ++y)
    std::memcpy(out.data() + y * 64, cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s),
                256);
  cairo_surface_destroy(s);
  return out;
}

int LargestDifference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  int most = 0;
  for (std::size_t k = 0; k < a.size(); ++k)
    for (int shift = 0; shift < 32; shift += 8)
      most = std::max(most, std::abs(static_cast<int>((a[k] >> shift) & 0xFF) -
                                     static_cast<int>((b[k] >> shift) & 0xFF)));
  return most;
}

void Polyline(cairo_t* cr, const ListPath& path) {
  std::size_t at = 0;
  for (dl::Verb v : path.verbs) {
    const float* p = path.points.data() + at;
    if (v == dl::Verb::Move) cairo_move_to(cr, p[0], p[1]), at += 2;
    if (v == dl::Verb::Line) cairo_line_to(cr, p[0], p[1]), at += 2;
    if (v == dl::Verb::Curve) cairo_curve_to(cr, p[0], p[1], p[2], p[3], p[4], p[5]), at += 6;
    if (v == dl::Verb::Close) cairo_close_path(cr);
  }
}

TEST(ImagingDrawList, TheListPaintsAsTheCairoCallsItNames) {
  const ListPath twoSquares = ListPath().Rect(8, 8, 30, 30).Rect(20, 20, 30, 30);
  const ListPath elbow = ListPath().Move(10, 50).Line(30, 12).Line(54, 50);
  const ListPath ring = ListPath().Rect(4, 4, 56, 56).Rect(20, 20, 24, 24);
  const ListPath blob = ListPath().Move(32, 6).Curve(62, 6, 62, 58, 32, 58).Curve(2, 58, 2, 6, 32, 6).Close();
  // A 2 x 2 checker of red and half-transparent green.
  const std::vector<std::uint32_t> checker = {0xFFFF0000u, 0x80008000u, 0x80008000u, 0xFFFF0000u};
  const auto setChecker = [&](cairo_t* cr, cairo_surface_t** keep) {
    *keep = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 2, 2);
    cairo_surface_flush(*keep);
    for (int y = 0; y < 2; ++y)
      std::memcpy(cairo_image_surface_get_data(*keep) + y * cairo_image_surface_get_stride(*keep),
                  &checker[y * 2], 8);
    cairo_surface_mark_dirty(*keep);
    (void)cr;
  };
  struct Row {
    const char* name;
    std::vector<std::uint8_t> list;
    std::function<void(cairo_t*)> direct;
  } rows[] = {
      {"an even-odd fill",
       ListBuilder().Fill(ListBuilder::Colour(1, 0, 0, 0.8), twoSquares, dl::FillRule::EvenOdd).Bytes(),
       [&](cairo_t* cr) {
         Polyline(cr, twoSquares);
         cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
         cairo_set_source_rgba(cr, 1, 0, 0, 0.8);
         cairo_fill(cr);
       }},
      {"a nonzero fill under a rotation",
       ListBuilder()
           .Fill(ListBuilder::Colour(0, 0.5, 1), twoSquares, dl::FillRule::Winding,
                 dl::Matrix{0.8, 0.6, -0.6, 0.8, 20, -10})
           .Bytes(),
       [&](cairo_t* cr) {
         const cairo_matrix_t m{0.8, 0.6, -0.6, 0.8, 20, -10};
         cairo_transform(cr, &m);
         Polyline(cr, twoSquares);
         cairo_set_source_rgb(cr, 0, 0.5, 1);
         cairo_fill(cr);
       }},
      {"a round-joined dashed stroke",
       ListBuilder().Stroke(Pen(5, dl::Cap::Round, dl::Join::Round), {9, 4}, elbow).Bytes(),
       [&](cairo_t* cr) {
         Polyline(cr, elbow);
         cairo_set_line_width(cr, 5);
         cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
         cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
         const double dashes[] = {9, 4};
         cairo_set_dash(cr, dashes, 2, 0);
         cairo_stroke(cr);
       }},
      {"a bevelled square-capped stroke",
       ListBuilder().Stroke(Pen(7, dl::Cap::Square, dl::Join::Bevel), {}, elbow).Bytes(),
       [&](cairo_t* cr) {
         Polyline(cr, elbow);
         cairo_set_line_width(cr, 7);
         cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
         cairo_set_line_join(cr, CAIRO_LINE_JOIN_BEVEL);
         cairo_stroke(cr);
       }},
      {"a mitred stroke", ListBuilder().Stroke(Pen(2), {}, elbow).Bytes(),
       [&](cairo_t* cr) {
         Polyline(cr, elbow);
         cairo_set_line_width(cr, 2);
         cairo_stroke(cr);
       }},
      {"a hairline under a shrink",
       [&] {
         dl::StrokeHead h = Pen(0.01);
         h.flags = dl::kStrokeHairline;
         return ListBuilder().Stroke(h, {}, ListPath().Move(0, 100).Line(256, 100)).Bytes();
       }(),
       [&](cairo_t* cr) {
         cairo_move_to(cr, 0, 25);
         cairo_line_to(cr, 64, 25);
         cairo_set_line_width(cr, 1);
         cairo_stroke(cr);
       }},
      {"a hairline under an uneven shrink",
       [&] {
         dl::StrokeHead h = Pen(0.01);
         h.flags = dl::kStrokeHairline;
         return ListBuilder().Stroke(h, {}, ListPath().Move(0, 25).Line(256, 25)).Bytes();
       }(),
       [&](cairo_t* cr) {
         cairo_move_to(cr, 0, 25);
         cairo_line_to(cr, 64, 25);
         cairo_set_line_width(cr, 1);
         cairo_stroke(cr);
       }},
      {"an even-odd clip",
       ListBuilder()
           .PushClip(ring, dl::FillRule::EvenOdd)
           .PaintAll(ListBuilder::Colour(0, 0, 1))
           .PopClip()
           .Bytes(),
       [&](cairo_t* cr) {
         Polyline(cr, ring);
         cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
         cairo_clip(cr);
         cairo_set_source_rgb(cr, 0, 0, 1);
         cairo_paint(cr);
       }},
      {"a group painted faded",
       ListBuilder()
           .PushGroup()
           .Fill(ListBuilder::Colour(1, 0, 0), ListPath().Rect(8, 8, 30, 30))
           .Fill(ListBuilder::Colour(0, 1, 0), ListPath().Rect(20, 20, 30, 30))
           .PopGroup(0.5)
           .Bytes(),
       [&](cairo_t* cr) {
         cairo_push_group(cr);
         cairo_rectangle(cr, 8, 8, 30, 30);
         cairo_set_source_rgb(cr, 1, 0, 0);
         cairo_fill(cr);
         cairo_rectangle(cr, 20, 20, 30, 30);
         cairo_set_source_rgb(cr, 0, 1, 0);
         cairo_fill(cr);
         cairo_pop_group_to_source(cr);
         cairo_paint_with_alpha(cr, 0.5);
       }},
      {"a group through a mask",
       ListBuilder()
           .PushGroup()
           .PaintAll(ListBuilder::Colour(0.2, 0.4, 0.6))
           .PushMask()
           .Fill(ListBuilder::Colour(0, 0, 0, 0.6), blob)
           .PopMask()
           .Bytes(),
       [&](cairo_t* cr) {
         cairo_push_group(cr);
         cairo_set_source_rgb(cr, 0.2, 0.4, 0.6);
         cairo_paint(cr);
         cairo_push_group(cr);
         Polyline(cr, blob);
         cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
         cairo_fill(cr);
         cairo_pattern_t* mask = cairo_pop_group(cr);
         cairo_pop_group_to_source(cr);
         cairo_mask(cr, mask);
         cairo_pattern_destroy(mask);
       }},
      {"a reflected gradient's stop opacity under a fill opacity",
       ListBuilder()
           .Gradient(Linear(10, 0, 30, 0, dl::Extend::Reflect), kTwoStops)
           .Fill(ListBuilder::Gradient(0, 0.5), ListPath().Rect(0, 0, 64, 64))
           .Bytes(),
       [&](cairo_t* cr) {
         cairo_pattern_t* p = cairo_pattern_create_linear(10, 0, 30, 0);
         cairo_pattern_add_color_stop_rgba(p, 0, 1, 0, 0, 0.5);
         cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 1, 0.2);
         cairo_pattern_set_extend(p, CAIRO_EXTEND_REFLECT);
         cairo_set_source(cr, p);
         cairo_pattern_destroy(p);
         cairo_rectangle(cr, 0, 0, 64, 64);
         cairo_fill(cr);
       }},
      {"a repeated radial gradient under its own transform",
       [] {
         dl::GradientHead g;
         g.type = static_cast<std::uint32_t>(dl::GradientType::Radial);
         g.extend = static_cast<std::uint32_t>(dl::Extend::Repeat);
         const double points[6] = {32, 32, 0, 32, 32, 9};
         std::copy(std::begin(points), std::end(points), g.points);
         g.matrix = dl::Matrix{2, 0, 0, 1, -32, 0};
         return ListBuilder().Gradient(g, kTwoStops).PaintAll(ListBuilder::Gradient(0)).Bytes();
       }(),
       [&](cairo_t* cr) {
         cairo_pattern_t* p = cairo_pattern_create_radial(32, 32, 0, 32, 32, 9);
         cairo_pattern_add_color_stop_rgba(p, 0, 1, 0, 0, 1);
         cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 1, 0.4);
         cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
         const cairo_matrix_t m{2, 0, 0, 1, -32, 0};
         cairo_pattern_set_matrix(p, &m);
         cairo_set_source(cr, p);
         cairo_pattern_destroy(p);
         cairo_paint(cr);
       }},
      {"a picture shown faded and enlarged",
       ListBuilder().Picture(2, 2, checker).Image(0, Scale(16, 8, 8), 0.7, dl::Filter::Nearest).Bytes(),
       [&](cairo_t* cr) {
         cairo_surface_t* s = nullptr;
         setChecker(cr, &s);
         cairo_translate(cr, 8, 8);
         cairo_scale(cr, 16, 16);
         cairo_set_source_surface(cr, s, 0, 0);
         cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
         cairo_paint_with_alpha(cr, 0.7);
         cairo_surface_destroy(s);
       }},
      {"a picture repeated as a pattern",
       ListBuilder()
           .Picture(2, 2, checker)
           .Fill(ListBuilder::Pattern(0, Scale(0.25), dl::Extend::Repeat), blob)
           .Bytes(),
       [&](cairo_t* cr) {
         cairo_surface_t* s = nullptr;
         setChecker(cr, &s);
         cairo_pattern_t* p = cairo_pattern_create_for_surface(s);
         cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
         cairo_pattern_set_filter(p, CAIRO_FILTER_GOOD);
         const cairo_matrix_t m{0.25, 0, 0, 0.25, 0, 0};
         cairo_pattern_set_matrix(p, &m);
         cairo_set_source(cr, p);
         cairo_pattern_destroy(p);
         Polyline(cr, blob);
         cairo_fill(cr);
         cairo_surface_destroy(s);
       }},
  };
  for (Row& row : rows) {
    std::string why;
    const std::shared_ptr<const DrawList> list = ReadDrawList(row.list.data(), row.list.size(), &why);
    ASSERT_NE(list, nullptr) << row.name << ": " << why;
    // The hairlines' lists are drawn at a quarter of their own size, and
    // at a quarter across only.
    const bool shrunk = std::string(row.name) == "a hairline under a shrink";
    const bool uneven = std::string(row.name) == "a hairline under an uneven shrink";
    const auto fromList = Painted([&](cairo_t* cr) {
      EXPECT_TRUE(md::imaging::PaintDrawList(list, cr, shrunk || uneven ? 16 : 64, shrunk ? 16 : 64, 1.0))
          << row.name;
    });
    const auto direct = Painted(row.direct);
    EXPECT_LE(LargestDifference(fromList, direct), 1) << row.name;
    EXPECT_NE(fromList, std::vector<std::uint32_t>(64 * 64, 0u)) << row.name << " paints something";
  }
}

}  // namespace

namespace {

// A list of a few hundred curves.
std::shared_ptr<const md::imaging::DrawListDrawing> Curly() {
  ListPath path;
  path.Move(0, 32);
  for (int k = 0; k < 300; ++k) {
    const float x = static_cast<float>(k) / 5;
    path.Curve(x + 0.05f, 10, x + 0.1f, 54, x + 0.2f, 32);
  }
  const std::vector<std::uint8_t> bytes = ListBuilder().Stroke(Pen(0.5), {}, path).Bytes();
  std::string why;
  auto list = ReadDrawList(bytes.data(), bytes.size(), &why);
  EXPECT_NE(list, nullptr) << why;
  return std::make_shared<md::imaging::DrawListDrawing>(list);
}

// A drawing that leaves the context it paints in in error.
class Broken final : public md::canvas::VectorDrawing {
 public:
  void paint(cairo_t* cr, double, double) const override { cairo_scale(cr, 0, 0); }
  bool paintChecked(cairo_t* cr, double width, double height, double) const override {
    paint(cr, width, height);
    return false;
  }
};

std::uintmax_t PdfWith(const std::string& name,
                       const std::vector<std::shared_ptr<const md::canvas::VectorDrawing>>& shown,
                       bool* finished) {
  const std::string path = std::string(MD_TEST_OUTPUT_DIR) + "/" + name + ".pdf";
  auto canvas = md::canvas::CairoCanvas::createPdf(path, 100, 100, 254);
  EXPECT_NE(canvas, nullptr);
  for (std::size_t k = 0; k < shown.size(); ++k) {
    const double x = 10 + 100.0 * static_cast<double>(k % 4), y = 10 + 300.0 * static_cast<double>(k / 4);
    canvas->drawVectors(shown[k], {x, y}, {x + 90, y + 90}, {});
  }
  md::canvas::Shape box;
  box.kind = md::canvas::ShapeKind::Rectangle;
  box.paths = {md::canvas::SubPath{{{600, 600}, {800, 600}, {800, 800}, {600, 800}}, true}};
  box.fill = true;
  md::canvas::Brush brush;
  brush.color = 0x0000FF;
  canvas->drawShape(box, md::canvas::Pen{}, brush, {});
  *finished = canvas->finish();
  canvas.reset();
  return std::filesystem::file_size(path);
}

// A list painted as a vector canvas paints it, then onto a raster and an SVG
// page of 24 x 16 units (drawlist_input.h): the raster's pixels, or none
// where cairo is in error after either; the paints left out in *leftOut.
std::vector<std::uint32_t> PaintedSmall(const std::vector<std::uint8_t>& bytes, std::size_t* leftOut) {
  std::string why;
  const std::shared_ptr<const DrawList> list = ReadDrawList(bytes.data(), bytes.size(), &why);
  EXPECT_NE(list, nullptr) << why;
  if (list == nullptr) return {};
  cairo_surface_t* raster = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 24, 16);
  cairo_surface_t* svg = cairo_svg_surface_create_for_stream(
      [](void*, const unsigned char*, unsigned int) { return CAIRO_STATUS_SUCCESS; }, nullptr, 24, 16);
  bool ok = md::test::PaintedOnto(list, {raster, svg}, leftOut);
  EXPECT_EQ(md::imaging::PaintsLeftOut(list, 24, 16, 1.0), *leftOut) << "found without painting";
  cairo_surface_finish(svg);
  ok = ok && cairo_surface_status(svg) == CAIRO_STATUS_SUCCESS;
  std::vector<std::uint32_t> out;
  for (int y = 0; ok && y < 16; ++y) {
    const auto* row = cairo_image_surface_get_data(raster) + y * cairo_image_surface_get_stride(raster);
    out.insert(out.end(), reinterpret_cast<const std::uint32_t*>(row),
               reinterpret_cast<const std::uint32_t*>(row) + 24);
  }
  cairo_surface_destroy(svg);
  cairo_surface_destroy(raster);
  return out;
}

// A paint whose pattern a box squeezes past the fixed-point range a raster
// samples it in: a linear gradient is painted as it means (as the same
// gradient unsqueezed along the axis it does not vary on); another paint is
// left out, and counted, and the rest of the drawing painted.
TEST(ImagingDrawList, APaintSqueezedPastARastersRangeIsPaintedAsItMeansOrLeftOut) {
  const auto squeezed = [](dl::GradientHead g, double squeeze) {
    g.matrix.yy = squeeze;  // the gradient's space squeezed across the way it runs
    return ListBuilder()
        .Gradient(g, kTwoStops)
        .Fill(ListBuilder::Gradient(0), ListPath().Rect(0, 0, 64, 64))
        .Fill(ListBuilder::Colour(0, 1, 0), ListPath().Rect(0, 0, 16, 16))
        .Bytes();
  };
  dl::GradientHead radial;
  radial.type = static_cast<std::uint32_t>(dl::GradientType::Radial);
  radial.extend = static_cast<std::uint32_t>(dl::Extend::Pad);
  const double circles[6] = {32, 32, 0, 32, 32, 16};
  std::copy(std::begin(circles), std::end(circles), radial.points);
  // A drawing 400 units wide and `height` tall filled with a gradient across
  // it, which repeats no more often than the tallest drawing allows.
  const auto tall = [](double height, dl::Extend extend) {
    ListBuilder b(400, height);
    b.Gradient(Linear(-300, 0, 724, 0, extend), kTwoStops)
        .Fill(ListBuilder::Gradient(0), ListPath().Rect(0, 0, 400, static_cast<float>(height)));
    return b.Bytes();
  };
  const std::vector<std::uint32_t> pixel = {0xFF0000FFu};
  // A picture of a black and a white pixel repeated in stripes 8 units
  // wide, its pattern shifted by `shift` of its own pixels.
  const auto stripes = [](double shift) {
    return ListBuilder()
        .Picture(2, 1, {0xFF000000u, 0xFFFFFFFFu})
        .PaintAll(ListBuilder::Pattern(0, dl::Matrix{0.125, 0, 0, 0.125, shift, 0}, dl::Extend::Repeat))
        .Bytes();
  };
  const struct {
    const char* name;
    std::vector<std::uint8_t> list, same;  // same: painted alike, nothing left out
    std::size_t leftOut;
  } rows[] = {
      {"a linear gradient", squeezed(Linear(0, 0, 64, 0, dl::Extend::None), 16000),
       squeezed(Linear(0, 0, 64, 0, dl::Extend::None), 1), 0},
      {"a padded linear gradient", squeezed(Linear(8, 0, 40, 0, dl::Extend::Pad), 16000),
       squeezed(Linear(8, 0, 40, 0, dl::Extend::Pad), 1), 0},
      {"a gradient of a drawing 2^20 units tall", tall(1048576, dl::Extend::None),
       tall(400, dl::Extend::None), 0},
      {"a padded gradient of a drawing 2^20 units tall", tall(1048576, dl::Extend::Pad),
       tall(400, dl::Extend::Pad), 0},
      {"a repeated gradient of a drawing 2^20 units tall", tall(1048576, dl::Extend::Repeat),
       tall(400, dl::Extend::Repeat), 0},
      {"a reflected gradient of a drawing 2^20 units tall", tall(1048576, dl::Extend::Reflect),
       tall(400, dl::Extend::Reflect), 0},
      {"a radial gradient", squeezed(radial, 16000),
       ListBuilder().Fill(ListBuilder::Colour(0, 1, 0), ListPath().Rect(0, 0, 16, 16)).Bytes(), 1},
      {"a picture shown squeezed",
       ListBuilder(400, 1048576)
           .Picture(1, 1, pixel)
           .Image(0, dl::Matrix{100, 0, 0, 0.001, 0, 0})
           .Fill(ListBuilder::Colour(0, 1, 0), ListPath().Rect(0, 0, 100, 262144))
           .Bytes(),
       ListBuilder(400, 1048576)
           .Fill(ListBuilder::Colour(0, 1, 0), ListPath().Rect(0, 0, 100, 262144))
           .Bytes(),
       1},
      {"a repeated picture shifted far by whole pictures", stripes(-262144), stripes(0), 0},
      {"a repeated picture shifted far by a pixel more", stripes(-262145), stripes(-1), 0},
  };
  for (const auto& row : rows) {
    std::size_t leftOut = 99, none = 99;
    const std::vector<std::uint32_t> painted = PaintedSmall(row.list, &leftOut);
    const std::vector<std::uint32_t> same = PaintedSmall(row.same, &none);
    if (painted.empty()) {
      ADD_FAILURE() << row.name << ": cairo is in error";
      continue;
    }
    EXPECT_EQ(leftOut, row.leftOut) << row.name;
    EXPECT_EQ(none, 0u) << row.name;
    EXPECT_LE(LargestDifference(painted, same), 2) << row.name;
    EXPECT_NE(painted, std::vector<std::uint32_t>(painted.size(), 0u)) << row.name << " paints something";
  }
}

// The list of the 64-wide drawing filled with the gradient `g`.
std::vector<std::uint8_t> FilledWith(const dl::GradientHead& g, const std::vector<dl::GradientStop>& stops) {
  return ListBuilder()
      .Gradient(g, stops)
      .Fill(ListBuilder::Gradient(0), ListPath().Rect(0, 0, 64, 64))
      .Bytes();
}

// The gradient `p` (taken) with its stops, repeated or reflected under
// `matrix`, as cairo paints it over the 64-wide drawing on a raster of 128 x
// 128.
std::vector<std::uint32_t> CairosRepeat(cairo_pattern_t* p, const std::vector<dl::GradientStop>& stops,
                                        dl::Extend extend, const dl::Matrix& matrix) {
  for (const dl::GradientStop& stop : stops)
    cairo_pattern_add_color_stop_rgba(p, stop.offset, stop.rgba[0], stop.rgba[1], stop.rgba[2], stop.rgba[3]);
  cairo_pattern_set_extend(p, extend == dl::Extend::Repeat ? CAIRO_EXTEND_REPEAT : CAIRO_EXTEND_REFLECT);
  const cairo_matrix_t m{matrix.xx, matrix.yx, matrix.xy, matrix.yy, matrix.x0, matrix.y0};
  cairo_pattern_set_matrix(p, &m);
  const std::vector<std::uint32_t> pixels = PaintedPixels(128, [&](cairo_t* cr) {
    cairo_scale(cr, 2, 2);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, 0, 0, 64, 64);
    cairo_fill(cr);
  });
  cairo_pattern_destroy(p);
  return pixels;
}

// A linear gradient repeated or reflected is painted with its repeats laid
// out over the drawing (so that a vector file writes those, not a page's
// worth): its pixels are cairo's own repeat's, under a transform that turns
// it too, wherever its periods start.
TEST(ImagingDrawList, ARepeatedGradientPaintsAsCairoRepeatsIt) {
  const std::vector<dl::GradientStop> stops = {{0, {1, 0, 0, 1}}, {0.3, {0, 1, 0, 0.5}}, {1, {0, 0, 1, 1}}};
  const struct {
    dl::Extend extend;
    double x0, y0, x1, y1;
    dl::Matrix matrix;
  } rows[] = {{dl::Extend::Repeat, 20, 10, 30, 25, {}},
              {dl::Extend::Reflect, 20, 10, 30, 25, {}},
              {dl::Extend::Reflect, -200.5, 3, -190, 3, {}},
              {dl::Extend::Repeat, 5, 5, 9, 5, dl::Matrix{0.6, 0.8, -0.8, 0.6, 3, -7}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "from " << row.x0 << " to " << row.x1);
    dl::GradientHead g = Linear(row.x0, row.y0, row.x1, row.y1, row.extend);
    g.matrix = row.matrix;
    const std::vector<std::uint8_t> bytes = FilledWith(g, stops);
    const std::vector<std::uint32_t> painted = ListPixels(bytes, 128);
    const std::vector<std::uint32_t> cairos = CairosRepeat(
        cairo_pattern_create_linear(row.x0, row.y0, row.x1, row.y1), stops, row.extend, row.matrix);
    const int apart = MostApart(painted, cairos);
    EXPECT_LE(apart, 2);
  }
}

// The bytes of a PDF page of side x side points with the list painted over
// its corner of 64 x 64 points.
std::size_t PdfBytesOnPage(const std::vector<std::uint8_t>& bytes, double side) {
  std::string why;
  const std::shared_ptr<const DrawList> list = ReadDrawList(bytes.data(), bytes.size(), &why);
  EXPECT_NE(list, nullptr) << why;
  if (list == nullptr) return 0;
  std::size_t written = 0;
  cairo_surface_t* file = cairo_pdf_surface_create_for_stream(
      [](void* out, const unsigned char*, unsigned int length) {
        *static_cast<std::size_t*>(out) += length;
        return CAIRO_STATUS_SUCCESS;
      },
      &written, side, side);
  cairo_t* cr = cairo_create(file);
  cairo_rectangle(cr, 0, 0, 64, 64);
  cairo_clip(cr);
  EXPECT_TRUE(md::imaging::PaintDrawList(list, cr, 64, 64, 72.0 / 300));
  cairo_destroy(cr);
  cairo_surface_finish(file);
  cairo_surface_destroy(file);
  return written;
}

// A radial gradient repeated or reflected is painted with its repeats laid
// out over the drawing, as a linear one's: its pixels are cairo's own
// repeat's, wherever its circles start, and a vector file's page ten times
// the drawing's side holds about what one of the drawing's size does, not a
// hundred times its repeats.
TEST(ImagingDrawList, ARepeatedRadialGradientIsLaidOutOverTheDrawing) {
  const std::vector<dl::GradientStop> stops = {
      {0.1, {1, 0, 0, 1}}, {0.6, {0, 1, 0, 0.5}}, {0.9, {0, 0, 1, 1}}};
  const struct {
    const char* name;
    dl::Extend extend;
    double circles[6];
    dl::Matrix matrix;
  } rows[] = {
      {"repeated about the middle", dl::Extend::Repeat, {32, 32, 0, 32, 32, 1.5}, {}},
      {"reflected, from a circle", dl::Extend::Reflect, {32, 32, 0.7, 32, 32, 2.2}, {}},
      {"from a point off the drawing", dl::Extend::Repeat, {-40, 10, 0, -40, 10, 1.25}, {}},
      {"off its centre, its first circle a point", dl::Extend::Repeat, {30, 33, 0, 32, 32, 3}, {}},
      {"off its centre, its first circle within", dl::Extend::Reflect, {31.5, 31.6, 0.5, 32, 32, 2.5}, {}},
      {"turned and squeezed",
       dl::Extend::Repeat,
       {0, 0, 0.2, 0.1, 0, 1.5},
       dl::Matrix{0.3, 0.4, -0.8, 0.6, -30, 6}},
  };
  for (const auto& row : rows) {
    dl::GradientHead g;
    g.type = static_cast<std::uint32_t>(dl::GradientType::Radial);
    g.extend = static_cast<std::uint32_t>(row.extend);
    std::copy(std::begin(row.circles), std::end(row.circles), g.points);
    g.matrix = row.matrix;
    const std::vector<std::uint8_t> bytes = FilledWith(g, stops);
    const std::vector<std::uint32_t> painted = ListPixels(bytes, 128);
    const double* v = row.circles;
    const std::vector<std::uint32_t> cairos = CairosRepeat(
        cairo_pattern_create_radial(v[0], v[1], v[2], v[3], v[4], v[5]), stops, row.extend, row.matrix);
    EXPECT_LE(MostApart(painted, cairos), 2) << row.name;
    const std::size_t own = PdfBytesOnPage(bytes, 64), page = PdfBytesOnPage(bytes, 640);
    EXPECT_LT(page, own + own / 4) << row.name << ": " << own << " bytes on a page of its size";
  }
}

TEST(ImagingDrawList, ADrawingShownEightTimesGoesIntoAVectorFileOnce) {
  const auto curly = Curly();
  bool finished = false;
  const std::uintmax_t once = PdfWith("curly-once", {curly}, &finished);
  EXPECT_TRUE(finished);
  const std::uintmax_t eight = PdfWith(
      "curly-eight", std::vector<std::shared_ptr<const md::canvas::VectorDrawing>>(8, curly), &finished);
  EXPECT_TRUE(finished);
  // Each further showing is a reference to the one object, not its paths again.
  EXPECT_LT(eight, once + once / 4) << once << " bytes once";
}

TEST(ImagingDrawList, ADrawingThatPutsCairoInErrorCostsOnlyItself) {
  bool finished = false;
  PdfWith("broken-drawing", {std::make_shared<Broken>(), Curly()}, &finished);
  EXPECT_TRUE(finished) << "the page's context is not left in error";
  auto raster = md::canvas::CairoCanvas::createImage(64, 64);
  EXPECT_FALSE(raster->drawVectors(std::make_shared<Broken>(), {0, 0}, {64, 64}, {}));
}

// A drawing clipped to a corner holds its clip in a vector file at the page
// resolution a print takes (2,540 dpi, 1/36 point a device pixel), as it
// does at a point a pixel: there a picture repeated over the whole drawing
// within a clip came out unclipped.
TEST(ImagingDrawList, AClippedDrawingKeepsItsClipInAVectorFileAtAnyResolution) {
  if (!md::test::HavePrograms({"pdftoppm"})) GTEST_SKIP() << "poppler's tools are not installed";
  const std::vector<std::uint8_t> bytes =
      ListBuilder(2244, 3272)
          .Picture(2, 2, {0xFF0000FFu, 0xFF00FF00u, 0xFF00FF00u, 0xFF0000FFu})
          .PushClip(ListPath().Rect(0, 0, 508, 366))
          .Fill(ListBuilder::Pattern(0, Scale(0.05), dl::Extend::Repeat), ListPath().Rect(0, 0, 2244, 3272))
          .PopClip()
          .Bytes();
  std::string why;
  const auto drawing =
      std::make_shared<md::imaging::DrawListDrawing>(ReadDrawList(bytes.data(), bytes.size(), &why));
  ASSERT_NE(drawing->List(), nullptr) << why;
  for (const double dpi : {72.0, md::canvas::CairoCanvas::kVectorDpi}) {
    const std::string pdf =
        std::string(MD_TEST_OUTPUT_DIR) + "/clipped-corner-" + std::to_string(int(dpi)) + ".pdf";
    {
      auto canvas = md::canvas::CairoCanvas::createPdf(pdf, 100, 75, dpi);
      ASSERT_TRUE(canvas->drawVectors(
          drawing, {0, 0}, {static_cast<double>(canvas->width()), static_cast<double>(canvas->height())},
          {}));
      ASSERT_TRUE(canvas->finish());
    }
    md::test::CheckedOutput("pdftoppm -r 50 -png -singlefile '" + pdf + "' '" + pdf + "'");
    md::canvas::Raster page;
    ASSERT_TRUE(md::canvas::ReadPng(pdf + ".png", &page, &why)) << why;
    // Inside the corner the picture; outside it nothing.
    EXPECT_NE(page.at(page.width / 20, page.height / 20), 0xFFFFFFu) << dpi;
    EXPECT_EQ(page.at(page.width * 3 / 4, page.height * 3 / 4), 0xFFFFFFu) << dpi;
  }
}

// The list painted over a box of side x side points of a PDF file, with
// `dot`, as a vector canvas paints it (into a recording first): the sizes of
// the pictures the file holds, "W x H" each, sorted; the paints left out in
// *leftOut.
std::vector<std::string> PdfPictureSizes(const std::vector<std::uint8_t>& bytes, double side, double dot,
                                         std::size_t* leftOut = nullptr) {
  std::string why;
  const std::shared_ptr<const DrawList> list = ReadDrawList(bytes.data(), bytes.size(), &why);
  if (list == nullptr) {
    ADD_FAILURE() << why;
    return {};
  }
  const cairo_rectangle_t box{0, 0, side, side};
  cairo_surface_t* recording = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &box);
  cairo_t* cr = cairo_create(recording);
  EXPECT_TRUE(md::imaging::PaintDrawList(list, cr, side, side, dot, leftOut));
  cairo_destroy(cr);
  std::string pdf;
  cairo_surface_t* file = cairo_pdf_surface_create_for_stream(
      [](void* out, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(out)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
      },
      &pdf, side, side);
  cr = cairo_create(file);
  cairo_set_source_surface(cr, recording, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_finish(file);
  EXPECT_EQ(cairo_surface_status(file), CAIRO_STATUS_SUCCESS);
  cairo_surface_destroy(file);
  cairo_surface_destroy(recording);
  std::vector<std::string> sizes;
  for (std::size_t at = pdf.find("/Subtype /Image"); at != std::string::npos;
       at = pdf.find("/Subtype /Image", at + 1)) {
    int w = 0, h = 0;
    const std::size_t width = pdf.find("/Width ", at), height = pdf.find("/Height ", at);
    if (width == std::string::npos || height == std::string::npos) break;
    std::sscanf(pdf.c_str() + width, "/Width %d", &w);
    std::sscanf(pdf.c_str() + height, "/Height %d", &h);
    sizes.push_back(std::to_string(w) + " x " + std::to_string(h));
  }
  std::sort(sizes.begin(), sizes.end());
  return sizes;
}

// Opaque grey pixels of a smooth ramp, w x h.
std::vector<std::uint32_t> Ramp(int w, int h) {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) pixels.push_back(0xFF000000u | 0x010101u * ((x + y) * 255 / (w + h)));
  return pixels;
}

// A picture goes into a vector file with no more pixels either way than the
// dots it covers there, after the list's and its record's transforms; one
// of fewer keeps its own.
TEST(ImagingDrawList, APictureGoesIntoAVectorFileAtTheDotsItCovers) {
  // The list of 64 units: a picture of w x h shown under `m`, and one of 8 x
  // 8 over its corner.
  const auto shown = [](int w, int h, dl::Matrix m) {
    return ListBuilder()
        .Picture(w, h, Ramp(w, h))
        .Picture(8, 8, Ramp(8, 8))
        .Image(0, m)
        .Image(1, Scale(2))
        .Bytes();
  };
  const struct {
    const char* name;
    std::vector<std::uint8_t> list;
    double side, dot;
    std::vector<std::string> sizes;
  } rows[] = {
      {"shown over the drawing", shown(256, 256, Scale(0.25)), 64, 1, {"64 x 64", "8 x 8"}},
      {"at a dot of 4 points", shown(256, 256, Scale(0.25)), 64, 4, {"16 x 16", "4 x 4"}},
      {"in a box of 16 points", shown(256, 256, Scale(0.25)), 16, 1, {"16 x 16", "4 x 4"}},
      {"squeezed one way only", shown(256, 32, dl::Matrix{0.25, 0, 0, 2, 0, 0}), 64, 1, {"64 x 32", "8 x 8"}},
      {"turned a quarter",
       shown(256, 128, dl::Matrix{0, 0.125, -0.25, 0, 64, 0}),
       64,
       1,
       {"32 x 32", "8 x 8"}},
      {"repeated in tiles of 8 units",
       ListBuilder()
           .Picture(64, 64, Ramp(64, 64))
           .PaintAll(ListBuilder::Pattern(0, Scale(8), dl::Extend::Repeat))
           .Bytes(),
       64,
       2,
       {"4 x 4"}},
      {"within a group",
       ListBuilder().Picture(128, 128, Ramp(128, 128)).PushGroup().Image(0, Scale(0.5)).PopGroup(0.5).Bytes(),
       32,
       1,
       {"32 x 32"}},
  };
  for (const auto& row : rows) EXPECT_EQ(PdfPictureSizes(row.list, row.side, row.dot), row.sizes) << row.name;
}

// A repeated picture whose pixels a raster of the box's dot could not
// sample (pixman's fixed-point range) is left out, and counted: however
// finely the reader lets it repeat across the drawing, a box of less than a
// dot, or a coarse dot, squeezes it further.
TEST(ImagingDrawList, ARepeatedPictureSqueezedPastADotIsLeftOut) {
  // 8,192 pixels across the 64 units of the drawing, the reader's most.
  const std::vector<std::uint8_t> fine =
      ListBuilder()
          .Picture(8, 8, Ramp(8, 8))
          .PaintAll(ListBuilder::Pattern(0, Scale(8192 / 64.0), dl::Extend::Repeat))
          .Fill(ListBuilder::Colour(0, 1, 0), ListPath().Rect(0, 0, 32, 32))
          .Bytes();
  std::string why;
  const auto list = ReadDrawList(fine.data(), fine.size(), &why);
  ASSERT_NE(list, nullptr) << why;
  const struct {
    const char* name;
    double side, dot;
  } rows[] = {{"a box of half a dot", 0.5, 1}, {"a dot of 128 units", 64, 128}, {"both", 0.25, 4}};
  for (const auto& row : rows) {
    std::size_t leftOut = 99;
    EXPECT_EQ(PdfPictureSizes(fine, row.side, row.dot, &leftOut), std::vector<std::string>()) << row.name;
    EXPECT_EQ(leftOut, 1u) << row.name;
    EXPECT_EQ(md::imaging::PaintsLeftOut(list, row.side, row.side, row.dot), 1u) << row.name;
  }
}

}  // namespace

// A dashed stroke is cut into dashes where the drawing shows it: a path run
// far past the drawing (out to the coordinates' bound, 2^20) is stroked by
// the runs of it near the drawing alone, its dashes begun where they fall on
// the whole path, so that its cost, and what a vector file holds of it, is
// what the drawing shows; one that stays near is stroked whole. Its pixels
// are those of the whole path stroked.
TEST(ImagingDrawList, ADashedStrokeIsCutWhereTheDrawingShowsIt) {
  constexpr float kFar = 1048575;
  const struct {
    const char* name;
    ListPath path;
    double width;
    dl::Cap cap;
  } rows[] = {
      {"a curve out to the bound", ListPath().Move(8, 8).Curve(kFar / 3, 40, kFar * 2 / 3, 20, kFar, 30), 6,
       dl::Cap::Round},
      {"a line out and back", ListPath().Move(-kFar, 20).Line(kFar, 40).Line(10, 50), 3, dl::Cap::Butt},
      {"a polygon closed far out", ListPath().Move(kFar, kFar).Line(10, 10).Line(50, 12).Close(), 4,
       dl::Cap::Square},
      {"a polygon closed near", ListPath().Move(10, 10).Line(50, 12).Line(30, 50).Close(), 4, dl::Cap::Round},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<double> dashes = {23, 17, 3, 37};
    const std::vector<std::uint8_t> bytes =
        ListBuilder().Stroke(Pen(row.width, row.cap, dl::Join::Round), dashes, row.path).Bytes();
    // Its pixels, painted from the list and by cairo from the whole path.
    const std::vector<std::uint32_t> painted = ListPixels(bytes, 64);
    const std::vector<std::uint32_t> cairos = PaintedPixels(64, [&](cairo_t* cr) {
      std::size_t at = 0;
      for (const dl::Verb verb : row.path.verbs) {
        const float* q = row.path.points.data() + at;
        if (verb == dl::Verb::Move) cairo_move_to(cr, q[0], q[1]), at += 2;
        if (verb == dl::Verb::Line) cairo_line_to(cr, q[0], q[1]), at += 2;
        if (verb == dl::Verb::Curve) cairo_curve_to(cr, q[0], q[1], q[2], q[3], q[4], q[5]), at += 6;
        if (verb == dl::Verb::Close) cairo_close_path(cr);
      }
      cairo_set_line_width(cr, row.width);
      cairo_set_line_cap(cr, row.cap == dl::Cap::Round    ? CAIRO_LINE_CAP_ROUND
                             : row.cap == dl::Cap::Square ? CAIRO_LINE_CAP_SQUARE
                                                          : CAIRO_LINE_CAP_BUTT);
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
      cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), 0);
      cairo_stroke(cr);
    });
    int shown = 0;
    for (const std::uint32_t pixel : cairos) shown += pixel != 0;
    const int apart = MostApart(painted, cairos);
    EXPECT_GT(shown, 100);
    EXPECT_LE(apart, 8);
    // What an SVG file holds of it: no point past a few drawings' widths.
    std::string why;
    const auto list = md::imaging::ReadDrawList(bytes.data(), bytes.size(), &why);
    ASSERT_NE(list, nullptr) << why;
    std::string svg;
    cairo_surface_t* file = cairo_svg_surface_create_for_stream(
        [](void* out, const unsigned char* data, unsigned int n) {
          static_cast<std::string*>(out)->append(reinterpret_cast<const char*>(data), n);
          return CAIRO_STATUS_SUCCESS;
        },
        &svg, 64, 64);
    cairo_t* cr = cairo_create(file);
    EXPECT_TRUE(md::imaging::PaintDrawList(list, cr, 64, 64, 1.0));
    cairo_destroy(cr);
    cairo_surface_destroy(file);
    double farthest = 0;
    for (std::size_t at = svg.find(" d=\""); at != std::string::npos; at = svg.find(" d=\"", at + 1)) {
      const std::size_t close = svg.find('"', at + 4);
      std::istringstream data(svg.substr(at + 4, close - at - 4));
      for (std::string word; data >> word;)
        if (word.find_first_of("0123456789") != std::string::npos)
          farthest = std::max(farthest, std::fabs(std::stod(word)));
    }
    EXPECT_LT(farthest, 64.0 * 3);
  }
}
