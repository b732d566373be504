// Moving and resizing the plain shapes: the keep-ratio rule with its
// rounding, scaling about a point, moving the left-bottom corner, point lists
// of polygons and polylines, and the commit flag of every change.
#include <climits>

#include "layout/graphicelement/shapes/cgis_ellipseelement.h"
#include "layout/graphicelement/shapes/cgis_pointelement.h"
#include "layout/graphicelement/shapes/cgis_polygonelement.h"
#include "layout/graphicelement/shapes/cgis_polylineelement.h"
#include "layout/graphicelement/shapes/cgis_rectelement.h"
#include "tests/layout/graphicelement/shapes/shapetest.h"

namespace {

using md::test::Commits;
using md::test::LogMark;
using md::test::PointsOf;
using md::test::SetPoints;
using md::test::ShapeTest;
using Points = std::vector<SGIS_Point>;

const char* const kRect = GIS_TYPE_GRAPHIC_ELEMENT_RECT;
const char* const kEllipse = GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE;

TEST_F(ShapeTest, ResizingKeepsTheLeftBottomCornerAndFollowsTheKeepRatioRule) {
  struct Row {
    const char* type;
    SGIS_Rect start;  // (left, top, right, bottom)
    bool keep;
    int w, h, expectW, expectH;
  } rows[] = {
      {kRect, {10, 120, 110, 20}, true, 300, 200, 200, 200},   // sx 3, sy 2: the smaller
      {kRect, {10, 120, 110, 20}, true, 50, 80, 80, 80},       // both below 1: the larger
      {kRect, {10, 120, 110, 20}, false, 300, 200, 300, 200},  // as asked
      {kRect, {0, 5, 2, 0}, true, 3, 100, 3, 8},               // 5 x 1.5 = 7.5 rounds up
      {kRect, {-7, -3, -5, -8}, true, 3, 100, 3, 8},           // the same below the origin
      {kRect, {0, 7, 3, 0}, true, 2, 1, 2, 5},                 // s = 2/3: 7 x 2/3 = 4.67
      {kRect, {0, 5, 2, 0}, true, 1, 1, 1, 3},                 // s = 0.5: 2.5 goes up to 3, not to the even 2
      {kRect, {0, 5, 2, 0}, true, 9, 25, 9, 23},               // s = 4.5 (sy 5): 22.5 goes to 23
      {kRect, {10, 120, 110, 20}, true, 100, 100, 100, 100},   // unchanged: no commit
      {kEllipse, {10, 120, 110, 20}, true, 50, 80, 80, 80},
      {kEllipse, {10, 20, 110, 20}, true, 300, 200, 200, 200},  // no height: a circle of the smaller
      {kEllipse, {10, 20, 110, 20}, false, 300, 200, 300, 200},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.type) + " to " + std::to_string(row.w) + " x " + std::to_string(row.h));
    IGIS_Element* e = Keep(set_->CreateElement(row.type));
    IGIS_Geometry* g = e->GetFeaturePtr()->GetGeometry();
    row.type == kEllipse ? g->SetEllipse(row.start, 0) : g->SetRect(row.start, 0);
    e->SetHVScaleRatio(row.keep);
    TakeCommits();
    e->SetWidthAndHeight(row.w, row.h);
    e->SetWidthAndHeight(0, 50);  // refused
    e->SetWidthAndHeight(50, -1);
    SGIS_Rect s = row.start;
    s.Normalize();
    EXPECT_EQ(e->GetRect(), SGIS_Rect(s.left, s.bottom + row.expectH, s.left + row.expectW, s.bottom));
    const bool changed = row.expectW != s.Width() || row.expectH != s.Height();
    EXPECT_EQ(TakeCommits(), (changed ? Commits{{e->GetID(), 64}} : Commits{}));
  }
  // The point takes its symbol's aspect, covering the asked box.
  auto* p = Make<CGIS_PointElement>(GIS_TYPE_GRAPHIC_ELEMENT_POINT);
  p->SetWidthAndHeight(200, 50);  // the 8 x 8 marker: f = 25
  EXPECT_EQ(p->GetRect(), SGIS_Rect(0, 200, 200, 0));
  p->SetSymbolPtr(NewSymbol(6, 3302, 0));  // 12 x 30: the height stays
  EXPECT_EQ(p->GetRect(), SGIS_Rect(0, 200, 80, 0));
  p->SetWidthAndHeight(400, 100);
  EXPECT_EQ(p->GetRect(), SGIS_Rect(0, 1000, 400, 0));
}

