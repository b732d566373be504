// Finding a vector layer by name through group layers.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "layout/graphicelement/element/mapdeckdrawer.h"

namespace {

struct Layer {
  std::string type, name;
  std::vector<Layer*> children;
  const char* GetType() { return type.c_str(); }
  const char* GetName() { return name.c_str(); }
  int GetLayerCount() { return static_cast<int>(children.size()); }
  Layer* GetLayer(int i) { return children[static_cast<std::size_t>(i)]; }
};

struct Map {
  std::vector<Layer*> layers;
  int GetLayerCount() { return static_cast<int>(layers.size()); }
  Layer* GetLayer(int i) { return layers[static_cast<std::size_t>(i)]; }
};

TEST(VectorDrawer, FirstExactMatchDepthFirstThroughGroups) {
  Layer roads1{"GIS_DRAWER_VECTOR", "道路", {}};
  Layer roads2{"GIS_DRAWER_VECTOR_COMPOUND", "道路", {}};
  Layer image{"GIS_DRAWER_RASTER", "水系", {}};
  Layer water{"GIS_DRAWER_VECTOR_COMPOUND", "水系", {}};
  Layer inner{"GIS_DRAWER_GROUP", "inner", {nullptr, &roads1}};
  Layer group{"GIS_DRAWER_GROUP", "道路", {&image, &inner}};  // a group is no answer itself
  Map map{{&group, &roads2, &water}};

  EXPECT_EQ(FindVectorDrawer(&map, "道路"), &roads1);  // inside the group, before the later sibling
  EXPECT_EQ(FindVectorDrawer(&map, "水系"), &water);   // the raster of that name is skipped
  EXPECT_EQ(FindVectorDrawer(&map, "道"), nullptr);
  EXPECT_EQ(FindVectorDrawer(&map, "道路 "), nullptr);
  EXPECT_EQ(FindVectorDrawer(&map, nullptr), nullptr);
  EXPECT_EQ(FindVectorDrawer(static_cast<Map*>(nullptr), "道路"), nullptr);
}

TEST(VectorDrawer, DeepGroupsEndTheSearch) {
  std::vector<std::unique_ptr<Layer>> groups;
  Layer target{"GIS_DRAWER_VECTOR", "deep", {}};
  Layer* child = &target;
  for (int i = 0; i < 200; ++i) {
    groups.push_back(std::make_unique<Layer>(Layer{"GIS_DRAWER_GROUP", "g", {child}}));
    child = groups.back().get();
  }
  Map map{{child}};
  EXPECT_EQ(FindVectorDrawer(&map, "deep"), nullptr);
  Map shallow{{groups[10].get()}};
  EXPECT_EQ(FindVectorDrawer(&shallow, "deep"), &target);
}

TEST(VectorDrawerIndex, AnswersAsTheWalkForEveryName) {
  std::vector<std::unique_ptr<Layer>> deep;
  Layer buried{"GIS_DRAWER_VECTOR", "buried", {}};
  Layer* child = &buried;
  for (int i = 0; i < 70; ++i) {
    deep.push_back(std::make_unique<Layer>(Layer{"GIS_DRAWER_GROUP", "g", {child}}));
    child = deep.back().get();
  }
  Layer roads1{"GIS_DRAWER_VECTOR", "道路", {}};
  Layer roads2{"GIS_DRAWER_VECTOR_COMPOUND", "道路", {}};
  Layer image{"GIS_DRAWER_RASTER", "水系", {}};
  Layer water{"GIS_DRAWER_VECTOR_COMPOUND", "水系", {}};
  Layer inner{"GIS_DRAWER_GROUP", "inner", {nullptr, &roads1}};
  Layer group{"GIS_DRAWER_GROUP", "道路", {&image, &inner}};
  Map map{{&group, &roads2, nullptr, &water, child}};
  const VectorDrawerIndex<Map> index(&map);
  EXPECT_EQ(index.Map(), &map);
  for (const char* szName : {"道路", "水系", "inner", "道", "道路 ", "", "buried", "g"}) {
    SCOPED_TRACE(szName);
    EXPECT_EQ(index.Find(szName), FindVectorDrawer(&map, szName));
  }
  EXPECT_EQ(index.Find("道路"), &roads1);
  EXPECT_EQ(index.Find(nullptr), nullptr);
  EXPECT_EQ(VectorDrawerIndex<Map>(nullptr).Find("道路"), nullptr);
}

}  // namespace
