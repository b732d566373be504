// The grids page of the map frame's sheet: the list of the frame's grids,
// a new grid made with the wizard (added, or handed to the layout as plain
// elements), removing, showing and hiding, a grid's own sheet, converting,
// a refused grid, and the sheet's Cancel putting the frame's grids back.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "layout/graphicelement/grid/grid/dialogs/cgis_axespage.h"
#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_indexgrid.h"
#include "layout/graphicelement/grid/grid/igis_indexgridtabstyle.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"
#include "layout/graphicelement/grid/grid/igis_mapgridvalues.h"
#include "layout/graphicelement/grid/index/dialogs/cgis_gridindexwizard1.h"
#include "layout/graphicelement/grid/index/dialogs/cgis_gridindexwizard2.h"
#include "tests/layout/graphicelement/mapframe/dialogs/gridwizardtest.h"
#include "tests/support/dialogscenes.h"
#include "tests/support/gridspagescenes.h"

namespace {

using md::test::GridWizardTest;
using md::ui::UiUser;
using Scene = md::ui::ScriptedDriver::Scene;

using MapGridsPage = GridWizardTest;

std::vector<std::string> GridNames(IGIS_MapElement* f) {
  std::vector<std::string> names;
  for (int i = 0; i < f->GetMapGrids()->GetCount(); ++i)
    names.emplace_back(f->GetMapGrids()->GetMapGrid(i)->GetName());
  return names;
}

std::vector<std::string> ListNames(UiUser& u) {
  auto* list = static_cast<CListBox*>(u.Control(IDC_GIS_MG_LIST));
  std::vector<std::string> names;
  for (int i = 0; list != nullptr && i < list->GetCount(); ++i) {
    std::string s;
    list->GetText(i, s);
    names.push_back(s);
  }
  return names;
}

// The wizard's user making a graticule: the name, the parallels' and
// meridians' degrees and minutes, the border box and the storage choice.
struct GraticuleWish {
  const char* name = nullptr;  // NULL: the proposed one
  const char* parallel[2] = {"2", "30"};
  const char* meridian[2] = {"5", "0"};
  bool border = false;
  int storage = GIS_GRIDWIZARD_STORE_GRID;
};

Scene MakeGraticule(GraticuleWish wish) {
  return [wish](UiUser& u) {
    if (wish.name != nullptr) u.Replace(IDC_GIS_GW_NAME, wish.name);
    u.Next();
    u.Replace(IDC_GIS_GGW_PARALLEL_DEGREES, wish.parallel[0]);
    u.Replace(IDC_GIS_GGW_PARALLEL_MINUTES, wish.parallel[1]);
    u.Replace(IDC_GIS_GGW_MERIDIAN_DEGREES, wish.meridian[0]);
    u.Replace(IDC_GIS_GGW_MERIDIAN_MINUTES, wish.meridian[1]);
    u.Next();
    u.Next();
    if (wish.border) u.Click(IDC_GIS_GF_BORDER);
    u.Click(wish.storage == GIS_GRIDWIZARD_STORE_GRID ? IDC_GIS_GF_FOLLOWING : IDC_GIS_GF_STATIC);
    u.Finish();
  };
}

TEST_F(MapGridsPage, AFrameWithoutGridsShowsAnEmptyListAndOnlyNewGrid) {
  CGIS_MapElement* f = MappedFrame();
  OnGridsPage(f, [&](UiUser& u) {
    EXPECT_TRUE(ListNames(u).empty());
    for (int id : {IDC_GIS_MG_REMOVE, IDC_GIS_MG_PROPERTY, IDC_GIS_MG_CONVERT, IDC_GIS_MG_VISIBLE})
      EXPECT_FALSE(u.IsEnabled(id)) << id;
    EXPECT_TRUE(u.IsEnabled(IDC_GIS_MG_NEW));
    EXPECT_FALSE(u.IsVisible(IDC_GIS_MG_CLIP));
    EXPECT_FALSE(u.IsEnabled(IDC_GIS_MG_CLIP));
    u.Ok();
  });
}

TEST_F(MapGridsPage, AnIndexGridNeedsNoMapAndTakesItsPagesValues) {
  // An owner that shows no document: the frame has no map.
  md::test::ForwardingSet owner(set_);
  auto* f = new CGIS_MapElement(&owner, nullptr);
  f->SetRect(SGIS_Rect(1000, 9000, 11000, 4000));
  ASSERT_EQ(f->GetMap(), nullptr);
  OnGridsPage(f, NewGrid(), {[](UiUser& u) {
                u.Click(IDC_GIS_GW_INDEX);
                u.Next();
                u.Replace(IDC_GIS_IW_COLUMNS, "8");
                u.Replace(IDC_GIS_IW_ROWS, "4");
                u.Click(IDC_GIS_IW_LINES);
                u.Next();
                u.Choose(IDC_GIS_IW_TAB_STYLE, 2);
                u.Click(IDC_GIS_IW_LETTER_ROWS);
                u.Next();
                EXPECT_EQ(ActiveText(u), "创建一个索引格网");
                u.Finish();
              }});
  ASSERT_EQ(GridNames(f), std::vector<std::string>{"索引格网"});
  auto* index = dynamic_cast<IGIS_IndexGrid*>(f->GetMapGrids()->GetMapGrid(0));
  ASSERT_NE(index, nullptr);
  EXPECT_EQ(index->GetColumnCount(), 8);
  EXPECT_EQ(index->GetRowCount(), 4);
  EXPECT_FALSE(index->GetXYLabelType());
  EXPECT_EQ(index->GetGridlineType(), GIS_GRIDLINE_LINES);
  auto* tabs = dynamic_cast<IGIS_IndexGridTabStyle*>(index->GetLabelFormat());
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->GetType(), GIS_GRIDLABEL_INDEX_CONTINUOUS);
  EXPECT_EQ(tabs->GetThickness(), 200);
  EXPECT_TRUE(tabs->GetInside());
  EXPECT_EQ(index->GetBorder()->GetSimpleSymbol(), nullptr);
  f->Release();
}

