// The labels page on every kind's sheet: the label kinds each grid offers,
// a new kind replacing the grid's label at once (a new tab style taking the
// old one's settings, a coordinate label starting from its defaults), the
// side boxes in the grid's order, the hidden vertical flags carried
// through, the offsets' range and the text symbol.
#include <algorithm>
#include <string>
#include <vector>

#include "layout/graphicelement/grid/grid/dialogs/cgis_gridlabelspage.h"
#include "layout/graphicelement/grid/grid/igis_indexgridtabstyle.h"
#include "tests/layout/graphicelement/grid/grid/dialogs/griddialogtest.h"
#include "tests/support/mapgriddouble.h"

namespace {

using md::basilo::ReleasePtr;
using md::test::LogMark;
using md::test::Owned;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

using LabelsPage = md::test::GridDialogTest;

// The labels page's place in each kind's sheet.
int PageOf(int kind) { return kind == GIS_MAPGRID_GRATICULE || kind == GIS_MAPGRID_INDEX ? 2 : 1; }

// Offsets of the four sides in the label's order (left, right, top, bottom).
struct Offsets {
  int x[4];
  int y[4];
};

Offsets OffsetsOf(IGIS_GridLabel* label) {
  Offsets o{};
  label->GetLabelOffsetX(&o.x[0], &o.x[1], &o.x[2], &o.x[3]);
  label->GetLabelOffsetY(&o.y[0], &o.y[1], &o.y[2], &o.y[3]);
  return o;
}

std::vector<int> Flat(const Offsets& o) {
  return {o.x[0], o.x[1], o.x[2], o.x[3], o.y[0], o.y[1], o.y[2], o.y[3]};
}

// The offset edits in the label's order, X then Y.
constexpr int kOffsetEdits[] = {IDC_GIS_LB_LEFT_X, IDC_GIS_LB_RIGHT_X, IDC_GIS_LB_TOP_X, IDC_GIS_LB_BOTTOM_X,
                                IDC_GIS_LB_LEFT_Y, IDC_GIS_LB_RIGHT_Y, IDC_GIS_LB_TOP_Y, IDC_GIS_LB_BOTTOM_Y};

// A new label of the type, owned by the caller.
Owned<IGIS_GridLabel> NewLabel(int type) {
  return Owned<IGIS_GridLabel>(GIS_CreateMapGridLabelFormatObject(type));
}

// Each kind's list and the entry its default label selects.
struct KindRow {
  int kind;
  std::vector<std::string> entries;
  int selected;
};

// Choosing the kind the label already is keeps the label as it is.
TEST_F(LabelsPage, EachGridListsTheLabelKindsThatSuitItAndSelectsItsLabels) {
  const KindRow rows[] = {
      {GIS_MAPGRID_GRATICULE, {"度 分 秒"}, 0},
      {GIS_MAPGRID_GRATICULE_MN, {"度 分 秒"}, 0},
      {GIS_MAPGRID_MEASURE, {"混合字体", "固定格式"}, 1},
      {GIS_MAPGRID_INDEX, {"背景标注", "按钮标注", "连续标注", "圆角标注"}, 2},
  };
  for (const KindRow& row : rows) {
    SCOPED_TRACE(row.kind);
    Owned<IGIS_MapGrid> g(md::test::NewGrid(row.kind));
    if (g.get() == nullptr) continue;
    g->GetLabelFormat()->SetLabelOffsetX(7, 7, 7, 7);
    const std::vector<BYTE> before = md::test::Stored(g->GetLabelFormat());
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      u.GoToPage(PageOf(row.kind));
      EXPECT_EQ(ListEntries(u, IDC_GIS_LB_KIND), row.entries);
      EXPECT_EQ(u.Selection(IDC_GIS_LB_KIND), row.selected);
      u.Choose(IDC_GIS_LB_KIND, row.selected);
      EXPECT_EQ(md::test::Stored(g->GetLabelFormat()), before);
      u.Cancel();
    });
    EXPECT_FALSE(g->OnOpenPropertyDlg());
  }
}

