#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>

#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/fonthelpers.h"
#include "platform/win/gdidevice.h"

namespace {

// A context on a recording canvas, deleted with the fixture.
struct Dc {
  md::canvas::RecordingCanvas canvas{2480, 3508};
  HDC hdc = nullptr;
  explicit Dc(int dpi) { hdc = md::win::CreateScreenDC(&canvas, dpi, &md::text::FixedMetricsEngine()); }
  Dc(const md::win::PrinterSetup& setup) {
    hdc = md::win::CreatePrinterDC(&canvas, setup, &md::text::FixedMetricsEngine());
  }
  ~Dc() { DeleteDC(hdc); }
};

LOGFONT Read(HFONT font) {
  LOGFONT lf{};
  EXPECT_EQ(GetObject(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
  return lf;
}

std::string Face(const LOGFONT& lf) {
  return std::string(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
}

TEST(CreateFontByName, ScreenContextGivesCharacterHeightInPixels) {
  Dc dc(96);
  ASSERT_NE(dc.hdc, nullptr);
  const std::size_t before = md::win::LiveObjectCount();
  HFONT font = CreateFontByName(100, "Arial", dc.hdc);
  ASSERT_NE(font, nullptr);
  const LOGFONT lf = Read(font);
  EXPECT_EQ(lf.lfHeight, -13);  // 96 * 100 / 720 = 13.33, truncated
  EXPECT_EQ(Face(lf), "Arial");
  EXPECT_EQ(lf.lfCharSet, 1);
  EXPECT_EQ(lf.lfClipPrecision, 4);
  EXPECT_EQ(lf.lfPitchAndFamily, 0x10);
  EXPECT_EQ(lf.lfWidth, 0);
  EXPECT_EQ(lf.lfEscapement, 0);
  EXPECT_EQ(lf.lfOrientation, 0);
  EXPECT_EQ(lf.lfWeight, 0);
  EXPECT_EQ(lf.lfItalic, 0);
  EXPECT_EQ(lf.lfUnderline, 0);
  EXPECT_EQ(lf.lfStrikeOut, 0);
  EXPECT_EQ(lf.lfOutPrecision, 0);
  EXPECT_EQ(lf.lfQuality, 0);

  // Selected into the context, the font measures with that character height.
  HGDIOBJ old = SelectObject(dc.hdc, font);
  TEXTMETRIC tm{};
  ASSERT_TRUE(GetTextMetrics(dc.hdc, &tm));
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 13);
  SelectObject(dc.hdc, old);
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_EQ(md::win::LiveObjectCount(), before);
}

TEST(CreateScaledFont, ConvertsTenthsOfAPointForEveryMapping) {
  struct Row {
    int dpi;
    int mapMode;
    int tenths;
    LONG height;  // the converted LOGFONT height
  };
  const Row rows[] = {
      {96, MM_TEXT, 100, -13},       {96, MM_TEXT, -100, -13},      // a negative size has the same magnitude
      {600, MM_HIMETRIC, 100, -351},                                // 83 pixels are 3.51 mm
      {600, MM_TEXT, 100, -83},      {300, MM_LOMETRIC, 240, -85},  // 100 pixels are 8.47 mm
      {96, MM_TEXT, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::Message() << r.dpi << " dpi, mode " << r.mapMode << ", " << r.tenths);
    md::win::PrinterSetup setup;
    setup.dpiX = setup.dpiY = r.dpi;
    Dc dc(setup);
    ASSERT_NE(dc.hdc, nullptr);
    SetMapMode(dc.hdc, r.mapMode);
    LOGFONT lf{};
    lf.lfHeight = r.tenths;
    std::strcpy(lf.lfFaceName, "宋体");
    HFONT font = CreateScaledFont(&lf, dc.hdc);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(lf.lfHeight, r.height);
    EXPECT_EQ(Read(font).lfHeight, r.height);
    EXPECT_EQ(Face(Read(font)), "宋体");
    DeleteObject(font);
  }
}

TEST(CreateScaledFont, PrinterPageInHundredthsOfAMillimetreYUp) {
  md::win::PrinterSetup setup;  // 600 dpi A4
  Dc dc(setup);
  ASSERT_NE(dc.hdc, nullptr);
  // A page in 0.01 mm with y growing upwards, origin at the bottom-left.
  SetMapMode(dc.hdc, MM_ANISOTROPIC);
  SetWindowExtEx(dc.hdc, 2540, 2540, nullptr);   // one inch in 0.01 mm ...
  SetViewportExtEx(dc.hdc, 600, -600, nullptr);  // ... is 600 pixels, y flipped
  SetViewportOrgEx(dc.hdc, 0, GetDeviceCaps(dc.hdc, VERTRES), nullptr);

  POINT before{};
  GetViewportOrgEx(dc.hdc, &before);
  HFONT font = CreateFontByName(100, "Times New Roman", dc.hdc);
  ASSERT_NE(font, nullptr);
  POINT after{};
  GetViewportOrgEx(dc.hdc, &after);
  EXPECT_EQ(after.x, before.x);
  EXPECT_EQ(after.y, before.y);
  EXPECT_NE(before.y, 0);
  // y = 600 * 100 / 720 = 83 pixels = 83 * 2540 / 600 = 351.4 hundredths.
  EXPECT_EQ(Read(font).lfHeight, -351);
  DeleteObject(font);
}

TEST(CreateFontByName, FaceNamesThatDoNotFitBecomeTimesNewRoman) {
  Dc dc(96);
  struct Row {
    std::size_t length;
    bool kept;
  };
  for (const Row& r : {Row{31, true}, Row{32, false}, Row{200, false}, Row{1, true}}) {
    SCOPED_TRACE(r.length);
    const std::string name(r.length, 'F');
    HFONT font = CreateFontByName(100, name.c_str(), dc.hdc);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(Face(Read(font)), r.kept ? name : "Times New Roman");
    DeleteObject(font);
  }
  // No face at all leaves the face empty (the default font).
  HFONT font = CreateFontByName(100, nullptr, dc.hdc);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(Face(Read(font)), "");
  DeleteObject(font);
}

TEST(CreateScaledFont, RefusesBadInputWithoutTouchingTheRecord) {
  Dc dc(96);
  EXPECT_EQ(CreateScaledFont(nullptr, dc.hdc), nullptr);

  LOGFONT lf{};
  lf.lfHeight = 100;
  EXPECT_EQ(CreateScaledFont(&lf, nullptr), nullptr);
  EXPECT_EQ(lf.lfHeight, 100);
  EXPECT_EQ(CreateFontByName(100, "Arial", reinterpret_cast<HDC>(&lf)), nullptr);

  // A size whose pixels overflow 32 bits is refused; the viewport stays put.
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = 2400;
  Dc big(setup);
  SetViewportOrgEx(big.hdc, 5, 7, nullptr);
  lf.lfHeight = INT_MAX;
  EXPECT_EQ(CreateScaledFont(&lf, big.hdc), nullptr);
  EXPECT_EQ(lf.lfHeight, INT_MAX);
  POINT org{};
  GetViewportOrgEx(big.hdc, &org);
  EXPECT_EQ(org.x, 5);
  EXPECT_EQ(org.y, 7);
}

}  // namespace
