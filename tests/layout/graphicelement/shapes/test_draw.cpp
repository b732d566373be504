// Drawing the plain shapes: the device primitives they hand to the renderer,
// the clip they draw under and leave behind, duplicate device points, the
// point symbol fitted into its rectangle, and a page of every shape with
// several symbols rendered to a PNG, each kind compared with its control.
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "layout/graphicelement/shapes/cgis_ellipseelement.h"
#include "layout/graphicelement/shapes/cgis_pointelement.h"
#include "layout/graphicelement/shapes/cgis_polygonelement.h"
#include "layout/graphicelement/shapes/cgis_polylineelement.h"
#include "layout/graphicelement/shapes/cgis_rectelement.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/canvas/raster.h"
#include "tests/layout/graphicelement/shapes/shapetest.h"
#include "tests/support/rendercheck.h"

namespace {

using md::canvas::Record;
using md::canvas::ShapeKind;
using md::test::LogMark;
using md::test::Page;
using md::test::SetPoints;
using md::test::ShapeTest;

struct Box {
  double l = 1e9, t = 1e9, r = -1e9, b = -1e9;
};

Box BoundsOf(const std::vector<const Record*>& records) {
  Box box;
  for (const Record* rec : records) {
    for (const auto& p : rec->Points()) {
      box = {std::min(box.l, p.x), std::min(box.t, p.y), std::max(box.r, p.x), std::max(box.b, p.y)};
    }
  }
  return box;
}

TEST_F(ShapeTest, EveryShapeDrawsUnderThePaperClipAndLeavesTheClipAsItFoundIt) {
  auto* rect = Make<CGIS_RectElement>(GIS_TYPE_GRAPHIC_ELEMENT_RECT);
  rect->SetRect(SGIS_Rect(1000, 2000, 3000, 1000));
  auto* ellipse = Make<CGIS_EllipseElement>(GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE);
  ellipse->SetRect(SGIS_Rect(3500, 2500, 5500, 1500));
  auto* polygon = Make<CGIS_PolygonElement>(GIS_TYPE_GRAPHIC_ELEMENT_POLYGON);
  SetPoints(polygon, {{500, 500, 0}, {2500, 500, 0}, {1500, 900, 0}, {500, 500, 0}});
  auto* line = Make<CGIS_PolylineElement>(GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE);
  SetPoints(line, {{200, 2800, 0}, {5800, 2800, 0}, {7800, 200, 0}});  // leaves the paper
  auto* point = Make<CGIS_PointElement>(GIS_TYPE_GRAPHIC_ELEMENT_POINT);
  point->SetLBpoint(SGIS_Point(4000, 500, 0));

  auto page = Page::Printer();
  const POINT paper = page->Pixel(6000, 0);  // bottom-right corner of the paper
  const std::size_t objects = md::win::LiveObjectCount();
  for (RECT callers : {RECT{0, 0, 0, 0}, RECT{50, 20, 300, 100}}) {
    SCOPED_TRACE(callers.right == 0 ? "no clip before" : "a clip before");
    HRGN region = callers.right != 0 ? CreateRectRgn(callers.left, callers.top, callers.right, callers.bottom)
                                     : nullptr;
    SelectClipRgn(page->hdc, region);
    const std::vector<RECT> before = page->Clip();
    if (callers.right == 0) callers = RECT{-100000, -100000, 100000, 100000};
    for (IGIS_Element* e : std::vector<IGIS_Element*>{rect, ellipse, polygon, line, point}) {
      SCOPED_TRACE(e->GetType());
      page->canvas->clear();
      EXPECT_TRUE(e->OnDraw(page->hdc, true, page->display));
      const auto drawn = page->canvas->recordsOf(Record::Type::Shape);
      ASSERT_FALSE(drawn.empty());
      for (const Record* r : drawn) {
        ASSERT_TRUE(r->state.clip.active);
        for (const auto& c : r->state.clip.rects) {
          EXPECT_TRUE(c.left >= std::max<LONG>(0, callers.left) && c.top >= std::max<LONG>(0, callers.top));
          EXPECT_TRUE(c.right <= std::min(paper.x, callers.right) &&
                      c.bottom <= std::min(paper.y, callers.bottom));
        }
      }
      const std::vector<RECT> after = page->Clip();
      EXPECT_TRUE(std::equal(after.begin(), after.end(), before.begin(), before.end(), [](RECT a, RECT b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
      }));
      EXPECT_EQ(page->HasClip(), region != nullptr);
    }
    SelectClipRgn(page->hdc, nullptr);
    if (region != nullptr) DeleteObject(region);
  }
  EXPECT_EQ(md::win::LiveObjectCount(), objects);

  // The rectangle's ring reaches the renderer as its corners.
  page->canvas->clear();
  rect->OnDraw(page->hdc, true, page->display);
  const Box box = BoundsOf(page->canvas->shapesOf(ShapeKind::Polygon));
  const POINT lt = page->Pixel(1000, 2000), rb = page->Pixel(3000, 1000);
  EXPECT_NEAR(box.l, lt.x, 1.0);
  EXPECT_NEAR(box.t, lt.y, 1.0);
  EXPECT_NEAR(box.r, rb.x, 1.0);
  EXPECT_NEAR(box.b, rb.y, 1.0);
}

TEST_F(ShapeTest, TheEllipseFillsItsOutlineWithItsOwnSymbol) {
  auto* ellipse = Make<CGIS_EllipseElement>(GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE);
  ellipse->SetRect(SGIS_Rect(0, 3000, 2540, 1730));  // 96 x 48 pixels on the screen
  auto screen = Page::Screen(1.0, 0.0, 3000.0);
  for (COLORREF color : {RGB(20, 60, 220), RGB(250, 200, 0)}) {
    ellipse->SetSymbolPtr(NewSymbol(12, 3366, color));
    screen->canvas->clear();
    ASSERT_TRUE(ellipse->OnDraw(screen->hdc, false, screen->display));
    const auto polys = screen->canvas->shapesOf(ShapeKind::Polygon);
    ASSERT_EQ(polys.size(), 1u);
    EXPECT_TRUE(polys.front()->shape.fill);
    EXPECT_EQ(polys.front()->brush.color, static_cast<md::canvas::Color>(color));
    const Box box = BoundsOf(polys);
    EXPECT_TRUE(std::fabs(box.l) <= 1 && std::fabs(box.r - 96) <= 1 && std::fabs(box.t) <= 1 &&
                std::fabs(box.b - 48) <= 1);
    for (const auto& p : polys.front()->Points()) {
      const double u = (p.x - 48.0) / 48.0, v = (p.y - 24.0) / 24.0;
      EXPECT_NEAR(u * u + v * v, 1.0, 0.1);  // on the ellipse
    }
  }
}

TEST_F(ShapeTest, PointsThatLandOnOneDevicePointAreDrawnOnce) {
  auto screen = Page::Screen(1.0, 0.0, 3000.0);  // 26.46 page units a pixel
  auto* line = Make<CGIS_PolylineElement>(GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE);
  SetPoints(line, {{0, 0, 0}, {1, 0, 0}, {1000, 0, 0}});
  ASSERT_TRUE(line->OnDraw(screen->hdc, false, screen->display));
  const auto strokes = screen->canvas->shapesOf(ShapeKind::Polyline);
  ASSERT_EQ(strokes.size(), 1u);
  EXPECT_EQ(strokes.front()->Points().size(), 2u);

  auto* polygon = Make<CGIS_PolygonElement>(GIS_TYPE_GRAPHIC_ELEMENT_POLYGON);
  SetPoints(polygon, {{0, 0, 0}, {5, 5, 0}, {2000, 0, 0}, {2000, 2000, 0}, {2001, 2000, 0}, {0, 0, 0}});
  screen->canvas->clear();
  ASSERT_TRUE(polygon->OnDraw(screen->hdc, false, screen->display));
  const auto fills = screen->canvas->shapesOf(ShapeKind::Polygon);
  ASSERT_FALSE(fills.empty());
  const auto pts = fills.front()->Points();
  EXPECT_TRUE(pts.size() == 3u || pts.size() == 4u);
  for (std::size_t i = 1; i < pts.size(); ++i) EXPECT_NE(pts[i], pts[i - 1]);

  // Too few points: nothing is drawn.
  LogMark log;
  SetPoints(polygon, {{0, 0, 0}, {2000, 0, 0}, {0, 0, 0}});
  SetPoints(line, {{0, 0, 0}});
  screen->canvas->clear();
  EXPECT_FALSE(polygon->OnDraw(screen->hdc, false, screen->display));
  EXPECT_FALSE(line->OnDraw(screen->hdc, false, screen->display));
  EXPECT_TRUE(log.Has(3, "CGIS_PolygonElement::OnDraw",
                      "pointCount = pPolygon->GetPoints(pointCount, gis_pts) < 0 "));
  EXPECT_TRUE(log.Has(3, "CGIS_PolylineElement::OnDraw",
                      "pointCount = pPolyLine->GetPoints(pointCount, gis_pts) < 0 "));
  EXPECT_TRUE(screen->canvas->records().empty());
}

TEST_F(ShapeTest, APointSymbolIsFittedIntoItsRectangleKeepingItsAspect) {
  auto screen = Page::Screen(1.0, 0.0, 3000.0);
  auto* point = Make<CGIS_PointElement>(GIS_TYPE_GRAPHIC_ELEMENT_POINT);
  // 96 x 48 pixels; the default marker is a circle of radius 3.5 in an 8 x 8
  // box, so it fits at 6 pixels a unit: 42 pixels across, centred.
  IGIS_Geometry* g = point->GetFeaturePtr()->GetGeometry();
  g->SetRect(SGIS_Rect(0, 3000, 2540, 1730), 0);
  ASSERT_TRUE(point->OnDraw(screen->hdc, false, screen->display));
  const auto circles = screen->canvas->shapesOf(ShapeKind::Ellipse);
  ASSERT_EQ(circles.size(), 1u);
  const auto& b = circles.front()->shape.bounds;
  EXPECT_NEAR((b.left + b.right) / 2.0, 48.0, 1.0);
  EXPECT_NEAR((b.top + b.bottom) / 2.0, 24.0, 1.0);
  EXPECT_NEAR(b.right - b.left, 42.0, 2.0);
  EXPECT_NEAR(b.bottom - b.top, 42.0, 2.0);

  // A compass rose (24 x 30) in the same rectangle: bound by the height, centred.
  point->SetSymbolPtr(NewSymbol(7, 3311, RGB(0, 0, 0)));
  g->SetRect(SGIS_Rect(0, 3000, 2540, 1730), 0);
  screen->canvas->clear();
  ASSERT_TRUE(point->OnDraw(screen->hdc, false, screen->display));
  const Box box = BoundsOf(screen->canvas->recordsOf(Record::Type::Shape));
  EXPECT_TRUE(box.t >= -1.0 && box.b <= 49.0 && box.b - box.t > 40.0);
  EXPECT_LT(box.r - box.l, 48.0 * 24 / 30 + 2);
  EXPECT_NEAR((box.l + box.r) / 2.0, 48.0, 3.0);

  // A symbol without extent draws nothing.
  point->GetFeaturePtr()->SetSymbol(NewSymbol(12, 3361, 0)->Clone());
  screen->canvas->clear();
  EXPECT_FALSE(point->OnDraw(screen->hdc, false, screen->display));
  EXPECT_TRUE(screen->canvas->records().empty());
}

TEST_F(ShapeTest, APageOfEveryShapeWithSeveralSymbolsRendersToPng) {
  auto canvas = md::canvas::CairoCanvas::createPageImage(150.0, 100.0, 150.0);
  ASSERT_NE(canvas, nullptr);
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = 150;
  setup.paperWidthMm = 150.0;
  setup.paperHeightMm = 100.0;
  HDC hdc = md::win::CreatePrinterDC(canvas.get(), setup);
  CGIS_PrintDisplay display(hdc, 15000, 10000, SGIS_Point(0, 10000));
  const COLORREF colors[] = {RGB(128, 128, 128), RGB(0, 130, 0), RGB(160, 0, 160), RGB(90, 160, 255),
                             RGB(200, 0, 0)};
  std::vector<IGIS_Element*> all;
  for (int i = 0; i < 4; ++i) {  // rectangles (the first one crosses the paper's edge) and ellipses
    auto* r = Make<CGIS_RectElement>(GIS_TYPE_GRAPHIC_ELEMENT_RECT);
    r->SetRect(SGIS_Rect(-1000 + i * 3800, 9500, 1800 + i * 3800, 7500));
    r->SetSymbolPtr(NewSymbol(12, 3361 + (i == 0 ? 0 : i + 1), colors[i]));
    auto* e = Make<CGIS_EllipseElement>(GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE);
    e->SetRect(SGIS_Rect(500 + i * 3600, 7000, 3300 + i * 3600 - (i == 2 ? 1000 : 0), 5200));
    e->SetSymbolPtr(NewSymbol(12, 3362 + i, colors[4 - i]));
    all.insert(all.end(), {r, e});
  }
  auto* star = Make<CGIS_PolygonElement>(GIS_TYPE_GRAPHIC_ELEMENT_POLYGON);
  std::vector<SGIS_Point> ring;
  for (int k = 0; k <= 10; ++k) {
    const double a = 3.14159265358979 / 2 + k * 3.14159265358979 / 5, rad = (k % 2 == 0) ? 1100 : 450;
    ring.push_back(SGIS_Point::FromDoubles(1600 + rad * std::cos(a), 3600 + rad * std::sin(a)));
  }
  ring.back() = ring.front();
  SetPoints(star, ring);
  star->SetSymbolPtr(NewSymbol(12, 3366, RGB(255, 210, 0)));
  auto* tri = Make<CGIS_PolygonElement>(GIS_TYPE_GRAPHIC_ELEMENT_POLYGON);
  SetPoints(tri, {{3300, 2600, 0}, {5600, 2600, 0}, {4450, 4700, 0}, {3300, 2600, 0}});
  tri->SetSymbolPtr(NewSymbol(12, 3363, RGB(0, 0, 200)));
  all.insert(all.end(), {star, tri});
  for (int i = 0; i < 5; ++i) {  // the five line styles
    auto* l = Make<CGIS_PolylineElement>(GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE);
    const int y = 4600 - i * 500;
    SetPoints(l, {{6200, y, 0}, {8200, y + 300, 0}, {10200, y - 200, 0}, {14500, y, 0}});
    l->SetSymbolPtr(NewSymbol(9, 3331 + i, colors[4 - i]));
    all.push_back(l);
  }
  struct Marker {
    int type, code, w, h;
  } markers[] = {{6, 3301, 900, 900},  {6, 3307, 1200, 900},  {6, 3305, 900, 900}, {6, 3302, 800, 1500},
                 {5, 3310, 800, 1500}, {7, 3311, 1300, 1500}, {7, 3313, 800, 1500}};
  int x = 600;
  auto* frame = NewSymbol(9, 3331, RGB(180, 180, 180));
  for (const Marker& m : markers) {  // point symbols of three kinds, each in its box
    auto* p = Make<CGIS_PointElement>(GIS_TYPE_GRAPHIC_ELEMENT_POINT);
    IGIS_Symbol* s = NewSymbol(m.type, m.code, colors[(x / 1000) % 5]);
    s->SetColor2(RGB(255, 255, 255));
    p->SetSymbolPtr(s);
    p->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(x, 300 + m.h, x + m.w, 300), 0);
    auto* box = Make<CGIS_PolylineElement>(GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE);
    SetPoints(box, {{x, 300, 0}, {x + m.w, 300, 0}, {x + m.w, 300 + m.h, 0}, {x, 300 + m.h, 0}, {x, 300, 0}});
    box->SetSymbolPtr(frame);
    all.insert(all.end(), {box, p});
    x += m.w + 900;
  }
  for (IGIS_Element* e : all) EXPECT_TRUE(e->OnDraw(hdc, true, &display)) << e->GetType();
  EXPECT_TRUE(canvas->writePng(std::string(MD_TEST_OUTPUT_DIR) + "/shapes_page.png"));
  DeleteDC(hdc);

