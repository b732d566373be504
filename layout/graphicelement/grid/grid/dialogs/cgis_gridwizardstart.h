// The first page of the grid wizard ("坐标格网向导"): which kind of grid to
// make and its name. Next checks that the frame can carry the kind (a map
// with a known spatial reference for graticules and kilometre grids; the
// index grid needs none) and that no grid of the frame has the name, then
// goes to the kind's own page. The other pages read the type chosen here.
#pragma once

#include <string>

#include "platform/ui/propsheet.h"

enum {
  IDD_GIS_GRID_WIZARD_START = 107,
  IDC_GIS_GW_PICTURE = 5387,
  IDC_GIS_GW_GRATICULE = 5388,
  IDC_GIS_GW_MEASURED = 5389,
  IDC_GIS_GW_INDEX = 5390,
  IDC_GIS_GW_SERIES_GRATICULE = 5391,
  IDC_GIS_GW_FIXED_COUNT = 5392,
  IDC_GIS_GW_SERIES_MEASURED = 5393,
  IDC_GIS_GW_NAME = 5451,
};

// Template IDs of the wizard's pages, by which they name their neighbours.
enum {
  IDD_GIS_GRID_WIZARD_FINISH = 5173,
  IDD_GIS_GRID_WIZARD_INDEX1 = 5166,
  IDD_GIS_GRID_WIZARD_INDEX2 = 5170,
  IDD_GIS_GRID_WIZARD_GRATICULE = 5148,
  IDD_GIS_GRID_WIZARD_FIXED_COUNT = 3024,
  IDD_GIS_GRID_WIZARD_MEASURED = 5158,
  IDD_GIS_GRID_WIZARD_AXES = 5152,
  IDD_GIS_GRID_WIZARD_SERIES = 3014,
};

// The wizard's grid types: the grid kinds 0 to 3 (GIS_MAPGRID_*), then the
// series-scale graticule and kilometre grid.
enum {
  GIS_GRIDWIZARD_SERIES_GRATICULE = 4,
  GIS_GRIDWIZARD_SERIES_MEASURED = 5,
};

class CGIS_GridWizardStart : public CPropertyPage {
 public:
  CGIS_GridWizardStart();

  // Type 0 and the name "经纬网", numbered after the frame's grids when it
  // has some ("经纬网2" beside two grids). TRUE (the framework sets the
  // focus), FALSE only when the wizard has no frame.
  BOOL OnInitDialog() override;
  // Next only.
  BOOL OnSetActive() override;
  // The kind's page, or this page (107) when a check fails or the page is
  // outside a grid wizard.
  LRESULT OnWizardNext() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // The grid type (0 to 5; the radio's position in the template).
  int m_nGridType = 0;
  // The name the new grid gets.
  std::string m_strGridName = "经纬网";

 private:
  // A type button: the type and its default name, shown at once.
  void OnType(int nType);
  // Whether the frame's map can carry a graticule or kilometre grid;
  // otherwise the message naming szKind ("经纬网" or "方里网").
  bool HasMapReference(const char* szKind);
};

namespace md::layout::grid {

// The grid type the start page of the page's wizard holds (page 0 of its
// sheet), or -1 outside a grid wizard.
int GridWizardType(const CPropertyPage* pPage);

// The window text the wizard's pages take for a grid type: 0 "创建一个经纬网",
// 3 "创建一个固定行列数的经纬网", 1 "创建一个方里网", 2 "创建一个索引格网";
// NULL for other types, which leave the text.
const char* GridWizardPageText(int nType);

}  // namespace md::layout::grid
