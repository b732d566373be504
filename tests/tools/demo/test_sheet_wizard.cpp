// The grid wizard on the demo's map sheet: through the grids page of the
// frame's sheet the user makes a graticule every 5′ with degrees-and-minutes
// labels and a kilometre grid every 1000 m in the sheet's own Gauss-Krüger
// reference, whose lines fall on the kilometre band's 20 mm pieces. The
// sheet is printed at full size, stored and read back byte for byte, and a
// later Cancel of the frame's sheet leaves the saved sheet as it was; the
// demo builds the same grids without a window.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "host/featra/igis_feature.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
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
#include "platform/ui/driver.h"
#include "tests/support/gridspagescenes.h"
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

// The frame's sheet on its grids page: both grids made, then OK.
bool MakeBothGrids(IGIS_MapElement* frame) {
  return md::test::Played({md::test::TwoNewGridsThenOk(), FiveMinuteGraticule(), KilometreGrid()},
                          [frame] { return frame->OnOpenPropertyDlg(nullptr, TRUE); });
}

// The grids made through the wizard, printed, stored and read back byte for
// byte; a later Cancel changes nothing saved; the demo builds the same
// grids without a window from the values the wizard's pages hold.
TEST(SheetWizard, TheWizardMakesTheSheetsGraticuleAndKilometreGrid) {
  md::ui::ClearDriverErrors();
  md::test::SheetWithoutGrids sheet;
  ASSERT_NE(sheet.frame, nullptr);
  IGIS_MapElement* frame = sheet.frame;
  ASSERT_TRUE(MakeBothGrids(frame));
  for (const std::string& e : md::ui::DriverErrors()) ADD_FAILURE() << e;

  IGIS_MapGrids* grids = frame->GetMapGrids();
  ASSERT_EQ(grids->GetCount(), 2);
  auto* graticule = dynamic_cast<IGIS_GraticuleGrid*>(grids->GetMapGrid(0));
  auto* measure = dynamic_cast<IGIS_MeasureGrid*>(grids->GetMapGrid(1));
  ASSERT_NE(graticule, nullptr);
  ASSERT_NE(measure, nullptr);
  EXPECT_STREQ(graticule->GetName(), "经纬网");
  EXPECT_STREQ(measure->GetName(), "方里网");
  EXPECT_DOUBLE_EQ(graticule->GetGridSpacing()->GetXIntervalSize(), 5.0 / 60.0);
  EXPECT_DOUBLE_EQ(graticule->GetGridSpacing()->GetYIntervalSize(), 5.0 / 60.0);
  auto* dms = dynamic_cast<IGIS_DMSGridLabel*>(graticule->GetLabelFormat());
  ASSERT_NE(dms, nullptr);
  EXPECT_TRUE(dms->IsShowMinutes());
  EXPECT_FALSE(dms->IsShowSeconds());
  // The kilometre grid lies in the sheet's own Gauss-Krüger reference, and
  // its 1000 m are the band's 20 mm pieces at the sheet's scale.
  EXPECT_STREQ(measure->GetSpatialReference()->GetName(),
               sheet.doc.sheet()->GetSpatialReference()->GetName());
  EXPECT_EQ(measure->GetGridlineType(), GIS_GRIDLINE_NONE);
  const double interval = measure->GetGridSpacing()->GetXIntervalSize();
  EXPECT_DOUBLE_EQ(interval, 1000.0);
  EXPECT_DOUBLE_EQ(measure->GetGridSpacing()->GetYIntervalSize(), 1000.0);
  EXPECT_DOUBLE_EQ(interval / md::demo::kSheetScale, md::demo::kSheetBorderInterval);
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

}  // namespace
