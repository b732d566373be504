// The calibrated-border dialog on a grid's border and on a calibrated map
// border: what it reads and writes (the map border when both are given),
// the interval rule of each object, symbols written at once, ranges; and
// the three map-border dialogs, whose properties button now edits a
// calibrated border and puts it back unless the dialog ends with OK.
#include "host/basilo/releaseptr.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/grid/border/cgis_mapbordermanager.h"
#include "layout/graphicelement/grid/border/dialogs/cgis_calibratedborderdlg.h"
#include "layout/graphicelement/grid/border/dialogs/cgis_mapbordermanagerdlg.h"
#include "layout/graphicelement/grid/border/dialogs/cgis_mapborderselectordlg.h"
#include "layout/graphicelement/grid/border/dialogs/cgis_newmapborderdlg.h"
#include "layout/graphicelement/grid/border/igis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"
#include "layout/graphicelement/grid/grid/mapgridbordermaker.h"
#include "tests/layout/graphicelement/grid/border/dialogs/borderdialogtest.h"
#include "tests/support/storedbytes.h"

namespace {

using md::basilo::ReleasePtr;
using md::test::Owned;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

using CalibratedDialog = md::test::BorderDialogTest;

IGIS_MapBorderCalibrated* NewCalibrated() {
  return dynamic_cast<IGIS_MapBorderCalibrated*>(GIS_GetMapBorderFactoryObject()->CreateMapBorder(2));
}

// The dialog's scene: the width and interval typed, the double style
// ticked, then OK.
ScriptedDriver::Scene Type(const char* width, const char* interval) {
  return [width, interval](UiUser& u) {
    u.Replace(IDC_GIS_CB_WIDTH, width);
    u.Replace(IDC_GIS_CB_INTERVAL, interval);
    u.Click(IDC_GIS_CB_ALTERNATING);
    u.Ok();
  };
}

TEST_F(CalibratedDialog, EachObjectKeepsItsOwnIntervalRule) {
  ReleasePtr<IGIS_MapGridBorder> grid(md::layout::grid::CreateMapGridBorder(nullptr));
  ReleasePtr<IGIS_MapBorderCalibrated> map(NewCalibrated());
  struct Row {
    IGIS_MapGridBorder* grid;
    IGIS_MapBorderCalibrated* map;
    int interval;
  } rows[] = {{grid.get(), nullptr, 20}, {nullptr, map.get(), 5}};
  for (const Row& row : rows) {
    CGIS_CalibratedBorderDlg dlg;
    dlg.m_pMapGridBorder = row.grid;
    dlg.m_pMapBorder = row.map;
    ScriptedDriver driver;
    driver.Then(Type("350", "5"));
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(Prompts(), 0u);
    const int interval = row.grid != nullptr ? row.grid->GetInterval() : row.map->GetInterval();
    const int width = row.grid != nullptr ? row.grid->GetBorderWidth() : row.map->GetBorderWidth();
    const bool alternating = row.grid != nullptr ? row.grid->GetAlternating() : row.map->GetAlternating();
    EXPECT_EQ(interval, row.interval);
    EXPECT_EQ(width, 350);
    EXPECT_TRUE(alternating);
  }
}

TEST_F(CalibratedDialog, WithBothObjectsOnlyTheMapBorderIsReadAndWritten) {
  ReleasePtr<IGIS_MapGridBorder> grid(md::layout::grid::CreateMapGridBorder(nullptr));
  ReleasePtr<IGIS_MapBorderCalibrated> map(NewCalibrated());
  map->SetInterval(640);
  map->SetBorderWidth(120);
  map->SetAlternating(true);
  const std::vector<BYTE> gridBefore = md::test::Stored(grid.get());
  CGIS_CalibratedBorderDlg dlg;
  dlg.m_pMapGridBorder = grid.get();
  dlg.m_pMapBorder = map.get();
  ScriptedDriver driver;
  driver.Then([](UiUser& u) {
    EXPECT_EQ(u.Text(IDC_GIS_CB_INTERVAL), "640");
    EXPECT_EQ(u.Text(IDC_GIS_CB_WIDTH), "120");
    EXPECT_EQ(u.Checked(IDC_GIS_CB_ALTERNATING), 1);
    u.Click(IDC_GIS_CB_FILL_SYMBOL);
    u.Click(IDC_GIS_CB_NOFILL_SYMBOL);
    u.Spin(IDC_GIS_CB_INTERVAL_SPIN, 2);
    u.Click(IDC_GIS_CB_ALTERNATING);
    u.Ok();
  });
  driver.Then(Choose(1)).Then(Choose(2));
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(map->GetInterval(), 642);
  EXPECT_EQ(map->GetBorderWidth(), 120);
  EXPECT_FALSE(map->GetAlternating());
  ReleasePtr<IGIS_Symbol> fill1(GIS_MakeCatalogueSymbol(GIS_CHOOSE_FILL, 1));
  ReleasePtr<IGIS_Symbol> fill2(GIS_MakeCatalogueSymbol(GIS_CHOOSE_FILL, 2));
  EXPECT_EQ(md::test::SymbolBytes(map->GetBackgroundSymbolPtr()), md::test::SymbolBytes(fill1.get()));
  EXPECT_EQ(md::test::SymbolBytes(map->GetForegroundSymbolPtr()), md::test::SymbolBytes(fill2.get()));
  EXPECT_EQ(md::test::Stored(grid.get()), gridBefore);
}

TEST_F(CalibratedDialog, OutOfRangeValuesKeepTheDialogAndNoObjectMeansNothingToRead) {
  for (const char* value : {"0", "1000001", "abc"}) {
    SCOPED_TRACE(value);
    md::ui::ClearMessageBoxLog();
    ReleasePtr<IGIS_MapBorderCalibrated> map(NewCalibrated());
    const std::vector<BYTE> before = md::test::Stored(map.get());
    CGIS_CalibratedBorderDlg dlg;
    dlg.m_pMapBorder = map.get();
    ScriptedDriver driver;
    driver.Then([value](UiUser& u) {
      u.Replace(IDC_GIS_CB_WIDTH, value);
      u.Ok();
      EXPECT_FALSE(u.Ended());
      EXPECT_EQ(Prompts(), 1u);
      u.Cancel();
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(md::test::Stored(map.get()), before);
  }
  CGIS_CalibratedBorderDlg empty;
  md::ui::ClearMessageBoxLog();
  ScriptedDriver driver;
  driver.Then([](UiUser& u) {
    EXPECT_EQ(u.Text(IDC_GIS_CB_WIDTH), "0");
    u.Ok();
    EXPECT_FALSE(u.Ended());
    u.Cancel();
  });
  EXPECT_EQ(empty.DoModal(), IDCANCEL);
  EXPECT_EQ(Prompts(), 1u);
}

// The properties button of each map-border dialog on a calibrated border:
// the band's dialog opens with the dialog's width; OK keeps its values and
// gives the width back, Cancel restores the border.
TEST_F(CalibratedDialog, TheManagerEditsItsCalibratedBorder) {
  for (bool confirm : {true, false}) {
    Owned<CGIS_MapBorderManager> manager(new CGIS_MapBorderManager());
    manager->SetMapBorderType(2);
    IGIS_MapBorder* border = manager->GetMapBorder();
    // The manager takes its intervals before the button acts: none may be 0.
    border->SetLeftOffset(10);
    border->SetRightOffset(10);
    border->SetTopOffset(10);
    border->SetBottomOffset(10);
    const std::vector<BYTE> before = md::test::Stored(border);
    CGIS_MapBorderManagerDlg dlg;
    dlg.m_pMapBorderManager = manager.get();
    std::string widthShown;
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      u.Click(IDC_GIS_BM_PROPERTY);
      widthShown = u.Text(IDC_GIS_BM_WIDTH);
      u.Ok();
    });
    driver.Then([&](UiUser& u) {
      EXPECT_EQ(u.Text(IDC_GIS_CB_WIDTH), std::to_string(border->GetBorderWidth()));
      u.Click(IDC_GIS_CB_FILL_SYMBOL);
      u.Replace(IDC_GIS_CB_WIDTH, "480");
      u.Replace(IDC_GIS_CB_INTERVAL, "900");
      confirm ? u.Ok() : u.Cancel();
    });
    driver.Then(Choose(2));
    EXPECT_EQ(dlg.DoModal(), IDOK);
    auto* calibrated = dynamic_cast<IGIS_MapBorderCalibrated*>(manager->GetMapBorder());
    ASSERT_NE(calibrated, nullptr);
    if (confirm) {
      EXPECT_EQ(widthShown, "480");
      EXPECT_EQ(calibrated->GetInterval(), 900);
      EXPECT_EQ(calibrated->GetBorderWidth(), 480);
    } else {
      EXPECT_EQ(md::test::Stored(calibrated), before);
    }
  }
}

TEST_F(CalibratedDialog, TheNewBorderDialogEditsItsCalibratedBorderFromTheTypedWidth) {
  for (bool confirm : {true, false}) {
    CGIS_NewMapBorderDlg dlg;
    std::vector<BYTE> working;
    std::string widthShown;
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      u.Click(IDC_GIS_NB_CALIBRATED);
      u.Replace(IDC_GIS_NB_WIDTH, "500");
      working = md::test::Stored(dlg.GetWorkingBorder(1));
      u.Click(IDC_GIS_NB_PROPERTY);
      widthShown = u.Text(IDC_GIS_NB_WIDTH);
      u.Ok();
    });
    driver.Then([&](UiUser& u) {
      EXPECT_EQ(u.Text(IDC_GIS_CB_WIDTH), "500");
      u.Replace(IDC_GIS_CB_WIDTH, "650");
      u.Replace(IDC_GIS_CB_INTERVAL, "900");
      confirm ? u.Ok() : u.Cancel();
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    auto* result = dynamic_cast<IGIS_MapBorderCalibrated*>(dlg.GetResult());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(widthShown, confirm ? "650" : "500");
    EXPECT_EQ(result->GetBorderWidth(), confirm ? 650 : 500);
    if (confirm) {
      EXPECT_EQ(result->GetInterval(), 900);
    } else {
      // The working border is as it was, but for the width the dialog set.
      ReleasePtr<IGIS_MapBorderCalibrated> expected(NewCalibrated());
      IGIS_DataBuffer* b = md::test::BufferOf(working);
      expected->Open(b);
      b->Release();
      expected->SetBorderWidth(500);
      EXPECT_EQ(md::test::Stored(result), md::test::Stored(expected.get()));
    }
  }
}

TEST_F(CalibratedDialog, TheSelectorEditsItsCalibratedBorderAndReadsItsValuesBack) {
  for (bool confirm : {true, false}) {
    ReleasePtr<IGIS_MapBorderCalibrated> band(NewCalibrated());
    band->SetLeftOffset(700);
    band->SetRightOffset(700);
    band->SetTopOffset(700);
    band->SetBottomOffset(700);
    band->SetBorderWidth(300);
    band->SetInterval(2000);
    const std::vector<BYTE> before = md::test::Stored(band.get());
    CGIS_MapBorderSelectordlg dlg;
    dlg.SetMapBorder(band->Clone());
    std::string widthShown;
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      EXPECT_EQ(u.Text(IDC_GIS_BS_WIDTH), "300");
      u.Click(IDC_GIS_BS_PROPERTY);
      widthShown = u.Text(IDC_GIS_BS_WIDTH);
      EXPECT_EQ(u.Text(IDC_GIS_BS_LEFT), "700");
      u.Ok();
    });
    driver.Then([&](UiUser& u) {
      EXPECT_EQ(u.Text(IDC_GIS_CB_INTERVAL), "2000");
      u.Click(IDC_GIS_CB_NOFILL_SYMBOL);
      u.Replace(IDC_GIS_CB_WIDTH, "420");
      u.Replace(IDC_GIS_CB_INTERVAL, "1000");
      confirm ? u.Ok() : u.Cancel();
    });
    driver.Then(Choose(4));
    EXPECT_EQ(dlg.DoModal(), IDOK);
    auto* edited = dynamic_cast<IGIS_MapBorderCalibrated*>(dlg.GetMapBorder());
    ASSERT_NE(edited, nullptr);
    EXPECT_EQ(widthShown, confirm ? "420" : "300");
    if (confirm) {
      EXPECT_EQ(edited->GetInterval(), 1000);
      EXPECT_EQ(edited->GetBorderWidth(), 420);
      EXPECT_EQ(edited->GetLeftOffset(), 700);
    } else {
      EXPECT_EQ(md::test::Stored(edited), before);
    }
  }
}

TEST_F(CalibratedDialog, Snapshot) {
  ReleasePtr<IGIS_MapBorderCalibrated> map(NewCalibrated());
  map->SetAlternating(true);
  CGIS_CalibratedBorderDlg dlg;
  dlg.m_pMapBorder = map.get();
  const std::string path = SnapshotPath("calibratedborder");
  ScriptedDriver driver;
  driver.Then(md::test::SnapshotThenCancel(path));
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
