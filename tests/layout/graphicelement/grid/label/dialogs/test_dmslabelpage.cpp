// The degrees-minutes-seconds label's dialog: its sheet and caption, the
// two boxes written minutes first, the display list enabling the stacked
// font, the decimals' range and the font chosen into the label.
#include <string>

#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_dmslabelpage.h"
#include "tests/layout/graphicelement/grid/grid/dialogs/griddialogtest.h"

namespace {

using md::basilo::ReleasePtr;
using md::test::Owned;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

using DMSLabelPage = md::test::GridDialogTest;

Owned<IGIS_DMSGridLabel> NewDMSLabel() {
  return Owned<IGIS_DMSGridLabel>(dynamic_cast<IGIS_DMSGridLabel*>(GIS_CreateMapGridLabelFormatObject(0)));
}

// What the label shows, as the two getters answer.
enum Shown { kDegrees, kMinutes, kSeconds };

Shown ShownBy(IGIS_DMSGridLabel* label) {
  return label->IsShowSeconds() ? kSeconds : label->IsShowMinutes() ? kMinutes : kDegrees;
}

void Show(IGIS_DMSGridLabel* label, Shown shown) {
  label->SetShowMinutes(shown != kDegrees);
  label->SetShowSeconds(shown == kSeconds);
}

TEST_F(DMSLabelPage, TheBoxesAreWrittenMinutesFirstWhateverTheLabelShowed) {
  // The boxes as left, and what the label then shows: seconds bring minutes.
  struct Row {
    int minutes, seconds;
    Shown after;
  } rows[] = {{0, 0, kDegrees}, {1, 0, kMinutes}, {0, 1, kSeconds}, {1, 1, kSeconds}};
  for (Shown before : {kDegrees, kMinutes, kSeconds}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::to_string(before) + ": " + std::to_string(row.minutes) + std::to_string(row.seconds));
      Owned<IGIS_DMSGridLabel> label = NewDMSLabel();
      Show(label.get(), before);
      ScriptedDriver driver;
      driver.Then([&](UiUser& u) {
        EXPECT_EQ(u.Checked(IDC_GIS_DMS_MINUTES), before != kDegrees ? 1 : 0);
        EXPECT_EQ(u.Checked(IDC_GIS_DMS_SECONDS), before == kSeconds ? 1 : 0);
        if (u.Checked(IDC_GIS_DMS_MINUTES) != row.minutes) u.Click(IDC_GIS_DMS_MINUTES);
        if (u.Checked(IDC_GIS_DMS_SECONDS) != row.seconds) u.Click(IDC_GIS_DMS_SECONDS);
        u.Ok();
      });
      EXPECT_TRUE(label->OnOpenPropertyDlg());
      // How the boxes show each state is checked as the dialog opens.
      EXPECT_EQ(ShownBy(label.get()), row.after);
    }
  }
}

TEST_F(DMSLabelPage, ItRunsAloneInTheSheetUnderItsCaption) {
  Owned<IGIS_DMSGridLabel> label = NewDMSLabel();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Sheet()->GetTitle(), "经纬网DMS标注属性");
    EXPECT_EQ(u.Sheet()->GetPageCount(), 1);
    EXPECT_EQ(u.Sheet()->GetPage(0)->GetCaption(), "DMS标注");
    // The controls the page keeps hidden.
    for (int id : {IDC_GIS_DMS_HIDDEN_FONT, IDC_GIS_DMS_HIDDEN_DECIMAL_PLACES, IDC_GIS_DMS_HIDDEN_SIGNIFICANT,
                   IDC_GIS_DMS_HIDDEN_ZEROS})
      EXPECT_FALSE(u.IsVisible(id)) << id;
    EXPECT_TRUE(u.Snapshot(SnapshotPath("dmslabel")));
    u.Cancel();
  });
  EXPECT_FALSE(label->OnOpenPropertyDlg());
  EXPECT_EQ(driver.DialogsRun(), 1);
}

TEST_F(DMSLabelPage, TheDisplayListEnablesTheStackedFontAtOnceAndIsStored) {
  Owned<IGIS_DMSGridLabel> label = NewDMSLabel();
  ReleasePtr<IGIS_Symbol> chosen(GIS_MakeCatalogueSymbol(GIS_CHOOSE_TEXT, 2));
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Text(IDC_GIS_DMS_TYPE), "标准的");
    EXPECT_FALSE(u.IsEnabled(IDC_GIS_DMS_FONT));
    u.Choose(IDC_GIS_DMS_TYPE, 1);
    EXPECT_TRUE(u.IsEnabled(IDC_GIS_DMS_FONT));
    EXPECT_TRUE(u.Click(IDC_GIS_DMS_FONT));
    // The font reaches the label at once.
    EXPECT_EQ(md::test::SymbolBytes(label->GetSecondsSymbolText()), md::test::SymbolBytes(chosen.get()));
    EXPECT_EQ(label->GetDMSLabelType(), GIS_DMSLABEL_STANDARD);
    u.Choose(IDC_GIS_DMS_TYPE, 0);
    EXPECT_FALSE(u.IsEnabled(IDC_GIS_DMS_FONT));
    u.Choose(IDC_GIS_DMS_TYPE, 1);
    u.Ok();
  });
  driver.Then(Choose(2));
  EXPECT_TRUE(label->OnOpenPropertyDlg());
  EXPECT_EQ(label->GetDMSLabelType(), GIS_DMSLABEL_STACKED);
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Text(IDC_GIS_DMS_TYPE), "堆积显示");
    EXPECT_TRUE(u.IsEnabled(IDC_GIS_DMS_FONT));
    u.Cancel();
  });
  EXPECT_FALSE(label->OnOpenPropertyDlg());
}

TEST_F(DMSLabelPage, DecimalsRunFromZeroToTen) {
  struct Row {
    const char* typed;
    bool refused;
  } rows[] = {{"0", false}, {"10", false}, {"11", true}, {"-1", true}, {"3a", false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed);
    md::ui::ClearMessageBoxLog();
    Owned<IGIS_DMSGridLabel> label = NewDMSLabel();
    label->SetDecimalDigits(2);
    const std::vector<BYTE> before = md::test::Stored(label.get());
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      EXPECT_EQ(u.Text(IDC_GIS_DMS_DECIMALS), "2");
      u.Replace(IDC_GIS_DMS_DECIMALS, row.typed);
      u.Ok();
      EXPECT_EQ(u.Ended(), !row.refused);
      if (row.refused) {
        EXPECT_EQ(Prompts(), 1u);
        u.Cancel();
      }
    });
    EXPECT_EQ(label->OnOpenPropertyDlg(), !row.refused);
    if (row.refused) {
      EXPECT_EQ(md::test::Stored(label.get()), before);
    } else {
      EXPECT_EQ(label->GetDecimalDigits(), std::stoi(row.typed));
    }
  }
  // The up-down stops at 10.
  Owned<IGIS_DMSGridLabel> label = NewDMSLabel();
  ScriptedDriver driver;
  driver.Then([](UiUser& u) {
    u.Spin(IDC_GIS_DMS_DECIMALS_SPIN, 30);
    EXPECT_EQ(u.Text(IDC_GIS_DMS_DECIMALS), "10");
    u.Ok();
  });
  EXPECT_TRUE(label->OnOpenPropertyDlg());
  EXPECT_EQ(label->GetDecimalDigits(), 10);
}

}  // namespace
