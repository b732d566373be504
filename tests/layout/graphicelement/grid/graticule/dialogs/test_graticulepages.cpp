// The graticule's own pages on its sheet: the fine tick-line page (hatch
// spacing as degrees, minutes and seconds, the three marks, counts and
// their ranges, the hatch symbols) and the inside-label page (the switch
// and the label spacing); the longitude row is the graticule's X, the
// latitude row its Y. On a grid of another kind both pages refuse to show.
#include "layout/graphicelement/grid/graticule/dialogs/cgis_gridinsidelabelpage.h"
#include "layout/graphicelement/grid/graticule/dialogs/cgis_gridslimlinepage.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "tests/layout/graphicelement/grid/grid/dialogs/griddialogtest.h"

namespace {

using md::basilo::ReleasePtr;
using md::test::LogMark;
using md::test::Owned;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

using GraticulePages = md::test::GridDialogTest;

// The pages' places in the graticule's sheet.
constexpr int kInsideLabelPage = 1;
constexpr int kSlimLinePage = 4;

IGIS_GraticuleGrid* NewGraticule() {
  return dynamic_cast<IGIS_GraticuleGrid*>(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_GRATICULE));
}

// Three edits of a row as the user sees them.
std::vector<std::string> Row(UiUser& u, int degrees, int minutes, int seconds) {
  return {u.Text(degrees), u.Text(minutes), u.Text(seconds)};
}
void TypeRow(UiUser& u, int degrees, int minutes, int seconds, const std::vector<std::string>& row) {
  u.Replace(degrees, row[0]);
  u.Replace(minutes, row[1]);
  u.Replace(seconds, row[2]);
}

// An interval in degrees, the row it shows as, a row typed and the degrees
// stored from it.
struct IntervalRow {
  double stored;
  std::vector<std::string> shown;
  std::vector<std::string> typed;
  double after;
};

const IntervalRow kHatchRows[] = {
    {0.5, {"0", "30", "0"}, {"1", "30", "0"}, 1.5},
    {2.5, {"2", "30", "0"}, {"2", "30", "0"}, 2.5},
    {1.0 / 3600.0 * 1.5, {"0", "0", "1.5"}, {"1", "60", "0"}, 2.0},
    {10.00000001, {"10", "0", "0"}, {"0", "0", "36"}, 0.01},
};

// Both pages of one sheet: the hatch spacing on the fine tick-line page,
// the label spacing and its switch (which keeps the intervals) on the
// inside-label page.
TEST_F(GraticulePages, SpacingShowsAsLongitudeAndLatitudeRowsAndIsStoredInDegrees) {
  for (const IntervalRow& row : kHatchRows) {
    SCOPED_TRACE(row.stored);
    Owned<IGIS_GraticuleGrid> g(NewGraticule());
    g->SetHatchIntervalX(row.stored);
    g->SetHatchIntervalY(row.stored * 2.0);
    g->SetShowInteriorLabels(true);
    g->SetInteriorLabelIntervalX(1.25);
    g->SetInteriorLabelIntervalY(row.stored);
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      u.GoToPage(kSlimLinePage);
      EXPECT_EQ(Row(u, IDC_GIS_SL_LON_DEGREES, IDC_GIS_SL_LON_MINUTES, IDC_GIS_SL_LON_SECONDS), row.shown);
      TypeRow(u, IDC_GIS_SL_LON_DEGREES, IDC_GIS_SL_LON_MINUTES, IDC_GIS_SL_LON_SECONDS, row.typed);
      TypeRow(u, IDC_GIS_SL_LAT_DEGREES, IDC_GIS_SL_LAT_MINUTES, IDC_GIS_SL_LAT_SECONDS, {"3", "0", "0"});
      u.GoToPage(kInsideLabelPage);
      EXPECT_EQ(u.Checked(IDC_GIS_IL_SHOW), 1);
      EXPECT_EQ(Row(u, IDC_GIS_IL_LON_DEGREES, IDC_GIS_IL_LON_MINUTES, IDC_GIS_IL_LON_SECONDS),
                (std::vector<std::string>{"1", "15", "0"}));
      EXPECT_EQ(Row(u, IDC_GIS_IL_LAT_DEGREES, IDC_GIS_IL_LAT_MINUTES, IDC_GIS_IL_LAT_SECONDS), row.shown);
      TypeRow(u, IDC_GIS_IL_LAT_DEGREES, IDC_GIS_IL_LAT_MINUTES, IDC_GIS_IL_LAT_SECONDS, row.typed);
      u.Click(IDC_GIS_IL_SHOW);
      u.Ok();
    });
    EXPECT_TRUE(g->OnOpenPropertyDlg());
    EXPECT_DOUBLE_EQ(g->GetHatchIntervalX(), row.after);
    EXPECT_DOUBLE_EQ(g->GetHatchIntervalY(), 3.0);
    EXPECT_FALSE(g->GetShowInteriorLabels());
    EXPECT_DOUBLE_EQ(g->GetInteriorLabelIntervalX(), 1.25);
    EXPECT_DOUBLE_EQ(g->GetInteriorLabelIntervalY(), row.after);
    EXPECT_EQ(Prompts(), 0u);
  }
}

