// Framed rectangles with shadow, background and every combination of border
// sides, in both symbol forms, rendered with cairo on a printer page and on
// a screen; probed pixel by pixel on each side and compared with their
// control images (controls/), and written to PNG files for a visual check.
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "host/display/cgis_printdisplay.h"
#include "host/display/cgis_screendisplay.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"
#include "tests/layout/graphicelement/element/elementtest.h"
#include "tests/layout/graphicelement/frame/frametest.h"
#include "tests/support/rendercheck.h"

namespace {

using namespace md::test;

constexpr int kDpi = 150;
constexpr int kPageW = 20000, kPageH = 12000;  // 200 x 120 mm
constexpr COLORREF kBorder = RGB(20, 40, 160), kBorder2 = RGB(160, 20, 20);
constexpr COLORREF kBack = RGB(255, 240, 190), kBack2 = RGB(200, 245, 200), kShadow = RGB(120, 120, 120);

// Cell of mask m in form f: 8 cells a row, 25 x 30 mm each; rows 0-1 the
// symbol form, rows 2-3 the symbol2 form.
SGIS_Rect ElementOf(int form, int mask) {
  const int col = mask % 8, row = form * 2 + mask / 8;
  const int x0 = col * 2500, top = kPageH - row * 3000;
  return SGIS_Rect(x0 + 500, top - 800, x0 + 2000, top - 2300);
}

int Px(double pageUnits) { return static_cast<int>(std::lround(pageUnits * kDpi / 2540.0)); }

bool Near(std::uint32_t pixel, COLORREF c) {
  // Canvas pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
  const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  return std::abs(r - int(GetRValue(c))) < 40 && std::abs(g - int(GetGValue(c))) < 40 &&
         std::abs(b - int(GetBValue(c))) < 40;
}

// Draws all 32 frames: shadow and background, then the border.
void DrawAll(HDC hdc, bool print, IGIS_Display* display) {
  Symbol border(LineSymbol(kBorder, 0.5));
  Symbol back(FillSymbol(kBack));
  Symbol shadow(FillSymbol(kShadow));
  Symbol2 border2(LineSymbol2(kBorder2, 0.5));
  Symbol2 back2(FillSymbol2(kBack2));
  Symbol2 shadow2(FillSymbol2(kShadow));
  for (int form = 0; form < 2; ++form) {
    Frame frame(GIS_CreateFramePropertyObject());
    if (form == 0) {
      frame->SetBorderSymbolPtr(border.p);
      frame->SetBackSymbolPtr(back.p);
      frame->SetShadowSymbolPtr(shadow.p);
    } else {
      frame->SetBorderSymbol2Ptr(border2.p);
      frame->SetBackSymbol2Ptr(back2.p);
      frame->SetShadowSymbol2Ptr(shadow2.p);
    }
    frame->SetBorderX(150);
    frame->SetBorderY(150);
    frame->SetBackX(100);
    frame->SetBackY(100);
    frame->SetShadowOffSetX(200);
    frame->SetShadowOffSetY(-200);
    for (int mask = 0; mask < 16; ++mask) {
      frame->SetBorderVisible(mask & 1, mask & 2, mask & 4, mask & 8);
      const SGIS_Rect e = ElementOf(form, mask);
      EXPECT_TRUE(frame->OnDraw(hdc, print, display, e, nullptr, GIS_FRAME_PART_UNDER));
      EXPECT_TRUE(frame->OnDraw(hdc, print, display, e, nullptr, GIS_FRAME_PART_BORDER));
    }
  }
}

// Each border side shows the border colour exactly when it is visible; the
// middle of every element shows the background.
void Probe(md::canvas::CairoCanvas& canvas) {
  canvas.flush();
  auto pixel = [&](int x, int y) {
    std::uint32_t p = 0;
    canvas.readPixels(md::canvas::Rect{x, y, x + 1, y + 1}, &p);
    return p & 0xFFFFFF;
  };
  for (int form = 0; form < 2; ++form) {
    const COLORREF line = form == 0 ? kBorder : kBorder2;
    for (int mask = 0; mask < 16; ++mask) {
      SCOPED_TRACE(testing::Message() << "form " << form << " mask " << mask);
      const SGIS_Rect e = ElementOf(form, mask);
      const int L = Px(e.left - 150), R = Px(e.right + 150);
      const int T = Px(kPageH - (e.top + 150)), B = Px(kPageH - (e.bottom - 150));
      const int cx = Px((e.left + e.right) / 2.0), cy = Px(kPageH - (e.top + e.bottom) / 2.0);
      EXPECT_TRUE(Near(pixel(cx, cy), form == 0 ? kBack : kBack2)) << std::hex << pixel(cx, cy);
      EXPECT_EQ(Near(pixel(L, cy), line), bool(mask & 1));
      EXPECT_EQ(Near(pixel(R, cy), line), bool(mask & 2));
      EXPECT_EQ(Near(pixel(cx, T), line), bool(mask & 4));
      EXPECT_EQ(Near(pixel(cx, B), line), bool(mask & 8));
      // The shadow shows below and right of the background.
      EXPECT_TRUE(Near(pixel(Px(e.right + 150), Px(kPageH - (e.bottom - 180))), kShadow) || (mask & 10));
    }
  }
}

std::string OutputPath(const char* name) { return std::string(MD_TEST_OUTPUT_DIR) + "/" + name; }

constexpr const char* kControls = "tests/layout/graphicelement/frame/controls";

TEST(FrameRender, PrinterPageInBothForms) {
  auto canvas = md::canvas::CairoCanvas::createPageImage(200.0, 120.0, kDpi);
  ASSERT_NE(canvas, nullptr);
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = kDpi;
  setup.paperWidthMm = 200.0;
  setup.paperHeightMm = 120.0;
  HDC hdc = md::win::CreatePrinterDC(canvas.get(), setup, &md::text::FixedMetricsEngine());
  ASSERT_NE(hdc, nullptr);
  {
    CGIS_PrintDisplay display(hdc, kPageW, kPageH, SGIS_Point(0, kPageH));
    DrawAll(hdc, true, &display);
  }
  DeleteDC(hdc);
  Probe(*canvas);
  EXPECT_TRUE(MatchesControl(md::canvas::ReadRaster(*canvas), kControls, "frame_print"));
  EXPECT_TRUE(canvas->writePng(OutputPath("frame_print.png")));
}

TEST(FrameRender, ScreenInBothForms) {
  auto canvas = md::canvas::CairoCanvas::createImage(Px(kPageW), Px(kPageH));
  ASSERT_NE(canvas, nullptr);
  HDC hdc = md::win::CreateScreenDC(canvas.get(), kDpi, &md::text::FixedMetricsEngine());
  ASSERT_NE(hdc, nullptr);
  {
    CGIS_ScreenDisplay display(hdc, 1.0, 0.0, kPageH);
    DrawAll(hdc, false, &display);
  }
  DeleteDC(hdc);
  Probe(*canvas);
  EXPECT_TRUE(MatchesControl(md::canvas::ReadRaster(*canvas), kControls, "frame_screen"));
  EXPECT_TRUE(canvas->writePng(OutputPath("frame_screen.png")));
}

class FrameRenderDraft : public md::test::PageTest {};

// Draft boxes of a Latin and a Chinese name at two zooms, with real fonts.
TEST_F(FrameRenderDraft, DraftBoxes) {
  auto canvas = md::canvas::CairoCanvas::createImage(600, 300);
  ASSERT_NE(canvas, nullptr);
  HDC hdc = md::win::CreateScreenDC(canvas.get(), 96);
  ASSERT_NE(hdc, nullptr);
  Frame frame(GIS_CreateFramePropertyObject());
  Symbol border(LineSymbol(kBorder, 0.5));
  frame->SetBorderSymbolPtr(border.p);
  frame->SetBorderX(100);
  frame->SetBorderY(100);
  frame->SetDraftMode(true);
  md::test::TestBoxElement* a = Box(1000, 3000, 6000, 7000);
  a->SetName("Map frame");
  md::test::TestBoxElement* b = Box(8000, 3000, 14000, 7000);
  b->SetName("地图框架");
  {
    CGIS_ScreenDisplay display(hdc, 1.0, 0.0, 8000.0);
    frame->OnDrawDraftMode(a, hdc, false, &display);
    frame->OnDrawDraftMode(b, hdc, false, &display);
    display.SetZoom(0.5);
    display.SetOrigin(-5000.0, 17600.0);  // below the others
    frame->OnDrawDraftMode(a, hdc, false, &display);
  }
  DeleteDC(hdc);
  canvas->flush();
  // The border surrounds the element.
  std::uint32_t p = 0;
  canvas->readPixels(md::canvas::Rect{34, 113, 35, 114}, &p);
  EXPECT_TRUE(Near(p & 0xFFFFFF, kBorder)) << std::hex << p;
  EXPECT_TRUE(canvas->writePng(OutputPath("frame_draft.png")));
}

}  // namespace
