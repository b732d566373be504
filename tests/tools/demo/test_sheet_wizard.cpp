// The grid wizard on the demo's map sheet: through the grids page of the
// frame's sheet the user makes a graticule every 5′ with degrees-and-minutes
// labels and a kilometre grid every 1000 m in the sheet's own Gauss-Krüger
// reference, whose lines fall on the kilometre band's 20 mm pieces. The
// sheet is printed at full size, stored and read back byte for byte, and a
// later Cancel of the frame's sheet leaves the saved sheet as it was; the
// demo builds the same grids without a window. The series-scale presets of
// the 1:50,000 topographic sheet ("生成5万地形图") make the 1′ graticule and
// the 5000 m kilometre grid, and the frame takes the preset's simple inner
// and outer borders in place of its calibrated band (which is why the demo's
// own sheet does not use them); that page is checked in its lower-left
// corner against a control and read back byte for byte too.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "host/featra/igis_feature.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/border/igis_mapbordersimple.h"
#include "layout/graphicelement/grid/factory/dialogs/cgis_gridwizardseriesmap.h"
#include "layout/graphicelement/grid/graticule/dialogs/cgis_gridgraticulewizard.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridwizardfinish.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridwizardstart.h"
#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/grid/measure/dialogs/cgis_gridmesuredwizard.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/mapframe/dialogs/cgis_mapgridspage.h"
#include "platform/canvas/raster.h"
#include "platform/ui/driver.h"
#include "tests/support/gridspagescenes.h"
#include "tests/support/rendercheck.h"
#include "tests/tools/demo/demotest.h"
#include "tests/tools/demo/sheetgrids.h"
#include "tools/demo/mapsheet.h"
#include "tools/demo/wizardgrids.h"

