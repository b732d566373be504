// A grid built from the values of the grid wizard's pages, one table of
// steps per kind: the grid, its lines, spacing, ticks, label and border.
#include <cmath>

#include "host/basilo/igis_log.h"
#include "host/basilo/makeornull.h"
#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/grid/cgis_gridspacing.h"
#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_graticulemngrid.h"
#include "layout/graphicelement/grid/grid/igis_gridlabel.h"
#include "layout/graphicelement/grid/grid/igis_indexgrid.h"
#include "layout/graphicelement/grid/grid/igis_indexgridtabstyle.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"
#include "layout/graphicelement/grid/grid/igis_mapgridvalues.h"
#include "layout/graphicelement/grid/grid/igis_measuregrid.h"
#include "layout/graphicelement/grid/grid/mapgridbordermaker.h"

namespace {

using md::basilo::ReleasePtr;

constexpr const char* kMethod = "GIS_CreateMapGridFromValues";
// The spacing units the wizard's grids are laid out in: degrees (the angular
// list's entry 1) and metres (the linear list's entry 0).
constexpr int kDegreeUnit = 1;
constexpr int kMetreUnit = 0;
// The depth of the index grid's tabs.
constexpr int kTabThickness = 200;

double Degrees(const SGIS_DMSValue& v) { return v.nDegrees + v.nMinutes / 60.0 + v.dSeconds / 3600.0; }

void SetLines(IGIS_MapGrid* pGrid, const SGIS_GridLineValues& lines) {
  pGrid->SetGridlineType(lines.nGridlineType);
  if (lines.pLineSymbol != nullptr) pGrid->SetLineSymbol(lines.pLineSymbol);
  if (lines.pMarkSymbol != nullptr) pGrid->SetMarkSymbol(lines.pMarkSymbol);
}

// A spacing of the unit list and unit, origin not fixed, with the two
// intervals; the grid setter keeps a copy.
ReleasePtr<IGIS_GridSpacing> NewSpacing(int nUnitsType, int nUnits, double dX, double dY) {
  ReleasePtr<IGIS_GridSpacing> spacing(md::basilo::MakeOrNull<CGIS_GridSpacing>(kMethod));
  if (!spacing) return spacing;
  spacing->SetUnitsType(nUnitsType);
  spacing->SetUnits(nUnits);
  spacing->SetFixedOrigin(false);
  spacing->SetXIntervalSize(dX);
  spacing->SetYIntervalSize(dY);
  return spacing;
}

// The meridians' interval in X, the parallels' in Y, in degrees.
ReleasePtr<IGIS_GridSpacing> DegreeSpacing(const SGIS_GraticuleWizardValues& v) {
  return NewSpacing(GIS_GRIDSPACING_UNITS_ANGULAR, kDegreeUnit, Degrees(v.meridian), Degrees(v.parallel));
}

// The axes page: tick symbols and count, and the ticks an unchecked box hides.
void SetTicks(IGIS_MapGrid* pGrid, const SGIS_AxesWizardValues& axes) {
  if (axes.pSubTickSymbol != nullptr) pGrid->SetSubTickLineSymbol(axes.pSubTickSymbol);
  if (axes.pTickSymbol != nullptr) pGrid->SetTickLineSymbol(axes.pTickSymbol);
  pGrid->SetSubTickCount(axes.nSubTickCount);
  if (axes.bTicks == 0) pGrid->SetTickVisible(false, false, false, false);
  if (axes.bSubTicks == 0) pGrid->SetSubTickVisible(false, false, false, false);
}

// A new label of the type with the text symbol; NULL when the library makes
// none of that type.
ReleasePtr<IGIS_GridLabel> NewLabel(int nType, IGIS_Symbol* pText) {
  ReleasePtr<IGIS_GridLabel> label(GIS_CreateMapGridLabelFormatObject(nType));
  if (label && pText != nullptr) label->SetTextSymbolPtr(pText);
  return label;
}

// A degrees-minutes-seconds label that writes minutes when either interval
// has minutes or seconds, and seconds when either has seconds, so that every
// line's label names its own position (32°30′ is not written as 32°).
void SetDmsLabel(IGIS_MapGrid* pGrid, const SGIS_GraticuleWizardValues& v, bool bWholeDegrees,
                 IGIS_Symbol* pText) {
  ReleasePtr<IGIS_GridLabel> label = NewLabel(GIS_GRIDLABEL_DMS, pText);
  auto* pDms = dynamic_cast<IGIS_DMSGridLabel*>(label.get());
  if (pDms == nullptr) return;
  const bool bSeconds = !bWholeDegrees && (v.parallel.dSeconds > 0.0 || v.meridian.dSeconds > 0.0);
  const bool bMinutes = !bWholeDegrees && (bSeconds || v.parallel.nMinutes > 0 || v.meridian.nMinutes > 0);
  pDms->SetShowMinutes(bMinutes);
  pDms->SetShowSeconds(bSeconds);
  pGrid->SetLabelFormat(pDms);
}

bool BuildGraticule(IGIS_MapGrid* pGrid, const SGIS_MapGridValues& v) {
  auto* pGraticule = dynamic_cast<IGIS_GraticuleGrid*>(pGrid);
  if (pGraticule == nullptr) return false;
  SetLines(pGrid, v.graticule.lines);
  ReleasePtr<IGIS_GridSpacing> spacing = DegreeSpacing(v.graticule);
  if (spacing) pGraticule->SetGridSpacingPtr(spacing.get());
  SetTicks(pGrid, v.axes);
  SetDmsLabel(pGrid, v.graticule, false, v.axes.pTextSymbol);
  return true;
}

bool BuildFixedCount(IGIS_MapGrid* pGrid, const SGIS_MapGridValues& v) {
  auto* pFixed = dynamic_cast<IGIS_GraticuleMNGrid*>(pGrid);
  if (pFixed == nullptr) return false;
  ReleasePtr<IGIS_GridSpacing> spacing = DegreeSpacing(v.graticule);
  if (spacing) pFixed->SetGridSpacingPtr(spacing.get());
  SetTicks(pGrid, v.axes);
  SetLines(pGrid, v.fixedCount.lines);
  pFixed->SetLatitudeCount(v.fixedCount.nColumns);
  pFixed->SetLongitudeCount(v.fixedCount.nRows);
  SetDmsLabel(pGrid, v.graticule, true, v.axes.pTextSymbol);
  return true;
}

bool BuildMeasured(IGIS_MapGrid* pGrid, const SGIS_MapGridValues& v) {
  auto* pMeasure = dynamic_cast<IGIS_MeasureGrid*>(pGrid);
  if (pMeasure == nullptr) return false;
  ReleasePtr<IGIS_GridLabel> label = NewLabel(GIS_GRIDLABEL_FORMATTED, v.axes.pTextSymbol);
  if (label) label->SetLabelAlignment(false, false, false, false);
  SetLines(pGrid, v.measured.lines);
  ReleasePtr<IGIS_GridSpacing> spacing =
      NewSpacing(GIS_GRIDSPACING_UNITS_LINEAR, kMetreUnit, v.measured.dXInterval, v.measured.dYInterval);
  if (spacing) pMeasure->SetGridSpacingPtr(spacing.get());
  SetTicks(pGrid, v.axes);
  if (label) pGrid->SetLabelFormat(label.get());
  if (v.measured.pReference != nullptr) pMeasure->SetSpatialReference(v.measured.pReference);
  return true;
}

bool BuildIndex(IGIS_MapGrid* pGrid, const SGIS_MapGridValues& v) {
  auto* pIndex = dynamic_cast<IGIS_IndexGrid*>(pGrid);
  if (pIndex == nullptr) return false;
  pIndex->SetColumnCount(v.index.nColumns);
  pIndex->SetRowCount(v.index.nRows);
  ReleasePtr<IGIS_GridLabel> label = NewLabel(GIS_GRIDLABEL_INDEX_BACKGROUND + v.index.nTabStyle, nullptr);
  if (auto* pTabs = dynamic_cast<IGIS_IndexGridTabStyle*>(label.get())) {
    if (v.index.pTabBackground != nullptr) pTabs->SetForegroundSymbolPtr(v.index.pTabBackground);
    pTabs->SetThickness(kTabThickness);
    if (v.index.pTabText != nullptr) pTabs->SetTextSymbolPtr(v.index.pTabText);
    pTabs->SetInside(true);
    pGrid->SetLabelFormat(pTabs);
  }
  pIndex->SetXYLabelType(v.index.nLettering == 0);
  if (v.index.lines.pLineSymbol != nullptr) pGrid->SetLineSymbol(v.index.lines.pLineSymbol);
  if (v.index.lines.pMarkSymbol != nullptr) pGrid->SetMarkSymbol(v.index.lines.pMarkSymbol);
  pGrid->SetGridlineType(v.index.lines.nGridlineType);
  return true;
}

// ---- What the pages allow: a value outside it is refused with a record
// naming it, never built into a grid that silently shows something else.

// The pages' ranges of counts (cells, rows and columns, sub-ticks), of the
// kilometre grid's intervals and of an angle's degrees.
constexpr int kMaxPageCount = 20;
constexpr double kMaxMeasuredInterval = 100000000.0;
constexpr int kMaxDegrees = 360;
// The index tab styles, from the background style's label type on.
constexpr int kTabStyles = 4;

bool IntIn(int nValue, int nLow, int nHigh, const char* szName) {
  if (nValue >= nLow && nValue <= nHigh) return true;
  GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "%s %d not in %d..%d", szName, nValue, nLow, nHigh);
  return false;
}

