#include <gtest/gtest.h>

#include <vector>

#include "host/basilo/igis_geopointlist.h"
#include "tests/support/logmark.h"

using md::test::LogMark;

namespace {

std::vector<SGIS_Point> Points(const IGIS_GeoPointList* list) {
  std::vector<SGIS_Point> out;
  for (int i = 0; i < list->GetPointCount(); ++i) out.push_back(list->GetPoint(i));
  return out;
}

TEST(GeoPointList, EditingOperations) {
  auto* reference = reinterpret_cast<IGIS_SpatialReference*>(0x1000);  // opaque, never used
  IGIS_GeoPolyline* line = GIS_CreateGeoPolyLineObject(reference, 2);
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->GetSpatialReference(), reference);
  EXPECT_EQ(line->GetPointCount(), 0);

  ASSERT_TRUE(line->SetPointCount(2));
  EXPECT_EQ(Points(line), (std::vector<SGIS_Point>{{0, 0}, {0, 0}}));
  ASSERT_TRUE(line->SetPoint(0, {1, 1}));
  ASSERT_TRUE(line->SetPoint(1, {3, 3, 7}));
  ASSERT_TRUE(line->InsertPoint(1, {2, 2}));
  ASSERT_TRUE(line->InsertPoint(0, {0, 0}));
  ASSERT_TRUE(line->InsertPoint(4, {4, 4}));  // index == count appends
  EXPECT_EQ(Points(line), (std::vector<SGIS_Point>{{0, 0}, {1, 1}, {2, 2}, {3, 3, 7}, {4, 4}}));
  ASSERT_TRUE(line->RemovePoint(2));
  ASSERT_TRUE(line->RemovePoint(3));
  EXPECT_EQ(Points(line), (std::vector<SGIS_Point>{{0, 0}, {1, 1}, {3, 3, 7}}));
  ASSERT_TRUE(line->SetPointCount(2));  // keeps the first points
  EXPECT_EQ(Points(line), (std::vector<SGIS_Point>{{0, 0}, {1, 1}}));

  LogMark mark;
  EXPECT_FALSE(line->SetPoint(2, {9, 9}));
  EXPECT_FALSE(line->SetPoint(-1, {9, 9}));
  EXPECT_FALSE(line->InsertPoint(3, {9, 9}));
  EXPECT_FALSE(line->RemovePoint(2));
  EXPECT_EQ(line->GetPoint(5), SGIS_Point());
  EXPECT_FALSE(line->SetPointCount(-1));
  EXPECT_FALSE(line->CopyFrom(nullptr));
  EXPECT_EQ(mark.Count(), 7u);
  EXPECT_EQ(Points(line), (std::vector<SGIS_Point>{{0, 0}, {1, 1}}));

  line->Clear();
  EXPECT_EQ(line->GetPointCount(), 0);
  line->Release(0);
}

TEST(GeoPointList, CopyBetweenPolygonAndPolylineKeepsEachReference) {
  auto* refA = reinterpret_cast<IGIS_SpatialReference*>(0x1000);
  auto* refB = reinterpret_cast<IGIS_SpatialReference*>(0x2000);
  IGIS_GeoPolygon* ring = GIS_CreateGeoPolygonObject(refA, 2);
  ASSERT_TRUE(ring->SetPointCount(5));
  const std::vector<SGIS_Point> corners = {{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}};
  for (int i = 0; i < 5; ++i) ring->SetPoint(i, corners[static_cast<std::size_t>(i)]);

  IGIS_GeoPolyline* work = GIS_CreateGeoPolyLineObject(refB, 2);
  work->InsertPoint(0, {99, 99});
  ASSERT_TRUE(work->CopyFrom(ring));
  EXPECT_EQ(Points(work), corners);
  EXPECT_EQ(work->GetSpatialReference(), refB);
  ASSERT_TRUE(work->CopyFrom(work));
  EXPECT_EQ(Points(work), corners);

  work->RemovePoint(0);
  IGIS_GeoPolygon* copy = GIS_CreateGeoPolygonObject(ring->GetSpatialReference(), 2);
  ASSERT_TRUE(copy->CopyFrom(work));
  EXPECT_EQ(copy->GetPointCount(), 4);
  EXPECT_EQ(Points(ring), corners);  // the source is untouched
  copy->Release(0);
  work->Release(0);
  ring->Release(0);
}

}  // namespace