TEST_F(MapGridsPage, TheBorderBoxGivesTheGridACopyOfTheChosenSymbol) {
  CGIS_MapElement* f = MappedFrame();
  int chosen = 0;
  Scene wizard = [&](UiUser& u) {
    u.Next();
    u.Next();
    u.Next();
    u.Click(IDC_GIS_GF_BORDER);
    u.Click(IDC_GIS_GF_BORDER_SYMBOL);
    chosen = Wizard(u)->GetFinishPage().GetBorderSymbol()->GetStyleCode();
    u.Finish();
  };
  OnGridsPage(f, NewGrid(), {wizard, md::test::ChooseEntry(4)});
  ASSERT_EQ(f->GetMapGrids()->GetCount(), 1);
  IGIS_Symbol* border = f->GetMapGrids()->GetMapGrid(0)->GetBorder()->GetSimpleSymbol();
  ASSERT_NE(border, nullptr);
  EXPECT_NE(chosen, 0xD03);
  EXPECT_EQ(border->GetStyleCode(), chosen);
}

TEST_F(MapGridsPage, StoredAsElementsTheGridIsHandedToTheLayoutAndTheListStays) {
  md::test::CreationRecordingSet owner(set_);
  CGIS_MapElement* f = RecordedFrame(&owner);
  AddNamedGrid(f, GIS_MAPGRID_MEASURE, "方里网");
  const std::vector<BYTE> before = StoredForm(f);
  const int features = set_->GetFeatureCount();
  bool modified = false;
  std::vector<std::string> listed;
  GraticuleWish wish;
  wish.storage = GIS_GRIDWIZARD_STORE_ELEMENTS;
  EXPECT_FALSE(OnGridsPage(f, NewGrid([&](UiUser& u) {
                             modified = GridsPage(u)->IsModified();
                             listed = ListNames(u);
                             u.Cancel();
                           }),
                           {MakeGraticule(wish)}));
  EXPECT_TRUE(modified);
  EXPECT_EQ(listed, std::vector<std::string>{"方里网"});
  ASSERT_EQ(owner.created.size(), 1u);
  EXPECT_STREQ(owner.created[0]->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND);
  // The sheet's Cancel puts the frame back; the elements already handed to
  // the layout stay there.
  EXPECT_EQ(StoredForm(f), before);
  EXPECT_GT(set_->GetFeatureCount(), features);
  EXPECT_EQ(GridNames(f), std::vector<std::string>{"方里网"});
  f->Release();
}