bool DoubleIn(double dValue, double dLow, double dHigh, const char* szName) {
  if (std::isfinite(dValue) && dValue >= dLow && dValue <= dHigh) return true;
  GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "%s %g not in %g..%g", szName, dValue, dLow, dHigh);
  return false;
}

bool CheckLines(const SGIS_GridLineValues& lines, const char* szName) {
  return IntIn(lines.nGridlineType, GIS_GRIDLINE_NONE, GIS_GRIDLINE_MARKS, szName);
}

bool CheckDms(const SGIS_DMSValue& v, const char* szDegrees, const char* szMinutes, const char* szSeconds) {
  return IntIn(v.nDegrees, 0, kMaxDegrees, szDegrees) && IntIn(v.nMinutes, 0, 60, szMinutes) &&
         DoubleIn(v.dSeconds, 0.0, 60.0, szSeconds);
}

bool CheckGraticulePage(const SGIS_GraticuleWizardValues& g) {
  return CheckDms(g.parallel, "graticule.parallel.nDegrees", "graticule.parallel.nMinutes",
                  "graticule.parallel.dSeconds") &&
         CheckDms(g.meridian, "graticule.meridian.nDegrees", "graticule.meridian.nMinutes",
                  "graticule.meridian.dSeconds");
}

bool CheckAxes(const SGIS_AxesWizardValues& a) {
  return IntIn(a.nSubTickCount, 1, kMaxPageCount, "axes.nSubTickCount");
}

