#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "host/basilo/igis_log.h"
#include "host/tilemar/igis_tilingrule.h"
#include "tests/host/sferon/sferon_test_util.h"
#include "tests/support/logmark.h"

namespace {

using md::test::LogMark;

using md::test::Factory;
using md::test::RefPtr;

IGIS_TilingRule* Rule() { return GIS_GetTilingRuleManagerPtr()->GetTilingRule(GIS_TILINGRULE_NATIONAL); }

constexpr double kMinute = 1.0 / 60.0;
constexpr double kSecond = 1.0 / 3600.0;

struct SheetCase {
  const char* number;
  int scale;
  double west, east, north, south;
};

const SheetCase kSheets[] = {
    {"J50", 1000000, 114.0, 120.0, 40.0, 36.0},
    {"A01", 1000000, -180.0, -174.0, 4.0, 0.0},
    {"O60", 1000000, 174.0, 180.0, 60.0, 56.0},
    {"J50B001001", 500000, 114.0, 117.0, 40.0, 38.0},
    {"J50C004004", 250000, 118.5, 120.0, 37.0, 36.0},
    {"J50D001001", 100000, 114.0, 114.5, 40.0, 40.0 - 20 * kMinute},
    {"J50E001009", 50000, 116.0, 116.25, 40.0, 39.0 + 50 * kMinute},
    {"J50F048048", 25000, 120.0 - 7.5 * kMinute, 120.0, 36.0 + 5 * kMinute, 36.0},
    {"J50G096001", 10000, 114.0, 114.0 + 3 * kMinute + 45 * kSecond, 36.0 + 2.5 * kMinute, 36.0},
    {"J50H192192", 5000, 120.0 - 112.5 * kSecond, 120.0, 36.0 + 75 * kSecond, 36.0},
    {" j50e001009 ", 50000, 116.0, 116.25, 40.0, 39.0 + 50 * kMinute},
};

TEST(TilingRule, SheetNumbersOfEveryScaleGiveTheirExtents) {
  IGIS_TilingRule* rule = Rule();
  ASSERT_NE(rule, nullptr);
  EXPECT_EQ(rule->GetNumber(), GIS_TILINGRULE_NATIONAL);
  for (const SheetCase& c : kSheets) {
    SGIS_DRect b;
    ASSERT_TRUE(rule->GetSheetBounds(c.number, &b)) << c.number;
    EXPECT_NEAR(b.x1, c.west, 1e-12) << c.number;
    EXPECT_NEAR(b.x2, c.east, 1e-12) << c.number;
    EXPECT_NEAR(b.y1, c.north, 1e-12) << c.number;
    EXPECT_NEAR(b.y2, c.south, 1e-12) << c.number;
    EXPECT_EQ(rule->GetSheetScale(c.number), c.scale) << c.number;
  }
}

TEST(TilingRule, MalformedNumbersAreRefused) {
  IGIS_TilingRule* rule = Rule();
  const char* bad[] = {"",           "J5",         "J050",        "Z50",        "P50",         "J61",
                       "J00",        "J50A001001", "J50I001001",  "J50E000001", "J50E025001",  "J50E001025",
                       "J50B003001", "J50E0010O9", "J50E001009X", "J-50",       "J50 E001009", "５０"};
  for (const char* number : bad) {
    SGIS_DRect b(1, 2, 3, 4);
    LogMark mark;
    EXPECT_FALSE(rule->GetSheetBounds(number, &b)) << number;
    EXPECT_EQ(mark.Count(), 1u) << number;
    EXPECT_EQ(b, SGIS_DRect(1, 2, 3, 4)) << number;
    EXPECT_EQ(rule->GetSheetScale(number), 0) << number;
  }
  LogMark mark;
  SGIS_DRect b;
  EXPECT_FALSE(rule->GetSheetBounds(nullptr, &b));
  EXPECT_FALSE(rule->GetSheetBounds("J50", nullptr));
  EXPECT_EQ(mark.Count(), 2u);
}

TEST(TilingRule, ExtentInAProjectedReferenceCoversTheSheetOutline) {
  IGIS_TilingRule* rule = Rule();
  RefPtr cm117(Factory()->CreateSpatialReference(2));
  RefPtr geographic(Factory()->CreateSpatialReference(1));
  IGIS_CoordTransform* t = Factory()->CreateCoordTransform("t", "t", geographic.get(), cm117.get());
  // The outline's true bounding box from a fine sampling.
  double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
  const double w = 116.0, e = 116.25, s = 39.0 + 50 * kMinute, n = 40.0;
  for (int i = 0; i <= 1000; ++i) {
    const double f = i / 1000.0;
    const SGIS_DPoint edge[4] = {
        {w + f * (e - w), s, 0}, {w + f * (e - w), n, 0}, {w, s + f * (n - s), 0}, {e, s + f * (n - s), 0}};
    for (SGIS_DPoint p : edge) {
      ASSERT_TRUE(t->TransformPoint(1, &p, 1));
      minX = std::min(minX, p.x);
      maxX = std::max(maxX, p.x);
      minY = std::min(minY, p.y);
      maxY = std::max(maxY, p.y);
    }
  }
  t->Release();
  SGIS_Rect r;
  ASSERT_TRUE(rule->GetSheetExtent("J50E001009", cm117.get(), 1, &r));
  EXPECT_EQ(r.left, static_cast<int>(std::floor(minX)));
  EXPECT_EQ(r.right, static_cast<int>(std::ceil(maxX)));
  EXPECT_EQ(r.bottom, static_cast<int>(std::floor(minY)));
  EXPECT_EQ(r.top, static_cast<int>(std::ceil(maxY)));
  // West of the central meridian the sheet lies west of x 500 km, about 21 km wide.
  EXPECT_LT(r.right, 500000);
  EXPECT_NEAR(r.Width(), 21400, 200);
  // Ten minutes of latitude are 18.5 km; the turned meridians add a little.
  EXPECT_GT(r.Height(), 18500);
  EXPECT_LT(r.Height(), 18800);

  // Flag 0 takes the corners only: never wider than the outline's box.
  SGIS_Rect corners;
  ASSERT_TRUE(rule->GetSheetExtent("J50E001009", cm117.get(), 0, &corners));
  EXPECT_GE(corners.left, r.left);
  EXPECT_LE(corners.right, r.right);
  EXPECT_GE(corners.bottom, r.bottom);
  EXPECT_LE(corners.top, r.top);

  // In a geographic reference in degrees the extent is the sheet rounded outwards.
  ASSERT_TRUE(rule->GetSheetExtent("J50", geographic.get(), 1, &r));
  EXPECT_EQ(r, SGIS_Rect(114, 40, 120, 36));
}

TEST(TilingRule, RefusedExtentsAreAllZero) {
  IGIS_TilingRule* rule = Rule();
  RefPtr none(Factory()->CreateSpatialReference(0));
  RefPtr cm117(Factory()->CreateSpatialReference(2));
  struct Row {
    const char* number;
    IGIS_SpatialReference* reference;
  };
  for (const Row& row : {Row{"J50E001009", none.get()}, Row{"J50E001009", nullptr},
                         Row{"J50E00100", cm117.get()}, Row{nullptr, cm117.get()}}) {
    SGIS_Rect r(1, 2, 3, 4);
    LogMark mark;
    EXPECT_FALSE(rule->GetSheetExtent(row.number, row.reference, 1, &r));
    EXPECT_EQ(r, SGIS_Rect()) << (row.number ? row.number : "NULL");
    EXPECT_EQ(mark.Count(), 1u);
  }
  // A unit factor that puts the sheet beyond the integer range.
  RefPtr scaled(Factory()->CreateSpatialReference(2));
  scaled->SetUnitFactor(1e6);
  SGIS_Rect r(1, 2, 3, 4);
  EXPECT_FALSE(rule->GetSheetExtent("J50E001009", scaled.get(), 1, &r));
  EXPECT_EQ(r, SGIS_Rect());
}

TEST(TilingRule, ManagerKnowsOnlyTheNationalRule) {
  LogMark mark;
  EXPECT_EQ(GIS_GetTilingRuleManagerPtr()->GetTilingRule(19), nullptr);
  EXPECT_EQ(GIS_GetTilingRuleManagerPtr()->GetTilingRule(0), nullptr);
  EXPECT_EQ(mark.Count(), 2u);
  EXPECT_EQ(Rule(), GIS_GetTilingRuleManagerPtr()->GetTilingRule(20));
}

}  // namespace
