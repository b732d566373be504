// The grids' property sheets on the demo's map sheet: a graticule, a
// kilometre grid, an index grid and a graticule of fixed rows and columns
// over its frame, every page of their sheets (their labels pages and the
// label and tab-style dialogs among them) used as a user would: every value
// changed, every symbol replaced, the calibrated band edited in its dialog,
// another reference or label kind chosen. Cancel leaves the frame's stored
// form as it was, whether a label's own dialog inside the sheet was
// confirmed or not; OK keeps every change and the sheet is drawn with it: the
// kilometre grid set to 1000 m lies on the band's 20 mm pieces, the index
// grid and the fixed graticule follow their new counts, the graticule labels
// in degrees and minutes, the kilometre grid writes three secondary digits
// after its zone number and the index grid's tabs are rounded in a new fill.
// The frame's own calibrated band is edited through its data-frame page's
// border selector.
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "host/glyphorpick/cgis_symbolpickdlg.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "host/helmora/cgis_spatialreferencedlg.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/dialogs/cgis_numericformatdlg.h"
#include "layout/graphicelement/grid/border/dialogs/cgis_calibratedborderdlg.h"
#include "layout/graphicelement/grid/border/dialogs/cgis_mapborderselectordlg.h"
#include "layout/graphicelement/grid/border/igis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/graticule/dialogs/cgis_gridinsidelabelpage.h"
#include "layout/graphicelement/grid/graticule/dialogs/cgis_gridslimlinepage.h"
#include "layout/graphicelement/grid/graticulemn/dialogs/cgis_gridgraticulemnpage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_axespage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridintervalpage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridlabelspage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridlinepage.h"
#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_graticulemngrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_indexgrid.h"
#include "layout/graphicelement/grid/grid/igis_indexgridtabstyle.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/grid/index/dialogs/cgis_indexpage.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_dmslabelpage.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_indexgridtabelbackgroundpage.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_indexgridtabstylepage.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_mixfontpage.h"
#include "layout/graphicelement/grid/label/igis_mixedfontgridlabel.h"
#include "layout/graphicelement/grid/measure/dialogs/cgis_gridsystempage.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/mapframe/dialogs/cgis_mapdataframe.h"
#include "platform/canvas/recording.h"
#include "platform/ui/ccombobox.h"
#include "platform/ui/driver.h"
#include "tests/support/dialogscenes.h"
#include "tests/support/recordedtexts.h"
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

// A user's steps in a window: a button pressed, a text typed over, an entry
// chosen, or several steps in turn.
Scene Press(int id) {
  return [id](UiUser& u) { u.Click(id); };
}
Scene Type(int id, const char* text) {
  return [id, text](UiUser& u) { u.Replace(id, text); };
}
Scene Pick(int id, int entry) {
  return [id, entry](UiUser& u) { u.Choose(id, entry); };
}
Scene Steps(std::vector<Scene> steps) {
  return [steps](UiUser& u) {
    for (const Scene& s : steps) s(u);
  };
}

// The chooser's entry of the index grid's new tab fill.
constexpr int kNewFill = 5;

// One page of a grid's sheet used as a user would, with the windows that
// opens; where the page opens a label's own dialog, what is done in it and
// the windows that opens in turn.
struct PageUse {
  const char* name;
  int kind;
  int page;
  Scene edit;
  std::vector<Scene> opened;
  Scene dialog = nullptr;
  std::vector<Scene> dialogOpened = {};
  // The type of the label whose dialog it is.
  int labelType = -1;
};

// The calibrated band's dialog: both symbols chosen, every value changed.
const Scene kEditBand =
    Steps({Press(IDC_GIS_CB_FILL_SYMBOL), Press(IDC_GIS_CB_NOFILL_SYMBOL), Type(IDC_GIS_CB_WIDTH, "250"),
           Type(IDC_GIS_CB_INTERVAL, "1500"), Press(IDC_GIS_CB_ALTERNATING), [](UiUser& u) { u.Ok(); }});

