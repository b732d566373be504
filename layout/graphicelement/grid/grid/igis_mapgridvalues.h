// What the grid wizard's pages hold when the user finishes it, as one plain
// record, and the one function that builds a grid from it. The grids page
// of a map frame fills the record from the wizard; a host may fill it
// itself and build the same grid without any window:
//
//   SGIS_MapGridValues values;                 // the pages' first values
//   values.nType = GIS_MAPGRID_GRATICULE;
//   values.szName = "经纬网";
//   values.graticule.parallel = {0, 5, 0.0};   // every 5′
//   values.graticule.meridian = {0, 5, 0.0};
//   IGIS_MapGrid* grid = GIS_CreateMapGridFromValues(&values);
//   grid->SetMapElement(frame);
//   if (!frame->GetMapGrids()->AddMapGrid(grid))  // the list owns it
//     grid->Release();                            // or it stays the caller's
//
// Symbols and the spatial reference are borrowed: the grid keeps copies. A
// NULL symbol leaves the grid (or its label) with the symbol it starts
// with. Lengths are page units of 0.01 mm.
#pragma once

#include "layout/graphicelement/grid/grid/igis_mapgrid.h"

class IGIS_SpatialReference;
class IGIS_Symbol;

// An angle typed as degrees, minutes and seconds.
struct SGIS_DMSValue {
  int nDegrees = 1;
  int nMinutes = 0;
  double dSeconds = 0.0;
};

// What a grid draws along its lines (GIS_GRIDLINE_*) and with what.
struct SGIS_GridLineValues {
  int nGridlineType = GIS_GRIDLINE_LINES;
  IGIS_Symbol* pLineSymbol = nullptr;
  IGIS_Symbol* pMarkSymbol = nullptr;
};

// The graticule's page: its lines and the intervals of its parallels and
// meridians (the graticule of fixed rows and columns takes its spacing from
// here too).
struct SGIS_GraticuleWizardValues {
  SGIS_GridLineValues lines;
  SGIS_DMSValue parallel;
  SGIS_DMSValue meridian;
};

// The page of the graticule of fixed rows and columns.
struct SGIS_FixedCountWizardValues {
  SGIS_GridLineValues lines{GIS_GRIDLINE_NONE, nullptr, nullptr};
  int nColumns = 5;
  int nRows = 5;
};

// The kilometre grid's page: its lines, its projected reference (NULL: the
// grid's own) and its intervals in the reference's linear unit.
struct SGIS_MeasuredWizardValues {
  SGIS_GridLineValues lines;
  IGIS_SpatialReference* pReference = nullptr;
  double dXInterval = 1000.0;
  double dYInterval = 1000.0;
};

// The axes-and-labels page: the labels' text symbol, the tick symbols, the
// sub-ticks per interval, and whether the grid shows its ticks and sub-ticks
// (an unchecked box hides them on all four sides).
struct SGIS_AxesWizardValues {
  IGIS_Symbol* pTextSymbol = nullptr;
  IGIS_Symbol* pTickSymbol = nullptr;
  IGIS_Symbol* pSubTickSymbol = nullptr;
  int nSubTickCount = 2;
  int bTicks = 1;
  int bSubTicks = 1;
};

// The index grid's two pages: its cells and lines, then its tabs (style 0
// background, 1 button, 2 continuous, 3 rounded), their fill and text, and
// the lettering (0: lettered columns and numbered rows, 1 the other way).
struct SGIS_IndexWizardValues {
  SGIS_GridLineValues lines{GIS_GRIDLINE_NONE, nullptr, nullptr};
  int nColumns = 5;
  int nRows = 5;
  int nTabStyle = 0;
  IGIS_Symbol* pTabBackground = nullptr;
  IGIS_Symbol* pTabText = nullptr;
  int nLettering = 0;
};

// The finish page: whether the grid's own border gets a symbol, and which.
struct SGIS_FinishWizardValues {
  int bBorder = 0;
  IGIS_Symbol* pBorderSymbol = nullptr;
};

struct SGIS_MapGridValues {
  int nType = GIS_MAPGRID_GRATICULE;  // GIS_MAPGRID_*: which pages count
  const char* szName = nullptr;       // NULL keeps the kind's own name
  SGIS_GraticuleWizardValues graticule;
  SGIS_FixedCountWizardValues fixedCount;
  SGIS_MeasuredWizardValues measured;
  SGIS_AxesWizardValues axes;
  SGIS_IndexWizardValues index;
  SGIS_FinishWizardValues finish;
};

extern "C" {
// A new grid of values->nType (graticule, kilometre grid, index grid or
// graticule of fixed rows and columns) with its spacing, label, ticks and
// border set from the values; the caller owns it (Release) and binds it to
// a frame. NULL for NULL values, another type, a value of the type's pages
// outside what the page allows (line types 0 to 2; cells, rows, columns and
// sub-ticks 1 to 20; tab styles 0 to 3; lettering 0 or 1; degrees 0 to 360,
// minutes and seconds 0 to 60; kilometre intervals 0 to 1e8, each with a
// record naming it), or when the grid cannot be made.
__attribute__((visibility("default"))) IGIS_MapGrid* GIS_CreateMapGridFromValues(
    const SGIS_MapGridValues* pValues);
}
