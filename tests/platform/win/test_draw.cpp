// Drawing calls: the device geometry, pen and brush each one hands over.
#include <cmath>
#include <thread>
#include <vector>

#include "tests/platform/win/wintest.h"

namespace {

using md::canvas::Point;
using md::canvas::Record;
using md::canvas::ShapeKind;
using md::test::Owned;
using md::test::RecordingDC;

TEST(Draw, LinesFollowTheCurrentPosition) {
  RecordingDC dc;
  POINT old;
  MoveToEx(dc.hdc, 10, 20, &old);
  EXPECT_EQ(old.x, 0);
  LineTo(dc.hdc, 30, 40);
  const POINT more[] = {{50, 40}, {50, 60}};
  PolylineTo(dc.hdc, more, 2);
  POINT cur;
  GetCurrentPositionEx(dc.hdc, &cur);
  EXPECT_EQ(cur.x, 50);
  EXPECT_EQ(cur.y, 60);
  ASSERT_EQ(dc.canvas.records().size(), 2u);
  EXPECT_EQ(dc.canvas.records()[0].shape.kind, ShapeKind::Line);
  EXPECT_EQ(dc.canvas.records()[0].Points(), (std::vector<Point>{{10, 20}, {30, 40}}));
  EXPECT_EQ(dc.canvas.records()[1].Points(), (std::vector<Point>{{30, 40}, {50, 40}, {50, 60}}));
  EXPECT_TRUE(dc.canvas.records()[1].shape.stroke);
  EXPECT_FALSE(dc.canvas.records()[1].shape.fill);
}

TEST(Draw, ShapesUnderAMappingModeArriveInDevicePixels) {
  RecordingDC dc(400, 400, 254);  // 10 pixels per millimetre
  SetMapMode(dc.hdc, MM_LOMETRIC);
  SetViewportOrgEx(dc.hdc, 0, 400, nullptr);
  Owned pen(CreatePen(PS_SOLID, 5, RGB(10, 20, 30)));  // 0.5 mm
  SelectObject(dc.hdc, pen.obj);
  Rectangle(dc.hdc, 100, 300, 200, 100);  // 10..20 mm wide, 10..30 mm up
  const Record& r = dc.last();
  EXPECT_EQ(r.shape.kind, ShapeKind::Rectangle);
  EXPECT_EQ(r.shape.bounds, (md::canvas::Rect{100, 100, 200, 300}));
  // The outline passes through the last pixels inside the box.
  EXPECT_EQ(r.Points(), (std::vector<Point>{{100, 100}, {199, 100}, {199, 299}, {100, 299}}));
  EXPECT_TRUE(r.shape.fill);
  EXPECT_TRUE(r.shape.stroke);
  EXPECT_DOUBLE_EQ(r.pen.width, 5.0);
  EXPECT_EQ(r.pen.color, RGB(10, 20, 30));
  EXPECT_EQ(r.brush.color, 0xFFFFFFu);  // the white stock brush of a new context

  const POINT tri[] = {{0, 0}, {100, 0}, {0, 100}};
  SetPolyFillMode(dc.hdc, WINDING);
  Polygon(dc.hdc, tri, 3);
  EXPECT_EQ(dc.last().Points(), (std::vector<Point>{{0, 400}, {100, 400}, {0, 300}}));
  EXPECT_EQ(dc.last().shape.rule, md::canvas::FillRule::Winding);
  EXPECT_TRUE(dc.last().shape.paths[0].closed);

  const POINT two[] = {{0, 0}, {10, 0}, {10, 10}, {20, 20}, {30, 20}, {30, 30}};
  const INT counts[] = {3, 3};
  PolyPolygon(dc.hdc, two, counts, 2);
  ASSERT_EQ(dc.last().shape.paths.size(), 2u);
  EXPECT_EQ(dc.last().shape.paths[1].points.front(), (Point{20, 380}));
}

TEST(Draw, PenStylesWidthsCapsAndJoins) {
  RecordingDC dc;
  struct Case {
    HPEN pen;
    md::canvas::PenStyle style;
    double width;
    md::canvas::LineCap cap;
    md::canvas::LineJoin join;
  };
  LOGBRUSH lb{BS_SOLID, RGB(0, 128, 0), 0};
  const Case cases[] = {
      {CreatePen(PS_DASH, 1, 0), md::canvas::PenStyle::Dash, 1, md::canvas::LineCap::Round,
       md::canvas::LineJoin::Round},
      {CreatePen(PS_DOT, 0, 0), md::canvas::PenStyle::Dot, 1, md::canvas::LineCap::Round,
       md::canvas::LineJoin::Round},
      {CreatePen(PS_DASHDOT, 1, 0), md::canvas::PenStyle::DashDot, 1, md::canvas::LineCap::Round,
       md::canvas::LineJoin::Round},
      // A wide pen from CreatePen draws its dashes solid.
      {CreatePen(PS_DASH, 4, 0), md::canvas::PenStyle::Solid, 4, md::canvas::LineCap::Round,
       md::canvas::LineJoin::Round},
      {ExtCreatePen(PS_GEOMETRIC | PS_DASH | PS_ENDCAP_FLAT | PS_JOIN_MITER, 6, &lb, 0, nullptr),
       md::canvas::PenStyle::Dash, 6, md::canvas::LineCap::Flat, md::canvas::LineJoin::Miter},
      {ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL, 3, &lb, 0, nullptr),
       md::canvas::PenStyle::Solid, 3, md::canvas::LineCap::Square, md::canvas::LineJoin::Bevel},
      {ExtCreatePen(PS_COSMETIC | PS_DOT, 1, &lb, 0, nullptr), md::canvas::PenStyle::Dot, 1,
       md::canvas::LineCap::Round, md::canvas::LineJoin::Round},
  };
  for (const Case& c : cases) {
    ASSERT_NE(c.pen, nullptr);
    HGDIOBJ old = SelectObject(dc.hdc, c.pen);
    const POINT line[] = {{0, 0}, {10, 0}};
    Polyline(dc.hdc, line, 2);
    const Record& r = dc.last();
    EXPECT_EQ(r.pen.style, c.style);
    EXPECT_DOUBLE_EQ(r.pen.width, c.width);
    EXPECT_EQ(r.pen.cap, c.cap);
    EXPECT_EQ(r.pen.join, c.join);
    SelectObject(dc.hdc, old);
    EXPECT_TRUE(DeleteObject(c.pen));
  }
  // Cosmetic pens wider than one pixel and custom dash tables are refused.
  EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_SOLID, 3, &lb, 0, nullptr), nullptr);
  const DWORD dashes[] = {3, 1};
  EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_SOLID, 3, &lb, 2, dashes), nullptr);
  EXPECT_EQ(CreatePen(42, 1, 0), nullptr);
  // GetObject gives back what was asked for.
  Owned pen(CreatePen(PS_DASHDOT, 1, RGB(1, 2, 3)));
  LOGPEN lp;
  EXPECT_EQ(GetObject(pen.obj, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DASHDOT));
  EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
  EXPECT_EQ(GetObject(pen.obj, 2, &lp), 0);
  EXPECT_EQ(GetObjectType(pen.obj), OBJ_PEN);
  // A pen made from the record GetObject gave draws like the original.
  lp.lopnWidth.x = 5;
  Owned again(CreatePenIndirect(&lp));
  ASSERT_NE(again.obj, nullptr);
  HGDIOBJ old = SelectObject(dc.hdc, again.obj);
  const POINT line[] = {{0, 0}, {10, 0}};
  Polyline(dc.hdc, line, 2);
  SelectObject(dc.hdc, old);
  EXPECT_EQ(dc.last().pen.style, md::canvas::PenStyle::Solid);  // wide: dashes drawn solid
  EXPECT_DOUBLE_EQ(dc.last().pen.width, 5);
  LOGPEN back;
  ASSERT_EQ(GetObject(again.obj, sizeof back, &back), static_cast<int>(sizeof back));
  EXPECT_EQ(back.lopnStyle, static_cast<UINT>(PS_DASHDOT));
  EXPECT_EQ(back.lopnWidth.x, 5);
  EXPECT_EQ(back.lopnColor, RGB(1, 2, 3));
  EXPECT_EQ(CreatePenIndirect(nullptr), nullptr);
}

