// The main controller: component registration, the map it follows, and the
// spatial-reference command played through the modal driver.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "helmora_test_util.h"
#include "host/helmora/cgis_spatialreferencedlg.h"
#include "host/helmora/gis_references.h"
#include "platform/ui/driver.h"
#include "tests/support/logmark.h"
#include "tests/support/oddfiles.h"

namespace {

using namespace md::test;

TEST(MainObject, RegistersReadableComponentsOnce) {
  MainPtr main(HM_CreateMainObject(0));
  const std::string path = std::string(MD_TEST_OUTPUT_DIR) + "/helmora_component.so";
  std::ofstream(path) << "component";
  EXPECT_TRUE(main->RegisterComponent(path.c_str()));
  EXPECT_TRUE(main->RegisterComponent(path.c_str()));
  EXPECT_EQ(main->GetComponentCount(), 1);
  EXPECT_EQ(path, main->GetComponent(0));
  LogMark mark;
  EXPECT_FALSE(main->RegisterComponent((path + ".missing").c_str()));
  EXPECT_FALSE(main->RegisterComponent(""));
  EXPECT_FALSE(main->RegisterComponent(nullptr));
  EXPECT_EQ(main->GetComponentCount(), 1);
  EXPECT_EQ(main->GetComponent(1), nullptr);
  EXPECT_GE(mark.Count(), 3u);
  std::remove(path.c_str());
}

TEST(MainObject, OddComponentsAreRefusedWithoutWaiting) {
  const md::test::OddPaths odd(std::filesystem::path(MD_TEST_OUTPUT_DIR) / "component-odd", 16);
  MainPtr main(HM_CreateMainObject(0));
  for (const auto& [name, path] : odd.All()) {
    if (std::string(name) == "big") continue;  // a regular file: a component
    SCOPED_TRACE(name);
    EXPECT_TRUE(
        md::test::EndsWithoutWaiting(odd.pipe, [&] { EXPECT_FALSE(main->RegisterComponent(path.c_str())); }));
  }
  EXPECT_EQ(main->GetComponentCount(), 0);
}

TEST(MainObject, ViewFollowsTheBoundMapAndItsReference) {
  DocumentPtr doc(GIS_CreateDocumentObject());
  IGIS_Map* map = nullptr;
  IGIS_VectorMapLayer* layer = MakeTestMap(doc.get(), &map);
  AddLine(layer, {{1000, 2000}, {3000, 6000}});
  ASSERT_TRUE(map->SetReferenceScale(25000));
  MainPtr main(HM_CreateMainObject(0));
  main->SetMap(map);
  EXPECT_EQ(main->GetMap(), map);
  IGIS_MapView* view = main->GetMapView();
  EXPECT_EQ(view->GetReferenceScale(), 25000.0);
  ASSERT_NE(view->GetSpatialReference(), nullptr);
  EXPECT_EQ(view->GetSpatialReference()->GetKind(), GIS_SPATIALREFERENCE_PROJECTED);
  SGIS_DRect full;
  view->GetFullExtent(&full, 0);
  EXPECT_EQ(full, SGIS_DRect(1000, 6000, 3000, 2000));

  // The map changes its reference: the view hears it and follows.
  ReferencePtr geo(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(1));
  ASSERT_TRUE(map->SetSpatialReference(geo.get()));
  EXPECT_EQ(view->GetSpatialReference()->GetKind(), GIS_SPATIALREFERENCE_GEOGRAPHIC);
  // ... and its features were carried into degrees.
  map->GetFullExtent(&full, 0);
  EXPECT_GT(full.x1, 100.0);
  EXPECT_LT(full.x2, 130.0);

  main->SetMap(nullptr);
  EXPECT_EQ(main->GetMap(), nullptr);
  EXPECT_EQ(view->GetSpatialReference(), nullptr);
  EXPECT_FALSE(view->ZoomFullExtent(0));
}

TEST(MainObject, ForgetsAMapWhoseDocumentEnds) {
  MainPtr main(HM_CreateMainObject(0));
  {
    DocumentPtr doc(GIS_CreateDocumentObject());
    IGIS_Map* map = nullptr;
    AddPoint(MakeTestMap(doc.get(), &map), 1, 2);
    main->SetMap(map);
    ASSERT_EQ(main->GetMap(), map);
  }
  EXPECT_EQ(main->GetMap(), nullptr);
  EXPECT_EQ(main->GetMapView()->GetSpatialReference(), nullptr);
}

class ChooseReference : public ::testing::Test {
 protected:
  void SetUp() override { md::ui::ClearDriverErrors(); }
  MainPtr main_{HM_CreateMainObject(0)};
  IGIS_PropertySet* in_ = GIS_CreatePropertySetObject();
  IGIS_PropertySet* out_ = GIS_CreatePropertySetObject();
  void TearDown() override {
    in_->Release();
    out_->Release();
    EXPECT_TRUE(md::ui::DriverErrors().empty());
  }
  IGIS_SpatialReference* Answer() {
    IGIS_Field* f = out_->GetProperty("spatialreference");
    return f ? static_cast<IGIS_SpatialReference*>(f->GetObject()) : nullptr;
  }
};

TEST_F(ChooseReference, TheUserPicksAGaussKrugerZone) {
  IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
  ReferencePtr current(f->CreateSpatialReference(1));
  in_->SetObject("spatialreference", current.get(), 1);
  ReferencePtr zone39Reference(f->CreateSpatialReference(2));
  const int zone39 = f->FindPredefinedReference(zone39Reference.get());
  ASSERT_GE(zone39, 0);
  md::ui::ScriptedDriver driver;
  std::string shownCurrent;
  int listed = 0;
  driver.Then([&](md::ui::UiUser& u) {
    shownCurrent = u.Text(IDC_GIS_SR_CURRENT);
    listed = static_cast<int>(static_cast<CListBox*>(u.Control(IDC_GIS_SR_LIST))->GetCount());
    u.Choose(IDC_GIS_SR_LIST, zone39);
    u.Ok();
  });
  ASSERT_TRUE(main_->ExecuteCommand("GIS_COMMAND_PROJECT_SET_SPATIALREFERENCE", in_, out_));
  EXPECT_EQ(driver.DialogTemplatesRun(), std::vector<UINT>{IDD_GIS_SPATIALREFERENCE});
  EXPECT_EQ(listed, f->GetPredefinedReferenceCount());
  EXPECT_EQ(shownCurrent, std::string("当前：") + current->GetName());
  IGIS_SpatialReference* chosen = Answer();
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen->GetKind(), GIS_SPATIALREFERENCE_PROJECTED);
  double cm = 0;
  ASSERT_TRUE(
      chosen->GetProjectedCoordSys()->GetProjection()->GetParameter(GIS_PROJPARAM_CENTRAL_MERIDIAN, &cm));
  EXPECT_DOUBLE_EQ(cm, 117.0);
  // The caller's reference is untouched.
  EXPECT_EQ(current->GetKind(), GIS_SPATIALREFERENCE_GEOGRAPHIC);
}

