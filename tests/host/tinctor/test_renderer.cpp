// The renderer and the painter on the recording canvas: what is drawn, where,
// at which scale and turn.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "host/basilo/releaseptr.h"
#include "host/glyphor/gis_symbolstyles.h"
#include "host/glyphor/igis_symbol.h"
#include "host/glyphor2/igis_symbolv2.h"
#include "host/pictar2/graphics.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "host/tinctorkit/igis_symbolpainter.h"
#include "platform/canvas/recording.h"
#include "platform/win/gdidevice.h"

namespace {

using md::canvas::Point;
using md::canvas::Record;
using md::canvas::ShapeKind;

// A 72-dpi screen: one symbol unit (point) is one pixel at scale 1.
class Render : public ::testing::Test {
 protected:
  void SetUp() override {
    objects_ = md::win::LiveObjectCount();
    dc_ = md::win::CreateScreenDC(&canvas_, 72, &md::text::FixedMetricsEngine());
    ASSERT_NE(dc_, nullptr);
  }
  void TearDown() override {
    DeleteDC(dc_);
    EXPECT_EQ(md::win::LiveObjectCount(), objects_);  // pens, brushes and contexts freed
  }
  IGIS_Symbol* Make(int type, int code) {
    IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbol(type);
    s->SetCode(code);
    symbols_.emplace_back(s);
    return s;
  }
  BOOL Draw(IGIS_Symbol* s, std::vector<POINT> pts, double scale) {
    SGIS_DrawParam p;
    p.hdc = dc_;
    p.points = pts.data();
    p.pointCount = static_cast<int>(pts.size());
    p.symbolScale = scale;
    return GIS_GetSymbolizationObject()->Draw(s, &p, GIS_DRAW_CHECK);
  }
  std::vector<const Record*> Shapes() const { return canvas_.recordsOf(Record::Type::Shape); }

  md::canvas::RecordingCanvas canvas_{400, 300};
  HDC dc_ = nullptr;
  std::size_t objects_ = 0;
  std::vector<md::basilo::ReleasePtr<IGIS_Symbol>> symbols_;
};

POINT P(LONG x, LONG y) {
  POINT p;
  p.x = x;
  p.y = y;
  return p;
}

// Device coordinates are whole pixels.
void ExpectNear(const Point& a, double x, double y) {
  EXPECT_NEAR(a.x, x, 0.51);
  EXPECT_NEAR(a.y, y, 0.51);
}

TEST_F(Render, LineSymbolStrokesThePointsAtTheScaledWidth) {
  IGIS_Symbol* line = Make(9, 3332);  // solid, 0.5 mm
  line->SetColor(RGB(200, 10, 10));
  ASSERT_TRUE(Draw(line, {P(10, 10), P(100, 10), P(100, 80)}, 2.0));
  auto shapes = Shapes();
  ASSERT_EQ(shapes.size(), 1u);
  const Record& r = *shapes[0];
  EXPECT_EQ(r.shape.kind, ShapeKind::Polyline);
  EXPECT_TRUE(r.shape.stroke);
  EXPECT_EQ(r.pen.color, RGB(200, 10, 10));
  EXPECT_NEAR(r.pen.width, 0.5 / 25.4 * 72 * 2, 1.0 / 16);
  auto pts = r.Points();
  ASSERT_EQ(pts.size(), 3u);
  ExpectNear(pts[0], 10, 10);
  ExpectNear(pts[1], 100, 10);
  ExpectNear(pts[2], 100, 80);
}

TEST_F(Render, DashedLineIsCutIntoDashesAlongThePath) {
  IGIS_Symbol* line = Make(9, 3333);  // 2.0 on, 1.0 off (mm)
  ASSERT_TRUE(Draw(line, {P(0, 50), P(300, 50)}, 1.0));
  auto shapes = Shapes();
  const double on = 2.0 / 25.4 * 72, period = 3.0 / 25.4 * 72;
  ASSERT_EQ(static_cast<int>(shapes.size()), static_cast<int>(std::ceil(300 / period)));
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    auto pts = shapes[i]->Points();
    ASSERT_GE(pts.size(), 2u);
    ExpectNear(pts.front(), i * period, 50);
    EXPECT_NEAR(pts.back().x - pts.front().x, std::min(on, 300 - i * period), 1.01);
  }
}