  // Each shape kind on a page of its own, compared with its control image.
  const std::pair<const char*, const char*> kinds[] = {{GIS_TYPE_GRAPHIC_ELEMENT_RECT, "shapes_rect"},
                                                       {GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE, "shapes_ellipse"},
                                                       {GIS_TYPE_GRAPHIC_ELEMENT_POLYGON, "shapes_polygon"},
                                                       {GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE, "shapes_polyline"},
                                                       {GIS_TYPE_GRAPHIC_ELEMENT_POINT, "shapes_point"}};
  for (const auto& [type, control] : kinds) {
    SCOPED_TRACE(type);
    auto kindCanvas = md::canvas::CairoCanvas::createPageImage(150.0, 100.0, 150.0);
    ASSERT_NE(kindCanvas, nullptr);
    HDC kindDc = md::win::CreatePrinterDC(kindCanvas.get(), setup);
    {
      CGIS_PrintDisplay kindDisplay(kindDc, 15000, 10000, SGIS_Point(0, 10000));
      for (IGIS_Element* e : all) {
        if (std::string(e->GetType()) != type) continue;
        EXPECT_TRUE(e->OnDraw(kindDc, true, &kindDisplay));
      }
    }
    DeleteDC(kindDc);
    EXPECT_TRUE(md::test::MatchesControl(md::canvas::ReadRaster(*kindCanvas),
                                         "tests/layout/graphicelement/shapes/controls", control));
  }
}

}  // namespace
