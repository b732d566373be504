// The grid wizard played from the map frame's grids page: the path of each
// grid type with its pages, Back targets, texts and titles; the start page's
// name and checks; the graticule page's limits; the axes, finish and
// kilometre pages; and snapshots of every page.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/graticule/dialogs/cgis_graticulefinish.h"
#include "layout/graphicelement/grid/grid/igis_mapgridvalues.h"
#include "layout/graphicelement/grid/measure/dialogs/measuredwizarddefaults.h"
#include "tests/layout/graphicelement/mapframe/dialogs/gridwizardtest.h"
#include "tests/support/dialogscenes.h"
#include "tests/support/referencemap.h"

namespace {

using md::basilo::ReleasePtr;
using md::test::GridWizardTest;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

using GridWizard = GridWizardTest;

// One grid type's way through the wizard: its button, the pages Next shows
// after the start page with the text each shows, and the sheet's title on
// the last of them.
struct PathRow {
  const char* name;
  int button;
  std::vector<UINT> pages;
  std::vector<std::string> texts;  // "" where the page keeps its own text
  std::string title;
};

const PathRow kPaths[] = {
    {"graticule",
     IDC_GIS_GW_GRATICULE,
     {IDD_GIS_GRID_WIZARD_GRATICULE, IDD_GIS_GRID_WIZARD_AXES, IDD_GIS_GRID_WIZARD_FINISH},
     {"创建一个经纬网", "创建一个经纬网", "创建一个经纬网"},
     "经纬网向导"},
    {"fixed rows and columns",
     IDC_GIS_GW_FIXED_COUNT,
     {IDD_GIS_GRID_WIZARD_FIXED_COUNT, IDD_GIS_GRID_WIZARD_AXES, IDD_GIS_GRID_WIZARD_FINISH},
     {"", "创建一个经纬网(固定行列数)", "创建一个固定行列数的经纬网"},
     "经纬网向导(固定行列数)"},
    {"kilometre grid",
     IDC_GIS_GW_MEASURED,
     {IDD_GIS_GRID_WIZARD_MEASURED, IDD_GIS_GRID_WIZARD_AXES, IDD_GIS_GRID_WIZARD_FINISH},
     {"创建一个方里网", "创建一个方里网", "创建一个方里网"},
     "方里网向导"},
    {"index grid",
     IDC_GIS_GW_INDEX,
     {IDD_GIS_GRID_WIZARD_INDEX1, IDD_GIS_GRID_WIZARD_INDEX2, IDD_GIS_GRID_WIZARD_FINISH},
     {"", "", "创建一个索引格网"},
     "Wizard"},
};

TEST_F(GridWizard, EachTypeGoesItsWayForthAndBackAndCancelBuildsNothing) {
  for (const PathRow& row : kPaths) {
    SCOPED_TRACE(row.name);
    CGIS_MapElement* f = MappedFrame();
    const std::vector<BYTE> before = StoredForm(f);
    bool modified = true;
    OnGridsPage(f, NewGrid([&](UiUser& u) {
                  modified = GridsPage(u)->IsModified();
                  u.Cancel();
                }),
                {[&](UiUser& u) {
                  EXPECT_EQ(ActivePage(u), IDD_GIS_GRID_WIZARD_START);
                  EXPECT_EQ(u.Sheet()->GetTitle(), "Wizard");
                  EXPECT_EQ(u.Sheet()->GetWizardButtons(), static_cast<DWORD>(PSWIZB_NEXT));
                  u.Click(row.button);
                  for (size_t i = 0; i < row.pages.size(); ++i) {
                    u.Next();
                    ASSERT_EQ(ActivePage(u), row.pages[i]) << i;
                    if (!row.texts[i].empty()) {
                      EXPECT_EQ(ActiveText(u), row.texts[i]) << i;
                    }
                  }
                  EXPECT_EQ(u.Sheet()->GetTitle(), row.title);
                  EXPECT_EQ(u.Sheet()->GetWizardButtons(), static_cast<DWORD>(PSWIZB_BACK | PSWIZB_FINISH));
                  // Back retraces the way to the start page.
                  for (size_t i = row.pages.size(); i-- > 1;) {
                    u.Back();
                    EXPECT_EQ(ActivePage(u), row.pages[i - 1]) << i;
                  }
                  u.Back();
                  EXPECT_EQ(ActivePage(u), IDD_GIS_GRID_WIZARD_START);
                  u.Cancel();
                }});
    EXPECT_FALSE(modified);
    EXPECT_EQ(f->GetMapGrids()->GetCount(), 0);
    EXPECT_EQ(StoredForm(f), before);
    EXPECT_EQ(Prompts(), 0u);
  }
}

TEST_F(GridWizard, PagesKeepTheirValuesWhileTheUserGoesBackAndForth) {
  CGIS_MapElement* f = MappedFrame();
  OnGridsPage(f, NewGrid(),
              {[](UiUser& u) {
                 u.Click(IDC_GIS_GW_GRATICULE);
                 u.Replace(IDC_GIS_GW_NAME, "我的经纬网");
                 u.Next();
                 // The style button follows the appearance, with a symbol for each kind.
                 CGIS_GridGraticuleWizard& page = Wizard(u)->GetGraticulePage();
                 EXPECT_EQ(u.Checked(IDC_GIS_GGW_LINES), 1);
                 EXPECT_EQ(page.GetLineSymbol()->GetStyleCode(), 0xD03);
                 EXPECT_EQ(page.GetMarkSymbol()->GetStyleCode(), 0xCE7);
                 u.Click(IDC_GIS_GGW_LABELS_ONLY);
                 EXPECT_FALSE(u.IsEnabled(IDC_GIS_GGW_STYLE));
                 u.Click(IDC_GIS_GGW_MARKS);
                 u.Click(IDC_GIS_GGW_STYLE);  // the marker, entry 2
                 EXPECT_NE(page.GetMarkSymbol()->GetStyleCode(), 0xCE7);
                 u.Click(IDC_GIS_GGW_LINES);
                 u.Click(IDC_GIS_GGW_STYLE);  // the line: cancelled
                 EXPECT_EQ(page.GetLineSymbol()->GetStyleCode(), 0xD03);
                 // Letters and a point leave the degree edits; seconds keep the point.
                 u.Replace(IDC_GIS_GGW_PARALLEL_DEGREES, "1a.5");
                 EXPECT_EQ(u.Text(IDC_GIS_GGW_PARALLEL_DEGREES), "15");
                 u.Replace(IDC_GIS_GGW_PARALLEL_MINUTES, "3.0");
                 EXPECT_EQ(u.Text(IDC_GIS_GGW_PARALLEL_MINUTES), "30");
                 u.Replace(IDC_GIS_GGW_PARALLEL_SECONDS, "1.5x");
                 EXPECT_EQ(u.Text(IDC_GIS_GGW_PARALLEL_SECONDS), "1.5");
                 u.Replace(IDC_GIS_GGW_PARALLEL_DEGREES, "3");
                 u.Click(IDC_GIS_GGW_MARKS);
                 u.Next();
                 u.Replace(IDC_GIS_GL_SUBTICK_COUNT, "7");
                 u.Next();
                 u.Back();
                 EXPECT_EQ(u.Text(IDC_GIS_GL_SUBTICK_COUNT), "7");
                 u.Back();
                 EXPECT_EQ(u.Text(IDC_GIS_GGW_PARALLEL_DEGREES), "3");
                 EXPECT_EQ(u.Checked(IDC_GIS_GGW_MARKS), 1);
                 u.Back();
                 EXPECT_EQ(u.Text(IDC_GIS_GW_NAME), "我的经纬网");
                 // Another type, then back to the graticule: its page kept its values.
                 u.Click(IDC_GIS_GW_MEASURED);
                 u.Click(IDC_GIS_GW_GRATICULE);
                 u.Next();
                 EXPECT_EQ(u.Text(IDC_GIS_GGW_PARALLEL_DEGREES), "3");
                 u.Cancel();
               },
               md::test::ChooseEntry(2), [](UiUser& u) { u.Cancel(); }});
}

// The start page proposes a numbered name and each type button its own; a
// name the frame already has keeps the start page, whatever the type.
TEST_F(GridWizard, TheStartPageProposesNamesAndRefusesOneTheFrameHas) {
  CGIS_MapElement* f = MappedFrame();
  AddNamedGrid(f, GIS_MAPGRID_GRATICULE, "经纬网");
  AddNamedGrid(f, GIS_MAPGRID_MEASURE, "乙");
  struct NameRow {
    int button;
    const char* name;
  };
  const NameRow rows[] = {{IDC_GIS_GW_MEASURED, "方里网"},
                          {IDC_GIS_GW_INDEX, "索引格网"},
                          {IDC_GIS_GW_FIXED_COUNT, "经纬网(固定行列数)"},
                          {IDC_GIS_GW_GRATICULE, "经纬网"}};
  OnGridsPage(f, NewGrid(), {[&](UiUser& u) {
                EXPECT_EQ(u.Text(IDC_GIS_GW_NAME), "经纬网2");
                EXPECT_EQ(u.Checked(IDC_GIS_GW_GRATICULE), 1);
                EXPECT_FALSE(u.IsEnabled(IDC_GIS_GW_SERIES_GRATICULE));
                EXPECT_FALSE(u.IsEnabled(IDC_GIS_GW_SERIES_MEASURED));
                EXPECT_FALSE(u.IsVisible(IDC_GIS_GW_PICTURE));
                for (const NameRow& row : rows) {
                  md::ui::ClearMessageBoxLog();
                  u.Click(row.button);
                  EXPECT_EQ(u.Text(IDC_GIS_GW_NAME), row.name);
                  u.Replace(IDC_GIS_GW_NAME, "经纬网");
                  u.Next();
                  EXPECT_EQ(ActivePage(u), IDD_GIS_GRID_WIZARD_START) << row.name;
                  ASSERT_EQ(Prompts(), 1u) << row.name;
                  EXPECT_EQ(md::ui::MessageBoxLog()[0].text, "新建立的图廓重名");
                  EXPECT_EQ(md::ui::MessageBoxLog()[0].caption, "整饰单元组件提示");
                }
                u.Cancel();
              }});
}

// A frame's map as the start page meets it, and what Next does for the
// graticules, the kilometre grid and the index grid.
struct MapRow {
  const char* name;
  int map;  // 0 none, 1 without a reference, 2 with a reference of unknown kind
  const char* graticule;
  const char* measured;
  bool logged;  // "p_map == NULL"
};

const MapRow kMapRows[] = {
    {"no map", 0, "没有数据数据,没办法建立经纬网", "没有数据数据,没办法建立方里网", true},
    {"no reference", 1, "地图没有空间参考关系,没办法建立经纬网", "地图没有空间参考关系,没办法建立方里网",
     false},
    {"unknown kind", 2, "未知类型的数据,没办法建立经纬网", "未知类型的数据,没办法建立方里网", false},
};

TEST_F(GridWizard, GraticulesAndKilometreGridsNeedAMapWithAReferenceTheIndexGridNone) {
  for (const MapRow& row : kMapRows) {
    SCOPED_TRACE(row.name);
    md::test::ReferenceMap noReference(nullptr, "无参考");
    md::test::ReferenceMap unknown(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0), "未知");
    // An owner that shows no document: the frame finds no map of its own.
    md::test::ForwardingSet owner(set_);
    auto* f = new CGIS_MapElement(&owner, nullptr);
    f->SetRect(SGIS_Rect(1000, 9000, 11000, 4000));
    if (row.map == 1) f->SetMap(&noReference);
    if (row.map == 2) f->SetMap(&unknown);
    for (int button : {IDC_GIS_GW_GRATICULE, IDC_GIS_GW_FIXED_COUNT, IDC_GIS_GW_MEASURED}) {
      md::ui::ClearMessageBoxLog();
      md::test::LogMark log;
      OnGridsPage(f, NewGrid(), {[&](UiUser& u) {
                    u.Click(button);
                    u.Next();
                    EXPECT_EQ(ActivePage(u), IDD_GIS_GRID_WIZARD_START);
                    u.Cancel();
                  }});
      ASSERT_EQ(Prompts(), 1u) << button;
      EXPECT_EQ(md::ui::MessageBoxLog()[0].text,
                button == IDC_GIS_GW_MEASURED ? row.measured : row.graticule);
      EXPECT_EQ(log.Has(3, "CGIS_GridWizardStart::OnWizardNext", "p_map == NULL"), row.logged);
    }
    md::test::LogMark log;
    OnGridsPage(f, NewGrid(), {[&](UiUser& u) {
                  u.Click(IDC_GIS_GW_INDEX);
                  u.Next();
                  EXPECT_EQ(ActivePage(u), static_cast<UINT>(IDD_GIS_GRID_WIZARD_INDEX1));
                  u.Back();
                  // The series-scale page makes no reference without a map.
                  ToSeriesPage(u, IDC_GIS_GW_SERIES_GRATICULE);
                  EXPECT_EQ(ActivePage(u) == IDD_GIS_GRID_WIZARD_SERIES, row.map != 0);
                  EXPECT_EQ(Wizard(u)->GetSeriesPage().GetSpatialReference() == nullptr, row.map == 0);
                  u.Cancel();
                }});
    EXPECT_EQ(log.Has(3, "CGIS_GridWizardSeriesMap::OnSetActive", "m_pMapElement == NULL"), row.map == 0);
    f->Release();
  }
}

