// Drawing through a device context onto the cairo canvas: every pen style,
// hatched and solid fills, polygons under a polygon clip, rotated Chinese and
// Latin text, and a memory bitmap copied in. Written to PNG and PDF in the
// test output folder.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/canvas/cairo_canvas.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

using md::canvas::CairoCanvas;

namespace {

constexpr int kW = 900;
constexpr int kH = 640;

std::string OutPath(const char* name) {
  std::filesystem::create_directories(MD_TEST_OUTPUT_DIR);
  return std::string(MD_TEST_OUTPUT_DIR) + "/" + name;
}

std::vector<POINT> Star(int cx, int cy, int outer, int inner, int points) {
  std::vector<POINT> pts;
  for (int i = 0; i < 2 * points; ++i) {
    const double a = -3.14159265358979323846 / 2 + i * 3.14159265358979323846 / points;
    const int r = i % 2 ? inner : outer;
    pts.push_back(POINT{static_cast<LONG>(std::lround(cx + r * std::cos(a))),
                        static_cast<LONG>(std::lround(cy + r * std::sin(a)))});
  }
  return pts;
}

void Text(HDC hdc, int x, int y, const std::string& s) {
  TextOut(hdc, x, y, s.c_str(), static_cast<int>(s.size()));
}

HFONT Font(int height, int escapement, const char* face) {
  return CreateFont(height, 0, escapement, escapement, 400, 0, 0, 0, 1, 0, 0, 0, 0, face);
}

constexpr int kPenStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_INSIDEFRAME, PS_NULL};
const char* const kPenNames[] = {"PS_SOLID",      "PS_DASH",        "PS_DOT", "PS_DASHDOT",
                                 "PS_DASHDOTDOT", "PS_INSIDEFRAME", "PS_NULL"};
constexpr int kHatches[] = {HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};

constexpr COLORREF kClipFill = RGB(200, 230, 200);
constexpr COLORREF kLatin0 = RGB(220, 0, 0);
constexpr COLORREF kLatin90 = RGB(0, 0, 220);

// The star clip used by the scene: centre (200, 500).
std::vector<POINT> ClipStar() { return Star(200, 500, 120, 55, 5); }

