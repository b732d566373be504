// The map view: map points to device and back, with rotation and at several
// scales; the device rectangle a known extent fills; refused settings.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

#include "host/helmora/cgis_mapview.h"
#include "tests/support/logmark.h"

namespace {

using md::test::LogMark;

struct ViewCase {
  const char* name;
  SGIS_Rect device;
  SGIS_DRect extent;
  double angle;
};

void PrintTo(const ViewCase& c, std::ostream* os) { *os << c.name; }

class MapViewRoundTrip : public ::testing::TestWithParam<ViewCase> {};

TEST_P(MapViewRoundTrip, MapPointToDeviceAndBackWithin1e9) {
  const ViewCase& c = GetParam();
  CGIS_MapView view;
  ASSERT_TRUE(view.SetDeviceRect(c.device));
  ASSERT_TRUE(view.ZoomToExtent(c.extent, 0, nullptr, 0));
  ASSERT_TRUE(view.SetRotateAngle(c.angle, 1));
  const double w = c.extent.x2 - c.extent.x1;
  const double h = c.extent.y2 - c.extent.y1;
  for (int i = 0; i <= 10; ++i) {
    for (int j = 0; j <= 10; ++j) {
      const SGIS_DPoint p(c.extent.x1 + w * i / 10.0 + 0.123, c.extent.y1 + h * j / 10.0 - 0.377);
      const SGIS_DPoint d = view.PageToDevicePoint(p, nullptr);
      const SGIS_DPoint back = view.DeviceToPagePoint(d, nullptr);
      EXPECT_NEAR(back.x, p.x, 1e-9) << i << "," << j;
      EXPECT_NEAR(back.y, p.y, 1e-9) << i << "," << j;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Scales, MapViewRoundTrip,
    ::testing::Values(
        // a 1:50,000 sheet in metres on a 300-dpi page, level and turned
        ViewCase{"Sheet50kLevel", SGIS_Rect(0, 0, 2400, 2200), SGIS_DRect(413000, 4411000, 435000, 4429000),
                 0.0},
        ViewCase{"Sheet50kTurned", SGIS_Rect(0, 0, 2400, 2200), SGIS_DRect(413000, 4411000, 435000, 4429000),
                 17.5},
        ViewCase{"Sheet50kQuarterTurn", SGIS_Rect(100, 50, 900, 650),
                 SGIS_DRect(413000, 4411000, 435000, 4429000), -90.0},
        // degrees at about 1:1,000,000
        ViewCase{"DegreesTurned", SGIS_Rect(0, 0, 800, 600), SGIS_DRect(115.0, 39.0, 118.0, 41.5), 33.0},
        // a printing context's logical units (y up)
        ViewCase{"PrinterHalfTurn", SGIS_Rect(2000, -2000, 18000, -14000), SGIS_DRect(-5, -5, 5, 5), 180.0},
        ViewCase{"PrinterOddTurn", SGIS_Rect(2000, -2000, 18000, -14000),
                 SGIS_DRect(1e6, 3e6, 1.001e6, 3.002e6), 271.25}),
    [](const ::testing::TestParamInfo<ViewCase>& info) { return std::string(info.param.name); });

TEST(MapView, KnownExtentFillsTheDeviceRectangle) {
  CGIS_MapView view;
  ASSERT_TRUE(view.SetDeviceRect(SGIS_Rect(0, 0, 1000, 500)));
  ASSERT_TRUE(view.ZoomToExtent(SGIS_DRect(0, 100, 200, 0), 0, nullptr, 0));
  // 200 x 100 map units into 1000 x 500 pixels: 5 pixels per unit, y down.
  EXPECT_DOUBLE_EQ(view.GetResolution(), 5.0);
  const SGIS_DRect d = view.PageToDeviceRect(SGIS_DRect(0, 100, 200, 0), nullptr);
  EXPECT_DOUBLE_EQ(d.x1, 0.0);
  EXPECT_DOUBLE_EQ(d.y1, 0.0);
  EXPECT_DOUBLE_EQ(d.x2, 1000.0);
  EXPECT_DOUBLE_EQ(d.y2, 500.0);
  const SGIS_Rect i = view.PageToDeviceRect(SGIS_Rect(50, 75, 150, 25), nullptr);
  EXPECT_EQ(i, SGIS_Rect(250, 125, 750, 375));
  // A wider extent keeps its width and shows more height.
  ASSERT_TRUE(view.ZoomToExtent(SGIS_DRect(0, 10, 400, 0), 0, nullptr, 0));
  SGIS_DRect shown;
  view.GetExtent(&shown);
  EXPECT_DOUBLE_EQ(shown.x1, 0.0);
  EXPECT_DOUBLE_EQ(shown.x2, 400.0);
  EXPECT_DOUBLE_EQ(shown.y1, 105.0);
  EXPECT_DOUBLE_EQ(shown.y2, -95.0);
}

TEST(MapView, RotationTurnsCounterClockwiseAboutTheCentre) {
  CGIS_MapView view;
  ASSERT_TRUE(view.SetDeviceRect(SGIS_Rect(0, 0, 100, 100)));
  ASSERT_TRUE(view.ZoomToExtent(SGIS_DRect(-10, 10, 10, -10), 0, nullptr, 0));
  ASSERT_TRUE(view.SetRotateAngle(90.0, 1));
  // East of the centre turns to north: up on a y-down device.
  const SGIS_DPoint d = view.PageToDevicePoint(SGIS_DPoint(10, 0), nullptr);
  EXPECT_NEAR(d.x, 50.0, 1e-9);
  EXPECT_NEAR(d.y, 0.0, 1e-9);
  // On a y-up device north is up too.
  ASSERT_TRUE(view.SetDeviceRect(SGIS_Rect(0, 100, 100, 0)));
  const SGIS_DPoint u = view.PageToDevicePoint(SGIS_DPoint(10, 0), nullptr);
  EXPECT_NEAR(u.x, 50.0, 1e-9);
  EXPECT_NEAR(u.y, 100.0, 1e-9);
}

TEST(MapView, BadSettingsLeaveTheViewAsItWas) {
  CGIS_MapView view;
  ASSERT_TRUE(view.SetDeviceRect(SGIS_Rect(0, 0, 100, 100)));
  ASSERT_TRUE(view.ZoomToExtent(SGIS_DRect(0, 10, 10, 0), 0, nullptr, 0));
  const SGIS_DPoint before = view.PageToDevicePoint(SGIS_DPoint(3, 4), nullptr);
  LogMark mark;
  EXPECT_FALSE(view.SetDeviceRect(SGIS_Rect(10, 10, 10, 50)));
  EXPECT_FALSE(view.SetDeviceRect(SGIS_Rect(10, 10, 90, 10)));
  EXPECT_FALSE(view.ZoomToExtent(SGIS_DRect(0, NAN, 10, 0), 0, nullptr, 0));
  EXPECT_FALSE(view.ZoomToExtent(SGIS_DRect(0, INFINITY, 10, 0), 0, nullptr, 0));
  EXPECT_FALSE(view.ZoomToExtent(SGIS_DRect(5, 10, 5, 0), 0, nullptr, 0));
  EXPECT_FALSE(view.SetRotateAngle(NAN, 1));
  EXPECT_FALSE(view.SetScale(0.0));
  EXPECT_FALSE(view.SetReferenceScale(-1.0));
  EXPECT_GE(mark.Count(), 6u);
  const SGIS_DPoint after = view.PageToDevicePoint(SGIS_DPoint(3, 4), nullptr);
  EXPECT_EQ(after.x, before.x);
  EXPECT_EQ(after.y, before.y);
  EXPECT_EQ(view.GetRotateAngle(), 0.0);
}

TEST(MapView, SymbolsFollowTheReferenceScale) {
  CGIS_MapView view;
  EXPECT_DOUBLE_EQ(view.GetSymbolRatio(), 1.0);
  ASSERT_TRUE(view.SetReferenceScale(50000.0));
  EXPECT_DOUBLE_EQ(view.GetSymbolRatio(), 1.0);  // scale not known yet: real size
  ASSERT_TRUE(view.SetReferenceScale(0.0));
  ASSERT_TRUE(view.SetScale(100000.0));
  EXPECT_DOUBLE_EQ(view.GetSymbolRatio(), 1.0);  // no reference scale: real size
  ASSERT_TRUE(view.SetReferenceScale(50000.0));
  EXPECT_DOUBLE_EQ(view.GetSymbolRatio(), 0.5);
  ASSERT_TRUE(view.SetScale(1.0));  // a scale from a map without layers
  EXPECT_DOUBLE_EQ(view.GetSymbolRatio(), 32.0);
  view.BeginUpdate();
  view.BeginUpdate();
  view.EndUpdate();
  EXPECT_TRUE(view.IsUpdating());
  view.EndUpdate();
  view.EndUpdate();  // unbalanced: ignored
  EXPECT_FALSE(view.IsUpdating());
  view.Refresh();
  EXPECT_EQ(view.GetRefreshCount(), 1);
}

}  // namespace
