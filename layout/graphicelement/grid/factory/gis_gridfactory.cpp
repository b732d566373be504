// The grid kinds the library makes by their codes, and grids rebuilt from
// their stored form.
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/grid/graticule/cgis_graticulegrid.h"
#include "layout/graphicelement/grid/graticulemn/cgis_graticulemngrid.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/grid/index/cgis_indexgrid.h"
#include "layout/graphicelement/grid/measure/cgis_measuregrid.h"

namespace {

using md::layout::grid::MapGridValues;
using GridMaker = IGIS_MapGrid* (*)(MapGridValues** ppValues);

// A new grid of the class with its defaults, and *ppValues (when asked for)
// its common values; NULL when memory runs out.
template <class TGrid>
IGIS_MapGrid* MakeGrid(MapGridValues** ppValues) {
  TGrid* pGrid = md::basilo::MakeOrNull<TGrid>("GIS_CreateMapGridPropertyObject");
  if (ppValues != nullptr) *ppValues = pGrid;
  return pGrid;
}

struct KindRow {
  int nType;
  GridMaker make;  // NULL: the kind is known but not part of the library yet
};

// One row per kind code; a kind's row names its maker, MakeGrid<its class>.
// A stored grid of a kind without its class is kept as stored by the grid list.
const KindRow kKinds[] = {
    {GIS_MAPGRID_GRATICULE, &MakeGrid<CGIS_GraticuleGrid>},
    {GIS_MAPGRID_MEASURE, &MakeGrid<CGIS_MeasureGrid>},
    {GIS_MAPGRID_INDEX, &MakeGrid<CGIS_IndexGrid>},
    {GIS_MAPGRID_GRATICULE_MN, &MakeGrid<CGIS_GraticuleMNGrid>},
};

}  // namespace

IGIS_MapGrid* md::layout::grid::CreateMapGridWithValues(int nType, MapGridValues** ppValues) {
  if (ppValues != nullptr) *ppValues = nullptr;
  for (const KindRow& row : kKinds) {
    if (row.nType == nType) return row.make != nullptr ? row.make(ppValues) : nullptr;
  }
  return nullptr;
}

extern "C" __attribute__((visibility("default"))) IGIS_MapGrid* GIS_CreateMapGridPropertyObject(int nType) {
  return md::layout::grid::CreateMapGridWithValues(nType, nullptr);
}

extern "C" __attribute__((visibility("default"))) IGIS_MapGrid* GIS_CreateMapGridPropertyObjectFromBuffer(
    IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) return nullptr;
  // The set is read once: for the kind here and for the grid's keys.
  const md::layout::StoredSetView set(pBuffer);
  int nType = 0;
  if (set.Damaged() || !set.Read("GridType", &nType)) return nullptr;
  IGIS_MapGrid* pGrid = nullptr;
  {
    // Made without the defaults the stored grid replaces.
    const md::layout::grid::MapGridValues::BareForRead bare;
    pGrid = GIS_CreateMapGridPropertyObject(nType);
  }
  if (pGrid == nullptr) return nullptr;
  if (auto* pValues = dynamic_cast<md::layout::grid::MapGridValues*>(pGrid)) {
    pValues->OpenStored(set, pBuffer);
    pValues->FinishRead();
  } else {
    pGrid->Open(pBuffer);
  }
  return pGrid;
}
