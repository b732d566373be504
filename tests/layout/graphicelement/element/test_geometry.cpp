// Rotations, rectangle tests and the classification tables of the shared
// element helpers.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "layout/graphicelement/element/mapdeckgeometry.h"
#include "layout/graphicelement/element/mapdecktables.h"

namespace {

SGIS_DRect DRect(double x1, double x2, double y1, double y2) {
  SGIS_DRect r;
  r.x1 = x1;
  r.x2 = x2;
  r.y1 = y1;
  r.y2 = y2;
  return r;
}

struct RotateRow {
  double cx, cy, px, py, angle, ex, ey;
};

TEST(ElementGeometry, RotatePointTurnsClockwiseInYUpCoordinates) {
  const RotateRow rows[] = {
      {0, 0, 1, 0, 90, 0, -1},  // a quarter turn sends +x to -y
      {0, 0, 1, 0, 0, 1, 0},    // no turn
      {0, 0, 0, 1, 90, 1, 0},   // +y to +x
      {5, 5, 6, 5, 180, 4, 5},  // half turn about an off-origin centre
      {5, 5, 6, 5, -90, 5, 6},  // negative angles turn the other way
      {1, 1, 0, 0, 45, 1 - std::sqrt(2.0), 1},
  };
  for (const RotateRow& r : rows) {
    double x = 0, y = 0;
    RotatePoint(r.cx, r.cy, r.px, r.py, &x, &y, r.angle);
    EXPECT_NEAR(x, r.ex, 1e-9) << r.px << "," << r.py << " by " << r.angle;
    EXPECT_NEAR(y, r.ey, 1e-9) << r.px << "," << r.py << " by " << r.angle;
  }
  // A missing output pointer is skipped, not written through.
  double y = 0;
  RotatePoint(0, 0, 1, 0, nullptr, &y, 90);
  EXPECT_NEAR(y, -1, 1e-9);
}

struct BoundRow {
  SGIS_DRect in;
  double angle;
  SGIS_DRect expected;
};

TEST(ElementGeometry, RotatedRectBoundHoldsTurnedCornersAndTheRectangle) {
  const double d = std::sqrt(2.0) - 1.0;  // 0.414...
  const BoundRow rows[] = {
      {DRect(0, 2, 2, 0), 0, DRect(0, 2, 2, 0)},
      {DRect(0, 2, 2, 0), 45, DRect(-d, 2 + d, 2 + d, -d)},
      {DRect(0, 4, 2, 0), 90, DRect(0, 4, 3, -1)},  // a wide box turned upright keeps its own width too
      {DRect(2, 0, 0, 2), 0, DRect(0, 2, 2, 0)},    // given unnormalised: the bound is normalised
  };
  for (const BoundRow& r : rows) {
    const SGIS_DRect out = GetRotatedRectBound(r.in, r.angle);
    EXPECT_NEAR(out.x1, r.expected.x1, 1e-9) << r.angle;
    EXPECT_NEAR(out.x2, r.expected.x2, 1e-9) << r.angle;
    EXPECT_NEAR(out.y1, r.expected.y1, 1e-9) << r.angle;
    EXPECT_NEAR(out.y2, r.expected.y2, 1e-9) << r.angle;
  }
}

// The rectangle services (rotated bounds, intersections, containment, edge
// hits), on their edge cases.
TEST(ElementGeometry, RectangleServices) {
  const SGIS_DRect a = DRect(0, 10, 10, 0);
  const SGIS_DRect overlap = IntersectDRect(a, DRect(15, 5, 5, 20));  // unnormalised
  EXPECT_EQ(overlap, DRect(5, 10, 10, 5));
  EXPECT_EQ(IntersectDRect(a, DRect(10, 20, 10, 0)), SGIS_DRect());  // touching only

  EXPECT_TRUE(IsInDRect(DRect(10, 0, 0, 10), 0, 0));
  EXPECT_TRUE(IsInDRect(DRect(10, 0, 0, 10), 10, 10));
  EXPECT_FALSE(IsInDRect(a, 10.0000001, 5));
  EXPECT_FALSE(IsInDRect(a, std::nan(""), 5));

  const SGIS_Rect r(0, 10, 10, 0);
  EXPECT_EQ(HitTestRectEdge(r, 5, 5, 0), 1);
  EXPECT_EQ(HitTestRectEdge(r, 10, 10, 0), 2);
  EXPECT_EQ(HitTestRectEdge(r, 11, 5, 0), 0);
  EXPECT_EQ(HitTestRectEdge(r, 11, 5, 1), 2);
  EXPECT_EQ(HitTestRectEdge(r, 10, 5, 1), 1);
}

TEST(ElementTables, ScaleBarTypesAreExactlyTheFiveBuiltBars) {
  const char* yes[] = {
      "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING", "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING",
      "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW", "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE",
      "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE"};
  const char* no[] = {"GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TERRA",
                      "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_TOPOGRAPHIC",
                      "GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT",
                      "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOUBLEALTERNATING",
                      "gis_type_graphic_element_scalebar_hollow",
                      "GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW ",
                      "",
                      nullptr};
  for (const char* t : yes) EXPECT_TRUE(IsScaleBarType(t)) << t;
  for (const char* t : no) EXPECT_FALSE(IsScaleBarType(t)) << (t ? t : "(null)");
}

TEST(ElementTables, LegendSymbolCategoryOverTheWholeCodeRange) {
  struct Row {
    std::vector<int> codes;
    int category;
  };
  const Row table[] = {
      {{0}, 0},
      {{20, 21, 22}, 1},
      {{5, 6, 7, 25}, 2},
      {{8, 9, 10, 23}, 3},
      {{11, 12, 13, 14, 15, 16, 17, 18}, 4},
      {{19, 24}, 19},
  };
  std::set<int> listed;
  for (const Row& row : table) {
    for (int code : row.codes) {
      EXPECT_EQ(GetLegendSymbolCategory(code), row.category) << code;
      listed.insert(code);
    }
  }
  // Every code the table does not list has no category.
  for (int code = -3; code <= 40; ++code) {
    if (listed.count(code) == 0) {
      EXPECT_EQ(GetLegendSymbolCategory(code), -1) << code;
    }
  }
  EXPECT_EQ(GetLegendSymbolCategory(-2147483647 - 1), -1);
  EXPECT_EQ(GetLegendSymbolCategory(2147483647), -1);
}

}  // namespace
