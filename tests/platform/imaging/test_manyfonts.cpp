// Metafiles whose drawing starts many short-lived threads (pango starts one
// to sort the fallbacks of each new font it is asked for) are drawn on a
// raster and in a PDF through the real helper; and a list run that dies
// leaves the picture drawn from the helper's painting, saying why.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/draw.h"
#include "platform/imaging/loader.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/platform/imaging/metafiles.h"

namespace {

using namespace md::imaging;
namespace m = md::test::metafiles;

// A StretchBlt of a w x h 24-bit bitmap of the pattern over (x, y, size,
// size), copied.
m::EmfRecord StretchBlt(int x, int y, int size, int w, int h, const m::Pattern& p) {
  m::Bytes dib;
  m::PutDibRows(dib, w, h, 24, p);
  const auto u = [](int v) { return static_cast<std::uint32_t>(v); };
  std::vector<std::uint32_t> words = {u(x),        u(y),
                                      u(x + size), u(y + size),
                                      u(x),        u(y),
                                      u(size),     u(size),
                                      0xCC0020,    0,
                                      0,           0x3F800000,
                                      0,           0,
                                      0x3F800000,  0,
                                      0,           0,
                                      108,         40,
                                      148,         u(static_cast<int>(dib.size())),
                                      u(w),        u(h),
                                      40,          u(w),
                                      u(h),        0x180001,
                                      0,           0,
                                      0,           0,
                                      0,           0};
  for (std::size_t at = 0; at < dib.size(); at += 4) words.push_back(m::MetafileU32Of(dib, at));
  return {77, words};
}

// An EMF of 3.5 MB as a Windows program writes one: 63 bitmaps of 136 x 136
// pixels, StretchBlt and StretchDIBits in turn, in a grid, and 81 texts of
// ExtTextOutA between them, each in a font of its own size, weight or face.
m::Bytes BitmapsAndTexts() {
  std::vector<m::EmfRecord> records;
  for (int k = 0; k < 63; ++k) {
    const int x = 20 + k % 9 * 220, y = 20 + k / 9 * 260;
    const m::Pattern p = [k](int px, int py) {
      return static_cast<std::uint32_t>(((px * 7 + k * 31) & 0xFF) << 16 | ((py * 5 + k * 17) & 0xFF) << 8 |
                                        ((px ^ py) & 0xFF));
    };
    records.push_back(k % 2 == 0 ? StretchBlt(x, y, 180, 136, 136, p)
                                 : m::EmfStretchDib(0xCC0020, x, y, 180, 136, 136, p));
  }
  const std::u16string faces[] = {u"Liberation Sans", u"Liberation Serif", u"DejaVu Sans"};
  for (int k = 0; k < 81; ++k) {
    records.push_back(m::EmfFontRecord(-(12 + k % 27), 0, k % 2 == 0 ? 400 : 700, k % 3 == 1, faces[k / 27]));
    records.push_back({37, {1}});
    const std::string label = "Label " + std::to_string(k);
    records.push_back(m::EmfTextRecord(false, 20 + k % 9 * 220, 215 + k / 9 * 200, label,
                                       std::vector<std::uint32_t>(label.size(), 12)));
    records.push_back({40, {1}});  // deleted again
  }
  return m::Emf(2000 * 254 / 10, 1900 * 254 / 10, records, 2);
}

// The picture drawn over a 100 x 75 mm page, a raster of 300 dpi or a PDF
// file: whether it
// was drawn, why it fell short, and, on a raster, whether it drew anything
// darker than light grey.
struct Printed {
  bool drawn = false, inked = false;
  MetafileShortfall shortfall;
};
Printed Print(const Bitmap& picture, bool pdf, const std::string& name) {
  Printed out;
  const std::string path = std::string(MD_TEST_OUTPUT_DIR) + "/many-fonts-" + name + (pdf ? ".pdf" : ".png");
  auto canvas = pdf ? md::canvas::CairoCanvas::createPdf(path, 100, 75, md::canvas::CairoCanvas::kVectorDpi)
                    : md::canvas::CairoCanvas::createPageImage(100, 75, 300);
  const int dpi = pdf ? static_cast<int>(md::canvas::CairoCanvas::kVectorDpi) : 300;
  const HDC hdc = md::win::CreateScreenDC(canvas.get(), dpi, &md::text::FixedMetricsEngine());
  out.drawn =
      DrawBitmap(hdc, picture, 0, 0, canvas->width(), canvas->height(), nullptr, &out.shortfall) != FALSE;
  DeleteDC(hdc);
  if (!pdf) {
    const md::canvas::Raster r = md::canvas::ReadRaster(*canvas);
    std::string error;
    EXPECT_TRUE(md::canvas::WritePng(r, path, &error)) << error;
    out.inked = std::any_of(r.pixels.begin(), r.pixels.end(), [](std::uint32_t p) {
      return std::min({p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF}) < 160;
    });
  }
  EXPECT_TRUE(canvas->finish());
  return out;
}

// Texts of many scripts at many sizes, turned and along curves, as
// LibreOffice writes them, and bitmaps among texts of many fonts as a
// Windows program does: each starts some 300 threads in the helper, one by
// one, and is drawn on a raster and in a PDF (from its pixels, its list
// being larger than is read as vectors, the second).
TEST(ImagingManyFonts, AFileOfManyFontsIsDrawnOnARasterAndInAPdf) {
  const struct {
    const char* name;
    m::Bytes file;
  } rows[] = {
      {"scripts", md::test::fuzz::ReadInput(std::filesystem::path(MD_SOURCE_DIR) /
                                            "tests/platform/imaging/outside/files/libreoffice-scripts.emf")},
      {"bitmaps-and-texts", BitmapsAndTexts()},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ImageCache::Shared().Clear();
    const DecodeResult decoded = Decode(row.file.data(), row.file.size());
    ASSERT_TRUE(decoded) << decoded.error;
    for (const bool pdf : {false, true}) {
      SCOPED_TRACE(pdf ? "PDF" : "raster");
      const Printed printed = Print(*decoded.bitmap, pdf, row.name);
      EXPECT_TRUE(printed.drawn) << printed.shortfall.why;
      EXPECT_TRUE(pdf || printed.inked) << "the raster is blank";
      EXPECT_EQ(printed.shortfall.why.find("signal"), std::string::npos) << printed.shortfall.why;
    }
  }
}

// A helper that paints but dies when asked for the list of a PDF's box, on
// a signal or out of memory: the picture is drawn in the PDF from its
// painting, and its shortfall says why.
TEST(ImagingManyFonts, AListRunThatDiesIsDrawnFromThePainting) {
  const struct {
    const char* probe;
    const char* why;
  } rows[] = {
      {"list-dies:signal", "the renderer stopped on signal 5"},
      {"list-dies:memory", "the renderer stopped on signal 6"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.probe);
    const m::MetafileLimitsScope limits({5000, 10000, MD_IMAGING_PROBE}, row.probe);
    ImageCache::Shared().Clear();
    const m::Bytes file = m::SampleWmf();
    const DecodeResult decoded = DecodeWmf(file.data(), file.size(), std::size_t{64} << 20);
    ASSERT_TRUE(decoded) << decoded.error;
    const Printed printed = Print(*decoded.bitmap, true, "dies");
    EXPECT_TRUE(printed.drawn) << printed.shortfall.why;
    EXPECT_TRUE(printed.shortfall.fromPixels);
    EXPECT_EQ(printed.shortfall.why, row.why);
  }
}

}  // namespace
