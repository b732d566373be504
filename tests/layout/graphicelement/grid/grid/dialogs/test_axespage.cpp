// The axes page on every kind's sheet: tick lengths split into a length and
// a direction and joined back, counts and their ranges, the side boxes, the
// border kind written at once, and the border's properties (the simple
// line through the chooser's flagged line kind, the calibrated band through
// its dialog with the band restored unless OK).
#include <cmath>

#include "layout/graphicelement/grid/border/dialogs/cgis_calibratedborderdlg.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_axespage.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"
#include "tests/layout/graphicelement/grid/grid/dialogs/griddialogtest.h"

namespace {

using md::basilo::ReleasePtr;
using md::test::Owned;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

using AxesPage = md::test::GridDialogTest;

// One tick length as stored, what the page shows, what the user does and
// what is stored after OK.
struct LengthRow {
  double stored;
  const char* shown;
  int direction;      // the radio checked: 0 inside, 1 outside
  int click;          // the radio the user clicks (-1: none)
  const char* typed;  // the length the user types (NULL: none)
  double after;
};

const LengthRow kLengthRows[] = {
    {-150.0, "150", 0, -1, nullptr, -150.0}, {0.0, "0", 0, 1, nullptr, 0.0},
    {0.0, "0", 0, -1, nullptr, 0.0},         {200.0, "200", 1, 0, nullptr, -200.0},
    {-75.5, "75.5", 0, -1, "80", -80.0},     {40.0, "40", 1, -1, "100000", 100000.0},
};

TEST_F(AxesPage, TickLengthsShowAsLengthAndDirectionAndAreStoredSigned) {
  for (int kind : md::test::kGridKinds) {
    Owned<IGIS_MapGrid> g(md::test::NewGrid(kind));
    if (g.get() == nullptr) continue;
    for (const LengthRow& row : kLengthRows) {
      SCOPED_TRACE(std::to_string(kind) + " " + std::to_string(row.stored));
      g->SetTickLength(row.stored);
      g->SetSubTickLength(row.stored);
      ScriptedDriver driver;
      driver.Then([&](UiUser& u) {
        EXPECT_EQ(u.Text(IDC_GIS_AX_TICK_LENGTH), row.shown);
        EXPECT_EQ(u.Text(IDC_GIS_AX_SUBTICK_LENGTH), row.shown);
        EXPECT_EQ(u.Checked(row.direction == 0 ? IDC_GIS_AX_TICK_INSIDE : IDC_GIS_AX_TICK_OUTSIDE), 1);
        EXPECT_EQ(u.Checked(row.direction == 0 ? IDC_GIS_AX_SUBTICK_INSIDE : IDC_GIS_AX_SUBTICK_OUTSIDE), 1);
        if (row.click >= 0) {
          u.Click(row.click == 0 ? IDC_GIS_AX_TICK_INSIDE : IDC_GIS_AX_TICK_OUTSIDE);
          u.Click(row.click == 0 ? IDC_GIS_AX_SUBTICK_INSIDE : IDC_GIS_AX_SUBTICK_OUTSIDE);
        }
        if (row.typed != nullptr) {
          u.Replace(IDC_GIS_AX_TICK_LENGTH, row.typed);
          u.Replace(IDC_GIS_AX_SUBTICK_LENGTH, row.typed);
        }
        u.Ok();
      });
      EXPECT_TRUE(g->OnOpenPropertyDlg());
      EXPECT_EQ(g->GetTickLength(), row.after);
      EXPECT_EQ(g->GetSubTickLength(), row.after);
      // An inside 0 is stored as a plain 0 (the same bytes as before).
      if (row.after == 0.0) {
        EXPECT_FALSE(std::signbit(g->GetTickLength()));
      }
      EXPECT_EQ(Prompts(), 0u);
      // It opens again with the direction its sign gives.
      driver.Then([&](UiUser& u) {
        EXPECT_EQ(u.Checked(row.after > 0.0 ? IDC_GIS_AX_TICK_OUTSIDE : IDC_GIS_AX_TICK_INSIDE), 1);
        u.Cancel();
      });
      EXPECT_FALSE(g->OnOpenPropertyDlg());
    }
  }
}

TEST_F(AxesPage, CountsOutOfRangeArePromptedAndKeepThePage) {
  struct Row {
    int edit;
    const char* typed;
    bool refused;
  } rows[] = {{IDC_GIS_AX_TICK_COUNT, "0", true},     {IDC_GIS_AX_TICK_COUNT, "21", true},
              {IDC_GIS_AX_TICK_COUNT, "20", false},   {IDC_GIS_AX_SUBTICK_COUNT, "21", true},
              {IDC_GIS_AX_SUBTICK_COUNT, "0", false}, {IDC_GIS_AX_TICK_LENGTH, "100001", true},
              {IDC_GIS_AX_SUBTICK_LENGTH, "-5", true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.typed) + " in " + std::to_string(row.edit));
    md::ui::ClearMessageBoxLog();
    Owned<IGIS_MapGrid> g(md::test::NewGrid(GIS_MAPGRID_MEASURE));
    g->SetTickDivision(3);
    g->SetSubTickCount(4);
    const std::vector<BYTE> before = md::test::Stored(g.get());
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      EXPECT_EQ(u.Text(IDC_GIS_AX_TICK_COUNT), "3");
      EXPECT_EQ(u.Text(IDC_GIS_AX_SUBTICK_COUNT), "4");
      u.Replace(row.edit, row.typed);
      EXPECT_EQ(u.GoToPage(1), !row.refused);
      if (row.refused) {
        EXPECT_EQ(Prompts(), 1u);
        EXPECT_EQ(u.Sheet()->GetActiveIndex(), 0);
        u.Ok();
        EXPECT_FALSE(u.Ended());
        u.Cancel();
      } else {
        u.Ok();
      }
    });
    EXPECT_EQ(g->OnOpenPropertyDlg(), !row.refused);
    if (row.refused) {
      EXPECT_EQ(md::test::Stored(g.get()), before);
    } else if (row.edit == IDC_GIS_AX_TICK_COUNT) {
      EXPECT_EQ(g->GetTickDivision(), 20);
    } else {
      EXPECT_EQ(g->GetSubTickCount(), 0);
    }
  }
}