const Scene kEditAxes = Steps(
    {Press(IDC_GIS_AX_TICK_TOP), Press(IDC_GIS_AX_TICK_LEFT), Press(IDC_GIS_AX_TICK_RIGHT),
     Press(IDC_GIS_AX_TICK_BOTTOM), Press(IDC_GIS_AX_SUBTICK_TOP), Press(IDC_GIS_AX_SUBTICK_LEFT),
     Press(IDC_GIS_AX_SUBTICK_RIGHT), Press(IDC_GIS_AX_SUBTICK_BOTTOM), Type(IDC_GIS_AX_TICK_COUNT, "2"),
     Type(IDC_GIS_AX_SUBTICK_COUNT, "5"), Press(IDC_GIS_AX_TICK_OUTSIDE), Type(IDC_GIS_AX_TICK_LENGTH, "250"),
     Press(IDC_GIS_AX_SUBTICK_INSIDE), Type(IDC_GIS_AX_SUBTICK_LENGTH, "120"), Press(IDC_GIS_AX_TICK_SYMBOL),
     Press(IDC_GIS_AX_SUBTICK_SYMBOL)});

// The interval page: both intervals and the own origin typed (x, y, origin
// x, origin y), then the units chosen in turn.
PageUse Interval(int kind, int page, std::array<const char*, 4> texts, std::vector<int> units) {
  std::vector<Scene> steps{Type(IDC_GIS_GI_X_INTERVAL, texts[0]), Type(IDC_GIS_GI_Y_INTERVAL, texts[1]),
                           Press(IDC_GIS_GI_OWN_ORIGIN), Type(IDC_GIS_GI_X_ORIGIN, texts[2]),
                           Type(IDC_GIS_GI_Y_ORIGIN, texts[3])};
  for (int choice : units) steps.push_back(Pick(IDC_GIS_GI_UNITS, choice));
  return {"interval", kind, page, Steps(steps), {}};
}

