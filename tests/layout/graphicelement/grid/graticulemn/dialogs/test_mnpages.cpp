// The pages of the graticule of fixed rows and columns: the last page of its
// sheet (appearance, counts 1 to 20 as LatitudeCount and LongitudeCount; its
// symbol button is played with the line page's) and the grid wizard's page (its
// defaults, its symbol button on the symbols it holds, its neighbours), run
// in a one-page wizard.
#include <string>
#include <vector>

#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/grid/graticulemn/dialogs/cgis_gridgraticulemnpage.h"
#include "layout/graphicelement/grid/graticulemn/dialogs/cgis_gridgraticulemnwizard.h"
#include "layout/graphicelement/grid/grid/igis_graticulemngrid.h"
#include "tests/layout/graphicelement/grid/grid/dialogs/griddialogtest.h"

namespace {

using md::basilo::ReleasePtr;
using md::test::Owned;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

using MNPages = md::test::GridDialogTest;

// The property page's place in the grid's sheet.
constexpr int kMNPage = 2;

IGIS_GraticuleMNGrid* NewMNGrid() {
  return dynamic_cast<IGIS_GraticuleMNGrid*>(md::test::NewGrid(GIS_MAPGRID_GRATICULE_MN));
}

std::vector<BYTE> EntryBytes(int kind, int index) {
  ReleasePtr<IGIS_Symbol> entry(GIS_MakeCatalogueSymbol(kind, index));
  return md::test::SymbolBytes(entry.get());
}

TEST_F(MNPages, TheCountsAreColumnsAndRowsFrom1To20AndTheAppearanceIsTheLineType) {
  const struct {
    const char* columns;
    const char* rows;
    int radio;
    bool accepted;
    int latitudeCount, longitudeCount, lineType;
  } rows[] = {
      {"20", "1", IDC_GIS_MP_MARKS, true, 20, 1, GIS_GRIDLINE_MARKS},
      {"7", "3a", IDC_GIS_MP_LINES, true, 7, 3, GIS_GRIDLINE_LINES},
      {"21", "4", IDC_GIS_MP_LINES, false, 5, 5, GIS_GRIDLINE_NONE},
      {"4", "0", IDC_GIS_MP_NONE, false, 5, 5, GIS_GRIDLINE_NONE},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.columns) + " x " + row.rows);
    md::ui::ClearMessageBoxLog();
    Owned<IGIS_GraticuleMNGrid> g(NewMNGrid());
    g->SetLatitudeCount(5);
    g->SetLongitudeCount(5);
    g->SetGridlineType(GIS_GRIDLINE_NONE);
    bool ended = false;
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      EXPECT_TRUE(u.GoToPage(kMNPage));
      EXPECT_EQ(u.Checked(IDC_GIS_MP_NONE), 1);
      EXPECT_EQ(u.Text(IDC_GIS_MP_COLUMNS), "5");
      u.Replace(IDC_GIS_MP_COLUMNS, row.columns);
      u.Replace(IDC_GIS_MP_ROWS, row.rows);
      // A non-digit leaves its own edit and the other one as they were.
      EXPECT_EQ(u.Text(IDC_GIS_MP_COLUMNS), row.columns);
      u.Click(row.radio);
      u.Ok();
      ended = u.Ended();
      if (!ended) u.Cancel();
    });
    EXPECT_EQ(g->OnOpenPropertyDlg(), row.accepted);
    EXPECT_EQ(ended, row.accepted);
    EXPECT_EQ(Prompts(), row.accepted ? 0u : 1u);
    EXPECT_EQ(g->GetLatitudeCount(), row.latitudeCount);
    EXPECT_EQ(g->GetLongitudeCount(), row.longitudeCount);
    EXPECT_EQ(g->GetGridlineType(), row.lineType);
  }
}

// The appearance clicked, then the wizard's symbol button: the chooser's
// kind (0: none opens).
struct SymbolRow {
  int appearance;
  int chooserKind;
};
constexpr SymbolRow kSymbolRows[] = {
    {GIS_GRIDLINE_NONE, 0}, {GIS_GRIDLINE_LINES, GIS_CHOOSE_LINE}, {GIS_GRIDLINE_MARKS, GIS_CHOOSE_POINT}};

// Runs the wizard page alone in a wizard sheet; the scene plays its user.
INT_PTR RunWizard(CGIS_GridGraticuleMNWizard& page, md::ui::ScriptedDriver::Scene scene,
                  std::vector<md::ui::ScriptedDriver::Scene> more = {}) {
  CPropertySheet sheet("向导");
  sheet.SetWizardMode();
  sheet.AddPage(&page);
  ScriptedDriver driver;
  driver.Then(std::move(scene));
  for (auto& s : more) driver.Then(std::move(s));
  const INT_PTR answer = sheet.DoModal();
  EXPECT_EQ(driver.ScenesLeft(), 0u);
  return answer;
}

