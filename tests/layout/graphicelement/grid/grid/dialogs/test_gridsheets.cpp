// The grids' property sheets: each kind's OnOpenPropertyDlg runs the sheet
// of its row with its caption and pages in order, Apply stays disabled, and
// the answer is the user's; the sheet classes, the pages' refusal without a
// grid and how the shared pages look.
#include <memory>
#include <string>
#include <vector>

#include "layout/graphicelement/grid/grid/dialogs/cgis_axespage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridintervalpage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridlabelspage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridlinepage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_publicpropertysheet.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "tests/layout/graphicelement/grid/grid/dialogs/griddialogtest.h"
#include "tests/layout/graphicelement/grid/measure/measuretest.h"

namespace {

using md::test::LogMark;
using md::test::Owned;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

// Grids on a frame over the sample sheet, as the interval page needs.
using GridSheets = md::test::GridDialogTestOn<md::test::MeasurePage>;

struct SheetRow {
  int kind;
  std::string title;
  std::vector<std::string> pages;
};

const SheetRow kRows[] = {
    {GIS_MAPGRID_GRATICULE, "经纬网属性", {"坐标轴", "内部标注", "标注", "线条", "细切线", "间隔"}},
    {GIS_MAPGRID_MEASURE, "方里网属性", {"坐标轴", "标注", "线条", "系统", "间隔"}},
    {GIS_MAPGRID_INDEX, "索引格网属性", {"坐标轴", "索引", "标注", "线条"}},
    {GIS_MAPGRID_GRATICULE_MN, "经纬网(行列数固定)属性", {"坐标轴", "标注", "经纬网(固定行列)属性"}},
};

bool ApplyEnabled(UiUser& u) {
  CWnd* apply = u.Sheet()->GetDlgItem(static_cast<int>(ID_APPLY_NOW));
  return apply != nullptr && apply->IsWindowEnabled();
}

TEST_F(GridSheets, EachKindShowsItsRowsPagesUnderItsCaptionAndAnswersTheUser) {
  for (const SheetRow& row : kRows) {
    SCOPED_TRACE(row.kind);
    Owned<IGIS_MapGrid> grid(md::test::NewGrid(row.kind));
    if (grid.get() == nullptr) continue;
    grid->SetMapElement(SheetFrame());
    for (bool confirm : {true, false}) {
      std::string title;
      std::vector<std::string> pages;
      bool applyEverEnabled = false;
      ScriptedDriver driver;
      driver.Then([&](UiUser& u) {
        title = u.Sheet()->GetTitle();
        EXPECT_EQ(u.Sheet()->GetActiveIndex(), 0);
        for (int i = 0; i < u.Sheet()->GetPageCount(); ++i) {
          pages.push_back(u.Sheet()->GetPage(i)->GetCaption());
          EXPECT_TRUE(u.GoToPage(i));
          applyEverEnabled = applyEverEnabled || ApplyEnabled(u);
        }
        confirm ? u.Ok() : u.Cancel();
      });
      // The index grid too answers FALSE after Cancel.
      EXPECT_EQ(grid->OnOpenPropertyDlg(), confirm);
      EXPECT_EQ(title, row.title);
      EXPECT_EQ(pages, row.pages);
      EXPECT_FALSE(applyEverEnabled);
      EXPECT_EQ(driver.DialogsRun(), 1);
    }
  }
}

TEST_F(GridSheets, TheSheetsStartWithTheirCaptionStringAndThePublicSheetsApplyDoesNothing) {
  CGIS_GridPropertySheet grid;
  EXPECT_EQ(grid.GetTitle(), "Property Sheet");
  CGIS_PublicPropertySheet open;
  EXPECT_EQ(open.GetTitle(), "Property Sheet");
  for (const char* name :
       {"CGIS_GridPropertySheet", "CGIS_PublicPropertySheet", "CGIS_AxesPage", "CGIS_GridLinePage",
        "CGIS_GridIntervalPage", "CGIS_GridSystemPage", "CGIS_IndexPage", "CGIS_GridGraticuleMNPage",
        "CGIS_GridGraticuleMNWizard", "CGIS_GridLabelsPage"}) {
    std::unique_ptr<CWnd> made(md::ui::CreateWindowObject(name));
    EXPECT_NE(made, nullptr) << name;
  }

  // A page that marks itself modified enables Apply; the public sheet's
  // Apply then neither applies the page nor clears its mark.
  Owned<IGIS_MapGrid> g(md::test::NewGrid(GIS_MAPGRID_MEASURE));
  CGIS_GridLinePage page;
  page.m_pMapGrid = g.get();
  open.AddPage(&page);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(IDC_GIS_GL_MARKS);
    page.SetModified(TRUE);
    EXPECT_TRUE(u.Apply());
    EXPECT_TRUE(page.IsModified());
    EXPECT_EQ(g->GetGridlineType(), GIS_GRIDLINE_LINES);
    u.Cancel();
  });
  EXPECT_EQ(open.DoModal(), IDCANCEL);
  EXPECT_EQ(g->GetGridlineType(), GIS_GRIDLINE_LINES);
}

