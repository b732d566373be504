// The grid wizard's two index-grid pages in a wizard sheet of their own: the
// values a wizard finished untouched holds, the counts' range and filter,
// the symbols each page keeps (the first page's per appearance), the tab
// style and lettering taken when a page is left, the pages each one leads
// to; snapshots of the untouched pages.
#include <string>
#include <vector>

#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/grid/index/dialogs/cgis_gridindexwizard1.h"
#include "layout/graphicelement/grid/index/dialogs/cgis_gridindexwizard2.h"
#include "tests/layout/graphicelement/grid/grid/dialogs/griddialogtest.h"

namespace {

using md::basilo::ReleasePtr;
using md::test::LogMark;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

class IndexWizard : public md::test::GridDialogTest {
 protected:
  // Runs the two pages as a wizard; the scene plays its user, `more` the
  // windows it opens. The sheet's answer.
  INT_PTR Run(ScriptedDriver::Scene scene, std::vector<ScriptedDriver::Scene> more = {}) {
    return RunOn(first_, second_, std::move(scene), std::move(more), &dialogsRun_);
  }
  static INT_PTR RunOn(CGIS_GridIndexWizard1& first, CGIS_GridIndexWizard2& second,
                       ScriptedDriver::Scene scene, std::vector<ScriptedDriver::Scene> more = {},
                       int* dialogsRun = nullptr) {
    CPropertySheet sheet("坐标格网向导");
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    sheet.SetWizardMode();
    ScriptedDriver driver;
    driver.Then(std::move(scene));
    for (auto& s : more) driver.Then(std::move(s));
    const INT_PTR answer = sheet.DoModal();
    if (dialogsRun != nullptr) *dialogsRun = driver.DialogsRun();
    return answer;
  }
  // What the finish page does, standing in for it in this two-page sheet:
  // its buttons, then Finish.
  static void FinishHere(UiUser& u) {
    u.Sheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
    u.Finish();
  }

