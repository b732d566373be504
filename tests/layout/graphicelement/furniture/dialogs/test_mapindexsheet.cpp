// The map index sheet played through the modal driver: the names in the
// cells the element draws them in, the cell sizes, the geometry restored on
// Apply only, the symbol buttons, the checks and Cancel.
#include <string>

#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/dialogs/csizeandposition.h"
#include "layout/graphicelement/frame/dialogs/clayoutframe.h"
#include "layout/graphicelement/furniture/cgis_mapindexelement.h"
#include "layout/graphicelement/furniture/dialogs/cgis_mapindexdlg.h"
#include "layout/graphicelement/furniture/dialogs/cgis_mapindexsymboldlg.h"
#include "tests/layout/graphicelement/furniture/dialogs/sheettest.h"

namespace md::test {
namespace {

using md::ui::ScriptedDriver;
using md::ui::UiUser;
using MapIndexSheet = FurnitureSheet;

CGIS_MapIndexElement* Named(CGIS_MapIndexElement* e) {
  e->SetNorthEastText("东北");
  e->SetNorthText("北");
  e->SetNorthWestText("西北");
  e->SetEastText("东");
  e->SetWestText("西");
  e->SetSouthEastText("东南");
  e->SetSouthText("南");
  e->SetSouthWestText("西南");
  return e;
}

TEST_F(MapIndexSheet, ShowsEachNameInTheCellItIsDrawnInAndOkWritesThem) {
  auto* e = Named(New<CGIS_MapIndexElement>());
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Sheet()->GetTitle(), "接图表属性页");
    ASSERT_EQ(u.Sheet()->GetPageCount(), 4);
    EXPECT_NE(dynamic_cast<CGIS_MapIndexDlg*>(u.Sheet()->GetPage(0)), nullptr);
    EXPECT_NE(dynamic_cast<CGIS_MapIndexSymbolDlg*>(u.Sheet()->GetPage(1)), nullptr);
    auto* frame = dynamic_cast<CLayoutFrame*>(u.Sheet()->GetPage(2));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->m_pFrame, e->GetFramePropertyPtr());
    EXPECT_NE(dynamic_cast<CSizeAndPosition*>(u.Sheet()->GetPage(3)), nullptr);
    EXPECT_EQ(u.Text(IDC_MAPINDEX_NORTHEAST), "东北");  // top left
    EXPECT_EQ(u.Text(IDC_MAPINDEX_NORTHWEST), "西北");  // top right
    EXPECT_EQ(u.Text(IDC_MAPINDEX_EAST), "东");         // middle left
    EXPECT_EQ(u.Text(IDC_MAPINDEX_WEST), "西");         // middle right
    EXPECT_EQ(u.Text(IDC_MAPINDEX_SOUTHWEST), "西南");  // bottom right
    EXPECT_EQ(u.Text(IDC_MAPINDEX_CENTRE), "");
    u.Replace(IDC_MAPINDEX_CENTRE, "x");  // read-only: typing changes nothing
    EXPECT_EQ(u.Text(IDC_MAPINDEX_CENTRE), "");
    EXPECT_TRUE(u.Snapshot(SnapshotPath("mapindex_names_page")));
    EXPECT_TRUE(u.Replace(IDC_MAPINDEX_NORTH, std::string(25, 'n')));  // the longest name
    EXPECT_TRUE(u.Replace(IDC_MAPINDEX_SOUTHEAST, "I-50-8"));
    EXPECT_TRUE(u.GoToPage(1));
    EXPECT_EQ(u.Text(IDC_MAPINDEX_COL_WIDTH), std::to_string(e->GetColWidth()));
    EXPECT_TRUE(u.Snapshot(SnapshotPath("mapindex_symbol_page")));
    EXPECT_TRUE(u.Replace(IDC_MAPINDEX_COL_WIDTH, "2000"));
    EXPECT_TRUE(u.Replace(IDC_MAPINDEX_ROW_HEIGHT, "900"));
    EXPECT_TRUE(u.GoToPage(2));
    EXPECT_TRUE(u.Snapshot(SnapshotPath("mapindex_frame_page")));
    EXPECT_TRUE(u.GoToPage(3));
    EXPECT_TRUE(u.Snapshot(SnapshotPath("mapindex_size_page")));
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_EQ(std::string(e->GetNorthText()), std::string(25, 'n'));
  EXPECT_STREQ(e->GetSouthEastText(), "I-50-8");
  EXPECT_STREQ(e->GetWestText(), "西");
  EXPECT_EQ(e->GetColWidth(), 2000);
  EXPECT_EQ(e->GetRowHeight(), 900);
  EXPECT_EQ(e->GetRect().Width(), 6000);
  EXPECT_EQ(e->GetRect().Height(), 2700);
}

