// The legend sheet driven as a user drives it: what its pages show, the
// legend after typed input and OK or Apply, range prompts that keep a page,
// the items page with its class selection, and Cancel leaving the stored
// form as it was.
#include <string>
#include <vector>

#include "host/helmora/igis_map.h"
#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/legend/igis_legendformat.h"
#include "platform/ui/app.h"
#include "tests/layout/graphicelement/legend/dialogs/legenddialogtest.h"

namespace md::test {
namespace {

using md::ui::ScriptedDriver;
using md::ui::UiUser;
using Strings = std::vector<std::string>;

// Controls of the items page and the class selection dialog.
constexpr int kMapLayers = 4072, kItems = 4092, kAdd = 4094, kAddAll = 4096, kRemove = 4098, kUp = 4080,
              kDown = 4083, kClasses = 4088;
constexpr int kClassList = 3040, kChosen = 3041, kClassAdd = 3042;

Strings LayerNamesOf(CGIS_LegendElement* legend) {
  Strings out;
  for (int i = 0; i < legend->GetItemCount(); ++i) {
    auto* item = dynamic_cast<CGIS_LegendItem*>(legend->GetItem(i));
    out.push_back(item != nullptr ? item->GetLayerName() : "?");
  }
  return out;
}

class LegendSheet : public LegendDialogs {
 protected:
  // A legend following a frame, with the rivers (two classes) and the roads.
  CGIS_LegendElement* FilledLegend() {
    CGIS_LegendElement* legend = NewLegend(NewFrame());
    legend->AddItem(NewItem(legend, "河流", {"主要河流", "小河"}));
    legend->AddItem(NewItem(legend, "公路", {"主要公路"}));
    legend->SetTitle("图例");
    legend->RecalcRect();
    return legend;
  }
};

TEST_F(LegendSheet, OkWritesTheLegendAndFormatPages) {
  CGIS_LegendElement* legend = FilledLegend();
  IGIS_LegendFormat* format = legend->GetLegendFormat();
  format->SetShowTitle(true);
  format->SetDefaultPatchWidth(450);
  format->SetTitlePosition(1);
  format->SetVerticalItemGap(20);
  format->SetHorizontalItemGap(30);
  format->SetShowLabel(true);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Sheet()->GetPageCount(), 5);
    EXPECT_EQ(u.Text(4026), "图例");
    EXPECT_EQ(u.Text(4108), "450");
    EXPECT_EQ(u.Checked(3027), BST_CHECKED);
    EXPECT_EQ(u.Selection(4082), 1);
    EXPECT_TRUE(u.Snapshot(SnapshotPath("legend_sheet_legend")));
    u.Replace(4026, "新图例");
    u.Click(3027);
    for (int id : {4026, 4082, 4070}) EXPECT_FALSE(u.IsEnabled(id)) << id;
    u.Replace(4108, "0");
    EXPECT_FALSE(u.GoToPage(1) && u.Sheet()->GetActiveIndex() == 1);
    EXPECT_EQ(u.Sheet()->GetActiveIndex(), 0);
    u.Replace(4108, "800");
    u.GoToPage(1);
    EXPECT_EQ(u.Text(1010), "20");
    EXPECT_EQ(u.Text(3029), "30");
    EXPECT_TRUE(u.IsEnabled(3063));
    EXPECT_FALSE(u.IsVisible(3059));
    EXPECT_TRUE(u.Snapshot(SnapshotPath("legend_sheet_format")));
    u.Replace(1010, "60");
    u.Replace(3029, "70");
    u.Replace(1002, "0");
    u.Click(3060);
    EXPECT_FALSE(u.IsEnabled(3063));
    u.Ok();
  });
  md::ui::ClearMessageBoxLog();
  ASSERT_TRUE(legend->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(md::ui::MessageBoxLog().size(), 1u);  // the patch width refused
  EXPECT_STREQ(legend->GetTitle(), "新图例");
  EXPECT_FALSE(format->GetShowTitle());
  EXPECT_EQ(format->GetDefaultPatchWidth(), 800);
  EXPECT_EQ(format->GetTitlePosition(), 1);
  EXPECT_EQ(format->GetVerticalItemGap(), 60);
  EXPECT_EQ(format->GetHorizontalItemGap(), 70);
  EXPECT_EQ(format->GetTitleAndLegendGap(), 0);
  EXPECT_FALSE(format->GetShowLabel());
  EXPECT_EQ(LayerNamesOf(legend), (Strings{"河流", "公路"}));
}