// With the snapshots of both pages.
TEST_F(GraticulePages, MarksAndTheirSymbolsAreShownAndStoredInTheirOrder) {
  Owned<IGIS_GraticuleGrid> g(NewGraticule());
  g->SetHatchIntervalX(0.5);
  g->SetHatchIntervalY(1.0 / 6.0);
  g->SetShowInteriorLabels(true);
  g->SetInteriorLabelIntervalX(2.5);
  g->SetInteriorLabelIntervalY(0.25);
  const std::string slim = SnapshotPath("grid-slimline");
  const std::string inside = SnapshotPath("grid-insidelabel");
  g->SetHatchLength(149.5);
  g->SetHatchDirectional(true);
  g->SetMainHatchLength(250);
  g->SetMainHatchCount(4);
  g->SetMainHatchDirectional(false);
  g->SetSubHatchDirectional(true);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.GoToPage(kSlimLinePage);
    EXPECT_TRUE(u.Snapshot(slim));
    EXPECT_EQ(u.Text(IDC_GIS_SL_HATCH_LENGTH), "150");
    EXPECT_EQ(u.Checked(IDC_GIS_SL_HATCH_DIRECTIONAL), 1);
    EXPECT_EQ(u.Text(IDC_GIS_SL_MAIN_LENGTH), "250");
    EXPECT_EQ(u.Checked(IDC_GIS_SL_MAIN_DIRECTIONAL), 0);
    EXPECT_EQ(u.Text(IDC_GIS_SL_MAIN_COUNT), "4");
    EXPECT_EQ(u.Text(IDC_GIS_SL_SUB_LENGTH), "100");
    EXPECT_EQ(u.Checked(IDC_GIS_SL_SUB_DIRECTIONAL), 1);
    EXPECT_EQ(u.Text(IDC_GIS_SL_SUB_COUNT), "2");
    u.Click(IDC_GIS_SL_HATCH_DIRECTIONAL);
    u.Click(IDC_GIS_SL_MAIN_DIRECTIONAL);
    u.Replace(IDC_GIS_SL_SUB_COUNT, "7");
    u.Replace(IDC_GIS_SL_SUB_LENGTH, "+90");
    u.Click(IDC_GIS_SL_HATCH_SYMBOL);
    u.Click(IDC_GIS_SL_MAIN_SYMBOL);
    u.Click(IDC_GIS_SL_SUB_SYMBOL);
    u.GoToPage(kInsideLabelPage);
    EXPECT_TRUE(u.Snapshot(inside));
    u.Ok();
  });
  driver.Then(Choose(1)).Then(Choose(2)).Then(Choose(4));
  EXPECT_TRUE(g->OnOpenPropertyDlg());
  EXPECT_EQ(g->GetHatchLength(), 150.0);
  EXPECT_FALSE(g->GetHatchDirectional());
  EXPECT_TRUE(g->GetMainHatchDirectional());
  EXPECT_EQ(g->GetMainHatchLength(), 250);
  EXPECT_EQ(g->GetMainHatchCount(), 4);
  EXPECT_EQ(g->GetSubHatchCount(), 7);
  EXPECT_EQ(g->GetSubHatchLength(), 90);
  EXPECT_TRUE(g->GetSubHatchDirectional());
  const auto entry = [](int index) {
    ReleasePtr<IGIS_Symbol> s(GIS_MakeCatalogueSymbol(GIS_CHOOSE_LINE, index));
    return md::test::SymbolBytes(s.get());
  };
  EXPECT_EQ(md::test::SymbolBytes(g->GetHatchLineSymbol()), entry(1));
  EXPECT_EQ(md::test::SymbolBytes(g->GetMainHatchLineSymbol()), entry(2));
  EXPECT_EQ(md::test::SymbolBytes(g->GetSubHatchLineSymbol()), entry(4));
  EXPECT_TRUE(std::filesystem::exists(slim));
  EXPECT_TRUE(std::filesystem::exists(inside));
}

