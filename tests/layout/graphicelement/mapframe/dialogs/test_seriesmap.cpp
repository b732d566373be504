// The grid wizard's series-map page played from the grids page: the sheet
// buttons, the reference the page makes from the frame's map (a projected
// map's copy, or the zone of a geographic map's centre) and the one the
// user picks, the way back to the start page, and the series-scale grids
// built at Finish with the frame's new borders.
#include <cmath>
#include <limits>
#include <string>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/border/igis_mapbordersimple.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/grid/measure/dialogs/projectedreference.h"
#include "tests/layout/graphicelement/mapframe/dialogs/gridwizardtest.h"
#include "tests/support/dialogscenes.h"
#include "tests/support/forwardingreference.h"
#include "tests/support/referencemap.h"

namespace {

using md::basilo::ReleasePtr;
using md::test::GridWizardTest;
using md::ui::UiUser;

using SeriesMapPage = GridWizardTest;

const char* const kSheetTexts[] = {
    "生成100万地形图",   "生成50万地形图",     "生成25万地形图",    "生成20万地形图",
    "生成10万地形图",    "生成5万地形图",      "生成2.5万地形图",   "生成1万地形图",
    "生成5000地形图",    "生成100万协同图",    "生成50万协同图",    "生成25万协同图",
    "生成20万协同图",    "生成10万军用地形图", "生成5万军用地形图", "生成2.5万军用地形图",
    "生成1万军用地形图", "生成5000军用地形图",
};

TEST_F(SeriesMapPage, EachSheetButtonHandsOnItsSheetType) {
  CGIS_MapElement* f = MappedFrame();
  OnGridsPage(f, NewGrid(), {[](UiUser& u) {
                ToSeriesPage(u, IDC_GIS_GW_SERIES_GRATICULE);
                ASSERT_EQ(ActivePage(u), static_cast<UINT>(IDD_GIS_GRID_WIZARD_SERIES));
                EXPECT_EQ(u.Sheet()->GetWizardButtons(), static_cast<DWORD>(PSWIZB_BACK | PSWIZB_FINISH));
                CGIS_GridWizardSeriesMap& page = Wizard(u)->GetSeriesPage();
                // Untouched: the 1:1,000,000 topographic sheet.
                EXPECT_EQ(page.m_nSheetType, 0);
                EXPECT_EQ(u.Checked(IDC_GIS_GSM_FIRST_SHEET), 1);
                for (int type = 17; type >= 0; --type) {
                  const int id = IDC_GIS_GSM_FIRST_SHEET + type;
                  EXPECT_EQ(u.Text(id), kSheetTexts[type]);
                  u.Click(id);
                  EXPECT_EQ(page.m_nSheetType, type) << kSheetTexts[type];
                  EXPECT_EQ(page.m_nSheetRadio, type);
                  EXPECT_EQ(u.Checked(id), 1);
                }
                u.Back();
                EXPECT_EQ(ActivePage(u), static_cast<UINT>(IDD_GIS_GRID_WIZARD_START));
                u.Cancel();
              }});
}

// A geographic reference whose unit factor is not usable.
class BadFactorReference final : public md::test::ForwardingReference {
 public:
  BadFactorReference(IGIS_SpatialReference* real, double factor)
      : ForwardingReference(real), factor_(factor) {}
  double GetUnitFactor() override { return factor_; }

