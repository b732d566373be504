// Icons, cursors and metafiles: the image an icon directory's choice gives,
// its mask and alpha; metafiles drawn at their own size (render checks), in
// their frames' place, their texts in their fonts' character sets, the
// records their libraries misread drawn as they mean; damaged
// files refused with their reason; the helper program a metafile is drawn in,
// stopped on a crash, a loop or too much memory or when it hangs after its
// answer, ending with whatever it started and kept from the host's output,
// waited for idly whatever the host does with SIGCHLD, tried again when it
// could not start, and started afresh whatever locks the host's other
// threads hold (its sandbox: test_helpersandbox.cpp).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <glib-object.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>

#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "platform/files/errortext.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/draw.h"
#include "platform/imaging/helper/charset.h"
#include "platform/imaging/helper/emfstrings.h"
#include "platform/imaging/helper/target.h"
#include "platform/imaging/isolate.h"
#include "platform/imaging/loader.h"
#include "platform/imaging/metafile.h"
#include "platform/imaging/metafilelimits.h"
#include "platform/imaging/metafilevectors.h"
#include "platform/imaging/protocol/fences.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/platform/imaging/drawn.h"
#include "tests/platform/imaging/metafiles.h"
#include "tests/support/rendercheck.h"

namespace {

using namespace md::imaging;
namespace f = md::test::imagefiles;
namespace m = md::test::metafiles;

// A file of tests/platform/imaging/data (its refused ones are fuzzing seeds too).
f::Bytes Data(const char* name) {
  const auto bytes =
      md::test::fuzz::ReadInput(std::filesystem::path(MD_SOURCE_DIR) / "tests/platform/imaging/data" / name);
  return f::Bytes(bytes.begin(), bytes.end());
}

// Quadrants with the top-left pixel clear.
std::uint32_t Clear00(int x, int y, int w, int h) {
  return x == 0 && y == 0 ? 0u : 0xFF000000u | f::Quadrants(x, y, w, h);
}

struct Sample {
  const char* name;
  f::Bytes bytes;
  Format format;
  int width, height;
  int x, y;             // a pixel to look at
  std::uint32_t pixel;  // its premultiplied colour
};

// Files of records the metafile libraries misread: a WMF of 2 x 1 inches
// at 1000 units an inch over `records`, and an EMF of an inch at a
// reference device of 100 dpi over `records`, in MM_TEXT unless they map.
f::Bytes Wmf2x1(const std::vector<m::WmfRecord>& records) {
  std::vector<m::WmfRecord> all = {{0x020C, {1000, 2000}}, {0x020B, {0, 0}}};  // window extent, origin
  all.insert(all.end(), records.begin(), records.end());
  return m::Wmf(2000, 1000, 1000, all, 1);
}
f::Bytes Emf1(const std::vector<m::EmfRecord>& records) { return m::Emf(2540, 2540, records, 2); }
std::uint32_t Float(float v) { return std::bit_cast<std::uint32_t>(v); }

// A 2 x 2 blue bitmap stretched over (0, 40) to (100, 60) of an inch.
f::Bytes StretchedBitmapEmf() {
  std::vector<std::uint32_t> words = {0, 40,          100, 60, 0,  40, 0, 0,           2, 2,  80, 40, 120, 16,
                                      0, 0x00CC0020u, 100, 20, 40, 2,  2, 0x00180001u, 0, 16, 0,  0,  0,   0};
  for (int row = 0; row < 2; ++row) words.insert(words.end(), {0xFF0000FFu, 0u});  // two blue pixels, padded
  return Emf1({{81, words}});
}

std::vector<Sample> Samples() {
  const auto quad = [](int w, int h) { return f::Opaque(w, h); };
  const std::vector<std::uint16_t> red = {0, 0xFF, 0, 0};  // a solid brush's style, colour and hatch
  const f::Bytes anisotropicPen = Wmf2x1({{0x0103, {8}},   // anisotropic mapping
                                          {0x02FA, {0, 100, 0, 0, 0}},  // a pen 0.1 inch wide
                                          {0x012D, {0}},
                                          {0x0325, {2, 100, 500, 1900, 500}}});  // a line across the middle
  const f::Bytes openPath = Emf1({{38, {1, 0, 4, 0, 0}},                         // a pen of four pixels
                                  {37, {1}},
                                  {59, {}},
                                  {27, {10, 10}},
                                  {54, {90, 10}},
                                  {54, {90, 90}},
                                  {60, {}},
                                  {64, {0, 0, 0xFFFFFFFFu, 0xFFFFFFFFu}}});  // stroked, its figure open
  const f::Bytes mappedPen = Emf1({{17, {8}},  // anisotropic: a unit a tenth of a pixel
                                   {9, {1000, 1000}},
                                   {11, {100, 100}},
                                   {38, {1, 0, 200, 0, 0}},  // a pen of 20 pixels
                                   {37, {1}},
                                   {27, {100, 500}},
                                   {54, {900, 500}}});
  // A red square filled by a path over the whole picture after `clip`.
  const auto clippedFill = [](std::vector<m::EmfRecord> clip) {
    const std::vector<m::EmfRecord> fill = {{39, {1, 0, m::Ref(0xFF0000), 0}},
                                            {37, {1}},
                                            {59, {}},
                                            {27, {0, 0}},
                                            {54, {100, 0}},
                                            {54, {100, 100}},
                                            {54, {0, 100}},
                                            {60, {}},
                                            {62, {0, 0, 0xFFFFFFFFu, 0xFFFFFFFFu}}};
    clip.insert(clip.end(), fill.begin(), fill.end());
    return Emf1(clip);
  };
  const std::vector<m::EmfRecord> leftHalf = {{59, {}},       {27, {0, 0}}, {54, {50, 0}}, {54, {50, 100}},
                                              {54, {0, 100}}, {60, {}},     {67, {5}}};  // SelectClipPath
  const f::Bytes pathClip = clippedFill(leftHalf), rectClip = clippedFill({{30, {0, 0, 50, 100}}});
  // A block (U+2588, its face's whole height) of a font `size` high at
  // (10, y) aligned by `align`, turned by `tenths` of a degree.
  const auto block = [](std::uint32_t align, int size, int y, std::uint32_t tenths = 0) {
    std::vector<std::uint32_t> font = {1, static_cast<std::uint32_t>(-size), 0, tenths, tenths, 400, 0, 0};
    const std::u16string face = u"DejaVu Sans";
    for (std::size_t k = 0; k < 32; k += 2)
      font.push_back((k < face.size() ? face[k] : 0u) | (k + 1 < face.size() ? face[k + 1] << 16 : 0u));
    return Emf1({{82, font},
                 {37, {1}},
                 {22, {align}},
                 {84,
                  {0, 0, 100, 100, 1, Float(1), Float(1), 10, static_cast<std::uint32_t>(y), 1, 76, 0, 0, 0,
                   0, 0, 0, 0x2588}}});
  };
  return {
      {"ico: the largest image, a PNG",
       m::Icon(1, {{16, 16, 24, m::IconDib(16, 16, 24, quad(16, 16))},
                   {32, 32, 32, f::Png(32, 32, quad(32, 32))}}),
       Format::Ico, 32, 32, 24, 8, 0xFF00FF00u},
      {"ico: the deepest of two images of one size",
       m::Icon(1, {{8, 8, 24, m::IconDib(8, 8, 24, quad(8, 8))},
                   {8, 8, 32, m::IconDib(8, 8, 32, [](int, int) { return 0x80FF0000u; })}}),
       Format::Ico, 8, 8, 6, 6, 0x80800000u},
      {"ico: a 24-bit image whose mask clears a pixel",
       m::Icon(1, {{6, 4, 24, m::IconDib(6, 4, 24, [](int x, int y) { return Clear00(x, y, 6, 4); })}}),
       Format::Ico, 6, 4, 0, 0, 0u},
      {"ico: the masked image's other pixels stay",
       m::Icon(1, {{6, 4, 24, m::IconDib(6, 4, 24, [](int x, int y) { return Clear00(x, y, 6, 4); })}}),
       Format::Ico, 6, 4, 5, 3, 0xFFFFFFFFu},
      {"cur: a 24-bit image", m::Icon(2, {{10, 6, 24, m::IconDib(10, 6, 24, quad(10, 6))}}), Format::Cur, 10,
       6, 2, 4, 0xFF0000FFu},
      {"ico: the largest image beside a damaged smaller one", Data("ico-smaller-image-runs-past-the-end.ico"),
       Format::Ico, 4, 4, 1, 2, 0xFFFF0000u},
      {"wmf: the ellipse's inside", m::SampleWmf(), Format::Wmf, 600, 300, 150, 180, 0xFF0000FFu},
      {"wmf: the rectangle's inside", m::SampleWmf(), Format::Wmf, 600, 300, 450, 180, 0xFFFF0000u},
      {"emf: the ellipse's inside", m::SampleEmf(), Format::Emf, 591, 295, 148, 148, 0xFF0000FFu},
      {"emf: the triangle's inside", m::SampleEmf(), Format::Emf, 591, 295, 443, 200, 0xFFFF0000u},
      {"wmf: a polypolygon beside an empty polygon",
       Wmf2x1({{0x02FC, red}, {0x012D, {0}}, {0x0538, {2, 4, 0, 200, 200, 1800, 200, 1800, 800, 200, 800}}}),
       Format::Wmf, 600, 300, 300, 150, 0xFFFF0000u},
      {"wmf: a pen made after a switch to an anisotropic mapping", anisotropicPen, Format::Wmf, 600, 300, 300,
       162, 0xFF000000u},
      {"wmf: ... is as wide down as across", anisotropicPen, Format::Wmf, 600, 300, 300, 172, 0u},
      {"emf: a stroked path's open figure stays open", openPath, Format::Emf, 300, 300, 150, 150, 0u},
      {"emf: ... drawn along its lines", openPath, Format::Emf, 300, 300, 150, 30, 0xFF000000u},
      {"emf: a bitmap stretched over its box", StretchedBitmapEmf(), Format::Emf, 300, 300, 15, 150,
       0xFF0000FFu},
      {"emf: a shape after a RestoreDC undoes a transform",
       Emf1({{33, {}},
             {35, {Float(1), Float(0), Float(0), Float(1), Float(1000), Float(0)}},  // far to the right
             {34, {0xFFFFFFFFu}},
             {39, {1, 0, m::Ref(0xFF0000), 0}},
             {37, {1}},
             {43, {20, 20, 80, 80}}}),
       Format::Emf, 300, 300, 150, 150, 0xFFFF0000u},
      {"emf: a CreatePen's width through the mapping", mappedPen, Format::Emf, 300, 300, 150, 170,
       0xFF000000u},
      {"emf: ... no wider", mappedPen, Format::Emf, 300, 300, 150, 200, 0u},
      {"emf: a path filled within the clip a path selects", pathClip, Format::Emf, 300, 300, 75, 150,
       0xFFFF0000u},
      {"emf: ... and not past it", pathClip, Format::Emf, 300, 300, 225, 150, 0u},
      {"emf: a path filled within an IntersectClipRect", rectClip, Format::Emf, 300, 300, 225, 150, 0u},
      {"emf: a pie drawn under a clip",
       Emf1({{30, {0, 0, 50, 100}},
             {39, {1, 0, m::Ref(0xFF0000), 0}},
             {37, {1}},
             {47, {0, 0, 100, 100, 0, 100, 0, 0}}}),
       Format::Emf, 300, 300, 120, 150, 0xFFFF0000u},
      {"emf: ... which a RestoreDC undoes",
       clippedFill({{33, {}}, {30, {0, 0, 50, 100}}, {34, {0xFFFFFFFFu}}}), Format::Emf, 300, 300, 225, 150,
       0xFFFF0000u},
      {"emf: a text aligned by its bottom ends there", block(8, 40, 50), Format::Emf, 300, 300, 75, 156, 0u},
      {"emf: ... and is drawn above it", block(8, 40, 50), Format::Emf, 300, 300, 75, 144, 0xFF000000u},
      {"emf: a text aligned by its top starts there", block(0, 100, 20), Format::Emf, 300, 300, 120, 55, 0u},
      {"emf: ... and is drawn below it", block(0, 100, 20), Format::Emf, 300, 300, 120, 66, 0xFF000000u},
  };
}

TEST(ImagingIconsMetafiles, EachFileGivesItsChosenImage) {
  for (const Sample& s : Samples()) {
    SCOPED_TRACE(s.name);
    EXPECT_EQ(DetectFormat(s.bytes.data(), s.bytes.size()), s.format);
    const DecodeResult r = Decode(s.bytes.data(), s.bytes.size());
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(r.bitmap->format, s.format);
    EXPECT_EQ(r.bitmap->width, s.width);
    EXPECT_EQ(r.bitmap->height, s.height);
    const md::imaging::BitmapPtr own = m::OwnPixels(r.bitmap);
    ASSERT_FALSE(own->pixels.empty()) << "not painted";
    EXPECT_EQ(own->at(s.x, s.y), s.pixel);
  }
}

TEST(ImagingIconsMetafiles, MetafilesKeepTheirSizeInInches) {
  for (const f::Bytes& bytes : {m::SampleWmf(), m::SampleEmf()}) {
    const DecodeResult r = Decode(bytes.data(), bytes.size());
    ASSERT_TRUE(r) << r.error;
    EXPECT_NEAR(r.bitmap->width / r.bitmap->dpiX, bytes == m::SampleWmf() ? 2.0 : 50 / 25.4, 0.01);
    EXPECT_NEAR(r.bitmap->height / r.bitmap->dpiY, bytes == m::SampleWmf() ? 1.0 : 25 / 25.4, 0.01);
    // A smaller memory limit draws fewer pixels over the same size.
    const DecodeResult small = Decode(bytes.data(), bytes.size(), 40000);
    ASSERT_TRUE(small) << small.error;
    EXPECT_LE(small.bitmap->width * small.bitmap->height * 4, 40000);
    EXPECT_NEAR(small.bitmap->width / small.bitmap->dpiX, r.bitmap->width / r.bitmap->dpiX, 0.02);
  }
}

TEST(ImagingIconsMetafiles, MetafilesAreTheirFramesWhateverTheyDraw) {
  struct Pixel {
    int x, y;
    std::uint32_t colour;
  };
  const struct {
    const char* file;
    int width, height;
    Pixel drawn, other;
  } rows[] = {
      // An outline's inner half at the corner, no clear ring around it.
      {"wmf-rectangle-96x48.wmf", 300, 150, {150, 75, 0xFFFF0000u}, {0, 0, 0xFF000000u}},
      {"wmf-frame-at-10-20.wmf", 300, 150, {225, 75, 0xFFFF0000u}, {75, 75, 0u}},
      {"wmf-window-centred.wmf", 300, 150, {75, 75, 0xFFFF0000u}, {225, 75, 0u}},
      {"wmf-anisotropic.wmf", 300, 150, {75, 75, 0xFFFF0000u}, {225, 75, 0u}},
      {"wmf-anisotropic-y-up.wmf", 300, 150, {150, 120, 0xFFFF0000u}, {150, 30, 0u}},
      {"wmf-window-twice-the-frame.wmf", 300, 150, {75, 75, 0xFFFF0000u}, {225, 75, 0u}},
      {"wmf-no-placeable-header.wmf", 404, 204, {200, 100, 0xFFFF0000u}, {0, 0, 0u}},
      {"emf-frame-at-100-100.emf", 600, 300, {450, 150, 0xFFFF0000u}, {150, 100, 0u}},
      // Mapped anisotropically with the device's first extents, 1 x 1: in
      // device pixels.
      {"emf-anisotropic-without-extents.emf", 591, 295, {450, 150, 0xFFFF0000u}, {150, 100, 0u}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    const f::Bytes bytes = Data(row.file);
    const DecodeResult r = Decode(bytes.data(), bytes.size());
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(r.bitmap->width, row.width);
    EXPECT_EQ(r.bitmap->height, row.height);
    const BitmapPtr pixels = m::OwnPixels(r.bitmap);
    for (const Pixel& p : {row.drawn, row.other}) {
      if (p.x < r.bitmap->width && p.y < r.bitmap->height) {
        EXPECT_EQ(pixels->at(p.x, p.y), p.colour) << p.x << ", " << p.y;
      }
    }
  }
}

// libemf2svg's markup as the helper mends it: a bitmap stretched over its
// box, the "Z" it ends every path with taken from a path only stroked, the
// clip of a turned text kept on the page and the text turned about its
// reference point.
TEST(ImagingIconsMetafiles, TheSvgOfAnEmfIsMendedWhereItMeansOtherwiseThanItsRecords) {
  const std::pair<const char*, const char*> rows[] = {
      {"<image width=\"4\" x=\"0\" />", "<image preserveAspectRatio=\"none\" width=\"4\" x=\"0\" />"},
      {"<image id=\"i\" preserveAspectRatio=\"none\" />", "<image id=\"i\" preserveAspectRatio=\"none\" />"},
      {"<path d=\"M 0,0 L 9,0 Z \" stroke=\"#000000\" fill=\"none\" />",
       "<path d=\"M 0,0 L 9,0 \" stroke=\"#000000\" fill=\"none\" />"},
      {"<path d=\"M 0,0 L 9,9 Z Z \" stroke=\"#000000\" fill=\"none\" />",
       "<path d=\"M 0,0 L 9,9 Z \" stroke=\"#000000\" fill=\"none\" />"},
      {"<path d=\"M 0,0 L 9,9 Z \" fill=\"#000000\" stroke=\"none\" />",
       "<path d=\"M 0,0 L 9,9 Z \" fill=\"#000000\" stroke=\"none\" />"},
      {"<path d=\"M 0,0 L 9,9 Z \" fill=\"none\" stroke=\"none\" />",
       "<path d=\"M 0,0 L 9,9 Z \" fill=\"none\" stroke=\"none\" />"},
      {"<path d=\"M 0,0 L 9,9 Z\" stroke=\"#000000\" fill=\"none\" />",
       "<path d=\"M 0,0 L 9,9 Z\" stroke=\"#000000\" fill=\"none\" />"},
      {"<text clip-path=\"url(#c)\" transform=\"rotate(-30, 5, 5)\" x=\"5\" ><![CDATA[a]]></text>",
       "<g clip-path=\"url(#c)\"><text transform=\"rotate(-30, 5, 5)\" x=\"5\" >a</text></g>"},
      {"<text clip-path=\"url(#c)\" x=\"5\" ><![CDATA[a]]></text>",
       "<text clip-path=\"url(#c)\" x=\"5\" >a</text>"},
      {"<text transform=\"rotate(-90, 5, 17) translate(0, 12)\" x=\"5\" y=\"5\" ><![CDATA[a]]></text>",
       "<text transform=\"rotate(-90, 5, 5)\" x=\"5\" y=\"5\" >a</text>"},
      {"<text clip-path=\"url(#c)\" x=\"0\" ><![CDATA[\uFDD3]]></text>\n<g>\n<path d=\"M 0,0 Z \" />",
       "\n<g>\n<path clip-path=\"url(#c)\" d=\"M 0,0 Z \" />"},
      {"<text x=\"0\" ><![CDATA[\uFDD3]]></text>\n<path d=\"M 0,0 Z \" />", "\n<path d=\"M 0,0 Z \" />"},
      {"<path clip-path=\"url(#c)\" d=\"M 0,0 Z\" clip-path=\"url(#c)\" />",
       "<path clip-path=\"url(#c)\" d=\"M 0,0 Z\" />"},
  };
  for (const auto& [svg, mended] : rows) EXPECT_EQ(detail::EscapeEmfSvg(svg, 0), mended);
}

TEST(ImagingIconsMetafiles, TextIsReadInItsFontsCharacterSet) {
  const struct {
    unsigned charset;
    const char* bytes;
    const char* text;
  } rows[] = {
      {134, "\xD6\xD0\xCE\xC4\xB5\xD8\xCD\xBC", "中文地图"},
      {136, "\xA4\xA4\xA4\xE5\xA6\x61\xB9\xCF", "中文地圖"},
      {128, "\x93\xFA\x96\x7B", "日本"},
      {129, "\xC7\xD1\xB1\xB9", "한국"},
      {130, "\xD0\x65\x8A\x82", "한국"},
      {161, "\xD7\xDC\xF1\xE1", "Χάρα"},
      {162, "\xFE\xF0", "şğ"},
      {163, "Vi\xD2t", "V\u1EC9t"},  // a letter and the mark after it, as one
      {177, "\xF9\xEC", "של"},
      {178, "\xC7\xE1", "ال"},
      {186, "\xE0\xF0", "ąš"},
      {204, "\xCA\xE0\xF0\xF2\xE0", "Карта"},
      {222, "\xA1\xD2", "กา"},
      {238, "\xA3\xF3\x64\x9F", "Łódź"},
      {77, "caf\x8E", "café"},
      {255, "caf\x82", "café"},
      {0, "caf\xE9 \x80", "café €"},
      {1, "caf\xE9", "café"},
      {2, "\x61\xB0", "a°"},  // a symbol font's own codes
      // What does not decode is replaced, and reading goes on.
      {134, "\xD6\xD0\xFF\xCE\xC4", "中\uFFFD文"},
      {134, "\xD6\xD0\x81", "中\uFFFD"},
      {136, "\xFF\xFF\x41\xA4", "\uFFFD\uFFFDA\uFFFD"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(detail::CharsetToUtf8(row.bytes, std::strlen(row.bytes), row.charset), row.text);
  }
}

TEST(ImagingIconsMetafiles, EachNewFormatDraws) {
  const struct {
    const char* control;
    f::Bytes bytes;
  } rows[] = {
      {"icon", m::Icon(1, {{16, 16, 24,
                            m::IconDib(16, 16, 24,
                                       [](int x, int y) {
                                         return (x + y) % 5 == 0 ? 0u
                                                                 : 0xFF000000u | f::Quadrants(x, y, 16, 16);
                                       })}})},
      {"cursor", m::Icon(2, {{32, 32, 32,
                              f::Png(32, 32,
                                     [](int x, int y) {
                                       return 0xFF000000u | ((x * 8) << 16) | ((y * 8) << 8) | 0x40;
                                     })}})},
      {"wmf", m::SampleWmf()},
      {"emf", m::SampleEmf()},
      {"wmf-text-gbk", Data("wmf-text-gbk.wmf")},
      {"wmf-text-big5", Data("wmf-text-big5.wmf")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.control);
    const DecodeResult r = Decode(row.bytes.data(), row.bytes.size());
    ASSERT_TRUE(r) << r.error;
    auto canvas = md::canvas::CairoCanvas::createImage(220, 120, 0xC0C0C0);
    HDC hdc = md::win::CreateScreenDC(canvas.get(), 96, &md::text::FixedMetricsEngine());
    ASSERT_TRUE(md::test::Drawn(hdc, *r.bitmap, 10, 10, 200, 100));
    DeleteDC(hdc);
    EXPECT_TRUE(md::test::MatchesControl(md::canvas::ReadRaster(*canvas), "tests/platform/imaging/controls",
                                         row.control));
  }
}

f::Bytes Cut(f::Bytes b, std::size_t keep) {
  b.resize(keep);
  return b;
}
f::Bytes Poke(f::Bytes b, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
  for (std::uint8_t v : bytes) b.at(at++) = v;
  return b;
}

// The placeable header's check sum made right again.
f::Bytes Resum(f::Bytes b) {
  unsigned sum = 0;
  for (std::size_t k = 0; k < 20; k += 2) sum ^= b[k] | (b[k + 1] << 8);
  return Poke(b, 20, {static_cast<std::uint8_t>(sum), static_cast<std::uint8_t>(sum >> 8)});
}

TEST(ImagingIconsMetafiles, DamagedFilesAreRefusedWithTheirReason) {
  const f::Bytes ico = m::Icon(1, {{8, 8, 24, m::IconDib(8, 8, 24, f::Opaque(8, 8))}});
  const f::Bytes pngIco = m::Icon(1, {{8, 8, 32, f::Png(8, 8, f::Opaque(8, 8))}});
  const f::Bytes wmf = m::SampleWmf(), emf = m::SampleEmf();
  const std::size_t dib = 6 + 16, emfEnd = emf.size();
  const struct {
    const char* name;
    f::Bytes bytes;
    const char* error;
  } rows[] = {
      {"icon of no image", Poke(ico, 4, {0, 0}),
       "not a PNG, JPEG, GIF, TIFF, BMP, ICO, CUR, WMF or EMF picture"},
      {"icon of 60000 images", Poke(ico, 4, {0x60, 0xEA}), "ICO: the directory names 60000 images"},
      {"icon whose directory is cut", Cut(ico, 12), "ICO: the directory ends early"},
      {"icon whose image lies past the end", Poke(ico, 18, {0xFF, 0xFF}),
       "ICO: the chosen image, 8 x 8, starts past the end of the file"},
      {"icon whose largest image runs past the end", Data("refused-ico-largest-image-runs-past-the-end.ico"),
       "ICO: the chosen image, 4 x 4, runs past the end of the file"},
      {"icon whose largest image starts past the end",
       Data("refused-ico-largest-image-starts-past-the-end.ico"),
       "ICO: the chosen image, 4 x 4, starts past the end of the file"},
      {"icon whose largest image starts in the directory",
       Data("refused-ico-largest-image-starts-in-the-directory.ico"),
       "ICO: the chosen image, 4 x 4, starts inside the directory"},
      {"icon whose pixels are cut", Poke(ico, 14, {90, 0}), "ICO: image pixels end early"},
      {"icon whose mask is cut",
       Poke(ico, 14,
            {static_cast<std::uint8_t>(ico.size() - dib - 4),
             static_cast<std::uint8_t>((ico.size() - dib - 4) >> 8)}),
       "ICO: mask ends early"},
      {"icon of an odd doubled height", Poke(ico, dib + 8, {15}), "ICO: bad image size 8 x 15"},
      {"icon of compressed pixels", Poke(ico, dib + 16, {1}), "ICO: compressed image pixels"},
      {"icon of a damaged PNG", Poke(pngIco, dib + 20, {0xFF, 0xFF}), "ICO: PNG: "},
      {"icon declaring 60000 x 60000 pixels over a few bytes",
       Poke(ico, dib + 4, {0x60, 0xEA, 0, 0, 0xC0, 0xD4, 1, 0}), "ICO: image pixels end early"},
      {"wmf of a wrong check sum", Poke(wmf, 20, {0, 0}), "WMF: the placeable header's check sum is wrong"},
      {"wmf whose records are cut", Cut(wmf, wmf.size() - 10), "WMF: the records end early"},
      {"wmf of no units per inch", Resum(Poke(wmf, 14, {0, 0})),
       "WMF: the placeable header gives no units per inch"},
      {"wmf of a record of no size", Poke(wmf, 22 + 18, {0, 0, 0, 0}), "WMF: "},
      {"wmf of a frame of no width", Data("refused-wmf-frame-of-no-width.wmf"),
       "WMF: the placeable frame has no size (0 x 48 units)"},
      {"wmf of an inverted frame", Data("refused-wmf-frame-inverted.wmf"),
       "WMF: the placeable frame is inverted (-96 x 48 units)"},
      {"emf whose records are cut", Cut(emf, emfEnd - 8), "EMF: the records end early"},
      {"emf of a frame of no size", Poke(emf, 32, {0, 0, 0, 0}), "EMF: the frame has no size"},
      {"emf of an inverted frame", Data("refused-emf-frame-inverted.emf"),
       "EMF: the frame is inverted (-5080 x 2540 x 0.01 mm)"},
      {"emf of no reference device", Data("refused-emf-no-reference-device.emf"),
       "EMF: the header names no reference device (1000 x 1000 pixels over 0 x 0 mm)"},
      {"emf of a bad header size", Poke(emf, 4, {0x10, 0x27, 0, 0}), "EMF: bad header record of 10000 bytes"},
      {"emf of a record running past the end", Poke(emf, 88 + 4, {0xF0, 0xFF, 0xFF, 0x7F}), "EMF: "},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const DecodeResult r = Decode(row.bytes.data(), row.bytes.size());
    EXPECT_FALSE(r);
    EXPECT_EQ(r.error.rfind(row.error, 0), 0u) << r.error;
  }
}

// The header's size in words (after the placeable header) set to `words`.
f::Bytes WithWmfSize(f::Bytes b, std::uint32_t words) {
  return Poke(b, 22 + 6,
              {static_cast<std::uint8_t>(words), static_cast<std::uint8_t>(words >> 8),
               static_cast<std::uint8_t>(words >> 16), static_cast<std::uint8_t>(words >> 24)});
}

TEST(ImagingIconsMetafiles, AWmfIsReadToItsEndRecordWhateverItsHeaderSizeSays) {
  const f::Bytes wmf = m::SampleWmf();
  const auto words = static_cast<std::uint32_t>((wmf.size() - 22) / 2);
  const DecodeResult exact = Decode(wmf.data(), wmf.size());
  ASSERT_TRUE(exact) << exact.error;
  const struct {
    const char* name;
    f::Bytes bytes;
    const char* error;  // "" when drawn as the file of the right size
  } rows[] = {
      {"the placeable header counted too", WithWmfSize(wmf, words + 11), ""},
      {"the header alone", WithWmfSize(wmf, 9), ""},
      {"past the file's end", WithWmfSize(wmf, words + 1000), ""},
      {"the end record cut, the size past the end", Cut(wmf, wmf.size() - 6), "WMF: the records end early"},
      {"the end record running past the end, the size past it",
       WithWmfSize(Poke(wmf, wmf.size() - 6, {4}), words + 1), "WMF: the records end early"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const DecodeResult r = Decode(row.bytes.data(), row.bytes.size());
    if (*row.error != '\0') {
      EXPECT_FALSE(r);
      EXPECT_EQ(r.error, row.error);
      continue;
    }
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(m::OwnPixels(r.bitmap)->pixels, m::OwnPixels(exact.bitmap)->pixels);
  }
}

TEST(ImagingIconsMetafiles, TheProgramIsStoppedOnACrashALoopOrTooMuchMemoryAndReaped) {
  // How a run ended is checked, never how long it took (a stopped one has 1 s).
  detail::IsolationLimits quick;
  quick.extraMemory = std::size_t{64} << 20;
  const struct {
    const char* name;
    std::string program;
    const char* what;   // what the probe's work does
    std::string error;  // how the reason starts; "" when the work succeeds
  } rows[] = {
      {"fills the buffer", MD_IMAGING_PROBE, "fill", ""},
      {"refuses", MD_IMAGING_PROBE, "no such thing", "no such thing"},
      {"crashes", MD_IMAGING_PROBE, "crash", "the renderer stopped on signal "},
      {"loops", MD_IMAGING_PROBE, "loop", "drawing took longer than 1.00 s"},
      {"closes its answer pipe, then hangs", MD_IMAGING_PROBE, "close and hang",
       "drawing took longer than 1.00 s"},
      {"throws", MD_IMAGING_PROBE, "throw", "failed: no luck"},
      {"takes too much memory", MD_IMAGING_PROBE, "alloc", "failed: std::bad_alloc"},
      {"is missing", "/nonexistent/mapdeck-metafile", "fill",
       "the renderer /nonexistent/mapdeck-metafile is missing"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const char input = 7;
    char seen[2] = {0, 0};
    std::string error;
    quick.milliseconds = row.error.starts_with("drawing took") ? 1000 : 60000;
    const bool ok = detail::RunIsolated(
        row.program, {row.what}, &input, 1, 16,
        [&](const void* b) {
          std::memcpy(seen, static_cast<const char*>(b) + 14, 2);
          return std::string();
        },
        quick, &error);
    // No program of the run is left, running or unreaped.
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    EXPECT_EQ(ok, row.error.empty());
    // A crash ends the program on its signal, or on the sanitizer's abort; a
    // sanitizer refuses an allocation past the limit by ending the program.
    const bool sanitizerEnded = error.rfind("the renderer stopped", 0) == 0;
    EXPECT_TRUE(error.rfind(row.error, 0) == 0 ||
                (sanitizerEnded && std::string(row.name) == "takes too much memory"))
        << error;
    if (ok) {
      EXPECT_EQ(seen[0], 7);
      EXPECT_EQ(seen[1], 7);
    }
  }
}

TEST(ImagingIconsMetafiles, WhatTheProgramStartedEndsWithIt) {
  // The probe's processes sleep for ever, past the checks' generous limit, in
  // its group and out of it; only the probe that waits is cut short (3 s).
  constexpr int kGenerousMs = 30000;
  const struct {
    const char* what;  // what the probe does after starting its processes
    detail::IsolatedEnd end;
  } rows[] = {
      {"answer", detail::IsolatedEnd::Done},
      {"answer alone", detail::IsolatedEnd::Done},
      {"end", detail::IsolatedEnd::Stopped},
      {"wait", detail::IsolatedEnd::TimedOut},
  };
  // The probe's processes write their pids into a file: no fence of files;
  // and they start at all: no filter, which refuses a process of the
  // program's own (where there is none, the warden ends them).
  const m::FencesWithoutScope unfenced(detail::kFenceLandlock | detail::kFenceNamespaces |
                                       detail::kFenceFilter);
  const auto dir = std::filesystem::path(MD_TEST_OUTPUT_DIR) / "isolated-children";
  std::filesystem::create_directories(dir);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string pids = (dir / (std::to_string(::getpid()) + "-" + row.what)).string();
    std::filesystem::remove(pids);
    // The host's output is a pipe while the program runs.
    int output[2];
    ASSERT_EQ(::pipe2(output, O_CLOEXEC), 0);
    std::fflush(stdout);
    const int saved = ::dup(1);
    ::dup2(output[1], 1);
    detail::IsolationLimits limits;
    limits.milliseconds = row.end == detail::IsolatedEnd::TimedOut ? 3000 : kGenerousMs;
    const char input = 7;
    std::string error;
    detail::IsolatedEnd end;
    detail::RunIsolated(
        MD_IMAGING_PROBE, {"leave", row.what, pids}, &input, 1, 16, [](const void*) { return std::string(); },
        limits, &error, &end);
    ::dup2(saved, 1);
    ::close(saved);
    ::close(output[1]);
    EXPECT_EQ(end, row.end) << error;
    // Nothing reached the host's output, and nothing holds it any more.
    pollfd ready{output[0], POLLIN, 0};
    char byte;
    EXPECT_EQ(::poll(&ready, 1, kGenerousMs) == 1 ? ::read(output[0], &byte, 1) : -1, 0);
    ::close(output[0]);
    std::ifstream in(pids);
    std::vector<std::string> children{std::istream_iterator<std::string>(in), {}};
    // A program killed for its time may not have started all of them.
    if (row.end != detail::IsolatedEnd::TimedOut) {
      EXPECT_EQ(children.size(), 4u);
    }
    for (const auto& child : children) EXPECT_FALSE(std::filesystem::exists("/proc/" + child)) << child;
  }
}

void ReapEveryChild(int) {
  const int saved = errno;
  while (::waitpid(-1, nullptr, WNOHANG) > 0) {
  }
  errno = saved;
}

// A host (a process of its own) that ignores SIGCHLD, so that the kernel
// reaps the warden, or reaps every child itself: its wait takes less than
// half the processor time the helper spends before it answers (300 ms;
// a wait that polls takes about as much), and it says how the helper ended.
TEST(ImagingIconsMetafiles, AHostThatIgnoresOrReapsItsChildrenWaitsIdleAndKnowsTheEnd) {
  const f::Bytes bytes = m::SampleWmf();
  for (void (*handler)(int) : {SIG_IGN, ReapEveryChild})
    for (const auto& [probe, said] : {std::pair{"cpu:300:list:", " ms: drawn$"},
                                      std::pair{"cpu:300:crash", " ms: WMF: the renderer stopped"}}) {
      struct sigaction action {};
      action.sa_handler = handler;
      EXPECT_EXIT(
          {
            ::sigaction(SIGCHLD, &action, nullptr);
            const m::MetafileLimitsScope limits({20000, 0, MD_IMAGING_PROBE}, probe);
            const DecodeResult r = Decode(bytes.data(), bytes.size());
            const long ms = std::clock() / (CLOCKS_PER_SEC / 1000);  // of processor time
            std::fprintf(stderr, "%ld ms: %s", ms, r ? "drawn" : r.error.c_str());
            ::_exit(ms < 150 ? 0 : 1);
          },
          testing::ExitedWithCode(0), said)
          << (handler == SIG_IGN ? "ignores SIGCHLD, " : "reaps every child, ") << probe;
    }
}

// Neither kept by the picture cache nor remembered: the next drawing draws.
TEST(ImagingIconsMetafiles, AHelperThatCouldNotStartSaysWhyAndIsTriedAgain) {
  const std::string file = MD_TEST_OUTPUT_DIR "/helper-not-started.wmf";
  f::WriteAll(file, m::SampleWmf());
  std::filesystem::permissions(file, std::filesystem::perms::owner_all);  // a helper that is no program
  // The errno the warden's fork pretends to fail with, the helper, the cause said.
  const std::tuple<int, std::string, int> rows[] = {{EAGAIN, "", EAGAIN}, {0, file, ENOEXEC}};
  for (const auto& [forkError, helper, cause] : rows) {
    ImageCache cache;
    const m::MetafileLimitsScope limits({5000, 10000, helper});
    detail::SetWardenForkFailure(forkError);
    EXPECT_THAT(cache.Load(file).error,
                testing::HasSubstr("could not start: " + md::files::ErrorText(cause)));
    SetMetafileLimits({5000, 10000, ""});  // the helper that starts; nothing forgotten meanwhile
    EXPECT_TRUE(cache.Load(file)) << cause;
  }
}

// A metafile's picture is kept at what it holds: its file, not its drawing
// (here a 4,000 x 4,000 bitmap), which is painted or listed at each size it
// is drawn at and kept with the pictures as such.
TEST(ImagingIconsMetafiles, AMetafilesPictureIsCountedAtWhatItHolds) {
  constexpr int kSide = 4000;
  const std::size_t stride = (kSide + 31) / 32 * 4;
  std::vector<std::uint16_t> record = {0x0020, 0x00CC, 0,     kSide, kSide, 0, 0, 4000, 4000, 0, 0,
                                       40,     0,      kSide, 0,     kSide, 0, 1, 1,    0,    0};
  record.resize(record.size() + 10, 0);                 // compression, sizes, resolutions, colours used
  for (const std::uint16_t w : {0, 0, 0xFFFF, 0x00FF})  // the palette: black, white
    record.push_back(w);
  record.resize(record.size() + stride * kSide / 2, 0xFFFF);  // white
  const f::Bytes wmf =
      m::Wmf(4000, 4000, 1000, {{0x020B, {0, 0}}, {0x020C, {4000, 4000}}, {0x0F43, record}}, 0);
  const std::string file = MD_TEST_OUTPUT_DIR "/counted.wmf";
  f::WriteAll(file, wmf);
  ImageCache cache;
  const DecodeResult r = cache.Load(file);
  ASSERT_TRUE(r) << r.error;
  ASSERT_NE(r.bitmap->vectors, nullptr);
  // It keeps no pixels and no list: each is had at the size it is drawn at.
  EXPECT_TRUE(r.bitmap->pixels.empty());
  EXPECT_TRUE(r.bitmap->vectors->AskedPerBox());
  const std::size_t held = wmf.size();
  EXPECT_GE(cache.BytesKept(), held);
  EXPECT_LE(cache.BytesKept(),
            held + r.bitmap->vectors->Bytes() + 2 * ImageCache::kEntryBytes + 2 * file.size());
  EXPECT_LT(r.bitmap->vectors->Bytes(), std::size_t{1} << 10);
}

TEST(ImagingIconsMetafiles, AMissingHelperRefusesTheMetafileNamingThePath) {
  MetafileLimits limits;
  limits.helper = "/nonexistent/mapdeck-metafile";
  const MetafileLimits before = SetMetafileLimits(limits);
  const f::Bytes bytes = m::SampleEmf();
  const DecodeResult r = Decode(bytes.data(), bytes.size());
  SetMetafileLimits(before);
  EXPECT_FALSE(r);
  EXPECT_NE(r.error.find("/nonexistent/mapdeck-metafile is missing"), std::string::npos) << r.error;
  // A helper that could not start says nothing of the file.
  EXPECT_TRUE(Decode(bytes.data(), bytes.size())) << r.error;
}

// Only what the helper refused or crashed on is refused again without it; a
// time-out is tried again.
TEST(ImagingIconsMetafiles, OnlyAContentTheHelperRefusedOrCrashedOnIsRefusedAgainWithoutIt) {
  const f::Bytes bytes = m::SampleEmf();
  f::Bytes other = bytes;
  other[other.size() / 2] ^= 1;  // in a record past the header
  // The probe's behaviour, how its reason starts, whether it is remembered.
  const std::tuple<const char*, const char*, bool> rows[] = {
      {nullptr, "EMF: drawing took longer than 1.20 s", false},
      {"crash", "EMF: the renderer stopped", true},  // on its signal, or on the sanitizer's abort
      {"no such drawing", "EMF: no such drawing", true},
  };
  for (const auto& [probe, reason, remembered] : rows) {
    // The probe never answers unless told to refuse or crash: only that row
    // may run out of time, and a slow start of the others stays within theirs.
    const m::MetafileLimitsScope limits({probe == nullptr ? 300 : 60000, 0, MD_IMAGING_PROBE}, probe);
    const std::string first = Decode(bytes.data(), bytes.size()).error;
    EXPECT_TRUE(first.starts_with(reason)) << first;
    EXPECT_EQ(Decode(bytes.data(), bytes.size()).error, first);  // the same words, remembered or not
    EXPECT_EQ(Decode(other.data(), other.size()).error, first);  // another content, of the same size
  }
}

// The helper's limit is its processor time: a file it spins on past that is
// answered as timed out; one it waits on past it (as on a busy machine),
// within the wall clock, is drawn. On a machine too busy to give the spinning
// run its processor time within the wall clock's four times that, the wall
// clock ends it: that row cannot tell the limits apart, and the test skips,
// saying so, once the other row is checked.
TEST(ImagingIconsMetafiles, TheHelpersLimitIsItsProcessorTimeWithinALongerWallClock) {
  const f::Bytes bytes = m::SampleEmf();
  const std::string list = m::ListProbe(m::ZigzagList(10, 10, 10));
  const std::pair<std::string, std::string> rows[] = {
      {"cpu:3000:" + list, "EMF: drawing took more than 1.00 s of processor time"},
      {"sleep:1500:" + list, ""},  // 2.5 s of the wall clock left for its start
  };
  std::string busy;
  for (const auto& [probe, error] : rows) {
    SCOPED_TRACE(probe.substr(0, 11));
    const m::MetafileLimitsScope limits({1000, 0, MD_IMAGING_PROBE}, probe.c_str());
    const DecodeResult r = Decode(bytes.data(), bytes.size());
    if (!error.empty() && r.error == "EMF: drawing took longer than 4.00 s") {
      busy += probe.substr(0, 9) + ": the wall clock ended the run before its processor time was spent (" +
              r.error + "); ";
      continue;
    }
    EXPECT_EQ(r.error, error);
    EXPECT_EQ(r.timedOut, !error.empty());
  }
  if (!busy.empty()) GTEST_SKIP() << "the machine was too busy to check: " << busy;
}

// A run says the processor time its programs took, which a page's budget is
// charged: at least what the probe spun, far less than what it slept.
TEST(ImagingIconsMetafiles, ARunSaysTheProcessorTimeItsProgramsTook) {
  // The probe's behaviour; the least and the most milliseconds said. Its
  // start takes some (more on a busy machine, under a sanitizer): what it
  // sleeps is several times that.
  const std::tuple<const char*, std::int64_t, std::int64_t> rows[] = {{"cpu:400:list:", 400, INT64_MAX},
                                                                      {"sleep:3000:list:", 0, 1000}};
  for (const auto& [probe, least, most] : rows) {
    SCOPED_TRACE(probe);
    const m::MetafileLimitsScope limits({60000, 0, MD_IMAGING_PROBE}, probe);
    const char input = 0;
    std::string error;
    std::int64_t ms = -1;
    ASSERT_TRUE(detail::RunIsolated(
        MD_IMAGING_PROBE, {"wmf", "1", "0"}, &input, 1, 256, [](const void*) { return std::string(); },
        detail::IsolationLimits(), &error, nullptr, &ms))
        << error;
    EXPECT_GE(ms, least);
    EXPECT_LE(ms, most);
  }
}

// An opaque image of at most 256 colours gets a palette PNG of its pixels,
// the smallest depth that holds them, which cairo's SVG embeds; an image
// with a transparent pixel, or with more colours, gets none.
TEST(ImagingIconsMetafiles, AFewColouredOpaqueBitmapGetsAPalettePng) {
  const struct {
    int colours;
    std::uint32_t alpha;
    int depth;  // 0: no PNG
  } rows[] = {{2, 0xFF, 1}, {3, 0xFF, 2}, {16, 0xFF, 4}, {256, 0xFF, 8}, {257, 0xFF, 0}, {2, 0x80, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.colours << " colours");
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 67, 9);
    const auto pixel = [&](int x, int y) {
      const std::uint32_t c = static_cast<std::uint32_t>((x + 67 * y) % row.colours);
      return row.alpha == 0xFF ? 0xFF000000u | c * 0x10203u % 0x1000000u : (row.alpha << 24) | 0x400000u;
    };
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 67; ++x)
        reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(image) +
                                         y * cairo_image_surface_get_stride(image))[x] = pixel(x, y);
    cairo_surface_mark_dirty(image);
    detail::AttachPalettePng(image);
    const unsigned char* png = nullptr;
    unsigned long bytes = 0;
    cairo_surface_get_mime_data(image, CAIRO_MIME_TYPE_PNG, &png, &bytes);
    ASSERT_EQ(png != nullptr, row.depth > 0);
    if (png != nullptr) {
      ASSERT_GT(bytes, 26u);
      EXPECT_EQ(png[24], row.depth);  // IHDR's bit depth, then colour type 3: a palette
      EXPECT_EQ(png[25], 3);
      const DecodeResult r = Decode(png, bytes);
      ASSERT_TRUE(r) << r.error;
      int differing = 0;
      for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 67; ++x) differing += r.bitmap->at(x, y) != pixel(x, y);
      EXPECT_EQ(differing, 0);
    }
    cairo_surface_destroy(image);
  }
}

