// Device points for the scope's units in one pass, and pens and brushes made
// once for a run of shapes.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "host/tinctor/gis_devicescope.h"
#include "platform/canvas/recording.h"
#include "platform/win/gdidevice.h"

namespace {

TEST(DeviceScopePoints, OnePassGivesWhatTheTwoStepsGive) {
  md::canvas::RecordingCanvas canvas(200, 200);
  HDC dc = md::win::CreateScreenDC(&canvas, 96, &md::text::FixedMetricsEngine());
  ASSERT_NE(dc, nullptr);
  const struct {
    const char* what;
    int mapMode;
    SIZE window, viewport;
    POINT windowOrg;
  } rows[] = {
      {"device units", MM_TEXT, {1, 1}, {1, 1}, {0, 0}},
      {"scaled and moved", MM_ANISOTROPIC, {3, 7}, {2, -5}, {-11, 4}},
      {"enlarged", MM_ANISOTROPIC, {1, 1}, {4096, 4096}, {0, 0}},
  };
  const std::vector<POINT> points = {{0, 0},       {1, -1},          {17, 23},          {-1000, 999},
                                     {123456, -7}, {INT_MAX / 3, 5}, {INT_MIN / 3, -5}, {2, 3}};
  for (const auto& r : rows) {
    SetMapMode(dc, r.mapMode);
    SetWindowExtEx(dc, r.window.cx, r.window.cy, nullptr);
    SetViewportExtEx(dc, r.viewport.cx, r.viewport.cy, nullptr);
    SetWindowOrgEx(dc, r.windowOrg.x, r.windowOrg.y, nullptr);
    const std::vector<POINT> twoSteps =
        md::tinctor::ToPoints(md::tinctor::ToDevice(dc, points.data(), static_cast<int>(points.size())));
    std::vector<POINT> onePass = {{9, 9}};  // replaced
    md::tinctor::ToScopePoints(dc, points.data(), static_cast<int>(points.size()), &onePass);
    ASSERT_EQ(onePass.size(), twoSteps.size()) << r.what;
    for (size_t i = 0; i < points.size(); ++i) {
      EXPECT_EQ(onePass[i].x, twoSteps[i].x) << r.what << " " << i;
      EXPECT_EQ(onePass[i].y, twoSteps[i].y) << r.what << " " << i;
    }
  }
  DeleteDC(dc);
}

TEST(PenBrushSet, MakesEachPenAndBrushOnceAndGivesTheContextItsOwnBack) {
  md::canvas::RecordingCanvas canvas(100, 100);
  HDC dc = md::win::CreateScreenDC(&canvas, 96, &md::text::FixedMetricsEngine());
  ASSERT_NE(dc, nullptr);
  const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH);
  const std::size_t before = md::win::LiveObjectCount();
  {
    md::tinctor::PenBrushSet set(dc);
    const struct {
      bool pen;
      COLORREF penColor;
      double width;
      bool brush;
      COLORREF brushColor;
      std::size_t made;  // live objects after the selection
    } rows[] = {
        {true, RGB(255, 0, 0), 2.0, true, RGB(0, 0, 255), 2},
        {false, 0, 0, true, RGB(0, 0, 255), 2},
        {true, RGB(255, 0, 0), 2.0, false, 0, 2},
        {true, RGB(255, 0, 0), 3.0, true, RGB(0, 255, 0), 4},
        {true, RGB(255, 0, 0), 2.0, true, RGB(0, 255, 0), 4},
    };
    for (const auto& r : rows) {
      set.Select(r.pen, r.penColor, r.width, r.brush, r.brushColor);
      EXPECT_EQ(md::win::LiveObjectCount() - before, r.made);
      EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN) == GetStockObject(NULL_PEN), !r.pen);
      EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH) == GetStockObject(NULL_BRUSH), !r.brush);
    }
  }
  EXPECT_EQ(md::win::LiveObjectCount(), before);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
  DeleteDC(dc);
}

}  // namespace