TEST_F(ShapeTest, ScalingABoxMovesItsCornerWithBothFactorsAndSizesItWithTheKeptOnes) {
  struct Row {
    const char* type;
    bool keep;
    SGIS_Point origin;
    double sx, sy;
    SGIS_Rect expect;
  } rows[] = {
      {kRect, false, {0, 0, 0}, 2.0, 3.0, {20, 60, 40, 30}},
      {kRect, true, {0, 0, 0}, 2.0, 3.0, {20, 50, 40, 30}},
      {kRect, false, {13, 0, 0}, 0.5, 1.0, {12, 20, 17, 10}},   // 11.5 -> 12
      {kRect, false, {0, 13, 0}, 1.0, -1.0, {10, 20, 20, 10}},  // refused
      {kRect, false, {15, 15, 0}, 0.5, 0.5, {13, 18, 18, 13}},  // 12.5 -> 13, then 13 + 10 x 0.5 = 18
      {kRect, false, {0, 0, 0}, 0.25, 0.25, {3, 6, 6, 3}},      // 2.5 -> 3, then 3 + 2.5 = 5.5 -> 6
      {kEllipse, true, {0, 0, 0}, 2.0, 3.0, {20, 50, 40, 30}},
      {GIS_TYPE_GRAPHIC_ELEMENT_POINT, false, {0, 0, 0}, 2.0, 4.0, {20, 60, 40, 40}},  // one factor
      {GIS_TYPE_GRAPHIC_ELEMENT_POINT, false, {0, 0, 0}, 0.0, 4.0, {10, 20, 20, 10}},  // refused
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.type) + " by " + std::to_string(row.sx) + ", " + std::to_string(row.sy));
    IGIS_Element* e = Keep(set_->CreateElement(row.type));
    IGIS_Geometry* g = e->GetFeaturePtr()->GetGeometry();
    row.type == kEllipse ? g->SetEllipse(SGIS_Rect(10, 20, 20, 10), 0)
                         : g->SetRect(SGIS_Rect(10, 20, 20, 10), 0);
    e->SetHVScaleRatio(row.keep);
    TakeCommits();
    e->ScaleShape(row.origin, row.sx, row.sy);
    EXPECT_EQ(e->GetRect(), row.expect);
    const bool moved = row.sx > 0 && row.sy > 0;
    EXPECT_EQ(TakeCommits(), (moved ? Commits{{e->GetID(), 64}} : Commits{}));
  }
  // Halves go away from zero below the origin too.
  auto* r = Make<CGIS_RectElement>(kRect);
  r->SetRect(SGIS_Rect(-3, 5, 1, -3));
  r->ScaleShape(SGIS_Point(0, 0, 0), 0.5, 0.5);
  EXPECT_EQ(r->GetRect(), SGIS_Rect(-2, 2, 0, -2));  // -1.5 -> -2, then -2 + 4 x 0.5
  r->SetRect(SGIS_Rect(-5, 5, -1, -5));
  r->ScaleShape(SGIS_Point(0, 0, 0), 0.5, 0.5);
  EXPECT_EQ(r->GetRect(), SGIS_Rect(-3, 2, -1, -3));  // -2.5 -> -3 (not the even -2), then -3 + 5
}