// Typed intervals of the graticule page and whether Next lets them go.
struct LimitRow {
  const char* parallel[3];
  const char* meridian[3];
  const char* prompt;  // NULL: accepted
  const char* caption;
};

const LimitRow kLimitRows[] = {
    {{"20", "0", "0"}, {"1", "0", "0"}, nullptr, nullptr},
    {{"20", "0", "0.5"}, {"1", "0", "0"}, "纬度间隔大于20!", "错误提示"},
    {{"1", "0", "0"}, {"40", "0", "0"}, nullptr, nullptr},
    {{"1", "0", "0"}, {"40", "1", "0"}, "经度间隔大于40!", "错误提示"},
    // Minutes of 60 and seconds of 60 pass the fields: 0°60′ is one degree.
    {{"0", "60", "60"}, {"0", "60", "0"}, nullptr, nullptr},
    // Out of the fields' ranges: the framework's prompt.
    {{"21", "0", "0"}, {"1", "0", "0"}, "", nullptr},
    {{"1", "0", "0"}, {"41", "0", "0"}, "", nullptr},
    {{"1", "61", "0"}, {"1", "0", "0"}, "", nullptr},
    {{"1", "0", "0"}, {"1", "0", "60.5"}, "", nullptr},
};

TEST_F(GridWizard, TheGraticulePageRefusesIntervalsAboveItsLimits) {
  CGIS_MapElement* f = MappedFrame();
  const int ids[2][3] = {
      {IDC_GIS_GGW_PARALLEL_DEGREES, IDC_GIS_GGW_PARALLEL_MINUTES, IDC_GIS_GGW_PARALLEL_SECONDS},
      {IDC_GIS_GGW_MERIDIAN_DEGREES, IDC_GIS_GGW_MERIDIAN_MINUTES, IDC_GIS_GGW_MERIDIAN_SECONDS}};
  for (const LimitRow& row : kLimitRows) {
    SCOPED_TRACE(std::string(row.parallel[0]) + " " + row.meridian[0]);
    md::ui::ClearMessageBoxLog();
    OnGridsPage(f, NewGrid(), {[&](UiUser& u) {
                  u.Next();
                  for (int i = 0; i < 3; ++i) {
                    u.Replace(ids[0][i], row.parallel[i]);
                    u.Replace(ids[1][i], row.meridian[i]);
                  }
                  u.Next();
                  EXPECT_EQ(ActivePage(u), row.prompt == nullptr
                                               ? static_cast<UINT>(IDD_GIS_GRID_WIZARD_AXES)
                                               : static_cast<UINT>(IDD_GIS_GRID_WIZARD_GRATICULE));
                  u.Cancel();
                }});
    ASSERT_EQ(Prompts(), row.prompt == nullptr ? 0u : 1u);
    if (row.prompt != nullptr && *row.prompt != '\0') {
      EXPECT_EQ(md::ui::MessageBoxLog()[0].text, row.prompt);
      EXPECT_EQ(md::ui::MessageBoxLog()[0].caption, row.caption);
    }
  }
}