void DrawScene(HDC hdc) {
  SetBkMode(hdc, TRANSPARENT);
  HFONT title = Font(-20, 0, "黑体");
  HGDIOBJ oldFont = SelectObject(hdc, title);
  Text(hdc, 20, 10, "线型与填充 Pen styles and fills");

  // Pen styles: a cosmetic one-pixel line and a geometric four-pixel one.
  HFONT label = Font(-13, 0, "Arial");
  SelectObject(hdc, label);
  for (int i = 0; i < 7; ++i) {
    const int y = 60 + i * 28;
    Text(hdc, 20, y - 8, kPenNames[i]);
    HPEN thin = CreatePen(kPenStyles[i], 1, RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(hdc, thin);
    MoveToEx(hdc, 160, y, nullptr);
    LineTo(hdc, 420, y);
    LOGBRUSH lb{BS_SOLID, RGB(0, 80, 160), 0};
    HPEN wide =
        ExtCreatePen(PS_GEOMETRIC | static_cast<DWORD>(kPenStyles[i]) | PS_ENDCAP_FLAT | PS_JOIN_MITER, 4,
                     &lb, 0, nullptr);
    SelectObject(hdc, wide);
    MoveToEx(hdc, 440, y, nullptr);
    LineTo(hdc, 700, y);
    SelectObject(hdc, old);
    DeleteObject(thin);
    DeleteObject(wide);
  }

  // Hatched and solid fills with a black outline, opaque background.
  SetBkMode(hdc, OPAQUE);
  SetBkColor(hdc, RGB(255, 255, 200));
  for (int i = 0; i < 7; ++i) {
    HBRUSH b = i < 6 ? CreateHatchBrush(kHatches[i], RGB(160, 0, 80)) : CreateSolidBrush(RGB(250, 180, 40));
    HGDIOBJ old = SelectObject(hdc, b);
    Rectangle(hdc, 20 + i * 100, 270, 110 + i * 100, 340);
    SelectObject(hdc, old);
    DeleteObject(b);
  }
  SetBkMode(hdc, TRANSPARENT);

  // Polygons under a star clip, then the star outline unclipped.
  const std::vector<POINT> star = ClipStar();
  HRGN rgn = CreatePolygonRgn(star.data(), static_cast<int>(star.size()), ALTERNATE);
  SelectClipRgn(hdc, rgn);
  DeleteObject(rgn);
  RECT box{60, 360, 340, 640};
  HBRUSH fill = CreateSolidBrush(kClipFill);
  FillRect(hdc, &box, fill);
  DeleteObject(fill);
  HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
  for (int gy = 0; gy < 14; ++gy) {
    for (int gx = 0; gx < 14; ++gx) {
      HBRUSH b = CreateSolidBrush(RGB(40 + gx * 15, 60, 250 - gy * 15));
      HGDIOBJ old = SelectObject(hdc, b);
      const LONG x = 62 + gx * 20, y = 362 + gy * 20;
      const POINT tri[3] = {{x, y + 14}, {x + 7, y}, {x + 14, y + 14}};
      Polygon(hdc, tri, 3);
      SelectObject(hdc, old);
      DeleteObject(b);
    }
  }
  SelectObject(hdc, oldPen);
  SelectClipRgn(hdc, nullptr);
  HPEN outline = CreatePen(PS_SOLID, 2, RGB(0, 120, 0));
  oldPen = SelectObject(hdc, outline);
  HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(NULL_BRUSH));
  Polygon(hdc, star.data(), static_cast<int>(star.size()));
  SelectObject(hdc, oldBrush);
  SelectObject(hdc, oldPen);
  DeleteObject(outline);

  // Rotated text around (640, 500): Latin at 0 and 90 degrees in their own
  // colours, Chinese at 30, 150, 210 and 330 degrees.
  struct Rot {
    int esc;
    const char* face;
    const char* text;
    COLORREF color;
  };
  const Rot rots[] = {
      {0, "Arial", "Map 1:50000", kLatin0},           {900, "Times New Roman", "North 北", kLatin90},
      {300, "宋体", "比例尺 一比五万", RGB(0, 0, 0)}, {1500, "黑体", "图例 Legend", RGB(0, 120, 0)},
      {2100, "宋体", "指北针", RGB(120, 0, 120)},     {3300, "SimHei", "坐标网 Grid", RGB(0, 100, 160)},
  };
  for (const Rot& r : rots) {
    HFONT f = Font(-22, r.esc, r.face);
    SelectObject(hdc, f);
    SetTextColor(hdc, r.color);
    Text(hdc, 640, 500, r.text);
    SelectObject(hdc, label);
    DeleteObject(f);
  }
  SetTextColor(hdc, RGB(0, 0, 0));
  SelectObject(hdc, oldFont);
  DeleteObject(title);
  DeleteObject(label);
}

struct Ink {
  int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1, count = 0;
  void add(int x, int y) {
    minX = std::min(minX, x);
    minY = std::min(minY, y);
    maxX = std::max(maxX, x);
    maxY = std::max(maxY, y);
    ++count;
  }
};

// Pixels of the canvas (0x00RRGGBB).
struct Pixels {
  std::vector<std::uint32_t> px;
  explicit Pixels(const CairoCanvas& c) : px(static_cast<std::size_t>(kW) * kH) {
    EXPECT_TRUE(c.readPixels(md::canvas::Rect{0, 0, kW, kH}, px.data()));
  }
  std::uint32_t at(int x, int y) const { return px[static_cast<std::size_t>(y) * kW + x]; }
  static int r(std::uint32_t p) { return (p >> 16) & 0xFF; }
  static int g(std::uint32_t p) { return (p >> 8) & 0xFF; }
  static int b(std::uint32_t p) { return p & 0xFF; }
  Ink find(int x0, int y0, int x1, int y1, const std::function<bool(std::uint32_t)>& pred) const {
    Ink ink;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (pred(at(x, y))) ink.add(x, y);
    return ink;
  }
};

