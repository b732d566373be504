// A bitmap record (a WMF's StretchDIB or DIBStretchBlt, an EMF's
// StretchDIBits) of more pixels than its place spans on the device is
// averaged down to those pixels as its rows are read: painted, it matches
// the whole bitmap stretched over its place (how it was drawn before)
// within a few levels; in a draw list it is held at 300 dpi of its box; and
// one whose pixels at four bytes each would pass the helper's memory is
// drawn. Each row draws a file made here through the real helper.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/imaging/decode.h"
#include "platform/imaging/metafile.h"
#include "tests/platform/imaging/metafiles.h"

namespace {

using namespace md::imaging;
namespace m = md::test::metafiles;

// The pixel of a w x w bitmap of `bits` at (x, y), rows from the top: grey
// levels (palette indices) or colours in broad bands, a disc across them.
std::uint32_t Band(int bits, int w, int x, int y) {
  const int dx = x - w / 2, dy = y - w / 2;
  const bool disc = 9LL * (static_cast<long long>(dx) * dx + static_cast<long long>(dy) * dy) <
                    static_cast<long long>(w) * w;
  if (bits == 1) return disc != (x * 6 / w % 2 == 0) ? 1u : 0u;
  if (bits <= 8) return static_cast<std::uint32_t>((x * 5 / w + (disc ? 3 : 0)) * ((1 << bits) - 1) / 8);
  const auto r = static_cast<std::uint32_t>(x * 255 / w),
             g = disc ? 0x30u : static_cast<std::uint32_t>(y * 255 / w);
  // 16 bits: 5 of each channel.
  if (bits == 16) return (r >> 3) << 10 | (g >> 3) << 5 | 0x10;
  return 0xFF000000u | r << 16 | g << 8 | 0x40u;
}

// The bitmap's colour as painted (premultiplied 0xAARRGGBB; all opaque).
std::uint32_t Painted(int bits, std::uint32_t v) {
  if (bits <= 8) return 0xFF000000u | (v * 255 / ((1u << bits) - 1)) * 0x010101u;
  if (bits == 16) return 0xFF000000u | ((v >> 10) & 0x1F) << 19 | ((v >> 5) & 0x1F) << 11 | (v & 0x1F) << 3;
  return v;
}

// The whole bitmap stretched over a box of `box` pixels as cairo stretches
// it: how the helper painted a bitmap before it averaged one down.
std::vector<std::uint32_t> Stretched(int bits, int w, int box) {
  cairo_surface_t* whole = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, w);
  auto* data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(whole));
  const int stride = cairo_image_surface_get_stride(whole) / 4;
  for (int y = 0; y < w; ++y)
    for (int x = 0; x < w; ++x) data[y * stride + x] = Painted(bits, Band(bits, w, x, y));
  cairo_surface_mark_dirty(whole);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(box) * box, 0);
  cairo_surface_t* target = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(out.data()),
                                                                CAIRO_FORMAT_ARGB32, box, box, box * 4);
  cairo_t* cr = cairo_create(target);
  cairo_scale(cr, static_cast<double>(box) / w, static_cast<double>(box) / w);
  cairo_set_source_surface(cr, whole, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
  cairo_rectangle(cr, 0, 0, w, w);
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_destroy(target);
  cairo_surface_destroy(whole);
  return out;
}

std::shared_ptr<const std::vector<std::uint32_t>> Paint(const Bitmap& picture, int box, std::string* why) {
  detail::MetafileBox b;
  b.size = {box, box};
  b.window = {0, 0, box, box};
  bool spent = false;
  return detail::PaintMetafile(picture, b, why, &spent);
}

// The painting as a PNG of the tests' output, to be looked at.
void WritePng(const std::vector<std::uint32_t>& pixels, int box, const std::string& name) {
  const auto dir = std::filesystem::path(MD_TEST_OUTPUT_DIR) / "big-bitmaps";
  std::filesystem::create_directories(dir);
  cairo_surface_t* s = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(pixels.data())), CAIRO_FORMAT_ARGB32, box,
      box, box * 4);
  cairo_surface_write_to_png(s, (dir / (name + ".png")).c_str());
  cairo_surface_destroy(s);
}