TEST_F(GridWizard, TheAxesAndFinishPagesSwitchTheirControlsAndHoldTheirSymbols) {
  CGIS_MapElement* f = MappedFrame();
  OnGridsPage(
      f, NewGrid(),
      {[&](UiUser& u) {
         u.Next();
         u.Next();
         ASSERT_EQ(ActivePage(u), static_cast<UINT>(IDD_GIS_GRID_WIZARD_AXES));
         CGIS_GridWizardLabelAndAxe& page = Wizard(u)->GetAxesPage();
         EXPECT_EQ(u.Checked(IDC_GIS_GL_TICKS), 1);
         EXPECT_EQ(u.Checked(IDC_GIS_GL_SUBTICKS), 1);
         EXPECT_EQ(u.Text(IDC_GIS_GL_SUBTICK_COUNT), "2");
         for (int id : {IDC_GIS_GL_TICK_SYMBOL, IDC_GIS_GL_SUBTICK_SYMBOL, IDC_GIS_GL_SUBTICK_COUNT,
                        IDC_GIS_GL_SUBTICK_COUNT_SPIN, IDC_GIS_GL_FONT})
           EXPECT_TRUE(u.IsEnabled(id)) << id;
         EXPECT_EQ(page.GetTextSymbol()->GetFontSizePtr()->lfHeight, -8);
         EXPECT_EQ(page.GetTickSymbol()->GetStyleCode(), 0xD03);
         EXPECT_NE(page.GetTickSymbol(), page.GetSubTickSymbol());
         u.Click(IDC_GIS_GL_SUBTICKS);
         for (int id : {IDC_GIS_GL_SUBTICK_SYMBOL, IDC_GIS_GL_SUBTICK_COUNT, IDC_GIS_GL_SUBTICK_COUNT_SPIN})
           EXPECT_FALSE(u.IsEnabled(id)) << id;
         u.Click(IDC_GIS_GL_TICKS);
         EXPECT_FALSE(u.IsEnabled(IDC_GIS_GL_TICK_SYMBOL));
         u.Click(IDC_GIS_GL_TICKS);
         EXPECT_TRUE(u.IsEnabled(IDC_GIS_GL_TICK_SYMBOL));
         u.Click(IDC_GIS_GL_TICK_SYMBOL);
         EXPECT_NE(page.GetTickSymbol()->GetStyleCode(), 0xD03);
         // The count: 21 is refused with the framework's prompt, 20 goes.
         u.Click(IDC_GIS_GL_SUBTICKS);
         u.Replace(IDC_GIS_GL_SUBTICK_COUNT, "21");
         u.Next();
         EXPECT_EQ(ActivePage(u), static_cast<UINT>(IDD_GIS_GRID_WIZARD_AXES));
         u.Replace(IDC_GIS_GL_SUBTICK_COUNT, "20");
         u.Next();
         ASSERT_EQ(ActivePage(u), static_cast<UINT>(IDD_GIS_GRID_WIZARD_FINISH));
         // The finish page starts without a border and stores a grid.
         CGIS_GridWizardFinish& finish = Wizard(u)->GetFinishPage();
         EXPECT_EQ(u.Checked(IDC_GIS_GF_BORDER), 0);
         for (int id : {IDC_GIS_GF_BORDER_SYMBOL, IDC_GIS_GF_OUTLINE, IDC_GIS_GF_OUTLINE_SYMBOL})
           EXPECT_FALSE(u.IsEnabled(id)) << id;
         EXPECT_EQ(u.Checked(IDC_GIS_GF_FOLLOWING), 1);
         EXPECT_EQ(finish.m_nStorage, GIS_GRIDWIZARD_STORE_GRID);
         ASSERT_NE(finish.GetBorderSymbol(), nullptr);
         EXPECT_NE(finish.GetBorderSymbol(), finish.GetOutlineSymbol());
         EXPECT_EQ(finish.GetBorderSymbol()->GetStyleCode(), 0xD03);
         u.Click(IDC_GIS_GF_BORDER);
         EXPECT_TRUE(u.IsEnabled(IDC_GIS_GF_BORDER_SYMBOL));
         u.Click(IDC_GIS_GF_STATIC);
         EXPECT_EQ(finish.m_nStorage, GIS_GRIDWIZARD_STORE_ELEMENTS);
         u.Cancel();
       },
       md::test::ChooseEntry(3)});
  EXPECT_EQ(Prompts(), 1u);
}