// A GObject type whose class set-up waits until released: while it waits,
// GLib holds the lock every first use of a class takes (librsvg's too).
struct ClassInitGate {
  std::mutex mutex;
  std::condition_variable changed;
  bool inside = false, released = false;
};
ClassInitGate g_gate;

void WaitingClassInit(gpointer, gpointer) {
  std::unique_lock lock(g_gate.mutex);
  g_gate.inside = true;
  g_gate.changed.notify_all();
  g_gate.changed.wait(lock, [] { return g_gate.released; });
}

TEST(ImagingIconsMetafiles, AMetafileDrawsWhileAnotherThreadHoldsALockTheLibrariesTake) {
  const GType type =
      g_type_register_static_simple(G_TYPE_OBJECT, "MdImagingTestsWaitingObject", sizeof(GObjectClass),
                                    WaitingClassInit, sizeof(GObject), nullptr, static_cast<GTypeFlags>(0));
  std::thread holder([type] { g_type_class_unref(g_type_class_ref(type)); });
  {
    std::unique_lock lock(g_gate.mutex);
    g_gate.changed.wait(lock, [] { return g_gate.inside; });
  }
  const f::Bytes bytes = m::SampleEmf();
  const DecodeResult r = Decode(bytes.data(), bytes.size());
  {
    std::lock_guard lock(g_gate.mutex);
    g_gate.released = true;
  }
  g_gate.changed.notify_all();
  holder.join();
  ASSERT_TRUE(r) << r.error;
  EXPECT_EQ(m::OwnPixels(r.bitmap)->at(148, 148), 0xFF0000FFu);
}

}  // namespace
