// The mixed-font label's dialog: its sheet and the default label as shown,
// the digit count kept while the grouped-digits flag is off, the count's
// range past the up-down's reach, the number format written only on its
// dialog's OK, the two fonts, the zone box and the position list.
#include <string>
#include <vector>

#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/dialogs/cgis_numericformatdlg.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_mixfontpage.h"
#include "layout/graphicelement/grid/label/igis_mixedfontgridlabel.h"
#include "tests/layout/graphicelement/grid/grid/dialogs/griddialogtest.h"

namespace {

using md::basilo::ReleasePtr;
using md::test::Owned;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

using MixFontPage = md::test::GridDialogTest;

Owned<IGIS_MixedFontGridLabel> NewMixedLabel() {
  return Owned<IGIS_MixedFontGridLabel>(
      dynamic_cast<IGIS_MixedFontGridLabel*>(GIS_CreateMapGridLabelFormatObject(GIS_GRIDLABEL_MIXEDFONT)));
}

// The seven settings the number-format dialog edits.
std::vector<int> SevenOf(IGIS_NumericFormat* f) {
  return {f->GetAlignment(),  f->GetWidth(),        f->GetRoundingMode(),
          f->GetDigits(),     f->GetShowPlusSign(), f->GetShowThousandsSeparator(),
          f->GetZeroPadding()};
}

TEST_F(MixFontPage, TheDefaultLabelShowsTwoDigitsTheCrossingsAndSecondaryLabelsAndNoZone) {
  Owned<IGIS_MixedFontGridLabel> label = NewMixedLabel();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Sheet()->GetTitle(), "方里网标注属性");
    EXPECT_EQ(u.Sheet()->GetPage(0)->GetCaption(), "混合字体标注");
    EXPECT_EQ(u.Text(IDC_GIS_MF_DIGITS), "2");
    EXPECT_TRUE(u.IsEnabled(IDC_GIS_MF_DIGITS));
    EXPECT_EQ(u.Selection(IDC_GIS_MF_POSITION), 3);
    EXPECT_EQ(u.Text(IDC_GIS_MF_POSITION), "四个交点和次要标注");
    EXPECT_EQ(u.Checked(IDC_GIS_MF_SHOW_ZONE), 0);
    EXPECT_TRUE(u.Snapshot(SnapshotPath("mixfont")));
    u.Cancel();
  });
  EXPECT_FALSE(label->OnOpenPropertyDlg());
}

TEST_F(MixFontPage, WithTheFlagOffTheFieldIsDisabledAndTheStoredCountGoesBackUnchanged) {
  for (int stored : {7, 0, 15}) {
    SCOPED_TRACE(stored);
    md::ui::ClearMessageBoxLog();
    Owned<IGIS_MixedFontGridLabel> label = NewMixedLabel();
    label->SetGroupedDigitsType(false);
    label->SetNumGroupedDigits(stored);
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      EXPECT_FALSE(u.IsEnabled(IDC_GIS_MF_DIGITS));
      EXPECT_FALSE(u.IsEnabled(IDC_GIS_MF_DIGITS_SPIN));
      EXPECT_EQ(u.Text(IDC_GIS_MF_DIGITS), std::to_string(stored));
      u.Click(IDC_GIS_MF_SHOW_ZONE);
      u.Ok();
    });
    EXPECT_TRUE(label->OnOpenPropertyDlg());
    EXPECT_EQ(Prompts(), 0u);
    EXPECT_FALSE(label->GetGroupedDigitsType());
    EXPECT_EQ(label->GetNumGroupedDigits(), stored);
    EXPECT_TRUE(label->GetShowZone());
  }
}