// ---- The kilometre grid's page -------------------------------------------------

// A frame over a map bound and where its zone's central meridian lies; a
// width of 0 where no zone is found and the choice is left untouched.
struct ZoneRow {
  const char* name;
  int nFrameWidth;
  double x1, x2;
  double dFactor;
  double dOrigin;
  double dMeridian;
  int nWidth;
};

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const ZoneRow kZoneRows[] = {
    {"ratio 125", 50000, 117.0, 117.4, 1.0, 0.0, 117.0, 6},
    {"ratio 3000, 116.4", 300000, 116.35, 116.45, 1.0, 0.0, 117.0, 3},
    {"ratio 3000, 118.6", 300000, 118.55, 118.65, 1.0, 0.0, 120.0, 3},
    {"ratio 1000", 100000, 118.55, 118.65, 1.0, 0.0, 117.0, 6},
    {"frame under 10 mm", 999, 118.55, 118.65, 1.0, 0.0, 117.0, 6},
    {"1 degree west", 50000, -1.2, -0.8, 1.0, 0.0, -3.0, 6},
    {"1 degree east, 3-degree zones", 300000, 0.95, 1.05, 1.0, 0.0, 0.0, 3},
    {"in seconds", 50000, 117.0 * 3600, 117.4 * 3600, 3600.0, 0.0, 117.0, 6},
    {"with an origin", 50000, -0.2, 0.2, 1.0, 117.2, 117.0, 6},
    {"factor 0", 50000, 117.0, 117.4, 0.0, 0.0, 42.0, 0},
    {"factor -1", 50000, 117.0, 117.4, -1.0, 0.0, 42.0, 0},
    {"factor not a number", 50000, 117.0, 117.4, kNaN, 0.0, 42.0, 0},
    {"factor infinite", 50000, 117.0, 117.4, kInf, 0.0, 42.0, 0},
    {"no width", 50000, 117.0, 117.0, 1.0, 0.0, 42.0, 0},
    {"infinite bound", 50000, 117.0, kInf, 1.0, 0.0, 42.0, 0},
};

