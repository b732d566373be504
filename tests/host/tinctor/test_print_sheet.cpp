// The same symbols and texts printed: a printer context in the 0.01 mm,
// y-up mapping of the print display, rendered to print_sheet.png. Page
// points go through the display's view; north must stay up and texts must
// sit on the side of their anchor that the alignment code names.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/display/cgis_printdisplay.h"
#include "host/glyphor/igis_symbol.h"
#include "host/glyphor2/igis_symbolv2.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "host/pictar2/graphics.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "host/tinctorkit/igis_symbolpainter.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/win/gdidevice.h"

namespace {

constexpr int kDpi = 150;
constexpr int kPaperW = 10500;  // A6, 0.01 mm
constexpr int kPaperH = 14800;

struct Page {
  std::unique_ptr<md::canvas::CairoCanvas> canvas;
  HDC hdc = nullptr;
  std::unique_ptr<CGIS_PrintDisplay> display;
  Page() {
    canvas = md::canvas::CairoCanvas::createPageImage(105.0, 148.0, kDpi);
    md::win::PrinterSetup setup;
    setup.dpiX = setup.dpiY = kDpi;
    setup.paperWidthMm = 105.0;
    setup.paperHeightMm = 148.0;
    if (canvas) hdc = md::win::CreatePrinterDC(canvas.get(), setup);
    if (hdc) display = std::make_unique<CGIS_PrintDisplay>(hdc, kPaperW, kPaperH, SGIS_Point(0, kPaperH));
  }
  ~Page() {
    display.reset();
    if (hdc) DeleteDC(hdc);
  }
  IGIS_DisplayView* View() { return display->GetView(); }
  // The device pixel of a page point.
  POINT Pixel(int x, int y) {
    SGIS_Point d = View()->PageToDevicePoint(SGIS_Point(x, y), nullptr);
    POINT p{d.x, d.y};
    View()->LogicalToDevice(&p);
    return p;
  }
  // Dark pixels in a box of device pixels.
  int Ink(int left, int top, int right, int bottom) {
    md::canvas::Rect r{left, top, right, bottom};
    std::vector<std::uint32_t> px(static_cast<std::size_t>((right - left) * (bottom - top)));
    if (!canvas->readPixels(r, px.data())) return -1;
    int n = 0;
    for (std::uint32_t v : px) {
      const int sum = static_cast<int>(((v >> 16) & 0xFF) + ((v >> 8) & 0xFF) + (v & 0xFF));
      if (sum < 3 * 160) ++n;
    }
    return n;
  }
  BOOL Draw(IGIS_Symbol* s, std::vector<SGIS_Point> page) {
    std::vector<POINT> pts;
    for (const SGIS_Point& p : page) {
      SGIS_Point d = View()->PageToDevicePoint(p, nullptr);
      pts.push_back(POINT{d.x, d.y});
    }
    SGIS_DrawParam param;
    param.hdc = hdc;
    param.printFlag = 1;
    param.symbolScale = View()->GetSymbolRatio();
    param.points = pts.data();
    param.pointCount = static_cast<int>(pts.size());
    param.viewValue = reinterpret_cast<std::intptr_t>(View()->GetClipContext());
    return GIS_GetSymbolizationObject()->Draw(s, &param, GIS_DRAW_CHECK);
  }
};

TEST(PrintSheet, SymbolsAndTextsKeepTheirSidesOnAYUpPrinter) {
  Page page;
  ASSERT_TRUE(page.canvas);
  ASSERT_NE(page.hdc, nullptr);
  IGIS_SymbolFactory* f = GIS_GetSymbolFactoryObject();

  // A grey fill with its outline, and a heavy line under it.
  IGIS_Symbol* fill = f->CreateSymbol(12);
  fill->SetCode(3366);
  EXPECT_TRUE(page.Draw(fill, {{800, 800}, {9700, 800}, {9700, 4000}, {800, 4000}, {800, 800}}));
  fill->Release();
  IGIS_Symbol* line = f->CreateSymbol(9);
  line->SetCode(3334);
  EXPECT_TRUE(page.Draw(line, {{800, 4500}, {9700, 4500}}));
  line->Release();

  // Solid north arrows (3310: tip 8 units up, tail corners at (+-5, -15),
  // notch at (0, -10), letter N from 9.5 to 14.5 up, box 30 units high)
  // drawn 60 points high, upright and turned a quarter counter-clockwise.
  IGIS_Symbol* arrow = f->CreateSymbol(5);
  arrow->SetCode(3310);
  arrow->SetSize(60);
  EXPECT_TRUE(page.Draw(arrow, {{2500, 11000}}));
  arrow->SetAngle(90.0);
  EXPECT_TRUE(page.Draw(arrow, {{7500, 11000}}));
  arrow->Release();

  // Texts on anchors with codes 2 (bottom-left) and 6 (top-right).
  IGIS_AnnoPointStyle* style = GIS_GetAnnotationStyleFactoryObject()->CreateStyleSet(1)->GetPointStyle();
  IGIS_Symbol* text = style->GetTextStylePtr();
  text->GetFontSizePtr()->lfHeight = -14;
  auto write = [&](const char* s, int x, int y, int code) {
    style->SetAlignment(code);
    SGIS_Point d = page.View()->PageToDevicePoint(SGIS_Point(x, y), nullptr);
    return GIS_GetAnnotationDrawerObject()->Draw(page.View()->GetClipContext(), TRUE,
                                                 page.View()->GetSymbolRatio(), style, s, &d, 1);
  };
  EXPECT_TRUE(write("北 North", 1000, 7000, 2));
  EXPECT_TRUE(write("右上对齐", 9500, 6000, 6));
  text->SetAngle(30.0);
  EXPECT_TRUE(write("旋转 30°", 1000, 2000, 2));
  style->Release();

  // A frame of the second kind painted on the printer with doubles.
  {
    md::pictar2::Graphics g(page.hdc, md::pictar2::RasterModeDevice);
    SGIS_PaintParam pp;
    pp.graphics = &g;
    pp.printFlag = 1;
    IGIS_SymbolV2* border = GIS_GetSymbol2FactoryObject()->CreateSymbol(1);
    border->SetCode(3332);
    border->SetColor(RGB(160, 0, 0));
    double xy[] = {500.0, 500.0, 10000.0, 500.0, 10000.0, 14300.0, 500.0, 14300.0, 500.0, 500.0};
    page.View()->PageToDevicePoints(xy, 5, nullptr);
    EXPECT_TRUE(GIS_GetSymbolizeObject()->Paint(border, &pp, xy, 5));
    border->Release();
  }
  EXPECT_TRUE(page.canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/print_sheet.png"));

  // 1 mm is kDpi / 25.4 pixels; a symbol unit of the arrow is 2 points.
  const int mm = kDpi * 10 / 254 + 1;
  auto px = [](double units) { return static_cast<int>(units * 2.0 / 72.0 * kDpi); };
  // Upright: the right tail (x 3.3 to 4 units, y -11.5 to -12.5) lies
  // below the anchor; the mirrored box above it, right of the N, is empty.
  const POINT up = page.Pixel(2500, 11000);
  EXPECT_GT(page.Ink(up.x + px(3.3), up.y + px(11.5), up.x + px(4.0), up.y + px(12.5)), 0);
  EXPECT_EQ(page.Ink(up.x + px(3.3), up.y - px(12.5), up.x + px(4.0), up.y - px(11.5)), 0);
  // Turned: the tail points right, the letter N stands left.
  const POINT left = page.Pixel(7500, 11000);
  EXPECT_GT(page.Ink(left.x - px(14), left.y - px(1), left.x - px(10), left.y + px(1)), 0);
  EXPECT_GT(page.Ink(left.x + px(11.5), left.y - px(4.0), left.x + px(12.5), left.y - px(3.3)), 0);
  EXPECT_EQ(page.Ink(left.x - px(12.5), left.y - px(4.0), left.x - px(11.5), left.y - px(3.3)), 0);
  // Code 2: the text stands right of and above its anchor.
  const POINT a = page.Pixel(1000, 7000);
  EXPECT_GT(page.Ink(a.x, a.y - 5 * mm, a.x + 20 * mm, a.y), 0);
  EXPECT_EQ(page.Ink(a.x, a.y + 1, a.x + 20 * mm, a.y + 5 * mm), 0);
  EXPECT_EQ(page.Ink(a.x - 4 * mm, a.y - 5 * mm, a.x - 1, a.y), 0);
  // Code 6: left of and below.
  const POINT b = page.Pixel(9500, 6000);
  EXPECT_GT(page.Ink(b.x - 20 * mm, b.y, b.x, b.y + 5 * mm), 0);
  EXPECT_EQ(page.Ink(b.x - 20 * mm, b.y - 5 * mm, b.x, b.y - 1), 0);
}

}  // namespace
