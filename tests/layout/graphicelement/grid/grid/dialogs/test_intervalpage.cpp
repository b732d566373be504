// The interval page on the graticule's and the measured grid's sheets: the
// unit list of each kind, the intervals and origins with their ranges, the
// origin choice that greys the origins but keeps them, the unit stored with
// the numbers unconverted, and the grids the page refuses.
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridintervalpage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridlinepage.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "tests/layout/graphicelement/grid/grid/dialogs/griddialogtest.h"
#include "tests/layout/graphicelement/grid/measure/measuretest.h"

namespace {

using md::test::LogMark;
using md::test::Owned;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

class IntervalPage : public md::test::GridDialogTestOn<md::test::MeasurePage> {
 protected:
  // A grid of the kind on a frame over the sheet (measured grid) or the
  // region map (graticule).
  IGIS_MapGrid* NewGridOnFrame(int kind) {
    IGIS_MapGrid* grid = md::test::NewGrid(kind);
    grid->SetMapElement(kind == GIS_MAPGRID_MEASURE ? SheetFrame() : RegionFrame());
    return grid;
  }
  CGIS_MapElement* RegionFrame() {
    return Frame(region_, SGIS_DRect(116.0, 40.0, 118.0, 39.0), 0.0001, SGIS_Point(2000, 2000));
  }
  static IGIS_GridSpacing* SpacingOf(IGIS_MapGrid* grid) {
    if (auto* g = dynamic_cast<IGIS_GraticuleGrid*>(grid)) return g->GetGridSpacing();
    if (auto* m = dynamic_cast<IGIS_MeasureGrid*>(grid)) return m->GetGridSpacing();
    return nullptr;
  }
};

TEST_F(IntervalPage, EachKindListsItsUnitsWithTheSpacingsUnitSelectedAndStoresTheNumbersAsTyped) {
  IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
  const struct {
    int kind;
    int linearUnits;  // 1: the factory's linear units, 0: its angular ones
    int selected;     // the class default
    int chosen;
  } rows[] = {{GIS_MAPGRID_GRATICULE, 0, 1, 2}, {GIS_MAPGRID_MEASURE, 1, 0, 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.kind);
    Owned<IGIS_MapGrid> g(NewGridOnFrame(row.kind));
    IGIS_GridSpacing* spacing = SpacingOf(g.get());
    spacing->SetXIntervalSize(1000.0);
    spacing->SetYIntervalSize(500.0);
    spacing->SetFixedOrigin(false);
    std::vector<std::string> expected;
    const int count = row.linearUnits ? f->GetLinearUnitCount() : f->GetAngularUnitCount();
    for (int i = 0; i < count; ++i)
      expected.push_back((row.linearUnits ? f->GetLinearUnit(i) : f->GetAngularUnit(i))->GetName());
    CGIS_GridIntervalPage page;
    EXPECT_EQ(RunPage(page, g.get(),
                      [&](UiUser& u) {
                        EXPECT_EQ(ListEntries(u, IDC_GIS_GI_UNITS), expected);
                        EXPECT_EQ(u.Selection(IDC_GIS_GI_UNITS), row.selected);
                        EXPECT_EQ(u.Text(IDC_GIS_GI_X_INTERVAL), "1000");
                        EXPECT_EQ(u.Text(IDC_GIS_GI_Y_INTERVAL), "500");
                        EXPECT_EQ(u.Checked(IDC_GIS_GI_SYSTEM_ORIGIN), 1);
                        EXPECT_FALSE(u.IsEnabled(IDC_GIS_GI_X_ORIGIN));
                        u.Choose(IDC_GIS_GI_UNITS, row.chosen);
                        // The numbers stay as they are.
                        EXPECT_EQ(u.Text(IDC_GIS_GI_X_INTERVAL), "1000");
                        u.Replace(IDC_GIS_GI_Y_INTERVAL, "2a5.5");
                        u.Ok();
                      }),
              IDOK);
    EXPECT_EQ(spacing->GetUnits(), row.chosen);
    EXPECT_DOUBLE_EQ(spacing->GetXIntervalSize(), 1000.0);
    EXPECT_DOUBLE_EQ(spacing->GetYIntervalSize(), 25.5);
    EXPECT_EQ(Prompts(), 0u);
  }
}

TEST_F(IntervalPage, IntervalsAndOriginsOutsideTheirRangesAreRefusedAndKeepThePage) {
  using Get = double (IGIS_GridSpacing::*)();
  const Get xInterval = &IGIS_GridSpacing::GetXIntervalSize, yInterval = &IGIS_GridSpacing::GetYIntervalSize,
            xOrigin = &IGIS_GridSpacing::GetXOrigin, yOrigin = &IGIS_GridSpacing::GetYOrigin;
  const struct {
    int edit;
    const char* typed;
    bool accepted;
    double stored;
    Get get;  // where the accepted value is stored
  } rows[] = {
      {IDC_GIS_GI_X_INTERVAL, "1000001", false, 0, nullptr},
      {IDC_GIS_GI_X_INTERVAL, "1000000", true, 1000000, xInterval},
      {IDC_GIS_GI_Y_INTERVAL, "0", true, 0, yInterval},
      {IDC_GIS_GI_X_ORIGIN, "-100000001", false, 0, nullptr},
      {IDC_GIS_GI_Y_ORIGIN, "-100000000", true, -1e8, yOrigin},
      {IDC_GIS_GI_Y_ORIGIN, "100000001", false, 0, nullptr},
      {IDC_GIS_GI_X_ORIGIN, "-12.5", true, -12.5, xOrigin},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.edit) + " " + row.typed);
    md::ui::ClearMessageBoxLog();
    Owned<IGIS_MapGrid> g(NewGridOnFrame(GIS_MAPGRID_MEASURE));
    IGIS_GridSpacing* spacing = SpacingOf(g.get());
    spacing->SetFixedOrigin(true);
    const std::vector<BYTE> before = md::test::Stored(spacing);
    CGIS_GridIntervalPage page;
    bool ended = false;
    RunPage(page, g.get(), [&](UiUser& u) {
      EXPECT_TRUE(u.IsEnabled(IDC_GIS_GI_X_ORIGIN));
      u.Replace(row.edit, row.typed);
      u.Ok();
      ended = u.Ended();
      if (!ended) u.Cancel();
    });
    EXPECT_EQ(ended, row.accepted);
    EXPECT_EQ(Prompts(), row.accepted ? 0u : 1u);
    if (row.accepted) {
      EXPECT_DOUBLE_EQ((spacing->*row.get)(), row.stored);
    } else {
      EXPECT_EQ(md::test::Stored(spacing), before);
    }
  }
}

