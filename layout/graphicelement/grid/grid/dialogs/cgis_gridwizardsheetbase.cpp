#include "layout/graphicelement/grid/grid/dialogs/cgis_gridwizardsheetbase.h"

CGIS_GridWizardSheetBase::CGIS_GridWizardSheetBase() : CPropertySheet(IDS_GIS_GRID_WIZARD) {
  SetWizardMode();
}
