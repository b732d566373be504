// The series-scale presets of the grids page. The wizard holds no series-map
// page yet (its series-scale types stay disabled on the start page), so
// there is no sheet type to build a preset for: no grid.
#include "layout/graphicelement/mapframe/dialogs/cgis_mapgridspage.h"

IGIS_MapGrid* CGIS_MapGridsPage::CreateDefaultGraticuleGrid(CGIS_GridWizardSheet& /*sheet*/) {
  return nullptr;
}

IGIS_MapGrid* CGIS_MapGridsPage::CreateDefaultMeasuredGrid(CGIS_GridWizardSheet& /*sheet*/) {
  return nullptr;
}