TEST_F(LegendSheet, ApplyAppliesTheActivePageOnlyAndCancelRestores) {
  CGIS_LegendElement* legend = FilledLegend();
  legend->Archive(0, 0);
  const std::vector<unsigned char> before = CustomBytes(legend);
  IGIS_LegendFormat* format = legend->GetLegendFormat();
  const int gap = format->GetTitleAndLegendGap();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    // The legend's own pages never mark themselves modified: Apply becomes
    // usable through the size page.
    EXPECT_FALSE(u.IsEnabled(ID_APPLY_NOW));
    u.GoToPage(4);
    u.Type(IDC_SIZEPOS_WIDTH, "0");
    u.GoToPage(0);
    u.Replace(4026, "改了");
    u.Apply();
    EXPECT_STREQ(legend->GetTitle(), "图例");  // the legend page writes when left
    u.GoToPage(4);
    u.Type(IDC_SIZEPOS_WIDTH, "0");
    u.GoToPage(1);
    EXPECT_STREQ(legend->GetTitle(), "改了");
    u.Replace(1002, "33");
    u.Apply();
    EXPECT_EQ(format->GetTitleAndLegendGap(), 33);
    md::ui::ClearMessageBoxLog();
    u.Replace(3057, "100001");
    u.GoToPage(2);
    EXPECT_EQ(u.Sheet()->GetActiveIndex(), 1);
    EXPECT_EQ(md::ui::MessageBoxLog().size(), 1u);
    u.Replace(3057, "5");
    u.GoToPage(2);
    u.Choose(kItems, 1);
    u.Click(kUp);
    u.GoToPage(0);
    EXPECT_EQ(LayerNamesOf(legend), (Strings{"公路", "河流"}));
    u.Cancel();
  });
  EXPECT_FALSE(legend->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_STREQ(legend->GetTitle(), "图例");
  EXPECT_EQ(legend->GetLegendFormat()->GetTitleAndLegendGap(), gap);
  EXPECT_EQ(LayerNamesOf(legend), (Strings{"河流", "公路"}));
  legend->Archive(0, 0);
  EXPECT_EQ(CustomBytes(legend), before);
}

TEST_F(LegendSheet, ItemsPageAddsOrdersAndChoosesClasses) {
  CGIS_LegendElement* legend = FilledLegend();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.GoToPage(2);
    EXPECT_EQ(Lines(u, kMapLayers), (Strings{"河流", "植被", "公路", "居民点"}));
    EXPECT_EQ(Lines(u, kItems), (Strings{"河流", "公路"}));
    for (int id : {kAdd, kRemove, kUp, kDown, kClasses}) EXPECT_FALSE(u.IsEnabled(id)) << id;
    EXPECT_TRUE(u.IsEnabled(kAddAll));
    EXPECT_TRUE(u.Snapshot(SnapshotPath("legend_sheet_items")));
    u.Choose(kMapLayers, 1);
    u.Click(kAdd);
    EXPECT_EQ(Lines(u, kItems), (Strings{"河流", "公路", "植被"}));
    EXPECT_EQ(Selected(u, kItems), (std::vector<int>{2}));
    EXPECT_TRUE(u.IsEnabled(kUp));
    EXPECT_FALSE(u.IsEnabled(kDown));
    u.Click(kClasses);
    // Removing the first of three leaves the former second selected.
    u.Choose(kItems, 0);
    u.Click(kRemove);
    EXPECT_EQ(Lines(u, kItems), (Strings{"公路", "植被"}));
    EXPECT_EQ(Selected(u, kItems), (std::vector<int>{0}));
    EXPECT_FALSE(u.IsEnabled(kUp));
    u.Ok();
  });
  driver.Then([](UiUser& u) {
    u.Choose(kClassList, 2);
    u.CtrlClick(kClassList, 0);
    u.Click(kClassAdd);
    EXPECT_EQ(Lines(u, kChosen), (Strings{"林地", "注记"}));
    u.Ok();
  });
  ASSERT_TRUE(legend->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(LayerNamesOf(legend), (Strings{"公路", "植被"}));
  EXPECT_EQ(LabelsOf(legend->GetItem(0)), (Strings{"主要公路"}));
  EXPECT_EQ(LabelsOf(legend->GetItem(1)), (Strings{"林地", "注记"}));
}

TEST_F(LegendSheet, AnItemWhoseLayerWasNotFoundIsKeptThroughTheItemsPage) {
  // An item of a layer the map does not hold keeps only its layer's name.
  IGIS_MapLayer* gone = GIS_CreateVectorLayerObject("已删除", nullptr);
  CGIS_LegendElement* legend = NewLegend(NewFrame());
  legend->AddItem(NewItem(legend, "公路", {"主要公路"}));
  CGIS_LegendItem* lost = NewItem(legend, "河流", {"主要河流", "小河"});
  lost->SetLayer(gone);
  lost->ForgetLayer();
  legend->InsertItem(0, lost);
  gone->Release();
  LogMark log;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.GoToPage(2);
    EXPECT_EQ(Lines(u, kItems), (Strings{"已删除", "公路"}));
    u.Choose(kItems, 1);
    u.Click(kUp);
    u.Ok();
  });
  ASSERT_TRUE(legend->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_CHECK, "CLegendItemPage::OnSetActive() ", "p_maplayer == NULL"));
  EXPECT_EQ(LayerNamesOf(legend), (Strings{"公路", "已删除"}));
  EXPECT_EQ(legend->GetItem(1)->GetLayer(), nullptr);
  EXPECT_EQ(LabelsOf(legend->GetItem(1)), (Strings{"主要河流", "小河"}));
}