TEST_F(MapIndexSheet, ApplyOnTheNamesPageWritesTheNamesAndClearsTheMarks) {
  auto* e = Named(New<CGIS_MapIndexElement>());
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Replace(IDC_MAPINDEX_SOUTH, "J-50"));
    EXPECT_TRUE(u.IsEnabled(ID_APPLY_NOW));
    EXPECT_TRUE(u.Apply());
    EXPECT_STREQ(e->GetSouthText(), "J-50");
    for (int i = 0; i < u.Sheet()->GetPageCount(); ++i) EXPECT_FALSE(u.Sheet()->GetPage(i)->IsModified());
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
}

TEST_F(MapIndexSheet, CancelAfterEditsAndSymbolChoicesRestoresTheStoredForm) {
  auto* e = Named(New<CGIS_MapIndexElement>());
  ASSERT_TRUE(e->Archive(0, 0));
  const std::string before = StoredForm(e);
  const int elements = set_->GetFeatureCount();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Replace(IDC_MAPINDEX_EAST, "changed"));
    EXPECT_TRUE(u.GoToPage(1));
    EXPECT_STREQ(e->GetEastText(), "changed");
    EXPECT_TRUE(u.Click(IDC_MAPINDEX_FILL_SYMBOL));
    EXPECT_TRUE(u.Replace(IDC_MAPINDEX_ROW_HEIGHT, "1234"));
    EXPECT_TRUE(u.Apply());
    EXPECT_EQ(e->GetRect().Height(), 3 * 1234);
    u.Cancel();
  });
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Choose(kChooserList, 2));
    u.Ok();
  });
  EXPECT_FALSE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_STREQ(e->GetEastText(), "东");
  EXPECT_EQ(StoredForm(e), before);
  EXPECT_EQ(set_->GetFeatureCount(), elements);
}

TEST_F(MapIndexSheet, ACancelledChooserLeavesTheSymbolsPageUnmarked) {
  auto* e = New<CGIS_MapIndexElement>();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.GoToPage(1));
    EXPECT_TRUE(u.Click(IDC_MAPINDEX_BORDER_SYMBOL));
    EXPECT_FALSE(u.Sheet()->GetActivePage()->IsModified());
    EXPECT_FALSE(u.IsEnabled(ID_APPLY_NOW));
    u.Ok();
  });
  driver.Then([&](UiUser& u) { u.Cancel(); });
  EXPECT_TRUE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
}

TEST_F(MapIndexSheet, ANameStopsAtTwentyFiveCharacters) {
  auto* e = Named(New<CGIS_MapIndexElement>());
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.Replace(IDC_MAPINDEX_WEST, std::string(30, 'w')));
    EXPECT_EQ(u.Text(IDC_MAPINDEX_WEST), std::string(25, 'w'));
    u.Ok();
  });
  EXPECT_TRUE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
  EXPECT_EQ(std::string(e->GetWestText()), std::string(25, 'w'));
}

TEST_F(MapIndexSheet, ACellSizeOutOfRangeIsRefusedOnTheSymbolsPage) {
  auto* e = New<CGIS_MapIndexElement>();
  ASSERT_TRUE(e->Archive(0, 0));
  const std::string before = StoredForm(e);
  for (const char* text : {"0", "1000001", ""}) {
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      EXPECT_TRUE(u.GoToPage(1));
      EXPECT_TRUE(u.Replace(IDC_MAPINDEX_COL_WIDTH, text));
      const int prompts = PromptCount();
      u.GoToPage(0);
      EXPECT_EQ(PromptCount(), prompts + 1) << text;
      EXPECT_EQ(u.Sheet()->GetActiveIndex(), 1);
      u.Cancel();
    });
    EXPECT_FALSE(e->OnOpenPropertyDlg(&screen_.display, TRUE));
    EXPECT_EQ(StoredForm(e), before) << text;
  }
}

}  // namespace
}  // namespace md::test
