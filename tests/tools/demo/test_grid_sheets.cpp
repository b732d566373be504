// The grids' property sheets on the demo's map sheet: a graticule, a
// kilometre grid, an index grid and a graticule of fixed rows and columns
// over its frame, every page of their sheets used as a user would (every
// value changed, every symbol replaced, the calibrated band edited in its
// dialog, another reference chosen). Cancel leaves the frame's stored form as
// it was; OK keeps every change and the sheet is drawn with it: the
// kilometre grid set to 1000 m lies on the band's 20 mm pieces, the index
// grid and the fixed graticule follow their new counts. The frame's own
// calibrated band is edited through its data-frame page's border selector.
#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "host/glyphorpick/cgis_symbolpickdlg.h"
#include "host/helmora/cgis_spatialreferencedlg.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/grid/border/dialogs/cgis_calibratedborderdlg.h"
#include "layout/graphicelement/grid/border/dialogs/cgis_mapborderselectordlg.h"
#include "layout/graphicelement/grid/border/igis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/graticule/dialogs/cgis_gridinsidelabelpage.h"
#include "layout/graphicelement/grid/graticule/dialogs/cgis_gridslimlinepage.h"
#include "layout/graphicelement/grid/graticulemn/dialogs/cgis_gridgraticulemnpage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_axespage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridintervalpage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridlinepage.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_graticulemngrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_indexgrid.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/grid/index/dialogs/cgis_indexpage.h"
#include "layout/graphicelement/grid/measure/dialogs/cgis_gridsystempage.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/mapframe/dialogs/cgis_mapdataframe.h"
#include "platform/canvas/recording.h"
#include "platform/ui/ccombobox.h"
#include "platform/ui/driver.h"
#include "tests/support/dialogscenes.h"
#include "tests/support/storedform.h"
#include "tests/tools/demo/demotest.h"
#include "tests/tools/demo/sheetgrids.h"
#include "tools/demo/mapsheet.h"

