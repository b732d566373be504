// The map frame's property sheet and its data-frame page driven as a user
// drives them: OK and Apply write the frame, Cancel leaves its stored form
// as it was, out-of-range values keep the page, and the map list, the
// sheet-number check and the border buttons.
#include <gtest/gtest.h>

#include "host/display/cgis_pageview.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"
#include "layout/graphicelement/grid/border/igis_mapborder.h"
#include "layout/graphicelement/mapframe/dialogs/cgis_mapdataframe.h"
#include "tests/layout/graphicelement/mapframe/dialogs/mapdialogtest.h"

namespace {

using md::test::MapDialogTest;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

CGIS_MapDataframe* PageOf(UiUser& u) {
  return u.Sheet() != nullptr ? dynamic_cast<CGIS_MapDataframe*>(u.Sheet()->GetPage(0)) : nullptr;
}

using MapSheet = MapDialogTest;

TEST_F(MapSheet, ShowsTheFrameAndOkWritesAFixedScale) {
  CGIS_MapElement* f = NewFrame();
  f->SetMap(map_);
  double factor = 0.0;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    ASSERT_NE(PageOf(u), nullptr);
    factor = PageOf(u)->GetScaleFactor();
    EXPECT_EQ(u.Text(IDC_GIS_DF_MAPNAME), "测试地图");
    EXPECT_EQ(u.Checked(IDC_GIS_DF_EXTENT_AUTO), 1);
    EXPECT_EQ(u.Checked(IDC_GIS_DF_SCALE_SYMBOLS), 1);
    EXPECT_FALSE(u.IsEnabled(IDC_GIS_DF_SCALE_SYMBOLS));
    EXPECT_FALSE(u.IsEnabled(IDC_GIS_DF_REFERENCE_SCALE));
    EXPECT_FALSE(u.IsVisible(IDC_GIS_DF_REFERENCE_LABEL));
    EXPECT_FALSE(u.IsEnabled(IDC_GIS_DF_FIXSCALE));
    EXPECT_FALSE(u.IsEnabled(IDC_GIS_DF_LEFT));
    u.Click(IDC_GIS_DF_EXTENT_FIXSCALE);
    EXPECT_TRUE(u.IsEnabled(IDC_GIS_DF_FIXSCALE));
    EXPECT_FALSE(u.IsEnabled(IDC_GIS_DF_COMPUTE));
    u.Replace(IDC_GIS_DF_FIXSCALE, "25x000");  // the filter drops the letter
    EXPECT_EQ(u.Text(IDC_GIS_DF_FIXSCALE), "25000");
    u.Ok();
  });
  EXPECT_TRUE(f->OnOpenPropertyDlg(nullptr, TRUE));
  ASSERT_GT(factor, 0.0);
  EXPECT_EQ(f->GetExtentType(), GIS_MAP_EXTENT_FIXED_SCALE);
  EXPECT_NEAR(f->GetScale(), 25000.0 / factor, 25000.0 / factor * 1e-9);
  EXPECT_EQ(f->GetMap(), map_);
}

TEST_F(MapSheet, ApplyWritesTheActivePageAndRedrawsThenCancelRestoresTheStoredForm) {
  CGIS_MapElement* f = NewFrame();
  f->SetMap(map_);
  const std::vector<BYTE> before = StoredForm(f);
  md::test::Screen screen;
  auto* view = dynamic_cast<CGIS_PageView*>(screen.display.GetView());
  ASSERT_NE(view, nullptr);
  const int redraws = view->GetRedrawCount();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(IDC_GIS_DF_EXTENT_FIXEXTENT);
    // Left above right and top below bottom: written normalised.
    u.Replace(IDC_GIS_DF_LEFT, "428000");
    u.Replace(IDC_GIS_DF_RIGHT, "422000");
    u.Replace(IDC_GIS_DF_TOP, "4412000");
    u.Replace(IDC_GIS_DF_BOTTOM, "4418000");
    EXPECT_TRUE(PageOf(u)->IsModified());
    u.Apply();
    EXPECT_FALSE(PageOf(u)->IsModified());
    EXPECT_EQ(view->GetRedrawCount(), redraws + 1);
    EXPECT_EQ(f->GetExtentType(), GIS_MAP_EXTENT_FIXED_EXTENT);
    SGIS_DRect bound;
    f->GetMapBound(&bound);
    EXPECT_LE(bound.x1, bound.x2);
    EXPECT_GE(bound.y1, bound.y2);
    u.Cancel();
  });
  EXPECT_FALSE(f->OnOpenPropertyDlg(&screen.display, TRUE));
  EXPECT_EQ(f->GetExtentType(), GIS_MAP_EXTENT_AUTOMATIC);
  EXPECT_EQ(f->GetMap(), map_);
  EXPECT_EQ(StoredForm(f), before);
}