TEST(Draw, BrushesAndNullObjects) {
  RecordingDC dc;
  for (int hs = HS_HORIZONTAL; hs <= HS_DIAGCROSS; ++hs) {
    Owned brush(CreateHatchBrush(hs, RGB(200, 0, 0)));
    HGDIOBJ old = SelectObject(dc.hdc, brush.obj);
    SetBkColor(dc.hdc, RGB(0, 0, 50));
    Ellipse(dc.hdc, 0, 0, 20, 20);
    EXPECT_EQ(dc.last().brush.style, md::canvas::BrushStyle::Hatched);
    EXPECT_EQ(static_cast<int>(dc.last().brush.hatch), hs);
    EXPECT_EQ(dc.last().state.background, RGB(0, 0, 50));
    SelectObject(dc.hdc, old);
  }
  EXPECT_EQ(CreateHatchBrush(6, 0), nullptr);
  LOGBRUSH lb{BS_HATCHED, RGB(1, 1, 1), HS_BDIAGONAL};
  Owned indirect(CreateBrushIndirect(&lb));
  LOGBRUSH back;
  GetObject(indirect.obj, sizeof back, &back);
  EXPECT_EQ(back.lbHatch, static_cast<ULONG_PTR>(HS_BDIAGONAL));

  // Nothing to paint with: nothing recorded.
  const std::size_t before = dc.canvas.records().size();
  SelectObject(dc.hdc, GetStockObject(NULL_PEN));
  SelectObject(dc.hdc, GetStockObject(NULL_BRUSH));
  Rectangle(dc.hdc, 0, 0, 10, 10);
  EXPECT_EQ(dc.canvas.records().size(), before);
  // A null brush still lets the outline through, unfilled.
  SelectObject(dc.hdc, GetStockObject(BLACK_PEN));
  Rectangle(dc.hdc, 0, 0, 10, 10);
  EXPECT_TRUE(dc.last().shape.stroke);
  EXPECT_FALSE(dc.last().shape.fill);
}