  CGIS_GridIndexWizard1 first_;
  CGIS_GridIndexWizard2 second_;
  int dialogsRun_ = 0;
};

TEST_F(IndexWizard, UntouchedItFinishesWithFiveByFiveTabsOnlyTheBackgroundTabAndLetteredColumns) {
  EXPECT_EQ(first_.m_pLineSymbol, nullptr);
  EXPECT_EQ(second_.m_pSymbolPolygon, nullptr);
  EXPECT_EQ(Run([](UiUser& u) {
              EXPECT_TRUE(u.Snapshot(SnapshotPath("indexwizard1")));
              EXPECT_EQ(u.Sheet()->GetWizardButtons(), PSWIZB_BACK | PSWIZB_NEXT);
              EXPECT_EQ(u.Text(IDC_GIS_IW_COLUMNS), "5");
              EXPECT_EQ(u.Text(IDC_GIS_IW_ROWS), "5");
              EXPECT_EQ(u.Checked(IDC_GIS_IW_TABS_ONLY), 1);
              EXPECT_TRUE(u.Next());
              EXPECT_EQ(u.Sheet()->GetActiveIndex(), 1);
              EXPECT_TRUE(u.Snapshot(SnapshotPath("indexwizard2")));
              EXPECT_EQ(u.Sheet()->GetWizardButtons(), PSWIZB_BACK | PSWIZB_NEXT);
              EXPECT_EQ(u.Text(IDC_GIS_IW_TAB_STYLE), "背景标注");
              EXPECT_EQ(u.Checked(IDC_GIS_IW_LETTER_COLUMNS), 1);
              FinishHere(u);
            }),
            ID_WIZFINISH);
  EXPECT_EQ(first_.m_nColumnCount, 5);
  EXPECT_EQ(first_.m_nRowCount, 5);
  EXPECT_EQ(first_.m_nAppearance, GIS_GRIDLINE_NONE);
  EXPECT_EQ(second_.m_nTabStyle, 0);
  EXPECT_EQ(second_.m_nLettering, 0);
  // The symbols the pages made when first shown.
  ASSERT_NE(first_.m_pLineSymbol, nullptr);
  EXPECT_EQ(first_.m_pLineSymbol->GetType(), GIS_SYMBOL_LINE);
  EXPECT_EQ(first_.m_pLineSymbol->GetStyleCode(), 0xD03);
  ASSERT_NE(first_.m_pMarkSymbol, nullptr);
  EXPECT_EQ(first_.m_pMarkSymbol->GetType(), GIS_SYMBOL_POINT);
  EXPECT_EQ(first_.m_pMarkSymbol->GetStyleCode(), 0xCE7);
  ASSERT_NE(second_.m_pSymbolPolygon, nullptr);
  EXPECT_EQ(second_.m_pSymbolPolygon->GetType(), GIS_SYMBOL_FILL);
  EXPECT_EQ(second_.m_pSymbolPolygon->GetStyleCode(), 0xD22);
  ASSERT_NE(second_.m_pTextSymbol, nullptr);
  ASSERT_NE(second_.m_pTextSymbol->GetTextPart(), nullptr);
  EXPECT_EQ(second_.m_pTextSymbol->GetFontSizePtr()->lfHeight, 10);
}

TEST_F(IndexWizard, EachPageLeadsToItsNeighboursByTheirDialogs) {
  EXPECT_EQ(first_.OnWizardBack(), 107);
  EXPECT_EQ(first_.OnWizardNext(), IDD_GIS_INDEX_WIZARD2);
  EXPECT_EQ(second_.OnWizardBack(), IDD_GIS_INDEX_WIZARD1);
  EXPECT_EQ(second_.OnWizardNext(), 5173);
  Run([](UiUser& u) {
    // The start and finish pages are not in this sheet: the page stays.
    EXPECT_TRUE(u.Back());
    EXPECT_EQ(u.Sheet()->GetActiveIndex(), 0);
    EXPECT_TRUE(u.Next());
    EXPECT_TRUE(u.Next());
    EXPECT_EQ(u.Sheet()->GetActiveIndex(), 1);
    EXPECT_TRUE(u.Back());
    EXPECT_EQ(u.Sheet()->GetActiveIndex(), 0);
    u.Cancel();
  });
}

TEST_F(IndexWizard, CountsOutsideOneToTwentyKeepThePageWithTheRangePrompt) {
  struct Row {
    int edit;
    const char* typed;
    const char* shown;  // after the filter
    bool refused;
  };
  const Row rows[] = {
      {IDC_GIS_IW_COLUMNS, "21", "21", true},   {IDC_GIS_IW_ROWS, "0", "0", true},
      {IDC_GIS_IW_ROWS, "20", "20", false},     {IDC_GIS_IW_COLUMNS, "1", "1", false},
      {IDC_GIS_IW_COLUMNS, "1x2", "12", false}, {IDC_GIS_IW_ROWS, "-3", "3", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.typed) + " in " + std::to_string(row.edit));
    md::ui::ClearMessageBoxLog();
    CGIS_GridIndexWizard1 first;
    CGIS_GridIndexWizard2 second;
    RunOn(first, second, [&](UiUser& u) {
      u.Replace(row.edit, row.typed);
      EXPECT_EQ(u.Text(row.edit), row.shown);
      u.Next();
      EXPECT_EQ(u.Sheet()->GetActiveIndex(), row.refused ? 0 : 1);
      EXPECT_EQ(Prompts(), row.refused ? 1u : 0u);
      u.Cancel();
    });
    if (!row.refused) {
      const int stored = row.edit == IDC_GIS_IW_COLUMNS ? first.m_nColumnCount : first.m_nRowCount;
      EXPECT_EQ(std::to_string(stored), row.shown);
    }
  }
}

TEST_F(IndexWizard, TheUpDownsStopAtOneAndTwenty) {
  Run([](UiUser& u) {
    u.Spin(IDC_GIS_IW_COLUMNS_SPIN, 30);
    EXPECT_EQ(u.Text(IDC_GIS_IW_COLUMNS), "20");
    u.Spin(IDC_GIS_IW_ROWS_SPIN, -30);
    EXPECT_EQ(u.Text(IDC_GIS_IW_ROWS), "1");
    u.Next();
    // Coming back shows what the page holds.
    u.Back();
    EXPECT_EQ(u.Text(IDC_GIS_IW_COLUMNS), "20");
    EXPECT_EQ(u.Text(IDC_GIS_IW_ROWS), "1");
    u.Cancel();
  });
  EXPECT_EQ(first_.m_nColumnCount, 20);
  EXPECT_EQ(first_.m_nRowCount, 1);
}

