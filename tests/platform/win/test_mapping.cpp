// Mapping modes, conversions and device capabilities.
#include <cmath>
#include <limits>

#include "tests/platform/win/wintest.h"

namespace {

using md::test::RecordingDC;

struct MetricCase {
  int mode;
  double unitsPerInch;
  int dpi;
};

class MetricModes : public ::testing::TestWithParam<MetricCase> {};

TEST_P(MetricModes, LogicalUnitsScaleByResolutionWithYUp) {
  const MetricCase c = GetParam();
  RecordingDC dc(100, 100, c.dpi);
  EXPECT_EQ(SetMapMode(dc.hdc, c.mode), MM_TEXT);
  EXPECT_EQ(GetMapMode(dc.hdc), c.mode);
  // Points a few inches out, and one off the grid.
  const POINT logical[] = {{0, 0},
                           {static_cast<LONG>(c.unitsPerInch), static_cast<LONG>(-c.unitsPerInch)},
                           {static_cast<LONG>(3 * c.unitsPerInch), static_cast<LONG>(2 * c.unitsPerInch)},
                           {1234, -567}};
  for (const POINT& lp : logical) {
    POINT p = lp;
    ASSERT_TRUE(LPtoDP(dc.hdc, &p, 1));
    EXPECT_EQ(p.x, std::lround(lp.x * c.dpi / c.unitsPerInch)) << lp.x;
    EXPECT_EQ(p.y, std::lround(-lp.y * c.dpi / c.unitsPerInch)) << lp.y;
    // Back again: within the rounding of one device pixel.
    ASSERT_TRUE(DPtoLP(dc.hdc, &p, 1));
    EXPECT_LE(std::abs(p.x - lp.x), c.unitsPerInch / c.dpi);
    EXPECT_LE(std::abs(p.y - lp.y), c.unitsPerInch / c.dpi);
  }
  // Fixed modes ignore new extents and report the old ones.
  SIZE before, after, old;
  GetWindowExtEx(dc.hdc, &before);
  EXPECT_TRUE(SetWindowExtEx(dc.hdc, 7, 7, &old));
  GetWindowExtEx(dc.hdc, &after);
  EXPECT_EQ(old.cx, before.cx);
  EXPECT_EQ(after.cx, before.cx);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MetricModes,
    ::testing::Values(MetricCase{MM_LOMETRIC, 254, 96}, MetricCase{MM_HIMETRIC, 2540, 96},
                      MetricCase{MM_HIMETRIC, 2540, 600}, MetricCase{MM_LOENGLISH, 100, 300},
                      MetricCase{MM_HIENGLISH, 1000, 72}, MetricCase{MM_TWIPS, 1440, 96}));

TEST(Mapping, PrinterHimetricGivesFontHelperFigures) {
  // 600 dpi, 0.01 mm units, y up: 83 device pixels are 351 logical units.
  md::canvas::RecordingCanvas canvas(10, 10);
  md::win::PrinterSetup setup;
  HDC hdc = md::win::CreatePrinterDC(&canvas, setup);
  ASSERT_NE(hdc, nullptr);
  SetMapMode(hdc, MM_HIMETRIC);
  POINT pts[] = {{0, 0}, {600 * 100 / 720, 600 * 100 / 720}};
  ASSERT_TRUE(DPtoLP(hdc, pts, 2));
  EXPECT_EQ(pts[1].x - pts[0].x, 351);
  EXPECT_EQ(pts[1].y - pts[0].y, -351);
  DeleteDC(hdc);
}

TEST(Mapping, AnisotropicOriginsAndExtents) {
  RecordingDC dc;
  SetMapMode(dc.hdc, MM_ANISOTROPIC);
  EXPECT_TRUE(SetWindowOrgEx(dc.hdc, 100, 200, nullptr));
  EXPECT_TRUE(SetWindowExtEx(dc.hdc, 1000, -500, nullptr));
  EXPECT_TRUE(SetViewportOrgEx(dc.hdc, 10, 290, nullptr));
  EXPECT_TRUE(SetViewportExtEx(dc.hdc, 400, 250, nullptr));
  POINT org;
  SIZE ext;
  GetWindowOrgEx(dc.hdc, &org);
  EXPECT_EQ(org.x, 100);
  EXPECT_EQ(org.y, 200);
  GetWindowExtEx(dc.hdc, &ext);
  EXPECT_EQ(ext.cy, -500);
  GetViewportExtEx(dc.hdc, &ext);
  EXPECT_EQ(ext.cx, 400);
  // x: (1100 - 100) * 400 / 1000 + 10 = 410; y: (700 - 200) * 250 / -500 + 290 = 40.
  POINT p{1100, 700};
  LPtoDP(dc.hdc, &p, 1);
  EXPECT_EQ(p.x, 410);
  EXPECT_EQ(p.y, 40);
  DPtoLP(dc.hdc, &p, 1);
  EXPECT_EQ(p.x, 1100);
  EXPECT_EQ(p.y, 700);
  // Zero extents are refused and leave the mapping alone.
  EXPECT_FALSE(SetViewportExtEx(dc.hdc, 0, 5, nullptr));
  GetViewportExtEx(dc.hdc, &ext);
  EXPECT_EQ(ext.cx, 400);
  // Offsets move origins and report the old ones.
  POINT old;
  OffsetViewportOrgEx(dc.hdc, 5, -5, &old);
  EXPECT_EQ(old.x, 10);
  GetViewportOrgEx(dc.hdc, &org);
  EXPECT_EQ(org.y, 285);
  OffsetWindowOrgEx(dc.hdc, -100, 0, &old);
  GetWindowOrgEx(dc.hdc, &org);
  EXPECT_EQ(org.x, 0);
  // Origins saturate instead of overflowing.
  OffsetViewportOrgEx(dc.hdc, 0x7FFFFFFF, 0, nullptr);
  OffsetViewportOrgEx(dc.hdc, 0x7FFFFFFF, 0, nullptr);
  GetViewportOrgEx(dc.hdc, &org);
  EXPECT_EQ(org.x, 0x7FFFFFFF);
  // Switching to anisotropic from anisotropic keeps the extents.
  SetMapMode(dc.hdc, MM_ANISOTROPIC);
  GetWindowExtEx(dc.hdc, &ext);
  EXPECT_EQ(ext.cx, 1000);
}

TEST(Mapping, DevicePointsRoundHalfAwayFromZeroAndSaturate) {
  constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
  const struct {
    int windowExt, viewportExt, x, device, deviceOfMinusX;
  } rows[] = {
      {2, 1, 1, 1, -1},
      {2, 1, 3, 2, -2},
      {2, 1, 0, 0, 0},
      {1, 1, 1999999999, 1999999999, -1999999999},
      {1, 2, 1000000000, 2000000000, -2000000000},
      {1, 4, kMax, kMax, kMin},
  };
  for (const auto& row : rows) {
    RecordingDC dc;
    SetMapMode(dc.hdc, MM_ANISOTROPIC);
    SetWindowExtEx(dc.hdc, row.windowExt, row.windowExt, nullptr);
    SetViewportExtEx(dc.hdc, row.viewportExt, row.viewportExt, nullptr);
    POINT p{row.x, -row.x};
    ASSERT_TRUE(LPtoDP(dc.hdc, &p, 1));
    EXPECT_EQ(p.x, row.device) << row.x;
    EXPECT_EQ(p.y, row.deviceOfMinusX) << row.x;
  }
}

TEST(Mapping, IsotropicKeepsUnitsSquare) {
  RecordingDC dc(400, 300, 96);
  SetMapMode(dc.hdc, MM_ISOTROPIC);
  SetWindowExtEx(dc.hdc, 100, 100, nullptr);
  SetViewportExtEx(dc.hdc, 400, -300, nullptr);
  SIZE vp;
  GetViewportExtEx(dc.hdc, &vp);
  // The smaller scale wins in both directions; signs are kept.
  EXPECT_EQ(vp.cx, 300);
  EXPECT_EQ(vp.cy, -300);
  POINT p{100, 100};
  LPtoDP(dc.hdc, &p, 1);
  EXPECT_EQ(p.x, 300);
  EXPECT_EQ(p.y, -300);
  // In anisotropic mode the same extents stay as given.
  SetMapMode(dc.hdc, MM_ANISOTROPIC);
  SetViewportExtEx(dc.hdc, 400, -300, nullptr);
  GetViewportExtEx(dc.hdc, &vp);
  EXPECT_EQ(vp.cx, 400);
}

TEST(Mapping, DeviceCapsOfScreensAndPrinters) {
  RecordingDC screen(800, 600);
  EXPECT_EQ(GetDeviceCaps(screen.hdc, TECHNOLOGY), DT_RASDISPLAY);
  EXPECT_EQ(GetDeviceCaps(screen.hdc, LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(screen.hdc, LOGPIXELSY), 96);
  EXPECT_EQ(GetDeviceCaps(screen.hdc, HORZRES), 800);
  EXPECT_EQ(GetDeviceCaps(screen.hdc, VERTRES), 600);
  EXPECT_EQ(GetDeviceCaps(screen.hdc, HORZSIZE), std::lround(800 * 25.4 / 96));
  EXPECT_EQ(GetDeviceCaps(screen.hdc, PHYSICALWIDTH), 0);

  md::canvas::RecordingCanvas page(1, 1);
  md::win::PrinterSetup a4;
  a4.dpiX = 300;
  a4.dpiY = 600;
  a4.marginLeftMm = 5;
  a4.marginTopMm = 4;
  a4.marginRightMm = 6;
  a4.marginBottomMm = 8;
  HDC p = md::win::CreatePrinterDC(&page, a4);
  ASSERT_NE(p, nullptr);
  auto px = [](double mm, int dpi) { return static_cast<int>(std::lround(mm / 25.4 * dpi)); };
  EXPECT_EQ(GetDeviceCaps(p, TECHNOLOGY), DT_RASPRINTER);
  EXPECT_EQ(GetDeviceCaps(p, LOGPIXELSX), 300);
  EXPECT_EQ(GetDeviceCaps(p, LOGPIXELSY), 600);
  EXPECT_EQ(GetDeviceCaps(p, PHYSICALWIDTH), px(210, 300));
  EXPECT_EQ(GetDeviceCaps(p, PHYSICALHEIGHT), px(297, 600));
  EXPECT_EQ(GetDeviceCaps(p, PHYSICALOFFSETX), px(5, 300));
  EXPECT_EQ(GetDeviceCaps(p, PHYSICALOFFSETY), px(4, 600));
  EXPECT_EQ(GetDeviceCaps(p, HORZRES), px(210, 300) - px(5, 300) - px(6, 300));
  EXPECT_EQ(GetDeviceCaps(p, VERTRES), px(297, 600) - px(4, 600) - px(8, 600));
  EXPECT_NEAR(GetDeviceCaps(p, HORZSIZE), 210 - 11, 1);
  EXPECT_NEAR(GetDeviceCaps(p, VERTSIZE), 297 - 12, 1);
  // A memory context made for the printer answers with its resolution.
  HDC mem = CreateCompatibleDC(p);
  EXPECT_EQ(GetDeviceCaps(mem, LOGPIXELSY), 600);
  EXPECT_EQ(GetDeviceCaps(mem, TECHNOLOGY), DT_RASPRINTER);
  DeleteDC(mem);
  DeleteDC(p);

  // Impossible set-ups are refused.
  md::win::PrinterSetup bad;
  bad.paperWidthMm = std::nan("");
  EXPECT_EQ(md::win::CreatePrinterDC(&page, bad), nullptr);
  bad = md::win::PrinterSetup{};
  bad.dpiX = 0;
  EXPECT_EQ(md::win::CreatePrinterDC(&page, bad), nullptr);
  EXPECT_EQ(md::win::CreateScreenDC(nullptr), nullptr);
  EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSX), 0);
  EXPECT_EQ(SetMapMode(screen.hdc, 99), 0);
  EXPECT_FALSE(LPtoDP(screen.hdc, nullptr, 2));
}

}  // namespace
