// The property sheets of the grid kinds: one row per kind with the pages its
// sheet shows, in order (the first shown first). The grid's
// OnOpenPropertyDlg keeps the backup and sets the caption; the runner
// installed here for each kind builds the sheet, points every page at the
// grid itself and runs it. The table sits above the kinds so that a row can
// name a kind's own pages.
#include <memory>
#include <vector>

#include "layout/graphicelement/grid/graticule/dialogs/cgis_gridinsidelabelpage.h"
#include "layout/graphicelement/grid/graticule/dialogs/cgis_gridslimlinepage.h"
#include "layout/graphicelement/grid/graticulemn/dialogs/cgis_gridgraticulemnpage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_axespage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridintervalpage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridlabelspage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridlinepage.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridpropertysheet.h"
#include "layout/graphicelement/grid/grid/gridsheet.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/grid/index/dialogs/cgis_indexpage.h"
#include "layout/graphicelement/grid/measure/dialogs/cgis_gridsystempage.h"
#include "platform/ui/app.h"

namespace {

// Makes one page of a sheet for one run.
using PageMaker = std::unique_ptr<CGIS_MapGridPage> (*)();

template <class TPage>
std::unique_ptr<CGIS_MapGridPage> Page() {
  return std::make_unique<TPage>();
}

struct GridSheetRow {
  int nKind;
  std::vector<PageMaker> pages;
};

const std::vector<GridSheetRow>& GridSheets() {
  static const std::vector<GridSheetRow> rows = {
      {GIS_MAPGRID_GRATICULE,
       {&Page<CGIS_AxesPage>, &Page<CGIS_GridInsideLabelPage>, &Page<CGIS_GridLabelsPage>,
        &Page<CGIS_GridLinePage>, &Page<CGIS_GridSlimLinePage>, &Page<CGIS_GridIntervalPage>}},
      {GIS_MAPGRID_MEASURE,
       {&Page<CGIS_AxesPage>, &Page<CGIS_GridLabelsPage>, &Page<CGIS_GridLinePage>,
        &Page<CGIS_GridSystemPage>, &Page<CGIS_GridIntervalPage>}},
      {GIS_MAPGRID_INDEX,
       {&Page<CGIS_AxesPage>, &Page<CGIS_IndexPage>, &Page<CGIS_GridLabelsPage>, &Page<CGIS_GridLinePage>}},
      {GIS_MAPGRID_GRATICULE_MN,
       {&Page<CGIS_AxesPage>, &Page<CGIS_GridLabelsPage>, &Page<CGIS_GridGraticuleMNPage>}},
  };
  return rows;
}

const GridSheetRow* RowOf(int nKind) {
  for (const GridSheetRow& row : GridSheets())
    if (row.nKind == nKind) return &row;
  return nullptr;
}

bool RunGridPropertySheet(IGIS_MapGrid* pGrid, const char* szTitle) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  const GridSheetRow* pRow = pGrid != nullptr ? RowOf(pGrid->GetType()) : nullptr;
  if (pRow == nullptr) return false;
  std::vector<std::unique_ptr<CGIS_MapGridPage>> pages;
  CGIS_GridPropertySheet sheet;
  for (PageMaker make : pRow->pages) {
    pages.push_back(make());
    pages.back()->m_pMapGrid = pGrid;
    sheet.AddPage(pages.back().get());
  }
  sheet.SetTitle(szTitle);
  return sheet.DoModal() == IDOK;
}

const struct Registration {
  Registration() {
    for (const GridSheetRow& row : GridSheets())
      md::layout::grid::SetGridSheetRunner(row.nKind, &RunGridPropertySheet);
  }
} g_registration;

}  // namespace
