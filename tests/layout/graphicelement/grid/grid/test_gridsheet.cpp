// A grid's property sheet through the seam: OK keeps what the pages did,
// anything else puts the grid back exactly as it was stored.
#include <string>
#include <vector>

#include "layout/graphicelement/grid/grid/gridsheet.h"
#include "tests/layout/graphicelement/grid/grid/gridtest.h"

namespace {

using md::test::Journal;
using md::test::Owned;
using md::test::TestKindGrid;
namespace grid = md::layout::grid;

// What the sheet double's pages do to the grid, and how the user ends it.
struct Script {
  bool confirm = false;
  std::string title;
};
Script g_script;

bool EditingSheet(IGIS_MapGrid* pGrid, const char* szTitle) {
  g_script.title = szTitle;
  pGrid->SetGridlineType(GIS_GRIDLINE_MARKS);
  pGrid->SetTickDivision(6);
  pGrid->SetName("改过的名字");
  pGrid->SetLineSymbol(nullptr);
  IGIS_Symbol* mark = md::test::NewSymbol(GIS_SYMBOL_POINT, RGB(1, 2, 3));
  pGrid->SetMarkSymbol(mark);
  mark->Release();
  pGrid->SetBorder(nullptr);
  pGrid->SetLabelVisible(false, false, false, false);
  pGrid->SetTickLength(-5.0);
  static_cast<TestKindGrid*>(pGrid)->m_nKindValue = 99;
  return g_script.confirm;
}

class GridSheet : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = grid::SetGridSheetRunner(TestKindGrid::kType, &EditingSheet); }
  void TearDown() override { grid::SetGridSheetRunner(TestKindGrid::kType, previous_); }
  grid::GridSheetRunner previous_ = nullptr;
};

TEST_F(GridSheet, OkKeepsTheEditsAndCancelRestoresTheStoredFormByteForByte) {
  for (bool confirm : {true, false}) {
    Journal j;
    Owned<TestKindGrid> g(new TestKindGrid());
    Owned<md::test::TestLabel> label(new md::test::TestLabel(&j, GIS_GRIDLABEL_DMS, "l"));
    g->SetLabelFormat(label.get());
    g->SetTickDivision(3);
    const std::vector<BYTE> before = md::test::Stored(g.get());
    g_script = Script{confirm, ""};
    EXPECT_EQ(g->OnOpenPropertyDlg(), confirm);
    EXPECT_EQ(g_script.title, "测试格网属性");
    if (confirm) {
      EXPECT_EQ(g->GetGridlineType(), GIS_GRIDLINE_MARKS);
      EXPECT_EQ(g->GetTickDivision(), 6);
      EXPECT_EQ(g->GetBorder(), nullptr);
      EXPECT_NE(md::test::Stored(g.get()), before);
    } else {
      EXPECT_EQ(md::test::Stored(g.get()), before);
      EXPECT_EQ(g->GetTickDivision(), 3);
      ASSERT_NE(g->GetBorder(), nullptr);
      EXPECT_EQ(g->GetBorder()->GetMapGrid(), g.get());
      ASSERT_NE(g->GetLabelFormat(), nullptr);
      EXPECT_EQ(static_cast<md::test::TestLabel*>(g->GetLabelFormat())->grid(), g.get());
    }
  }
}

TEST_F(GridSheet, WithoutASheetForTheKindNothingRunsAndNothingChanges) {
  grid::SetGridSheetRunner(TestKindGrid::kType, nullptr);
  Owned<TestKindGrid> g(new TestKindGrid());
  const std::vector<BYTE> before = md::test::Stored(g.get());
  EXPECT_FALSE(g->OnOpenPropertyDlg());
  EXPECT_EQ(md::test::Stored(g.get()), before);
  EXPECT_FALSE(grid::RunGridSheet(nullptr, "x"));
  EXPECT_EQ(grid::GetGridSheetRunner(TestKindGrid::kType), nullptr);
}

}  // namespace
