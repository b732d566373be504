// The series-scale presets of the grids page: the grid of the sheet chosen
// on the wizard's series-map page, the frame's borders replaced once the
// grid is complete.
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/factory/dialogs/cgis_gridwizardsheet.h"
#include "layout/graphicelement/grid/factory/seriesmapgrids.h"
#include "layout/graphicelement/mapframe/dialogs/cgis_mapgridspage.h"

IGIS_MapGrid* CGIS_MapGridsPage::CreateDefaultGraticuleGrid(CGIS_GridWizardSheet& sheet) {
  return md::layout::grid::CreateSeriesGraticule(sheet.GetSeriesPage().m_nSheetType, m_pMapElement);
}

IGIS_MapGrid* CGIS_MapGridsPage::CreateDefaultMeasuredGrid(CGIS_GridWizardSheet& sheet) {
  const CGIS_GridWizardSeriesMap& page = sheet.GetSeriesPage();
  return md::layout::grid::CreateSeriesMeasuredGrid(page.m_nSheetType, page.GetSpatialReference(),
                                                    m_pMapElement);
}
