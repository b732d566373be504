// A drawing through a screen context onto the cairo canvas, written to PNG
// for viewing; the pixels that the clip and the blit decide are checked.
#include <cstring>
#include <filesystem>

#include "platform/canvas/cairo_canvas.h"
#include "tests/platform/win/wintest.h"

namespace {

using md::test::Owned;

std::uint32_t PixelAt(md::canvas::Canvas& c, int x, int y) {
  std::uint32_t px = 0;
  EXPECT_TRUE(c.readPixels({x, y, x + 1, y + 1}, &px));
  return px & 0xFFFFFF;
}

TEST(Render, ClippedShapesTextAndBlitToPng) {
  auto canvas = md::canvas::CairoCanvas::createImage(480, 320);
  ASSERT_NE(canvas, nullptr);
  HDC hdc = md::win::CreateScreenDC(canvas.get(), 96, &md::text::FreeTypeEngine());
  ASSERT_NE(hdc, nullptr);

  // Pen styles along the top.
  const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT};
  for (int i = 0; i < 5; ++i) {
    Owned pen(CreatePen(styles[i], 1, RGB(0, 0, 0)));
    HGDIOBJ old = SelectObject(hdc, pen.obj);
    MoveToEx(hdc, 10, 10 + i * 8, nullptr);
    LineTo(hdc, 200, 10 + i * 8);
    SelectObject(hdc, old);
  }
  LOGBRUSH lb{BS_SOLID, RGB(0, 90, 200), 0};
  Owned thick(ExtCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT, 4, &lb, 0, nullptr));
  HGDIOBJ oldPen = SelectObject(hdc, thick.obj);
  MoveToEx(hdc, 10, 56, nullptr);
  LineTo(hdc, 200, 56);
  SelectObject(hdc, oldPen);

  // A polygon boundary ANDed with a rectangle clips a hatched fill and a
  // solid disc.
  const POINT boundary[] = {{40, 80}, {260, 100}, {230, 300}, {20, 260}};
  Owned poly(CreatePolygonRgn(boundary, 4, ALTERNATE));
  Owned band(CreateRectRgn(0, 120, 480, 240));
  SelectClipRgn(hdc, static_cast<HRGN>(poly.obj));
  ExtSelectClipRgn(hdc, static_cast<HRGN>(band.obj), RGN_AND);
  Owned hatch(CreateHatchBrush(HS_DIAGCROSS, RGB(200, 0, 0)));
  HGDIOBJ oldBrush = SelectObject(hdc, hatch.obj);
  SetBkMode(hdc, TRANSPARENT);
  Rectangle(hdc, 0, 60, 300, 320);
  Owned green(CreateSolidBrush(RGB(0, 160, 60)));
  SelectObject(hdc, green.obj);
  Ellipse(hdc, 100, 140, 200, 300);
  SelectClipRgn(hdc, nullptr);
  SelectObject(hdc, oldBrush);

  // Rotated Latin and Chinese text.
  LOGFONT lf;
  lf.lfHeight = -22;
  lf.lfEscapement = 300;
  std::strcpy(lf.lfFaceName, "宋体");
  Owned font(CreateFontIndirect(&lf));
  HGDIOBJ oldFont = SelectObject(hdc, font.obj);
  SetTextColor(hdc, RGB(20, 20, 120));
  TextOut(hdc, 280, 200, "Map 地图 30°", static_cast<int>(std::strlen("Map 地图 30°")));
  SelectObject(hdc, oldFont);
  Owned upright(CreateFont(-18, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
  SelectObject(hdc, upright.obj);
  RECT box{260, 20, 470, 80};
  FrameRect(hdc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  DrawText(hdc, "Legend 图例", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(hdc, oldFont);

  // A memory drawing copied in at the bottom right.
  HDC mem = CreateCompatibleDC(hdc);
  HBITMAP bmp = CreateCompatibleBitmap(hdc, 60, 40);
  HGDIOBJ oldBmp = SelectObject(mem, bmp);
  const RECT all{0, 0, 60, 40}, inner{10, 10, 50, 30};
  FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  Owned yellow(CreateSolidBrush(RGB(255, 220, 0)));
  FillRect(mem, &inner, static_cast<HBRUSH>(yellow.obj));
  BitBlt(hdc, 400, 260, 60, 40, mem, 0, 0, SRCCOPY);
  SelectObject(mem, oldBmp);
  DeleteObject(bmp);
  DeleteDC(mem);
  canvas->flush();

  const std::filesystem::path out = std::filesystem::path(MD_TEST_OUTPUT_DIR) / "gdi_render.png";
  std::filesystem::create_directories(out.parent_path());
  EXPECT_TRUE(canvas->writePng(out.string()));

  // Outside the clip the rectangle's area stays white; inside the disc is green.
  EXPECT_EQ(PixelAt(*canvas, 150, 100), 0xFFFFFFu);  // above the band
  EXPECT_EQ(PixelAt(*canvas, 150, 260), 0xFFFFFFu);  // below the band
  EXPECT_EQ(PixelAt(*canvas, 150, 200), 0x00A03Cu);
  EXPECT_EQ(PixelAt(*canvas, 5, 200), 0xFFFFFFu);  // left of the polygon
  // The blit kept its pixels.
  EXPECT_EQ(PixelAt(*canvas, 402, 262), 0x000000u);
  EXPECT_EQ(PixelAt(*canvas, 430, 280), 0xFFDC00u);
  DeleteDC(hdc);
}

}  // namespace