// The pages of the grids' own sheets.
std::vector<PageUse> PageUses() {
  std::vector<PageUse> uses;
  for (int kind : {GIS_MAPGRID_GRATICULE, GIS_MAPGRID_MEASURE}) {
    uses.push_back({"axes, calibrated band",
                    kind,
                    0,
                    Steps({kEditAxes, Pick(IDC_GIS_AX_BORDER_KIND, 1), Press(IDC_GIS_AX_BORDER_PROPERTY)}),
                    {ChooseEntry(1), ChooseEntry(3), kEditBand, ChooseEntry(1), ChooseEntry(2)}});
    uses.push_back({"axes, simple band",
                    kind,
                    0,
                    Steps({Pick(IDC_GIS_AX_BORDER_KIND, 0), Press(IDC_GIS_AX_BORDER_PROPERTY)}),
                    {ChooseEntry(3)}});
    uses.push_back({"lines",
                    kind,
                    kind == GIS_MAPGRID_GRATICULE ? 3 : 2,
                    Steps({Press(IDC_GIS_GL_MARKS), Press(IDC_GIS_GL_SYMBOL), Press(IDC_GIS_GL_LINES),
                           Press(IDC_GIS_GL_SYMBOL)}),
                    {ChooseEntry(2), ChooseEntry(4)}});
  }
  uses.push_back(
      {"fine tick lines",
       GIS_MAPGRID_GRATICULE,
       4,
       Steps({Type(IDC_GIS_SL_LON_DEGREES, "0"), Type(IDC_GIS_SL_LON_MINUTES, "1"),
              Type(IDC_GIS_SL_LON_SECONDS, "0"), Type(IDC_GIS_SL_LAT_DEGREES, "0"),
              Type(IDC_GIS_SL_LAT_MINUTES, "1"), Type(IDC_GIS_SL_LAT_SECONDS, "0"),
              Type(IDC_GIS_SL_HATCH_LENGTH, "300"), Type(IDC_GIS_SL_MAIN_LENGTH, "180"),
              Type(IDC_GIS_SL_MAIN_COUNT, "5"), Type(IDC_GIS_SL_SUB_LENGTH, "90"),
              Type(IDC_GIS_SL_SUB_COUNT, "2"), Press(IDC_GIS_SL_HATCH_DIRECTIONAL),
              Press(IDC_GIS_SL_MAIN_DIRECTIONAL), Press(IDC_GIS_SL_SUB_DIRECTIONAL),
              Press(IDC_GIS_SL_HATCH_SYMBOL), Press(IDC_GIS_SL_MAIN_SYMBOL), Press(IDC_GIS_SL_SUB_SYMBOL)}),
       {ChooseEntry(1), ChooseEntry(2), ChooseEntry(3)}});
  uses.push_back(Interval(GIS_MAPGRID_GRATICULE, 5, {"10", "7.5", "1", "-2"}, {2}));
  uses.push_back(Interval(GIS_MAPGRID_MEASURE, 4, {"500", "2000", "420000", "4416000"}, {2, 0}));
  uses.push_back({"system", GIS_MAPGRID_MEASURE, 3, Press(IDC_GIS_GS_PROPERTIES), {[](UiUser& u) {
                    // The next zone to the east, without its number in front of x.
                    u.Choose(IDC_GIS_SR_LIST, u.Selection(IDC_GIS_SR_LIST) + 2);
                    u.Ok();
                  }}});
  uses.push_back({"index",
                  GIS_MAPGRID_INDEX,
                  1,
                  Steps({Type(IDC_GIS_IX_COLUMNS, "7"), Type(IDC_GIS_IX_ROWS, "3")}),
                  {}});
  uses.push_back(
      {"fixed rows and columns",
       GIS_MAPGRID_GRATICULE_MN,
       2,
       Steps({Press(IDC_GIS_MP_MARKS), Press(IDC_GIS_MP_SYMBOL), Press(IDC_GIS_MP_LINES),
              Press(IDC_GIS_MP_SYMBOL), Type(IDC_GIS_MP_COLUMNS, "10"), Type(IDC_GIS_MP_ROWS, "8")}),
       {ChooseEntry(1), ChooseEntry(2)}});
  uses.push_back(
      {"inside labels",
       GIS_MAPGRID_GRATICULE,
       1,
       Steps({Press(IDC_GIS_IL_SHOW), Type(IDC_GIS_IL_LON_DEGREES, "0"), Type(IDC_GIS_IL_LON_MINUTES, "5"),
              Type(IDC_GIS_IL_LON_SECONDS, "0"), Type(IDC_GIS_IL_LAT_DEGREES, "0"),
              Type(IDC_GIS_IL_LAT_MINUTES, "5"), Type(IDC_GIS_IL_LAT_SECONDS, "0")}),
       {}});
  return uses;
}

// The labels page's place in each kind's sheet.
int LabelsPageOf(int kind) { return kind == GIS_MAPGRID_MEASURE ? 1 : 2; }

// The labels page: the label kind chosen (unless -1) and, with a dialog,
// the label's own dialog opened from it.
PageUse Labels(const char* name, int kind, int labelKind, Scene edit, std::vector<Scene> opened, Scene dialog,
               std::vector<Scene> dialogOpened, int labelType) {
  std::vector<Scene> steps;
  if (labelKind >= 0) steps.push_back(Pick(IDC_GIS_LB_KIND, labelKind));
  if (edit) steps.push_back(edit);
  if (dialog) steps.push_back(Press(IDC_GIS_LB_PROPERTIES));
  return {name, kind, LabelsPageOf(kind), Steps(steps), opened, dialog, dialogOpened, labelType};
}

