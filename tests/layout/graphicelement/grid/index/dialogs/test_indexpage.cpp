// The index grid's page "索引" on its sheet: the column and row titles by
// the grid's XYLabelType, the lists following the counts as they are typed,
// the counts' range (prompted while typing and again on leaving) and what
// is stored.
#include <algorithm>
#include <string>
#include <vector>

#include "layout/graphicelement/grid/grid/igis_indexgrid.h"
#include "layout/graphicelement/grid/index/dialogs/cgis_indexpage.h"
#include "platform/ui/clistbox.h"
#include "tests/layout/graphicelement/grid/grid/dialogs/griddialogtest.h"

namespace {

using md::test::Owned;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

using IndexPage = md::test::GridDialogTest;

// The index page's place in the index grid's sheet.
constexpr int kIndexPage = 1;

IGIS_IndexGrid* NewIndexGrid(int columns, int rows, bool lettersOnColumns) {
  auto* g = dynamic_cast<IGIS_IndexGrid*>(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_INDEX));
  g->SetColumnCount(columns);
  g->SetRowCount(rows);
  g->SetXYLabelType(lettersOnColumns);
  return g;
}

std::vector<std::string> Titles(UiUser& u, int list) {
  std::vector<std::string> out;
  auto* box = static_cast<CListBox*>(u.Control(list));
  for (int i = 0; box != nullptr && i < box->GetCount(); ++i) {
    std::string text;
    box->GetText(i, text);
    out.push_back(text);
  }
  return out;
}

const std::vector<std::string> kLetters20 = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J",
                                             "K", "L", "M", "N", "O", "P", "Q", "R", "S", "T"};

TEST_F(IndexPage, TitlesFollowTheLabelType) {
  const struct {
    int columns, rows;
    bool lettersOnColumns;
    std::vector<std::string> columnTitles, rowTitles;
  } rows[] = {
      {3, 2, true, {"A", "B", "C"}, {"1", "2"}},
      {3, 2, false, {"1", "2", "3"}, {"A", "B"}},
      {20, 1, true, kLetters20, {"1"}},
      // A count beyond the page's range: the grid uses, and the page shows
      // and lists, the twenty it allows.
      {30, 1, true, kLetters20, {"1"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.columns) + (row.lettersOnColumns ? " letters" : " numbers"));
    Owned<IGIS_IndexGrid> g(NewIndexGrid(row.columns, row.rows, row.lettersOnColumns));
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      EXPECT_TRUE(u.GoToPage(kIndexPage));
      EXPECT_EQ(u.Text(IDC_GIS_IX_COLUMNS), std::to_string(std::min(row.columns, 20)));
      EXPECT_EQ(Titles(u, IDC_GIS_IX_COLUMN_TITLES), row.columnTitles);
      EXPECT_EQ(Titles(u, IDC_GIS_IX_ROW_TITLES), row.rowTitles);
      if (&row == rows) {
        EXPECT_TRUE(u.Snapshot(SnapshotPath("grid-index")));
      }
      u.Cancel();
    });
    EXPECT_FALSE(g->OnOpenPropertyDlg());
    EXPECT_EQ(Prompts(), 0u);
  }
}

TEST_F(IndexPage, TypingACountRefillsItsListAndLeavingStoresBothCounts) {
  const struct {
    int edit;
    const char* typed;
    const char* shown;  // what the edit holds after the filter
    std::vector<std::string> columnTitles, rowTitles;
    size_t prompts;  // shown while typing
    int columns, rows;
  } rows[] = {
      {IDC_GIS_IX_COLUMNS, "7", "7", {"1", "2", "3", "4", "5", "6", "7"}, {"A", "B"}, 0, 7, 2},
      {IDC_GIS_IX_ROWS,
       "1x2",
       "12",
       {"1", "2", "3"},
       {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L"},
       0,
       3,
       12},
      {IDC_GIS_IX_COLUMNS, "20", "20", {}, {"A", "B"}, 0, 20, 2},
      // "2" is taken, "21" is refused at once and the list keeps two titles.
      {IDC_GIS_IX_COLUMNS, "21", "21", {"1", "2"}, {"A", "B"}, 1, 3, 2},
      {IDC_GIS_IX_ROWS, "0", "0", {"1", "2", "3"}, {"A", "B"}, 1, 3, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.edit) + " " + row.typed);
    md::ui::ClearMessageBoxLog();
    Owned<IGIS_IndexGrid> g(NewIndexGrid(3, 2, false));
    const bool valid = row.prompts == 0;
    bool ended = false;
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      u.GoToPage(kIndexPage);
      u.Replace(row.edit, row.typed);
      EXPECT_EQ(u.Text(row.edit), row.shown);
      EXPECT_EQ(Prompts(), row.prompts);
      if (!row.columnTitles.empty()) {
        EXPECT_EQ(Titles(u, IDC_GIS_IX_COLUMN_TITLES), row.columnTitles);
      }
      EXPECT_EQ(Titles(u, IDC_GIS_IX_ROW_TITLES), row.rowTitles);
      u.Ok();
      ended = u.Ended();
      if (!ended) u.Cancel();
    });
    EXPECT_EQ(g->OnOpenPropertyDlg(), valid);
    EXPECT_EQ(ended, valid);
    // A refused count is prompted again when the page is left.
    EXPECT_EQ(Prompts(), valid ? 0u : 2u);
    EXPECT_EQ(g->GetColumnCount(), row.columns);
    EXPECT_EQ(g->GetRowCount(), row.rows);
  }
}

TEST_F(IndexPage, AGridOfAnotherKindIsRefusedWithARecord) {
  Owned<IGIS_MapGrid> graticule(md::test::NewGrid(GIS_MAPGRID_GRATICULE));
  CGIS_IndexPage page;
  md::test::LogMark log;
  RunPage(page, graticule.get(), [](UiUser& u) { u.Cancel(); });
  EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_CHECK, "CGIS_IndexPage::OnSetActive", "p_indexGrid == NULL"));
  EXPECT_EQ(Prompts(), 0u);
}

}  // namespace