TEST_F(GraticulePages, ValuesOutOfRangeArePromptedAndKeepThePage) {
  struct Row {
    int page;
    int edit;
    const char* typed;
  } rows[] = {
      {kSlimLinePage, IDC_GIS_SL_MAIN_COUNT, "0"},       {kSlimLinePage, IDC_GIS_SL_SUB_COUNT, "101"},
      {kSlimLinePage, IDC_GIS_SL_LON_DEGREES, "361"},    {kSlimLinePage, IDC_GIS_SL_LAT_MINUTES, "61"},
      {kSlimLinePage, IDC_GIS_SL_LAT_SECONDS, "60.5"},   {kSlimLinePage, IDC_GIS_SL_HATCH_LENGTH, "1000001"},
      {kInsideLabelPage, IDC_GIS_IL_LAT_DEGREES, "361"}, {kInsideLabelPage, IDC_GIS_IL_LON_SECONDS, "61"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.edit);
    md::ui::ClearMessageBoxLog();
    Owned<IGIS_GraticuleGrid> g(NewGraticule());
    const std::vector<BYTE> before = md::test::Stored(g.get());
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      u.GoToPage(row.page);
      u.Replace(row.edit, row.typed);
      EXPECT_FALSE(u.GoToPage(0));
      EXPECT_EQ(Prompts(), 1u);
      EXPECT_EQ(u.Sheet()->GetActiveIndex(), row.page);
      u.Cancel();
    });
    EXPECT_FALSE(g->OnOpenPropertyDlg());
    EXPECT_EQ(md::test::Stored(g.get()), before);
  }
}

TEST_F(GraticulePages, OnAnotherKindBothPagesRefuseToShowWithARecord) {
  Owned<IGIS_MapGrid> g(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_MEASURE));
  const std::vector<BYTE> before = md::test::Stored(g.get());
  CGIS_GridSlimLinePage slim;
  CGIS_GridInsideLabelPage inside;
  LogMark log;
  EXPECT_EQ(RunPage(slim, g.get(), [](UiUser& u) { u.Ok(); }), IDOK);
  EXPECT_EQ(RunPage(inside, g.get(), [](UiUser& u) { u.Ok(); }), IDOK);
  EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GridSlimLinePage::OnSetActive", "p_graticule == NULL"));
  EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GridInsideLabelPage::OnSetActive", "p_graticule == NULL"));
  EXPECT_EQ(md::test::Stored(g.get()), before);
  EXPECT_EQ(Prompts(), 0u);
  CGIS_GridSlimLinePage none;
  RunPage(none, nullptr, [](UiUser& u) { u.Cancel(); });
  EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GridSlimLinePage::OnSetActive", "m_pMapGrid == NULL"));
}

}  // namespace