TEST_F(AxesPage, TheUpDownsStopAtOneAndTen) {
  Owned<IGIS_MapGrid> g(md::test::NewGrid(GIS_MAPGRID_INDEX));
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Spin(IDC_GIS_AX_TICK_COUNT_SPIN, 30);
    EXPECT_EQ(u.Text(IDC_GIS_AX_TICK_COUNT), "10");
    u.Spin(IDC_GIS_AX_SUBTICK_COUNT_SPIN, -30);
    EXPECT_EQ(u.Text(IDC_GIS_AX_SUBTICK_COUNT), "1");
    u.Ok();
  });
  EXPECT_TRUE(g->OnOpenPropertyDlg());
  EXPECT_EQ(g->GetTickDivision(), 10);
  EXPECT_EQ(g->GetSubTickCount(), 1);
}

TEST_F(AxesPage, SideBoxesFollowTheGridsLeftTopRightBottomOrder) {
  Owned<IGIS_MapGrid> g(md::test::NewGrid(GIS_MAPGRID_GRATICULE));
  g->SetTickVisible(true, false, false, true);
  g->SetSubTickVisible(false, true, true, false);
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    const int boxes[] = {IDC_GIS_AX_TICK_LEFT,     IDC_GIS_AX_TICK_TOP,      IDC_GIS_AX_TICK_RIGHT,
                         IDC_GIS_AX_TICK_BOTTOM,   IDC_GIS_AX_SUBTICK_LEFT,  IDC_GIS_AX_SUBTICK_TOP,
                         IDC_GIS_AX_SUBTICK_RIGHT, IDC_GIS_AX_SUBTICK_BOTTOM};
    const int shown[] = {1, 0, 0, 1, 0, 1, 1, 0};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(u.Checked(boxes[i]), shown[i]) << i;
    u.Click(IDC_GIS_AX_TICK_LEFT);
    u.Click(IDC_GIS_AX_TICK_TOP);
    u.Click(IDC_GIS_AX_SUBTICK_BOTTOM);
    u.Ok();
  });
  EXPECT_TRUE(g->OnOpenPropertyDlg());
  bool l, t, r, b;
  g->GetTickVisible(&l, &t, &r, &b);
  EXPECT_EQ((std::vector<bool>{l, t, r, b}), (std::vector<bool>{false, true, false, true}));
  g->GetSubTickVisible(&l, &t, &r, &b);
  EXPECT_EQ((std::vector<bool>{l, t, r, b}), (std::vector<bool>{false, true, true, true}));
}