TEST(KilometreWizardDefaults, TheZoneRoundsDownAndFollowsTheFrameToMapRatio) {
  for (const ZoneRow& row : kZoneRows) {
    SCOPED_TRACE(row.name);
    SGIS_DRect bound;
    bound.x1 = row.x1;
    bound.x2 = row.x2;
    md::layout::measure::ZoneChoice zone;
    zone.dMeridian = 42.0;
    zone.nWidth = 0;
    EXPECT_EQ(md::layout::measure::ChooseZone(row.nFrameWidth, bound, row.dFactor, row.dOrigin,
                                              md::layout::measure::kKilometreSixDegreeRatio, &zone),
              row.nWidth != 0);
    EXPECT_DOUBLE_EQ(zone.dMeridian, row.dMeridian);
    EXPECT_EQ(zone.nWidth, row.nWidth);
  }
}

TEST(KilometreWizardDefaults, TheIntervalIsThePowerOfTenThatCutsTheSideIntoAtMostTen) {
  struct Row {
    double side, interval;
  };
  for (const Row& row : {Row{45000, 10000}, Row{105000, 100000}, Row{104999, 10000}, Row{10.4, 1},
                         Row{10.5, 10}, Row{10, 1}, Row{0.3, 1}, Row{1e300, 1e299}, Row{kInf, 1000},
                         Row{-kInf, 1000}, Row{kNaN, 1000}, Row{0, 1000}, Row{-45000, 1000}}) {
    const double got = md::layout::measure::DefaultInterval(row.side);
    EXPECT_NEAR(got, row.interval, row.interval * 1e-12) << row.side;
  }
}