bool CheckGraticule(const SGIS_MapGridValues& v) {
  return CheckLines(v.graticule.lines, "graticule.lines.nGridlineType") && CheckGraticulePage(v.graticule) &&
         CheckAxes(v.axes);
}

bool CheckFixedCount(const SGIS_MapGridValues& v) {
  return CheckLines(v.fixedCount.lines, "fixedCount.lines.nGridlineType") &&
         IntIn(v.fixedCount.nColumns, 1, kMaxPageCount, "fixedCount.nColumns") &&
         IntIn(v.fixedCount.nRows, 1, kMaxPageCount, "fixedCount.nRows") && CheckGraticulePage(v.graticule) &&
         CheckAxes(v.axes);
}

bool CheckMeasured(const SGIS_MapGridValues& v) {
  return CheckLines(v.measured.lines, "measured.lines.nGridlineType") &&
         DoubleIn(v.measured.dXInterval, 0.0, kMaxMeasuredInterval, "measured.dXInterval") &&
         DoubleIn(v.measured.dYInterval, 0.0, kMaxMeasuredInterval, "measured.dYInterval") &&
         CheckAxes(v.axes);
}

bool CheckIndex(const SGIS_MapGridValues& v) {
  return CheckLines(v.index.lines, "index.lines.nGridlineType") &&
         IntIn(v.index.nColumns, 1, kMaxPageCount, "index.nColumns") &&
         IntIn(v.index.nRows, 1, kMaxPageCount, "index.nRows") &&
         IntIn(v.index.nTabStyle, 0, kTabStyles - 1, "index.nTabStyle") &&
         IntIn(v.index.nLettering, 0, 1, "index.nLettering");
}

using Builder = bool (*)(IGIS_MapGrid*, const SGIS_MapGridValues&);
using Checker = bool (*)(const SGIS_MapGridValues&);

struct BuildRow {
  int nType;
  Checker check;
  Builder build;
};

const BuildRow kBuilds[] = {
    {GIS_MAPGRID_GRATICULE, &CheckGraticule, &BuildGraticule},
    {GIS_MAPGRID_MEASURE, &CheckMeasured, &BuildMeasured},
    {GIS_MAPGRID_INDEX, &CheckIndex, &BuildIndex},
    {GIS_MAPGRID_GRATICULE_MN, &CheckFixedCount, &BuildFixedCount},
};

}  // namespace

extern "C" __attribute__((visibility("default"))) IGIS_MapGrid* GIS_CreateMapGridFromValues(
    const SGIS_MapGridValues* pValues) {
  if (pValues == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "pValues == NULL");
    return nullptr;
  }
  const BuildRow* pRow = nullptr;
  for (const BuildRow& row : kBuilds)
    if (row.nType == pValues->nType) pRow = &row;
  if (pRow == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "nType %d", pValues->nType);
    return nullptr;
  }
  if (!pRow->check(*pValues)) return nullptr;
  ReleasePtr<IGIS_MapGrid> grid(GIS_CreateMapGridPropertyObject(pValues->nType));
  if (!grid || !pRow->build(grid.get(), *pValues)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_mapgrid == NULL");
    return nullptr;
  }
  // Without the border box the grid's own border has no symbol: the box's
  // choice, not a missing symbol, so nothing is recorded.
  if (IGIS_MapGridBorder* pBorder = grid->GetBorder()) {
    if (pValues->finish.bBorder == 0) {
      md::layout::grid::ClearSimpleSymbol(pBorder);
    } else if (pValues->finish.pBorderSymbol != nullptr) {
      pBorder->SetSimpleSymbolPtr(pValues->finish.pBorderSymbol);
    }
  }
  if (pValues->szName != nullptr) grid->SetName(pValues->szName);
  return grid.release();
}