TEST(Draw, AnObjectLookedUpJustBeforeItIsDeletedIsGone) {
  RecordingDC dc;
  const struct {
    const char* name;
    HGDIOBJ (*make)();
    DWORD type;
  } cases[] = {
      {"pen", [] { return static_cast<HGDIOBJ>(CreatePen(PS_SOLID, 1, 0)); }, OBJ_PEN},
      {"brush", [] { return static_cast<HGDIOBJ>(CreateSolidBrush(RGB(1, 2, 3))); }, OBJ_BRUSH},
      {"region", [] { return static_cast<HGDIOBJ>(CreateRectRgn(0, 0, 4, 4)); }, OBJ_REGION},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HGDIOBJ obj = c.make();
    ASSERT_EQ(GetObjectType(obj), c.type);
    ASSERT_EQ(GetObjectType(obj), c.type);  // found again, as drawing calls find their context
    ASSERT_TRUE(DeleteObject(obj));
    EXPECT_EQ(GetObjectType(obj), 0u);
    EXPECT_FALSE(DeleteObject(obj));
  }
  // The same for a device context, drawn through just before.
  HDC other = md::win::CreateScreenDC(&dc.canvas, 96, &md::text::FixedMetricsEngine());
  const POINT line[] = {{0, 0}, {10, 0}};
  ASSERT_TRUE(Polyline(other, line, 2));
  ASSERT_TRUE(DeleteDC(other));
  EXPECT_EQ(GetObjectType(other), 0u);
  EXPECT_FALSE(Polyline(other, line, 2));
}

TEST(Draw, ALookupRememberedIsDroppedWhenAnotherThreadDeletesTheObject) {
  // One object, and several looked up in turn as drawing alternates context,
  // pens and brushes; every other one is deleted on another thread.
  for (const int count : {1, 2, 12, 500}) {  // 500: past the table's first size
    SCOPED_TRACE(count);
    std::vector<HGDIOBJ> objects;
    for (int i = 0; i < count; ++i) objects.push_back(CreatePen(PS_SOLID, 1, RGB(i, 0, 0)));
    for (HGDIOBJ o : objects) ASSERT_EQ(GetObjectType(o), static_cast<DWORD>(OBJ_PEN));
    std::thread([&] {
      for (std::size_t i = 0; i < objects.size(); i += 2) DeleteObject(objects[i]);
    }).join();
    for (std::size_t i = 0; i < objects.size(); ++i)
      EXPECT_EQ(GetObjectType(objects[i]), i % 2 == 0 ? 0u : static_cast<DWORD>(OBJ_PEN)) << i;
    for (std::size_t i = 1; i < objects.size(); i += 2) DeleteObject(objects[i]);
  }
}

