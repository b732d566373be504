// The page "间隔" of the graticule's and the measured grid's sheets: the
// grid spacing's intervals along X and Y, whether the lines start from an
// origin of the user's or from the current coordinate system's, that
// origin, and the unit of the four numbers (an angular unit of the
// spatial-reference library for the graticule, a linear one for the
// measured grid). The numbers are stored as typed with the unit's index:
// changing the unit converts nothing.
#pragma once

#include "layout/graphicelement/grid/grid/dialogs/cgis_mapgridpage.h"

enum {
  IDD_GIS_GRIDINTERVAL_PAGE = 5062,
  IDC_GIS_GI_X_INTERVAL = 5057,
  IDC_GIS_GI_Y_INTERVAL = 5063,
  IDC_GIS_GI_SYSTEM_ORIGIN = 5217,
  IDC_GIS_GI_OWN_ORIGIN = 5219,
  IDC_GIS_GI_X_ORIGIN = 5054,
  IDC_GIS_GI_Y_ORIGIN = 5060,
  IDC_GIS_GI_UNITS = 5215,
};

class IGIS_GridSpacing;

class CGIS_GridIntervalPage : public CGIS_MapGridPage {
 public:
  CGIS_GridIntervalPage();

  // Fills the unit list; FALSE for an index grid and (with a record) for a
  // grid without a map frame or map.
  BOOL OnInitDialog() override;
  // Refused for a grid without a spacing of its own, without a map frame or
  // map, and for a measured grid whose reference is not projected.
  BOOL OnSetActive() override;
  // Writes the spacing after the fields were validated; FALSE keeps the page.
  BOOL OnKillActive() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // The selected entry of the unit list.
  int m_nUnits = 0;
  double m_dXOrigin = 0.0;
  double m_dYOrigin = 0.0;
  double m_dXInterval = 0.0;
  double m_dYInterval = 0.0;
  // 0 the current coordinate system's origin, 1 the origin typed.
  int m_nOriginChoice = 0;

 private:
  // The grid's spacing (graticule or measured grid), or NULL.
  IGIS_GridSpacing* Spacing() const;
  // Whether the grid has a map frame with a map; a level-3 record under
  // szMethod when not.
  bool CheckMap(const char* szMethod) const;
  void OnOriginChoice(int nChoice);
};