TEST_F(Render, FillSymbolFillsTheRingAndOutlinesIt) {
  IGIS_Symbol* fill = Make(12, 3361);
  fill->SetColor(RGB(0, 128, 0));
  fill->SetColor2(RGB(0, 0, 255));
  fill->SetLineWidth(1.0);
  ASSERT_TRUE(Draw(fill, {P(20, 20), P(120, 20), P(120, 90), P(20, 90), P(20, 20)}, 1.0));
  auto shapes = Shapes();
  ASSERT_EQ(shapes.size(), 2u);
  EXPECT_EQ(shapes[0]->shape.kind, ShapeKind::Polygon);
  EXPECT_TRUE(shapes[0]->shape.fill);
  EXPECT_FALSE(shapes[0]->shape.stroke);
  EXPECT_EQ(shapes[0]->brush.color, RGB(0, 128, 0));
  EXPECT_EQ(shapes[0]->brush.style, md::canvas::BrushStyle::Solid);
  EXPECT_TRUE(shapes[1]->shape.stroke);
  EXPECT_FALSE(shapes[1]->shape.fill);
  EXPECT_EQ(shapes[1]->pen.color, RGB(0, 0, 255));
  EXPECT_NEAR(shapes[1]->pen.width, 72 / 25.4, 1.0 / 16);
  auto pts = shapes[0]->Points();
  ExpectNear(pts[1], 120, 20);
  ExpectNear(pts[2], 120, 90);
  // A hatched style fills with a hatch brush.
  canvas_.clear();
  ASSERT_TRUE(Draw(Make(12, 3364), {P(0, 0), P(50, 0), P(50, 50)}, 1.0));
  EXPECT_EQ(Shapes()[0]->brush.style, md::canvas::BrushStyle::Hatched);
  EXPECT_EQ(Shapes()[0]->brush.hatch, md::canvas::Hatch::Cross);
}

TEST_F(Render, PointSymbolIsPlacedAtEveryPointScaledAndTurned) {
  IGIS_Symbol* cross = Make(6, 3303);  // "+" in an 8 x 8 box
  ASSERT_TRUE(Draw(cross, {P(50, 50), P(150, 60)}, 1.0));
  auto shapes = Shapes();
  ASSERT_EQ(shapes.size(), 4u);  // two strokes per point
  auto h = shapes[0]->Points();
  ExpectNear(h[0], 46, 50);
  ExpectNear(h[1], 54, 50);
  auto v = shapes[3]->Points();
  ExpectNear(v[0], 150, 64);
  ExpectNear(v[1], 150, 56);

  // Scale 2 and a quarter turn counter-clockwise: the horizontal stroke
  // stands upright, twice as long; its left end goes to the bottom.
  canvas_.clear();
  cross->SetAngle(90.0);
  ASSERT_TRUE(Draw(cross, {P(100, 100)}, 2.0));
  h = Shapes()[0]->Points();
  ExpectNear(h[0], 100, 108);
  ExpectNear(h[1], 100, 92);

  // 30 degrees: the right end of the stroke rises.
  canvas_.clear();
  cross->SetAngle(30.0);
  ASSERT_TRUE(Draw(cross, {P(100, 100)}, 1.0));
  h = Shapes()[0]->Points();
  ExpectNear(h[1], 100 + 4 * std::cos(M_PI / 6), 100 - 4 * std::sin(M_PI / 6));
}