TEST_F(MapGridsPage, VisibilityRemoveConvertAndPropertiesWorkOnTheSelectedGrid) {
  md::test::CreationRecordingSet owner(set_);
  CGIS_MapElement* f = RecordedFrame(&owner);
  AddNamedGrid(f, GIS_MAPGRID_GRATICULE, "甲");
  AddNamedGrid(f, GIS_MAPGRID_MEASURE, "乙");
  IGIS_MapGrid* second = f->GetMapGrids()->GetMapGrid(1);
  OnGridsPage(
      f,
      [&](UiUser& u) {
        CGIS_MapGridsPage* page = GridsPage(u);
        EXPECT_EQ(ListNames(u), (std::vector<std::string>{"甲", "乙"}));
        u.Choose(IDC_GIS_MG_LIST, 1);
        for (int id : {IDC_GIS_MG_REMOVE, IDC_GIS_MG_PROPERTY, IDC_GIS_MG_CONVERT, IDC_GIS_MG_VISIBLE})
          EXPECT_TRUE(u.IsEnabled(id)) << id;
        EXPECT_EQ(u.Checked(IDC_GIS_MG_VISIBLE), 1);
        // Twice: the grid is visible again, the page modified.
        u.Click(IDC_GIS_MG_VISIBLE);
        EXPECT_FALSE(second->GetVisible());
        EXPECT_EQ(u.Checked(IDC_GIS_MG_VISIBLE), 0);
        EXPECT_TRUE(page->IsModified());
        u.Click(IDC_GIS_MG_VISIBLE);
        EXPECT_TRUE(second->GetVisible());
        EXPECT_EQ(u.Checked(IDC_GIS_MG_VISIBLE), 1);
        page->SetModified(FALSE);
        // Converting hands the layout a compound; the grid stays.
        u.Click(IDC_GIS_MG_CONVERT);
        EXPECT_EQ(owner.created.size(), 1u);
        EXPECT_EQ(ListNames(u).size(), 2u);
        EXPECT_TRUE(page->IsModified());
        page->SetModified(FALSE);
        // The grid's own sheet: Cancel leaves the page unmodified, OK marks it.
        u.Click(IDC_GIS_MG_PROPERTY);
        EXPECT_FALSE(page->IsModified());
        u.Click(IDC_GIS_MG_PROPERTY);
        EXPECT_TRUE(page->IsModified());
        EXPECT_EQ(second->GetTickLength(), 123.0);  // outside, as the grid had it
        page->SetModified(FALSE);
        // Removing the last entry empties that place; the buttons stay
        // until the next selection, and do nothing without one.
        u.Click(IDC_GIS_MG_REMOVE);
        EXPECT_EQ(ListNames(u), std::vector<std::string>{"甲"});
        EXPECT_EQ(u.Selection(IDC_GIS_MG_LIST), -1);
        EXPECT_TRUE(page->IsModified());
        page->SetModified(FALSE);
        EXPECT_TRUE(u.IsEnabled(IDC_GIS_MG_REMOVE));
        for (int id : {IDC_GIS_MG_REMOVE, IDC_GIS_MG_PROPERTY, IDC_GIS_MG_CONVERT, IDC_GIS_MG_VISIBLE})
          u.Click(id);
        EXPECT_FALSE(page->IsModified());
        u.Ok();
      },
      {[](UiUser& u) { u.Cancel(); },
       [](UiUser& u) {
         u.Replace(IDC_GIS_AX_TICK_LENGTH, "123");
         u.Ok();
       }});
  EXPECT_EQ(GridNames(f), std::vector<std::string>{"甲"});
  EXPECT_EQ(owner.created.size(), 1u);
  f->Release();
}

TEST_F(MapGridsPage, AGridThatCannotBeConvertedChangesNothing) {
  CGIS_MapElement* f = MappedFrame();
  auto* g = new md::test::TestGrid(&journal_, "不转换", false);
  ASSERT_TRUE(f->GetMapGrids()->AddMapGrid(g));
  g->SetMapElement(f);
  md::test::LogMark log;
  OnGridsPage(f, [&](UiUser& u) {
    u.Choose(IDC_GIS_MG_LIST, 0);
    u.Click(IDC_GIS_MG_CONVERT);
    EXPECT_FALSE(GridsPage(u)->IsModified());
    u.Ok();
  });
  EXPECT_TRUE(log.Has(3, "CGIS_MapGridsPage::OnPropertyConvertgraphic", "p_element == NULL"));
}

