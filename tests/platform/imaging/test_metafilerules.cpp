// Metafiles drawn by GDI's own rules: text on its reference point by its
// alignment, in its named face, with its widths; raster operations composed
// as GDI composes them; hatched and pattern brushes as repeated pictures;
// saved states restored as GDI restores them. Each row draws a small file
// made by hand through the real helper and reads the pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/draw.h"
#include "platform/imaging/helper/emfbitmaps.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/platform/imaging/drawn.h"
#include "tests/platform/imaging/metafiles.h"

namespace {

using namespace md::imaging;
namespace m = md::test::metafiles;
using md::canvas::Raster;
using Words = std::vector<std::uint16_t>;
using m::EmfPatBlt;
using m::EmfStretchDib;
using m::StretchDib;

Words Cat(Words a, const Words& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The words of a string, padded to a whole word.
Words Text(const std::string& s) {
  Words w;
  for (std::size_t k = 0; k < s.size(); k += 2)
    w.push_back(
        static_cast<std::uint16_t>(static_cast<unsigned char>(s[k]) |
                                   (k + 1 < s.size() ? static_cast<unsigned char>(s[k + 1]) << 8 : 0)));
  return w;
}

// A CreateFontIndirect of height (negative: the em), escapement, weight,
// italic, underline, strikeout, pitch and family, and face.
m::WmfRecord Font(int height, int escapement, int weight, bool italic, bool underline, bool strikeout,
                  int pitch, const std::string& face) {
  std::string name = face;
  name.resize(32, '\0');
  return {0x02FB,
          Cat({static_cast<std::uint16_t>(height), 0, static_cast<std::uint16_t>(escapement),
               static_cast<std::uint16_t>(escapement), static_cast<std::uint16_t>(weight),
               static_cast<std::uint16_t>((italic ? 1 : 0) | (underline ? 0x100 : 0)),
               static_cast<std::uint16_t>(strikeout ? 1 : 0), 0, static_cast<std::uint16_t>(pitch << 8)},
              Text(name))};
}

// The picture drawn over a white raster of its own 300-dpi pixels.
Raster Drawn(const m::Bytes& bytes, const std::string& name) {
  const DecodeResult r = Decode(bytes.data(), bytes.size());
  EXPECT_TRUE(r) << r.error;
  if (!r) return {};
  auto canvas = md::canvas::CairoCanvas::createImage(r.bitmap->width, r.bitmap->height);
  HDC hdc = md::win::CreateScreenDC(canvas.get(), 300, &md::text::FixedMetricsEngine());
  EXPECT_TRUE(md::test::Drawn(hdc, *r.bitmap, 0, 0, r.bitmap->width, r.bitmap->height));
  DeleteDC(hdc);
  Raster raster = md::canvas::ReadRaster(*canvas);
  const auto dir = std::filesystem::path(MD_TEST_OUTPUT_DIR) / "metafile-rules";
  std::filesystem::create_directories(dir);
  std::string error;
  EXPECT_TRUE(md::canvas::WritePng(raster, (dir / (name + ".png")).string(), &error)) << error;
  return raster;
}

int Darkest(std::uint32_t p) {
  return std::min(
      {static_cast<int>(p & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>((p >> 16) & 0xFF)});
}

// The box of the pixels darker than `below` in every channel's least:
// left, top, right, bottom (past the last), or all zero when none is.
std::vector<int> InkBox(const Raster& r, int below = 128) {
  std::vector<int> box{r.width, r.height, 0, 0};
  for (int y = 0; y < r.height; ++y)
    for (int x = 0; x < r.width; ++x)
      if (Darkest(r.at(x, y)) < below)
        box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1), std::max(box[3], y + 1)};
  return box[2] == 0 ? std::vector<int>{0, 0, 0, 0} : box;
}

// A 2 x 1 inch WMF at 300 units an inch (a unit a pixel of the picture):
// the font made and selected, transparent text, the alignment set, the
// records `before`, and the text out at (x, y).
m::Bytes TextWmf(const m::WmfRecord& font, int align, int x, int y, const std::string& text,
                 const std::vector<m::WmfRecord>& before = {}) {
  std::vector<m::WmfRecord> records = {
      {0x020B, {0, 0}}, {0x020C, {300, 600}}, font,
      {0x012D, {0}},    {0x0102, {1}},        {0x012E, {static_cast<std::uint16_t>(align)}}};
  records.insert(records.end(), before.begin(), before.end());
  records.push_back({0x0521, Cat(Cat({static_cast<std::uint16_t>(text.size())}, Text(text)),
                                 {static_cast<std::uint16_t>(y), static_cast<std::uint16_t>(x)})});
  return m::Wmf(600, 300, 300, records, 1);
}

// An ExtTextOut of the text at (x, y) with the characters' widths.
m::WmfRecord ExtTextOut(int x, int y, const std::string& text, const Words& dx) {
  return {0x0A32, Cat(Cat({static_cast<std::uint16_t>(y), static_cast<std::uint16_t>(x),
                           static_cast<std::uint16_t>(text.size()), 0},
                          Text(text)),
                      dx)};
}

// Liberation Sans, of its em: its Windows ascent and descent.
constexpr double kAscent = 1854 / 2048.0, kDescent = 434 / 2048.0;
constexpr int kEm = 60;

// Where a text's ink lies by the alignment GDI gives it: "HxH" of an em of
// 60 pixels at (300, 150), its reference point the baseline's left end, the
// top of its cell or the bottom, its left end, centre or right end. -1: not
// looked at.
TEST(ImagingMetafileRules, TextLiesOnItsReferencePointByItsAlignment) {
  const int baseline = 150, top = 150 + static_cast<int>(std::lround(kAscent * kEm)),
            bottom = 150 - static_cast<int>(std::lround(kDescent * kEm));
  const struct {
    const char* name;
    int align, escapement;
    int left[2], right[2], bottomInk[2];  // ranges the ink's sides lie within
    bool ext = false;                     // drawn by ExtTextOut
  } rows[] = {
      {"ExtTextOut, TA_BASELINE, left", 24, 0, {300, 308}, {-1, -1}, {baseline - 1, baseline + 1}, true},
      {"ExtTextOut, TA_TOP, right", 2, 0, {-1, -1}, {292, 300}, {top - 1, top + 1}, true},
      {"TA_BASELINE, left", 24, 0, {300, 308}, {-1, -1}, {baseline - 1, baseline + 1}},
      {"TA_TOP, left (GDI's first)", 0, 0, {300, 308}, {-1, -1}, {top - 1, top + 1}},
      {"TA_BOTTOM, left", 8, 0, {300, 308}, {-1, -1}, {bottom - 1, bottom + 1}},
      {"TA_BASELINE, right", 24 | 2, 0, {-1, -1}, {292, 300}, {baseline - 1, baseline + 1}},
      {"TA_TOP, right", 2, 0, {-1, -1}, {292, 300}, {top - 1, top + 1}},
      {"TA_BOTTOM, centre", 8 | 6, 0, {-1, -1}, {-1, -1}, {bottom - 1, bottom + 1}},
      // Turned a quarter counter-clockwise: the baseline runs up from the
      // point, the glyphs' tops to its left.
      {"TA_BASELINE, left, turned 90 degrees", 24, 900, {-1, -1}, {299, 301}, {142, 150}},
      {"TA_TOP, left, turned 90 degrees", 0, 900, {-1, -1}, {top + 149, top + 151}, {142, 150}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const m::WmfRecord font = Font(-kEm, row.escapement, 400, false, false, false, 0, "Liberation Sans");
    const m::Bytes wmf = row.ext ? TextWmf(font, row.align, 0, 0, "", {ExtTextOut(300, 150, "HxH", {})})
                                 : TextWmf(font, row.align, 300, 150, "HxH");
    const std::vector<int> ink = InkBox(Drawn(wmf, std::string("align-") + row.name));
    ASSERT_LT(ink[0], ink[2]) << "nothing drawn";
    const auto within = [](int v, const int range[2]) {
      return range[0] < 0 || (v >= range[0] && v <= range[1]);
    };
    EXPECT_TRUE(within(ink[0], row.left)) << "left " << ink[0];
    EXPECT_TRUE(within(ink[2], row.right)) << "right " << ink[2];
    EXPECT_TRUE(within(ink[3], row.bottomInk)) << "bottom " << ink[3];
  }
}

// What a text's records ask of its face and its advances, measured on its
// ink: "MMMM" and "iiii" as wide in a monospace face (named, or unknown of
// a fixed pitch); the named narrow face narrower than the regular one; the
// widths an ExtTextOut gives; texts under TA_UPDATECP one after another;
// an underline below the baseline; bold wider than regular.
TEST(ImagingMetafileRules, TextIsDrawnInItsFaceAtItsWidths) {
  const auto width = [](const m::Bytes& wmf, const std::string& name) {
    const Raster r = Drawn(wmf, "face-" + name);
    const std::vector<int> ink = InkBox(r);
    const int inked = static_cast<int>(
        std::count_if(r.pixels.begin(), r.pixels.end(), [](std::uint32_t p) { return Darkest(p) < 128; }));
    return std::vector<int>{ink[2] - ink[0], ink[0], ink[2], ink[3], inked};
  };
  const auto font = [](const std::string& face, int pitch = 0, int weight = 400, bool underline = false) {
    return Font(-kEm, 0, weight, false, underline, false, pitch, face);
  };
  const auto text = [](const m::WmfRecord& f, const std::string& s) { return TextWmf(f, 24, 20, 150, s); };
  // Each row: two drawings, and how the first's measure stands to the
  // second's (measure: 0 width, 1 left, 2 right, 3 bottom of the ink, 4
  // its pixels).
  const struct {
    const char* name;
    m::Bytes a, b;
    int measure;
    double leastRatio, mostRatio;  // a / b
  } rows[] = {
      {"a named monospace face", text(font("Liberation Mono"), "MMMM"), text(font("Liberation Mono"), "iiii"),
       2, 0.97, 1.03},
      {"an unknown face of a fixed pitch", text(font("No Such Face", 1), "MMMM"),
       text(font("No Such Face", 1), "iiii"), 2, 0.97, 1.03},
      {"a named narrow face", text(font("Nimbus Sans Narrow"), "MMMM"), text(font("Nimbus Sans"), "MMMM"), 0,
       0.7, 0.9},
      {"bold", text(font("Liberation Sans", 0, 700), "MMMM"), text(font("Liberation Sans"), "MMMM"), 4, 1.2,
       2},
      {"ExtTextOut's widths: the second H 400 units on",
       TextWmf(font("Liberation Sans"), 24, 20, 150, "", {ExtTextOut(20, 150, "HH", {400, 0})}),
       TextWmf(font("Liberation Sans"), 24, 20, 150, "", {ExtTextOut(20, 150, "H", {0})}), 2, 1.0, 1.0},
      {"TA_UPDATECP: the second text after the first",
       TextWmf(font("Liberation Sans"), 25, 0, 0, "H",
               {{0x0214, {150, 20}}, {0x0521, Cat(Cat({1}, Text("H")), {0, 0})}}),
       TextWmf(font("Liberation Sans"), 24, 20, 150, "HH"), 2, 0.99, 1.01},
      {"an underline below the baseline", text(font("Liberation Sans", 0, 400, true), "H"),
       text(font("Liberation Sans"), "H"), 3, 1.01, 1.1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<int> a = width(row.a, std::string(row.name) + "-a"),
                           b = width(row.b, std::string(row.name) + "-b");
    ASSERT_GT(a[0], 0);
    ASSERT_GT(b[0], 0);
    const double ratio = static_cast<double>(a[row.measure]) / b[row.measure];
    if (row.leastRatio == row.mostRatio) {
      EXPECT_NEAR(a[row.measure] - b[row.measure], 400, 1);
    } else {
      EXPECT_GE(ratio, row.leastRatio) << a[row.measure] << " / " << b[row.measure];
      EXPECT_LE(ratio, row.mostRatio) << a[row.measure] << " / " << b[row.measure];
    }
  }
}

// A brush of the colour, made and selected (it takes the next object).
std::vector<m::WmfRecord> Brush(std::uint32_t rgb, std::uint16_t index) {
  return {{0x02FC, Cat(Cat({0}, m::Colour(rgb)), {0})}, {0x012D, {index}}};
}
m::WmfRecord Rect(int left, int top, int right, int bottom) {
  return {0x041B,
          {static_cast<std::uint16_t>(bottom), static_cast<std::uint16_t>(right),
           static_cast<std::uint16_t>(top), static_cast<std::uint16_t>(left)}};
}
m::WmfRecord Rop2(int mode) { return {0x0104, {static_cast<std::uint16_t>(mode)}}; }

// A 1 x 1 inch WMF at 300 units an inch, a null pen, blue behind the
// records.
m::Bytes OverBlue(const std::vector<m::WmfRecord>& records, int objects) {
  std::vector<m::WmfRecord> all = {
      {0x020B, {0, 0}}, {0x020C, {300, 300}}, {0x02FA, Cat({5, 0, 0}, m::Colour(0))}, {0x012D, {0}}};
  for (const auto& r : Brush(0x0000FF, 1)) all.push_back(r);
  all.push_back(Rect(0, 0, 300, 300));
  all.insert(all.end(), records.begin(), records.end());
  return m::Wmf(300, 300, 300, all, objects + 2);
}

// White in a w x h bitmap's middle half, `outside` around it.
m::Pattern Middle(int w, int h, std::uint32_t inside, std::uint32_t outside) {
  return [=](int x, int y) {
    return 0xFF000000u | (x >= w / 4 && x < 3 * w / 4 && y >= h / 4 && y < 3 * h / 4 ? inside : outside);
  };
}

bool Near(std::uint32_t a, std::uint32_t b) {
  for (int shift = 0; shift < 24; shift += 8)
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 24)
      return false;
  return true;
}

// Raster operations over a blue page: the colour in the middle (150, 150)
// and near a corner (20, 20), as GDI composes them.
// A red drawing and a green one over the whole picture, each clipped by the
// XOR trick to its shape, filled with a black brush (objects 2 to 4).
std::vector<m::WmfRecord> TwoXorTricks(const m::WmfRecord& redShape, const m::WmfRecord& greenShape) {
  std::vector<m::WmfRecord> all;
  for (const std::uint32_t rgb : {0xFF0000u, 0u, 0x00FF00u}) all.push_back(Brush(rgb, 0)[0]);
  for (const auto& [drawing, shape] : {std::pair{2, redShape}, std::pair{4, greenShape}}) {
    const m::WmfRecord select = {0x012D, {static_cast<std::uint16_t>(drawing)}}, whole = Rect(0, 0, 300, 300);
    for (const auto& r : {select, Rop2(7), whole, Rop2(13), m::WmfRecord{0x012D, {3}}, shape, select, Rop2(7),
                          whole, Rop2(13)})
      all.push_back(r);
  }
  return all;
}

TEST(ImagingMetafileRules, RasterOperationsAreComposedAsGdiComposesThem) {
  constexpr std::uint32_t kSrcPaint = 0xEE0086, kSrcAnd = 0x8800C6, kSrcInvert = 0x660046,
                          kDstInvert = 0x550009;
  const std::uint32_t blue = 0x0000FF, red = 0xFF0000, white = 0xFFFFFF, black = 0, green = 0x00FF00;
  const struct {
    const char* name;
    std::vector<m::WmfRecord> records;
    int objects;
    std::uint32_t middle, corner;
  } rows[] = {
      {"a mask with SRCPAINT, then its image with SRCAND: one image with alpha",
       {StretchDib(kSrcPaint, 0, 0, 300, 8, 8, Middle(8, 8, white, black)),
        StretchDib(kSrcAnd, 0, 0, 300, 8, 8, Middle(8, 8, red, white))},
       0,
       red,
       blue},
      {"SRCAND alone: black where the bitmap is",
       {StretchDib(kSrcAnd, 0, 0, 300, 8, 8, Middle(8, 8, black, white))},
       0,
       black,
       blue},
      {"SRCPAINT alone: white where the bitmap is",
       {StretchDib(kSrcPaint, 0, 0, 300, 8, 8, Middle(8, 8, white, black))},
       0,
       white,
       blue},
      {"SRCINVERT alone: black leaves what lies below",
       {StretchDib(kSrcInvert, 0, 0, 300, 8, 8, Middle(8, 8, red, black))},
       0,
       red,
       blue},
      {"PatBlt DSTINVERT: black, what it makes of white",
       {{0x061D,
         {static_cast<std::uint16_t>(kDstInvert & 0xFFFF), static_cast<std::uint16_t>(kDstInvert >> 16), 150,
          150, 75, 75}}},
       0,
       black,
       blue},
      {"R2_NOP draws nothing",
       {Brush(red, 2)[0], Brush(red, 2)[1], Rop2(11), Rect(0, 0, 300, 300)},
       1,
       blue,
       blue},
      {"R2_BLACK draws black",
       {Brush(red, 2)[0], Brush(red, 2)[1], Rop2(1), Rect(0, 0, 300, 300)},
       1,
       black,
       black},
      {"R2_MERGEPEN of white: white",
       {Brush(white, 2)[0], Brush(white, 2)[1], Rop2(15), Rect(100, 100, 200, 200)},
       1,
       white,
       blue},
      {"a text of a font of no size draws nothing, and what follows it is drawn",
       {Font(0, 0, 400, false, false, false, 0, "Liberation Sans"),
        {0x012D, {2}},
        {0x0521, Cat(Cat({1}, Text("I")), {150, 150})},
        Brush(red, 3)[0],
        Brush(red, 3)[1],
        Rect(100, 100, 200, 200)},
       2,
       red,
       blue},
      {"the XOR trick: drawn, shapes filled black, drawn again: the drawing within the shapes",
       {Brush(red, 2)[0],
        Brush(red, 2)[1],
        Rop2(7),
        Rect(0, 0, 300, 300),
        Rop2(13),
        Brush(black, 3)[0],
        Brush(black, 3)[1],
        Rect(100, 100, 200, 200),
        {0x012D, {2}},
        Rop2(7),
        Rect(0, 0, 300, 300),
        Rop2(13)},
       2,
       red,
       blue},
      {"two XOR tricks, the second's first drawing right after the first's mode is set back",
       TwoXorTricks(Rect(0, 0, 50, 50), Rect(100, 100, 200, 200)), 3, green, red},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Raster r = Drawn(OverBlue(row.records, row.objects), std::string("rop-") + row.name);
    ASSERT_EQ(r.width, 300);
    EXPECT_TRUE(Near(r.at(150, 150), row.middle)) << std::hex << r.at(150, 150);
    EXPECT_TRUE(Near(r.at(20, 20), row.corner)) << std::hex << r.at(20, 20);
  }
}

// The same as a StretchBlt.
m::EmfRecord EmfStretchBlt(std::uint32_t rop, int x, int y, int size, int w, int h, const m::Pattern& p) {
  m::Bytes dib;
  m::PutDibRows(dib, w, h, 24, p);
  const auto u = [](int v) { return static_cast<std::uint32_t>(v); };
  std::vector<std::uint32_t> words = {u(x),
                                      u(y),
                                      u(x + size),
                                      u(y + size),
                                      u(x),
                                      u(y),
                                      u(size),
                                      u(size),
                                      rop,
                                      0,
                                      0,
                                      0x3F800000,
                                      0,
                                      0,
                                      0x3F800000,
                                      0,
                                      0,
                                      0,
                                      0,
                                      108,
                                      40,
                                      148,
                                      u(static_cast<int>(dib.size())),
                                      u(w),
                                      u(h),
                                      40,
                                      u(w),
                                      u(h),
                                      0x180001,
                                      0,
                                      0,
                                      0,
                                      0,
                                      0,
                                      0};
  for (std::size_t at = 0; at < dib.size(); at += 4) words.push_back(m::MetafileU32Of(dib, at));
  return {77, words};
}

// A 1 x 1 inch EMF of 100 pixels an inch, a null pen, blue behind the
// records.
m::Bytes EmfOverBlue(const std::vector<m::EmfRecord>& records) {
  std::vector<m::EmfRecord> all = {
      {39, {1, 0, m::Ref(0x0000FF), 0}}, {37, {1}}, {37, {0x80000008}}, {43, {0, 0, 100, 100}}};
  all.insert(all.end(), records.begin(), records.end());
  return m::Emf(2540, 2540, all, 3);
}

// The same raster operations in an EMF, over a blue page: the colour in the
// middle (150, 150) and near a corner (20, 20), as GDI composes them.
TEST(ImagingMetafileRules, EmfRasterOperationsAreComposedAsGdiComposesThem) {
  constexpr std::uint32_t kSrcPaint = 0xEE0086, kSrcAnd = 0x8800C6, kNotSrcCopy = 0x330008,
                          kDstInvert = 0x550009, kBlackness = 0x000042, kWhiteness = 0xFF0062;
  const std::uint32_t blue = 0x0000FF, red = 0xFF0000, white = 0xFFFFFF, black = 0, cyan = 0x00FFFF;
  // An 8 x 8 bitmap over the page, `inside` in its middle half.
  const auto dib = [](std::uint32_t rop, std::uint32_t inside, std::uint32_t outside) {
    return EmfStretchDib(rop, 0, 0, 100, 8, 8, Middle(8, 8, inside, outside));
  };
  const m::EmfRecord red2 = {39, {2, 0, m::Ref(red), 0}}, select2 = {37, {2}}, black3 = {39, {3, 0, 0, 0}},
                     select3 = {37, {3}}, xorPen = {20, {7}}, copyPen = {20, {13}},
                     whole = {43, {0, 0, 100, 100}};
  // The page drawn red in R2_XORPEN, the shape filled black, the page again.
  const auto trick = [&](const m::EmfRecord& shape) {
    return std::vector<m::EmfRecord>{red2,    select2, xorPen,  whole,  copyPen, black3,
                                     select3, shape,   select2, xorPen, whole,   copyPen};
  };
  const struct {
    const char* name;
    std::vector<m::EmfRecord> records;
    std::uint32_t middle, corner;
  } rows[] = {
      {"a mask with SRCPAINT, then its image with SRCAND: one image with alpha",
       {dib(kSrcPaint, white, black), dib(kSrcAnd, red, white)},
       red,
       blue},
      {"the same pair as StretchBlt records",
       {EmfStretchBlt(kSrcPaint, 0, 0, 100, 8, 8, Middle(8, 8, white, black)),
        EmfStretchBlt(kSrcAnd, 0, 0, 100, 8, 8, Middle(8, 8, red, white))},
       red,
       blue},
      {"SRCAND alone: black where the bitmap is", {dib(kSrcAnd, black, white)}, black, blue},
      {"SRCAND of a white bitmap leaves what lies below", {dib(kSrcAnd, white, white)}, blue, blue},
      {"SRCPAINT alone: white where the bitmap is", {dib(kSrcPaint, white, black)}, white, blue},
      {"NOTSRCCOPY: the bitmap inverted", {dib(kNotSrcCopy, cyan, white)}, red, black},
      {"PatBlt DSTINVERT: black, what it makes of white", {EmfPatBlt(kDstInvert, 25, 25, 50)}, black, blue},
      {"PatBlt BLACKNESS", {EmfPatBlt(kBlackness, 25, 25, 50)}, black, blue},
      {"PatBlt WHITENESS", {EmfPatBlt(kWhiteness, 25, 25, 50)}, white, blue},
      {"the XOR trick: drawn, a rectangle filled black, drawn again: the drawing within it",
       trick({43, {33, 33, 67, 67}}), red, blue},
      {"the XOR trick within an ellipse", trick({42, {10, 10, 90, 90}}), red, blue},
      {"the XOR trick within a triangle: the drawing within its path",
       trick({3, {10, 10, 90, 90, 3, 10, 90, 50, 10, 90, 90}}), red, blue},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Raster r = Drawn(EmfOverBlue(row.records), std::string("emfrop-") + row.name);
    ASSERT_EQ(r.width, 300);
    EXPECT_TRUE(Near(r.at(150, 150), row.middle)) << std::hex << r.at(150, 150);
    EXPECT_TRUE(Near(r.at(20, 20), row.corner)) << std::hex << r.at(20, 20);
  }
}

// What SaveDC and RestoreDC keep, over a blue page: the colour at a point.
TEST(ImagingMetafileRules, SavedStatesAreKeptAsGdiKeepsThem) {
  const std::uint32_t blue = 0x0000FF, red = 0xFF0000, green = 0x00FF00;
  const m::WmfRecord save = {0x001E, {}}, restore = {0x0127, {0xFFFF}};
  const auto font = Font(-kEm, 0, 400, false, false, false, 0, "Liberation Sans");
  const struct {
    const char* name;
    std::vector<m::WmfRecord> records;
    int objects, x, y;
    std::uint32_t colour;
  } rows[] = {
      {"SetROP2 before a SaveDC holds after it",
       {Rop2(11), save, Brush(red, 2)[0], Brush(red, 2)[1], Rect(0, 0, 300, 300)},
       1,
       150,
       150,
       blue},
      {"a RestoreDC brings back the mode before",
       {save, Rop2(11), restore, Brush(red, 2)[0], Brush(red, 2)[1], Rect(0, 0, 300, 300)},
       1,
       150,
       150,
       red},
      {"the text colour before a SaveDC holds after it",
       {font,
        {0x012D, {2}},
        {0x0209, m::Colour(red)},
        {0x0102, {1}},
        {0x012E, {24}},
        save,
        {0x0521, Cat(Cat({1}, Text("I")), {200, 150})}},
       1,
       158,
       180,
       red},
      {"a clip set and taken back within an XOR trick's drawing leaves what follows unclipped",
       {Brush(red, 2)[0],
        Brush(red, 2)[1],
        Rop2(7),
        save,
        {0x0416, {200, 200, 0, 0}},
        Rect(0, 0, 300, 300),
        restore,
        Rop2(13),
        Brush(0, 3)[0],
        Brush(0, 3)[1],
        Rect(100, 100, 200, 200),
        {0x012D, {2}},
        Rop2(7),
        Rect(0, 0, 300, 300),
        Rop2(13),
        Brush(green, 4)[0],
        Brush(green, 4)[1],
        Rect(250, 250, 300, 300)},
       3,
       275,
       275,
       green},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Raster r = Drawn(OverBlue(row.records, row.objects), std::string("saved-") + row.name);
    ASSERT_EQ(r.width, 300);
    EXPECT_TRUE(Near(r.at(row.x, row.y), row.colour)) << std::hex << r.at(row.x, row.y);
  }
}

// A pattern brush's 1-bit bitmap, its rows bottom-up as a DIB holds them
// (`rows` top row first, a byte a row repeated across `width`), read as
// GDI draws it: the hatch whose lines its scarcer colour draws, in that
// colour, or none and the colour it averages to.
TEST(ImagingMetafileRules, APatternBrushIsReadAsTheHatchItDraws) {
  const struct {
    const char* name;
    std::vector<std::uint8_t> rows;  // top first; a 0 bit is the first colour
    int width;
    int hatch;
    std::uint32_t colour;  // the lines', or the mean's
  } rows[] = {
      {"a row", {0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}, 8, 0, 0x0000FF},
      {"a column", {0xEF, 0xEF, 0xEF, 0xEF, 0xEF, 0xEF, 0xEF, 0xEF}, 8, 1, 0x0000FF},
      {"falling to the right", {0x7F, 0xBF, 0xDF, 0xEF, 0xF7, 0xFB, 0xFD, 0xFE}, 16, 2, 0x0000FF},
      {"rising to the right", {0xFE, 0xFD, 0xFB, 0xF7, 0xEF, 0xDF, 0xBF, 0x7F}, 8, 3, 0x0000FF},
      {"a cross", {0xF7, 0xF7, 0x00, 0xF7, 0xF7, 0xF7, 0xF7, 0xF7}, 8, 4, 0x0000FF},
      {"a diagonal cross (gnuplot's)", {0xFE, 0x7D, 0xBB, 0xD7, 0xEF, 0xD7, 0xBB, 0x7D}, 16, 5, 0x0000FF},
      {"white lines on the first colour", {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00}, 8, 0, 0xFFFFFF},
      {"dots: no hatch, their mean", {0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 8, -1, 0xFBFBFF},
  };
  const std::uint32_t mono[2] = {0xFF0000, 0xFFFFFF};  // red (0x00BBGGRR: blue) text, white background
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    m::Bytes info;
    for (std::uint32_t v : {40u, static_cast<std::uint32_t>(row.width), 8u, 0x10001u, 0u, 0u, 0u, 0u, 0u, 0u})
      m::Put32(info, v);
    m::Bytes bits;
    for (int y = 7; y >= 0; --y) {
      for (int x = 0; x < row.width / 8; ++x) bits.push_back(row.rows[static_cast<std::size_t>(y)]);
      bits.resize((bits.size() + 3) / 4 * 4, 0);
    }
    const detail::BrushPattern p =
        detail::ReadBrushPattern(info.data(), info.size(), bits.data(), bits.size(), true, mono);
    EXPECT_EQ(p.hatch, row.hatch);
    const std::uint32_t colour = row.hatch >= 0 ? p.lineColour : p.mean;
    // 0x00BBGGRR against 0xRRGGBB.
    EXPECT_EQ(((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF), row.colour);
  }
}

// An EMF brush of a 8 x 8 1-bit pattern whose 0 bits are a vertical line
// (CreateMonoBrush, colours the DC's; or CreateDIBPatternBrushPt, colours
// its own: the line red).
m::EmfRecord PatternBrush(bool mono) {
  std::vector<std::uint32_t> w = {1, mono ? 2u : 0u, 32, mono ? 40u : 48u, mono ? 72u : 80u, 32};
  for (std::uint32_t v : {40u, 8u, 8u, 0x10001u, 0u, 32u, 0u, 0u, 0u, 0u}) w.push_back(v);
  if (!mono) w.insert(w.end(), {0x00FF0000u, 0x00FFFFFFu});  // red, white (blue, green, red, 0)
  for (int y = 0; y < 8; ++y) w.push_back(0xEF);
  return {mono ? 93u : 94u, w};
}

// Hatched and pattern brushes fill as their patterns: within the filled
// rectangle, some pixels of the lines' colour (red) and some of white.
TEST(ImagingMetafileRules, HatchedAndPatternBrushesFillAsPatterns) {
  const std::uint32_t red = m::Ref(0xFF0000);
  const m::EmfRecord fill = {43, {10, 10, 180, 85}}, select = {37, {1}}, transparent = {18, {1}};
  const struct {
    const char* name;
    m::Bytes bytes;
  } rows[] = {
      {"EMF, a hatched brush (a cross)",
       m::Emf(5000, 2500, {transparent, {39, {1, 2, red, 4}}, select, fill}, 2)},
      {"EMF, a monochrome pattern brush",
       m::Emf(5000, 2500, {{24, {red}}, PatternBrush(true), select, fill}, 2)},
      {"EMF, a 1-bit DIB pattern brush", m::Emf(5000, 2500, {PatternBrush(false), select, fill}, 2)},
      {"WMF, a hatched brush (a cross)", m::Wmf(300, 300, 300,
                                                {{0x020B, {0, 0}},
                                                 {0x020C, {300, 300}},
                                                 {0x0102, {1}},
                                                 {0x02FC, Cat(Cat({2}, m::Colour(0xFF0000)), {4})},
                                                 {0x012D, {0}},
                                                 Rect(0, 0, 300, 300)},
                                                1)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Raster r = Drawn(row.bytes, std::string("brush-") + row.name);
    int lines = 0, white = 0, all = 0;
    for (int y = r.height / 3; y < 2 * r.height / 3; ++y)
      for (int x = r.width / 3; x < 2 * r.width / 3; ++x, ++all) {
        lines += Near(r.at(x, y), 0xFF0000);
        white += Near(r.at(x, y), 0xFFFFFF);
      }
    EXPECT_GT(lines, all / 20) << lines << " of " << all;
    EXPECT_GT(white, all / 3) << white << " of " << all;
  }
}

// An EMF of a frame of `wide` x `high` in 0.01 mm whose header bounds the
// drawing by device pixels `bounds` (100 a inch), a red rectangle over them.
m::Bytes FramedEmf(int wide, int high, std::array<int, 4> bounds) {
  m::Bytes b = m::Emf(wide, high,
                      {{39, {1, 0, m::Ref(0xFF0000), 0}},
                       {37, {1}},
                       {43,
                        {static_cast<std::uint32_t>(bounds[0]), static_cast<std::uint32_t>(bounds[1]),
                         static_cast<std::uint32_t>(bounds[2]), static_cast<std::uint32_t>(bounds[3])}}},
                      2);
  for (std::size_t k = 0; k < 4; ++k) {
    const auto v = static_cast<std::uint32_t>(bounds[k]);
    for (std::size_t i = 0; i < 4; ++i) b[8 + 4 * k + i] = static_cast<std::uint8_t>(v >> (8 * i));
  }
  return b;
}

// A frame far larger than any sheet round a drawing that covers a sliver of
// it is narrowed to the drawing; a page's margin, a frame the drawing fills
// and one whose bounds say nothing are kept whole.
TEST(ImagingMetafileRules, AFrameOfMetresRoundADrawingOfCentimetresIsNarrowedToIt) {
  const struct {
    const char* name;
    m::Bytes bytes;
    int width, height;  // the picture's, in pixels at 300 dpi
    double red;         // the least share of it the rectangle fills (the most when 0)
  } rows[] = {
      {"2.6 x 1.9 m round 5 x 4 cm", FramedEmf(260000, 190000, {5000, 3500, 5200, 3650}), 609, 459, 0.9},
      {"an A4 page round a mark", FramedEmf(21000, 29700, {400, 500, 440, 540}), 2480, 3508, 0},
      {"2.6 x 1.9 m, the drawing a twentieth of it", FramedEmf(260000, 190000, {0, 0, 2300, 1700}), 4096,
       2993, 0.04},
      {"2.6 x 1.9 m, no bounds", FramedEmf(260000, 190000, {0, 0, -1, -1}), 4096, 2993, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Raster r = Drawn(row.bytes, std::string("frame-") + row.name);
    EXPECT_NEAR(r.width, row.width, 2);
    EXPECT_NEAR(r.height, row.height, 2);
    std::int64_t red = 0;
    for (int y = 0; y < r.height; ++y)
      for (int x = 0; x < r.width; ++x) red += Near(r.at(x, y), 0xFF0000);
    const double share = static_cast<double>(red) / (static_cast<double>(r.width) * r.height);
    if (row.red > 0)
      EXPECT_GT(share, row.red);
    else
      EXPECT_LT(share, 0.01);
  }
}

// A pentagram's points, of 16 bits, round (100, 100) of a 200-unit square.
std::vector<std::uint32_t> Star() {
  const auto p16 = [](int x, int y) { return static_cast<std::uint32_t>((x & 0xFFFF) | (y << 16)); };
  return {p16(100, 10), p16(153, 172), p16(14, 72), p16(186, 72), p16(47, 172)};
}

// An EMF shape fills by the even-odd rule unless SetPolyFillMode says
// WINDING: a pentagram's middle, and the middle of a square in a square,
// are left white, or filled red.
TEST(ImagingMetafileRules, AnEmfShapeFillsByItsFillMode) {
  const auto p16 = [](int x, int y) { return static_cast<std::uint32_t>((x & 0xFFFF) | (y << 16)); };
  const m::EmfRecord brush = {39, {1, 0, m::Ref(0xFF0000), 0}}, select = {37, {1}},
                     nullPen = {37, {0x80000008}}, winding = {19, {2}}, alternate = {19, {1}};
  std::vector<std::uint32_t> star = {0, 0, 200, 200, 5};
  for (const std::uint32_t p : Star()) star.push_back(p);
  const m::EmfRecord polygon = {86, star};
  // Two squares, the second inside the first, both clockwise.
  const m::EmfRecord squares = {91,
                                {0, 0, 200, 200, 2, 8, 4, 4, p16(10, 10), p16(190, 10), p16(190, 190),
                                 p16(10, 190), p16(60, 60), p16(140, 60), p16(140, 140), p16(60, 140)}};
  const m::EmfRecord begin = {59, {}}, end = {60, {}}, fillPath = {62, {0, 0, 200, 200}};
  const m::EmfRecord clip = {30, {0, 0, 200, 200}};  // IntersectClipRect: the whole picture
  const struct {
    const char* name;
    std::vector<m::EmfRecord> records;
    bool middle;  // whether the middle is filled
  } rows[] = {
      {"a pentagram, the device's first mode", {brush, select, nullPen, polygon}, false},
      {"a pentagram, WINDING", {winding, brush, select, nullPen, polygon}, true},
      {"a pentagram, ALTERNATE restored",
       {winding, {33, {}}, alternate, {34, {0xFFFFFFFF}}, brush, select, nullPen, polygon},
       true},
      {"a square in a square", {brush, select, nullPen, squares}, false},
      {"a square in a square, WINDING", {winding, brush, select, nullPen, squares}, true},
      {"a pentagram's path", {brush, select, nullPen, begin, polygon, end, fillPath}, false},
      {"a pentagram's path, clipped", {clip, brush, select, nullPen, begin, polygon, end, fillPath}, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Raster r = Drawn(m::Emf(5080, 5080, row.records, 2), std::string("fill-mode-") + row.name);
    ASSERT_GT(r.width, 0);
    // 200 units of the 100-dpi reference device: 600 pixels; the middle at 300.
    EXPECT_TRUE(Near(r.at(r.width / 2, r.height / 2 + 15), row.middle ? 0xFF0000 : 0xFFFFFF))
        << std::hex << r.at(r.width / 2, r.height / 2 + 15);
    // A point of the star, or the ring between the squares, filled either way.
    EXPECT_TRUE(Near(r.at(r.width / 2, r.height * 3 / 40), 0xFF0000))
        << std::hex << r.at(r.width / 2, r.height * 3 / 40);
  }
}

}  // namespace

namespace {

// A rectangle record's words: left, top, right, bottom.
m::EmfRecord ClipRect(std::uint32_t type, int l, int t, int r, int b) {
  return {type,
          {static_cast<std::uint32_t>(l), static_cast<std::uint32_t>(t), static_cast<std::uint32_t>(r),
           static_cast<std::uint32_t>(b)}};
}

// An ExtSelectClipRgn of the mode and a region of the rectangles (device
// pixels), or of no region.
m::EmfRecord SelectRegion(std::uint32_t mode, const std::vector<std::array<int, 4>>& boxes) {
  if (boxes.empty()) return {75, {0, mode}};
  const auto n = static_cast<std::uint32_t>(boxes.size());
  std::vector<std::uint32_t> words = {32 + 16 * n, mode, 32, 1, n, 16 * n, 0, 0, 200, 200};
  for (const auto& box : boxes)
    for (const int v : box) words.push_back(static_cast<std::uint32_t>(v));
  return {75, words};
}

}  // namespace

// An EMF's clip as GDI keeps it, over a 200-unit square (a unit a pixel of
// the 100-dpi reference device, 3 of the picture) filled red last: whether
// the points (50, 50), (100, 100) and (150, 150) of it are red.
TEST(ImagingMetafileRules, AnEmfClipIsKeptAsGdiKeepsIt) {
  constexpr std::uint32_t kExclude = 29, kIntersect = 30;
  const m::EmfRecord save = {33, {}}, restore = {34, {0xFFFFFFFF}}, meta = {28, {}};
  const m::EmfRecord scale = {35, {0x40000000, 0, 0, 0x40000000, 0, 0}};  // world: twice as large
  const struct {
    const char* name;
    std::vector<m::EmfRecord> clip;
    std::array<bool, 3> red;
  } rows[] = {
      {"an excluded rectangle is left out", {ClipRect(kExclude, 75, 75, 125, 125)}, {true, false, true}},
      {"two intersections clip to both",
       {ClipRect(kIntersect, 0, 0, 125, 125), ClipRect(kIntersect, 75, 75, 200, 200)},
       {false, true, false}},
      {"an exclusion within an intersection",
       {ClipRect(kIntersect, 0, 0, 125, 125), ClipRect(kExclude, 75, 75, 200, 200)},
       {true, false, false}},
      {"an intersection taken back by RestoreDC",
       {ClipRect(kExclude, 75, 75, 125, 125), save, ClipRect(kIntersect, 0, 0, 25, 25), restore},
       {true, false, true}},
      {"an exclusion kept across a SaveDC", {ClipRect(kExclude, 0, 0, 125, 125), save}, {false, false, true}},
      {"SelectClipRgn(NULL) ends the clip",
       {ClipRect(kExclude, 0, 0, 200, 200), SelectRegion(5, {}), ClipRect(kExclude, 75, 75, 125, 125)},
       {true, false, true}},
      {"a meta region stays after SelectClipRgn(NULL)",
       {ClipRect(kExclude, 75, 75, 125, 125), meta, SelectRegion(5, {})},
       {true, false, true}},
      {"a region ANDed with the clip",
       {ClipRect(kIntersect, 0, 0, 125, 125), SelectRegion(1, {{75, 75, 200, 200}})},
       {false, true, false}},
      {"a region taken out of the clip", {SelectRegion(4, {{75, 75, 125, 125}})}, {true, false, true}},
      {"a region ORed with the clip",
       {ClipRect(kIntersect, 0, 0, 75, 75), SelectRegion(2, {{125, 125, 200, 200}})},
       {true, false, true}},
      {"a region XORed with the clip",
       {ClipRect(kIntersect, 0, 0, 125, 125), SelectRegion(3, {{75, 75, 200, 200}})},
       {true, false, true}},
      {"OffsetClipRgn moves an exclusion",
       {ClipRect(kExclude, 0, 0, 125, 125), {26, {50, 50}}},
       {false, false, false}},
      {"a clip set under a scaling world transform lies where it was set",
       {ClipRect(kIntersect, 0, 0, 125, 125), scale},
       {true, true, false}},
  };
  const m::EmfRecord brush = {39, {1, 0, m::Ref(0xFF0000), 0}}, select = {37, {1}},
                     nullPen = {37, {0x80000008}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<m::EmfRecord> records = row.clip;
    for (const m::EmfRecord& r : {brush, select, nullPen, ClipRect(43, 0, 0, 200, 200)}) records.push_back(r);
    const Raster r = Drawn(m::Emf(5080, 5080, records, 2), std::string("clip-") + row.name);
    ASSERT_EQ(r.width, 600);
    for (int k = 0; k < 3; ++k)
      EXPECT_EQ(Near(r.at(150 * (k + 1), 150 * (k + 1)), 0xFF0000), row.red[k])
          << k << " " << std::hex << r.at(150 * (k + 1), 150 * (k + 1));
  }
}

// A WMF object is selected by SelectObject alone, not as it is made, over a
// blue page whose first objects are a null pen and the blue brush: the
// colours at the middle of the top half and of the bottom half.
// The picture drawn shows the colours in its top and bottom halves.
void ExpectHalves(const std::string& name, const m::Bytes& bytes, std::uint32_t top, std::uint32_t bottom) {
  SCOPED_TRACE(name);
  const Raster r = Drawn(bytes, name);
  ASSERT_EQ(r.width, 300);
  EXPECT_TRUE(Near(r.at(150, 75), top)) << std::hex << r.at(150, 75);
  EXPECT_TRUE(Near(r.at(150, 225), bottom)) << std::hex << r.at(150, 225);
}

TEST(ImagingMetafileRules, AWmfObjectIsSelectedBySelectObjectAlone) {
  const std::uint32_t red = 0xFF0000, green = 0x00FF00;
  const auto make = [](std::uint32_t rgb) { return Brush(rgb, 0)[0]; };
  const auto pen = [](std::uint32_t rgb) { return m::WmfRecord{0x02FA, Cat({0, 60, 0}, m::Colour(rgb))}; };
  const m::WmfRecord select2 = {0x012D, {2}}, top = Rect(0, 0, 300, 150), bottom = Rect(0, 150, 300, 300);
  const m::WmfRecord moveTo = {0x0214, {75, 0}}, lineTo = {0x0213, {75, 300}};
  const struct {
    const char* name;
    std::vector<m::WmfRecord> records;
    std::uint32_t top, bottom;
  } rows[] = {
      {"a brush made and not selected", {make(red), select2, make(green), top, bottom}, red, red},
      {"a pen made and not selected", {pen(red), select2, pen(green), moveTo, lineTo}, red, 0x0000FF},
  };
  for (const auto& row : rows)
    ExpectHalves(std::string("selected-") + row.name, OverBlue(row.records, 3), row.top, row.bottom);
}

TEST(ImagingMetafileRules, AWmfObjectDeletedWhileSelectedIsDrawnWithUntilAnotherIsSelected) {
  const std::uint32_t red = 0xFF0000, green = 0x00FF00, yellow = 0xFFFF00;
  const auto make = [](std::uint32_t rgb) { return Brush(rgb, 0)[0]; };
  const auto pen = [](std::uint32_t rgb) { return m::WmfRecord{0x02FA, Cat({0, 60, 0}, m::Colour(rgb))}; };
  const auto select = [](std::uint16_t index) { return m::WmfRecord{0x012D, {index}}; };
  const auto erase = [](std::uint16_t index) { return m::WmfRecord{0x01F0, {index}}; };
  const m::WmfRecord save = {0x001E, {}}, restore = {0x0127, {0xFFFF}};
  const m::WmfRecord top = Rect(0, 0, 300, 150), bottom = Rect(0, 150, 300, 300);
  const m::WmfRecord moveTo = {0x0214, {75, 0}}, lineTo = {0x0213, {75, 300}};
  // An empty region, in the place it takes.
  const m::WmfRecord region = {0x06FF, {0, 6, 0, 0, 22, 0, 0, 0, 0, 0, 0}};
  const struct {
    const char* name;
    std::vector<m::WmfRecord> records;
    std::uint32_t top, bottom;
  } rows[] = {
      {"a brush the DC selects, another made in its place",
       {make(red), select(2), erase(2), make(green), top, select(2), bottom},
       red,
       green},
      {"a brush a saved state selects, restored",
       {make(red), select(2), save, make(green), select(3), erase(2), make(yellow), restore, top, select(2),
        make(green), select(4), bottom},
       red,
       green},
      {"a pen a saved state selects, restored",
       {pen(red), select(2), save, select(0), erase(2), pen(green), restore, moveTo, lineTo},
       red,
       0x0000FF},
      {"a brush a saved state selects, a region made in its place",
       {make(red), select(2), save, make(green), select(3), erase(2), region, restore, top},
       red,
       0x0000FF},
  };
  for (const auto& row : rows)
    ExpectHalves(std::string("deleted-") + row.name, OverBlue(row.records, 4), row.top, row.bottom);
}

// The first dash and the gap after it along the picture's rows y - 2 to
// y + 2 (a column inked where one of them is darker than light grey), from
// the left.
std::array<int, 2> FirstDash(const Raster& r, int y) {
  const auto inked = [&](int x) {
    for (int k = y - 2; k <= y + 2; ++k)
      if (Darkest(r.at(x, k)) < 200) return true;
    return false;
  };
  int x = 0;
  while (x < r.width && !inked(x)) ++x;
  const int on = x;
  while (x < r.width && inked(x)) ++x;
  const int off = x;
  while (x < r.width && !inked(x)) ++x;
  return {off - on, x - off};
}

// An EMF's dashed pens dash as GDI's: a line across a 200-unit square (a
// unit a pixel of the 100-dpi reference device, 3 of the picture) drawn
// from its left edge at mid height, its first dash and gap measured (in
// pixels of the picture, give or take the caps' and the edges' pixels).
TEST(ImagingMetafileRules, AnEmfPenDashesAsGdiDashes) {
  constexpr std::uint32_t kGeometric = 0x10000, kFlat = 0x200, kUser = 7;
  const auto pen = [](std::uint32_t style, std::uint32_t width) {
    return m::EmfRecord{38, {1, style, width, 0, 0}};
  };
  const auto extPen = [](std::uint32_t style, std::uint32_t width, std::vector<std::uint32_t> dashes) {
    std::vector<std::uint32_t> words = {
        1, 0, 0, 0, 0, style, width, 0, 0, 0, static_cast<std::uint32_t>(dashes.size())};
    words.insert(words.end(), dashes.begin(), dashes.end());
    return m::EmfRecord{95, words};
  };
  const struct {
    const char* name;
    m::EmfRecord pen;
    int on, off;
  } rows[] = {
      {"a cosmetic PS_DASH: 18 and 6 pixels of the device", pen(1, 0), 54, 18},
      {"a cosmetic PS_DOT: 3 and 3", pen(2, 0), 9, 9},
      {"a cosmetic PS_DASHDOTDOT: 9 and 3 first", pen(4, 0), 27, 9},
      {"a cosmetic PS_DASHDOT whatever the pen's width of 1", pen(3, 1), 27, 18},
      {"a geometric PS_DASH, flat ends, 6 wide: 3 and 1 widths", extPen(kGeometric | kFlat | 1, 6, {}), 54,
       18},
      {"a cosmetic PS_USERSTYLE of 10 and 5 pixels", extPen(kUser, 1, {10, 5}), 30, 15},
      {"a geometric PS_USERSTYLE of 8 and 4 units, flat ends", extPen(kGeometric | kFlat | kUser, 4, {8, 4}),
       24, 12},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Raster r = Drawn(m::Emf(5080, 5080, {row.pen, {37, {1}}, {27, {0, 100}}, {54, {200, 100}}}, 2),
                           std::string("dashes-") + row.name);
    ASSERT_EQ(r.width, 600);
    const std::array<int, 2> dash = FirstDash(r, 300);
    EXPECT_NEAR(dash[0], row.on, 4);
    EXPECT_NEAR(dash[1], row.off, 4);
  }
}

// An ExtCreateFontIndirectW of handle 1: the height and width, Liberation
// Sans.
m::EmfRecord EmfFont(int height, int width) {
  return m::EmfFontRecord(height, width, 400, false, u"Liberation Sans");
}

// An ExtTextOutW of the ASCII text at (x, y) with the characters' advances.
m::EmfRecord EmfText(int x, int y, const std::string& text, const std::vector<std::uint32_t>& dx) {
  return m::EmfTextRecord(true, x, y, text, dx);
}

// An EMF text's characters lie at the advances its record gives, its
// glyphs stretched by its font's width: the ink's left and right edges (in
// pixels of the picture, 3 a unit) of a text of Liberation Sans of an em of
// 20 units on a baseline at mid height, left aligned at 20 or centred on 100.
TEST(ImagingMetafileRules, AnEmfTextIsSetAtItsAdvancesAndItsFontsWidth) {
  const struct {
    const char* name;
    int width, align, x;
    std::string text;
    std::vector<std::uint32_t> dx;
    int left, right;
  } rows[] = {
      {"two I 40 units apart", 0, 24, 20, "II", {40, 40}, 62, 191},
      {"two I 40 units apart, centred", 0, 24 | 6, 100, "II", {40, 40}, 182, 311},
      {"two I 40 units apart, right aligned", 0, 24 | 2, 180, "II", {40, 40}, 305, 431},
      {"two M 30 units apart, half as wide as high", 10, 24, 20, "MM", {30, 30}, 62, 173},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<m::EmfRecord> records = {EmfFont(-20, row.width),
                                               {37, {1}},
                                               {18, {1}},
                                               {22, {static_cast<std::uint32_t>(row.align)}},
                                               EmfText(row.x, 100, row.text, row.dx)};
    const Raster r = Drawn(m::Emf(5080, 5080, records, 2), std::string("spacing-") + row.name);
    ASSERT_EQ(r.width, 600);
    const std::vector<int> ink = InkBox(r);
    EXPECT_NEAR(ink[0], row.left, 4);
    EXPECT_NEAR(ink[2], row.right, 4);
  }
}

// An EMF+ fill less than opaque, followed by the plain records drawing it
// for readers of those only, over a blue square: the middle's colour.
TEST(ImagingMetafileRules, ATranslucentEmfPlusFillIsDrawnTranslucent) {
  // An EMF+ comment of one fill of the record type, of a colour brush.
  const auto plus = [](std::uint32_t type, std::uint32_t argb) {
    return m::EmfRecord{70,
                        {40, 0x2B464D45, type | 0x80000000u, 36, 24, argb, 1, 0, 0, 0x43480000, 0x43480000}};
  };
  const m::EmfRecord blue = {39, {1, 0, m::Ref(0x0000FF), 0}}, red = {39, {2, 0, m::Ref(0xFF0000), 0}};
  const m::EmfRecord nullPen = {37, {0x80000008}}, square = ClipRect(43, 0, 0, 200, 200);
  const struct {
    const char* name;
    std::uint32_t type, argb, colour;
  } rows[] = {
      {"FillRects, red at half opacity", 0x400A, 0x80FF0000, 0x800080},
      {"FillPolygon, red at a quarter", 0x400C, 0x40FF0000, 0x4000BF},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<m::EmfRecord> records = {
        nullPen, blue, {37, {1}}, square, plus(row.type, row.argb), red, {37, {2}}, square};
    const Raster r = Drawn(m::Emf(5080, 5080, records, 3), std::string("translucent-") + row.name);
    ASSERT_EQ(r.width, 600);
    EXPECT_TRUE(Near(r.at(300, 300), row.colour)) << std::hex << r.at(300, 300);
  }
}
