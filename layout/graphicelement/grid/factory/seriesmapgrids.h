// The series-scale presets of the grid wizard: for one of eighteen standard
// map sheets, a complete graticule (degrees-minutes-seconds labels, ticks,
// hatches) or kilometre grid (mixed-font labels, in a projected reference),
// and the simple inner and outer map borders the sheet's frame carries.
//
// Sheet types: 0 to 8 the topographic series at 1:1,000,000, 1:500,000,
// 1:250,000, 1:200,000, 1:100,000, 1:50,000, 1:25,000, 1:10,000 and
// 1:5,000; 9 to 12 the collaborative series at 1:1,000,000 to 1:200,000;
// 13 to 17 the military topographic series at 1:100,000 to 1:5,000.
//
// A preset is made whole before the frame is touched: the frame takes its
// new borders only when the grid is complete, so a preset that cannot be
// made changes nothing.
//
//   IGIS_MapGrid* grid = CreateSeriesGraticule(5, frame);   // 1:50,000
//   if (grid != nullptr) frame->GetMapGrids()->AddMapGrid(grid);
#pragma once

#include "layout/graphicelement/grid/border/igis_mapborder.h"

class IGIS_MapElement;
class IGIS_MapGrid;
class IGIS_SpatialReference;

namespace md::layout::grid {

constexpr int kSeriesSheetCount = 18;

// The graticule of the sheet type, the frame's inner border replaced (and
// its outer border, but for the 1:500,000 collaborative sheet, which keeps
// the frame's); the caller owns the grid. A type outside 0 to 17 gives the
// graticule as its kind makes it and leaves the frame's borders. NULL, the
// frame untouched, without a frame or when a part cannot be made (the
// borders come from pBorders).
IGIS_MapGrid* CreateSeriesGraticule(int nSheetType, IGIS_MapElement* pFrame,
                                    IGIS_MapBorderFactory* pBorders = GIS_GetMapBorderFactoryObject());

// The kilometre grid of the sheet type in the reference (NULL: the grid's
// own), both of the frame's borders replaced; the caller owns the grid. NULL,
// the frame untouched, for a type outside 0 to 17, without a frame or when a
// part cannot be made.
IGIS_MapGrid* CreateSeriesMeasuredGrid(int nSheetType, IGIS_SpatialReference* pReference,
                                       IGIS_MapElement* pFrame,
                                       IGIS_MapBorderFactory* pBorders = GIS_GetMapBorderFactoryObject());

}  // namespace md::layout::grid