// Every side and offset changed and the text symbol replaced.
const Scene kEditSides =
    Steps({Press(IDC_GIS_LB_LEFT), Press(IDC_GIS_LB_TOP), Press(IDC_GIS_LB_BOTTOM),
           Type(IDC_GIS_LB_LEFT_X, "120"), Type(IDC_GIS_LB_TOP_Y, "-80"), Type(IDC_GIS_LB_RIGHT_X, "1000000"),
           Type(IDC_GIS_LB_BOTTOM_Y, "35"), Press(IDC_GIS_LB_TEXT_SYMBOL)});

Scene EditTabs(int inside) {
  return Steps({Press(IDC_GIS_TAB_FILL), Press(IDC_GIS_TAB_OUTLINE), Type(IDC_GIS_TAB_THICKNESS, "350"),
                Press(inside)});
}

// The labels pages and the labels' own dialogs.
std::vector<PageUse> LabelUses() {
  return {Labels("labels page of the graticule", GIS_MAPGRID_GRATICULE, -1, kEditSides, {ChooseEntry(1)},
                 nullptr, {}, -1),
          Labels("labels page of the kilometre grid, mixed font", GIS_MAPGRID_MEASURE, 0, kEditSides,
                 {ChooseEntry(2)}, nullptr, {}, -1),
          Labels("labels page of the index grid, rounded tabs", GIS_MAPGRID_INDEX, 3, kEditSides,
                 {ChooseEntry(3)}, nullptr, {}, -1),
          Labels("degrees-minutes-seconds dialog", GIS_MAPGRID_GRATICULE, -1, nullptr, {},
                 Steps({Press(IDC_GIS_DMS_SECONDS), Pick(IDC_GIS_DMS_TYPE, 1), Press(IDC_GIS_DMS_FONT),
                        Type(IDC_GIS_DMS_DECIMALS, "3")}),
                 {ChooseEntry(2)}, GIS_GRIDLABEL_DMS),
          Labels("mixed-font dialog", GIS_MAPGRID_MEASURE, 0, nullptr, {},
                 Steps({Type(IDC_GIS_MF_DIGITS, "3"), Press(IDC_GIS_MF_SECONDARY_FONT),
                        Pick(IDC_GIS_MF_POSITION, 1), Press(IDC_GIS_MF_NUMBER_FORMAT),
                        Press(IDC_GIS_MF_SHOW_ZONE), Press(IDC_GIS_MF_ZONE_FONT)}),
                 {ChooseEntry(1),
                  Steps({Press(IDC_NUMFMT_RIGHT), Type(IDC_NUMFMT_WIDTH, "9"), Press(IDC_NUMFMT_PLUS),
                         [](UiUser& u) { u.Ok(); }}),
                  ChooseEntry(3)},
                 GIS_GRIDLABEL_MIXEDFONT),
          Labels("formatted label's number format", GIS_MAPGRID_MEASURE, 1, nullptr, {},
                 Steps({Press(IDC_NUMFMT_SIGNIFICANT), Type(IDC_NUMFMT_DIGITS, "4"),
                        Press(IDC_NUMFMT_SEPARATOR), Press(IDC_NUMFMT_ZEROS)}),
                 {}, GIS_GRIDLABEL_FORMATTED),
          Labels("continuous tabs' dialog", GIS_MAPGRID_INDEX, 2, nullptr, {}, EditTabs(IDC_GIS_TAB_INSIDE),
                 {ChooseEntry(2), ChooseEntry(4)}, GIS_GRIDLABEL_INDEX_CONTINUOUS),
          Labels("background tabs' dialog", GIS_MAPGRID_INDEX, 0, nullptr, {},
                 Steps({EditTabs(IDC_GIS_TAB_BACKGROUND_INSIDE), Press(IDC_GIS_TAB_BACKGROUND_ROUNDED)}),
                 {ChooseEntry(1), ChooseEntry(3)}, GIS_GRIDLABEL_INDEX_BACKGROUND)};
}

