// Binding a map by name through the host's document, the main controller
// and its component list, and what an unknown name leaves.
#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/layout/graphicelement/mapframe/mapframetest.h"
#include "tests/support/oddfiles.h"

namespace {

using md::test::LogMark;
using md::test::MapFramePage;
using md::test::Probe;
using md::test::Screen;

using MapFrameBinding = MapFramePage;

TEST_F(MapFrameBinding, ANameOfTheDocumentBindsItsMap) {
  CGIS_MapElement* f = NewFrame();
  Probe probe;
  f->Attach(&probe, 0);
  f->SetMapName("测试地图");
  ASSERT_EQ(f->GetMap(), map_);
  EXPECT_STREQ(f->GetMapName(), "测试地图");
  EXPECT_EQ(probe.Count(GIS_MESSAGE_ELEMENT_MAPELEMENT_MAP_CHANGED), 1);
  EXPECT_EQ(f->GetSpatialReference()->GetKind(), GIS_SPATIALREFERENCE_PROJECTED);
  // The bound starts from the map's full extent rounded to whole map units,
  // widened to the frame's proportions (10000 x 5000 page units).
  SGIS_DRect full;
  map_->GetFullExtent(&full, 0);
  SGIS_DRect bound;
  f->GetMapBound(&bound);
  EXPECT_NEAR((bound.x1 + bound.x2) / 2, (std::round(full.x1) + std::round(full.x2)) / 2, 1e-6);
  EXPECT_NEAR(bound.Width() / bound.Height(), 2.0, 1e-12);
  EXPECT_NEAR(bound.Height(), std::fabs(std::round(full.y1) - std::round(full.y2)), 1e-6);
  // The clip polygon is the bound's ring.
  IGIS_GeoPolygon* clip = f->GetClipPolygonPtr();
  ASSERT_NE(clip, nullptr);
  ASSERT_EQ(clip->GetPointCount(), 5);
  EXPECT_EQ(clip->GetPoint(0), clip->GetPoint(4));
  EXPECT_EQ(clip->GetPoint(1).x, static_cast<int>(bound.x1));
  EXPECT_EQ(clip->GetPoint(2).y, static_cast<int>(bound.y1));
  // The same name again changes nothing and sends nothing.
  f->SetMapName("测试地图");
  f->SetMap(map_);
  EXPECT_EQ(probe.Count(GIS_MESSAGE_ELEMENT_MAPELEMENT_MAP_CHANGED), 1);
  f->Detach(&probe, 0);
}

TEST_F(MapFrameBinding, TheWorldRectangleOfTheMapWins) {
  IGIS_Field* world =
      map_->GetPropertySet()->AddProperty(GIS_DISP_WORLD_RECT, "world", GIS_FIELD_TYPE_BUFFER, 1);
  const std::int32_t rect[4] = {400000, 440000, 4430000, 4400000};  // left, right, top, bottom
  world->GetDataBuffer()->SetSize(16);
  std::memcpy(world->GetDataBuffer()->GetData(), rect, 16);
  CGIS_MapElement* f = NewFrame(SGIS_Rect(0, 3000, 4000, 0));  // 4 : 3, like the world rectangle
  f->SetMap(map_);
  SGIS_DRect bound;
  f->GetMapBound(&bound);
  EXPECT_DOUBLE_EQ(bound.x1, 400000);
  EXPECT_DOUBLE_EQ(bound.x2, 440000);
  EXPECT_DOUBLE_EQ(bound.y1, 4430000);
  EXPECT_DOUBLE_EQ(bound.y2, 4400000);
}

TEST_F(MapFrameBinding, AWorldRectangleTooShortToHoldOneIsNotRead) {
  IGIS_Field* world =
      map_->GetPropertySet()->AddProperty(GIS_DISP_WORLD_RECT, "world", GIS_FIELD_TYPE_BUFFER, 1);
  const std::int32_t half[2] = {400000, 440000};
  world->GetDataBuffer()->SetSize(8);
  std::memcpy(world->GetDataBuffer()->GetData(), half, 8);
  CGIS_MapElement* f = NewFrame(SGIS_Rect(0, 3000, 4000, 0));
  f->SetMap(map_);
  // The full extent is taken instead, rounded to whole map units.
  SGIS_DRect full, bound;
  map_->GetFullExtent(&full, 0);
  f->GetMapBound(&bound);
  EXPECT_NEAR((bound.x1 + bound.x2) / 2, (std::round(full.x1) + std::round(full.x2)) / 2, 1e-6);
  EXPECT_NEAR((bound.y1 + bound.y2) / 2, (std::round(full.y1) + std::round(full.y2)) / 2, 1e-6);
  EXPECT_GT(bound.x1, 400000.0);
}

TEST_F(MapFrameBinding, AnUnknownNameLeavesAFrameThatDrawsItselfOnly) {
  CGIS_MapElement* f = NewFrame();
  f->SetMapName("测试地图");
  LogMark mark;
  f->SetMapName("没有的地图");
  EXPECT_EQ(f->GetMap(), nullptr);
  EXPECT_STREQ(f->GetMapName(), "没有的地图");
  EXPECT_TRUE(mark.Has(3, "CGIS_MapElement::SetMapName", "FindMap(没有的地图) == NULL"));

  Screen screen;
  EXPECT_TRUE(f->OnDraw(screen.hdc, false, &screen.display));
  // The frame's border is drawn (twice: under and over the map's place);
  // no polygon of the map's water area is.
  const auto shapes = screen.canvas.recordsOf(md::canvas::Record::Type::Shape);
  EXPECT_FALSE(shapes.empty());
  for (const md::canvas::Record* r : shapes) EXPECT_NE(r->brush.color, RGB(120, 170, 230));
}

TEST_F(MapFrameBinding, AStoredNameThatNoMapHasIsKeptAsStored) {
  CGIS_MapElement* f = NewFrame();
  f->SetMapName("测试地图");
  ASSERT_TRUE(f->Archive(0, 0));
  ASSERT_TRUE(map_->SetName("改名的地图"));
  EXPECT_STREQ(f->GetMapName(), "改名的地图");  // the bound frame follows the rename
  ASSERT_TRUE(map_->SetName("测试地图2"));
  auto* g = new CGIS_MapElement(set_, f->GetFeaturePtr());
  frames_.push_back(g);
  LogMark mark;
  ASSERT_TRUE(g->Archive(1, 0));
  EXPECT_EQ(g->GetMap(), nullptr);
  EXPECT_STREQ(g->GetMapName(), "测试地图");
  EXPECT_TRUE(mark.Has(3, "CGIS_MapElement::Archive", "FindMap(测试地图) == NULL"));
  ASSERT_TRUE(g->Archive(0, 0));
  IGIS_PropertySet* custom = CustomOf(g);
  EXPECT_STREQ(custom->GetProperty("MapName")->GetString(), "测试地图");
  custom->Release();
}

TEST_F(MapFrameBinding, AFrameThatNamesNoMapShowsTheFirstOneWhenRead) {
  CGIS_MapElement* f = NewFrame();
  ASSERT_TRUE(f->Archive(0, 0));
  ASSERT_TRUE(f->Archive(1, 0));
  EXPECT_EQ(f->GetMap(), map_);
  EXPECT_STREQ(f->GetMapName(), "测试地图");
}

TEST_F(MapFrameBinding, WithoutTheLayoutLayerNothingIsBound) {
  set_->SetMapLayer(nullptr);
  CGIS_MapElement* f = NewFrame();
  LogMark mark;
  f->SetMapName("测试地图");
  EXPECT_EQ(f->GetMap(), nullptr);
  EXPECT_STREQ(f->GetMapName(), "测试地图");
  ASSERT_TRUE(f->Archive(0, 0));
  EXPECT_TRUE(f->Archive(1, 0));
  // One record, on the first call that failed, for the whole page.
  ASSERT_EQ(mark.Count(), 1u);
  EXPECT_TRUE(mark.Has(3, "CGIS_MapElement::SetMapName"));
}

TEST_F(MapFrameBinding, UnbindingAnnouncesItselfAndDropsTheReference) {
  CGIS_MapElement* f = NewFrame();
  Probe probe;
  f->Attach(&probe, 0);
  IGIS_SpatialReference* own = f->GetSpatialReference();
  f->SetMap(nullptr);  // nothing bound: nothing changes, but it is announced once
  EXPECT_EQ(probe.Count(GIS_MESSAGE_ELEMENT_MAPELEMENT_MAP_CHANGED), 1);
  EXPECT_EQ(f->GetSpatialReference(), own);
  f->SetMap(map_);
  f->SetMap(nullptr);
  EXPECT_EQ(probe.Count(GIS_MESSAGE_ELEMENT_MAPELEMENT_MAP_CHANGED), 3);
  EXPECT_EQ(f->GetMap(), nullptr);
  EXPECT_EQ(f->GetSpatialReference(), nullptr);
  EXPECT_EQ(f->GetRotateAngle(), 0.0);
  // A later rename of the map no longer reaches the frame.
  ASSERT_TRUE(map_->SetName("别名"));
  EXPECT_STREQ(f->GetMapName(), "测试地图");
  f->Detach(&probe, 0);
}

TEST_F(MapFrameBinding, AReleasedFrameNoLongerHearsItsMap) {
  CGIS_MapElement* f = NewFrame();
  f->SetMapName("测试地图");
  ReleaseFrame(f);
  // Were the frame still attached, these would reach freed memory.
  EXPECT_TRUE(map_->SetName("别名"));
  IGIS_SpatialReference* geo = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(1);
  EXPECT_TRUE(map_->SetSpatialReference(geo));
  geo->Release();
}

TEST_F(MapFrameBinding, TheMainControllerIsMadeOnceAndHoldsTheMap) {
  CGIS_MapElement* f = NewFrame();
  f->SetMapName("测试地图");
  IGIS_MainObject* main = f->GetMainObject();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->GetMap(), map_);
  EXPECT_EQ(f->GetMainObject(), main);
}

