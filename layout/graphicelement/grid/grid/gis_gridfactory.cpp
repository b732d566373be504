// The grid kinds the library makes by their codes.
#include <new>

#include "layout/graphicelement/grid/grid/igis_mapgrid.h"

namespace {

using GridMaker = IGIS_MapGrid* (*)();

struct KindRow {
  int nType;
  GridMaker make;  // NULL: the kind is known but not part of the library yet
};

// A stored grid of a kind without its class is skipped by the grid list.
const KindRow kKinds[] = {
    {GIS_MAPGRID_GRATICULE, nullptr},
    {GIS_MAPGRID_MEASURE, nullptr},
    {GIS_MAPGRID_INDEX, nullptr},
    {GIS_MAPGRID_GRATICULE_MN, nullptr},
};

}  // namespace

extern "C" __attribute__((visibility("default"))) IGIS_MapGrid* GIS_CreateMapGridPropertyObject(int nType) {
  for (const KindRow& row : kKinds) {
    if (row.nType == nType) return row.make != nullptr ? row.make() : nullptr;
  }
  return nullptr;
}
