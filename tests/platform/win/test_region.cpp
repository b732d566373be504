// Regions: construction, combination, queries and bad input. Expected pixel
// sets come from direct point tests (pixel centres against the polygon), not
// from the band code under test.
#include <functional>
#include <vector>

#include "tests/platform/win/wintest.h"

namespace {

using md::test::Owned;

// Winding number of the point (px, py) for a closed polygon.
int Winding(const std::vector<POINT>& poly, double px, double py) {
  int w = 0;
  for (std::size_t i = 0; i < poly.size(); ++i) {
    const POINT& a = poly[i];
    const POINT& b = poly[(i + 1) % poly.size()];
    if (a.y == b.y) continue;
    const bool up = a.y < b.y;
    const double y0 = up ? a.y : b.y, y1 = up ? b.y : a.y;
    if (py < y0 || py >= y1) continue;
    const double x = a.x + (py - a.y) * (static_cast<double>(b.x) - a.x) / (static_cast<double>(b.y) - a.y);
    if (x > px) w += up ? 1 : -1;
  }
  return w;
}

int Crossings(const std::vector<POINT>& poly, double px, double py) {
  int n = 0;
  for (std::size_t i = 0; i < poly.size(); ++i) {
    const POINT& a = poly[i];
    const POINT& b = poly[(i + 1) % poly.size()];
    if (a.y == b.y) continue;
    const double y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y);
    if (py < y0 || py >= y1) continue;
    const double x = a.x + (py - a.y) * (static_cast<double>(b.x) - a.x) / (static_cast<double>(b.y) - a.y);
    if (x > px) ++n;
  }
  return n;
}

// Checks every pixel of a window against a predicate.
void ExpectPixels(HRGN rgn, const std::function<bool(int, int)>& inside, int x0 = -5, int y0 = -5,
                  int x1 = 70, int y1 = 70) {
  int wrong = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      if ((PtInRegion(rgn, x, y) != FALSE) != inside(x, y)) {
        if (++wrong < 5) ADD_FAILURE() << "pixel " << x << "," << y;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

// A five-pointed star: its centre is covered twice.
const std::vector<POINT> kStar = {{30, 2}, {48, 58}, {2, 22}, {58, 22}, {12, 58}};

TEST(Region, PolygonFillRulesMatchPointTests) {
  for (int mode : {ALTERNATE, WINDING}) {
    SCOPED_TRACE(mode);
    Owned rgn(CreatePolygonRgn(kStar.data(), static_cast<int>(kStar.size()), mode));
    ASSERT_NE(rgn.obj, nullptr);
    ExpectPixels(static_cast<HRGN>(rgn.obj), [mode](int x, int y) {
      if (mode == ALTERNATE) return Crossings(kStar, x + 0.5, y + 0.5) % 2 == 1;
      return Winding(kStar, x + 0.5, y + 0.5) != 0;
    });
  }
  // The centre of the star is inside only under the winding rule.
  Owned alt(CreatePolygonRgn(kStar.data(), 5, ALTERNATE));
  Owned win(CreatePolygonRgn(kStar.data(), 5, WINDING));
  EXPECT_FALSE(PtInRegion(static_cast<HRGN>(alt.obj), 30, 30));
  EXPECT_TRUE(PtInRegion(static_cast<HRGN>(win.obj), 30, 30));
}

// Random polygons, self-crossing, with runs of vertical and horizontal edges
// and edges that start and end on many rows, under both rules.
TEST(Region, RandomPolygonsMatchPointTests) {
  unsigned seed = 12345;
  auto next = [&seed](int n) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) % static_cast<unsigned>(n));
  };
  for (int round = 0; round < 40; ++round) {
    std::vector<POINT> poly;
    const int n = 3 + next(40);
    for (int i = 0; i < n; ++i) {
      POINT p{next(64), next(64)};
      // Every third point shares x or y with the one before: vertical and
      // horizontal edges, as region outlines and combs have.
      if (!poly.empty() && i % 3 == 1) p.x = poly.back().x;
      if (!poly.empty() && i % 3 == 2) p.y = poly.back().y;
      poly.push_back(p);
    }
    for (int mode : {ALTERNATE, WINDING}) {
      SCOPED_TRACE(testing::Message() << "round " << round << " mode " << mode);
      Owned rgn(CreatePolygonRgn(poly.data(), n, mode));
      ASSERT_NE(rgn.obj, nullptr);
      ExpectPixels(static_cast<HRGN>(rgn.obj), [&poly, mode](int x, int y) {
        if (mode == ALTERNATE) return Crossings(poly, x + 0.5, y + 0.5) % 2 == 1;
        return Winding(poly, x + 0.5, y + 0.5) != 0;
      });
    }
  }
}

