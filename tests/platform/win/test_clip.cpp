// Clipping and saved states: the clip each recorded primitive carries.
#include "tests/platform/win/wintest.h"

namespace {

using md::canvas::Record;
using md::test::Owned;
using md::test::RecordingDC;

const POINT kBoundary[] = {{50, 20}, {200, 40}, {180, 200}, {30, 160}};

TEST(Clip, PolygonClipAndedWithRectangleIsCarriedByPrimitives) {
  RecordingDC dc;
  Owned poly(CreatePolygonRgn(kBoundary, 4, ALTERNATE));
  Owned rect(CreateRectRgn(100, 0, 400, 120));
  ASSERT_EQ(SelectClipRgn(dc.hdc, static_cast<HRGN>(poly.obj)), COMPLEXREGION);
  ASSERT_EQ(ExtSelectClipRgn(dc.hdc, static_cast<HRGN>(rect.obj), RGN_AND), COMPLEXREGION);

  // The clip is the intersection of both regions, pixel for pixel.
  Owned clip(CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(GetClipRgn(dc.hdc, static_cast<HRGN>(clip.obj)), 1);
  Owned expected(CreateRectRgn(0, 0, 0, 0));
  CombineRgn(static_cast<HRGN>(expected.obj), static_cast<HRGN>(poly.obj), static_cast<HRGN>(rect.obj),
             RGN_AND);
  EXPECT_TRUE(EqualRgn(static_cast<HRGN>(clip.obj), static_cast<HRGN>(expected.obj)));
  for (int y = 0; y < 220; y += 3) {
    for (int x = 0; x < 260; x += 3) {
      const bool want = PtInRegion(static_cast<HRGN>(poly.obj), x, y) && x >= 100 && y < 120;
      ASSERT_EQ(PtInRegion(static_cast<HRGN>(clip.obj), x, y) != FALSE, want) << x << "," << y;
    }
  }
  RECT box, want;
  EXPECT_EQ(GetClipBox(dc.hdc, &box), COMPLEXREGION);
  GetRgnBox(static_cast<HRGN>(expected.obj), &want);
  EXPECT_EQ(box.left, 100);
  EXPECT_EQ(box.top, want.top);
  EXPECT_GT(box.top, 20);  // the slanted top edge starts lower at x = 100
  EXPECT_EQ(box.right, want.right);
  EXPECT_EQ(box.bottom, 120);

  // Primitives drawn now carry exactly that clip.
  Rectangle(dc.hdc, 0, 0, 300, 300);
  const RECT fill{10, 10, 20, 20};
  FillRect(dc.hdc, &fill, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ASSERT_EQ(dc.canvas.records().size(), 2u);
  for (const Record& r : dc.canvas.records()) {
    EXPECT_TRUE(r.state.clip.active);
    EXPECT_EQ(r.state.clip.rects, md::test::RectsOf(static_cast<HRGN>(expected.obj)));
  }

  // Removing the clip: later primitives are unclipped.
  EXPECT_EQ(SelectClipRgn(dc.hdc, nullptr), SIMPLEREGION);
  EXPECT_EQ(GetClipRgn(dc.hdc, static_cast<HRGN>(clip.obj)), 0);
  Rectangle(dc.hdc, 0, 0, 10, 10);
  EXPECT_FALSE(dc.last().state.clip.active);
  EXPECT_TRUE(dc.last().state.clip.rects.empty());
  EXPECT_EQ(GetClipBox(dc.hdc, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 400);
  EXPECT_EQ(box.bottom, 300);
}

TEST(Clip, SelectedRegionIsCopied) {
  RecordingDC dc;
  HRGN rgn = CreateRectRgn(10, 10, 50, 50);
  SelectClipRgn(dc.hdc, rgn);
  // Changing and then deleting the caller's region leaves the clip alone.
  OffsetRgn(rgn, 100, 100);
  EXPECT_TRUE(DeleteObject(rgn));
  Rectangle(dc.hdc, 0, 0, 100, 100);
  ASSERT_EQ(dc.last().state.clip.rects.size(), 1u);
  EXPECT_EQ(dc.last().state.clip.rects[0], (md::canvas::Rect{10, 10, 50, 50}));
  // Selecting through SelectObject does the same and returns the region type.
  Owned other(CreateRectRgn(0, 0, 5, 5));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(SelectObject(dc.hdc, other.obj)),
            static_cast<std::uintptr_t>(SIMPLEREGION));
  RECT box;
  GetClipBox(dc.hdc, &box);
  EXPECT_EQ(box.right, 5);
}

TEST(Clip, SaveAndRestoreBringBackClipObjectsAndAttributes) {
  RecordingDC dc;
  Owned pen(CreatePen(PS_DASH, 1, RGB(255, 0, 0)));
  Owned brush(CreateHatchBrush(HS_CROSS, RGB(0, 0, 255)));
  Owned rgn(CreateRectRgn(0, 0, 100, 100));
  SelectClipRgn(dc.hdc, static_cast<HRGN>(rgn.obj));
  HGDIOBJ oldPen = SelectObject(dc.hdc, pen.obj);
  HGDIOBJ oldBrush = SelectObject(dc.hdc, brush.obj);
  SetTextColor(dc.hdc, RGB(1, 2, 3));
  SetBkMode(dc.hdc, TRANSPARENT);
  const int level = SaveDC(dc.hdc);
  ASSERT_EQ(level, 1);

  // Change everything.
  SelectObject(dc.hdc, GetStockObject(BLACK_PEN));
  SelectObject(dc.hdc, GetStockObject(NULL_BRUSH));
  IntersectClipRect(dc.hdc, 20, 20, 40, 40);
  SetMapMode(dc.hdc, MM_LOMETRIC);
  SetTextColor(dc.hdc, RGB(9, 9, 9));
  SetBkMode(dc.hdc, OPAQUE);
  EXPECT_EQ(SaveDC(dc.hdc), 2);
  SetViewportOrgEx(dc.hdc, 5, 5, nullptr);

  ASSERT_TRUE(RestoreDC(dc.hdc, -1));  // back to level 2's state
  POINT org;
  GetViewportOrgEx(dc.hdc, &org);
  EXPECT_EQ(org.x, 0);
  EXPECT_EQ(GetMapMode(dc.hdc), MM_LOMETRIC);

  ASSERT_TRUE(RestoreDC(dc.hdc, level));
  EXPECT_EQ(GetCurrentObject(dc.hdc, OBJ_PEN), pen.obj);
  EXPECT_EQ(GetCurrentObject(dc.hdc, OBJ_BRUSH), brush.obj);
  EXPECT_EQ(GetMapMode(dc.hdc), MM_TEXT);
  EXPECT_EQ(GetTextColor(dc.hdc), RGB(1, 2, 3));
  EXPECT_EQ(GetBkMode(dc.hdc), TRANSPARENT);
  Rectangle(dc.hdc, 0, 0, 200, 200);
  const Record& r = dc.last();
  EXPECT_EQ(r.state.clip.rects, (std::vector<md::canvas::Rect>{{0, 0, 100, 100}}));
  EXPECT_EQ(r.pen.style, md::canvas::PenStyle::Dash);
  EXPECT_EQ(r.pen.color, RGB(255, 0, 0));
  EXPECT_EQ(r.brush.style, md::canvas::BrushStyle::Hatched);
  EXPECT_EQ(r.brush.hatch, md::canvas::Hatch::Cross);
  EXPECT_FALSE(r.state.opaque);

  // Levels that no longer exist are refused.
  EXPECT_FALSE(RestoreDC(dc.hdc, 1));
  EXPECT_FALSE(RestoreDC(dc.hdc, -1));
  EXPECT_FALSE(RestoreDC(dc.hdc, 0));
  SelectObject(dc.hdc, oldPen);
  SelectObject(dc.hdc, oldBrush);
}

TEST(Clip, AClipMovedAfterASaveLeavesTheSavedOneAsItWas) {
  RecordingDC dc;
  Owned rgn(CreateRectRgn(10, 10, 50, 50));
  SelectClipRgn(dc.hdc, static_cast<HRGN>(rgn.obj));
  const int level = SaveDC(dc.hdc);
  OffsetClipRgn(dc.hdc, 100, 0);
  Owned now(CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(GetClipRgn(dc.hdc, static_cast<HRGN>(now.obj)), 1);
  EXPECT_EQ(md::test::RectsOf(static_cast<HRGN>(now.obj)),
            (std::vector<md::canvas::Rect>{{110, 10, 150, 50}}));
  ASSERT_TRUE(RestoreDC(dc.hdc, level));
  Rectangle(dc.hdc, 0, 0, 200, 200);
  EXPECT_EQ(dc.last().state.clip.rects, (std::vector<md::canvas::Rect>{{10, 10, 50, 50}}));
  // The region taken from the context is its own: moving it moves no clip.
  OffsetRgn(static_cast<HRGN>(now.obj), 5, 5);
  Rectangle(dc.hdc, 0, 0, 200, 200);
  EXPECT_EQ(dc.last().state.clip.rects, (std::vector<md::canvas::Rect>{{10, 10, 50, 50}}));
}

TEST(Clip, ObjectsInUseCannotBeDeleted) {
  RecordingDC dc;
  HPEN pen = CreatePen(PS_SOLID, 3, 0);
  HGDIOBJ old = SelectObject(dc.hdc, pen);
  EXPECT_FALSE(DeleteObject(pen));  // selected: stays alive
  SaveDC(dc.hdc);
  SelectObject(dc.hdc, old);
  EXPECT_FALSE(DeleteObject(pen));  // still held by the saved state
  RestoreDC(dc.hdc, -1);
  Rectangle(dc.hdc, 0, 0, 5, 5);
  EXPECT_EQ(dc.last().pen.width, 3.0);
  SelectObject(dc.hdc, old);
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_FALSE(DeleteObject(pen));  // already gone
  EXPECT_EQ(SelectObject(dc.hdc, pen), nullptr);
  // Stock objects survive deletion.
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
  EXPECT_NE(GetObjectType(GetStockObject(BLACK_PEN)), 0u);
}

TEST(Clip, ExtSelectModesWithoutAClipStartFromTheSurface) {
  RecordingDC dc(100, 80);
  Owned hole(CreateRectRgn(10, 10, 20, 20));
  HRGN h = static_cast<HRGN>(hole.obj);
  EXPECT_EQ(ExtSelectClipRgn(dc.hdc, h, RGN_DIFF), COMPLEXREGION);
  EXPECT_FALSE(PtVisible(dc.hdc, 15, 15));
  EXPECT_TRUE(PtVisible(dc.hdc, 5, 5));
  EXPECT_FALSE(PtVisible(dc.hdc, 100, 5));  // beyond the surface
  SelectClipRgn(dc.hdc, nullptr);
  EXPECT_EQ(ExtSelectClipRgn(dc.hdc, h, RGN_XOR), COMPLEXREGION);
  EXPECT_FALSE(PtVisible(dc.hdc, 15, 15));
  EXPECT_EQ(ExtSelectClipRgn(dc.hdc, h, RGN_OR), SIMPLEREGION);
  EXPECT_TRUE(PtVisible(dc.hdc, 15, 15));
  EXPECT_EQ(ExcludeClipRect(dc.hdc, 0, 0, 100, 40), SIMPLEREGION);
  RECT box;
  GetClipBox(dc.hdc, &box);
  EXPECT_EQ(box.top, 40);
  EXPECT_EQ(box.bottom, 80);
  // Only RGN_COPY takes no region.
  EXPECT_EQ(ExtSelectClipRgn(dc.hdc, nullptr, RGN_AND), ERROR);
  EXPECT_EQ(ExtSelectClipRgn(dc.hdc, h, 42), ERROR);
  EXPECT_EQ(SelectClipRgn(nullptr, h), ERROR);
  const RECT r1{0, 0, 10, 10}, r2{50, 50, 60, 60};
  EXPECT_FALSE(RectVisible(dc.hdc, &r1));
  EXPECT_TRUE(RectVisible(dc.hdc, &r2));

  // A clip reaching past the surface: the box is what can be drawn, the
  // clip region itself is kept whole.
  Owned wide(CreateRectRgn(-50, 60, 500, 500));
  SelectClipRgn(dc.hdc, static_cast<HRGN>(wide.obj));
  GetClipBox(dc.hdc, &box);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 60);
  EXPECT_EQ(box.right, 100);
  EXPECT_EQ(box.bottom, 80);
  Owned back(CreateRectRgn(0, 0, 0, 0));
  GetClipRgn(dc.hdc, static_cast<HRGN>(back.obj));
  EXPECT_TRUE(EqualRgn(static_cast<HRGN>(back.obj), static_cast<HRGN>(wide.obj)));
  // A clip wholly off the surface leaves nothing visible.
  OffsetClipRgn(dc.hdc, 1000, 0);
  EXPECT_EQ(GetClipBox(dc.hdc, &box), NULLREGION);
}

TEST(Clip, ClipRectanglesFollowTheMappingMode) {
  // 0.01 mm units, y up, origin at the bottom-left of a 254-pixel-high page.
  RecordingDC dc(254, 254, 254);
  SetMapMode(dc.hdc, MM_HIMETRIC);
  SetViewportOrgEx(dc.hdc, 0, 254, nullptr);
  // 1 mm = 10 pixels at 254 dpi.
  EXPECT_EQ(IntersectClipRect(dc.hdc, 100, 300, 500, 100), SIMPLEREGION);
  Rectangle(dc.hdc, 0, 0, 100, 100);
  EXPECT_EQ(dc.last().state.clip.rects, (std::vector<md::canvas::Rect>{{10, 224, 50, 244}}));
  RECT box;
  GetClipBox(dc.hdc, &box);
  // Corners come back in logical units; under y up the top is the larger y.
  EXPECT_EQ(box.left, 100);
  EXPECT_EQ(box.right, 500);
  EXPECT_EQ(box.top, 300);
  EXPECT_EQ(box.bottom, 100);
  // Offsetting the clip moves it by logical units.
  OffsetClipRgn(dc.hdc, 100, 100);
  Rectangle(dc.hdc, 0, 0, 100, 100);
  EXPECT_EQ(dc.last().state.clip.rects, (std::vector<md::canvas::Rect>{{20, 214, 60, 234}}));
}

}  // namespace