TEST_F(AxesPage, TheBorderListShowsTheKindAndAChoiceIsWrittenAtOnce) {
  for (int kind : md::test::kGridKinds) {
    SCOPED_TRACE(kind);
    Owned<IGIS_MapGrid> g(md::test::NewGrid(kind));
    if (g.get() == nullptr) continue;
    g->GetBorder()->SetBorderType(GIS_GRIDBORDER_CALIBRATED);
    const std::vector<BYTE> before = md::test::Stored(g.get());
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      EXPECT_EQ(u.Selection(IDC_GIS_AX_BORDER_KIND), 1);
      EXPECT_EQ(u.Text(IDC_GIS_AX_BORDER_KIND), "校准边框");
      u.Choose(IDC_GIS_AX_BORDER_KIND, 0);
      EXPECT_EQ(g->GetBorder()->GetBorderType(), GIS_GRIDBORDER_SIMPLE);
      u.Cancel();
    });
    EXPECT_FALSE(g->OnOpenPropertyDlg());
    EXPECT_EQ(md::test::Stored(g.get()), before);
    driver.Then([&](UiUser& u) {
      u.Choose(IDC_GIS_AX_BORDER_KIND, 0);
      u.Ok();
    });
    EXPECT_TRUE(g->OnOpenPropertyDlg());
    EXPECT_EQ(g->GetBorder()->GetBorderType(), GIS_GRIDBORDER_SIMPLE);
  }
}

TEST_F(AxesPage, TickAndSimpleBorderSymbolsComeFromTheChooser) {
  Owned<IGIS_MapGrid> g(md::test::NewGrid(GIS_MAPGRID_MEASURE));
  ReleasePtr<IGIS_Symbol> entry(GIS_MakeCatalogueSymbol(GIS_CHOOSE_LINE, 3));
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    u.Click(IDC_GIS_AX_TICK_SYMBOL);
    u.Click(IDC_GIS_AX_SUBTICK_SYMBOL);
    u.Click(IDC_GIS_AX_BORDER_PROPERTY);
    u.Ok();
  });
  driver.Then(Choose(3)).Then(Choose(3)).Then(Choose(3));
  EXPECT_TRUE(g->OnOpenPropertyDlg());
  EXPECT_EQ(driver.ScenesLeft(), 0u);
  const std::vector<BYTE> line = md::test::SymbolBytes(entry.get());
  EXPECT_EQ(md::test::SymbolBytes(g->GetTickLineSymbol()), line);
  EXPECT_EQ(md::test::SymbolBytes(g->GetSubTickLineSymbol()), line);
  EXPECT_EQ(md::test::SymbolBytes(g->GetBorder()->GetSimpleSymbol()), line);
}

TEST_F(AxesPage, TheCalibratedBandsDialogEditsTheBorderWhichCancelRestores) {
  Owned<IGIS_MapGrid> g(md::test::NewGrid(GIS_MAPGRID_GRATICULE));
  IGIS_MapGridBorder* border = g->GetBorder();
  border->SetBorderType(GIS_GRIDBORDER_CALIBRATED);
  const std::vector<BYTE> before = md::test::Stored(border);
  ScriptedDriver driver;
  // The band's dialog: a fill chosen, the interval typed, then cancelled.
  driver.Then([&](UiUser& u) {
    u.Click(IDC_GIS_AX_BORDER_PROPERTY);
    EXPECT_EQ(md::test::Stored(border), before);
    u.Click(IDC_GIS_AX_BORDER_PROPERTY);
    u.Ok();
  });
  driver.Then([&](UiUser& u) {
    u.Click(IDC_GIS_CB_FILL_SYMBOL);
    EXPECT_NE(md::test::Stored(border), before);
    u.Replace(IDC_GIS_CB_INTERVAL, "700");
    u.Cancel();
  });
  driver.Then(Choose(1));
  driver.Then([&](UiUser& u) {
    EXPECT_EQ(u.Text(IDC_GIS_CB_INTERVAL), "1000");
    u.Replace(IDC_GIS_CB_INTERVAL, "700");
    u.Click(IDC_GIS_CB_ALTERNATING);
    u.Ok();
  });
  EXPECT_TRUE(g->OnOpenPropertyDlg());
  EXPECT_EQ(driver.ScenesLeft(), 0u);
  EXPECT_EQ(border, g->GetBorder());
  EXPECT_EQ(g->GetBorder()->GetInterval(), 700);
  EXPECT_TRUE(g->GetBorder()->GetAlternating());
}

}  // namespace