// Opens the grid's sheet, uses the page (and the label's dialog, ended with
// OK when confirmDialog) and ends the sheet; the grid's answer.
bool UsePage(IGIS_MapGrid* grid, const PageUse& use, bool confirm, bool confirmDialog = true) {
  std::vector<Scene> scenes{[&](UiUser& u) {
    EXPECT_TRUE(u.GoToPage(use.page));
    use.edit(u);
    confirm ? u.Ok() : u.Cancel();
  }};
  scenes.insert(scenes.end(), use.opened.begin(), use.opened.end());
  if (use.dialog) {
    scenes.push_back([&](UiUser& u) {
      use.dialog(u);
      confirmDialog ? u.Ok() : u.Cancel();
    });
    scenes.insert(scenes.end(), use.dialogOpened.begin(), use.dialogOpened.end());
  }
  return md::test::Played(scenes, [grid] { return grid->OnOpenPropertyDlg(); });
}

TEST(GridSheetsOnTheMapSheet, CancelLeavesTheFramesStoredFormAndOkKeepsEveryChange) {
  SheetWithGrids sheet;
  ASSERT_NE(sheet.frame, nullptr);
  md::ui::ClearDriverErrors();
  std::vector<PageUse> uses = PageUses();
  for (PageUse& use : LabelUses()) uses.push_back(use);
  int ownRuns = 0;
  for (const PageUse& use : uses) {
    for (bool confirmDialog : {false, true}) {
      if (!use.dialog && !confirmDialog) continue;
      SCOPED_TRACE(std::string(use.name) + " of kind " + std::to_string(use.kind) +
                   (confirmDialog ? "" : ", its dialog cancelled"));
      const std::string before = md::test::StoredForm(sheet.frame);
      EXPECT_FALSE(UsePage(sheet.Grid(use.kind), use, false, confirmDialog));
      EXPECT_EQ(md::test::StoredForm(sheet.frame), before);
    }
    // The label's own dialog opened on its own and cancelled, where the
    // grid's label is of the dialog's kind.
    IGIS_GridLabel* label = sheet.Grid(use.kind)->GetLabelFormat();
    if (use.dialog && label->GetType() == use.labelType) {
      SCOPED_TRACE(std::string(use.name) + " on its own");
      const std::string before = md::test::StoredForm(sheet.frame);
      std::vector<Scene> scenes{Steps({use.dialog, [](UiUser& u) { u.Cancel(); }})};
      scenes.insert(scenes.end(), use.dialogOpened.begin(), use.dialogOpened.end());
      EXPECT_FALSE(md::test::Played(scenes, [label] { return label->OnOpenPropertyDlg(); }));
      ++ownRuns;
      EXPECT_EQ(md::test::StoredForm(sheet.frame), before);
    }
  }
  EXPECT_EQ(ownRuns, 3);
  for (const PageUse& use : uses) {
    SCOPED_TRACE(std::string(use.name) + " of kind " + std::to_string(use.kind) + ", confirmed");
    const std::string before = md::test::StoredForm(sheet.frame);
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

// The three changes of the sheet: the graticule's labels in degrees and
// minutes, three secondary digits after the zone number on the kilometre
// grid, rounded tabs in a new fill on the index grid.
void ChangeTheLabels(SheetWithGrids& sheet) {
  const PageUse changes[] = {
      Labels("degrees and minutes", GIS_MAPGRID_GRATICULE, -1, nullptr, {},
             Steps({[](UiUser& u) { EXPECT_EQ(u.Checked(IDC_GIS_DMS_MINUTES), 1); },
                    Press(IDC_GIS_DMS_SECONDS)}),
             {}, -1),
      Labels("mixed font", GIS_MAPGRID_MEASURE, 0, nullptr, {},
             Steps({Type(IDC_GIS_MF_DIGITS, "3"), Press(IDC_GIS_MF_SHOW_ZONE)}), {}, -1),
      Labels("rounded tabs", GIS_MAPGRID_INDEX, 3, nullptr, {}, Press(IDC_GIS_TAB_FILL),
             {ChooseEntry(kNewFill)}, -1)};
  for (const PageUse& use : changes) EXPECT_TRUE(UsePage(sheet.Grid(use.kind), use, true)) << use.name;
}

// The graticule's coordinates on the sheet: its texts that start with a
// digit and have a degree sign.
std::vector<std::string> CoordinatesOf(const md::test::RecordedSheet& sheet) {
  std::vector<std::string> found;
  for (const std::string& t : md::test::TextsOf(sheet.canvas))
    if (!t.empty() && t[0] >= '0' && t[0] <= '9' && t.find("°") != std::string::npos) found.push_back(t);
  return found;
}

// How many of the texts have the sign.
size_t CountWith(const std::vector<std::string>& texts, const std::string& sign) {
  return std::count_if(texts.begin(), texts.end(),
                       [&sign](const std::string& t) { return t.find(sign) != std::string::npos; });
}

// The filled shapes of a brush colour, and how many corners (points) each has.
std::vector<size_t> FillsOf(const md::test::RecordedSheet& sheet, md::canvas::Color colour) {
  std::vector<size_t> fills;
  for (const md::canvas::Record* r : sheet.canvas.recordsOf(md::canvas::Record::Type::Shape))
    if (r->shape.fill && r->brush.color == colour) fills.push_back(r->Points().size());
  return fills;
}

TEST(GridSheetsOnTheMapSheet, TheChangedLabelsAreDrawnOnTheSheet) {
  SheetWithGrids sheet;
  ASSERT_NE(sheet.frame, nullptr);
  // The fixed graticule writes degrees, minutes and seconds too: left out.
  sheet.rowsAndColumns->SetVisible(false);
  md::basilo::ReleasePtr<IGIS_Symbol> fill(GIS_MakeCatalogueSymbol(GIS_CHOOSE_FILL, kNewFill));
  const auto newFill = static_cast<md::canvas::Color>(fill->GetColor());
  const md::test::RecordedSheet before(*sheet.page);
  ChangeTheLabels(sheet);
  const md::test::RecordedSheet after(*sheet.page);

  // The graticule: every coordinate in degrees, minutes and seconds before,
  // in degrees and minutes after.
  const std::vector<std::string> dmsBefore = CoordinatesOf(before);
  const std::vector<std::string> dmsAfter = CoordinatesOf(after);
  ASSERT_FALSE(dmsBefore.empty());
  EXPECT_EQ(dmsAfter.size(), dmsBefore.size());
  EXPECT_EQ(CountWith(dmsBefore, "″"), dmsBefore.size());
  EXPECT_EQ(CountWith(dmsAfter, "″"), 0u);
  EXPECT_EQ(CountWith(dmsAfter, "′"), dmsAfter.size());
  EXPECT_NE(std::find(dmsAfter.begin(), dmsAfter.end(), "116°10.0′"), dmsAfter.end());

  // The kilometre grid: the zone number and three secondary digits.
  const std::vector<std::string> texts = md::test::TextsOf(after.canvas);
  const std::vector<std::string> textsBefore = md::test::TextsOf(before.canvas);
  EXPECT_EQ(std::count(textsBefore.begin(), textsBefore.end(), "39"), 0);
  EXPECT_GT(std::count(texts.begin(), texts.end(), "39"), 0);
  EXPECT_GT(std::count(texts.begin(), texts.end(), "000"), 0);
  EXPECT_NE(std::find(texts.begin(), texts.end(), "4412"), texts.end());

  // The index grid: its tabs in the new fill, rounded (more corners than a box).
  EXPECT_TRUE(FillsOf(before, newFill).empty());
  const std::vector<size_t> tabs = FillsOf(after, newFill);
  ASSERT_FALSE(tabs.empty());
  for (size_t corners : tabs) EXPECT_GT(corners, 5u);

  md::test::WriteSheet(*sheet.page, "labels");
}

}  // namespace