TEST_F(IntervalPage, TheCoordinateSystemsOriginGreysTheOriginsButKeepsAndStoresThem) {
  Owned<IGIS_MapGrid> g(NewGridOnFrame(GIS_MAPGRID_GRATICULE));
  IGIS_GridSpacing* spacing = SpacingOf(g.get());
  spacing->SetFixedOrigin(true);
  spacing->SetXOrigin(100.0);
  spacing->SetYOrigin(-30.0);
  CGIS_GridIntervalPage page;
  EXPECT_EQ(RunPage(page, g.get(),
                    [&](UiUser& u) {
                      EXPECT_EQ(u.Checked(IDC_GIS_GI_OWN_ORIGIN), 1);
                      EXPECT_EQ(u.Text(IDC_GIS_GI_X_ORIGIN), "100");
                      u.Replace(IDC_GIS_GI_X_ORIGIN, "1x20");
                      EXPECT_EQ(u.Text(IDC_GIS_GI_X_ORIGIN), "120");
                      u.Click(IDC_GIS_GI_SYSTEM_ORIGIN);
                      EXPECT_FALSE(u.IsEnabled(IDC_GIS_GI_X_ORIGIN));
                      EXPECT_FALSE(u.IsEnabled(IDC_GIS_GI_Y_ORIGIN));
                      EXPECT_EQ(u.Text(IDC_GIS_GI_X_ORIGIN), "120");
                      u.Click(IDC_GIS_GI_OWN_ORIGIN);
                      EXPECT_TRUE(u.IsEnabled(IDC_GIS_GI_Y_ORIGIN));
                      u.Click(IDC_GIS_GI_SYSTEM_ORIGIN);
                      u.Ok();
                    }),
            IDOK);
  EXPECT_FALSE(spacing->GetFixedOrigin());
  EXPECT_DOUBLE_EQ(spacing->GetXOrigin(), 120.0);
  EXPECT_DOUBLE_EQ(spacing->GetYOrigin(), -30.0);
}

TEST_F(IntervalPage, GridsWithoutASpacingFrameMapOrProjectedReferenceAreRefusedWithARecord) {
  Owned<IGIS_MapGrid> loose(md::test::NewGrid(GIS_MAPGRID_GRATICULE));
  Owned<IGIS_MapGrid> index(md::test::NewGrid(GIS_MAPGRID_INDEX));
  index->SetMapElement(SheetFrame());
  Owned<IGIS_MapGrid> mapless(md::test::NewGrid(GIS_MAPGRID_MEASURE));
  auto* emptyFrame = new CGIS_MapElement(set_, nullptr);
  frames_.push_back(emptyFrame);
  mapless->SetMapElement(emptyFrame);
  Owned<IGIS_MapGrid> geographic(NewGridOnFrame(GIS_MAPGRID_MEASURE));
  dynamic_cast<IGIS_MeasureGrid*>(geographic.get())->SetSpatialReference(region_->GetSpatialReference());
  const struct {
    const char* name;
    IGIS_MapGrid* grid;
    const char* text;  // the record of the refusal (NULL: none)
  } rows[] = {
      {"no frame", loose.get(), "p_mapElement == NULL"},
      {"index grid", index.get(), nullptr},
      {"no map", mapless.get(), "p_map == NULL"},
      {"geographic reference", geographic.get(), "p_projectedCoordSys == NULL"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<BYTE> before = md::test::Stored(row.grid);
    CGIS_GridLinePage line;
    line.m_pMapGrid = row.grid;
    CGIS_GridIntervalPage interval;
    interval.m_pMapGrid = row.grid;
    CGIS_GridPropertySheet sheet;
    sheet.AddPage(&line);
    sheet.AddPage(&interval);
    LogMark log;
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      EXPECT_FALSE(u.Sheet()->SetActivePage(1));
      EXPECT_EQ(u.Sheet()->GetActiveIndex(), 0);
      u.Ok();
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    if (row.text != nullptr) {
      EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GridIntervalPage::OnSetActive", row.text));
    }
    EXPECT_EQ(md::test::Stored(row.grid), before);
    EXPECT_EQ(Prompts(), 0u);
  }
}

}  // namespace