// The component list: one name per line, its first word, beside the program.
TEST(MapFrameComponents, EachListedComponentIsRegistered) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("mapframe-components-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  IGIS_MainObject* main = HM_CreateMainObject(0);
  // No list: nothing registered.
  EXPECT_FALSE(CGIS_MapElement::RegisterComponentsOfFolder(main, dir.string()));
  EXPECT_EQ(main->GetComponentCount(), 0);
  std::ofstream(dir / "a.so") << "a";
  std::ofstream(dir / "b.so") << "b";
  {
    std::ofstream list(dir / "othercomponents.cfg");
    list << "a.so  the first\n\n   \n\tb.so\nmissing.so\n";
  }
  // One component cannot be read: FALSE, the others registered.
  EXPECT_FALSE(CGIS_MapElement::RegisterComponentsOfFolder(main, dir.string()));
  ASSERT_EQ(main->GetComponentCount(), 2);
  EXPECT_EQ(std::string(main->GetComponent(0)), (dir / "a.so").string());
  EXPECT_EQ(std::string(main->GetComponent(1)), (dir / "b.so").string());
  {
    std::ofstream list(dir / "othercomponents.cfg");
    list << "a.so\nb.so\n";
  }
  EXPECT_TRUE(CGIS_MapElement::RegisterComponentsOfFolder(main, dir.string()));
  EXPECT_FALSE(CGIS_MapElement::RegisterComponentsOfFolder(nullptr, dir.string()));
  // A list that is a pipe, a folder or too large is not read, and a pipe
  // named as a component is not registered; nothing waits.
  const md::test::OddPaths odd(dir / "odd", 2u << 20);
  const int before = main->GetComponentCount();
  for (const auto& [name, path] : odd.All()) {
    SCOPED_TRACE(name);
    fs::remove_all(dir / "othercomponents.cfg");
    fs::create_symlink(path, dir / "othercomponents.cfg");
    EXPECT_TRUE(md::test::EndsWithoutWaiting(
        odd.pipe, [&] { EXPECT_FALSE(CGIS_MapElement::RegisterComponentsOfFolder(main, dir.string())); }));
  }
  fs::remove_all(dir / "othercomponents.cfg");
  std::ofstream(dir / "othercomponents.cfg") << "odd/pipe\n";
  EXPECT_TRUE(md::test::EndsWithoutWaiting(
      odd.pipe, [&] { EXPECT_FALSE(CGIS_MapElement::RegisterComponentsOfFolder(main, dir.string())); }));
  EXPECT_EQ(main->GetComponentCount(), before);
  main->Release();
  fs::remove_all(dir);
}