std::uint32_t Px(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

TEST(DcOnCairo, SceneRendersToPngWithEveryFeatureVisible) {
  auto canvas = CairoCanvas::createImage(kW, kH);
  ASSERT_TRUE(canvas);
  HDC hdc = md::win::CreateScreenDC(canvas.get(), 96, &md::text::FreeTypeEngine());
  ASSERT_NE(hdc, nullptr);
  const std::size_t objects = md::win::LiveObjectCount();
  DrawScene(hdc);
  EXPECT_EQ(md::win::LiveObjectCount(), objects);
  DeleteDC(hdc);
  ASSERT_TRUE(canvas->writePng(OutPath("dc_scene.png")));
  const Pixels p(*canvas);
  const auto white = [](std::uint32_t v) { return v == 0xFFFFFFu; };
  const auto notWhite = [](std::uint32_t v) { return v != 0xFFFFFFu; };

  // Pen styles: solid is unbroken, styled pens have gaps, the null pen draws nothing.
  const Ink solid = p.find(160, 59, 420, 62, notWhite);
  EXPECT_GE(solid.count, 258);
  for (int i = 1; i <= 4; ++i) {
    SCOPED_TRACE(kPenNames[i]);
    const int y = 60 + i * 28;
    int ink = 0;
    for (int x = 160; x < 420; ++x) ink += !white(p.at(x, y));
    EXPECT_GT(ink, 40);
    EXPECT_LT(ink, 230);
  }
  EXPECT_EQ(p.find(150, 60 + 6 * 28 - 4, 710, 60 + 6 * 28 + 5, notWhite).count, 0);

  // Hatches show both the hatch colour and the opaque background; the solid
  // brush fills its whole interior.
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    const Ink hatch =
        p.find(22 + i * 100, 272, 108 + i * 100, 338, [](std::uint32_t v) { return v == 0xA00050u; });
    const Ink bg =
        p.find(22 + i * 100, 272, 108 + i * 100, 338, [](std::uint32_t v) { return v == 0xFFFFC8u; });
    EXPECT_GT(hatch.count, 86 * 66 / 10);
    EXPECT_GT(bg.count, 86 * 66 / 2);
  }
  EXPECT_EQ(p.find(622, 272, 708, 338, [](std::uint32_t v) { return v == 0xFAB428u; }).count, 86 * 66);

  // The clip: the corners of the star's box stay white, its centre is filled,
  // nothing drawn under the clip leaks past the star's tips.
  EXPECT_TRUE(white(p.at(65, 365)));
  EXPECT_TRUE(white(p.at(335, 635)));
  EXPECT_FALSE(white(p.at(200, 500)));
  EXPECT_EQ(p.find(60, 360, 340, 640, [](std::uint32_t v) { return v == Px(kClipFill); }).count > 1000, true);
  const std::vector<POINT> star = ClipStar();
  HRGN rgn = CreatePolygonRgn(star.data(), static_cast<int>(star.size()), ALTERNATE);
  int leaked = 0;
  for (int y = 360; y < 640; ++y)
    for (int x = 60; x < 340; ++x) {
      const std::uint32_t v = p.at(x, y);
      const bool clippedInk = v == Px(kClipFill) || (Pixels::g(v) == 60 && Pixels::r(v) >= 40);
      if (clippedInk && !PtInRegion(rgn, x, y)) ++leaked;
    }
  DeleteObject(rgn);
  EXPECT_EQ(leaked, 0);

  // Text at 0 degrees runs across, at 90 degrees upwards from (640, 500).
  const Ink across = p.find(600, 380, 900, 640, [](std::uint32_t v) {
    return Pixels::r(v) > 150 && Pixels::g(v) < 90 && Pixels::b(v) < 90;
  });
  const Ink up = p.find(600, 300, 900, 640, [](std::uint32_t v) {
    return Pixels::b(v) > 150 && Pixels::r(v) < 90 && Pixels::g(v) < 90;
  });
  ASSERT_GT(across.count, 50);
  ASSERT_GT(up.count, 50);
  EXPECT_GT(across.maxX - across.minX, 3 * (across.maxY - across.minY));
  EXPECT_GE(across.minX, 638);
  EXPECT_GT(up.maxY - up.minY, 3 * (up.maxX - up.minX));
  EXPECT_LE(up.maxY, 502);
  // The Chinese runs put ink below-left of the origin (210 degrees).
  EXPECT_GT(p.find(520, 505, 635, 600, [](std::uint32_t v) { return Pixels::g(v) < 80 && Pixels::r(v) > 60; })
                .count,
            30);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(DcOnCairo, SceneRendersToPdfWithEmbeddedFaces) {
  const std::string path = OutPath("dc_scene.pdf");
  auto canvas = CairoCanvas::createPdf(path, kW * 25.4 / 96, kH * 25.4 / 96, 96);
  ASSERT_TRUE(canvas);
  EXPECT_EQ(canvas->width(), kW);
  HDC hdc = md::win::CreateScreenDC(canvas.get(), 96, &md::text::FreeTypeEngine());
  DrawScene(hdc);
  DeleteDC(hdc);
  ASSERT_TRUE(canvas->finish());
  const std::string pdf = ReadFile(path);
  EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
  EXPECT_NE(pdf.find("FontFile"), std::string::npos);
  EXPECT_NE(pdf.find("NotoSerifCJK"), std::string::npos);
  EXPECT_NE(pdf.find("LiberationSans"), std::string::npos);
}

TEST(DcOnCairo, MemoryBitmapKeepsItsPixelsWhenBlitted) {
  auto canvas = CairoCanvas::createImage(120, 80);
  HDC screen = md::win::CreateScreenDC(canvas.get(), 96, &md::text::FixedMetricsEngine());
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 40, 30);
  ASSERT_NE(bmp, nullptr);
  HGDIOBJ oldBmp = SelectObject(mem, bmp);
  RECT all{0, 0, 40, 30};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(mem, &all, red);
  HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(0, 0, 255));
  HGDIOBJ oldBrush = SelectObject(mem, hatch);
  SetBkColor(mem, RGB(0, 255, 0));
  Ellipse(mem, 5, 5, 35, 25);
  SelectObject(mem, oldBrush);

  ASSERT_TRUE(BitBlt(screen, 50, 20, 40, 30, mem, 0, 0, SRCCOPY));
  md::canvas::Image img;
  ASSERT_TRUE(md::win::GetBitmapImage(bmp, &img));
  std::vector<std::uint32_t> out(40 * 30);
  ASSERT_TRUE(canvas->readPixels(md::canvas::Rect{50, 20, 90, 50}, out.data()));
  int differing = 0, blue = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      differing += out[static_cast<std::size_t>(y) * 40 + x] != (img.at(x, y) & 0xFFFFFFu);
      blue += out[static_cast<std::size_t>(y) * 40 + x] == 0x0000FFu;
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(blue, 20);
  EXPECT_EQ(out[0], 0xFF0000u);
  std::uint32_t outside = 0;
  canvas->readPixels(md::canvas::Rect{49, 20, 50, 21}, &outside);
  EXPECT_EQ(outside, 0xFFFFFFu);

  SelectObject(mem, oldBmp);
  DeleteObject(bmp);
  DeleteObject(red);
  DeleteObject(hatch);
  DeleteDC(mem);
  DeleteDC(screen);
}

}  // namespace
