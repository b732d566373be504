// The pattern-border dialog: what it shows on a new border, the corner, side
// and scale boxes, the symbol buttons through the chooser, range prompts,
// and Cancel through the callers' backup.
#include "layout/graphicelement/grid/border/cgis_mapborderpattern.h"
#include "layout/graphicelement/grid/border/dialogs/borderdialogs.h"
#include "layout/graphicelement/grid/border/dialogs/cgis_mapborderpatterndlg.h"
#include "tests/layout/graphicelement/grid/border/dialogs/borderdialogtest.h"

namespace {

using md::test::LogMark;
using md::test::Owned;
using md::test::SymbolBytes;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

using PatternDialog = md::test::BorderDialogTest;

TEST_F(PatternDialog, ANewBorderShowsScalesOfOneAndEverythingEnabled) {
  Owned<CGIS_MapBorderPattern> border(new CGIS_MapBorderPattern());
  CGIS_MapBorderPatternDlg dlg;
  dlg.m_pMapBorderPattern = border.get();
  ScriptedDriver driver;
  driver.Then([](UiUser& u) {
    for (int id :
         {IDC_GIS_PB_LEFT_SCALE, IDC_GIS_PB_RIGHT_SCALE, IDC_GIS_PB_TOP_SCALE, IDC_GIS_PB_BOTTOM_SCALE}) {
      EXPECT_EQ(u.Text(id), "1");
      EXPECT_TRUE(u.IsEnabled(id));
    }
    for (int id : {IDC_GIS_PB_SAME_SCALE, IDC_GIS_PB_SAME_CORNER, IDC_GIS_PB_SAME_SIDE})
      EXPECT_EQ(u.Checked(id), 0);
    for (int id : {IDC_GIS_PB_LEFTTOP, IDC_GIS_PB_LEFTBOTTOM, IDC_GIS_PB_RIGHTTOP, IDC_GIS_PB_RIGHTBOTTOM,
                   IDC_GIS_PB_LEFT, IDC_GIS_PB_RIGHT, IDC_GIS_PB_TOP, IDC_GIS_PB_BOTTOM})
      EXPECT_TRUE(u.IsEnabled(id));
    u.Cancel();
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(PatternDialog, SameCornersCopyTheLeftTopSymbolAndLockTheirButtons) {
  Owned<CGIS_MapBorderPattern> border(new CGIS_MapBorderPattern());
  Owned<IGIS_Symbol> red(md::test::NewFill(RGB(220, 0, 0)));
  border->SetLeftTopSymbolPtr(red.get());
  CGIS_MapBorderPatternDlg dlg;
  dlg.m_pMapBorderPattern = border.get();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(IDC_GIS_PB_SAME_CORNER);
    for (int id : {IDC_GIS_PB_LEFTBOTTOM, IDC_GIS_PB_RIGHTTOP, IDC_GIS_PB_RIGHTBOTTOM})
      EXPECT_FALSE(u.IsEnabled(id));
    EXPECT_TRUE(u.IsEnabled(IDC_GIS_PB_LEFTTOP));
    for (IGIS_Symbol* s : {border->GetLeftBottomSymbolPtr(), border->GetRightTopSymbolPtr(),
                           border->GetRightBottomSymbolPtr()})
      EXPECT_EQ(SymbolBytes(s), SymbolBytes(red.get()));
    u.Click(IDC_GIS_PB_SAME_CORNER);
    for (int id : {IDC_GIS_PB_LEFTBOTTOM, IDC_GIS_PB_RIGHTTOP, IDC_GIS_PB_RIGHTBOTTOM})
      EXPECT_TRUE(u.IsEnabled(id));
    EXPECT_EQ(SymbolBytes(border->GetRightTopSymbolPtr()), SymbolBytes(red.get()));
    u.Ok();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
}

TEST_F(PatternDialog, SameSidesTakeTheChosenLeftSymbolAndScale) {
  Owned<CGIS_MapBorderPattern> border(new CGIS_MapBorderPattern());
  border->SetLeftScale(2.5);
  CGIS_MapBorderPatternDlg dlg;
  dlg.m_pMapBorderPattern = border.get();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(IDC_GIS_PB_SAME_SIDE);
    for (int id : {IDC_GIS_PB_RIGHT, IDC_GIS_PB_TOP, IDC_GIS_PB_BOTTOM}) EXPECT_FALSE(u.IsEnabled(id));
    u.Click(IDC_GIS_PB_LEFT);  // the chooser opens
    for (int id : {IDC_GIS_PB_RIGHT_SCALE, IDC_GIS_PB_TOP_SCALE, IDC_GIS_PB_BOTTOM_SCALE})
      EXPECT_EQ(u.Text(id), "2.5");
    u.Ok();
  });
  driver.Then(Choose(1));
  EXPECT_EQ(dlg.DoModal(), IDOK);
  ASSERT_NE(border->GetLeftSymbolPtr(), nullptr);
  for (IGIS_Symbol* s :
       {border->GetRightSymbolPtr(), border->GetTopSymbolPtr(), border->GetBottomSymbolPtr()})
    EXPECT_EQ(SymbolBytes(s), SymbolBytes(border->GetLeftSymbolPtr()));
  for (double scale :
       {border->GetLeftScale(), border->GetRightScale(), border->GetTopScale(), border->GetBottomScale()})
    EXPECT_DOUBLE_EQ(scale, 2.5);
}

TEST_F(PatternDialog, SameScaleFollowsTheLeftEditAndOkSetsAllFour) {
  Owned<CGIS_MapBorderPattern> border(new CGIS_MapBorderPattern());
  CGIS_MapBorderPatternDlg dlg;
  dlg.m_pMapBorderPattern = border.get();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(IDC_GIS_PB_SAME_SCALE);
    for (int id : {IDC_GIS_PB_RIGHT_SCALE, IDC_GIS_PB_TOP_SCALE, IDC_GIS_PB_BOTTOM_SCALE})
      EXPECT_FALSE(u.IsEnabled(id));
    u.Replace(IDC_GIS_PB_LEFT_SCALE, "1.5");
    for (int id : {IDC_GIS_PB_RIGHT_SCALE, IDC_GIS_PB_TOP_SCALE, IDC_GIS_PB_BOTTOM_SCALE})
      EXPECT_EQ(u.Text(id), "1.5");
    u.Click(IDC_GIS_PB_SAME_SCALE);
    EXPECT_TRUE(u.IsEnabled(IDC_GIS_PB_RIGHT_SCALE));
    u.Click(IDC_GIS_PB_SAME_SCALE);
    u.Ok();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  for (double scale :
       {border->GetLeftScale(), border->GetRightScale(), border->GetTopScale(), border->GetBottomScale()})
    EXPECT_DOUBLE_EQ(scale, 1.5);
}

// Each side accepts scales up to the one maximum and refuses above it.
TEST_F(PatternDialog, ScalesAboveTheMaximumArePromptedAndTheDialogStays) {
  for (int id :
       {IDC_GIS_PB_LEFT_SCALE, IDC_GIS_PB_RIGHT_SCALE, IDC_GIS_PB_TOP_SCALE, IDC_GIS_PB_BOTTOM_SCALE}) {
    Owned<CGIS_MapBorderPattern> border(new CGIS_MapBorderPattern());
    md::ui::ClearMessageBoxLog();
    CGIS_MapBorderPatternDlg dlg;
    dlg.m_pMapBorderPattern = border.get();
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      u.Replace(id, "200000000");
      u.Ok();
      EXPECT_FALSE(u.Ended()) << id;
      EXPECT_EQ(Prompts(), 1u) << id;
      u.Replace(id, "20000000");
      u.Ok();
    });
    EXPECT_EQ(dlg.DoModal(), IDOK) << id;
  }
}

