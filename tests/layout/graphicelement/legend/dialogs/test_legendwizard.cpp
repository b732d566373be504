// The legend wizard played as a user plays it: the layers the map offers,
// items added, removed, moved and given classes, the title and the gaps, and
// what the legend holds after Finish, Back/Next and Cancel.
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/legend/igis_legendformat.h"
#include "platform/ui/app.h"
#include "tests/layout/graphicelement/legend/dialogs/legenddialogtest.h"

namespace md::test {
namespace {

using md::ui::ScriptedDriver;
using md::ui::UiUser;
using Strings = std::vector<std::string>;

// Controls of the layers page.
constexpr int kMapLayers = 4209, kItems = 4213, kAdd = 4094, kAddAll = 4096, kRemoveAll = 3069,
              kRemove = 4098, kUp = 3018, kDown = 4215, kClasses = 3049;
// Controls of the class selection dialog.
constexpr int kClassList = 3040, kChosen = 3041, kClassAdd = 3042, kClassAddAll = 3043, kClassRemove = 3044,
              kClassRemoveAll = 3047, kClassUp = 3045, kClassDown = 3046;

Strings LayersOf(IGIS_LegendElement* legend) {
  Strings out;
  for (int i = 0; i < legend->GetItemCount(); ++i) {
    IGIS_MapLayer* layer = legend->GetItem(i)->GetLayer();
    out.emplace_back(layer != nullptr ? layer->GetName() : "?");
  }
  return out;
}

class LegendWizardTest : public LegendDialogs {};

TEST_F(LegendWizardTest, FinishGivesTheLegendTheChosenLayersClassesTitleAndGaps) {
  CGIS_LegendElement* legend = NewLegend(NewFrame());
  legend->GetLegendFormat()->SetTitleAndLegendGap(120);
  legend->GetLegendFormat()->SetDefaultPatchWidth(500);
  legend->GetLegendFormat()->SetShowLayerName(false);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(Lines(u, kMapLayers), (Strings{"河流", "植被", "公路", "居民点"}));
    EXPECT_TRUE(Lines(u, kItems).empty());
    EXPECT_FALSE(u.IsEnabled(kAdd));
    EXPECT_TRUE(u.IsEnabled(kAddAll));
    EXPECT_FALSE(u.IsEnabled(kRemove));
    EXPECT_FALSE(u.IsEnabled(kRemoveAll));
    EXPECT_FALSE(u.IsEnabled(kUp));
    EXPECT_FALSE(u.IsEnabled(kDown));
    EXPECT_FALSE(u.IsVisible(4216));
    EXPECT_EQ(u.Sheet()->GetWizardButtons(), static_cast<DWORD>(PSWIZB_NEXT));
    u.Choose(kMapLayers, 1);
    EXPECT_TRUE(u.IsEnabled(kAdd));
    u.CtrlClick(kMapLayers, 3);
    u.Click(kAdd);
    EXPECT_EQ(Lines(u, kItems), (Strings{"植被", "居民点"}));
    EXPECT_EQ(Selected(u, kItems), (std::vector<int>{1}));
    EXPECT_TRUE(Selected(u, kMapLayers).empty());
    EXPECT_TRUE(u.IsEnabled(kUp));
    EXPECT_FALSE(u.IsEnabled(kDown));
    EXPECT_FALSE(u.IsEnabled(kAdd));
    // The settlements move before the vegetation.
    u.Click(kUp);
    EXPECT_EQ(Lines(u, kItems), (Strings{"居民点", "植被"}));
    EXPECT_FALSE(u.IsEnabled(kUp));
    EXPECT_TRUE(u.IsEnabled(kDown));
    EXPECT_TRUE(u.Snapshot(SnapshotPath("legend_wizard_layers")));
    u.Choose(kItems, 1);
    u.Click(kClasses);  // the class selection below
    EXPECT_TRUE(Selected(u, kItems).empty());
    u.Next();
    EXPECT_EQ(u.Sheet()->GetWizardButtons(), static_cast<DWORD>(PSWIZB_BACK | PSWIZB_NEXT));
    EXPECT_EQ(u.Text(4245), "图例说明");
    EXPECT_EQ(u.Checked(1004), BST_CHECKED);
    EXPECT_TRUE(u.Snapshot(SnapshotPath("legend_wizard_title")));
    u.Replace(4245, "道路与居民地");
    u.Click(1005);
    u.Click(3019);  // the second symbol of the chooser
    u.Next();
    EXPECT_EQ(u.Sheet()->GetWizardButtons(), static_cast<DWORD>(PSWIZB_BACK | PSWIZB_FINISH));
    EXPECT_EQ(u.Sheet()->GetFinishText(), "完成");
    EXPECT_EQ(u.Text(4237), "120");
    EXPECT_EQ(u.Text(4242), "500");
    EXPECT_TRUE(u.Snapshot(SnapshotPath("legend_wizard_gaps")));
    u.Replace(4237, "2a5+0");  // letters never reach the edit
    EXPECT_EQ(u.Text(4237), "25+0");
    u.Replace(4237, "250");
    u.Replace(4238, "40");
    u.Replace(4242, "600");
    u.Replace(4245, "300");
    u.Finish();
  });
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(Lines(u, kClassList), (Strings{"林地", "无符号", "注记"}));
    EXPECT_TRUE(Lines(u, kChosen).empty());
    EXPECT_FALSE(u.IsEnabled(kClassAdd));
    EXPECT_FALSE(u.IsEnabled(kClassRemove));
    u.Choose(kClassList, 2);
    u.CtrlClick(kClassList, 0);
    u.Click(kClassAdd);
    EXPECT_EQ(Lines(u, kChosen), (Strings{"林地", "注记"}));
    EXPECT_EQ(Selected(u, kChosen), (std::vector<int>{1}));
    u.Click(kClassUp);
    EXPECT_EQ(Lines(u, kChosen), (Strings{"注记", "林地"}));
    EXPECT_TRUE(u.Snapshot(SnapshotPath("legend_select_classes")));
    u.Ok();
  });
  driver.Then(PickSecondSymbol);
  const auto titleBefore = SymbolBytes(legend->GetLegendFormat()->GetTitleSymbol());
  ASSERT_TRUE(legend->RunWizard());
  EXPECT_EQ(driver.DialogsRun(), 3);
  EXPECT_NE(SymbolBytes(legend->GetLegendFormat()->GetTitleSymbol()), titleBefore);

  EXPECT_EQ(LayersOf(legend), (Strings{"居民点", "植被"}));
  EXPECT_TRUE(LabelsOf(legend->GetItem(0)).empty());
  EXPECT_EQ(LabelsOf(legend->GetItem(1)), (Strings{"注记", "林地"}));
  EXPECT_STREQ(legend->GetTitle(), "道路与居民地");
  IGIS_LegendFormat* format = legend->GetLegendFormat();
  EXPECT_EQ(format->GetTitleAndLegendGap(), 250);
  EXPECT_EQ(format->GetVerticalItemGap(), 40);
  EXPECT_EQ(format->GetDefaultPatchWidth(), 600);
  EXPECT_EQ(format->GetDefaultPatchHeight(), 300);
  // Everything else of the format is a new format's.
  EXPECT_TRUE(format->GetShowLayerName());
}

