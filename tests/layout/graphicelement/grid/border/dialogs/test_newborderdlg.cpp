// The new-border dialog: the same-interval box, the result of each kind, the
// width prompt, and a cancelled editor run that leaves its working border.
#include "layout/graphicelement/grid/border/dialogs/cgis_newmapborderdlg.h"
#include "layout/graphicelement/grid/border/igis_mapbordersimple.h"
#include "tests/layout/graphicelement/grid/border/dialogs/borderdialogtest.h"

namespace {

using md::ui::ScriptedDriver;
using md::ui::UiUser;

using NewBorderDialog = md::test::BorderDialogTest;

TEST_F(NewBorderDialog, SameIntervalCopiesAndLocksTheOtherIntervals) {
  CGIS_NewMapBorderDlg dlg;
  ScriptedDriver driver;
  driver.Then([](UiUser& u) {
    EXPECT_EQ(u.Checked(IDC_GIS_NB_SIMPLE), 1);
    EXPECT_EQ(u.Text(IDC_GIS_NB_WIDTH), "2000");
    u.Replace(IDC_GIS_NB_LEFT, "120");
    u.Click(IDC_GIS_NB_SAME);
    for (int id : {IDC_GIS_NB_RIGHT, IDC_GIS_NB_TOP, IDC_GIS_NB_BOTTOM}) {
      EXPECT_EQ(u.Text(id), "120");
      EXPECT_FALSE(u.IsEnabled(id));
    }
    u.Type(IDC_GIS_NB_LEFT, "5");
    for (int id : {IDC_GIS_NB_RIGHT, IDC_GIS_NB_TOP, IDC_GIS_NB_BOTTOM}) EXPECT_EQ(u.Text(id), "1205");
    u.Click(IDC_GIS_NB_SAME);
    for (int id : {IDC_GIS_NB_RIGHT, IDC_GIS_NB_TOP, IDC_GIS_NB_BOTTOM}) {
      EXPECT_EQ(u.Text(id), "1205");
      EXPECT_TRUE(u.IsEnabled(id));
    }
    u.Replace(IDC_GIS_NB_BOTTOM, "-7");
    u.Ok();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_nLeft, 1205);
  EXPECT_EQ(dlg.m_nRight, 1205);
  EXPECT_EQ(dlg.m_nTop, 1205);
  EXPECT_EQ(dlg.m_nBottom, -7);
}

TEST_F(NewBorderDialog, OkHandsOverABorderOfTheChosenKind) {
  const int radios[] = {IDC_GIS_NB_SIMPLE, IDC_GIS_NB_CALIBRATED, IDC_GIS_NB_PATTERN};
  for (int kind = 0; kind < 3; ++kind) {
    CGIS_NewMapBorderDlg dlg;
    dlg.m_nWidth = 900;
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      EXPECT_EQ(u.Text(IDC_GIS_NB_WIDTH), "900");
      u.Click(radios[kind]);
      u.Replace(IDC_GIS_NB_WIDTH, "1500");
      u.Ok();
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    ASSERT_NE(dlg.GetResult(), nullptr);
    EXPECT_EQ(dlg.GetResult()->GetType(), kind + 1);
    EXPECT_EQ(dlg.m_nWidth, 1500);
    EXPECT_EQ(dlg.GetWorkingBorder(kind), nullptr);  // released on closing
  }
}

TEST_F(NewBorderDialog, AWidthOutOfRangeIsPromptedAndCancelGivesNoBorder) {
  CGIS_NewMapBorderDlg dlg;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Replace(IDC_GIS_NB_WIDTH, "0");
    u.Ok();
    EXPECT_FALSE(u.Ended());
    EXPECT_EQ(Prompts(), 1u);
    EXPECT_NE(dlg.GetWorkingBorder(0), nullptr);
    u.Replace(IDC_GIS_NB_WIDTH, "1000000001");
    u.Ok();
    EXPECT_EQ(Prompts(), 2u);
    u.Cancel();
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.GetResult(), nullptr);
  EXPECT_EQ(dlg.GetWorkingBorder(0), nullptr);
}

TEST_F(NewBorderDialog, ACancelledEditorRunLeavesTheWorkingBorderAndAConfirmedLineIsKept) {
  CGIS_NewMapBorderDlg dlg;
  std::vector<BYTE> before, after;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(IDC_GIS_NB_PATTERN);
    before = md::test::Stored(dlg.GetWorkingBorder(2));
    u.Click(IDC_GIS_NB_PROPERTY);
    after = md::test::Stored(dlg.GetWorkingBorder(2));
    u.Click(IDC_GIS_NB_SIMPLE);
    u.Click(IDC_GIS_NB_PROPERTY);
    u.Ok();
  });
  driver.Then([](UiUser& u) {  // the pattern editor: a corner symbol, then Cancel
    u.Click(3114);
    u.Cancel();
  });
  driver.Then(Choose(1));  // the corner's chooser
  driver.Then(Choose(2));  // the simple border's line chooser
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(after, before);
  ASSERT_NE(dlg.GetResult(), nullptr);
  IGIS_Symbol* chosen = GIS_MakeCatalogueSymbol(2, 2);
  auto* simple = dynamic_cast<IGIS_MapBorderSimple*>(dlg.GetResult());
  ASSERT_NE(simple, nullptr);
  EXPECT_EQ(md::test::SymbolBytes(simple->GetLineSymbolPtr()), md::test::SymbolBytes(chosen));
  chosen->Release();
}

TEST_F(NewBorderDialog, Snapshot) {
  CGIS_NewMapBorderDlg dlg;
  const std::string path = SnapshotPath("newmapborder");
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(IDC_GIS_NB_SAME);
    EXPECT_TRUE(u.Snapshot(path));
    u.Cancel();
  });
  dlg.DoModal();
  EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