TEST_F(LabelsPage, FixedFormatReplacesAMixedFontLabelByADefaultOneThatTakesThePagesOffsets) {
  Owned<IGIS_MapGrid> g(md::test::NewGrid(GIS_MAPGRID_MEASURE));
  Owned<IGIS_GridLabel> mixed = NewLabel(GIS_GRIDLABEL_MIXEDFONT);
  mixed->SetLabelOffsetX(11, 12, 13, 14);
  mixed->SetLabelOffsetY(21, 22, 23, 24);
  mixed->GetTextSymbolPtr()->GetFontSizePtr()->lfHeight = 30;
  g->SetLabelFormat(mixed.get());
  Owned<IGIS_GridLabel> fresh = NewLabel(GIS_GRIDLABEL_FORMATTED);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.GoToPage(1);
    EXPECT_EQ(u.Text(IDC_GIS_LB_KIND), "混合字体");
    EXPECT_EQ(u.Text(IDC_GIS_LB_RIGHT_X), "12");
    EXPECT_EQ(u.Text(IDC_GIS_LB_BOTTOM_Y), "24");
    u.Replace(IDC_GIS_LB_TOP_X, "-40");
    u.Choose(IDC_GIS_LB_KIND, 1);
    // At once: a formatted label with its class's defaults.
    IGIS_GridLabel* now = g->GetLabelFormat();
    EXPECT_EQ(now->GetType(), GIS_GRIDLABEL_FORMATTED);
    EXPECT_EQ(md::test::Stored(now), md::test::Stored(fresh.get()));
    u.Ok();
  });
  EXPECT_TRUE(g->OnOpenPropertyDlg());
  IGIS_GridLabel* now = g->GetLabelFormat();
  ASSERT_EQ(now->GetType(), GIS_GRIDLABEL_FORMATTED);
  // The offsets shown were written into the new label when the page was left.
  EXPECT_EQ(Flat(OffsetsOf(now)), (std::vector<int>{11, 12, -40, 14, 21, 22, 23, 24}));
  EXPECT_EQ(md::test::SymbolBytes(now->GetTextSymbolPtr()), md::test::SymbolBytes(fresh->GetTextSymbolPtr()));
}

TEST_F(LabelsPage, ARoundedTabStyleTakesOverTheContinuousOnesSettings) {
  Owned<IGIS_MapGrid> g(md::test::NewGrid(GIS_MAPGRID_INDEX));
  auto* tabs = dynamic_cast<IGIS_IndexGridTabStyle*>(g->GetLabelFormat());
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->GetType(), GIS_GRIDLABEL_INDEX_CONTINUOUS);
  ReleasePtr<IGIS_Symbol> fill(GIS_MakeCatalogueSymbol(GIS_CHOOSE_FILL, 3));
  ReleasePtr<IGIS_Symbol> line(GIS_MakeCatalogueSymbol(GIS_CHOOSE_LINE, 2));
  ReleasePtr<IGIS_Symbol> text(GIS_MakeCatalogueSymbol(GIS_CHOOSE_TEXT, 1));
  tabs->SetForegroundSymbolPtr(fill.get());
  tabs->SetOutLineSymbolPtr(line.get());
  tabs->SetTextSymbolPtr(text.get());
  tabs->SetThickness(350);
  tabs->SetInside(!tabs->GetInside());
  const bool inside = tabs->GetInside();
  tabs->SetLabelOffsetX(1, 2, 3, 4);
  tabs->SetLabelOffsetY(5, 6, 7, 8);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.GoToPage(PageOf(GIS_MAPGRID_INDEX));
    EXPECT_EQ(u.Text(IDC_GIS_LB_KIND), "连续标注");
    u.Choose(IDC_GIS_LB_KIND, 3);
    u.Ok();
  });
  EXPECT_TRUE(g->OnOpenPropertyDlg());
  auto* rounded = dynamic_cast<IGIS_IndexGridTabStyle*>(g->GetLabelFormat());
  ASSERT_NE(rounded, nullptr);
  EXPECT_EQ(rounded->GetType(), GIS_GRIDLABEL_INDEX_ROUNDED);
  EXPECT_EQ(md::test::SymbolBytes(rounded->GetForegroundSymbolPtr()), md::test::SymbolBytes(fill.get()));
  EXPECT_EQ(md::test::SymbolBytes(rounded->GetOutLineSymbolPtr()), md::test::SymbolBytes(line.get()));
  EXPECT_EQ(md::test::SymbolBytes(rounded->GetTextSymbolPtr()), md::test::SymbolBytes(text.get()));
  EXPECT_EQ(rounded->GetThickness(), 350);
  EXPECT_EQ(rounded->GetInside(), inside);
  EXPECT_EQ(Flat(OffsetsOf(rounded)), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(LabelsPage, SidesFollowTheGridsOrderAndTheHiddenVerticalFlagsSurviveAVisit) {
  for (int kind : md::test::kGridKinds) {
    SCOPED_TRACE(kind);
    Owned<IGIS_MapGrid> g(md::test::NewGrid(kind));
    if (g.get() == nullptr || g->GetLabelFormat() == nullptr) continue;
    g->SetLabelVisible(true, false, true, false);
    g->GetLabelFormat()->SetLabelAlignment(true, false, false, true);
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      u.GoToPage(PageOf(kind));
      EXPECT_EQ(u.Checked(IDC_GIS_LB_LEFT), 1);
      EXPECT_EQ(u.Checked(IDC_GIS_LB_TOP), 0);
      EXPECT_EQ(u.Checked(IDC_GIS_LB_RIGHT), 1);
      EXPECT_EQ(u.Checked(IDC_GIS_LB_BOTTOM), 0);
      EXPECT_FALSE(u.IsVisible(IDC_GIS_LB_VERTICAL_LEFT));
      u.Click(IDC_GIS_LB_LEFT);
      u.Click(IDC_GIS_LB_RIGHT);
      u.Ok();
    });
    EXPECT_TRUE(g->OnOpenPropertyDlg());
    bool l, t, r, b;
    g->GetLabelVisible(&l, &t, &r, &b);
    EXPECT_EQ((std::vector<bool>{l, t, r, b}), (std::vector<bool>(4, false)));
    g->GetLabelFormat()->GetLabelAlignment(&l, &r, &t, &b);
    EXPECT_EQ((std::vector<bool>{l, r, t, b}), (std::vector<bool>{true, false, false, true}));
  }
}

