#include "tools/demo/wizardgrids.h"

#include "host/helmora/igis_map.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_mapgridvalues.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "tools/demo/mapsheet.h"

namespace md::demo {

bool AddWizardGrids(const MapDocument& doc, IGIS_MapElement* frame) {
  if (frame == nullptr || frame->GetMapGrids() == nullptr || !doc.ok()) return false;
  SGIS_MapGridValues graticule;
  graticule.szName = kWizardGraticuleName;
  graticule.graticule.parallel = {0, 5, 0.0};
  graticule.graticule.meridian = {0, 5, 0.0};
  SGIS_MapGridValues kilometre;
  kilometre.nType = GIS_MAPGRID_MEASURE;
  kilometre.szName = kWizardKilometreName;
  kilometre.measured.lines.nGridlineType = GIS_GRIDLINE_NONE;
  kilometre.measured.pReference = doc.sheet()->GetSpatialReference();
  kilometre.measured.dXInterval = 1000.0;
  kilometre.measured.dYInterval = 1000.0;
  for (const SGIS_MapGridValues* values : {&graticule, &kilometre}) {
    IGIS_MapGrid* grid = GIS_CreateMapGridFromValues(values);
    if (grid == nullptr) return false;
    if (!frame->GetMapGrids()->AddMapGrid(grid)) {
      grid->Release();
      return false;
    }
    grid->SetMapElement(frame);
  }
  return true;
}

}  // namespace md::demo