TEST_F(GridWizard, AProjectedMapsKilometreGridTakesACopyOfItsReference) {
  CGIS_MapElement* f = MappedFrame();
  OnGridsPage(f, NewGrid(), {[&](UiUser& u) {
                u.Click(IDC_GIS_GW_MEASURED);
                u.Next();
                ASSERT_EQ(ActivePage(u), static_cast<UINT>(IDD_GIS_GRID_WIZARD_MEASURED));
                CGIS_GridMesuredWizard& page = Wizard(u)->GetMeasuredPage();
                IGIS_SpatialReference* r = page.GetSpatialReference();
                ASSERT_NE(r, nullptr);
                EXPECT_NE(r, map_->GetSpatialReference());
                EXPECT_STREQ(r->GetName(), map_->GetSpatialReference()->GetName());
                const std::string text = u.Text(IDC_GIS_GMW_DESCRIPTION);
                EXPECT_EQ(text.rfind(std::string("空间参考系名称：") + r->GetName() + "\r\n", 0), 0u) << text;
                EXPECT_EQ(u.Text(IDC_GIS_GMW_X_UNIT), "米");
                EXPECT_EQ(u.Text(IDC_GIS_GMW_Y_UNIT), "米");
                // The map's extent is some 20 km across: 10 km lines.
                EXPECT_EQ(u.Text(IDC_GIS_GMW_X_INTERVAL), "10000");
                EXPECT_EQ(u.Text(IDC_GIS_GMW_Y_INTERVAL), "10000");
                EXPECT_EQ(u.Checked(IDC_GIS_GMW_LINES), 1);
                // Letters leave the interval; above 100000000 is refused.
                u.Replace(IDC_GIS_GMW_X_INTERVAL, "1e3x");
                EXPECT_EQ(u.Text(IDC_GIS_GMW_X_INTERVAL), "13");
                u.Replace(IDC_GIS_GMW_X_INTERVAL, "100000001");
                u.Next();
                EXPECT_EQ(ActivePage(u), static_cast<UINT>(IDD_GIS_GRID_WIZARD_MEASURED));
                EXPECT_EQ(Prompts(), 1u);
                u.Click(IDC_GIS_GMW_LABELS_ONLY);
                u.Click(IDC_GIS_GMW_STYLE);  // nothing to choose: no window opens
                u.Cancel();
              }});
}