TEST_F(LegendWizardTest, BackAndNextKeepWhatWasEntered) {
  CGIS_LegendElement* legend = NewLegend(NewFrame());
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(kAddAll);
    EXPECT_EQ(Lines(u, kItems), (Strings{"河流", "植被", "公路", "居民点"}));
    u.Next();
    u.Replace(4245, "新标题");
    u.Click(1008);
    u.Next();
    u.Replace(4238, "77");
    u.Back();
    // Back from the last page gives Next back and takes Finish away.
    EXPECT_TRUE(u.IsVisible(ID_WIZNEXT));
    EXPECT_FALSE(u.IsVisible(ID_WIZFINISH));
    EXPECT_EQ(u.Text(4245), "新标题");
    EXPECT_EQ(u.Checked(1008), BST_CHECKED);
    u.Back();
    EXPECT_EQ(Lines(u, kItems), (Strings{"河流", "植被", "公路", "居民点"}));
    u.Choose(kItems, 0);
    u.Click(kRemove);
    u.Next();
    u.Next();
    EXPECT_EQ(u.Text(4238), "77");
    u.Finish();
  });
  ASSERT_TRUE(legend->RunWizard());
  EXPECT_EQ(LayersOf(legend), (Strings{"植被", "公路", "居民点"}));
  EXPECT_STREQ(legend->GetTitle(), "新标题");
  EXPECT_EQ(legend->GetLegendFormat()->GetVerticalItemGap(), 77);
}