TEST_F(LabelsPage, OffsetsRunFromMinusToPlusAMillion) {
  struct Row {
    const char* typed;
    bool refused;
  } rows[] = {{"1000000", false}, {"-1000000", false}, {"1000001", true}, {"-1000001", true}, {"1x2", false}};
  for (int edit : kOffsetEdits) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.typed) + " in " + std::to_string(edit));
      md::ui::ClearMessageBoxLog();
      Owned<IGIS_MapGrid> g(md::test::NewGrid(GIS_MAPGRID_GRATICULE));
      const std::vector<BYTE> before = md::test::Stored(g.get());
      ScriptedDriver driver;
      driver.Then([&](UiUser& u) {
        u.GoToPage(2);
        u.Replace(edit, row.typed);
        EXPECT_EQ(u.GoToPage(3), !row.refused);
        if (row.refused) {
          EXPECT_EQ(Prompts(), 1u);
          u.Cancel();
        } else {
          u.Ok();
        }
      });
      EXPECT_EQ(g->OnOpenPropertyDlg(), !row.refused);
      const std::vector<int> offsets = Flat(OffsetsOf(g->GetLabelFormat()));
      const int at = static_cast<int>(std::find(std::begin(kOffsetEdits), std::end(kOffsetEdits), edit) -
                                      std::begin(kOffsetEdits));
      if (row.refused) {
        EXPECT_EQ(md::test::Stored(g.get()), before);
      } else {
        EXPECT_EQ(offsets[at], std::stoi(std::string(row.typed) == "1x2" ? "12" : row.typed));
      }
    }
  }
}

TEST_F(LabelsPage, TheFontButtonSetsTheLabelsTextSymbolAndWithoutALabelWritesARecord) {
  Owned<IGIS_MapGrid> g(md::test::NewGrid(GIS_MAPGRID_GRATICULE));
  ReleasePtr<IGIS_Symbol> entry(GIS_MakeCatalogueSymbol(GIS_CHOOSE_TEXT, 3));
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.GoToPage(2);
    u.Click(IDC_GIS_LB_TEXT_SYMBOL);
    EXPECT_EQ(md::test::SymbolBytes(g->GetLabelFormat()->GetTextSymbolPtr()),
              md::test::SymbolBytes(entry.get()));
    u.Ok();
  });
  driver.Then(Choose(3));
  EXPECT_TRUE(g->OnOpenPropertyDlg());
  EXPECT_EQ(md::test::SymbolBytes(g->GetLabelFormat()->GetTextSymbolPtr()),
            md::test::SymbolBytes(entry.get()));

  // A grid without a label.
  Owned<md::test::MapGridDouble<>> bare(new md::test::MapGridDouble<>(GIS_MAPGRID_MEASURE));
  CGIS_GridLabelsPage page;
  LogMark log;
  EXPECT_EQ(RunPage(page, bare.get(),
                    [](UiUser& u) {
                      u.Click(IDC_GIS_LB_TEXT_SYMBOL);
                      u.Cancel();
                    }),
            IDCANCEL);
  EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GridLabelsPage::OnLabelsPageTextsymbol", "p_label == NULL"));
}

TEST_F(LabelsPage, AGridOfAnotherKindHasNoLabelKindsAndThePageIsRefused) {
  Owned<md::test::MapGridDouble<>> other(new md::test::MapGridDouble<>(77));
  CGIS_GridLabelsPage page;
  EXPECT_EQ(RunPage(page, other.get(),
                    [&page](UiUser& u) {
                      EXPECT_FALSE(page.IsWindowVisible());
                      u.Cancel();
                    }),
            IDCANCEL);
}

}  // namespace