TEST_F(MapSheet, TheSheetsPagesInOrderAndTheFramePageEditsTheFramesOwnFrame) {
  CGIS_MapElement* f = NewFrame();
  f->SetMap(map_);
  ASSERT_NE(f->GetFramePropertyPtr(), nullptr);
  const bool draft = f->GetFramePropertyPtr()->GetDraftMode();
  const std::vector<BYTE> before = StoredForm(f);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    ASSERT_EQ(u.Sheet()->GetPageCount(), 4);
    EXPECT_EQ(u.Sheet()->GetTitle(), "地图框架属性");
    EXPECT_EQ(u.Sheet()->GetPage(0)->GetCaption(), "数据框");
    EXPECT_EQ(u.Sheet()->GetPage(3)->GetCaption(), "格网");
    u.GoToPage(1);
    u.Click(IDC_FRAME_DRAFT);
    u.GoToPage(0);
    EXPECT_NE(f->GetFramePropertyPtr()->GetDraftMode(), draft);
    u.GoToPage(2);
    u.Cancel();
  });
  EXPECT_FALSE(f->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(f->GetFramePropertyPtr()->GetDraftMode(), draft);
  EXPECT_EQ(StoredForm(f), before);

  driver.Then([&](UiUser& u) {
    u.GoToPage(1);
    u.Click(IDC_FRAME_DRAFT);
    u.Ok();
  });
  EXPECT_TRUE(f->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_NE(f->GetFramePropertyPtr()->GetDraftMode(), draft);
}

TEST_F(MapSheet, CancelRebindsTheMapAnotherChoiceBound) {
  CGIS_MapElement* f = NewFrame();
  f->SetMap(map_);
  IGIS_SpatialReference* gk = md::test::NewGaussKruger();
  IGIS_Map* second = doc_->CreateMap("第二地图", gk);
  gk->Release();
  ASSERT_NE(second, nullptr);
  const std::vector<BYTE> before = StoredForm(f);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.ChooseText(IDC_GIS_DF_MAPNAME, "第二地图");
    u.Apply();
    EXPECT_EQ(f->GetMap(), second);
    u.Cancel();
  });
  EXPECT_FALSE(f->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(f->GetMap(), map_);
  EXPECT_STREQ(f->GetMapName(), "测试地图");
  EXPECT_EQ(StoredForm(f), before);

  driver.Then([&](UiUser& u) {
    u.ChooseText(IDC_GIS_DF_MAPNAME, "第二地图");
    u.Ok();
  });
  EXPECT_TRUE(f->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(f->GetMap(), second);
}

TEST_F(MapSheet, TheMapListHoldsTheDocumentsNamedMaps) {
  CGIS_MapElement* f = NewFrame();
  IGIS_SpatialReference* gk = md::test::NewGaussKruger();
  doc_->CreateMap("第二地图", gk);
  gk->Release();
  CGIS_MapDataframe page(f, nullptr);
  const std::vector<std::string> expected{"测试地图", "第二地图"};
  EXPECT_EQ(page.GetMapNames(), expected);

  md::test::LogMark log;
  CGIS_MapElement* loose =
      new CGIS_MapElement(GIS_CreateFeatureSetObject(nullptr, "loose", 0, 0, 0, 0, nullptr), nullptr);
  CGIS_MapDataframe none(loose, nullptr);
  EXPECT_TRUE(none.GetMapNames().empty());
  EXPECT_TRUE(log.Has(3, "CGIS_MapDataframe::FillMapList", "p_mapLayer == NULL"));
  IGIS_FeatureSet* owner = loose->GetFeatureSetPtr();
  loose->Release();
  owner->Release();
}

TEST_F(MapSheet, NoSelectedMapKeepsTheBinding) {
  // A map of another document: the list has no entry of it.
  IGIS_Document* other = GIS_CreateDocumentObject();
  IGIS_SpatialReference* gk = md::test::NewGaussKruger();
  IGIS_Map* elsewhere = other->CreateMap("别处的地图", gk);
  gk->Release();
  CGIS_MapElement* f = NewFrame();
  f->SetMap(elsewhere);
  ASSERT_EQ(f->GetMap(), elsewhere);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Selection(IDC_GIS_DF_MAPNAME), -1);
    u.Ok();  // leaves the page and applies it
  });
  EXPECT_TRUE(f->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(f->GetMap(), elsewhere);
  EXPECT_STREQ(f->GetMapName(), "别处的地图");
  ReleaseFrame(f);
  other->Release();
}

TEST_F(MapSheet, AFrameWithoutAMapLeavesThePage) {
  CGIS_MapElement* f = NewFrame();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Text(IDC_GIS_DF_SCALE), "0");
    u.Ok();
  });
  EXPECT_TRUE(f->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(Prompts(), 0u);
}

// Values out of range show the framework's prompt and keep the page open.
struct RangeCase {
  int extentRadio;
  int control;
  const char* text;
  bool refused;
};