TEST_F(LegendWizardTest, CancelMakesNothing) {
  CGIS_LegendElement* legend = NewLegend(NewFrame());
  legend->SetTitle("原标题");
  legend->Archive(0, 0);
  const std::vector<unsigned char> before = CustomBytes(legend);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(kAddAll);
    u.Next();
    u.Replace(4245, "不要");
    u.Next();
    u.Replace(4237, "999");
    u.Cancel();
  });
  EXPECT_FALSE(legend->RunWizard());
  EXPECT_EQ(legend->GetItemCount(), 0);
  EXPECT_STREQ(legend->GetTitle(), "原标题");
  legend->Archive(0, 0);
  EXPECT_EQ(CustomBytes(legend), before);
}

TEST_F(LegendWizardTest, ItemButtonsFollowAddingRemovingAndMoving) {
  CGIS_LegendElement* legend = NewLegend(NewFrame());
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    // The same layer twice gives two items.
    u.Choose(kMapLayers, 0);
    u.Click(kAdd);
    EXPECT_FALSE(u.IsEnabled(kUp));
    u.DoubleClick(kMapLayers, 0);
    u.Choose(kMapLayers, 2);
    u.Click(kAdd);
    EXPECT_EQ(Lines(u, kItems), (Strings{"河流", "河流", "公路"}));
    // Moving the second-to-last entry down disables moving down.
    u.Choose(kItems, 1);
    EXPECT_TRUE(u.IsEnabled(kUp));
    EXPECT_TRUE(u.IsEnabled(kDown));
    u.Click(kDown);
    EXPECT_EQ(Lines(u, kItems), (Strings{"河流", "公路", "河流"}));
    EXPECT_EQ(Selected(u, kItems), (std::vector<int>{2}));
    EXPECT_FALSE(u.IsEnabled(kDown));
    // Removing the first of three leaves the new first selected.
    u.Choose(kItems, 0);
    u.Click(kRemove);
    EXPECT_EQ(Lines(u, kItems), (Strings{"公路", "河流"}));
    EXPECT_EQ(Selected(u, kItems), (std::vector<int>{0}));
    EXPECT_FALSE(u.IsEnabled(kUp));
    EXPECT_TRUE(u.IsEnabled(kDown));
    // A double click removes too.
    u.DoubleClick(kItems, 1);
    EXPECT_EQ(Lines(u, kItems), (Strings{"公路"}));
    u.Click(kRemoveAll);
    EXPECT_TRUE(Lines(u, kItems).empty());
    for (int id : {kRemove, kRemoveAll, kUp, kDown}) EXPECT_FALSE(u.IsEnabled(id)) << id;
    u.Choose(kMapLayers, 3);
    u.Click(kAdd);
    u.Choose(kMapLayers, 1);
    u.Click(kAdd);
    u.Next();
    u.Next();
    u.Finish();
  });
  ASSERT_TRUE(legend->RunWizard());
  EXPECT_EQ(LayersOf(legend), (Strings{"居民点", "植被"}));
}

TEST_F(LegendWizardTest, LayersWithoutClassesAndNestedGroupsAreHandled) {
  // A layer without data is listed but cannot become an item; a group
  // inside a group lists its vector layers depth first.
  IGIS_MapLayer* outer = GIS_CreateGroupLayerObject("外组");
  IGIS_MapLayer* inner = GIS_CreateGroupLayerObject("内组");
  inner->AddLayer(GIS_CreateEmptyVectorLayerObject("无数据"));
  outer->AddLayer(inner);
  ASSERT_TRUE(map_->AddLayer(outer));
  CGIS_LegendElement* legend = NewLegend(NewFrame());
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(Lines(u, kMapLayers), (Strings{"河流", "植被", "公路", "居民点", "无数据"}));
    u.Choose(kMapLayers, 4);
    u.Click(kAdd);
    EXPECT_TRUE(Lines(u, kItems).empty());
    u.Click(kAddAll);
    EXPECT_EQ(Lines(u, kItems), (Strings{"河流", "植被", "公路", "居民点"}));
    u.Next();
    u.Next();
    u.Finish();
  });
  ASSERT_TRUE(legend->RunWizard());
  EXPECT_EQ(legend->GetItemCount(), 4);
}

