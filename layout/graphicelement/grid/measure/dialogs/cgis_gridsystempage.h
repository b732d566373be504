// The page "系统" of the measured grid's sheet: the grid's own projected
// spatial reference as text, and "属性..." to replace it through the host's
// spatial-reference command. The two radio buttons say whether the grid
// follows the frame's projected system or another one; they are worked out
// from the grid and the map each time the page shows and only enable or
// grey out "属性...". The grid changes only through that button, at once;
// the grid's sheet puts it back unless the user confirms.
#pragma once

#include <string>

#include "layout/graphicelement/grid/grid/dialogs/cgis_mapgridpage.h"

enum {
  IDD_GIS_GRIDSYSTEM_PAGE = 5114,
  IDC_GIS_GS_FRAME_SYSTEM = 5328,
  IDC_GIS_GS_OTHER_SYSTEM = 5329,
  IDC_GIS_GS_PROPERTIES = 5330,
  IDC_GIS_GS_DESCRIPTION = 5331,
};

class IGIS_MeasureGrid;

class CGIS_GridSystemPage : public CGIS_MapGridPage {
 public:
  CGIS_GridSystemPage();

  // Refused (with a record) without a measured grid.
  BOOL OnSetActive() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // 0 the frame's projected system, 1 another projected system.
  int m_nSystemChoice = 0;
  // The description of the grid's reference.
  std::string m_strDescription;

 private:
  IGIS_MeasureGrid* MeasureGrid(const char* szMethod) const;
  void OnSystemChoice(int nChoice);
  // The host's spatial-reference command on a copy of the grid's reference;
  // a projected answer becomes the grid's, anything else is refused with a
  // message.
  void OnProperties();
};