TEST_F(GridSheets, APageWithoutAGridIsRefusedWithARecordAndTheNextOneShows) {
  Owned<IGIS_MapGrid> g(md::test::NewGrid(GIS_MAPGRID_GRATICULE));
  CGIS_AxesPage axes;  // no grid
  CGIS_GridLinePage line;
  line.m_pMapGrid = g.get();
  CGIS_GridPropertySheet sheet;
  sheet.AddPage(&axes);
  sheet.AddPage(&line);
  LogMark log;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Sheet()->GetActiveIndex(), 1);
    EXPECT_FALSE(u.Sheet()->SetActivePage(0));
    u.Ok();
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_CHECK, "CGIS_AxesPage::OnInitDialog", "m_pMapGrid == NULL"));
  EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_CHECK, "CGIS_AxesPage::OnSetActive", "m_pMapGrid == NULL"));
  EXPECT_EQ(Prompts(), 0u);
}

// The shared pages as a user sees them, written for a look.
TEST_F(GridSheets, Snapshots) {
  Owned<IGIS_MapGrid> graticule(md::test::NewGrid(GIS_MAPGRID_GRATICULE));
  graticule->SetTickLength(-150.0);
  graticule->GetBorder()->SetBorderType(GIS_GRIDBORDER_CALIBRATED);
  Owned<IGIS_MapGrid> measure(md::test::NewGrid(GIS_MAPGRID_MEASURE));
  measure->SetMapElement(SheetFrame());
  IGIS_GridSpacing* spacing = dynamic_cast<IGIS_MeasureGrid*>(measure.get())->GetGridSpacing();
  spacing->SetFixedOrigin(true);
  spacing->SetXOrigin(420000.0);
  Owned<IGIS_MapGrid> index(md::test::NewGrid(GIS_MAPGRID_INDEX));
  CGIS_AxesPage axes;
  CGIS_GridLabelsPage measureLabels, indexLabels;
  CGIS_GridLinePage line;
  CGIS_GridIntervalPage interval;
  const struct {
    std::string name;
    CGIS_MapGridPage* page;
    IGIS_MapGrid* grid;
  } rows[] = {
      {"grid-axes", &axes, graticule.get()},
      {"grid-labels-" + std::to_string(GIS_MAPGRID_MEASURE), &measureLabels, measure.get()},
      {"grid-labels-" + std::to_string(GIS_MAPGRID_INDEX), &indexLabels, index.get()},
      {"grid-line", &line, measure.get()},
      {"grid-interval", &interval, measure.get()},
  };
  for (const auto& row : rows) {
    const std::string path = SnapshotPath(row.name);
    EXPECT_EQ(RunPage(*row.page, row.grid, md::test::SnapshotThenCancel(path)), IDCANCEL) << row.name;
    EXPECT_TRUE(std::filesystem::exists(path)) << row.name;
  }
}

}  // namespace
