// The measured grid's page "系统": the choice worked out from the map and
// the grid, the description of the grid's reference, and "属性..." running
// the host's spatial-reference command (only a projected answer taken; Cancel
// of the sheet puts the old reference back).
#include <string>

#include "host/helmora/cgis_spatialreferencedlg.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/dialogs/gis_spatialreferenceinfo.h"
#include "layout/graphicelement/grid/measure/dialogs/cgis_gridsystempage.h"
#include "tests/layout/graphicelement/grid/grid/dialogs/griddialogtest.h"
#include "tests/layout/graphicelement/grid/measure/measuretest.h"

namespace {

using md::basilo::ReleasePtr;
using md::test::LogMark;
using md::test::Owned;
using md::ui::ScriptedDriver;
using md::ui::UiUser;

constexpr const char* kZone39 = "CGCS2000 / 3度带 39带 中央经线117E";
constexpr const char* kNotProjected = "选择的空间参考关系不是投影的,请重新选择一个投影空间参考关系";

class SystemPage : public md::test::GridDialogTestOn<md::test::MeasurePage> {
 protected:
  IGIS_MeasureGrid* NewGridOn(IGIS_MapElement* frame) {
    auto* grid = dynamic_cast<IGIS_MeasureGrid*>(md::test::NewGrid(GIS_MAPGRID_MEASURE));
    grid->SetMapElement(frame);
    return grid;
  }
  CGIS_MapElement* RegionFrame() {
    return Frame(region_, SGIS_DRect(116.0, 40.0, 118.0, 39.0), 0.0001, SGIS_Point(2000, 2000));
  }
  static std::string Description(IGIS_SpatialReference* reference) {
    std::string text;
    GIS_FormatSpatialReferenceInfo(reference, &text);
    return text;
  }
  // The chooser's entry of a Gauss-Kruger 6-degree zone on CGCS2000, or of
  // the CGCS2000 geographic reference.
  static int Entry(bool projected) {
    IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
    ReleasePtr<IGIS_SpatialReference> r(projected
                                            ? f->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 6, 20, FALSE)
                                            : f->CreateSpatialReference(1));
    return f->FindPredefinedReference(r.get());
  }
  // The chooser's scene: the entry confirmed, after checking what it was given.
  static md::ui::ScriptedDriver::Scene Answer(int entry, const std::string& current) {
    return [entry, current](UiUser& u) {
      EXPECT_EQ(u.Text(IDC_GIS_SR_CURRENT), "当前：" + current);
      u.Choose(IDC_GIS_SR_LIST, entry);
      u.Ok();
    };
  }
};

