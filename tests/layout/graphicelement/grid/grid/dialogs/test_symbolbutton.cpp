// The symbol buttons: a confirmed choice hands the part of the asked kind to
// the setter (flagged line and fill kinds too), each button keeps its own
// remembered state, a cancel changes nothing; the wizard variant keeps the
// chosen symbol in place of the one it held.
#include "host/glyphorpick/cgis_symbolpickdlg.h"
#include "layout/graphicelement/grid/grid/dialogs/symbolbutton.h"
#include "tests/layout/graphicelement/grid/grid/dialogs/griddialogtest.h"

namespace {

using md::basilo::ReleasePtr;
using md::ui::ScriptedDriver;
using md::ui::UiUser;
namespace grid = md::layout::grid;

using SymbolButton = md::test::GridDialogTest;

TEST_F(SymbolButton, AConfirmedChoiceGivesThePartOfTheKindToTheSetter) {
  for (int kind : {GIS_CHOOSE_POINT, GIS_CHOOSE_LINE, GIS_CHOOSE_FILL, GIS_CHOOSE_TEXT,
                   GIS_CHOOSE_FLAGGED_LINE, GIS_CHOOSE_FLAGGED_FILL}) {
    SCOPED_TRACE(kind);
    int state = 0;
    int other = 0;
    std::vector<BYTE> kept;
    auto keep = [&kept, kind](IGIS_Symbol* pPart) {
      EXPECT_EQ(GIS_SymbolPartOfKind(pPart, kind), pPart);
      kept = md::test::SymbolBytes(pPart);
    };
    ScriptedDriver driver;
    driver.Then(Choose(1));
    EXPECT_TRUE(grid::ChooseSymbol(nullptr, kind, &state, keep));
    ReleasePtr<IGIS_Symbol> expected(GIS_MakeCatalogueSymbol(kind & ~GIS_CHOOSE_FLAG, 1));
    EXPECT_EQ(kept, md::test::SymbolBytes(expected.get()));
    // The button's own state remembers the entry; another button's does not.
    EXPECT_EQ(state, 2);
    int selected = -2;
    driver.Then([&](UiUser& u) {
      selected = u.Selection(IDC_GIS_PICK_LIST);
      u.Cancel();
    });
    kept.clear();
    EXPECT_FALSE(grid::ChooseSymbol(nullptr, kind, &other, keep));
    EXPECT_EQ(selected, -1);
    EXPECT_TRUE(kept.empty());
    EXPECT_EQ(other, 0);
  }
}

TEST_F(SymbolButton, TheWizardVariantKeepsTheChosenSymbolInPlaceOfItsOwn) {
  int state = 0;
  ReleasePtr<IGIS_Symbol> held(GIS_MakeCatalogueSymbol(GIS_CHOOSE_FILL, 0));
  IGIS_Symbol* before = held.get();
  ScriptedDriver driver;
  driver.Then([](UiUser& u) { u.Cancel(); });
  EXPECT_FALSE(grid::ChooseHeldSymbol(&held, GIS_CHOOSE_FLAGGED_FILL, &state));
  EXPECT_EQ(held.get(), before);
  driver.Then(Choose(2));
  EXPECT_TRUE(grid::ChooseHeldSymbol(&held, GIS_CHOOSE_FLAGGED_FILL, &state));
  ASSERT_NE(held, nullptr);
  EXPECT_NE(held.get(), before);
  EXPECT_NE(held->AsFillSymbol(), nullptr);
  ReleasePtr<IGIS_Symbol> expected(GIS_MakeCatalogueSymbol(GIS_CHOOSE_FILL, 2));
  EXPECT_EQ(md::test::SymbolBytes(held.get()), md::test::SymbolBytes(expected.get()));
  EXPECT_FALSE(grid::ChooseHeldSymbol(nullptr, GIS_CHOOSE_FILL, &state));
}

}  // namespace
