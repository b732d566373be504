// Drawing at the edges of the integer range: pixels and outlines whose device
// coordinates reach INT_MIN or INT_MAX (through the coordinates themselves or
// through window and viewport origins) give well-formed device geometry and
// never wrap around. The sanitizer build turns any overflow into a failure.
#include <climits>
#include <cmath>

#include "tests/platform/win/wintest.h"

namespace {

using md::test::RecordingDC;

// Every recorded rectangle is ordered and every recorded point lies within
// the device box the call named (a wrapped coordinate lands at the other end
// of the range).
void ExpectWellFormed(const md::canvas::RecordingCanvas& canvas, const char* what) {
  for (const md::canvas::Record& r : canvas.records()) {
    for (const md::canvas::Rect& rect : r.rects) {
      EXPECT_LE(rect.left, rect.right) << what;
      EXPECT_LE(rect.top, rect.bottom) << what;
    }
    if (r.type != md::canvas::Record::Type::Shape) continue;
    const md::canvas::Rect box = r.shape.bounds;
    for (const md::canvas::Point& p : r.Points()) {
      ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << what;
      EXPECT_GE(p.x, static_cast<double>(box.left) - 1) << what;
      EXPECT_LE(p.x, static_cast<double>(box.right) + 1) << what;
      EXPECT_GE(p.y, static_cast<double>(box.top) - 1) << what;
      EXPECT_LE(p.y, static_cast<double>(box.bottom) + 1) << what;
    }
  }
}

TEST(IntegerLimits, SetPixelAtTheLargestCoordinates) {
  for (const POINT p :
       {POINT{INT_MAX, INT_MAX}, POINT{10, INT_MAX}, POINT{INT_MAX, 10}, POINT{INT_MIN, INT_MIN}}) {
    RecordingDC dc;
    EXPECT_EQ(SetPixel(dc.hdc, p.x, p.y, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(dc.hdc, p.x, p.y), CLR_INVALID);  // far off the surface
    ExpectWellFormed(dc.canvas, "SetPixel");
  }
}

struct Origins {
  const char* name;
  POINT window;
  POINT viewport;
};

TEST(IntegerLimits, OutlinesWithOriginsNearTheLimits) {
  const Origins cases[] = {
      {"window at the minimum", {INT_MIN, INT_MIN}, {0, 0}},
      {"window at the maximum", {INT_MAX, INT_MAX}, {0, 0}},
      {"viewport at the minimum", {0, 0}, {INT_MIN, INT_MIN}},
      {"viewport at the maximum", {0, 0}, {INT_MAX, INT_MAX}},
      {"both at opposite ends", {INT_MAX, INT_MIN}, {INT_MIN, INT_MAX}},
  };
  for (const Origins& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingDC dc;
    SetWindowOrgEx(dc.hdc, c.window.x, c.window.y, nullptr);
    SetViewportOrgEx(dc.hdc, c.viewport.x, c.viewport.y, nullptr);
    for (const RECT r :
         {RECT{0, 0, 100, 80}, RECT{-50, -50, 50, 50}, RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX}}) {
      dc.canvas.clear();
      Rectangle(dc.hdc, r.left, r.top, r.right, r.bottom);
      ExpectWellFormed(dc.canvas, "Rectangle");
      dc.canvas.clear();
      Ellipse(dc.hdc, r.left, r.top, r.right, r.bottom);
      ExpectWellFormed(dc.canvas, "Ellipse");
      dc.canvas.clear();
      RoundRect(dc.hdc, r.left, r.top, r.right, r.bottom, 20, 20);
      ExpectWellFormed(dc.canvas, "RoundRect");
      dc.canvas.clear();
      Arc(dc.hdc, r.left, r.top, r.right, r.bottom, r.right, r.top, r.left, r.bottom);
      ExpectWellFormed(dc.canvas, "Arc");
      dc.canvas.clear();
      Pie(dc.hdc, r.left, r.top, r.right, r.bottom, r.right, r.top, r.left, r.bottom);
      ExpectWellFormed(dc.canvas, "Pie");
      dc.canvas.clear();
      Chord(dc.hdc, r.left, r.top, r.right, r.bottom, r.right, r.top, r.left, r.bottom);
      ExpectWellFormed(dc.canvas, "Chord");
      dc.canvas.clear();
      const RECT fr = r;
      HBRUSH brush = CreateSolidBrush(RGB(0, 0, 0));
      FrameRect(dc.hdc, &fr, brush);
      FillRect(dc.hdc, &fr, brush);
      DeleteObject(brush);
      ExpectWellFormed(dc.canvas, "FrameRect");
    }
  }
}

TEST(IntegerLimits, TextAndCopiesInRectanglesSpanningTheRange) {
  const RECT boxes[] = {{INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                        {INT_MAX - 5, INT_MAX - 5, INT_MAX, INT_MAX},
                        {INT_MIN, INT_MIN, INT_MIN + 5, INT_MIN + 5}};
  for (const UINT format :
       {UINT(DT_SINGLELINE | DT_VCENTER | DT_CENTER), UINT(DT_SINGLELINE | DT_BOTTOM | DT_RIGHT),
        UINT(DT_WORDBREAK), UINT(DT_CALCRECT | DT_WORDBREAK)}) {
    for (const RECT& box : boxes) {
      RecordingDC dc;
      RECT r = box;
      DrawText(dc.hdc, "Map finishing 地图整饰", -1, &r, format);
      ExpectWellFormed(dc.canvas, "DrawText");
      if (format & DT_CALCRECT) {
        EXPECT_LE(r.left, r.right);
        EXPECT_LE(r.top, r.bottom);
      }
    }
  }
  RecordingDC src, dst;
  for (const RECT& box : boxes) {
    // Far off both surfaces, or too large: nothing is copied, nothing wraps.
    BitBlt(dst.hdc, box.left, box.top, INT_MAX, 10, src.hdc, box.left, box.top, SRCCOPY);
    StretchBlt(dst.hdc, 0, 0, 100, 100, src.hdc, box.left, box.top, INT_MAX, INT_MAX, SRCCOPY);
    ExpectWellFormed(dst.canvas, "BitBlt");
  }
}

}  // namespace