TEST_F(GridWizard, AGeographicMapsKilometreGridLiesInTheZoneOfTheMapsCentre) {
  IGIS_SpatialReferenceFactory* factory = GIS_GetSpatialReferenceFactoryObject();
  ReleasePtr<IGIS_SpatialReference> geographic(factory->CreateSpatialReference(1));
  IGIS_Map* map = doc_->CreateMap("地理", geographic.get());
  ASSERT_NE(map, nullptr);
  // 500 mm wide over 0.4 degree about 111.2 E: 6-degree zones, meridian 111.
  CGIS_MapElement* f = NewFrame(SGIS_Rect(1000, 51000, 41000, 1000));
  f->SetMap(map);
  SGIS_DRect bound;
  bound.x1 = 111.0;
  bound.x2 = 111.4;
  bound.y1 = 40.3;
  bound.y2 = 39.9;
  f->SetMapBound(bound);
  ReleasePtr<IGIS_SpatialReference> zone39Reference(factory->CreateSpatialReference(2));
  const int zone39 = factory->FindPredefinedReference(zone39Reference.get());
  std::string shown;
  OnGridsPage(f, NewGrid(),
              {[&](UiUser& u) {
                 u.Click(IDC_GIS_GW_MEASURED);
                 u.Next();
                 CGIS_GridMesuredWizard& page = Wizard(u)->GetMeasuredPage();
                 EXPECT_EQ(CentralMeridian(page.GetSpatialReference()), 111.0);
                 EXPECT_EQ(Parameter(page.GetSpatialReference(), GIS_PROJPARAM_ZONE_WIDTH), 6.0);
                 EXPECT_NE(u.Text(IDC_GIS_GMW_DESCRIPTION).find("中央经线:111.000000\r\n"),
                           std::string::npos);
                 // Some 40 km across in the zone: 10 km lines.
                 EXPECT_EQ(u.Text(IDC_GIS_GMW_X_INTERVAL), "10000");
                 u.Replace(IDC_GIS_GMW_X_INTERVAL, "2500");
                 // A geographic answer is refused; a projected one is taken and described.
                 u.Click(IDC_GIS_GMW_PROPERTIES);
                 EXPECT_EQ(CentralMeridian(page.GetSpatialReference()), 111.0);
                 u.Click(IDC_GIS_GMW_PROPERTIES);
                 shown = u.Text(IDC_GIS_GMW_DESCRIPTION);
                 EXPECT_EQ(CentralMeridian(page.GetSpatialReference()), 117.0);
                 EXPECT_EQ(u.Text(IDC_GIS_GMW_X_INTERVAL), "2500");
                 u.Cancel();
               },
               ChooseReference(0),  // the first entry: geographic
               ChooseReference(zone39)});
  ASSERT_EQ(Prompts(), 1u);
  EXPECT_EQ(md::ui::MessageBoxLog()[0].text, "选择的空间参考关系不是投影的,请重新选择一个投影空间参考关系");
  EXPECT_NE(shown.find("中央经线:117.000000\r\n"), std::string::npos) << shown;
}

