// The page "内部标注" of the graticule's sheet: whether the graticule writes
// coordinate labels inside the frame, and their spacing in longitude (the
// graticule's X) and latitude (Y).
#pragma once

#include "layout/graphicelement/grid/graticule/dialogs/graticulepages.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_mapgridpage.h"

enum {
  IDD_GIS_INSIDELABEL_PAGE = 111,
  IDC_GIS_IL_SHOW = 5536,
  IDC_GIS_IL_LON_DEGREES = 5537,
  IDC_GIS_IL_LON_MINUTES = 5538,
  IDC_GIS_IL_LON_SECONDS = 5539,
  IDC_GIS_IL_LAT_DEGREES = 5540,
  IDC_GIS_IL_LAT_MINUTES = 5541,
  IDC_GIS_IL_LAT_SECONDS = 5542,
};

class CGIS_GridInsideLabelPage : public CGIS_MapGridPage {
 public:
  CGIS_GridInsideLabelPage();

  // Refused (with a record) without a graticule.
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnApply() override;
  void DoDataExchange(CDataExchange* pDX) override;

  int m_nShow = 0;
  md::layout::graticule::DmsRow m_longitude;
  md::layout::graticule::DmsRow m_latitude;

 private:
  // Validates and writes the graticule; false (nothing written) when a
  // field is refused. Nothing to write without a graticule.
  bool WriteGrid();
};
