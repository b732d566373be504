// Geometry of every feature kind: what each kind accepts, the points it
// returns and the bound it reports.
#include <gtest/gtest.h>

#include <vector>

#include "tests/host/featra/featratest.h"

using namespace md::test;

namespace {

std::vector<SGIS_Point> PointsOf(IGIS_Geometry* g) {
  std::vector<SGIS_Point> p(static_cast<std::size_t>(g->GetPointCount()));
  EXPECT_EQ(g->GetPoints(static_cast<int>(p.size()), p.data(), 0, 0), static_cast<int>(p.size()));
  return p;
}

}  // namespace

TEST(FeatureGeometry, RectangleRingIsClosedAndNormalised) {
  SetPtr set = NewSet();
  for (int kind : {GIS_FEATURE_KIND_RECTANGLE, GIS_FEATURE_KIND_POLYGON, GIS_FEATURE_KIND_POLYLINE}) {
    IGIS_Feature* f = set->GetFeatureClass()->CreateFeature(kind, 0);
    // Given upside down and right to left: left 300, top -20, right 100, bottom 80.
    ASSERT_TRUE(f->GetGeometry()->SetRect(SGIS_Rect(300, -20, 100, 80), 0)) << kind;
    const std::vector<SGIS_Point> expected = {{100, -20}, {300, -20}, {300, 80}, {100, 80}, {100, -20}};
    EXPECT_EQ(PointsOf(f->GetGeometry()), expected) << kind;
    SGIS_Rect bound;
    ASSERT_TRUE(f->GetBound(&bound, 1, 0));
    EXPECT_EQ(bound, SGIS_Rect(100, 80, 300, -20)) << kind;
    // A reader with room for fewer points gets the first ones.
    SGIS_Point two[2];
    EXPECT_EQ(f->GetGeometry()->GetPoints(2, two, 0, 0), 2);
    EXPECT_EQ(two[1], SGIS_Point(300, -20));
  }
}

TEST(FeatureGeometry, PointListEditing) {
  SetPtr set = NewSet();
  IGIS_Geometry* g = set->GetFeatureClass()->CreateFeature(GIS_FEATURE_KIND_POLYLINE, 0)->GetGeometry();
  EXPECT_TRUE(g->InsertPoint(0, SGIS_Point(1, 1), 0));
  EXPECT_TRUE(g->InsertPoint(1, SGIS_Point(3, 3), 0));   // index == count appends
  EXPECT_TRUE(g->InsertPoint(1, SGIS_Point(2, 2), 0));   // in the middle
  EXPECT_FALSE(g->InsertPoint(5, SGIS_Point(9, 9), 0));  // beyond the end
  EXPECT_FALSE(g->InsertPoint(-1, SGIS_Point(9, 9), 0));
  EXPECT_EQ(PointsOf(g), (std::vector<SGIS_Point>{{1, 1}, {2, 2}, {3, 3}}));

  // Growing keeps the points and adds zero points; shrinking cuts the tail.
  EXPECT_TRUE(g->SetPointCount(5));
  EXPECT_EQ(PointsOf(g), (std::vector<SGIS_Point>{{1, 1}, {2, 2}, {3, 3}, {0, 0}, {0, 0}}));
  EXPECT_TRUE(g->SetPoint(4, SGIS_Point(-8, 40, 2), 0));
  EXPECT_TRUE(g->SetPointCount(4));
  EXPECT_EQ(g->GetPointCount(), 4);
  EXPECT_FALSE(g->SetPointCount(-1));
  EXPECT_FALSE(g->SetPointCount(GIS_GEOMETRY_MAX_POINTS + 1));
  EXPECT_EQ(g->GetPointCount(), 4);

  LogMark mark;
  EXPECT_FALSE(g->SetPoint(4, SGIS_Point(1, 1), 0));
  EXPECT_EQ(g->GetPoint(7, 0), SGIS_Point());
  EXPECT_EQ(g->GetPoints(-1, nullptr, 0, 0), -1);
  EXPECT_TRUE(mark.Has(3, "CGIS_Geometry::GetPoint"));
  EXPECT_TRUE(mark.Has(3, "CGIS_Geometry::SetPoint"));
}