namespace {

using md::ui::ScriptedDriver;
using md::ui::UiUser;
using Scene = ScriptedDriver::Scene;

constexpr int kGridsPage = 3;

std::vector<char> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What a grid of the sheet is, as the wizard's pages set it: kind, name,
// lines, spacing, ticks, label and, for the kilometre grid, its reference.
std::string Describe(IGIS_MapGrid* g) {
  IGIS_GridSpacing* spacing = nullptr;
  std::string reference;
  if (auto* graticule = dynamic_cast<IGIS_GraticuleGrid*>(g)) spacing = graticule->GetGridSpacing();
  if (auto* measure = dynamic_cast<IGIS_MeasureGrid*>(g)) {
    spacing = measure->GetGridSpacing();
    reference = measure->GetSpatialReference() != nullptr ? measure->GetSpatialReference()->GetName() : "";
  }
  std::ostringstream out;
  out << g->GetType() << ' ' << g->GetName() << " lines " << g->GetGridlineType() << " sub-ticks "
      << g->GetSubTickCount();
  if (spacing != nullptr) {
    out << " spacing " << spacing->GetUnitsType() << '/' << spacing->GetUnits() << ' '
        << spacing->GetXIntervalSize() << " x " << spacing->GetYIntervalSize() << " fixed "
        << spacing->GetFixedOrigin();
  }
  IGIS_GridLabel* label = g->GetLabelFormat();
  out << " label " << (label != nullptr ? label->GetType() : -1);
  if (auto* dms = dynamic_cast<IGIS_DMSGridLabel*>(label))
    out << " minutes " << dms->IsShowMinutes() << " seconds " << dms->IsShowSeconds();
  out << " reference " << reference;
  return out.str();
}

// The wizard's user: a graticule every 5′ in both directions.
Scene FiveMinuteGraticule() {
  return [](UiUser& u) {
    u.Click(IDC_GIS_GW_GRATICULE);
    u.Replace(IDC_GIS_GW_NAME, "经纬网");
    u.Next();
    for (int id : {IDC_GIS_GGW_PARALLEL_DEGREES, IDC_GIS_GGW_MERIDIAN_DEGREES}) u.Replace(id, "0");
    for (int id : {IDC_GIS_GGW_PARALLEL_MINUTES, IDC_GIS_GGW_MERIDIAN_MINUTES}) u.Replace(id, "5");
    u.Click(IDC_GIS_GGW_LINES);
    u.Next();
    u.Next();
    u.Click(IDC_GIS_GF_FOLLOWING);
    u.Finish();
  };
}

// The wizard's user: a kilometre grid every 1000 m in the page's reference
// (the sheet's own), as ticks with labels.
Scene KilometreGrid() {
  return [](UiUser& u) {
    u.Click(IDC_GIS_GW_MEASURED);
    u.Next();
    u.Click(IDC_GIS_GMW_LABELS_ONLY);
    u.Replace(IDC_GIS_GMW_X_INTERVAL, "1000");
    u.Replace(IDC_GIS_GMW_Y_INTERVAL, "1000");
    u.Next();
    u.Next();
    u.Finish();
  };
}

constexpr int kFiftyThousandSheet = 5;

// The wizard's user: a series-scale type (its button enabled through the
// window: the start page keeps it disabled) for the 1:50,000 sheet.
Scene SeriesPreset(int button, const char* name) {
  return [button, name](UiUser& u) {
    u.Control(button)->EnableWindow(TRUE);
    u.Click(button);
    u.Replace(IDC_GIS_GW_NAME, name);
    u.Next();
    u.Click(IDC_GIS_GSM_FIRST_SHEET + kFiftyThousandSheet);
    u.Finish();
  };
}

// The lower-left corner of the sheet printed at the check's resolution:
// 800 by 500 pixels, 30 above the paper's bottom edge.
md::canvas::Raster Corner(const md::canvas::Raster& page) {
  constexpr int kWidth = 800, kHeight = 500, kAboveBottom = 30;
  md::canvas::Raster corner;
  if (page.width < kWidth || page.height < kHeight + kAboveBottom) return corner;
  corner.width = kWidth;
  corner.height = kHeight;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      corner.pixels.push_back(page.at(x, page.height - kAboveBottom - kHeight + y));
  return corner;
}

void ExpectSimpleBorder(IGIS_MapBorder* border, int style, int offset) {
  auto* simple = dynamic_cast<IGIS_MapBorderSimple*>(border);
  ASSERT_NE(simple, nullptr);
  EXPECT_EQ(simple->GetLineSymbolPtr()->GetStyleCode(), style);
  EXPECT_EQ(simple->GetLeftOffset(), offset);
  EXPECT_EQ(simple->GetBottomOffset(), offset);
}

// A grid the wizard made: its name, kind and interval both ways.
struct MadeRow {
  const char* name;
  int kind;
  double interval;
};

// The frame's sheet on its grids page: two new grids made by the wizard's
// users, then OK. The frame holds the rows' grids, the kilometre grid in
// the sheet's own reference.
void ExpectMadeByWizard(md::test::SheetWithoutGrids& sheet, std::vector<Scene> wizards,
                        const std::vector<MadeRow>& made) {
  md::ui::ClearDriverErrors();
  wizards.insert(wizards.begin(), md::test::TwoNewGridsThenOk());
  IGIS_MapElement* frame = sheet.frame;
  EXPECT_TRUE(md::test::Played(wizards, [frame] { return frame->OnOpenPropertyDlg(nullptr, TRUE); }));
  for (const std::string& e : md::ui::DriverErrors()) ADD_FAILURE() << e;
  IGIS_MapGrids* grids = frame->GetMapGrids();
  ASSERT_EQ(grids->GetCount(), static_cast<int>(made.size()));
  for (int i = 0; i < grids->GetCount(); ++i) {
    SCOPED_TRACE(made[i].name);
    IGIS_MapGrid* g = grids->GetMapGrid(i);
    EXPECT_STREQ(g->GetName(), made[i].name);
    ASSERT_EQ(g->GetType(), made[i].kind);
    auto* graticule = dynamic_cast<IGIS_GraticuleGrid*>(g);
    auto* measure = dynamic_cast<IGIS_MeasureGrid*>(g);
    ASSERT_TRUE(graticule != nullptr || measure != nullptr);
    IGIS_GridSpacing* spacing =
        graticule != nullptr ? graticule->GetGridSpacing() : measure->GetGridSpacing();
    EXPECT_DOUBLE_EQ(spacing->GetXIntervalSize(), made[i].interval);
    EXPECT_DOUBLE_EQ(spacing->GetYIntervalSize(), made[i].interval);
    if (measure != nullptr) {
      EXPECT_STREQ(measure->GetSpatialReference()->GetName(),
                   sheet.doc.sheet()->GetSpatialReference()->GetName());
    }
  }
}

// The grids made through the wizard, printed, stored and read back byte for
// byte; a later Cancel changes nothing saved; the demo builds the same
// grids without a window from the values the wizard's pages hold.
TEST(SheetWizard, TheWizardMakesTheSheetsGraticuleAndKilometreGrid) {
  md::test::SheetWithoutGrids sheet;
  ASSERT_NE(sheet.frame, nullptr);
  ASSERT_NO_FATAL_FAILURE(ExpectMadeByWizard(
      sheet, {FiveMinuteGraticule(), KilometreGrid()},
      {{"经纬网", GIS_MAPGRID_GRATICULE, 5.0 / 60.0}, {"方里网", GIS_MAPGRID_MEASURE, 1000.0}}));
  IGIS_MapGrids* grids = sheet.frame->GetMapGrids();
  auto* graticule = dynamic_cast<IGIS_GraticuleGrid*>(grids->GetMapGrid(0));
  auto* measure = dynamic_cast<IGIS_MeasureGrid*>(grids->GetMapGrid(1));
  auto* dms = dynamic_cast<IGIS_DMSGridLabel*>(graticule->GetLabelFormat());
  ASSERT_NE(dms, nullptr);
  EXPECT_TRUE(dms->IsShowMinutes());
  EXPECT_FALSE(dms->IsShowSeconds());
  // The kilometre grid's 1000 m are the band's 20 mm pieces at the sheet's scale.
  EXPECT_EQ(measure->GetGridlineType(), GIS_GRIDLINE_NONE);
  EXPECT_DOUBLE_EQ(measure->GetGridSpacing()->GetXIntervalSize() / md::demo::kSheetScale,
                   md::demo::kSheetBorderInterval);
  md::test::WriteSheet(*sheet.page, "wizard");

  const auto folder = md::test::ScratchFolder("sheetwizard");
  auto loaded = md::test::ReloadedSheet(*sheet.page, folder, sheet.doc.LayoutLayer(), 2);
  ASSERT_NE(loaded, nullptr);
  IGIS_MapElement* reloaded = md::test::FrameOf(*loaded);
  // A Cancel of the reloaded frame's sheet after a new grid, a hidden grid,
  // a removed grid and a grid's sheet confirmed: the saved sheet is as it was.
  const std::string third = (folder / "third.mdfs").string();
  const std::vector<Scene> cancelled{[](UiUser& u) {
                                       u.GoToPage(kGridsPage);
                                       md::test::ChangeEveryGrid([](UiUser& user) { user.Cancel(); })(u);
                                     },
                                     [](UiUser& u) {
                                       for (int i = 0; i < 3; ++i) u.Next();
                                       u.Finish();
                                     },
                                     [](UiUser& u) { u.Ok(); }};
  EXPECT_FALSE(
      md::test::Played(cancelled, [reloaded] { return reloaded->OnOpenPropertyDlg(nullptr, TRUE); }));
  std::string error;
  ASSERT_TRUE(md::demo::StoreElements(*loaded, &error)) << error;
  ASSERT_TRUE(md::demo::SavePage(*loaded, third, &error)) << error;
  EXPECT_EQ(FileBytes(third), FileBytes((folder / "second.mdfs").string()));
  EXPECT_EQ(reloaded->GetMapGrids()->GetCount(), 2);

  // The demo's own build, through the build the grids page uses.
  auto byDemo = md::demo::BuildMapSheetPage(sheet.doc, nullptr);
  ASSERT_NE(byDemo, nullptr);
  IGIS_MapElement* demoFrame = md::test::FrameOf(*byDemo);
  ASSERT_NE(demoFrame, nullptr);
  demoFrame->GetMapGrids()->ReleaseMapGrids();
  ASSERT_TRUE(md::demo::AddWizardGrids(sheet.doc, demoFrame));
  ASSERT_EQ(demoFrame->GetMapGrids()->GetCount(), 2);
  for (int i = 0; i < 2; ++i) {
    IGIS_MapGrid* made = demoFrame->GetMapGrids()->GetMapGrid(i);
    EXPECT_EQ(Describe(made), Describe(grids->GetMapGrid(i)));
    EXPECT_EQ(made->GetMapElement(), demoFrame);
  }
  EXPECT_STREQ(demoFrame->GetMapGrids()->GetMapGrid(0)->GetName(), md::demo::kWizardGraticuleName);
  EXPECT_STREQ(demoFrame->GetMapGrids()->GetMapGrid(1)->GetName(), md::demo::kWizardKilometreName);
  // A second call meets the names the list holds: refused, nothing added.
  EXPECT_FALSE(md::demo::AddWizardGrids(sheet.doc, demoFrame));
  EXPECT_EQ(demoFrame->GetMapGrids()->GetCount(), 2);
  EXPECT_FALSE(md::demo::AddWizardGrids(sheet.doc, nullptr));
}

TEST(SheetWizard, TheFiftyThousandSheetsPresetsOnTheSampleFrame) {
  md::test::SheetWithoutGrids sheet;
  ASSERT_NE(sheet.frame, nullptr);
  md::demo::Page& page = *sheet.page;
  ASSERT_NE(sheet.frame->GetOuterMapBorder(), nullptr);
  EXPECT_NE(sheet.frame->GetOuterMapBorder()->GetType(), GIS_MAPBORDER_SIMPLE);
  ASSERT_NO_FATAL_FAILURE(ExpectMadeByWizard(
      sheet,
      {SeriesPreset(IDC_GIS_GW_SERIES_GRATICULE, "5万经纬网"),
       SeriesPreset(IDC_GIS_GW_SERIES_MEASURED, "5万方里网")},
      {{"5万经纬网", GIS_MAPGRID_GRATICULE, 1.0 / 60.0}, {"5万方里网", GIS_MAPGRID_MEASURE, 5000.0}}));
  ExpectSimpleBorder(sheet.frame->GetInnerMapBorder(), 3331, 0);
  ExpectSimpleBorder(sheet.frame->GetOuterMapBorder(), 3332, 900);
  md::test::WriteSheet(page, "series-presets");
  // The frame's lower-left corner checked against its control: both borders,
  // the lines, ticks and labels of both grids.
  EXPECT_TRUE(md::test::MatchesControl(Corner(md::test::Print(page)), "tests/tools/demo/reference",
                                       "series-presets-corner"));

  // Stored and read back: both saves byte for byte, grids and borders all.
  const auto folder = md::test::ScratchFolder("sheetseries");
  auto loaded = md::test::ReloadedSheet(page, folder, sheet.doc.LayoutLayer(), 2);
  ASSERT_NE(loaded, nullptr);
  // The files differ only in the elements' run-time handles ("InterfacePtr").
  EXPECT_EQ(std::filesystem::file_size(folder / "second.mdfs"),
            std::filesystem::file_size(folder / "first.mdfs"));
  ASSERT_EQ(loaded->elements().size(), page.elements().size());
  for (size_t i = 0; i < page.elements().size(); ++i)
    EXPECT_EQ(md::test::CustomBytes(loaded->elements()[i]), md::test::CustomBytes(page.elements()[i])) << i;
  ExpectSimpleBorder(md::test::FrameOf(*loaded)->GetOuterMapBorder(), 3332, 900);
}

}  // namespace