TEST_F(Render, PointKindsUseTheirColourSlots) {
  // The north arrow 3302: dark half in Color, light half in Color2.
  IGIS_Symbol* p6 = Make(6, 3302);
  p6->SetColor(RGB(1, 2, 3));
  p6->SetColor2(RGB(4, 5, 6));
  ASSERT_TRUE(Draw(p6, {P(100, 100)}, 1.0));
  auto shapes = Shapes();
  ASSERT_GE(shapes.size(), 2u);
  EXPECT_EQ(shapes[0]->brush.color, RGB(1, 2, 3));
  EXPECT_EQ(shapes[1]->brush.color, RGB(4, 5, 6));
  // Kind 5 draws everything in Color.
  canvas_.clear();
  IGIS_Symbol* p5 = GIS_GetSymbolFactoryObject()->CreateSymbol(5);
  symbols_.emplace_back(p5);
  p5->SetCode(3302);
  p5->SetSize(60);  // twice the box height
  p5->SetColor(RGB(1, 2, 3));
  p5->SetColor2(RGB(4, 5, 6));
  ASSERT_TRUE(Draw(p5, {P(100, 100)}, 1.0));
  shapes = Shapes();
  EXPECT_EQ(shapes[1]->brush.color, RGB(1, 2, 3));
  // The tip of the arrow (0, 7.5) lands 15 pixels above the anchor.
  ExpectNear(shapes[0]->Points()[0], 100, 85);
}

TEST_F(Render, LogicalPointsFollowTheMapping) {
  SetViewportOrgEx(dc_, 100, 50, nullptr);
  ASSERT_TRUE(Draw(Make(9, 3331), {P(0, 0), P(10, 20)}, 1.0));
  auto pts = Shapes()[0]->Points();
  ExpectNear(pts[0], 100, 50);
  ExpectNear(pts[1], 110, 70);
  // The context's mapping is as it was.
  POINT org;
  GetViewportOrgEx(dc_, &org);
  EXPECT_EQ(org.x, 100);
  EXPECT_EQ(GetMapMode(dc_), MM_TEXT);
  SIZE ext;
  GetWindowExtEx(dc_, &ext);
  EXPECT_EQ(ext.cx, 1);
}

TEST(RenderPrint, SymbolsKeepTheirRealSizeOnAPrinterInMetricMapping) {
  // 600 dpi, 0.01 mm per logical unit, y up: the anchor one inch right and
  // one inch down lands on device pixel (600, 600); an 8-unit (8-point) cross
  // spans 8 / 72 inch = 66 2/3 pixels, north still up.
  md::canvas::RecordingCanvas canvas(2000, 2000);
  md::win::PrinterSetup setup;
  HDC dc = md::win::CreatePrinterDC(&canvas, setup, &md::text::FixedMetricsEngine());
  ASSERT_NE(dc, nullptr);
  SetMapMode(dc, MM_HIMETRIC);
  IGIS_Symbol* arrow = GIS_GetSymbolFactoryObject()->CreateSymbol(6);
  arrow->SetCode(3303);
  POINT pt = P(2540, -2540);
  SGIS_DrawParam p;
  p.hdc = dc;
  p.points = &pt;
  p.pointCount = 1;
  p.printFlag = 1;
  ASSERT_TRUE(GIS_GetSymbolizationObject()->Draw(arrow, &p, GIS_DRAW_CHECK));
  auto shapes = canvas.recordsOf(Record::Type::Shape);
  ASSERT_EQ(shapes.size(), 2u);
  auto h = shapes[0]->Points();
  ExpectNear(h[0], 600 - 100.0 / 3, 600);
  ExpectNear(h[1], 600 + 100.0 / 3, 600);
  auto v = shapes[1]->Points();
  EXPECT_GT(v[0].y, v[1].y);  // drawn from the bottom end up to the top end
  EXPECT_EQ(GetMapMode(dc), MM_HIMETRIC);
  arrow->Release();
  DeleteDC(dc);
}

TEST_F(Render, ClipOfTheContextApplies) {
  HRGN clip = CreateRectRgn(0, 0, 60, 60);
  SelectClipRgn(dc_, clip);
  DeleteObject(clip);
  ASSERT_TRUE(Draw(Make(9, 3331), {P(0, 0), P(100, 100)}, 1.0));
  const auto& st = Shapes()[0]->state;
  ASSERT_TRUE(st.clip.active);
  ASSERT_EQ(st.clip.rects.size(), 1u);
  EXPECT_EQ(st.clip.rects[0], (md::canvas::Rect{0, 0, 60, 60}));
  SelectClipRgn(dc_, nullptr);
}

