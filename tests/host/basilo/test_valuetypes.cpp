#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <limits>

#include "host/basilo/sgis_types.h"

namespace {

struct RoundCase {
  double x, y, z;
  SGIS_Point expected;
};

TEST(ValueTypes, FromDoublesRoundsHalfAwayFromZero) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const RoundCase cases[] = {
      {1.5, -1.5, 0.4, {2, -2, 0}},
      {2.5, -2.5, -0.4, {3, -3, 0}},
      {0.49, -0.49, 0.5, {0, 0, 1}},
      {-0.5, 99.9999, -99.5, {-1, 100, -100}},
      {1e12, -1e12, nan, {2147483647, -2147483647 - 1, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SGIS_Point::FromDoubles(c.x, c.y, c.z), c.expected) << c.x << " " << c.y << " " << c.z;
  }
}

TEST(ValueTypes, RectIsBuiltFromLeftTopRightBottomAndStoredLeftRightTopBottom) {
  SGIS_Rect r(0, 100, 100, 0);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, 100);
  EXPECT_EQ(r.top, 100);
  EXPECT_EQ(r.bottom, 0);
  EXPECT_EQ(r.Width(), 100);
  EXPECT_EQ(r.Height(), 100);
  SGIS_Rect n = r;
  n.Normalize();
  EXPECT_EQ(n, r);  // already normalised: top is the larger y

  // Storage order is what a raw copy sees.
  static_assert(offsetof(SGIS_Rect, left) < offsetof(SGIS_Rect, right));
  static_assert(offsetof(SGIS_Rect, right) < offsetof(SGIS_Rect, top));
  static_assert(offsetof(SGIS_Rect, top) < offsetof(SGIS_Rect, bottom));
  static_assert(offsetof(SGIS_DRect, x1) < offsetof(SGIS_DRect, x2));
  static_assert(offsetof(SGIS_DRect, x2) < offsetof(SGIS_DRect, y1));
  static_assert(offsetof(SGIS_DRect, y1) < offsetof(SGIS_DRect, y2));
}

TEST(ValueTypes, RectNormalizeWidthHeightAndCentre) {
  struct Case {
    SGIS_Rect r;  // (left, top, right, bottom)
    SGIS_Rect normalised;
    int width, height;
    SGIS_Point centre;
  };
  const Case cases[] = {
      {{0, 3, 5, 0}, {0, 3, 5, 0}, 5, 3, {2, 1, 0}},
      {{5, 0, 0, 3}, {0, 3, 5, 0}, 5, 3, {2, 1, 0}},        // both pairs swapped
      {{-5, 0, 0, -3}, {-5, 0, 0, -3}, 5, 3, {-3, -2, 0}},  // halves truncated, added to left/bottom
      {{10, -10, -10, 10}, {-10, 10, 10, -10}, 20, 20, {0, 0, 0}},
  };
  for (const auto& c : cases) {
    SGIS_Rect n = c.r;
    n.Normalize();
    EXPECT_EQ(n, c.normalised);
    EXPECT_EQ(c.r.Width(), c.width);
    EXPECT_EQ(c.r.Height(), c.height);
    EXPECT_EQ(c.r.CenterPoint(), c.centre);
  }
}

TEST(ValueTypes, RectUnionKeepsLargerTopAndSmallerBottom) {
  const SGIS_Rect a(0, 50, 10, 20);  // top 50, bottom 20
  const SGIS_Rect b(5, 10, 30, 80);  // not normalised: top 10, bottom 80
  SGIS_Rect u;
  u.Union(&a, &b);
  EXPECT_EQ(u, SGIS_Rect(0, 80, 30, 10));

  SGIS_Rect keep(1, 2, 3, 4);
  keep.Union(&a, nullptr);
  EXPECT_EQ(keep, SGIS_Rect(1, 2, 3, 4));
  keep.Union(nullptr, &b);
  EXPECT_EQ(keep, SGIS_Rect(1, 2, 3, 4));
}

