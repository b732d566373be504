// The page "格网" of the map frame's property sheet: the grids the frame
// draws over its map, in list order, and what the user does with them on
// the live frame: a new grid through the grid wizard (added to the frame,
// or converted into plain elements at once), removing a grid, its own
// property dialog, converting it into plain elements, and showing or hiding
// it. Every change that took effect marks the page modified; the sheet's
// Cancel puts the frame's stored form back (elements already handed to the
// layout stay).
#pragma once

#include "platform/ui/clistbox.h"
#include "platform/ui/propsheet.h"

class CGIS_GridWizardSheet;
class IGIS_MapElement;
class IGIS_MapGrid;

enum {
  IDD_GIS_MAP_GRIDS_PAGE = 3010,
  IDC_GIS_MG_NEW = 3071,
  IDC_GIS_MG_REMOVE = 3072,
  IDC_GIS_MG_PROPERTY = 3073,
  IDC_GIS_MG_CONVERT = 3074,
  IDC_GIS_MG_LIST = 3093,
  IDC_GIS_MG_VISIBLE = 3094,
  IDC_GIS_MG_CLIP = 3110,
};

class CGIS_MapGridsPage : public CPropertyPage {
 public:
  CGIS_MapGridsPage();

  // The grids' names, nothing selected, the grid buttons disabled.
  BOOL OnInitDialog() override;

  // The frame whose grids the page edits (not owned); set by the sheet.
  IGIS_MapElement* m_pMapElement = nullptr;
  // The check box's state: the selected grid's visibility (0 or 1).
  int m_nVisible = 0;

 protected:
  // The series-scale presets (grid types 4 and 5): a new grid for the sheet
  // chosen on the wizard's series-map page, or NULL.
  virtual IGIS_MapGrid* CreateDefaultGraticuleGrid(CGIS_GridWizardSheet& sheet);
  virtual IGIS_MapGrid* CreateDefaultMeasuredGrid(CGIS_GridWizardSheet& sheet);

 private:
  void OnSelchangeListGridPropertyPage();
  void OnCheckGridPropertyPage();
  void OnPropertyNewgrid();
  void OnPropertyRemove();
  void OnPropertyProperty();
  void OnPropertyConvertgraphic();

  // The grid of the list's selection; NULL without a selection, and with a
  // level-3 record of szText under szMethod when the frame has no grid there.
  IGIS_MapGrid* SelectedGrid(const char* szMethod, const char* szText);
  void EnableGridButtons(bool bEnable);
  // The wizard's grid built, then added or converted as the finish page
  // says; true when the frame or the layout changed.
  bool MakeGrid(CGIS_GridWizardSheet& sheet);
  // Names the grid, adds it to the frame and to the list; false (the grid
  // released, a record) when the frame refuses it.
  bool AddGrid(IGIS_MapGrid* pGrid, const char* szName);
  // Hands the grid's plain elements to the layout; the grid is released.
  bool ConvertGrid(IGIS_MapGrid* pGrid);

  CListBox m_list;
};