int Difference(std::uint32_t a, std::uint32_t b) {
  int most = 0;
  for (int shift = 0; shift < 32; shift += 8)
    most = std::max(most,
                    std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  return most;
}

// A 1200 x 1200 bitmap over 1 inch: painted at 150 dpi (150 x 150 pixels)
// against the whole bitmap stretched there, and listed for a box of 600 x
// 600 cells (of 600 dpi), where it is held at 300 x 300 pixels.
TEST(ImagingBigBitmaps, ABitmapDrawnSmallIsAveragedToItsPlacesPixels) {
  constexpr int kSide = 1200, kBox = 150, kCells = 600;
  const struct {
    const char* name;
    int bits;
    bool stretchBlt, emf;
  } rows[] = {
      {"1 bit, StretchDIB", 1, false, false},
      {"4 bits", 4, false, false},
      {"8 bits", 8, false, false},
      {"16 bits", 16, false, false},
      {"24 bits", 24, false, false},
      {"32 bits", 32, false, false},
      {"1 bit, DIBStretchBlt", 1, true, false},
      {"EMF, 1 bit", 1, false, true},
      {"EMF, 4 bits", 4, false, true},
      {"EMF, 8 bits", 8, false, true},
      {"EMF, 24 bits", 24, false, true},
      {"EMF, 32 bits", 32, false, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const int bits = row.bits;
    const m::Bytes dib =
        m::BigDib(kSide, kSide, bits, [bits](int x, int y) { return Band(bits, kSide, x, y); });
    const m::Bytes file = row.emf ? m::BigDibEmf(dib, 1.0) : m::BigDibWmf(dib, 1.0, row.stretchBlt);
    const DecodeResult r = Decode(file.data(), file.size());
    ASSERT_TRUE(r) << r.error;
    std::string why;
    const auto painted = Paint(*r.bitmap, kBox, &why);
    ASSERT_NE(painted, nullptr) << why;
    const std::vector<std::uint32_t> before = Stretched(bits, kSide, kBox);
    WritePng(*painted, kBox, row.name);
    int most = 0;
    double sum = 0;
    for (std::size_t k = 0; k < before.size(); ++k) {
      const int d = Difference((*painted)[k], before[k]);
      most = std::max(most, d);
      sum += d;
    }
    EXPECT_LE(sum / static_cast<double>(before.size()), 0.5);
    EXPECT_LE(most, 3);
    bool spent = false;
    const auto listed = detail::ListMetafile(*r.bitmap, kCells, kCells, &why, &spent);
    ASSERT_NE(listed, nullptr) << why;
    ASSERT_TRUE(listed->Readable()) << listed->Refusal();
    // 300 x 300 pixels of four bytes, and the list's few records.
    EXPECT_LT(listed->Bytes(), std::size_t{300 * 300 * 4 * 3 / 2});
  }
}

// A 1-bit bitmap of 20000 x 20000 pixels (50 MB; 1.6 GB at four bytes a
// pixel, past the helper's memory, whose limit the kernel holds) over 1
// inch, black on its left half and white on its right, painted at 100 x 100.
TEST(ImagingBigBitmaps, ABitmapLargerThanTheHelpersMemoryAtFourBytesAPixelIsDrawn) {
  constexpr int kSide = 20000, kBox = 100;
  const struct {
    const char* name;
    int x, y;
    std::uint32_t colour;
  } rows[] = {
      {"its left half black", 25, 50, 0xFF000000u},
      {"its right half white", 75, 50, 0xFFFFFFFFu},
  };
  const m::Bytes file =
      m::BigDibWmf(m::BigDib(kSide, kSide, 1, [](int x, int) { return x < kSide / 2 ? 0u : 1u; }), 1.0);
  const DecodeResult r = Decode(file.data(), file.size());
  ASSERT_TRUE(r) << r.error;
  std::string why;
  const auto painted = Paint(*r.bitmap, kBox, &why);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_NE(painted, nullptr) << why;
    EXPECT_EQ((*painted)[static_cast<std::size_t>(row.y) * kBox + row.x], row.colour);
  }
}

// A WMF's 16 x 16 DIB whose header counts no colours (all its bits then
// index), red for index 0 on its left half and blue for 1 on its right,
// over 1 inch painted at 64 x 64.
TEST(ImagingBigBitmaps, ADibCountingNoColoursHasAllTheColoursItsBitsIndex) {
  constexpr int kSide = 16, kBox = 64;
  const struct {
    const char* name;
    int bits;
  } rows[] = {{"1 bit", 1}, {"4 bits", 4}, {"8 bits", 8}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    m::Bytes dib = m::BigDib(kSide, kSide, row.bits, [](int x, int) { return x < kSide / 2 ? 0u : 1u; });
    std::fill_n(dib.begin() + 32, 4, 0);                                   // no colours counted
    const std::uint8_t red[] = {0, 0, 0xFF, 0}, blue[] = {0xFF, 0, 0, 0};  // blue, green, red
    std::copy_n(red, 4, dib.begin() + 40);
    std::copy_n(blue, 4, dib.begin() + 44);
    const m::Bytes file = m::BigDibWmf(dib, 1.0);
    const DecodeResult r = Decode(file.data(), file.size());
    ASSERT_TRUE(r) << r.error;
    std::string why;
    const auto painted = Paint(*r.bitmap, kBox, &why);
    ASSERT_NE(painted, nullptr) << why;
    EXPECT_EQ((*painted)[32 * kBox + 10], 0xFFFF0000u);
    EXPECT_EQ((*painted)[32 * kBox + 54], 0xFF0000FFu);
  }
}

}  // namespace