TEST(ValueTypes, RectHitTest) {
  struct Case {
    SGIS_Rect r;
    int x, y, tolerance, expected;
  };
  const SGIS_Rect square(0, 10, 10, 0);
  const SGIS_Rect flipped(10, 0, 0, 10);  // the same square, not normalised
  const Case cases[] = {
      {square, 5, 5, 0, SGIS_Rect::INSIDE},    {square, 0, 5, 0, SGIS_Rect::ON_EDGE},
      {square, 10, 10, 0, SGIS_Rect::ON_EDGE}, {square, 11, 5, 0, SGIS_Rect::OUTSIDE},
      {square, 5, -1, 0, SGIS_Rect::OUTSIDE},  {flipped, 5, 5, 0, SGIS_Rect::INSIDE},
      {flipped, 0, 0, 0, SGIS_Rect::ON_EDGE},  {square, 11, 5, 1, SGIS_Rect::ON_EDGE},
      {square, 10, 5, 1, SGIS_Rect::INSIDE},   {square, 12, 5, 1, SGIS_Rect::OUTSIDE},
      {square, -2, -2, 2, SGIS_Rect::ON_EDGE},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.r.HitTest(c.x, c.y, c.tolerance), c.expected) << c.x << "," << c.y << " t=" << c.tolerance;
  }
  // Extreme coordinates and tolerance do not overflow.
  const SGIS_Rect huge(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(),
                       std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(huge.HitTest(0, 0, std::numeric_limits<std::int32_t>::max()), SGIS_Rect::INSIDE);
  EXPECT_EQ(huge.Width(), std::numeric_limits<std::int32_t>::max());
}

TEST(ValueTypes, DRectConversionsAndNormalise) {
  SGIS_DRect d(1.0, 2.0, 3.0, 4.0);  // (x1, y1, x2, y2)
  EXPECT_EQ(d.x1, 1.0);
  EXPECT_EQ(d.y1, 2.0);
  EXPECT_EQ(d.x2, 3.0);
  EXPECT_EQ(d.y2, 4.0);
  d.Normalize();
  EXPECT_EQ(d, SGIS_DRect(1.0, 4.0, 3.0, 2.0));  // y1 is the top
  EXPECT_EQ(d.Width(), 2.0);
  EXPECT_EQ(d.Height(), 2.0);

  const SGIS_Rect r(-7, 9, 11, -3);
  SGIS_DRect from;
  from.FromRect(&r);
  EXPECT_EQ(from, SGIS_DRect(-7.0, 9.0, 11.0, -3.0));
  EXPECT_EQ(SGIS_DRect::MakeFromRect(r.left, r.right, r.top, r.bottom), from);
  from.FromRect(nullptr);
  EXPECT_EQ(from, SGIS_DRect(-7.0, 9.0, 11.0, -3.0));

  EXPECT_EQ(SGIS_DPoint(SGIS_Point(3, -4, 5)), SGIS_DPoint(3.0, -4.0, 5.0));
  const SGIS_DPoint c = SGIS_DRect(0.0, 3.0, 5.0, 0.0).CenterPoint();
  EXPECT_DOUBLE_EQ(c.x, 2.5);
  EXPECT_DOUBLE_EQ(c.y, 1.5);
}

TEST(ValueTypes, DRectIntersectionUnionAndContainment) {
  const SGIS_DRect a(0, 10, 10, 0);
  struct Case {
    SGIS_DRect b;
    SGIS_DRect expected;
  };
  const Case cases[] = {
      {{10, 10, 20, 0}, {}},            // shares the right edge only
      {{0, 20, 10, 10}, {}},            // shares the top edge only
      {{10, 20, 20, 10}, {}},           // shares a corner only
      {{11, 5, 20, 0}, {}},             // disjoint
      {{5, 5, 20, -5}, {5, 5, 10, 0}},  // overlap
      {{20, -5, 5, 5}, {5, 5, 10, 0}},  // overlap, not normalised
      {{2, 8, 8, 2}, {2, 8, 8, 2}},     // inside
  };
  for (const auto& c : cases) {
    SGIS_DRect out(99, 99, 99, 99);
    out.Intersect(&a, &c.b);
    EXPECT_EQ(out, c.expected) << c.b.x1 << " " << c.b.y1 << " " << c.b.x2 << " " << c.b.y2;
  }
  SGIS_DRect keep(1, 2, 3, 4);
  keep.Intersect(&a, nullptr);
  EXPECT_EQ(keep, SGIS_DRect(1, 2, 3, 4));

  SGIS_DRect u;
  const SGIS_DRect b(-5, 3, 2, 30);
  u.Union(&a, &b);
  EXPECT_EQ(u, SGIS_DRect(-5, 30, 10, 0));

  const SGIS_DRect flipped(10, 0, 0, 10);
  EXPECT_TRUE(flipped.Contains(0, 0));
  EXPECT_TRUE(flipped.Contains(10, 10));
  EXPECT_TRUE(flipped.Contains(5, 5));
  EXPECT_FALSE(flipped.Contains(10.000001, 5));
  EXPECT_FALSE(flipped.Contains(5, -0.000001));
}

