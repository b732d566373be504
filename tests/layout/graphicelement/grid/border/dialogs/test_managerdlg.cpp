// The border-manager dialog: switching kinds keeps each kind's settings,
// "none" leaves the borders alone, OK writes the intervals, and ranges.
#include "layout/graphicelement/grid/border/cgis_mapbordermanager.h"
#include "layout/graphicelement/grid/border/dialogs/cgis_mapbordermanagerdlg.h"
#include "layout/graphicelement/grid/border/igis_mapbordersimple.h"
#include "tests/layout/graphicelement/grid/border/dialogs/borderdialogtest.h"

namespace {

using md::test::LogMark;
using md::test::Owned;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

using ManagerDialog = md::test::BorderDialogTest;

TEST_F(ManagerDialog, SwitchingKindsKeepsTheSimpleBordersLine) {
  Owned<CGIS_MapBorderManager> manager(new CGIS_MapBorderManager());
  manager->SetMapBorderType(1);
  auto* simple = dynamic_cast<IGIS_MapBorderSimple*>(manager->GetMapBorder());
  ASSERT_NE(simple, nullptr);
  Owned<IGIS_Symbol> line(md::test::NewLine(RGB(0, 120, 0), 0.5));
  simple->SetLineSymbolPtr(line.get());
  const std::vector<BYTE> before = md::test::Stored(manager->GetMapBorder());
  CGIS_MapBorderManagerDlg dlg;
  dlg.m_pMapBorderManager = manager.get();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Checked(IDC_GIS_BM_SIMPLE), 1);
    EXPECT_TRUE(u.IsEnabled(IDC_GIS_BM_PROPERTY));
    u.Click(IDC_GIS_BM_CALIBRATED);
    EXPECT_EQ(manager->GetMapBorderType(), 2);
    u.Click(IDC_GIS_BM_SIMPLE);
    u.Cancel();
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(manager->GetMapBorderType(), 1);
  EXPECT_EQ(md::test::Stored(manager->GetMapBorder()), before);
}

TEST_F(ManagerDialog, NoneLeavesTheBordersAndOkWritesTheIntervalsOtherwise) {
  Owned<CGIS_MapBorderManager> manager(new CGIS_MapBorderManager());
  manager->SetMapBorderType(1);
  const std::vector<BYTE> simpleBefore = md::test::Stored(manager->GetMapBorder());
  CGIS_MapBorderManagerDlg dlg;
  dlg.m_pMapBorderManager = manager.get();
  ScriptedDriver driver;
  driver.Then([](UiUser& u) {
    u.Click(IDC_GIS_BM_NONE);
    EXPECT_FALSE(u.IsEnabled(IDC_GIS_BM_PROPERTY));
    u.Ok();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(manager->GetMapBorderType(), 0);
  EXPECT_EQ(Prompts(), 0u);
  manager->SetMapBorderType(1);
  EXPECT_EQ(md::test::Stored(manager->GetMapBorder()), simpleBefore);

  for (IGIS_MapBorder* b = manager->GetMapBorder(); b != nullptr; b = nullptr) {
    b->SetLeftOffset(10);
    b->SetRightOffset(10);
    b->SetTopOffset(10);
    b->SetBottomOffset(10);
  }
  CGIS_MapBorderManagerDlg second;
  second.m_pMapBorderManager = manager.get();
  driver.Then([](UiUser& u) {
    u.Replace(IDC_GIS_BM_LEFT, "150");
    u.Click(IDC_GIS_BM_SAME);
    EXPECT_EQ(u.Text(IDC_GIS_BM_BOTTOM), "150");
    EXPECT_FALSE(u.IsEnabled(IDC_GIS_BM_TOP));
    u.Replace(IDC_GIS_BM_WIDTH, "300");
    u.Ok();
  });
  EXPECT_EQ(second.DoModal(), IDOK);
  IGIS_MapBorder* b = manager->GetMapBorder();
  EXPECT_EQ(b->GetLeftOffset(), 150);
  EXPECT_EQ(b->GetRightOffset(), 150);
  EXPECT_EQ(b->GetTopOffset(), 150);
  EXPECT_EQ(b->GetBottomOffset(), 150);
  EXPECT_EQ(b->GetBorderWidth(), 300);
}

TEST_F(ManagerDialog, IntervalsOutOfRangeArePromptedForABorder) {
  for (const char* value : {"0", "1000001"}) {
    md::ui::ClearMessageBoxLog();
    Owned<CGIS_MapBorderManager> manager(new CGIS_MapBorderManager());
    manager->SetMapBorderType(1);
    CGIS_MapBorderManagerDlg dlg;
    dlg.m_pMapBorderManager = manager.get();
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      for (int id : {IDC_GIS_BM_LEFT, IDC_GIS_BM_RIGHT, IDC_GIS_BM_TOP, IDC_GIS_BM_BOTTOM, IDC_GIS_BM_WIDTH})
        u.Replace(id, "10");
      u.Replace(IDC_GIS_BM_TOP, value);
      u.Ok();
      EXPECT_FALSE(u.Ended()) << value;
      EXPECT_EQ(Prompts(), 1u) << value;
      u.Cancel();
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(manager->GetMapBorder()->GetTopOffset(), 0);
  }
}

TEST_F(ManagerDialog, WithoutAManagerTheButtonsOnlyLog) {
  CGIS_MapBorderManagerDlg dlg;
  LogMark log;
  ScriptedDriver driver;
  driver.Then([](UiUser& u) {
    u.Click(IDC_GIS_BM_PATTERN);
    u.Click(IDC_GIS_BM_PROPERTY);
    u.Ok();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(log.Has(3, "CGIS_MapBorderManagerDlg::OnMapborderPattern", "m_pMapBorderManager == NULL"));
  EXPECT_TRUE(log.Has(3, "CGIS_MapBorderManagerDlg::OnMapborderProperty", "m_pMapBorderManager == NULL"));
}

TEST_F(ManagerDialog, Snapshot) {
  Owned<CGIS_MapBorderManager> manager(new CGIS_MapBorderManager());
  manager->SetMapBorderType(3);
  CGIS_MapBorderManagerDlg dlg;
  dlg.m_pMapBorderManager = manager.get();
  const std::string path = SnapshotPath("mapbordermanager");
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Snapshot(path));
    u.Cancel();
  });
  dlg.DoModal();
  EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