TEST_F(ShapeTest, MovingTheLeftBottomCornerMovesEveryShapeExactly) {
  auto* ellipse = Make<CGIS_EllipseElement>(kEllipse);
  ellipse->SetRect(SGIS_Rect(100, 400, 300, 200));
  TakeCommits();
  ellipse->SetLBpoint(SGIS_Point(500, 700, 0));
  EXPECT_EQ(ellipse->GetRect(), SGIS_Rect(500, 900, 700, 700));
  EXPECT_EQ(TakeCommits(), (Commits{{ellipse->GetID(), 64}}));

  auto* point = Make<CGIS_PointElement>(GIS_TYPE_GRAPHIC_ELEMENT_POINT);
  point->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(0, 41, 41, 0), 0);
  EXPECT_TRUE(point->SetPoint(SGIS_Point(100, 100, 0)));  // the centre is taken as (20, 20)
  EXPECT_EQ(point->GetRect(), SGIS_Rect(80, 121, 121, 80));
  EXPECT_EQ(point->GetPoint(), SGIS_Point(80, 80, 0));

  auto* line = Make<CGIS_PolylineElement>(GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE);
  SetPoints(line, {{30, 40, 7}, {10, 90, 0}, {60, 50, 0}});
  TakeCommits();
  line->SetLBpoint(SGIS_Point(-5, -5, 0));
  EXPECT_EQ(PointsOf(line), (Points{{15, -5, 7}, {-5, 45, 0}, {45, 5, 0}}));
  EXPECT_EQ(TakeCommits(), (Commits{{line->GetID(), 64}}));

  // Moves towards the ends of the coordinate range stop there instead of wrapping.
  auto* far = Make<CGIS_RectElement>(kRect);
  far->SetRect(SGIS_Rect(-10, 10, 10, -10));
  far->OffsetAllPoints(INT_MAX, INT_MIN);
  EXPECT_EQ(far->GetRect(), SGIS_Rect(INT_MAX - 10, INT_MIN + 10, INT_MAX, INT_MIN));
  line->SetLBpoint(SGIS_Point(INT_MIN, INT_MAX, 0));
  EXPECT_EQ(line->GetRect(), SGIS_Rect(INT_MIN, INT_MAX, INT_MIN + 50, INT_MAX - 5));  // dy held at INT_MAX
}