// The lists looked for in order (beside the program, then the installed
// one): the first folder that holds a list decides.
TEST(MapFrameComponents, TheFirstListFoundIsRead) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("mapframe-lists-" + std::to_string(::getpid()));
  const fs::path folders[] = {dir / "program", dir / "share"};
  const struct {
    const char* name;
    const char* lists[2];  // each folder's list, NULL for none
    bool ok;
    const char* named;  // the folders whose lists the answer names
    int registered;
  } rows[] = {
      {"no list anywhere", {nullptr, nullptr}, false, "01", 0},
      {"the installed empty list", {nullptr, ""}, true, "1", 0},
      {"the program's list first", {"a.so\n", ""}, true, "0", 1},
      {"the program's list decides", {"missing.so\n", "a.so\n"}, false, "0", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove_all(dir);
    for (int i = 0; i < 2; ++i) {
      fs::create_directories(folders[i]);
      std::ofstream(folders[i] / "a.so") << "a";
      if (row.lists[i] != nullptr) std::ofstream(folders[i] / "othercomponents.cfg") << row.lists[i];
    }
    std::string named;
    for (const char* i = row.named; *i != '\0'; ++i)
      named += (named.empty() ? "" : ", ") + (folders[*i - '0'] / "othercomponents.cfg").string();
    IGIS_MainObject* main = HM_CreateMainObject(0);
    std::string lists;
    EXPECT_EQ(
        CGIS_MapElement::RegisterComponentLists(main, {"", folders[0].string(), folders[1].string()}, &lists),
        row.ok);
    EXPECT_EQ(lists, named);
    EXPECT_EQ(main->GetComponentCount(), row.registered);
    main->Release();
  }
  fs::remove_all(dir);
}

}  // namespace