TEST_F(MNPages, TheWizardPageStartsWithLabelsOnlyFiveByFiveAndTheDefaultSymbols) {
  CGIS_GridGraticuleMNWizard page;
  EXPECT_EQ(page.GetLineSymbol(), nullptr);
  RunWizard(page, [&](UiUser& u) {
    EXPECT_EQ(u.Sheet()->GetWizardButtons(), static_cast<DWORD>(PSWIZB_BACK | PSWIZB_NEXT));
    EXPECT_EQ(u.Checked(IDC_GIS_MW_LABELS_ONLY), 1);
    EXPECT_EQ(u.Text(IDC_GIS_MW_COLUMNS), "5");
    EXPECT_EQ(u.Text(IDC_GIS_MW_ROWS), "5");
    EXPECT_TRUE(u.IsEnabled(IDC_GIS_MW_SYMBOL));
    // The up-downs stop at 20 and 1.
    u.Spin(IDC_GIS_MW_COLUMNS_SPIN, 30);
    EXPECT_EQ(u.Text(IDC_GIS_MW_COLUMNS), "20");
    u.Spin(IDC_GIS_MW_ROWS_SPIN, -30);
    EXPECT_EQ(u.Text(IDC_GIS_MW_ROWS), "1");
    u.Cancel();
  });
  ASSERT_NE(page.GetLineSymbol(), nullptr);
  ASSERT_NE(page.GetMarkSymbol(), nullptr);
  EXPECT_EQ(page.GetLineSymbol()->GetStyleCode(), 0xD03);
  EXPECT_EQ(page.GetMarkSymbol()->GetStyleCode(), 0xCE7);
  EXPECT_EQ(page.m_nAppearance, GIS_GRIDLINE_NONE);
  EXPECT_EQ(page.OnWizardBack(), 107);
  EXPECT_EQ(page.OnWizardNext(), 5152);
}

TEST_F(MNPages, TheWizardPagesSymbolButtonReplacesTheSymbolItHoldsAndLeavingValidatesTheCounts) {
  const int radios[] = {IDC_GIS_MW_LABELS_ONLY, IDC_GIS_MW_LINES, IDC_GIS_MW_MARKS};
  for (const SymbolRow& row : kSymbolRows) {
    SCOPED_TRACE(row.appearance);
    md::ui::ClearMessageBoxLog();
    CGIS_GridGraticuleMNWizard page;
    std::vector<BYTE> line, mark;
    std::vector<md::ui::ScriptedDriver::Scene> chooser;
    if (row.chooserKind != 0) chooser.push_back(Choose(2));
    RunWizard(
        page,
        [&](UiUser& u) {
          line = md::test::SymbolBytes(page.GetLineSymbol());
          mark = md::test::SymbolBytes(page.GetMarkSymbol());
          u.Click(radios[row.appearance]);
          u.Click(IDC_GIS_MW_SYMBOL);
          u.Replace(IDC_GIS_MW_COLUMNS, "21");
          // Leaving the page validates it: 21 is refused, 20 taken.
          EXPECT_FALSE(page.OnKillActive());
          EXPECT_EQ(Prompts(), 1u);
          u.Replace(IDC_GIS_MW_COLUMNS, "2b0");
          u.Replace(IDC_GIS_MW_ROWS, "12");
          EXPECT_TRUE(page.OnKillActive());
          u.Cancel();
        },
        chooser);
    EXPECT_EQ(md::test::SymbolBytes(page.GetLineSymbol()),
              row.chooserKind == GIS_CHOOSE_LINE ? EntryBytes(GIS_CHOOSE_LINE, 2) : line);
    EXPECT_EQ(md::test::SymbolBytes(page.GetMarkSymbol()),
              row.chooserKind == GIS_CHOOSE_POINT ? EntryBytes(GIS_CHOOSE_POINT, 2) : mark);
    EXPECT_EQ(page.m_nAppearance, row.appearance);
    EXPECT_EQ(page.GetColumns(), 20);
    EXPECT_EQ(page.GetRows(), 12);
  }
}

TEST_F(MNPages, Snapshots) {
  Owned<IGIS_GraticuleMNGrid> g(NewMNGrid());
  g->SetGridlineType(GIS_GRIDLINE_LINES);
  CGIS_GridGraticuleMNPage property;
  const std::string propertyPath = SnapshotPath("grid-graticulemn");
  EXPECT_EQ(RunPage(property, g.get(), md::test::SnapshotThenCancel(propertyPath)), IDCANCEL);
  EXPECT_TRUE(std::filesystem::exists(propertyPath));
  CGIS_GridGraticuleMNWizard wizard;
  const std::string wizardPath = SnapshotPath("grid-graticulemn-wizard");
  RunWizard(wizard, md::test::SnapshotThenCancel(wizardPath));
  EXPECT_TRUE(std::filesystem::exists(wizardPath));
}

}  // namespace