TEST_F(ShapeTest, PolygonRingsStayClosedAndShortRingsAreLeftAlone) {
  auto* polygon = Make<CGIS_PolygonElement>(GIS_TYPE_GRAPHIC_ELEMENT_POLYGON);
  SetPoints(polygon, {{0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {0, 100, 0}, {0, 0, 0}});
  polygon->OffsetAllPoints(10, 20);
  EXPECT_EQ(PointsOf(polygon), (Points{{10, 20, 0}, {110, 20, 0}, {110, 120, 0}, {10, 120, 0}, {10, 20, 0}}));
  // Twice as wide about its left-bottom corner; with the ratio kept the
  // factor is 1 (one factor is at least 1) and nothing moves.
  TakeCommits();
  polygon->SetWidthAndHeight(200, 100);
  EXPECT_EQ(polygon->GetRect(), SGIS_Rect(10, 120, 210, 20));
  EXPECT_EQ(TakeCommits(), (Commits{{polygon->GetID(), 64}}));
  polygon->SetHVScaleRatio(true);
  polygon->SetWidthAndHeight(400, 100);
  EXPECT_EQ(polygon->GetRect(), SGIS_Rect(10, 120, 210, 20));
  polygon->ScaleShape(SGIS_Point(0, 0, 0), 0.5, 0.5);
  EXPECT_EQ(polygon->GetRect(), SGIS_Rect(5, 60, 105, 10));
  EXPECT_EQ(PointsOf(polygon).back(), PointsOf(polygon).front());

  // A ring given without its closing point moves whole.
  SetPoints(polygon, {{0, 0, 0}, {100, 0, 0}, {50, 80, 0}});
  polygon->OffsetAllPoints(5, 5);
  EXPECT_EQ(PointsOf(polygon), (Points{{5, 5, 0}, {105, 5, 0}, {55, 85, 0}}));
  // Two points are no ring to resize.
  SetPoints(polygon, {{0, 0, 0}, {100, 50, 0}});
  TakeCommits();
  polygon->SetLBpoint(SGIS_Point(500, 500, 0));
  polygon->SetWidthAndHeight(10, 10);
  polygon->ScaleShape(SGIS_Point(0, 0, 0), 2.0, 2.0);
  EXPECT_EQ(PointsOf(polygon), (Points{{0, 0, 0}, {100, 50, 0}}));
  EXPECT_TRUE(TakeCommits().empty());
}

TEST_F(ShapeTest, PolylinesScaleVertexByVertexAndToleratePointsOnALine) {
  auto* line = Make<CGIS_PolylineElement>(GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE);
  SetPoints(line, {{10, 10, 0}, {20, 20, 0}});
  line->ScaleShape(SGIS_Point(0, 0, 0), 2.0, 3.0);
  EXPECT_EQ(PointsOf(line), (Points{{20, 30, 0}, {40, 60, 0}}));
  SetPoints(line, {{10, 10, 0}, {20, 20, 0}});
  line->SetHVScaleRatio(true);
  line->ScaleShape(SGIS_Point(0, 0, 0), 2.0, 3.0);
  EXPECT_EQ(PointsOf(line), (Points{{20, 30, 0}, {40, 50, 0}}));

  // Width 0 lines the vertices up on the left edge; a negative size is refused.
  line->SetHVScaleRatio(false);
  SetPoints(line, {{0, 0, 0}, {100, 40, 0}, {50, 80, 0}});
  line->SetWidthAndHeight(-1, 40);
  line->SetWidthAndHeight(0, 80);
  EXPECT_EQ(PointsOf(line), (Points{{0, 0, 0}, {0, 40, 0}, {0, 80, 0}}));

  // A horizontal line with the ratio kept can be shortened, not lengthened.
  line->SetHVScaleRatio(true);
  SetPoints(line, {{0, 0, 0}, {100, 0, 0}});
  line->SetWidthAndHeight(50, 0);
  line->SetWidthAndHeight(100, 0);
  line->SetRect(SGIS_Rect(0, 0, 500, 0));  // no height: refused
  EXPECT_EQ(PointsOf(line), (Points{{0, 0, 0}, {50, 0, 0}}));

  // One vertex: nothing moves.
  SetPoints(line, {{5, 5, 0}});
  TakeCommits();
  line->OffsetAllPoints(10, 10);
  line->SetWidthAndHeight(10, 10);
  line->ScaleShape(SGIS_Point(0, 0, 0), 2.0, 2.0);
  EXPECT_EQ(PointsOf(line), (Points{{5, 5, 0}}));
  EXPECT_TRUE(TakeCommits().empty());
}

TEST_F(ShapeTest, ScalingVerticesAboutAPointMovesEachOneExactly) {
  const char* const kPolygon = GIS_TYPE_GRAPHIC_ELEMENT_POLYGON;
  const char* const kPolyline = GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE;
  // The corner of the bound (110, 60) goes about (100, 50) with the factors
  // as given; each vertex follows it from that corner, with the smaller
  // factor for both when the ratio is kept.
  const Points start = {{110, 60, 3}, {150, 100, 0}, {130, 160, 0}};
  struct Row {
    double sx, sy;
    bool keep;
    Points expect;  // empty: refused, nothing moves or commits
  } rows[] = {
      {1.5, 0.5, false, {{115, 55, 3}, {175, 75, 0}, {145, 105, 0}}},
      {1.5, 0.5, true, {{115, 55, 3}, {135, 75, 0}, {125, 105, 0}}},
      {0.25, 0.25, false, {{103, 53, 3}, {113, 63, 0}, {108, 78, 0}}},  // 2.5 -> 3 for the corner
      {-1.0, 2.0, false, {}},
  };
  for (const char* type : {kPolygon, kPolyline}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(type) + " by " + std::to_string(row.sx) + ", " + std::to_string(row.sy));
      IGIS_Element* e = Keep(set_->CreateElement(type));
      Points ring = start;
      if (type == kPolygon) ring.push_back(ring.front());
      SetPoints(e, ring);
      e->SetHVScaleRatio(row.keep);
      TakeCommits();
      e->ScaleShape(SGIS_Point(100, 50, 0), row.sx, row.sy);
      Points expect = row.expect.empty() ? start : row.expect;
      if (type == kPolygon) expect.push_back(expect.front());
      EXPECT_EQ(PointsOf(e), expect);
      EXPECT_EQ(TakeCommits(), (row.expect.empty() ? Commits{} : Commits{{e->GetID(), 64}}));
    }
  }
  // A factor of 0 flattens a polyline onto the origin's line; a polygon refuses it.
  auto* line = Make<CGIS_PolylineElement>(kPolyline);
  SetPoints(line, start);
  line->ScaleShape(SGIS_Point(100, 50, 0), 0.0, 1.0);
  EXPECT_EQ(PointsOf(line), (Points{{100, 60, 3}, {100, 100, 0}, {100, 160, 0}}));
  auto* polygon = Make<CGIS_PolygonElement>(kPolygon);
  SetPoints(polygon, {{110, 60, 0}, {150, 100, 0}, {130, 160, 0}, {110, 60, 0}});
  TakeCommits();
  polygon->ScaleShape(SGIS_Point(100, 50, 0), 0.0, 1.0);
  EXPECT_TRUE(TakeCommits().empty());
  // Moving the left-bottom corner of a ring moves every vertex and commits once.
  polygon->SetLBpoint(SGIS_Point(-10, 20, 0));
  EXPECT_EQ(PointsOf(polygon), (Points{{-10, 20, 0}, {30, 60, 0}, {10, 120, 0}, {-10, 20, 0}}));
  EXPECT_EQ(TakeCommits(), (Commits{{polygon->GetID(), 64}}));
}