TEST_F(PatternDialog, CheckingSameScaleWithAScaleOutOfRangeChangesNothing) {
  Owned<CGIS_MapBorderPattern> border(new CGIS_MapBorderPattern());
  CGIS_MapBorderPatternDlg dlg;
  dlg.m_pMapBorderPattern = border.get();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Replace(IDC_GIS_PB_LEFT_SCALE, "4");
    u.Replace(IDC_GIS_PB_RIGHT_SCALE, "200000000");
    u.Click(IDC_GIS_PB_SAME_SCALE);
    EXPECT_EQ(Prompts(), 1u);
    EXPECT_TRUE(u.IsEnabled(IDC_GIS_PB_RIGHT_SCALE));
    EXPECT_DOUBLE_EQ(border->GetLeftScale(), 1.0);
    u.Cancel();
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(PatternDialog, CancelThroughTheBackupLeavesTheBorderAsItWas) {
  Owned<IGIS_MapBorder> border(new CGIS_MapBorderPattern());
  const std::vector<BYTE> before = md::test::Stored(border.get());
  ScriptedDriver driver;
  driver.Then([](UiUser& u) {
    u.Click(IDC_GIS_PB_LEFTTOP);
    u.Click(IDC_GIS_PB_SAME_CORNER);
    u.Replace(IDC_GIS_PB_TOP_SCALE, "3");
    u.Click(IDC_GIS_PB_SAME_SCALE);
    u.Cancel();
  });
  driver.Then(Choose(2));
  EXPECT_FALSE(md::layout::border::RunPatternEditor(border.get()));
  EXPECT_EQ(md::test::Stored(border.get()), before);
  EXPECT_EQ(driver.DialogsRun(), 2);
}

TEST_F(PatternDialog, WithoutABorderTheHandlersOnlyLog) {
  CGIS_MapBorderPatternDlg dlg;
  LogMark log;
  ScriptedDriver driver;
  driver.Then([](UiUser& u) {
    u.Click(IDC_GIS_PB_LEFTBOTTOM);
    u.Click(IDC_GIS_PB_SAME_SIDE);
    u.Click(IDC_GIS_PB_SAME_SCALE);
    u.Ok();
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_TRUE(log.Has(3, "CGIS_MapBorderPatternDlg::OnLeftbottomProperty", "m_pMapBorderPattern == NULL"));
  EXPECT_TRUE(log.Has(3, "CGIS_MapBorderPatternDlg::OnCheckSideSymbol", "m_pMapBorderPattern == NULL"));
  EXPECT_TRUE(log.Has(3, "CGIS_MapBorderPatternDlg::OnCheckSymbolScale", "m_pMapBorderPattern == NULL"));
  EXPECT_TRUE(log.Has(3, "CGIS_MapBorderPatternDlg::OnOK", "m_pMapBorderPattern == NULL"));
}

TEST_F(PatternDialog, Snapshot) {
  Owned<CGIS_MapBorderPattern> border(new CGIS_MapBorderPattern());
  CGIS_MapBorderPatternDlg dlg;
  dlg.m_pMapBorderPattern = border.get();
  const std::string path = SnapshotPath("mapborderpattern");
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(IDC_GIS_PB_SAME_CORNER);
    EXPECT_TRUE(u.Snapshot(path));
    u.Cancel();
  });
  dlg.DoModal();
  EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