TEST_F(MixFontPage, TheCountRunsToTenWhileItsUpDownReachesTwenty) {
  struct Row {
    const char* typed;  // NULL: the up arrow pressed thirty times
    bool refused;
    int after;
  } rows[] = {{"10", false, 10}, {"0", false, 0}, {"11", true, 2}, {nullptr, true, 2}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed != nullptr ? row.typed : "up arrow");
    md::ui::ClearMessageBoxLog();
    Owned<IGIS_MixedFontGridLabel> label = NewMixedLabel();
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      if (row.typed != nullptr) {
        u.Replace(IDC_GIS_MF_DIGITS, row.typed);
      } else {
        u.Spin(IDC_GIS_MF_DIGITS_SPIN, 30);
        EXPECT_EQ(u.Text(IDC_GIS_MF_DIGITS), "20");
      }
      u.Ok();
      EXPECT_EQ(u.Ended(), !row.refused);
      if (row.refused) {
        EXPECT_EQ(Prompts(), 1u);
        u.Cancel();
      }
    });
    EXPECT_EQ(label->OnOpenPropertyDlg(), !row.refused);
    EXPECT_EQ(label->GetNumGroupedDigits(), row.after);
  }
}

TEST_F(MixFontPage, TheNumberFormatIsWrittenOnItsDialogsOkOnly) {
  for (bool confirm : {true, false}) {
    SCOPED_TRACE(confirm);
    Owned<IGIS_MixedFontGridLabel> label = NewMixedLabel();
    IGIS_NumericFormat* format = label->GetNumericFormat();
    ASSERT_NE(format, nullptr);
    const std::vector<int> before = SevenOf(format);
    ScriptedDriver driver;
    driver.Then([](UiUser& u) {
      u.Click(IDC_GIS_MF_NUMBER_FORMAT);
      u.Ok();
    });
    driver.Then([confirm](UiUser& u) {
      u.Click(IDC_NUMFMT_RIGHT);
      u.Replace(IDC_NUMFMT_WIDTH, "12");
      u.Click(IDC_NUMFMT_SIGNIFICANT);
      u.Replace(IDC_NUMFMT_DIGITS, "4");
      u.Click(IDC_NUMFMT_PLUS);
      u.Click(IDC_NUMFMT_SEPARATOR);
      u.Click(IDC_NUMFMT_ZEROS);
      confirm ? u.Ok() : u.Cancel();
    });
    EXPECT_TRUE(label->OnOpenPropertyDlg());
    std::vector<int> expected = before;
    if (confirm) {
      expected = {1, 12, 1, 4, !before[4], !before[5], !before[6]};
    }
    EXPECT_EQ(SevenOf(label->GetNumericFormat()), expected);
  }
}

TEST_F(MixFontPage, TheFontsReachTheLabelAtOnceAndZoneAndPositionWhenLeft) {
  Owned<IGIS_MixedFontGridLabel> label = NewMixedLabel();
  ReleasePtr<IGIS_Symbol> secondary(GIS_MakeCatalogueSymbol(GIS_CHOOSE_TEXT, 1));
  ReleasePtr<IGIS_Symbol> zone(GIS_MakeCatalogueSymbol(GIS_CHOOSE_TEXT, 3));
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(IDC_GIS_MF_SECONDARY_FONT);
    u.Click(IDC_GIS_MF_ZONE_FONT);
    EXPECT_EQ(md::test::SymbolBytes(label->GetSecondarySymbolText()), md::test::SymbolBytes(secondary.get()));
    EXPECT_EQ(md::test::SymbolBytes(label->GetZoneSymbolText()), md::test::SymbolBytes(zone.get()));
    u.Click(IDC_GIS_MF_SHOW_ZONE);
    u.Choose(IDC_GIS_MF_POSITION, 1);
    EXPECT_FALSE(label->GetShowZone());
    EXPECT_EQ(label->GetPosition(), 3);
    u.Replace(IDC_GIS_MF_DIGITS, "3");
    u.Ok();
  });
  driver.Then(Choose(1));
  driver.Then(Choose(3));
  EXPECT_TRUE(label->OnOpenPropertyDlg());
  EXPECT_TRUE(label->GetShowZone());
  EXPECT_EQ(label->GetPosition(), 1);
  EXPECT_EQ(label->GetNumGroupedDigits(), 3);
  EXPECT_TRUE(label->GetGroupedDigitsType());

  // A typed position selects no entry and keeps the label's.
  driver.Then([](UiUser& u) {
    u.Replace(IDC_GIS_MF_POSITION, "别的");
    u.Ok();
  });
  EXPECT_TRUE(label->OnOpenPropertyDlg());
  EXPECT_EQ(label->GetPosition(), 1);
}

}  // namespace