 private:
  double factor_;
};

// A frame over a geographic map and the zone the page's reference is in.
struct ZoneRow {
  const char* name;
  int width;      // the frame's, 0.01 mm
  double x1, x2;  // the bound, degrees
  double factor;  // the map reference's unit factor
  double meridian;
  double zoneWidth;
  bool logged;  // no zone: the factory's reference and a record
};

const double kNaN = std::numeric_limits<double>::quiet_NaN();

const ZoneRow kZoneRows[] = {
    {"300 mm showing 1.5 degrees (20 cm a degree)", 30000, 118.25, 119.75, 1.0, 117.0, 6.0, false},
    {"300 mm showing 0.1 degree (300 cm a degree)", 30000, 118.95, 119.05, 1.0, 120.0, 3.0, false},
    {"200 cm a degree", 30000, 118.925, 119.075, 1.0, 117.0, 6.0, false},
    {"unit factor 0", 30000, 118.95, 119.05, 0.0, kNaN, kNaN, true},
};

TEST_F(SeriesMapPage, AGeographicMapsReferenceLiesInTheZoneOfTheFramesCentre) {
  IGIS_SpatialReferenceFactory* factory = GIS_GetSpatialReferenceFactoryObject();
  ReleasePtr<IGIS_SpatialReference> made(factory->CreateSpatialReference(3));
  for (const ZoneRow& row : kZoneRows) {
    SCOPED_TRACE(row.name);
    ReleasePtr<IGIS_SpatialReference> geographic(factory->CreateSpatialReference(1));
    BadFactorReference bad(geographic.get(), row.factor);
    // The map owns a reference of its own; the double's release ends nothing.
    md::test::ReferenceMap map(row.factor == 1.0 ? factory->CreateSpatialReference(1) : &bad, "地理");
    md::test::ForwardingSet owner(set_);
    auto* f = new CGIS_MapElement(&owner, nullptr);
    f->SetRect(SGIS_Rect(1000, 1000 + row.width, 21000, 1000));
    f->SetMap(&map);
    SGIS_DRect bound;
    bound.x1 = row.x1;
    bound.x2 = row.x2;
    // As tall as the frame's proportions, which the frame keeps.
    const double height = (row.x2 - row.x1) * 20000.0 / row.width;
    bound.y1 = 40.0 + height / 2;
    bound.y2 = 40.0 - height / 2;
    f->SetMapBound(bound);
    md::test::LogMark log;
    double meridian = 0.0, width = 0.0;
    OnGridsPage(f, NewGrid(), {[&](UiUser& u) {
                  ToSeriesPage(u, IDC_GIS_GW_SERIES_MEASURED);
                  ASSERT_EQ(ActivePage(u), static_cast<UINT>(IDD_GIS_GRID_WIZARD_SERIES));
                  IGIS_SpatialReference* r = Wizard(u)->GetSeriesPage().GetSpatialReference();
                  ASSERT_NE(r, nullptr);
                  EXPECT_EQ(r->GetKind(), GIS_SPATIALREFERENCE_PROJECTED);
                  meridian = CentralMeridian(r);
                  width = Parameter(r, GIS_PROJPARAM_ZONE_WIDTH);
                  u.Cancel();
                }});
    EXPECT_EQ(meridian, row.logged ? CentralMeridian(made.get()) : row.meridian);
    EXPECT_EQ(width, row.logged ? Parameter(made.get(), GIS_PROJPARAM_ZONE_WIDTH) : row.zoneWidth);
    EXPECT_EQ(log.Has(3, "CGIS_GridWizardSeriesMap::OnSetActive"), row.logged);
    f->Release();
  }
}

TEST_F(SeriesMapPage, AProjectedMapsCopyAProjectedChoiceReplacesAndItSurvivesBackAndNext) {
  IGIS_SpatialReferenceFactory* factory = GIS_GetSpatialReferenceFactoryObject();
  ReleasePtr<IGIS_SpatialReference> zone20(
      factory->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 6, 20, TRUE));
  const int zone20Entry = factory->FindPredefinedReference(zone20.get());
  ASSERT_GE(zone20Entry, 0);
  CGIS_MapElement* f = MappedFrame();
  IGIS_SpatialReference* mapReference = map_->GetSpatialReference();
  OnGridsPage(f, NewGrid(),
              {[&](UiUser& u) {
                 ToSeriesPage(u, IDC_GIS_GW_SERIES_MEASURED);
                 CGIS_GridWizardSeriesMap& page = Wizard(u)->GetSeriesPage();
                 IGIS_SpatialReference* r = page.GetSpatialReference();
                 ASSERT_NE(r, nullptr);
                 EXPECT_NE(r, mapReference);
                 EXPECT_STREQ(r->GetName(), mapReference->GetName());
                 EXPECT_EQ(CentralMeridian(r), CentralMeridian(mapReference));
                 u.Click(IDC_GIS_GSM_REFERENCE);  // the chooser cancelled: nothing
                 EXPECT_STREQ(r->GetName(), mapReference->GetName());
                 u.Click(IDC_GIS_GSM_REFERENCE);  // a projected choice: taken
                 EXPECT_EQ(page.GetSpatialReference(), r);
                 EXPECT_STREQ(r->GetName(), zone20->GetName());
                 u.Back();
                 u.Next();
                 ASSERT_EQ(ActivePage(u), static_cast<UINT>(IDD_GIS_GRID_WIZARD_SERIES));
                 EXPECT_EQ(page.GetSpatialReference(), r);
                 EXPECT_STREQ(r->GetName(), zone20->GetName());
                 EXPECT_EQ(CentralMeridian(r), 117.0);
                 u.Cancel();
               },
               [](UiUser& u) { u.Cancel(); }, ChooseReference(zone20Entry)});
}

// A host whose spatial-reference command answers with a field that holds no
// reference.
class EmptyAnswerHost final : public IGIS_MainObject {
 public:
  void Initialize() override {}
  BOOL RegisterComponent(const char*) override { return FALSE; }
  void Start() override {}
  void SetMap(IGIS_Map*) override {}
  IGIS_Map* GetMap() override { return nullptr; }
  void SetDisplayHandle(HWND) override {}
  HWND GetDisplayHandle() override { return nullptr; }
  BOOL DrawMap(HDC, BOOL, int, int, int, int) override { return FALSE; }
  IGIS_MapView* GetMapView() override { return nullptr; }
  BOOL ExecuteCommand(const char*, IGIS_PropertySet*, IGIS_PropertySet* output) override {
    return output->SetObject(GIS_COMMAND_KEY_SPATIALREFERENCE, nullptr, 1);
  }
  void Release() override {}
  int GetComponentCount() override { return 0; }
  const char* GetComponent(int) override { return nullptr; }
};