TEST_F(LegendSheet, AClassTheLayerNoLongerHasIsKeptThroughTheClassSelection) {
  CGIS_LegendElement* legend = NewLegend(NewFrame());
  legend->AddItem(NewItem(legend, "河流", {"已撤销", "小河"}));
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.GoToPage(2);
    u.Choose(kItems, 0);
    u.Click(kClasses);
    u.Ok();
  });
  driver.Then([](UiUser& u) {
    EXPECT_EQ(Lines(u, kClassList), (Strings{"主要河流", "小河"}));
    EXPECT_EQ(Lines(u, kChosen), (Strings{"已撤销", "小河"}));
    u.Choose(kClassList, 0);
    u.Click(kClassAdd);
    u.Ok();
  });
  ASSERT_TRUE(legend->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(LabelsOf(legend->GetItem(0)), (Strings{"已撤销", "小河", "主要河流"}));
}

TEST_F(LegendSheet, WithoutAFrameTheItemsPageRefusesToOpen) {
  CGIS_LegendElement* legend = NewLegend();
  LogMark log;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.GoToPage(2);
    EXPECT_NE(u.Sheet()->GetActiveIndex(), 2);
    u.Cancel();
  });
  EXPECT_FALSE(legend->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_CHECK, "CLegendItemPage::OnSetActive", "p_mapelement == NULL"));
  md::ui::ClearDriverErrors();  // the refused page is an impossible step
}

TEST_F(LegendSheet, FontButtonsWriteTheFormatsSymbolsAndAClearedCheckDisablesItsButton) {
  CGIS_LegendElement* legend = FilledLegend();
  IGIS_LegendFormat* format = legend->GetLegendFormat();
  const auto title = SymbolBytes(format->GetTitleSymbol());
  const auto layerName = SymbolBytes(format->GetLayerNameSymbol());
  const auto label = SymbolBytes(format->GetLabelSymbol());
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(4070);
    u.GoToPage(1);
    u.Click(3061);
    u.Click(3058);
    EXPECT_FALSE(u.IsEnabled(3061));
    u.Click(3063);  // cancelled below
    u.Ok();
  });
  driver.Then(PickSecondSymbol).Then(PickSecondSymbol).Then([](UiUser& u) { u.Cancel(); });
  ASSERT_TRUE(legend->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(driver.DialogsRun(), 4);
  EXPECT_NE(SymbolBytes(format->GetTitleSymbol()), title);
  EXPECT_NE(SymbolBytes(format->GetLayerNameSymbol()), layerName);
  EXPECT_EQ(SymbolBytes(format->GetLabelSymbol()), label);
  EXPECT_FALSE(format->GetShowLayerName());
}

TEST_F(LegendSheet, ATitlePositionNamingNoEntryShowsNoneAndIsKept) {
  CGIS_LegendElement* legend = FilledLegend();
  legend->GetLegendFormat()->SetTitlePosition(100);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Selection(4082), -1);
    u.Ok();
  });
  ASSERT_TRUE(legend->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(legend->GetLegendFormat()->GetTitlePosition(), 100);
}

TEST_F(LegendSheet, LeavingTheItemsPageRemakesItemsKeepingLayerAndLabels) {
  CGIS_LegendElement* legend = FilledLegend();
  legend->GetItem(0)->SetShowLayerName(false);
  legend->GetItem(0)->SetColumns(3);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.GoToPage(2);
    u.Ok();
  });
  ASSERT_TRUE(legend->OnOpenPropertyDlg(nullptr, TRUE));
  ASSERT_EQ(legend->GetItemCount(), 2);
  IGIS_LegendItem* fresh = GIS_CreateLegendItemObject(legend);
  EXPECT_EQ(legend->GetItem(0)->GetShowLayerName(), fresh->GetShowLayerName());
  EXPECT_EQ(legend->GetItem(0)->GetColumns(), fresh->GetColumns());
  fresh->Release();
  EXPECT_EQ(legend->GetItem(0)->GetLayer(), Layer("河流"));
  EXPECT_EQ(LabelsOf(legend->GetItem(0)), (Strings{"主要河流", "小河"}));
}

}  // namespace
}  // namespace md::test
