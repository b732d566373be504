// The line page on the sheets of the kinds that show it: the line type as a
// radio group, stored on OK, and the symbol button editing the line symbol
// for lines, the marker for marks and nothing without either.
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridlinepage.h"
#include "tests/layout/graphicelement/grid/grid/dialogs/griddialogtest.h"

namespace {

using md::basilo::ReleasePtr;
using md::test::Owned;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

using LinePage = md::test::GridDialogTest;

// The line page's place in each kind's sheet.
struct KindPage {
  int kind;
  int page;
};
constexpr KindPage kLinePages[] = {
    {GIS_MAPGRID_GRATICULE, 3}, {GIS_MAPGRID_MEASURE, 2}, {GIS_MAPGRID_INDEX, 3}};

struct TypeRow {
  int radio;
  int type;
  int chooserKind;  // the catalogue the button opens (0: none opens)
};
constexpr TypeRow kTypeRows[] = {{IDC_GIS_GL_NONE, GIS_GRIDLINE_NONE, 0},
                                 {IDC_GIS_GL_LINES, GIS_GRIDLINE_LINES, GIS_CHOOSE_LINE},
                                 {IDC_GIS_GL_MARKS, GIS_GRIDLINE_MARKS, GIS_CHOOSE_POINT}};

TEST_F(LinePage, TheTypeIsStoredAndTheButtonEditsTheSymbolOfTheType) {
  for (const KindPage& at : kLinePages) {
    for (const TypeRow& row : kTypeRows) {
      SCOPED_TRACE(std::to_string(at.kind) + " type " + std::to_string(row.type));
      Owned<IGIS_MapGrid> g(md::test::NewGrid(at.kind));
      g->SetGridlineType(row.type == GIS_GRIDLINE_LINES ? GIS_GRIDLINE_MARKS : GIS_GRIDLINE_LINES);
      const std::vector<BYTE> line = md::test::SymbolBytes(g->GetLineSymbol());
      const std::vector<BYTE> mark = md::test::SymbolBytes(g->GetMarkSymbol());
      ScriptedDriver driver;
      driver.Then([&](UiUser& u) {
        u.GoToPage(at.page);
        EXPECT_EQ(u.Checked(row.type == GIS_GRIDLINE_LINES ? IDC_GIS_GL_MARKS : IDC_GIS_GL_LINES), 1);
        u.Click(row.radio);
        u.Click(IDC_GIS_GL_SYMBOL);
        u.Ok();
      });
      if (row.chooserKind != 0) driver.Then(Choose(1));
      EXPECT_TRUE(g->OnOpenPropertyDlg());
      EXPECT_EQ(driver.ScenesLeft(), 0u);
      EXPECT_EQ(g->GetGridlineType(), row.type);
      ReleasePtr<IGIS_Symbol> entry(row.chooserKind != 0 ? GIS_MakeCatalogueSymbol(row.chooserKind, 1)
                                                         : nullptr);
      EXPECT_EQ(md::test::SymbolBytes(g->GetLineSymbol()),
                row.chooserKind == GIS_CHOOSE_LINE ? md::test::SymbolBytes(entry.get()) : line);
      EXPECT_EQ(md::test::SymbolBytes(g->GetMarkSymbol()),
                row.chooserKind == GIS_CHOOSE_POINT ? md::test::SymbolBytes(entry.get()) : mark);
    }
  }
}

TEST_F(LinePage, WithoutAGridItsInitialisationIsRefusedWithARecord) {
  CGIS_GridLinePage page;
  md::test::LogMark log;
  EXPECT_EQ(RunPage(page, nullptr, [](UiUser& u) { u.Cancel(); }), IDCANCEL);
  EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GridLinePage::OnInitDialog", "m_pMapGrid == NULL"));
}

TEST_F(LinePage, Snapshot) {
  Owned<IGIS_MapGrid> g(md::test::NewGrid(GIS_MAPGRID_MEASURE));
  CGIS_GridLinePage page;
  const std::string path = SnapshotPath("grid-line");
  EXPECT_EQ(RunPage(page, g.get(), md::test::SnapshotThenCancel(path)), IDCANCEL);
  EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