namespace {

using md::test::ChooseEntry;
using md::test::ClickThenOk;
using md::test::LineOfColour;
using md::test::RecordedSheet;
using md::test::SheetWithGrids;
using md::test::WriteSheet;
using md::ui::ScriptedDriver;
using md::ui::UiUser;
using Scene = ScriptedDriver::Scene;

// One page of a grid's sheet used as a user would: every value on it
// changed and every symbol button pressed, with the windows that opens.
struct PageUse {
  const char* name;
  int kind;
  int page;
  std::function<void(UiUser&)> edit;
  std::vector<Scene> opened;
};

// The calibrated band's dialog: both symbols chosen, every value changed.
Scene EditBand() {
  return [](UiUser& u) {
    u.Click(IDC_GIS_CB_FILL_SYMBOL);
    u.Click(IDC_GIS_CB_NOFILL_SYMBOL);
    u.Replace(IDC_GIS_CB_WIDTH, "250");
    u.Replace(IDC_GIS_CB_INTERVAL, "1500");
    u.Click(IDC_GIS_CB_ALTERNATING);
    u.Ok();
  };
}

void EditAxes(UiUser& u) {
  for (int id :
       {IDC_GIS_AX_TICK_TOP, IDC_GIS_AX_TICK_LEFT, IDC_GIS_AX_TICK_RIGHT, IDC_GIS_AX_TICK_BOTTOM,
        IDC_GIS_AX_SUBTICK_TOP, IDC_GIS_AX_SUBTICK_LEFT, IDC_GIS_AX_SUBTICK_RIGHT, IDC_GIS_AX_SUBTICK_BOTTOM})
    u.Click(id);
  u.Replace(IDC_GIS_AX_TICK_COUNT, "2");
  u.Replace(IDC_GIS_AX_SUBTICK_COUNT, "5");
  u.Click(IDC_GIS_AX_TICK_OUTSIDE);
  u.Replace(IDC_GIS_AX_TICK_LENGTH, "250");
  u.Click(IDC_GIS_AX_SUBTICK_INSIDE);
  u.Replace(IDC_GIS_AX_SUBTICK_LENGTH, "120");
  u.Click(IDC_GIS_AX_TICK_SYMBOL);
  u.Click(IDC_GIS_AX_SUBTICK_SYMBOL);
}

// The interval page: both intervals and the own origin typed (x, y, origin
// x, origin y), then the units chosen in turn.
PageUse Interval(int kind, int page, std::array<const char*, 4> texts, std::vector<int> units) {
  return {"interval",
          kind,
          page,
          [texts, units](UiUser& u) {
            u.Replace(IDC_GIS_GI_X_INTERVAL, texts[0]);
            u.Replace(IDC_GIS_GI_Y_INTERVAL, texts[1]);
            u.Click(IDC_GIS_GI_OWN_ORIGIN);
            u.Replace(IDC_GIS_GI_X_ORIGIN, texts[2]);
            u.Replace(IDC_GIS_GI_Y_ORIGIN, texts[3]);
            for (int choice : units) u.Choose(IDC_GIS_GI_UNITS, choice);
          },
          {}};
}

std::vector<PageUse> PageUses() {
  std::vector<PageUse> uses;
  for (int kind : {GIS_MAPGRID_GRATICULE, GIS_MAPGRID_MEASURE}) {
    uses.push_back({"axes, calibrated band",
                    kind,
                    0,
                    [](UiUser& u) {
                      EditAxes(u);
                      u.Choose(IDC_GIS_AX_BORDER_KIND, 1);
                      u.Click(IDC_GIS_AX_BORDER_PROPERTY);
                    },
                    {ChooseEntry(1), ChooseEntry(3), EditBand(), ChooseEntry(1), ChooseEntry(2)}});
    uses.push_back({"axes, simple band",
                    kind,
                    0,
                    [](UiUser& u) {
                      u.Choose(IDC_GIS_AX_BORDER_KIND, 0);
                      u.Click(IDC_GIS_AX_BORDER_PROPERTY);
                    },
                    {ChooseEntry(3)}});
    uses.push_back({"lines",
                    kind,
                    kind == GIS_MAPGRID_GRATICULE ? 3 : 2,
                    [](UiUser& u) {
                      u.Click(IDC_GIS_GL_MARKS);
                      u.Click(IDC_GIS_GL_SYMBOL);
                      u.Click(IDC_GIS_GL_LINES);
                      u.Click(IDC_GIS_GL_SYMBOL);
                    },
                    {ChooseEntry(2), ChooseEntry(4)}});
  }
  uses.push_back(
      {"fine tick lines",
       GIS_MAPGRID_GRATICULE,
       4,
       [](UiUser& u) {
         for (auto [id, text] : std::vector<std::pair<int, const char*>>{{IDC_GIS_SL_LON_DEGREES, "0"},
                                                                         {IDC_GIS_SL_LON_MINUTES, "1"},
                                                                         {IDC_GIS_SL_LON_SECONDS, "0"},
                                                                         {IDC_GIS_SL_LAT_DEGREES, "0"},
                                                                         {IDC_GIS_SL_LAT_MINUTES, "1"},
                                                                         {IDC_GIS_SL_LAT_SECONDS, "0"},
                                                                         {IDC_GIS_SL_HATCH_LENGTH, "300"},
                                                                         {IDC_GIS_SL_MAIN_LENGTH, "180"},
                                                                         {IDC_GIS_SL_MAIN_COUNT, "5"},
                                                                         {IDC_GIS_SL_SUB_LENGTH, "90"},
                                                                         {IDC_GIS_SL_SUB_COUNT, "2"}})
           u.Replace(id, text);
         for (int id : {IDC_GIS_SL_HATCH_DIRECTIONAL, IDC_GIS_SL_MAIN_DIRECTIONAL, IDC_GIS_SL_SUB_DIRECTIONAL,
                        IDC_GIS_SL_HATCH_SYMBOL, IDC_GIS_SL_MAIN_SYMBOL, IDC_GIS_SL_SUB_SYMBOL})
           u.Click(id);
       },
       {ChooseEntry(1), ChooseEntry(2), ChooseEntry(3)}});
  uses.push_back(Interval(GIS_MAPGRID_GRATICULE, 5, {"10", "7.5", "1", "-2"}, {2}));
  uses.push_back(Interval(GIS_MAPGRID_MEASURE, 4, {"500", "2000", "420000", "4416000"}, {2, 0}));
  uses.push_back(
      {"system", GIS_MAPGRID_MEASURE, 3, [](UiUser& u) { u.Click(IDC_GIS_GS_PROPERTIES); }, {[](UiUser& u) {
         // The next zone to the east, without its number in front of x.
         u.Choose(IDC_GIS_SR_LIST, u.Selection(IDC_GIS_SR_LIST) + 2);
         u.Ok();
       }}});
  uses.push_back({"index",
                  GIS_MAPGRID_INDEX,
                  1,
                  [](UiUser& u) {
                    u.Replace(IDC_GIS_IX_COLUMNS, "7");
                    u.Replace(IDC_GIS_IX_ROWS, "3");
                  },
                  {}});
  uses.push_back({"fixed rows and columns",
                  GIS_MAPGRID_GRATICULE_MN,
                  2,
                  [](UiUser& u) {
                    u.Click(IDC_GIS_MP_MARKS);
                    u.Click(IDC_GIS_MP_SYMBOL);
                    u.Click(IDC_GIS_MP_LINES);
                    u.Click(IDC_GIS_MP_SYMBOL);
                    u.Replace(IDC_GIS_MP_COLUMNS, "10");
                    u.Replace(IDC_GIS_MP_ROWS, "8");
                  },
                  {ChooseEntry(1), ChooseEntry(2)}});
  uses.push_back({"inside labels",
                  GIS_MAPGRID_GRATICULE,
                  1,
                  [](UiUser& u) {
                    u.Click(IDC_GIS_IL_SHOW);
                    for (auto [id, text] :
                         std::vector<std::pair<int, const char*>>{{IDC_GIS_IL_LON_DEGREES, "0"},
                                                                  {IDC_GIS_IL_LON_MINUTES, "5"},
                                                                  {IDC_GIS_IL_LON_SECONDS, "0"},
                                                                  {IDC_GIS_IL_LAT_DEGREES, "0"},
                                                                  {IDC_GIS_IL_LAT_MINUTES, "5"},
                                                                  {IDC_GIS_IL_LAT_SECONDS, "0"}})
                      u.Replace(id, text);
                  },
                  {}});
  return uses;
}

// Opens the grid's sheet, uses the page and ends the sheet; the grid's answer.
bool UsePage(IGIS_MapGrid* grid, const PageUse& use, bool confirm) {
  std::vector<Scene> scenes{[&](UiUser& u) {
    EXPECT_TRUE(u.GoToPage(use.page));
    use.edit(u);
    confirm ? u.Ok() : u.Cancel();
  }};
  scenes.insert(scenes.end(), use.opened.begin(), use.opened.end());
  return md::test::Played(scenes, [grid] { return grid->OnOpenPropertyDlg(); });
}

TEST(GridSheetsOnTheMapSheet, CancelLeavesTheFramesStoredFormAndOkKeepsEveryChange) {
  SheetWithGrids sheet;
  ASSERT_NE(sheet.frame, nullptr);
  md::ui::ClearDriverErrors();
  for (const PageUse& use : PageUses()) {
    SCOPED_TRACE(std::string(use.name) + " of kind " + std::to_string(use.kind));
    const std::string before = md::test::StoredForm(sheet.frame);
    EXPECT_FALSE(UsePage(sheet.Grid(use.kind), use, false));
    EXPECT_EQ(md::test::StoredForm(sheet.frame), before);
    EXPECT_TRUE(UsePage(sheet.Grid(use.kind), use, true));
    EXPECT_NE(md::test::StoredForm(sheet.frame), before);
  }
  for (const std::string& e : md::ui::DriverErrors()) ADD_FAILURE() << e;
}

TEST(GridSheetsOnTheMapSheet, TheFramesCalibratedBandIsEditedThroughTheDataFramePage) {
  SheetWithGrids sheet;
  ASSERT_NE(sheet.frame, nullptr);
  auto* band = dynamic_cast<IGIS_MapBorderCalibrated*>(sheet.frame->GetOuterMapBorder());
  ASSERT_NE(band, nullptr);
  const int interval = band->GetInterval();
  for (bool confirm : {false, true}) {
    SCOPED_TRACE(confirm);
    const std::string before = md::test::StoredForm(sheet.frame);
    const std::vector<Scene> scenes{ClickThenOk(IDC_GIS_DF_OUTER_BORDER), ClickThenOk(IDC_GIS_BS_PROPERTY),
                                    [confirm](UiUser& u) {
                                      EXPECT_EQ(u.Text(IDC_GIS_CB_WIDTH),
                                                std::to_string(md::demo::kSheetBorderWidth));
                                      u.Click(IDC_GIS_CB_FILL_SYMBOL);
                                      u.Replace(IDC_GIS_CB_INTERVAL, "1000");
                                      u.Click(IDC_GIS_CB_ALTERNATING);
                                      confirm ? u.Ok() : u.Cancel();
                                    },
                                    ChooseEntry(2)};
    EXPECT_TRUE(md::test::Played(scenes, [&] { return sheet.frame->OnOpenPropertyDlg(nullptr, TRUE); }));
    auto* edited = dynamic_cast<IGIS_MapBorderCalibrated*>(sheet.frame->GetOuterMapBorder());
    ASSERT_NE(edited, nullptr);
    if (confirm) {
      EXPECT_EQ(edited->GetInterval(), 1000);
      EXPECT_TRUE(edited->GetAlternating());
      EXPECT_EQ(edited->GetBorderWidth(), md::demo::kSheetBorderWidth);
    } else {
      EXPECT_EQ(edited->GetInterval(), interval);
      EXPECT_EQ(md::test::StoredForm(sheet.frame), before);
    }
  }
}

TEST(GridPagesOnTheMapSheet, TheKilometreGridShowsItsReferenceAndIsDrawnEveryKilometreOnTheBandsPieces) {
  SheetWithGrids sheet;
  ASSERT_NE(sheet.frame, nullptr);
  constexpr COLORREF kColour = RGB(255, 0, 255);
  sheet.measure->SetLineSymbol(LineOfColour(kColour).get());
  IGIS_GridSpacing* spacing = dynamic_cast<IGIS_MeasureGrid*>(sheet.measure)->GetGridSpacing();
  spacing->SetXIntervalSize(5000.0);
  spacing->SetYIntervalSize(5000.0);
  IGIS_SpatialReference* reference = sheet.doc.sheet()->GetSpatialReference();
  std::string description, unit;
  EXPECT_TRUE(md::test::Played({[&](UiUser& u) {
                                 EXPECT_TRUE(u.GoToPage(2));
                                 u.Click(IDC_GIS_GL_LINES);
                                 EXPECT_TRUE(u.GoToPage(3));
                                 description = u.Text(IDC_GIS_GS_DESCRIPTION);
                                 EXPECT_TRUE(u.GoToPage(4));
                                 unit = u.Text(IDC_GIS_GI_UNITS);
                                 u.Replace(IDC_GIS_GI_X_INTERVAL, "1000");
                                 u.Replace(IDC_GIS_GI_Y_INTERVAL, "1000");
                                 u.Ok();
                               }},
                               [&] { return sheet.measure->OnOpenPropertyDlg(); }));
  // CGCS2000, 3-degree Gauss-Kruger zone 39 (central meridian 117 degrees east).
  for (const std::string& line :
       {std::string("空间参考系名称：") + reference->GetName() + "\r\n",
        std::string("大地水准面名称：CGCS2000\r\n"), std::string("投影模型名称：高斯投影\r\n"),
        std::string("投影模型参数：\r\n中央经线:117.000000\r\n"), std::string("长度单位名称：米\r\n")})
    EXPECT_NE(description.find(line), std::string::npos) << line;
  EXPECT_NE(std::string(reference->GetName()).find("3度带 39带"), std::string::npos);
  EXPECT_EQ(unit, "米");

  RecordedSheet recorded(*sheet.page);
  for (bool vertical : {true, false}) {
    SCOPED_TRACE(vertical ? "eastings" : "northings");
    const std::vector<double> lines = recorded.Lines(kColour, vertical);
    ASSERT_GE(lines.size(), 10u);
    // One kilometre is 20 mm at 1:50,000: the band's piece.
    for (size_t i = 1; i < lines.size(); ++i)
      EXPECT_NEAR(lines[i] - lines[i - 1], md::demo::kSheetBorderInterval / 10.0, 0.6) << i;
  }
  WriteSheet(*sheet.page, "kilometre-grid");
}

// Every use confirmed (but the simple band's, which would replace the
// calibrated one, and the fixed graticule's symbols: its lines are found by
// their colour) is kept and drawn; the index grid's and the fixed
// graticule's counts are drawn as their lines.
TEST(GridSheetsOnTheMapSheet, TheEditedGridsAreDrawnOnTheSheet) {
  SheetWithGrids sheet;
  ASSERT_NE(sheet.frame, nullptr);
  constexpr COLORREF kIndexColour = RGB(0, 255, 255);
  constexpr COLORREF kFixedColour = RGB(255, 128, 0);
  sheet.index->SetGridlineType(GIS_GRIDLINE_LINES);
  sheet.index->SetLineSymbol(LineOfColour(kIndexColour).get());
  sheet.rowsAndColumns->SetGridlineType(GIS_GRIDLINE_LINES);
  sheet.rowsAndColumns->SetLineSymbol(LineOfColour(kFixedColour).get());
  const RecordedSheet recordedBefore(*sheet.page);
  const md::canvas::Raster before = md::test::Print(*sheet.page, 150);
  for (PageUse use : PageUses()) {
    if (std::string(use.name) == "axes, simple band") continue;
    if (use.kind == GIS_MAPGRID_GRATICULE_MN) {
      use.edit = [](UiUser& u) {
        u.Replace(IDC_GIS_MP_COLUMNS, "10");
        u.Replace(IDC_GIS_MP_ROWS, "8");
      };
      use.opened.clear();
    }
    EXPECT_TRUE(UsePage(sheet.Grid(use.kind), use, true)) << use.name;
  }
  IGIS_MapGridBorder* band = sheet.graticule->GetBorder();
  EXPECT_EQ(band->GetBorderType(), GIS_GRIDBORDER_CALIBRATED);
  EXPECT_EQ(band->GetInterval(), 1500);
  EXPECT_EQ(sheet.graticule->GetTickDivision(), 2);
  EXPECT_EQ(sheet.graticule->GetGridlineType(), GIS_GRIDLINE_LINES);
  auto* graticule = dynamic_cast<IGIS_GraticuleGrid*>(sheet.graticule);
  EXPECT_DOUBLE_EQ(graticule->GetHatchIntervalX(), 1.0 / 60.0);
  EXPECT_TRUE(graticule->GetShowInteriorLabels());
  EXPECT_DOUBLE_EQ(graticule->GetInteriorLabelIntervalY(), 5.0 / 60.0);
  auto* index = dynamic_cast<IGIS_IndexGrid*>(sheet.index);
  EXPECT_EQ(index->GetColumnCount(), 7);
  EXPECT_EQ(index->GetRowCount(), 3);
  auto* fixed = dynamic_cast<IGIS_GraticuleMNGrid*>(sheet.rowsAndColumns);
  EXPECT_EQ(fixed->GetLatitudeCount(), 10);
  EXPECT_EQ(fixed->GetLongitudeCount(), 8);

  const md::canvas::Raster after = WriteSheet(*sheet.page, "edited-grids");
  ASSERT_EQ(after.width, before.width);
  ASSERT_EQ(after.height, before.height);
  EXPECT_NE(after.pixels, before.pixels);
  const RecordedSheet recorded(*sheet.page);
  // The index grid's cell bounds: eight columns' and four rows' bounds, evenly spaced.
  const SGIS_Rect frame = sheet.frame->GetRect();
  const std::vector<double> columns = recorded.Lines(kIndexColour, true);
  const std::vector<double> rows = recorded.Lines(kIndexColour, false);
  ASSERT_EQ(columns.size(), 8u);
  ASSERT_EQ(rows.size(), 4u);
  for (size_t i = 1; i < columns.size(); ++i)
    EXPECT_NEAR(columns[i] - columns[i - 1], frame.Width() / 7.0 / 10.0, 1.0);
  for (size_t i = 1; i < rows.size(); ++i)
    EXPECT_NEAR(rows[i] - rows[i - 1], frame.Height() / 3.0 / 10.0, 1.0);
  // The fixed graticule's interval search takes the first interval that puts
  // more than one line across the sheet's 15' x 10' (0.05 degree, about
  // three to five intervals) for any count from 2 up: with 10 x 8 it draws
  // the meridians and parallels it drew with 4 x 4.
  EXPECT_GE(recorded.Lines(kFixedColour, true).size(), 3u);
  EXPECT_EQ(recorded.Lines(kFixedColour, true), recordedBefore.Lines(kFixedColour, true));
  EXPECT_EQ(recorded.Lines(kFixedColour, false), recordedBefore.Lines(kFixedColour, false));
}

}  // namespace