TEST(SeriesMapReference, AnAnswerWithoutAReferenceIsRecordedUnderTheCallersName) {
  EmptyAnswerHost host;
  ReleasePtr<IGIS_SpatialReference> current(
      GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(3));
  md::test::LogMark log;
  EXPECT_EQ(md::layout::measure::ChooseProjectedReference(&host, current.get()), nullptr);
  EXPECT_FALSE(log.Has(3, "CGIS_GridWizardSeriesMap::OnSeriesmapgridSpatialreference"));
  EXPECT_EQ(md::layout::measure::ChooseProjectedReference(
                &host, current.get(), "CGIS_GridWizardSeriesMap::OnSeriesmapgridSpatialreference"),
            nullptr);
  EXPECT_TRUE(
      log.Has(3, "CGIS_GridWizardSeriesMap::OnSeriesmapgridSpatialreference", "pSpatialReference == NULL"));
}

// A series-scale type finished on the 1:50,000 topographic sheet: the grid
// it adds and the spacing that tells the preset.
struct FinishRow {
  const char* name;
  int button;
  int kind;
  double interval;
};

const FinishRow kFinishRows[] = {
    {"系列经纬网", IDC_GIS_GW_SERIES_GRATICULE, GIS_MAPGRID_GRATICULE, 1.0 / 60.0},
    {"系列方里网", IDC_GIS_GW_SERIES_MEASURED, GIS_MAPGRID_MEASURE, 5000.0},
};

// The map sheet's Cancel puts the frame back byte for byte; its OK keeps the
// grid Finish added and the frame's new borders.
TEST_F(SeriesMapPage, FinishAddsTheSheetsGridUnderTheStartPagesNameWithTheFramesNewBorders) {
  for (const FinishRow& row : kFinishRows) {
    SCOPED_TRACE(row.name);
    CGIS_MapElement* f = MappedFrame();
    AddNamedGrid(f, GIS_MAPGRID_INDEX, "索引格网");
    const std::vector<BYTE> before = StoredForm(f);
    OnGridsPage(f, NewGrid([](UiUser& u) { u.Cancel(); }),
                {[&](UiUser& u) {
                   ToSeriesPage(u, row.button, row.name);
                   u.Click(IDC_GIS_GSM_FIRST_SHEET + 16);
                   u.Click(IDC_GIS_GSM_REFERENCE);
                   u.Finish();
                 },
                 ChooseReference(1)});
    EXPECT_EQ(StoredForm(f), before);
    bool modified = false;
    int listed = 0;
    OnGridsPage(f, NewGrid([&](UiUser& u) {
                  modified = GridsPage(u)->IsModified();
                  listed = static_cast<int>(u.Control(IDC_GIS_MG_LIST)->SendMessage(LB_GETCOUNT));
                  u.Ok();
                }),
                {[&](UiUser& u) {
                  ToSeriesPage(u, row.button, row.name);
                  u.Click(IDC_GIS_GSM_FIRST_SHEET + 5);  // "生成5万地形图"
                  u.Finish();
                }});
    EXPECT_TRUE(modified);
    EXPECT_EQ(listed, 2);
    ASSERT_EQ(f->GetMapGrids()->GetCount(), 2);
    IGIS_MapGrid* g = f->GetMapGrids()->GetMapGrid(1);
    EXPECT_STREQ(g->GetName(), row.name);
    EXPECT_EQ(g->GetType(), row.kind);
    EXPECT_EQ(g->GetMapElement(), f);
    IGIS_GridSpacing* spacing = row.kind == GIS_MAPGRID_GRATICULE
                                    ? dynamic_cast<IGIS_GraticuleGrid*>(g)->GetGridSpacing()
                                    : dynamic_cast<IGIS_MeasureGrid*>(g)->GetGridSpacing();
    EXPECT_DOUBLE_EQ(spacing->GetXIntervalSize(), row.interval);
    if (row.kind == GIS_MAPGRID_MEASURE) {
      EXPECT_STREQ(dynamic_cast<IGIS_MeasureGrid*>(g)->GetSpatialReference()->GetName(),
                   map_->GetSpatialReference()->GetName());
    }
    auto* inner = dynamic_cast<IGIS_MapBorderSimple*>(f->GetInnerMapBorder());
    auto* outer = dynamic_cast<IGIS_MapBorderSimple*>(f->GetOuterMapBorder());
    ASSERT_NE(inner, nullptr);
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(inner->GetLeftOffset(), 0);
    EXPECT_EQ(outer->GetLeftOffset(), 900);
    EXPECT_EQ(outer->GetLineSymbolPtr()->GetStyleCode(), 3332);
  }
}

}  // namespace