TEST_F(MapGridsPage, AGridTheFrameRefusesIsReleasedAndLeavesThePageAsItWas) {
  CGIS_MapElement* f = MappedFrame();
  // A name longer than a grid keeps: the start page sees no twin, the
  // frame's list sees one once the new grid has cut its name.
  const std::string kept = std::string(333, 'x') + std::string(333, 'y') + std::string(333, 'z');
  AddNamedGrid(f, GIS_MAPGRID_GRATICULE, (kept + "w").c_str());
  ASSERT_EQ(std::strlen(f->GetMapGrids()->GetMapGrid(0)->GetName()), 999u);
  md::test::LogMark log;
  bool modified = true;
  std::vector<std::string> listed;
  GraticuleWish wish;
  const std::string typed = kept + "v";
  wish.name = typed.c_str();
  OnGridsPage(f, NewGrid([&](UiUser& u) {
                modified = GridsPage(u)->IsModified();
                listed = ListNames(u);
                u.Ok();
              }),
              {MakeGraticule(wish)});
  EXPECT_TRUE(
      log.Has(3, "CGIS_MapGridsPage::OnPropertyNewgrid", "FALSE == p_mapgrids->AddMapGrid(p_mapgrid)"));
  EXPECT_FALSE(modified);
  EXPECT_EQ(listed.size(), 1u);
  EXPECT_EQ(f->GetMapGrids()->GetCount(), 1);
}

// Cancel of the map sheet puts the grids back after every change; its OK
// keeps them, with the finished graticule's spacing and label.
TEST_F(MapGridsPage, CancelOfTheMapSheetPutsTheGridsBackAfterEveryChange) {
  CGIS_MapElement* f = MappedFrame();
  AddNamedGrid(f, GIS_MAPGRID_GRATICULE, "甲");
  AddNamedGrid(f, GIS_MAPGRID_MEASURE, "乙");
  const std::vector<BYTE> before = StoredForm(f);
  std::vector<std::string> listed;
  auto everything = [&listed](bool ok) {
    return md::test::ChangeEveryGrid([ok, &listed](UiUser& u) {
      listed = ListNames(u);
      u.Apply();
      if (ok) {
        u.Ok();
      } else {
        u.Cancel();
      }
    });
  };
  Scene gridSheet = [](UiUser& u) {
    u.Replace(IDC_GIS_AX_TICK_LENGTH, "321");
    u.Ok();
  };
  EXPECT_FALSE(OnGridsPage(f, everything(false), {MakeGraticule({}), gridSheet}));
  EXPECT_EQ(StoredForm(f), before);
  EXPECT_EQ(GridNames(f), (std::vector<std::string>{"甲", "乙"}));
  EXPECT_TRUE(f->GetMapGrids()->GetMapGrid(0)->GetVisible());

  EXPECT_TRUE(OnGridsPage(f, everything(true), {MakeGraticule({}), gridSheet}));
  EXPECT_EQ(listed, (std::vector<std::string>{"甲", "经纬网2"}));
  ASSERT_EQ(GridNames(f), (std::vector<std::string>{"甲", "经纬网2"}));
  EXPECT_FALSE(f->GetMapGrids()->GetMapGrid(0)->GetVisible());
  EXPECT_EQ(f->GetMapGrids()->GetMapGrid(0)->GetTickLength(), 321.0);
  IGIS_MapGrid* g = f->GetMapGrids()->GetMapGrid(1);
  EXPECT_EQ(g->GetMapElement(), f);
  auto* graticule = dynamic_cast<IGIS_GraticuleGrid*>(g);
  ASSERT_NE(graticule, nullptr);
  EXPECT_DOUBLE_EQ(graticule->GetGridSpacing()->GetXIntervalSize(), 5.0);
  EXPECT_DOUBLE_EQ(graticule->GetGridSpacing()->GetYIntervalSize(), 2.5);
  // 2°30′ is labelled with its minutes.
  auto* label = dynamic_cast<IGIS_DMSGridLabel*>(g->GetLabelFormat());
  ASSERT_NE(label, nullptr);
  EXPECT_TRUE(label->IsShowMinutes());
  EXPECT_FALSE(label->IsShowSeconds());
  EXPECT_EQ(g->GetSubTickCount(), 2);
  EXPECT_EQ(g->GetBorder()->GetSimpleSymbol(), nullptr);
  EXPECT_EQ(g->GetGridlineType(), GIS_GRIDLINE_LINES);
}

TEST_F(MapGridsPage, WithoutAFrameNewGridWritesARecordAndOpensNoWizard) {
  CGIS_MapGridsPage page;
  CPropertySheet sheet("地图框架属性");
  sheet.AddPage(&page);
  md::test::LogMark log;
  md::ui::ScriptedDriver driver;
  driver.Then([](UiUser& u) {
    u.Click(IDC_GIS_MG_NEW);
    u.Cancel();
  });
  sheet.DoModal();
  EXPECT_EQ(driver.DialogsRun(), 1);
  EXPECT_TRUE(log.Has(3, "CGIS_MapGridsPage::OnPropertyNewgrid", "m_pMapElement == NULL"));
}

}  // namespace