TEST_F(Render, BadRequestsDrawNothing) {
  IGIS_SymbolRenderer* r = GIS_GetSymbolizationObject();
  IGIS_Symbol* line = Make(9, 3331);
  IGIS_Symbol* fill = Make(12, 3361);
  IGIS_Symbol* text = Make(19, 0);
  EXPECT_FALSE(r->Draw(line, nullptr, GIS_DRAW_CHECK));
  EXPECT_FALSE(Draw(nullptr, {P(0, 0), P(1, 1)}, 1.0));
  EXPECT_FALSE(Draw(line, {}, 1.0));
  EXPECT_FALSE(Draw(line, {P(0, 0)}, 1.0));
  EXPECT_FALSE(Draw(fill, {P(0, 0), P(5, 5)}, 1.0));
  EXPECT_FALSE(Draw(line, {P(0, 0), P(1, 1)}, std::nan("")));
  EXPECT_FALSE(Draw(line, {P(0, 0), P(1, 1)}, -1.0));
  EXPECT_FALSE(Draw(text, {P(0, 0), P(1, 1)}, 1.0));
  SGIS_DrawParam p;
  POINT pts[2] = {P(0, 0), P(1, 1)};
  p.points = pts;
  p.pointCount = 2;
  EXPECT_FALSE(r->Draw(line, &p, GIS_DRAW_CHECK));  // no device context
  EXPECT_TRUE(canvas_.records().empty());
}

TEST(RendererBound, PointStylesReportTheirBox) {
  IGIS_SymbolRenderer* r = GIS_GetSymbolizationObject();
  EXPECT_EQ(r->GetSymbolBound(3302), SGIS_Rect(0, 30, 12, 0));
  EXPECT_EQ(r->GetSymbolBound(0xCE7), SGIS_Rect(0, 8, 8, 0));
  EXPECT_EQ(r->GetSymbolBound(3331), SGIS_Rect());
  EXPECT_EQ(r->GetSymbolBound(-5), SGIS_Rect());
  for (const auto& s : md::glyphor::AllStyles()) {
    if (s.kind != md::glyphor::Kind::Point) continue;
    const SGIS_Rect b = r->GetSymbolBound(s.code);
    EXPECT_GT(b.Width(), 0) << s.code;
    EXPECT_GT(b.Height(), 0) << s.code;
  }
}

TEST_F(Render, PainterStrokesAndFillsDoublePoints) {
  IGIS_SymbolV2Factory* f = GIS_GetSymbol2FactoryObject();
  IGIS_SymbolV2* line = f->CreateSymbol(1);
  line->SetColor(RGB(5, 6, 7));
  md::pictar2::Graphics g(dc_, md::pictar2::RasterModeDevice);
  SGIS_PaintParam pp;
  pp.graphics = &g;
  pp.scale = 2.0;
  const double xy[] = {10.4, 10.6, 90.2, 10.6, 90.2, 40.0};
  ASSERT_TRUE(GIS_GetSymbolizeObject()->Paint(line, &pp, xy, 3));
  auto shapes = Shapes();
  ASSERT_EQ(shapes.size(), 1u);
  auto pts = shapes[0]->Points();
  ExpectNear(pts[0], 10.4, 10.6);
  ExpectNear(pts[2], 90.2, 40.0);
  EXPECT_NEAR(shapes[0]->pen.width, 0.2 / 25.4 * 72 * 2, 1.0 / 16);
  EXPECT_EQ(shapes[0]->pen.color, RGB(5, 6, 7));

  canvas_.clear();
  IGIS_SymbolV2* fill = f->CreateSymbol(2);
  const double ring[] = {0, 0, 50, 0, 50, 30, 0, 30, 0, 0};
  ASSERT_TRUE(GIS_GetSymbolizeObject()->Paint(fill, &pp, ring, 5));
  shapes = Shapes();
  ASSERT_EQ(shapes.size(), 2u);
  EXPECT_TRUE(shapes[0]->shape.fill);
  EXPECT_EQ(shapes[0]->brush.color, fill->GetColor());
  EXPECT_TRUE(shapes[1]->shape.stroke);
  // Too few points, no graphics: nothing.
  canvas_.clear();
  EXPECT_FALSE(GIS_GetSymbolizeObject()->Paint(fill, &pp, ring, 2));
  EXPECT_FALSE(GIS_GetSymbolizeObject()->Paint(line, &pp, xy, 1));
  SGIS_PaintParam none;
  EXPECT_FALSE(GIS_GetSymbolizeObject()->Paint(line, &none, xy, 3));
  EXPECT_TRUE(canvas_.records().empty());
  line->Release();
  fill->Release();
}