TEST_F(SystemPage, TheChoiceFollowsTheMapAndTheDescriptionShowsTheGridsReference) {
  auto* mapless = new CGIS_MapElement(set_, nullptr);
  frames_.push_back(mapless);
  const struct {
    const char* name;
    IGIS_MapElement* frame;
    bool frameSystemEnabled;
    const char* record;  // a level-3 record of the activation (NULL: none)
  } rows[] = {
      {"projected map", SheetFrame(), true, nullptr},
      {"geographic map", RegionFrame(), false, nullptr},
      {"no frame", nullptr, false, "p_mapElement == NULL"},
      {"a frame without a map", mapless, false, "p_map == NULL"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Owned<IGIS_MeasureGrid> g(NewGridOn(row.frame));
    LogMark log;
    CGIS_GridSystemPage page;
    EXPECT_EQ(
        RunPage(page, g.get(),
                [&](UiUser& u) {
                  // The grid's reference is its own copy, never the map's.
                  EXPECT_EQ(u.Checked(IDC_GIS_GS_OTHER_SYSTEM), 1);
                  EXPECT_EQ(u.IsEnabled(IDC_GIS_GS_FRAME_SYSTEM), row.frameSystemEnabled);
                  EXPECT_TRUE(u.IsEnabled(IDC_GIS_GS_PROPERTIES));
                  EXPECT_EQ(u.Text(IDC_GIS_GS_DESCRIPTION), Description(g->GetSpatialReference()));
                  EXPECT_EQ(
                      u.Text(IDC_GIS_GS_DESCRIPTION).rfind(std::string("空间参考系名称：") + kZone39, 0), 0u);
                  if (row.frameSystemEnabled) {
                    u.Click(IDC_GIS_GS_FRAME_SYSTEM);
                    EXPECT_FALSE(u.IsEnabled(IDC_GIS_GS_PROPERTIES));
                    u.Click(IDC_GIS_GS_OTHER_SYSTEM);
                    EXPECT_TRUE(u.IsEnabled(IDC_GIS_GS_PROPERTIES));
                    u.Click(IDC_GIS_GS_FRAME_SYSTEM);
                  }
                  u.Ok();
                }),
        IDOK);
    EXPECT_STREQ(g->GetSpatialReference()->GetName(), kZone39);
    if (row.record != nullptr) {
      EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GridSystemPage::OnSetActive", row.record));
    } else {
      EXPECT_FALSE(log.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GridSystemPage::OnSetActive"));
    }
  }
}

TEST_F(SystemPage, OnlyAProjectedAnswerBecomesTheGridsReferenceAndCancelPutsTheOldOneBack) {
  const std::string zone20 = GIS_GetSpatialReferenceFactoryObject()->GetPredefinedReferenceName(Entry(true));
  const struct {
    const char* name;
    int entry;  // the chooser's entry (-1: the chooser is cancelled)
    bool confirm;
    bool taken;
  } rows[] = {
      {"projected, OK", Entry(true), true, true},
      {"projected, then Cancel", Entry(true), false, false},
      {"geographic", Entry(false), true, false},
      {"chooser cancelled", -1, true, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    md::ui::ClearMessageBoxLog();
    Owned<IGIS_MeasureGrid> g(NewGridOn(SheetFrame()));
    const std::vector<BYTE> before = md::test::Stored(g.get());
    const std::string oldDescription = Description(g->GetSpatialReference());
    std::string shown;
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      u.GoToPage(3);
      u.Click(IDC_GIS_GS_PROPERTIES);
      shown = u.Text(IDC_GIS_GS_DESCRIPTION);
      row.confirm ? u.Ok() : u.Cancel();
    });
    if (row.entry >= 0) {
      driver.Then(Answer(row.entry, kZone39));
    } else {
      driver.Then([](UiUser& u) { u.Cancel(); });
    }
    EXPECT_EQ(g->OnOpenPropertyDlg(), row.confirm);
    EXPECT_EQ(driver.ScenesLeft(), 0u);
    const bool geographic = row.entry == Entry(false);
    ASSERT_EQ(md::ui::MessageBoxLog().size(), geographic ? 1u : 0u);
    if (geographic) {
      EXPECT_EQ(md::ui::MessageBoxLog()[0].text, kNotProjected);
    }
    ReleasePtr<IGIS_SpatialReference> answer(
        GIS_GetSpatialReferenceFactoryObject()->CreateGaussKrugerReference(GIS_DATUM_CGCS2000, 6, 20, FALSE));
    EXPECT_EQ(shown, row.entry == Entry(true) ? Description(answer.get()) : oldDescription);
    EXPECT_EQ(g->GetSpatialReference()->GetName(), row.taken ? zone20 : std::string(kZone39));
    if (!row.taken) {
      EXPECT_EQ(md::test::Stored(g.get()), before);
    }
  }
}

TEST_F(SystemPage, ALongDescriptionNeverKeepsTheUserOnThePage) {
  IGIS_SpatialReferenceFactory* f = GIS_GetSpatialReferenceFactoryObject();
  ReleasePtr<IGIS_SpatialReference> zone39(f->CreateSpatialReference(2));
  IGIS_ProjectedCoordSys* system = zone39->GetProjectedCoordSys();
  const std::string name(4000, 'x');
  ReleasePtr<IGIS_SpatialReference> longName(f->CreateGeographicReference(
      name.c_str(), "长", system->GetProjection(), system->GetGeographicCoordSys(), nullptr));
  ASSERT_NE(longName, nullptr);
  Owned<IGIS_MeasureGrid> g(NewGridOn(SheetFrame()));
  g->SetSpatialReference(longName.get());
  CGIS_GridSystemPage page;
  bool ended = false;
  RunPage(page, g.get(), [&](UiUser& u) {
    EXPECT_GT(u.Text(IDC_GIS_GS_DESCRIPTION).size(), 4000u);
    u.Ok();
    ended = u.Ended();
    if (!ended) u.Cancel();
  });
  EXPECT_TRUE(ended);
  EXPECT_EQ(Prompts(), 0u);
}

TEST_F(SystemPage, AGridOfAnotherKindIsRefusedWithARecord) {
  Owned<IGIS_MapGrid> graticule(md::test::NewGrid(GIS_MAPGRID_GRATICULE));
  CGIS_GridSystemPage page;
  LogMark log;
  EXPECT_EQ(RunPage(page, graticule.get(), [](UiUser& u) { u.Cancel(); }), IDCANCEL);
  EXPECT_TRUE(log.Has(GIS_LOG_LEVEL_CHECK, "CGIS_GridSystemPage::OnSetActive", "p_measureGrid == NULL"));
}

TEST_F(SystemPage, Snapshot) {
  Owned<IGIS_MeasureGrid> g(NewGridOn(SheetFrame()));
  CGIS_GridSystemPage page;
  const std::string path = SnapshotPath("grid-system");
  EXPECT_EQ(RunPage(page, g.get(), md::test::SnapshotThenCancel(path)), IDCANCEL);
  EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