TEST(Draw, ThreadsDrawingAtOnceEachFindTheirOwnObjects) {
  const std::size_t before = md::win::LiveObjectCount();
  std::vector<std::thread> threads;
  std::vector<int> drawn(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &drawn] {
      RecordingDC dc;
      const POINT line[] = {{0, 0}, {10, t}};
      for (int i = 0; i < 300; ++i) {
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(t, i % 256, 0));
        HGDIOBJ old = SelectObject(dc.hdc, pen);
        if (Polyline(dc.hdc, line, 2) && dc.last().pen.color == RGB(t, i % 256, 0)) ++drawn[t];
        SelectObject(dc.hdc, old);
        DeleteObject(pen);
      }
    });
  }
  for (std::thread& th : threads) th.join();
  EXPECT_EQ(drawn, std::vector<int>(4, 300));
  EXPECT_EQ(md::win::LiveObjectCount(), before);
}

TEST(Draw, CurvesLieOnTheirEllipses) {
  RecordingDC dc;
  // The outline runs through the pixels 10..109 and 20..69: the right and
  // bottom edges of the box are excluded.
  Ellipse(dc.hdc, 10, 20, 110, 70);
  const Record& e = dc.last();
  EXPECT_EQ(e.shape.kind, ShapeKind::Ellipse);
  EXPECT_EQ(e.shape.bounds, (md::canvas::Rect{10, 20, 110, 70}));
  EXPECT_GE(e.Points().size(), 16u);
  const double cx = (10 + 109) / 2.0, cy = (20 + 69) / 2.0, rx = (109 - 10) / 2.0, ry = (69 - 20) / 2.0;
  for (const Point& p : e.Points()) {
    const double u = (p.x - cx) / rx, v = (p.y - cy) / ry;
    EXPECT_NEAR(u * u + v * v, 1.0, 1e-9);
  }
  // A quarter pie from east to north, counter-clockwise on the screen:
  // every arc point lies in the upper-right quarter.
  Pie(dc.hdc, 0, 0, 101, 101, 100, 50, 50, 0);  // outline through pixels 0..100
  const Record& pie = dc.last();
  EXPECT_EQ(pie.shape.kind, ShapeKind::Pie);
  EXPECT_TRUE(pie.shape.paths[0].closed);
  const auto pts = pie.Points();
  EXPECT_EQ(pts.back(), (Point{50, 50}));  // the centre closes the wedge
  for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
    EXPECT_GE(pts[i].x, 50 - 1e-9);
    EXPECT_LE(pts[i].y, 50 + 1e-9);
  }
  // Clockwise from east to north takes the other three quarters.
  SetArcDirection(dc.hdc, AD_CLOCKWISE);
  Arc(dc.hdc, 0, 0, 101, 101, 100, 50, 50, 0);
  bool passedLowerLeft = false;
  for (const Point& p : dc.last().Points()) passedLowerLeft |= p.x < 40 && p.y > 60;
  EXPECT_TRUE(passedLowerLeft);
  EXPECT_FALSE(dc.last().shape.fill);
  // Round rectangles stay inside their box.
  RoundRect(dc.hdc, 0, 0, 80, 40, 20, 10);
  for (const Point& p : dc.last().Points()) {
    EXPECT_GE(p.x, -1e-9);
    EXPECT_LE(p.x, 80 + 1e-9);
    EXPECT_LE(p.y, 40 + 1e-9);
  }
}