TEST_F(LegendWizardTest, WithoutAFrameTheLayersPageIsEmptyAndFinishAddsNoItem) {
  CGIS_LegendElement* legend = NewLegend();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(Lines(u, kMapLayers).empty());
    u.Next();
    u.Next();
    u.Finish();
  });
  ASSERT_TRUE(legend->RunWizard());
  EXPECT_EQ(legend->GetItemCount(), 0);
  EXPECT_STREQ(legend->GetTitle(), "图例说明");
}

TEST_F(LegendWizardTest, OutOfRangeGapsAndColumnsKeepThePage) {
  CGIS_LegendElement* legend = NewLegend(NewFrame());
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Next();
    u.Next();
    u.Replace(4239, "10001");
    u.Finish();
    EXPECT_FALSE(u.Ended());
    EXPECT_EQ(u.Sheet()->GetActiveIndex(), 2);
    u.Replace(4239, "10000");
    u.Finish();
  });
  md::ui::ClearMessageBoxLog();
  ASSERT_TRUE(legend->RunWizard());
  ASSERT_EQ(md::ui::MessageBoxLog().size(), 1u);
  EXPECT_NE(md::ui::MessageBoxLog()[0].text.find("10000"), std::string::npos);
  EXPECT_EQ(legend->GetLegendFormat()->GetHorizontalItemGap(), 10000);
}

TEST_F(LegendWizardTest, ClassSelectionCancelKeepsLabelsAndAnEmptyChoiceIsRefused) {
  CGIS_LegendElement* legend = NewLegend(NewFrame());
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Choose(kMapLayers, 1);
    u.Click(kAdd);
    u.Click(kClasses);  // all three, then OK
    u.Choose(kItems, 0);
    u.Click(kClasses);  // changed, then Cancel
    u.Choose(kItems, 0);
    u.Click(kClasses);  // emptied: refused, then Cancel
    u.Next();
    u.Next();
    u.Finish();
  });
  driver.Then([](UiUser& u) {
    u.Click(kClassAddAll);
    EXPECT_EQ(Lines(u, kChosen), (Strings{"林地", "无符号", "注记"}));
    EXPECT_TRUE(u.IsEnabled(kClassUp));
    EXPECT_FALSE(u.IsEnabled(kClassDown));
    u.Ok();
  });
  driver.Then([](UiUser& u) {
    EXPECT_EQ(Lines(u, kChosen), (Strings{"林地", "无符号", "注记"}));
    u.Choose(kChosen, 0);
    u.Click(kClassDown);
    u.Choose(kChosen, 2);
    u.Click(kClassRemove);
    EXPECT_EQ(Lines(u, kChosen), (Strings{"无符号", "林地"}));
    u.Cancel();
  });
  driver.Then([](UiUser& u) {
    u.Click(kClassRemoveAll);
    for (int id : {kClassRemove, kClassRemoveAll, kClassUp, kClassDown}) EXPECT_FALSE(u.IsEnabled(id)) << id;
    u.Ok();
    EXPECT_FALSE(u.Ended());
    u.Cancel();
  });
  md::ui::ClearMessageBoxLog();
  ASSERT_TRUE(legend->RunWizard());
  ASSERT_EQ(md::ui::MessageBoxLog().size(), 1u);
  EXPECT_EQ(md::ui::MessageBoxLog()[0].text, "请选择图例项。");
  ASSERT_EQ(legend->GetItemCount(), 1);
  EXPECT_EQ(LabelsOf(legend->GetItem(0)), (Strings{"林地", "无符号", "注记"}));
}

}  // namespace
}  // namespace md::test