TEST_F(GridWizard, AMapInAReferenceOfUnknownKindLeavesTheKilometrePageTheFactorysReference) {
  md::test::ReferenceMap unknown(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0), "未知");
  CGIS_MapElement* f = NewFrame();
  f->SetMap(&unknown);
  CGIS_GridMesuredWizard page;
  page.m_pMapElement = f;
  CPropertySheet sheet("坐标格网向导");
  sheet.AddPage(&page);
  sheet.SetWizardMode();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    // Made on activation: the factory's projected reference, nothing described.
    ASSERT_NE(page.GetSpatialReference(), nullptr);
    EXPECT_EQ(page.GetSpatialReference()->GetKind(), GIS_SPATIALREFERENCE_PROJECTED);
    EXPECT_EQ(u.Text(IDC_GIS_GMW_DESCRIPTION), "");
    EXPECT_EQ(u.Text(IDC_GIS_GMW_X_UNIT), "");
    u.Cancel();
  });
  sheet.DoModal();
  ReleaseFrame(f);
  ASSERT_EQ(Prompts(), 1u);
  EXPECT_EQ(md::ui::MessageBoxLog()[0].text, "未知类型的空间参考,不能建立方里网");
}

// ---- Snapshots -----------------------------------------------------------------

TEST_F(GridWizard, SnapshotsOfEveryPage) {
  CGIS_MapElement* f = MappedFrame();
  AddNamedGrid(f, GIS_MAPGRID_GRATICULE, "经纬网");
  AddNamedGrid(f, GIS_MAPGRID_MEASURE, "公里格网");
  std::vector<std::string> paths;
  auto shot = [&paths](UiUser& u, const std::string& name) {
    paths.push_back(md::test::SnapshotPath(name));
    EXPECT_TRUE(u.Snapshot(paths.back()));
  };
  OnGridsPage(f,
              [&](UiUser& u) {
                u.Choose(IDC_GIS_MG_LIST, 1);
                shot(u, "mapgridspage");
                u.Click(IDC_GIS_MG_NEW);
                u.Cancel();
              },
              {[&](UiUser& u) {
                shot(u, "gridwizard-start");
                u.Next();
                shot(u, "gridwizard-graticule");
                u.Next();
                shot(u, "gridwizard-axes");
                u.Next();
                shot(u, "gridwizard-finish");
                u.Back();
                u.Back();
                u.Back();
                u.Click(IDC_GIS_GW_MEASURED);
                u.Next();
                EXPECT_EQ(ActivePage(u), static_cast<UINT>(IDD_GIS_GRID_WIZARD_MEASURED));
                shot(u, "gridwizard-kilometre");
                u.Back();
                ToSeriesPage(u, IDC_GIS_GW_SERIES_MEASURED);
                u.Click(IDC_GIS_GSM_FIRST_SHEET + 14);
                shot(u, "gridwizard-seriesmap");
                u.Cancel();
              }});
  CGIS_GraticuleFinish closing;
  CPropertySheet sheet("坐标格网向导");
  sheet.AddPage(&closing);
  sheet.SetWizardMode();
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    shot(u, "graticulefinish");
    u.Cancel();
  });
  sheet.DoModal();
  for (const std::string& p : paths) EXPECT_TRUE(std::filesystem::exists(p)) << p;
}

}  // namespace
