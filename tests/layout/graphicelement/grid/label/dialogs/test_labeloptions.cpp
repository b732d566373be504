// The labelling options no grid takes yet: the corner page's flags, the
// key-number dialog's counts and suffixes, the one-list dialog's first
// selection; a snapshot of each.
#include <memory>
#include <string>

#include "layout/graphicelement/grid/label/dialogs/cgis_combochoicedlg.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_jiaobiaolablepage.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_keynumberdlg.h"
#include "tests/layout/graphicelement/grid/grid/dialogs/griddialogtest.h"

namespace {

using md::ui::ScriptedDriver;
using md::ui::UiUser;

using LabelOptions = md::test::GridDialogTest;

TEST_F(LabelOptions, TheCornerPageKeepsTheTickedCornersInItsOrder) {
  struct Row {
    std::vector<int> clicked;
    int lowerLeft, upperLeft, lowerRight, upperRight;
  } rows[] = {
      {{IDC_GIS_CL_UPPER_LEFT, IDC_GIS_CL_LOWER_RIGHT}, 0, 1, 1, 0},
      {{IDC_GIS_CL_LOWER_LEFT, IDC_GIS_CL_UPPER_RIGHT, IDC_GIS_CL_UPPER_RIGHT}, 1, 0, 0, 0},
      {{}, 0, 0, 0, 0},
  };
  for (const Row& row : rows) {
    CGIS_JiaoBiaoLablePage page;
    CPropertySheet sheet("拐角标注");
    sheet.AddPage(&page);
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      if (row.clicked.empty()) {
        EXPECT_TRUE(u.Snapshot(SnapshotPath("cornerlabel")));
      }
      for (int id : row.clicked) u.Click(id);
      u.Ok();
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(page.m_nLowerLeft, row.lowerLeft);
    EXPECT_EQ(page.m_nUpperLeft, row.upperLeft);
    EXPECT_EQ(page.m_nLowerRight, row.lowerRight);
    EXPECT_EQ(page.m_nUpperRight, row.upperRight);
  }
  // It is made by its class name.
  std::unique_ptr<CWnd> made(md::ui::CreateWindowObject("CGIS_JiaoBiaoLablePage"));
  EXPECT_NE(dynamic_cast<CGIS_JiaoBiaoLablePage*>(made.get()), nullptr);
}

TEST_F(LabelOptions, TheKeyNumberDialogRangesItsCountsAndKeepsItsSuffixes) {
  struct Row {
    int edit;
    const char* typed;
    bool refused;
  } rows[] = {{IDC_GIS_KN_KEY_DIGITS, "21", true},
              {IDC_GIS_KN_KEY_DIGITS, "20", false},
              {IDC_GIS_KN_BASE_DIGITS, "21", true},
              {IDC_GIS_KN_BASE_DIGITS, "0", false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.typed) + " in " + std::to_string(row.edit));
    md::ui::ClearMessageBoxLog();
    CGIS_KeyNumberDlg dlg;
    dlg.m_nKeyDigits = 3;
    dlg.m_nBaseDigits = 4;
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      EXPECT_EQ(u.Text(IDC_GIS_KN_KEY_DIGITS), "3");
      u.Replace(row.edit, row.typed);
      u.Replace(IDC_GIS_KN_UNIT_SUFFIX, "m");
      u.Replace(IDC_GIS_KN_EASTING_SUFFIX, "E");
      u.Replace(IDC_GIS_KN_NORTHING_SUFFIX, "北");
      u.Click(IDC_GIS_KN_FONT);
      u.Ok();
      EXPECT_EQ(u.Ended(), !row.refused);
      EXPECT_EQ(Prompts(), row.refused ? 1u : 0u);
      if (row.refused) u.Cancel();
    });
    EXPECT_EQ(dlg.DoModal(), row.refused ? IDCANCEL : IDOK);
    // The font button opens nothing.
    EXPECT_EQ(driver.DialogsRun(), 1);
    if (!row.refused) {
      const int typed = std::stoi(row.typed);
      EXPECT_EQ(row.edit == IDC_GIS_KN_KEY_DIGITS ? dlg.m_nKeyDigits : dlg.m_nBaseDigits, typed);
      EXPECT_EQ(dlg.m_strUnitSuffix, "m");
      EXPECT_EQ(dlg.m_strEastingSuffix, "E");
      EXPECT_EQ(dlg.m_strNorthingSuffix, "北");
    }
  }
}

// The up-downs keep their template's range (100 below, 0 above, so that
// the down arrow counts up) and write the edit before them.
TEST_F(LabelOptions, TheUpDownsOfTheKeyNumberDialogWriteTheirEdits) {
  CGIS_KeyNumberDlg dlg;
  ScriptedDriver driver;
  driver.Then([](UiUser& u) {
    EXPECT_TRUE(u.Snapshot(SnapshotPath("keynumber")));
    u.Spin(IDC_GIS_KN_KEY_DIGITS_SPIN, -2);
    EXPECT_EQ(u.Text(IDC_GIS_KN_KEY_DIGITS), "2");
    u.Spin(IDC_GIS_KN_BASE_DIGITS_SPIN, -5);
    u.Ok();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_nKeyDigits, 2);
  EXPECT_EQ(dlg.m_nBaseDigits, 5);
}

TEST_F(LabelOptions, TheOneListDialogOpensOnItsSecondEntry) {
  CGIS_ComboChoiceDlg dlg;
  ScriptedDriver driver;
  driver.Then([](UiUser& u) {
    EXPECT_TRUE(u.Snapshot(SnapshotPath("combochoice")));
    EXPECT_EQ(u.Selection(IDC_GIS_CC_LIST), 1);
    u.Choose(IDC_GIS_CC_LIST, 2);
    u.Ok();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
}

}  // namespace