TEST(ValueTypes, DPointEqualityUsesTheLeftHandTolerance) {
  struct Case {
    SGIS_DPoint a, b;
    bool equal;
  };
  const double big = 1e10;
  const Case cases[] = {
      {{1.0, 2.0, 3.0}, {1.0 * (1 + 1e-16), 2.0, 3.0}, true},
      {{big, 1.0, 0.0}, {big + 1e-6 * 0.5, 1.0, 0.0}, true},   // within |x| * 1e-15 = 1e-5
      {{big, 1.0, 0.0}, {big + big * 1e-9, 1.0, 0.0}, false},  // one part in a billion
      {{-big, -1.0, 0.0}, {-big - 1e-6, -1.0, 0.0}, true},     // negative values: absolute tolerance
      {{-big, -1.0, 0.0}, {-big - big * 1e-9, -1.0, 0.0}, false},
      {{0.0, 0.0, 0.0}, {1e-300, 0.0, 0.0}, false},
      {{0.0, 0.0, 0.0}, {0.0, 0.0, -1e-300}, false},
      {{0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, true},
      {{5.0, 6.0, 7.0}, {5.0, 6.0, 7.0 + 1e-9}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.a == c.b, c.equal) << c.a.x << " vs " << c.b.x;
    EXPECT_EQ(c.a != c.b, !c.equal);
  }
  // The tolerance comes from the left-hand point: a zero on the left must
  // match exactly, while a large left-hand value tolerates a small one.
  const SGIS_DPoint zero(0.0, 0.0, 0.0), tiny(0.0, 0.0, 1e-20);
  EXPECT_FALSE(zero == tiny);
  const SGIS_DPoint large(1e6, 0.0, 0.0), near(1e6 + 1e-10, 0.0, 0.0);
  EXPECT_TRUE(large == near);
}

TEST(ValueTypes, DrawParamDefaultsAndFieldOrder) {
  const SGIS_DrawParam p;
  EXPECT_EQ(p.hdc, nullptr);
  EXPECT_EQ(p.reserved[0] | p.reserved[1] | p.reserved[2], 0);
  EXPECT_EQ(p.drawMode, 4);
  EXPECT_EQ(p.printFlag, 0);
  EXPECT_EQ(p.symbolScale, 1.0);
  EXPECT_EQ(p.points, nullptr);
  EXPECT_EQ(p.pointCount, 0);
  EXPECT_EQ(p.flag, 1);
  EXPECT_EQ(p.viewValue, 0);
  EXPECT_EQ(p.extraValue, 0.0);
  static_assert(offsetof(SGIS_DrawParam, hdc) < offsetof(SGIS_DrawParam, reserved));
  static_assert(offsetof(SGIS_DrawParam, reserved) < offsetof(SGIS_DrawParam, drawMode));
  static_assert(offsetof(SGIS_DrawParam, drawMode) < offsetof(SGIS_DrawParam, printFlag));
  static_assert(offsetof(SGIS_DrawParam, printFlag) < offsetof(SGIS_DrawParam, symbolScale));
  static_assert(offsetof(SGIS_DrawParam, symbolScale) < offsetof(SGIS_DrawParam, points));
  static_assert(offsetof(SGIS_DrawParam, points) < offsetof(SGIS_DrawParam, pointCount));
  static_assert(offsetof(SGIS_DrawParam, pointCount) < offsetof(SGIS_DrawParam, flag));
  static_assert(offsetof(SGIS_DrawParam, flag) < offsetof(SGIS_DrawParam, viewValue));
  static_assert(offsetof(SGIS_DrawParam, viewValue) < offsetof(SGIS_DrawParam, extraValue));
  static_assert(sizeof(p.viewValue) == sizeof(void*));
}

}  // namespace