// A comb of teeth of different lengths: the pixels of the point tests, and
// one band for all the rows where every tooth is present.
TEST(Region, CombKeepsOneBandWhereItsRowsAreAlike) {
  std::vector<POINT> comb;
  for (int i = 0; i < 12; ++i) {
    const LONG x = 2 + 5 * i, tip = 2 + (i * 7) % 11;
    comb.insert(comb.end(), {POINT{x, 40}, POINT{x, tip}, POINT{x + 2, tip}, POINT{x + 2, 40}});
  }
  comb.insert(comb.end(), {POINT{64, 50}, POINT{2, 50}});
  Owned rgn(CreatePolygonRgn(comb.data(), static_cast<int>(comb.size()), ALTERNATE));
  ASSERT_NE(rgn.obj, nullptr);
  ExpectPixels(static_cast<HRGN>(rgn.obj),
               [&comb](int x, int y) { return Crossings(comb, x + 0.5, y + 0.5) % 2 == 1; });
  // Rows 12..39 hold the twelve whole teeth: one band of twelve rectangles.
  int whole = 0;
  for (const RECT& r : md::win::GetRegionRects(static_cast<HRGN>(rgn.obj)))
    if (r.top == 12 && r.bottom == 40) ++whole;
  EXPECT_EQ(whole, 12);
}