TEST(Draw, RectangleFillsFramesAndPixels) {
  RecordingDC dc;
  const RECT rc{40, 30, 10, 5};  // corners in either order
  EXPECT_TRUE(FillRect(dc.hdc, &rc, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH))));
  EXPECT_EQ(dc.last().type, Record::Type::Rects);
  EXPECT_EQ(dc.last().rects, (std::vector<md::canvas::Rect>{{10, 5, 40, 30}}));
  EXPECT_EQ(dc.last().brush.color, 0x808080u);
  // System colour indices work as brushes (COLOR_WINDOW + 1 is white).
  EXPECT_TRUE(FillRect(dc.hdc, &rc, reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(5 + 1))));
  EXPECT_EQ(dc.last().brush.color, 0xFFFFFFu);
  EXPECT_FALSE(FillRect(dc.hdc, &rc, reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(0x12345))));

  FrameRect(dc.hdc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  const Record& f = dc.last();
  EXPECT_EQ(f.shape.kind, ShapeKind::FrameRect);
  ASSERT_EQ(f.shape.paths.size(), 2u);  // outer edge and inner hole, one pixel apart
  EXPECT_EQ(f.shape.paths[1].points[0], (Point{11, 6}));

  Owned rgn(CreateRectRgn(0, 0, 20, 20));
  Owned inner(CreateRectRgn(5, 5, 15, 15));
  CombineRgn(static_cast<HRGN>(rgn.obj), static_cast<HRGN>(rgn.obj), static_cast<HRGN>(inner.obj), RGN_DIFF);
  EXPECT_TRUE(FillRgn(dc.hdc, static_cast<HRGN>(rgn.obj), static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
  EXPECT_EQ(dc.last().rects, md::test::RectsOf(static_cast<HRGN>(rgn.obj)));
  // A two-pixel frame of a ring region leaves only its middle band unpainted.
  EXPECT_TRUE(
      FrameRgn(dc.hdc, static_cast<HRGN>(rgn.obj), static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), 2, 2));
  Owned painted(CreateRectRgn(0, 0, 0, 0));
  for (const auto& r : dc.last().rects) {
    Owned cell(CreateRectRgn(r.left, r.top, r.right, r.bottom));
    CombineRgn(static_cast<HRGN>(painted.obj), static_cast<HRGN>(painted.obj), static_cast<HRGN>(cell.obj),
               RGN_OR);
  }
  auto ring = [](int x, int y) {
    return x >= 0 && x < 20 && y >= 0 && y < 20 && !(x >= 5 && x < 15 && y >= 5 && y < 15);
  };
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      // Painted: ring pixels with a pixel outside the ring within two steps
      // left, right, up or down.
      const bool want =
          ring(x, y) && (!ring(x - 2, y) || !ring(x + 2, y) || !ring(x, y - 2) || !ring(x, y + 2));
      EXPECT_EQ(PtInRegion(static_cast<HRGN>(painted.obj), x, y) != FALSE, want) << x << "," << y;
    }
  }
  EXPECT_EQ(SetPixel(dc.hdc, 3, 4, RGB(9, 8, 7)), RGB(9, 8, 7));
  EXPECT_EQ(dc.last().rects, (std::vector<md::canvas::Rect>{{3, 4, 4, 5}}));
  EXPECT_EQ(GetPixel(dc.hdc, 3, 4), CLR_INVALID);  // a recording keeps no pixels
}

TEST(Draw, InsideFramePensStayWithinTheBox) {
  RecordingDC dc;
  Owned inside(CreatePen(PS_INSIDEFRAME, 5, 0));
  SelectObject(dc.hdc, inside.obj);
  Rectangle(dc.hdc, 0, 0, 41, 21);
  // A five-pixel pen centred two pixels in keeps its outer edge on the box.
  EXPECT_EQ(dc.last().Points(), (std::vector<Point>{{2, 2}, {38, 2}, {38, 18}, {2, 18}}));
  Owned centred(CreatePen(PS_SOLID, 5, 0));
  SelectObject(dc.hdc, centred.obj);
  Rectangle(dc.hdc, 0, 0, 41, 21);
  EXPECT_EQ(dc.last().Points(), (std::vector<Point>{{0, 0}, {40, 0}, {40, 20}, {0, 20}}));
  SelectObject(dc.hdc, GetStockObject(BLACK_PEN));
  // A box too small for the pen collapses onto its middle.
  SelectObject(dc.hdc, inside.obj);
  Ellipse(dc.hdc, 0, 0, 3, 3);
  for (const Point& p : dc.last().Points()) EXPECT_EQ(p, (Point{1, 1}));
  SelectObject(dc.hdc, GetStockObject(BLACK_PEN));
}

TEST(Draw, BadArgumentsDrawNothing) {
  RecordingDC dc;
  const POINT one[] = {{0, 0}};
  EXPECT_FALSE(Polyline(dc.hdc, one, 1));
  EXPECT_FALSE(Polygon(dc.hdc, nullptr, 3));
  const INT bad[] = {3, 1};
  const POINT four[] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  EXPECT_FALSE(PolyPolygon(dc.hdc, four, bad, 2));
  EXPECT_FALSE(LineTo(nullptr, 1, 1));
  EXPECT_FALSE(Rectangle(reinterpret_cast<HDC>(0x1234), 0, 0, 1, 1));
  EXPECT_EQ(FillRect(dc.hdc, nullptr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
  EXPECT_TRUE(dc.canvas.records().empty());
}

}  // namespace
