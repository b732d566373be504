// The page "细切线" of the graticule's sheet: the spacing of the fine tick
// lines (hatches) along the frame in longitude and latitude, and the three
// hatch marks, each with a line symbol, a length and a direction flag, the
// second and third with a count. The longitude row is the spacing along the
// parallels (the graticule's X), the latitude row along the meridians (Y).
#pragma once

#include "layout/graphicelement/grid/graticule/dialogs/graticulepages.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_mapgridpage.h"
#include "platform/ui/cedit.h"
#include "platform/ui/cspinbuttonctrl.h"

enum {
  IDD_GIS_SLIMLINE_PAGE = 110,
  IDC_GIS_SL_LON_DEGREES = 5510,
  IDC_GIS_SL_LON_MINUTES = 5511,
  IDC_GIS_SL_LON_SECONDS = 5512,
  IDC_GIS_SL_LAT_DEGREES = 5513,
  IDC_GIS_SL_LAT_MINUTES = 5514,
  IDC_GIS_SL_LAT_SECONDS = 5515,
  IDC_GIS_SL_HATCH_SYMBOL = 5516,
  IDC_GIS_SL_HATCH_LENGTH = 5517,
  IDC_GIS_SL_HATCH_DIRECTIONAL = 5519,
  IDC_GIS_SL_MAIN_SYMBOL = 5520,
  IDC_GIS_SL_MAIN_LENGTH = 5521,
  IDC_GIS_SL_MAIN_DIRECTIONAL = 5525,
  IDC_GIS_SL_MAIN_COUNT = 3155,
  IDC_GIS_SL_MAIN_COUNT_SPIN = 3156,
  IDC_GIS_SL_SUB_SYMBOL = 5527,
  IDC_GIS_SL_SUB_LENGTH = 5528,
  IDC_GIS_SL_SUB_DIRECTIONAL = 5530,
  IDC_GIS_SL_SUB_COUNT = 5140,
  IDC_GIS_SL_SUB_COUNT_SPIN = 5142,
};

class CGIS_GridSlimLinePage : public CGIS_MapGridPage {
 public:
  CGIS_GridSlimLinePage();

  BOOL OnInitDialog() override;
  // Refused (with a record) without a graticule.
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnApply() override;
  void DoDataExchange(CDataExchange* pDX) override;

  md::layout::graticule::DmsRow m_longitude;
  md::layout::graticule::DmsRow m_latitude;
  // Mark one: the graticule's hatch.
  int m_nHatchLength = 0;
  int m_nHatchDirectional = 0;
  // Mark two: the main hatch.
  int m_nMainLength = 0;
  int m_nMainDirectional = 0;
  int m_nMainCount = 0;
  // Mark three: the sub hatch.
  int m_nSubLength = 0;
  int m_nSubDirectional = 0;
  int m_nSubCount = 0;

 private:
  // Validates and writes the graticule; false (nothing written) when a
  // field is refused. Nothing to write without a graticule.
  bool WriteGrid();

  CEdit m_editMainCount, m_editSubCount;
  CSpinButtonCtrl m_spinMainCount, m_spinSubCount;
};