TEST(FeatureGeometry, KindsRefuseWhatTheyCannotHold) {
  SetPtr set = NewSet();
  IGIS_FeatureClass* cls = set->GetFeatureClass();
  IGIS_Geometry* point = cls->CreateFeature(GIS_FEATURE_KIND_POINT, 0)->GetGeometry();
  EXPECT_TRUE(point->SetPointCount(1));
  EXPECT_FALSE(point->SetPointCount(2));
  EXPECT_FALSE(point->InsertPoint(1, SGIS_Point(1, 1), 0));
  EXPECT_FALSE(point->SetRect(SGIS_Rect(0, 10, 10, 0), 0));
  EXPECT_EQ(point->GetPointCount(), 1);

  IGIS_Geometry* ellipse = cls->CreateFeature(GIS_FEATURE_KIND_ELLIPSE, 0)->GetGeometry();
  EXPECT_FALSE(ellipse->SetPointCount(3));
  EXPECT_FALSE(ellipse->InsertPoint(0, SGIS_Point(1, 1), 0));
  EXPECT_EQ(ellipse->GetPointCount(), 0);

  IGIS_Geometry* polygon = cls->CreateFeature(GIS_FEATURE_KIND_POLYGON, 0)->GetGeometry();
  EXPECT_FALSE(polygon->SetEllipse(SGIS_Rect(0, 10, 10, 0), 0));
  EXPECT_EQ(polygon->GetPointCount(), 0);

  IGIS_Geometry* compound = cls->CreateFeature(GIS_FEATURE_KIND_COMPOUND, 0)->GetGeometry();
  EXPECT_FALSE(compound->SetPointCount(1));
  EXPECT_FALSE(compound->SetRect(SGIS_Rect(0, 10, 10, 0), 0));

  for (int kind : {0, 3, 8, 32, 2048, -1}) EXPECT_EQ(cls->CreateFeature(kind, 0), nullptr) << kind;
}

TEST(FeatureGeometry, EllipseKeepsNormalisedBound) {
  SetPtr set = NewSet();
  IGIS_Feature* f = set->GetFeatureClass()->CreateFeature(GIS_FEATURE_KIND_ELLIPSE, 0);
  SGIS_Rect r;
  EXPECT_FALSE(f->GetGeometry()->GetBound(&r, 0, 0));  // nothing set yet
  EXPECT_EQ(r, SGIS_Rect());
  ASSERT_TRUE(f->GetGeometry()->SetEllipse(SGIS_Rect(500, 100, -500, 900), 0));
  ASSERT_TRUE(f->GetGeometry()->GetBound(&r, 0, 0));
  EXPECT_EQ(r, SGIS_Rect(-500, 900, 500, 100));
  // SetRect on an ellipse sets the same bounding rectangle.
  ASSERT_TRUE(f->GetGeometry()->SetRect(SGIS_Rect(0, 10, 20, 0), 0));
  ASSERT_TRUE(f->GetBound(&r, 1, 0));
  EXPECT_EQ(r, SGIS_Rect(0, 10, 20, 0));
}

TEST(FeatureGeometry, BoundOfPointListsAndEmptyGeometry) {
  SetPtr set = NewSet();
  IGIS_Feature* f = set->GetFeatureClass()->CreateFeature(GIS_FEATURE_KIND_POLYGON, 0);
  SGIS_Rect r(1, 2, 3, 4);
  EXPECT_FALSE(f->GetBound(&r, 1, 0));
  EXPECT_EQ(r, SGIS_Rect());
  f->GetGeometry()->InsertPoint(0, SGIS_Point(-5, 7), 0);
  f->GetGeometry()->InsertPoint(1, SGIS_Point(12, -3), 0);
  f->GetGeometry()->InsertPoint(2, SGIS_Point(4, 30), 0);
  ASSERT_TRUE(f->GetBound(&r, 1, 0));
  EXPECT_EQ(r, SGIS_Rect(-5, 30, 12, -3));
  EXPECT_FALSE(f->GetBound(nullptr, 1, 0));
}
