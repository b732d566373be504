// Shared pieces of the tests of the map frame's grids page and the grid
// wizard: the map sheet opened on its grids page, the wizard's active page,
// and a layout owner that keeps the elements handed to it.
#pragma once

#include <limits>
#include <string>
#include <vector>

#include "host/helmora/cgis_spatialreferencedlg.h"
#include "layout/graphicelement/grid/factory/dialogs/cgis_gridwizardsheet.h"
#include "layout/graphicelement/grid/grid/igis_mapgridvalues.h"
#include "layout/graphicelement/mapframe/dialogs/cgis_mapgridspage.h"
#include "tests/layout/graphicelement/mapframe/dialogs/mapdialogtest.h"
#include "tests/support/forwardingset.h"

namespace md::test {

// The grids page's index in the map frame's sheet.
constexpr int kGridsPage = 3;

// An owner over a real feature set that keeps what the layout was handed.
class CreationRecordingSet : public ForwardingSet {
 public:
  using ForwardingSet::ForwardingSet;
  void OnElementCreated(IGIS_Element* e) override { created.push_back(e); }
  std::vector<IGIS_Element*> created;
};

class GridWizardTest : public MapDialogTest {
 protected:
  using Scene = md::ui::ScriptedDriver::Scene;

  // A frame showing the test map.
  CGIS_MapElement* MappedFrame() {
    CGIS_MapElement* f = NewFrame();
    f->SetMap(map_);
    return f;
  }

  // A frame showing the test map on an owner that keeps what the layout
  // was handed; the caller releases it.
  CGIS_MapElement* RecordedFrame(CreationRecordingSet* owner) {
    auto* f = new CGIS_MapElement(owner, nullptr);
    f->SetRect(SGIS_Rect(1000, 9000, 11000, 4000));
    f->SetMap(map_);
    return f;
  }
  // A grid of the kind named `name` on the frame.
  static void AddNamedGrid(IGIS_MapElement* f, int kind, const char* name) {
    SGIS_MapGridValues v;
    v.nType = kind;
    v.szName = name;
    IGIS_MapGrid* g = GIS_CreateMapGridFromValues(&v);
    ASSERT_TRUE(f->GetMapGrids()->AddMapGrid(g));
    g->SetMapElement(f);
  }

  // A parameter of a projected reference's projection; NaN where it has none.
  static double Parameter(IGIS_SpatialReference* r, int key) {
    double value = std::numeric_limits<double>::quiet_NaN();
    r->GetProjectedCoordSys()->GetProjection()->GetParameter(key, &value);
    return value;
  }
  static double CentralMeridian(IGIS_SpatialReference* r) {
    return Parameter(r, GIS_PROJPARAM_CENTRAL_MERIDIAN);
  }

  // The grids page of the running map sheet.
  static CGIS_MapGridsPage* GridsPage(md::ui::UiUser& u) {
    return u.Sheet() != nullptr ? dynamic_cast<CGIS_MapGridsPage*>(u.Sheet()->GetPage(kGridsPage)) : nullptr;
  }
  // The template of the running wizard's page, and its text.
  static UINT ActivePage(md::ui::UiUser& u) {
    CPropertyPage* p = u.Sheet() != nullptr ? u.Sheet()->GetActivePage() : nullptr;
    return p != nullptr ? p->GetTemplateId() : 0;
  }
  static std::string ActiveText(md::ui::UiUser& u) {
    CPropertyPage* p = u.Sheet() != nullptr ? u.Sheet()->GetActivePage() : nullptr;
    return p != nullptr ? p->GetWindowText() : std::string();
  }
  // On the start page: a series-scale type (its button stays disabled in
  // the template; the test enables it through the window), the name, Next.
  static void ToSeriesPage(md::ui::UiUser& u, int button, const char* name = nullptr) {
    u.Control(button)->EnableWindow(TRUE);
    u.Click(button);
    if (name != nullptr) u.Replace(IDC_GIS_GW_NAME, name);
    u.Next();
  }
  static CGIS_GridWizardSheet* Wizard(md::ui::UiUser& u) {
    return dynamic_cast<CGIS_GridWizardSheet*>(u.Sheet());
  }

  // Opens the frame's sheet on its grids page, plays `onPage` there, and
  // plays `more` in the windows that opens (the wizard first). The sheet's
  // answer.
  static BOOL OnGridsPage(IGIS_MapElement* f, Scene onPage, std::vector<Scene> more = {}) {
    md::ui::ScriptedDriver driver;
    driver.Then([&onPage](md::ui::UiUser& u) {
      u.GoToPage(kGridsPage);
      onPage(u);
    });
    for (Scene& s : more) driver.Then(std::move(s));
    return f->OnOpenPropertyDlg(nullptr, TRUE);
  }
  // The spatial-reference chooser answered with its entry `entry`.
  static Scene ChooseReference(int entry) {
    return [entry](md::ui::UiUser& u) {
      u.Choose(IDC_GIS_SR_LIST, entry);
      u.Ok();
    };
  }
  // Clicks "新建格网" on the grids page; the wizard plays `wizard`.
  static Scene NewGrid(Scene after = [](md::ui::UiUser& u) { u.Ok(); }) {
    return [after](md::ui::UiUser& u) {
      u.Click(IDC_GIS_MG_NEW);
      after(u);
    };
  }
};

}  // namespace md::test
