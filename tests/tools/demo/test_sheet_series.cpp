// The series-scale presets of the 1:50,000 topographic sheet ("生成5万地形图")
// on a page with the demo's map sheet: the grid wizard's series-map page
// makes the 1′ graticule and the 5000 m kilometre grid in the sheet's own
// reference, and the frame takes the preset's simple inner and outer
// borders in place of its calibrated band (which is why the demo's own
// sheet does not use them, nor its own grids, which this page leaves out).
// The page is printed at full size, stored and read back byte for byte.
#include <filesystem>
#include <string>
#include <vector>

#include "layout/graphicelement/grid/border/igis_mapbordersimple.h"
#include "layout/graphicelement/grid/factory/dialogs/cgis_gridwizardseriesmap.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridwizardstart.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/mapframe/dialogs/cgis_mapgridspage.h"
#include "platform/canvas/raster.h"
#include "platform/ui/driver.h"
#include "tests/support/gridspagescenes.h"
#include "tests/support/rendercheck.h"
#include "tests/tools/demo/sheetgrids.h"
#include "tools/demo/mapsheet.h"

namespace {

using md::ui::ScriptedDriver;
using md::ui::UiUser;

constexpr int kFiftyThousandSheet = 5;

// The wizard's user: a series-scale type (its button enabled through the
// window: the start page keeps it disabled) for the 1:50,000 sheet.
ScriptedDriver::Scene SeriesPreset(int button, const char* name) {
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

// A preset the wizard made on the page: its name, kind and interval.
struct MadeRow {
  const char* name;
  int kind;
  double interval;
};

TEST(SheetSeries, TheFiftyThousandSheetsPresetsOnTheSampleFrame) {
  md::ui::ClearDriverErrors();
  md::test::SheetWithoutGrids sheet;
  ASSERT_NE(sheet.frame, nullptr);
  IGIS_MapElement* frame = sheet.frame;
  md::demo::Page& page = *sheet.page;
  ASSERT_NE(frame->GetOuterMapBorder(), nullptr);
  EXPECT_NE(frame->GetOuterMapBorder()->GetType(), GIS_MAPBORDER_SIMPLE);

  const MadeRow made[] = {{"5万经纬网", GIS_MAPGRID_GRATICULE, 1.0 / 60.0},
                          {"5万方里网", GIS_MAPGRID_MEASURE, 5000.0}};
  EXPECT_TRUE(md::test::Played(
      {md::test::TwoNewGridsThenOk(), SeriesPreset(IDC_GIS_GW_SERIES_GRATICULE, made[0].name),
       SeriesPreset(IDC_GIS_GW_SERIES_MEASURED, made[1].name)},
      [frame] { return frame->OnOpenPropertyDlg(nullptr, TRUE); }));
  for (const std::string& e : md::ui::DriverErrors()) ADD_FAILURE() << e;

  IGIS_MapGrids* grids = frame->GetMapGrids();
  ASSERT_EQ(grids->GetCount(), 2);
  for (int i = 0; i < 2; ++i) {
    IGIS_MapGrid* g = grids->GetMapGrid(i);
    EXPECT_STREQ(g->GetName(), made[i].name);
    EXPECT_EQ(g->GetType(), made[i].kind);
    auto* graticule = dynamic_cast<IGIS_GraticuleGrid*>(g);
    auto* measure = dynamic_cast<IGIS_MeasureGrid*>(g);
    IGIS_GridSpacing* spacing =
        graticule != nullptr ? graticule->GetGridSpacing() : measure->GetGridSpacing();
    EXPECT_DOUBLE_EQ(spacing->GetXIntervalSize(), made[i].interval) << made[i].name;
    if (measure != nullptr) {
      EXPECT_STREQ(measure->GetSpatialReference()->GetName(),
                   sheet.doc.sheet()->GetSpatialReference()->GetName());
    }
  }
  ExpectSimpleBorder(frame->GetInnerMapBorder(), 3331, 0);
  ExpectSimpleBorder(frame->GetOuterMapBorder(), 3332, 900);

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