class MapSheetRanges : public MapDialogTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(MapSheetRanges, PromptAndStayOrAccept) {
  const RangeCase& c = GetParam();
  CGIS_MapElement* f = NewFrame();
  f->SetMap(map_);
  const std::vector<BYTE> before = StoredForm(f);
  bool stayed = false;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(c.extentRadio);
    u.Replace(c.control, c.text);
    u.Ok();
    stayed = !u.Ended();
    if (stayed) u.Cancel();
  });
  const BOOL ok = f->OnOpenPropertyDlg(nullptr, TRUE);
  EXPECT_EQ(stayed, c.refused);
  EXPECT_EQ(Prompts(), c.refused ? 1u : 0u);
  EXPECT_EQ(ok, c.refused ? FALSE : TRUE);
  if (c.refused) {
    EXPECT_EQ(StoredForm(f), before);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Values, MapSheetRanges,
    ::testing::Values(RangeCase{IDC_GIS_DF_EXTENT_FIXEXTENT, IDC_GIS_DF_LEFT, "-1000000001", true},
                      RangeCase{IDC_GIS_DF_EXTENT_FIXEXTENT, IDC_GIS_DF_RIGHT, "1000000001", true},
                      RangeCase{IDC_GIS_DF_EXTENT_FIXEXTENT, IDC_GIS_DF_BOTTOM, "1000000001", true},
                      // The top edge has the same limit as the others.
                      RangeCase{IDC_GIS_DF_EXTENT_FIXEXTENT, IDC_GIS_DF_TOP, "500000000", false},
                      RangeCase{IDC_GIS_DF_EXTENT_FIXEXTENT, IDC_GIS_DF_TOP, "1000000001", true},
                      RangeCase{IDC_GIS_DF_EXTENT_FIXEXTENT, IDC_GIS_DF_SCALE, "0", true},
                      RangeCase{IDC_GIS_DF_EXTENT_FIXSCALE, IDC_GIS_DF_FIXSCALE, "0", true},
                      RangeCase{IDC_GIS_DF_EXTENT_FIXSCALE, IDC_GIS_DF_FIXSCALE, "200000000", true},
                      // Values not used by the chosen extent type are not checked.
                      RangeCase{IDC_GIS_DF_EXTENT_FIXEXTENT, IDC_GIS_DF_SCALE, "100000000001", true}));

TEST_F(MapSheet, ValuesOfAnotherExtentTypeAreNotChecked) {
  CGIS_MapElement* f = NewFrame();
  f->SetMap(map_);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(IDC_GIS_DF_EXTENT_FIXEXTENT);
    u.Replace(IDC_GIS_DF_LEFT, "-2000000000");
    u.Click(IDC_GIS_DF_EXTENT_FIXSCALE);
    u.Ok();
  });
  EXPECT_TRUE(f->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(Prompts(), 0u);
  EXPECT_EQ(f->GetExtentType(), GIS_MAP_EXTENT_FIXED_SCALE);
}

TEST_F(MapSheet, AnInvalidSheetNumberIsReported) {
  CGIS_MapElement* f = NewFrame();
  f->SetMap(map_);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(IDC_GIS_DF_EXTENT_FIXEXTENT);
    u.Replace(IDC_GIS_DF_SHEETNUMBER, "无效");
    u.Click(IDC_GIS_DF_COMPUTE);
    EXPECT_TRUE(PageOf(u)->IsModified());
    u.Cancel();
  });
  f->OnOpenPropertyDlg(nullptr, TRUE);
  ASSERT_EQ(Prompts(), 1u);
  EXPECT_EQ(md::ui::MessageBoxLog()[0].text, "图号无效！");
  EXPECT_EQ(md::ui::MessageBoxLog()[0].caption, "警告");
}

TEST_F(MapSheet, TheOuterBorderButtonGivesTheFrameTheChosenBorder) {
  CGIS_MapElement* f = NewFrame();
  f->SetMap(map_);
  ScriptedDriver driver;
  driver.Then([](UiUser& u) {
    u.Click(IDC_GIS_DF_OUTER_BORDER);
    u.Ok();
  });
  driver.Then([](UiUser& u) {  // the border selector
    u.Click(3114);             // new border
    u.Replace(3132, "1500");
    u.Ok();
  });
  driver.Then([](UiUser& u) {  // the new-border dialog: a simple border
    u.Ok();
  });
  EXPECT_TRUE(f->OnOpenPropertyDlg(nullptr, TRUE));
  ASSERT_NE(f->GetOuterMapBorder(), nullptr);
  EXPECT_EQ(f->GetOuterMapBorder()->GetType(), 1);
  EXPECT_EQ(f->GetOuterMapBorder()->GetBorderWidth(), 1500);
  EXPECT_EQ(f->GetInnerMapBorder(), nullptr);
}

TEST_F(MapSheet, Snapshot) {
  CGIS_MapElement* f = NewFrame();
  f->SetMap(map_);
  const std::string path = SnapshotPath("mapdataframe");
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Snapshot(path));
    u.Cancel();
  });
  f->OnOpenPropertyDlg(nullptr, TRUE);
  EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
