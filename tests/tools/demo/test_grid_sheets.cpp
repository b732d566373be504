// The grids' property sheets on the demo's map sheet: a graticule and a
// kilometre grid over its frame, every page of their sheets used as a user
// would (every value changed, every symbol replaced, the calibrated band
// edited in its dialog). Cancel leaves the frame's stored form as it was; OK
// keeps every change and the sheet is drawn with it. The frame's own
// calibrated band is edited through its data-frame page's border selector.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "host/glyphorpick/cgis_symbolpickdlg.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/grid/border/dialogs/cgis_calibratedborderdlg.h"
#include "layout/graphicelement/grid/border/dialogs/cgis_mapborderselectordlg.h"
#include "layout/graphicelement/grid/border/igis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/graticule/dialogs/cgis_gridinsidelabelpage.h"
#include "layout/graphicelement/grid/graticule/dialogs/cgis_gridslimlinepage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_axespage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridlinepage.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/mapframe/dialogs/cgis_mapdataframe.h"
#include "platform/ui/driver.h"
#include "tests/support/dialogscenes.h"
#include "tests/support/storedform.h"
#include "tests/tools/demo/demotest.h"
#include "tools/demo/mapsheet.h"

namespace {

using md::test::ChooseEntry;
using md::ui::ScriptedDriver;
using md::ui::UiUser;
using Scene = ScriptedDriver::Scene;

IGIS_MapElement* FrameOf(md::demo::Page& page) {
  for (IGIS_Element* e : page.elements())
    if (auto* frame = dynamic_cast<IGIS_MapElement*>(e)) return frame;
  return nullptr;
}

// The demo's map sheet with a graticule every 5′ and a kilometre grid in
// the map's own projection on its frame.
struct SheetWithGrids {
  SheetWithGrids() : doc(md::demo::SampleMapsFolder()) {
    page = md::demo::BuildMapSheetPage(doc, nullptr);
    frame = page != nullptr ? FrameOf(*page) : nullptr;
    if (frame == nullptr) return;
    graticule = GIS_CreateMapGridPropertyObject(GIS_MAPGRID_GRATICULE);
    graticule->SetName("经纬网");
    graticule->SetMapElement(frame);
    auto* spacing = dynamic_cast<IGIS_GraticuleGrid*>(graticule)->GetGridSpacing();
    spacing->SetUnits(2);  // minutes
    spacing->SetXIntervalSize(5.0);
    spacing->SetYIntervalSize(5.0);
    measure = GIS_CreateMapGridPropertyObject(GIS_MAPGRID_MEASURE);
    measure->SetName("方里网");
    measure->SetMapElement(frame);
    measure->SetGridlineType(GIS_GRIDLINE_NONE);
    dynamic_cast<IGIS_MeasureGrid*>(measure)->SetSpatialReference(doc.sheet()->GetSpatialReference());
    frame->GetMapGrids()->AddMapGrid(graticule);
    frame->GetMapGrids()->AddMapGrid(measure);
  }
  IGIS_MapGrid* Grid(int kind) const { return kind == GIS_MAPGRID_GRATICULE ? graticule : measure; }

  md::test::FixedText fixed;
  md::demo::MapDocument doc;
  std::unique_ptr<md::demo::Page> page;
  IGIS_MapElement* frame = nullptr;
  IGIS_MapGrid* graticule = nullptr;  // owned by the frame's grid list
  IGIS_MapGrid* measure = nullptr;
};

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
                    kind == GIS_MAPGRID_GRATICULE ? 2 : 1,
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
       3,
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
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_TRUE(u.GoToPage(use.page));
    use.edit(u);
    confirm ? u.Ok() : u.Cancel();
  });
  for (const Scene& s : use.opened) driver.Then(s);
  const bool answer = grid->OnOpenPropertyDlg();
  EXPECT_EQ(driver.ScenesLeft(), 0u);
  EXPECT_EQ(md::ui::MessageBoxLog().size(), 0u);
  return answer;
}

TEST(GridSheetsOnTheMapSheet, CancelLeavesTheFramesStoredFormAndOkKeepsEveryChange) {
  SheetWithGrids sheet;
  ASSERT_NE(sheet.frame, nullptr);
  md::ui::ClearMessageBoxLog();
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

TEST(GridSheetsOnTheMapSheet, TheEditedGridsAreDrawnOnTheSheet) {
  SheetWithGrids sheet;
  ASSERT_NE(sheet.frame, nullptr);
  constexpr int kDpi = 150;
  const md::canvas::Raster before = md::test::Print(*sheet.page, kDpi);
  const std::vector<PageUse> uses = PageUses();
  // The simple band's use comes after the calibrated one: keep the band.
  for (const PageUse& use : uses) {
    if (std::string(use.name) == "axes, simple band") continue;
    EXPECT_TRUE(UsePage(sheet.Grid(use.kind), use, true));
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

  std::string error;
  auto canvas = md::demo::PrintRaster(*sheet.page, kDpi, &md::text::FixedMetricsEngine(), &error);
  ASSERT_NE(canvas, nullptr) << error;
  const auto folder = md::test::ScratchFolder("gridsheets");
  ASSERT_TRUE(canvas->writePng((folder / "mapsheet-grids.png").string()));
  const md::canvas::Raster after = md::canvas::ReadRaster(*canvas);
  ASSERT_EQ(after.width, before.width);
  ASSERT_EQ(after.height, before.height);
  EXPECT_NE(after.pixels, before.pixels);
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
    ScriptedDriver driver;
    driver.Then([](UiUser& u) {
      u.Click(IDC_GIS_DF_OUTER_BORDER);
      u.Ok();
    });
    driver.Then([](UiUser& u) {
      u.Click(IDC_GIS_BS_PROPERTY);
      u.Ok();
    });
    driver.Then([confirm](UiUser& u) {
      EXPECT_EQ(u.Text(IDC_GIS_CB_WIDTH), std::to_string(md::demo::kSheetBorderWidth));
      u.Click(IDC_GIS_CB_FILL_SYMBOL);
      u.Replace(IDC_GIS_CB_INTERVAL, "1000");
      u.Click(IDC_GIS_CB_ALTERNATING);
      confirm ? u.Ok() : u.Cancel();
    });
    driver.Then(ChooseEntry(2));
    EXPECT_TRUE(sheet.frame->OnOpenPropertyDlg(nullptr, TRUE));
    EXPECT_EQ(driver.ScenesLeft(), 0u);
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

}  // namespace