TEST_F(IndexWizard, TheSymbolButtonEditsTheSymbolOfTheAppearanceAndKeepsTheOther) {
  std::vector<BYTE> line, mark;
  IGIS_Symbol* madeLine = nullptr;
  Run(
      [&](UiUser& u) {
        madeLine = first_.m_pLineSymbol.get();
        // Tabs only: the button opens nothing.
        u.Click(IDC_GIS_IW_SYMBOL);
        u.Click(IDC_GIS_IW_LINES);
        EXPECT_EQ(first_.m_nAppearance, GIS_GRIDLINE_LINES);
        u.Click(IDC_GIS_IW_SYMBOL);
        line = md::test::SymbolBytes(first_.m_pLineSymbol.get());
        u.Click(IDC_GIS_IW_MARKS);
        EXPECT_EQ(first_.m_nAppearance, GIS_GRIDLINE_MARKS);
        u.Click(IDC_GIS_IW_SYMBOL);
        mark = md::test::SymbolBytes(first_.m_pMarkSymbol.get());
        // Back to lines: a cancelled chooser changes nothing.
        u.Click(IDC_GIS_IW_LINES);
        u.Click(IDC_GIS_IW_SYMBOL);
        u.Cancel();
      },
      {Choose(3), Choose(2), [](UiUser& u) { u.Cancel(); }});
  EXPECT_EQ(dialogsRun_, 4);
  EXPECT_NE(first_.m_pLineSymbol.get(), madeLine);
  ReleasePtr<IGIS_Symbol> chosenLine(GIS_MakeCatalogueSymbol(GIS_CHOOSE_LINE, 3));
  ReleasePtr<IGIS_Symbol> chosenMark(GIS_MakeCatalogueSymbol(GIS_CHOOSE_POINT, 2));
  EXPECT_EQ(line, md::test::SymbolBytes(chosenLine.get()));
  EXPECT_EQ(mark, md::test::SymbolBytes(chosenMark.get()));
  // The marker's choice left the line symbol as chosen, and the cancel both.
  EXPECT_EQ(md::test::SymbolBytes(first_.m_pLineSymbol.get()), line);
  EXPECT_EQ(md::test::SymbolBytes(first_.m_pMarkSymbol.get()), mark);
}

TEST_F(IndexWizard, TheTabPageKeepsStyleAndLetteringWhenLeftAndItsOwnChosenSymbols) {
  Run(
      [&](UiUser& u) {
        u.Next();
        u.Choose(IDC_GIS_IW_TAB_STYLE, 3);
        u.Click(IDC_GIS_IW_LETTER_ROWS);
        // Nothing is taken before the page is left.
        EXPECT_EQ(second_.m_nTabStyle, 0);
        EXPECT_EQ(second_.m_nLettering, 0);
        u.Click(IDC_GIS_IW_BACKGROUND);
        u.Click(IDC_GIS_IW_FONT);
        u.Back();
        EXPECT_EQ(second_.m_nTabStyle, 3);
        EXPECT_EQ(second_.m_nLettering, 1);
        u.Next();
        EXPECT_EQ(u.Text(IDC_GIS_IW_TAB_STYLE), "圆角标注");
        EXPECT_EQ(u.Checked(IDC_GIS_IW_LETTER_ROWS), 1);
        FinishHere(u);
      },
      {Choose(4), Choose(1)});
  EXPECT_EQ(second_.m_nTabStyle, 3);
  EXPECT_EQ(second_.m_nLettering, 1);
  ReleasePtr<IGIS_Symbol> fill(GIS_MakeCatalogueSymbol(GIS_CHOOSE_FILL, 4));
  ReleasePtr<IGIS_Symbol> text(GIS_MakeCatalogueSymbol(GIS_CHOOSE_TEXT, 1));
  EXPECT_EQ(md::test::SymbolBytes(second_.m_pSymbolPolygon.get()), md::test::SymbolBytes(fill.get()));
  EXPECT_EQ(md::test::SymbolBytes(second_.m_pTextSymbol.get()), md::test::SymbolBytes(text.get()));
}

TEST_F(IndexWizard, WithoutABackgroundSymbolItsButtonWritesARecordAndOpensNothing) {
  LogMark log;
  Run([&](UiUser& u) {
    u.Next();
    second_.m_pSymbolPolygon.reset();
    u.Click(IDC_GIS_IW_BACKGROUND);
    u.Cancel();
  });
  EXPECT_EQ(dialogsRun_, 1);
  EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GridIndexWizard2::OnIndexWizardMarksymbol",
                      "m_pSymbolPolygon == NULL"));
}

}  // namespace
