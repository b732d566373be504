// The index tab styles' dialogs: each style's sheet, caption and page, a
// style as the grid wizard makes it shown and edited, the background
// shape, the thickness's range, and the fill and outline chosen through the
// flagged kinds.
#include <string>
#include <vector>

#include "layout/graphicelement/grid/grid/dialogs/cgis_publicpropertysheet.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_indexgridtabelbackgroundpage.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_indexgridtabstylepage.h"
#include "tests/layout/graphicelement/grid/grid/dialogs/griddialogtest.h"

namespace {

using md::basilo::ReleasePtr;
using md::test::Owned;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

using TabPages = md::test::GridDialogTest;

Owned<IGIS_IndexGridTabStyle> NewStyle(int type) {
  return Owned<IGIS_IndexGridTabStyle>(
      dynamic_cast<IGIS_IndexGridTabStyle*>(GIS_CreateMapGridLabelFormatObject(type)));
}

// Each style's dialog: the background style's page has the shape radios
// and its own inside box.
struct StyleRow {
  int type;
  int inside;
  bool publicSheet;
};
constexpr StyleRow kStyles[] = {
    {GIS_GRIDLABEL_INDEX_BACKGROUND, IDC_GIS_TAB_BACKGROUND_INSIDE, true},
    {GIS_GRIDLABEL_INDEX_BOTTON, IDC_GIS_TAB_INSIDE, false},
    {GIS_GRIDLABEL_INDEX_CONTINUOUS, IDC_GIS_TAB_INSIDE, false},
    {GIS_GRIDLABEL_INDEX_ROUNDED, IDC_GIS_TAB_INSIDE, false},
};

TEST_F(TabPages, AWizardMadeStyleOpensWithItsThicknessAndTickedAndIsEdited) {
  for (const StyleRow& row : kStyles) {
    SCOPED_TRACE(row.type);
    Owned<IGIS_IndexGridTabStyle> style = NewStyle(row.type);
    ASSERT_NE(style.get(), nullptr);
    style->SetThickness(200);
    style->SetInside(true);
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      EXPECT_TRUE(u.Snapshot(SnapshotPath("tabstyle-" + std::to_string(row.type))));
      EXPECT_EQ(u.Sheet()->GetTitle(), "索引网标注属性");
      EXPECT_EQ(dynamic_cast<CGIS_PublicPropertySheet*>(u.Sheet()) != nullptr, row.publicSheet);
      EXPECT_EQ(u.Sheet()->GetPage(0)->GetCaption(), "索引标签");
      EXPECT_EQ(u.Text(IDC_GIS_TAB_THICKNESS), "200");
      EXPECT_EQ(u.Checked(row.inside), 1);
      EXPECT_EQ(u.IsVisible(IDC_GIS_TAB_BACKGROUND_ROUNDED), row.publicSheet);
      u.Click(row.inside);
      u.Replace(IDC_GIS_TAB_THICKNESS, "1000000");
      u.Ok();
    });
    EXPECT_TRUE(style->OnOpenPropertyDlg());
    EXPECT_FALSE(style->GetInside());
    EXPECT_EQ(style->GetThickness(), 1000000);
  }
}

TEST_F(TabPages, TheRoundedRectangleStoresTwoOnTheBackgroundStyle) {
  Owned<IGIS_IndexGridTabStyle> style = NewStyle(GIS_GRIDLABEL_INDEX_BACKGROUND);
  auto* background = dynamic_cast<IGIS_IndexBackGroundTabStyle*>(style.get());
  ASSERT_NE(background, nullptr);
  ScriptedDriver driver;
  driver.Then([](UiUser& u) {
    EXPECT_EQ(u.Checked(IDC_GIS_TAB_BACKGROUND_ROUND), 1);
    u.Click(IDC_GIS_TAB_BACKGROUND_ROUNDED);
    u.Ok();
  });
  EXPECT_TRUE(style->OnOpenPropertyDlg());
  EXPECT_EQ(background->GetBackgroundType(), GIS_TABBACKGROUND_ROUNDED_RECTANGLE);
  driver.Then([](UiUser& u) {
    EXPECT_EQ(u.Checked(IDC_GIS_TAB_BACKGROUND_ROUNDED), 1);
    u.Click(IDC_GIS_TAB_BACKGROUND_RECTANGLE);
    u.Cancel();
  });
  EXPECT_FALSE(style->OnOpenPropertyDlg());
  EXPECT_EQ(background->GetBackgroundType(), GIS_TABBACKGROUND_ROUNDED_RECTANGLE);
}

TEST_F(TabPages, AThicknessOutsideOneToAMillionKeepsThePage) {
  struct Row {
    const char* typed;
    bool refused;
  } rows[] = {{"0", true}, {"1000001", true}, {"1", false}, {"-5", false}};
  for (const StyleRow& style : {kStyles[0], kStyles[2]}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::to_string(style.type) + " " + row.typed);
      md::ui::ClearMessageBoxLog();
      Owned<IGIS_IndexGridTabStyle> tabs = NewStyle(style.type);
      const std::vector<BYTE> before = md::test::Stored(tabs.get());
      ScriptedDriver driver;
      driver.Then([&](UiUser& u) {
        u.Replace(IDC_GIS_TAB_THICKNESS, row.typed);
        u.Ok();
        EXPECT_EQ(u.Ended(), !row.refused);
        if (row.refused) {
          EXPECT_EQ(Prompts(), 1u);
          u.Cancel();
        }
      });
      EXPECT_EQ(tabs->OnOpenPropertyDlg(), !row.refused);
      if (row.refused) {
        EXPECT_EQ(md::test::Stored(tabs.get()), before);
      } else {
        // The filter keeps digits and "+": "-5" is typed as "5".
        EXPECT_EQ(tabs->GetThickness(), std::string(row.typed) == "1" ? 1 : 5);
      }
    }
  }
}

TEST_F(TabPages, FillAndOutlineComeFromTheChooserAtOnce) {
  for (const StyleRow& row : kStyles) {
    SCOPED_TRACE(row.type);
    Owned<IGIS_IndexGridTabStyle> style = NewStyle(row.type);
    ReleasePtr<IGIS_Symbol> fill(GIS_MakeCatalogueSymbol(GIS_CHOOSE_FILL, 2));
    ReleasePtr<IGIS_Symbol> line(GIS_MakeCatalogueSymbol(GIS_CHOOSE_LINE, 4));
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      u.Click(IDC_GIS_TAB_FILL);
      u.Click(IDC_GIS_TAB_OUTLINE);
      EXPECT_EQ(md::test::SymbolBytes(style->GetForegroundSymbolPtr()), md::test::SymbolBytes(fill.get()));
      EXPECT_EQ(md::test::SymbolBytes(style->GetOutLineSymbolPtr()), md::test::SymbolBytes(line.get()));
      u.Ok();
    });
    driver.Then(Choose(2));
    driver.Then(Choose(4));
    EXPECT_TRUE(style->OnOpenPropertyDlg());
    EXPECT_EQ(driver.ScenesLeft(), 0u);
    EXPECT_EQ(md::test::SymbolBytes(style->GetForegroundSymbolPtr()), md::test::SymbolBytes(fill.get()));
  }
}

}  // namespace