TEST_F(ChooseReference, TheCurrentReferenceStartsSelected) {
  ReferencePtr current(GIS_GetSpatialReferenceFactoryObject()->CreatePredefinedReference(5));
  in_->SetObject("spatialreference", current.get(), 1);
  md::ui::ScriptedDriver driver;
  int selected = -1;
  driver.Then([&](md::ui::UiUser& u) {
    selected = u.Selection(IDC_GIS_SR_LIST);
    u.Ok();
  });
  ASSERT_TRUE(main_->ExecuteCommand("GIS_COMMAND_PROJECT_SET_SPATIALREFERENCE", in_, out_));
  EXPECT_EQ(selected, 5);
  ASSERT_NE(Answer(), nullptr);
  EXPECT_STREQ(Answer()->GetName(), current->GetName());
  EXPECT_NE(Answer(), current.get());
}

TEST_F(ChooseReference, CancelOrNoChoiceAnswersNothing) {
  {
    md::ui::ScriptedDriver driver;
    driver.Then([](md::ui::UiUser& u) {
      u.Choose(IDC_GIS_SR_LIST, 3);
      u.Cancel();
    });
    EXPECT_FALSE(main_->ExecuteCommand("GIS_COMMAND_PROJECT_SET_SPATIALREFERENCE", in_, out_));
    EXPECT_EQ(out_->GetProperty("spatialreference"), nullptr);
  }
  {
    md::ui::ScriptedDriver driver;
    driver.Then([](md::ui::UiUser& u) { u.Ok(); });  // nothing selected
    EXPECT_FALSE(main_->ExecuteCommand("GIS_COMMAND_PROJECT_SET_SPATIALREFERENCE", nullptr, out_));
    EXPECT_EQ(out_->GetProperty("spatialreference"), nullptr);
  }
  // No driver: the dialog is cancelled.
  EXPECT_FALSE(main_->ExecuteCommand("GIS_COMMAND_PROJECT_SET_SPATIALREFERENCE", in_, out_));
  LogMark mark;
  EXPECT_FALSE(main_->ExecuteCommand("GIS_COMMAND_PROJECT_SET_SPATIALREFERENCE", in_, nullptr));
  EXPECT_FALSE(main_->ExecuteCommand("GIS_COMMAND_NO_SUCH_THING", in_, out_));
  EXPECT_FALSE(main_->ExecuteCommand(nullptr, in_, out_));
  EXPECT_EQ(mark.Count(), 3u);
}

TEST(References, DatumsByNameMakeGeographicReferences) {
  for (int d : {GIS_DATUM_CGCS2000, GIS_DATUM_XIAN1980, GIS_DATUM_BEIJING1954, GIS_DATUM_WGS84}) {
    EXPECT_EQ(GIS_DatumByName(GIS_DatumName(d)), d);
    ReferencePtr r(GIS_MakeGeographicReference(d));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->GetKind(), GIS_SPATIALREFERENCE_GEOGRAPHIC);
  }
  EXPECT_EQ(GIS_MakeGeographicReference(99), nullptr);
  EXPECT_EQ(GIS_DatumName(99), nullptr);
  EXPECT_EQ(GIS_DatumByName("火星"), -1);
  EXPECT_EQ(GIS_DatumByName(nullptr), -1);
}

}  // namespace