TEST_F(ShapeTest, SymbolChangesCommitWithEachShapesFlag) {
  struct Row {
    const char* type;
    int symbolType, code, flag;
  } rows[] = {{kRect, 12, 3363, 127},
              {kEllipse, 12, 3363, 8},
              {GIS_TYPE_GRAPHIC_ELEMENT_POLYGON, 12, 3363, 8},
              {GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE, 9, 3333, 8},
              {GIS_TYPE_GRAPHIC_ELEMENT_POINT, 6, 3307, 72}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.type);
    IGIS_Element* e = Keep(set_->CreateElement(row.type));
    IGIS_Symbol* s = NewSymbol(row.symbolType, row.code, RGB(0, 128, 0));
    TakeCommits();
    if (auto* r = dynamic_cast<CGIS_RectElement*>(e)) r->SetSymbolPtr(s);
    if (auto* r = dynamic_cast<CGIS_EllipseElement*>(e)) r->SetSymbolPtr(s);
    if (auto* r = dynamic_cast<CGIS_PolygonElement*>(e)) r->SetSymbolPtr(s);
    if (auto* r = dynamic_cast<CGIS_PolylineElement*>(e)) r->SetSymbolPtr(s);
    if (auto* r = dynamic_cast<CGIS_PointElement*>(e)) r->SetSymbolPtr(s);
    IGIS_Symbol* held = e->GetFeaturePtr()->GetSymbol();
    ASSERT_NE(held, nullptr);
    EXPECT_NE(held, s);  // a copy; the caller keeps its own
    EXPECT_EQ(held->GetStyleCode(), row.code);
    EXPECT_EQ(held->GetColor(), static_cast<COLORREF>(RGB(0, 128, 0)));
    EXPECT_EQ(TakeCommits(), (Commits{{e->GetID(), row.flag}}));
  }
  // The ellipse's own symbol handed back changes and commits nothing.
  auto* ellipse = Make<CGIS_EllipseElement>(kEllipse);
  TakeCommits();
  IGIS_Symbol* held = ellipse->GetSymbolPtr();
  ellipse->SetSymbolPtr(held);
  EXPECT_EQ(ellipse->GetSymbolPtr(), held);
  EXPECT_TRUE(TakeCommits().empty());
  // NULL clears it once; NULL again to an ellipse without a symbol is no change.
  ellipse->SetSymbolPtr(nullptr);
  EXPECT_EQ(ellipse->GetSymbolPtr(), nullptr);
  EXPECT_EQ(TakeCommits(), (Commits{{ellipse->GetID(), 8}}));
  ellipse->SetSymbolPtr(nullptr);
  EXPECT_TRUE(TakeCommits().empty());
  // NULL: the rectangle drops its symbol and cannot draw; the point keeps its own.
  auto* rect = Make<CGIS_RectElement>(kRect);
  LogMark log;
  rect->SetSymbolPtr(nullptr);
  EXPECT_TRUE(log.Has(4, "CGIS_RectElement::SetSymbolPtr", "pSymbol == NULL"));
  auto screen = md::test::Page::Screen(1.0, 0.0, 0.0);
  EXPECT_FALSE(rect->OnDraw(screen->hdc, false, screen->display));
  EXPECT_TRUE(log.Has(3, "CGIS_RectElement::OnDraw", "p_symbol == NULL"));
  auto* point = Make<CGIS_PointElement>(GIS_TYPE_GRAPHIC_ELEMENT_POINT);
  IGIS_Symbol* before = point->GetSymbolPtr();
  point->SetSymbolPtr(nullptr);
  EXPECT_TRUE(log.Has(3, "CGIS_PointElement::SetSymbolPtr", "pSymbol == NULL"));
  EXPECT_EQ(point->GetSymbolPtr(), before);
}

}  // namespace
