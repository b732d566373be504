// Users of a map frame's grids page: the one who changes every grid (a new
// grid through the wizard (the next scene), the first grid hidden, its own
// sheet opened (the scene after), the second grid removed), and the one who
// makes two new grids.
#pragma once

#include <functional>

#include "layout/graphicelement/mapframe/dialogs/cgis_mapgridspage.h"
#include "platform/ui/driver.h"

namespace md::test {

// On the grids page: every change, then `end` (the sheet's OK or Cancel).
inline md::ui::ScriptedDriver::Scene ChangeEveryGrid(std::function<void(md::ui::UiUser&)> end) {
  return [end](md::ui::UiUser& u) {
    u.Click(IDC_GIS_MG_NEW);
    u.Choose(IDC_GIS_MG_LIST, 0);
    u.Click(IDC_GIS_MG_VISIBLE);
    u.Click(IDC_GIS_MG_PROPERTY);
    u.Choose(IDC_GIS_MG_LIST, 1);
    u.Click(IDC_GIS_MG_REMOVE);
    end(u);
  };
}

// The frame's sheet opened on its grids page (its fourth): two new grids
// through the wizard (the next two scenes), then OK.
inline md::ui::ScriptedDriver::Scene TwoNewGridsThenOk() {
  return [](md::ui::UiUser& u) {
    u.GoToPage(3);
    u.Click(IDC_GIS_MG_NEW);
    u.Click(IDC_GIS_MG_NEW);
    u.Ok();
  };
}

}  // namespace md::test
