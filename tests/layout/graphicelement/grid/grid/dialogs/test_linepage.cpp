// The line type's page on the sheets of every kind: the line type as a
// radio group, stored on OK, and the symbol button editing the line symbol
// at once for lines, the marker for marks and nothing without either.
#include "layout/graphicelement/grid/graticulemn/dialogs/cgis_gridgraticulemnpage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridlinepage.h"
#include "tests/layout/graphicelement/grid/grid/dialogs/griddialogtest.h"

namespace {

using md::basilo::ReleasePtr;
using md::test::Owned;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

using LinePage = md::test::GridDialogTest;

// The page with the line type in each kind's sheet (the fixed rows and
// columns graticule has a page of its own): its place, its radios in the
// order none, lines, marks, and its symbol button.
struct KindPage {
  int kind;
  int page;
  int radios[3];
  int symbol;
};
constexpr KindPage kLinePages[] = {
    {GIS_MAPGRID_GRATICULE, 3, {IDC_GIS_GL_NONE, IDC_GIS_GL_LINES, IDC_GIS_GL_MARKS}, IDC_GIS_GL_SYMBOL},
    {GIS_MAPGRID_MEASURE, 2, {IDC_GIS_GL_NONE, IDC_GIS_GL_LINES, IDC_GIS_GL_MARKS}, IDC_GIS_GL_SYMBOL},
    {GIS_MAPGRID_INDEX, 3, {IDC_GIS_GL_NONE, IDC_GIS_GL_LINES, IDC_GIS_GL_MARKS}, IDC_GIS_GL_SYMBOL},
    {GIS_MAPGRID_GRATICULE_MN, 2, {IDC_GIS_MP_NONE, IDC_GIS_MP_LINES, IDC_GIS_MP_MARKS}, IDC_GIS_MP_SYMBOL},
};

// The catalogue the symbol button opens for each line type (0: none opens).
constexpr int kChooserKinds[] = {0, GIS_CHOOSE_LINE, GIS_CHOOSE_POINT};

TEST_F(LinePage, TheTypeIsStoredAndTheButtonEditsTheSymbolOfTheTypeAtOnce) {
  static_assert(GIS_GRIDLINE_NONE == 0 && GIS_GRIDLINE_LINES == 1 && GIS_GRIDLINE_MARKS == 2);
  for (const KindPage& at : kLinePages) {
    for (int type : {GIS_GRIDLINE_NONE, GIS_GRIDLINE_LINES, GIS_GRIDLINE_MARKS}) {
      SCOPED_TRACE(std::to_string(at.kind) + " type " + std::to_string(type));
      Owned<IGIS_MapGrid> g(md::test::NewGrid(at.kind));
      if (g.get() == nullptr) continue;
      const int other = type == GIS_GRIDLINE_LINES ? GIS_GRIDLINE_MARKS : GIS_GRIDLINE_LINES;
      g->SetGridlineType(other);
      const std::vector<BYTE> line = md::test::SymbolBytes(g->GetLineSymbol());
      const std::vector<BYTE> mark = md::test::SymbolBytes(g->GetMarkSymbol());
      std::vector<BYTE> lineNow, markNow;
      const int chooserKind = kChooserKinds[type];
      ScriptedDriver driver;
      driver.Then([&](UiUser& u) {
        u.GoToPage(at.page);
        EXPECT_EQ(u.Checked(at.radios[other]), 1);
        u.Click(at.radios[type]);
        u.Click(at.symbol);
        // Before the page is left.
        lineNow = md::test::SymbolBytes(g->GetLineSymbol());
        markNow = md::test::SymbolBytes(g->GetMarkSymbol());
        u.Ok();
      });
      if (chooserKind != 0) driver.Then(Choose(1));
      EXPECT_TRUE(g->OnOpenPropertyDlg());
      EXPECT_EQ(driver.ScenesLeft(), 0u);
      EXPECT_EQ(driver.DialogsRun(), chooserKind != 0 ? 2 : 1);
      EXPECT_EQ(g->GetGridlineType(), type);
      ReleasePtr<IGIS_Symbol> entry(chooserKind != 0 ? GIS_MakeCatalogueSymbol(chooserKind, 1) : nullptr);
      EXPECT_EQ(lineNow, chooserKind == GIS_CHOOSE_LINE ? md::test::SymbolBytes(entry.get()) : line);
      EXPECT_EQ(markNow, chooserKind == GIS_CHOOSE_POINT ? md::test::SymbolBytes(entry.get()) : mark);
      EXPECT_EQ(md::test::SymbolBytes(g->GetLineSymbol()), lineNow);
      EXPECT_EQ(md::test::SymbolBytes(g->GetMarkSymbol()), markNow);
    }
  }
}

TEST_F(LinePage, WithoutAGridItsInitialisationIsRefusedWithARecord) {
  CGIS_GridLinePage page;
  md::test::LogMark log;
  EXPECT_EQ(RunPage(page, nullptr, [](UiUser& u) { u.Cancel(); }), IDCANCEL);
  EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GridLinePage::OnInitDialog", "m_pMapGrid == NULL"));
}

}  // namespace