TEST(Region, PolyPolygonHoleAndAxisAlignedPolygonEqualsRectangle) {
  // An outer square and an inner square: a frame under ALTERNATE.
  const POINT pts[] = {{0, 0}, {40, 0}, {40, 40}, {0, 40}, {10, 10}, {30, 10}, {30, 30}, {10, 30}};
  const INT counts[] = {4, 4};
  Owned frame(CreatePolyPolygonRgn(pts, counts, 2, ALTERNATE));
  ExpectPixels(static_cast<HRGN>(frame.obj), [](int x, int y) {
    bool outer = x >= 0 && x < 40 && y >= 0 && y < 40;
    bool inner = x >= 10 && x < 30 && y >= 10 && y < 30;
    return outer && !inner;
  });
  Owned outer(CreateRectRgn(0, 0, 40, 40));
  Owned inner(CreateRectRgn(10, 10, 30, 30));
  Owned diff(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(CombineRgn(static_cast<HRGN>(diff.obj), static_cast<HRGN>(outer.obj),
                       static_cast<HRGN>(inner.obj), RGN_DIFF),
            COMPLEXREGION);
  // Equal pixel sets compare equal however they were built.
  EXPECT_TRUE(EqualRgn(static_cast<HRGN>(frame.obj), static_cast<HRGN>(diff.obj)));
  EXPECT_EQ(md::test::RectsOf(static_cast<HRGN>(frame.obj)), md::test::RectsOf(static_cast<HRGN>(diff.obj)));
  // A square polygon covers exactly the rectangle region of its corners.
  Owned square(CreatePolygonRgn(pts, 4, WINDING));
  EXPECT_TRUE(EqualRgn(static_cast<HRGN>(square.obj), static_cast<HRGN>(outer.obj)));
}

TEST(Region, CombineModesAgreeWithPixelLogic) {
  Owned star(CreatePolygonRgn(kStar.data(), 5, WINDING));
  Owned rect(CreateRectRgn(20, 15, 65, 40));
  HRGN a = static_cast<HRGN>(star.obj), b = static_cast<HRGN>(rect.obj);
  auto inA = [](int x, int y) { return Winding(kStar, x + 0.5, y + 0.5) != 0; };
  auto inB = [](int x, int y) { return x >= 20 && x < 65 && y >= 15 && y < 40; };
  struct Case {
    int mode;
    std::function<bool(bool, bool)> op;
  };
  const Case cases[] = {
      {RGN_AND, [](bool p, bool q) { return p && q; }}, {RGN_OR, [](bool p, bool q) { return p || q; }},
      {RGN_XOR, [](bool p, bool q) { return p != q; }}, {RGN_DIFF, [](bool p, bool q) { return p && !q; }},
      {RGN_COPY, [](bool p, bool) { return p; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Owned out(CreateRectRgn(0, 0, 1, 1));
    const int type = CombineRgn(static_cast<HRGN>(out.obj), a, b, c.mode);
    EXPECT_EQ(type, COMPLEXREGION);
    ExpectPixels(static_cast<HRGN>(out.obj), [&](int x, int y) { return c.op(inA(x, y), inB(x, y)); });
  }
  // The destination may be one of the sources.
  Owned same(CreateRectRgn(0, 0, 10, 10));
  Owned other(CreateRectRgn(5, 5, 15, 15));
  EXPECT_EQ(CombineRgn(static_cast<HRGN>(same.obj), static_cast<HRGN>(same.obj), static_cast<HRGN>(other.obj),
                       RGN_AND),
            SIMPLEREGION);
  RECT box;
  EXPECT_EQ(GetRgnBox(static_cast<HRGN>(same.obj), &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 5);
  EXPECT_EQ(box.top, 5);
  EXPECT_EQ(box.right, 10);
  EXPECT_EQ(box.bottom, 10);
  // Disjoint AND is empty.
  Owned far(CreateRectRgn(100, 100, 110, 110));
  EXPECT_EQ(CombineRgn(static_cast<HRGN>(same.obj), static_cast<HRGN>(same.obj), static_cast<HRGN>(far.obj),
                       RGN_AND),
            NULLREGION);
  EXPECT_EQ(GetRgnBox(static_cast<HRGN>(same.obj), &box), NULLREGION);
  EXPECT_EQ(box.right - box.left, 0);
}

TEST(Region, AndWithARectangleAgreesWithPixelLogicOnEitherSide) {
  Owned star(CreatePolygonRgn(kStar.data(), 5, WINDING));
  auto inStar = [](int x, int y) { return Winding(kStar, x + 0.5, y + 0.5) != 0; };
  const RECT rects[] = {{-5, -5, 70, 70}, {25, 25, 35, 35}, {10, 10, 40, 30}, {58, 0, 70, 10}, {0, 0, 0, 0}};
  for (const RECT& r : rects) {
    Owned rect(CreateRectRgn(r.left, r.top, r.right, r.bottom));
    auto inRect = [&r](int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; };
    for (HRGN other : {static_cast<HRGN>(star.obj), static_cast<HRGN>(rect.obj)}) {
      auto inOther = [&](int x, int y) { return other == star.obj ? inStar(x, y) : inRect(x, y); };
      for (bool rectFirst : {true, false}) {
        SCOPED_TRACE(testing::Message() << r.left << "," << r.top << " rect first " << rectFirst);
        Owned out(CreateRectRgn(0, 0, 1, 1));
        HRGN a = rectFirst ? static_cast<HRGN>(rect.obj) : other,
             b = rectFirst ? other : static_cast<HRGN>(rect.obj);
        CombineRgn(static_cast<HRGN>(out.obj), a, b, RGN_AND);
        ExpectPixels(static_cast<HRGN>(out.obj), [&](int x, int y) { return inRect(x, y) && inOther(x, y); });
      }
    }
  }
}

TEST(Region, OffsetBoxAndRectQueries) {
  Owned star(CreatePolygonRgn(kStar.data(), 5, ALTERNATE));
  HRGN r = static_cast<HRGN>(star.obj);
  RECT before, after;
  GetRgnBox(r, &before);
  EXPECT_EQ(OffsetRgn(r, 7, -3), COMPLEXREGION);
  GetRgnBox(r, &after);
  EXPECT_EQ(after.left, before.left + 7);
  EXPECT_EQ(after.top, before.top - 3);
  EXPECT_EQ(after.right, before.right + 7);
  EXPECT_EQ(after.bottom, before.bottom - 3);
  ExpectPixels(r, [](int x, int y) { return Crossings(kStar, x - 7 + 0.5, y + 3 + 0.5) % 2 == 1; });
  // Offsetting to the edge of the integer range saturates instead of wrapping.
  Owned big(CreateRectRgn(0, 0, 10, 10));
  OffsetRgn(static_cast<HRGN>(big.obj), 0x7FFFFFF0, 0);
  GetRgnBox(static_cast<HRGN>(big.obj), &after);
  EXPECT_GE(after.left, 0);
  EXPECT_LE(after.left, after.right);

  const RECT inside{10, 20, 12, 22}, outside{-20, -20, -10, -10}, flipped{12, 22, 10, 20};
  Owned plain(CreateRectRgn(0, 0, 30, 30));
  EXPECT_TRUE(RectInRegion(static_cast<HRGN>(plain.obj), &inside));
  EXPECT_TRUE(RectInRegion(static_cast<HRGN>(plain.obj), &flipped));
  EXPECT_FALSE(RectInRegion(static_cast<HRGN>(plain.obj), &outside));
  EXPECT_TRUE(SetRectRgn(static_cast<HRGN>(plain.obj), 50, 60, 40, 45));  // corners are normalised
  GetRgnBox(static_cast<HRGN>(plain.obj), &after);
  EXPECT_EQ(after.left, 40);
  EXPECT_EQ(after.top, 45);
  EXPECT_EQ(after.right, 50);
  EXPECT_EQ(after.bottom, 60);
}

TEST(Region, EllipticRegionIsSymmetricAndInsideItsBox) {
  Owned e(CreateEllipticRgn(0, 0, 40, 20));
  HRGN r = static_cast<HRGN>(e.obj);
  RECT box;
  EXPECT_EQ(GetRgnBox(r, &box), COMPLEXREGION);
  EXPECT_GE(box.left, 0);
  EXPECT_LE(box.right, 40);
  EXPECT_TRUE(PtInRegion(r, 20, 10));
  EXPECT_FALSE(PtInRegion(r, 0, 0));
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 40; ++x) EXPECT_EQ(PtInRegion(r, x, y), PtInRegion(r, 39 - x, y)) << x << "," << y;
  }
}

TEST(Region, BadInputFailsCleanly) {
  const std::size_t live = md::win::LiveObjectCount();
  const POINT two[] = {{0, 0}, {5, 5}};
  EXPECT_EQ(CreatePolygonRgn(nullptr, 3, ALTERNATE), nullptr);
  EXPECT_EQ(CreatePolygonRgn(two, 1, ALTERNATE), nullptr);
  EXPECT_EQ(CreatePolygonRgn(two, 2, 7), nullptr);
  const INT badCounts[] = {2, -4};
  EXPECT_EQ(CreatePolyPolygonRgn(two, badCounts, 2, ALTERNATE), nullptr);
  Owned r(CreateRectRgn(0, 0, 5, 5));
  HRGN h = static_cast<HRGN>(r.obj);
  EXPECT_EQ(CombineRgn(h, h, h, 99), ERROR);
  EXPECT_EQ(CombineRgn(h, h, nullptr, RGN_AND), ERROR);
  EXPECT_EQ(CombineRgn(nullptr, h, h, RGN_OR), ERROR);
  EXPECT_EQ(OffsetRgn(nullptr, 1, 1), ERROR);
  EXPECT_EQ(GetRgnBox(h, nullptr), ERROR);
  EXPECT_FALSE(PtInRegion(nullptr, 0, 0));
  EXPECT_FALSE(EqualRgn(h, nullptr));
  // A pen handle is not a region.
  Owned pen(CreatePen(PS_SOLID, 1, 0));
  EXPECT_EQ(OffsetRgn(reinterpret_cast<HRGN>(pen.obj), 1, 1), ERROR);
  // A polygon with far-out coordinates is evaluated over a bounded window.
  const POINT huge[] = {{-2000000000, -2000000000}, {2000000000, -2000000000}, {0, 2000000000}};
  Owned big(CreatePolygonRgn(huge, 3, ALTERNATE));
  ASSERT_NE(big.obj, nullptr);
  EXPECT_TRUE(PtInRegion(static_cast<HRGN>(big.obj), 0, 0));
  EXPECT_EQ(md::win::LiveObjectCount(), live + 3);
}

}  // namespace