TEST_F(Render, GraphicsOnABitmapReachesTheContextOnUpdate) {
  HDC mem = CreateCompatibleDC(dc_);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 40;
  info.bmiHeader.biHeight = 30;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(mem, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  {
    // The bitmap stays selected in the caller's memory context.
    md::pictar2::Graphics g(bmp, md::pictar2::RasterModeBitmap);
    ASSERT_TRUE(g.IsValid());
    IGIS_SymbolV2* fill = GIS_GetSymbol2FactoryObject()->CreateSymbol(2);
    fill->SetCode(3362);
    fill->SetColor(RGB(255, 0, 0));
    fill->SetLineWidth(0);
    SGIS_PaintParam pp;
    pp.graphics = &g;
    const double ring[] = {0, 0, 40, 0, 40, 30, 0, 30};
    ASSERT_TRUE(GIS_GetSymbolizeObject()->Paint(fill, &pp, ring, 4));
    fill->Release();
    EXPECT_TRUE(canvas_.records().empty());  // nothing on the screen yet
    ASSERT_TRUE(g.Update(dc_));
  }
  auto images = canvas_.recordsOf(Record::Type::Image);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0]->dst, (md::canvas::Rect{0, 0, 40, 30}));
  ASSERT_FALSE(images[0]->pixels.empty());
  EXPECT_EQ(images[0]->pixels[15 * 40 + 20] & 0xFFFFFF, 0xFF0000u);  // 0x00RRGGBB: red
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
}

TEST_F(Render, GraphicsOnABitmapTakesTheResolutionOfItsContext) {
  // A bitmap drawn for a 300-dpi context: a 2 mm line is 2 / 25.4 * 300
  // (about 23.6) pixels thick there, not the 7.6 of a 96-dpi surface.
  md::canvas::RecordingCanvas fine(200, 100);
  HDC dc300 = md::win::CreateScreenDC(&fine, 300);
  ASSERT_NE(dc300, nullptr);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 60;
  info.bmiHeader.biHeight = 60;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(dc300, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bmp, nullptr);
  IGIS_SymbolV2* line = GIS_GetSymbol2FactoryObject()->CreateSymbol(1);
  line->SetLineWidth(2.0);
  line->SetColor(RGB(0, 0, 255));
  const double xy[] = {0.0, 30.0, 60.0, 30.0};
  auto thickness = [&](HDC reference, double* dpi) {
    md::pictar2::Graphics g(bmp, md::pictar2::RasterModeBitmap, reference);
    EXPECT_TRUE(g.IsValid());
    *dpi = g.GetDpi();
    SGIS_PaintParam pp;
    pp.graphics = &g;
    EXPECT_TRUE(GIS_GetSymbolizeObject()->Paint(line, &pp, xy, 2));
    fine.clear();
    EXPECT_TRUE(g.Update(dc300));
    auto images = fine.recordsOf(Record::Type::Image);
    if (images.size() != 1u || images[0]->pixels.size() < 60u * 60u) return -1;
    int n = 0;
    for (int y = 0; y < 60; ++y) n += (images[0]->pixels[y * 60 + 30] & 0xFFFFFF) == 0x0000FFu ? 1 : 0;
    return n;
  };
  double dpi = 0;
  const int thick = thickness(dc300, &dpi);
  EXPECT_DOUBLE_EQ(dpi, 300.0);
  EXPECT_NEAR(thick, 2.0 / 25.4 * 300, 1.5);
  const int plain = thickness(nullptr, &dpi);
  EXPECT_DOUBLE_EQ(dpi, 96.0);
  EXPECT_NEAR(plain, 2.0 / 25.4 * 96, 1.5);
  line->Release();
  DeleteObject(bmp);
  DeleteDC(dc300);
}

}  // namespace
