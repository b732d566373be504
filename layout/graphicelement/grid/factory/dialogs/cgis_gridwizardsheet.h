// The grid wizard ("坐标格网向导"): the start page, the pages of each grid
// kind, the axes-and-labels page and the finish page, in wizard mode. Each
// page names the page it leads to by its template; the paths are
//   graticule                      107 -> 5148 -> 5152 -> 5173
//   fixed rows and columns         107 -> 3024 -> 5152 -> 5173
//   kilometre grid                 107 -> 5158 -> 5152 -> 5173
//   index grid                     107 -> 5166 -> 5170 -> 5173
//   series-scale grids             107 -> 3014
// After Finish the opener reads the pages' values (GetValues) and builds the
// grid from them. The sheet sits above the grid kinds whose pages it holds.
#pragma once

#include "layout/graphicelement/grid/factory/dialogs/cgis_gridwizardseriesmap.h"
#include "layout/graphicelement/grid/graticule/dialogs/cgis_gridgraticulewizard.h"
#include "layout/graphicelement/grid/graticulemn/dialogs/cgis_gridgraticulemnwizard.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridwizardfinish.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridwizardlabelandaxe.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridwizardsheetbase.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridwizardstart.h"
#include "layout/graphicelement/grid/grid/igis_mapgridvalues.h"
#include "layout/graphicelement/grid/index/dialogs/cgis_gridindexwizard1.h"
#include "layout/graphicelement/grid/index/dialogs/cgis_gridindexwizard2.h"
#include "layout/graphicelement/grid/measure/dialogs/cgis_gridmesuredwizard.h"

class CGIS_GridWizardSheet : public CGIS_GridWizardSheetBase {
 public:
  // The pages in the order the framework lists them: start, index 1 and 2,
  // graticule, fixed rows and columns, kilometre grid, axes and labels,
  // finish, series map.
  CGIS_GridWizardSheet();

  // Also the kilometre and series-map pages' frame.
  void SetMapElement(IGIS_MapElement* pMapElement) override;

  // The values the pages hold, for the start page's grid type; the symbols
  // and the reference stay the pages' (valid while the sheet lives).
  SGIS_MapGridValues GetValues() const;

  CGIS_GridWizardStart& GetStartPage() { return m_start; }
  CGIS_GridWizardFinish& GetFinishPage() { return m_finish; }
  CGIS_GridGraticuleWizard& GetGraticulePage() { return m_graticule; }
  CGIS_GridGraticuleMNWizard& GetFixedCountPage() { return m_fixedCount; }
  CGIS_GridMesuredWizard& GetMeasuredPage() { return m_measured; }
  CGIS_GridWizardLabelAndAxe& GetAxesPage() { return m_axes; }
  CGIS_GridIndexWizard1& GetIndexPage1() { return m_index1; }
  CGIS_GridIndexWizard2& GetIndexPage2() { return m_index2; }
  CGIS_GridWizardSeriesMap& GetSeriesPage() { return m_series; }

 private:
  CGIS_GridWizardStart m_start;
  CGIS_GridWizardFinish m_finish;
  CGIS_GridIndexWizard1 m_index1;
  CGIS_GridIndexWizard2 m_index2;
  CGIS_GridGraticuleWizard m_graticule;
  CGIS_GridGraticuleMNWizard m_fixedCount;
  CGIS_GridMesuredWizard m_measured;
  CGIS_GridWizardLabelAndAxe m_axes;
  CGIS_GridWizardSeriesMap m_series;
};
