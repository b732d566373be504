// The page "索引" of the index grid's sheet: how many columns and rows the
// map frame is divided into, with the column and row titles the index tabs
// will write for them ("1", "2", ... or "A", "B", ... by the grid's
// XYLabelType). The title lists follow the counts as they are typed.
#pragma once

#include <string>

#include "layout/graphicelement/grid/grid/dialogs/cgis_mapgridpage.h"
#include "platform/ui/cedit.h"
#include "platform/ui/cspinbuttonctrl.h"

enum {
  IDD_GIS_INDEX_PAGE = 5009,
  IDC_GIS_IX_COLUMNS = 5307,
  IDC_GIS_IX_COLUMNS_SPIN = 5308,
  IDC_GIS_IX_COLUMN_TITLES = 3098,
  IDC_GIS_IX_ROWS = 5310,
  IDC_GIS_IX_ROWS_SPIN = 5311,
  IDC_GIS_IX_ROW_TITLES = 12,
};

class IGIS_IndexGrid;

class CGIS_IndexPage : public CGIS_MapGridPage {
 public:
  CGIS_IndexPage();

  BOOL OnInitDialog() override;
  // Refused (with a record) without an index grid.
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnApply() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // The title of entry i (from 0) of a list of letters ("A" + i) or of
  // numbers (i + 1).
  static std::string Title(int nIndex, bool bLetters);

  int m_nColumnCount = 5;
  int m_nRowCount = 5;

 private:
  IGIS_IndexGrid* IndexGrid(const char* szMethod) const;
  // Refills the list with nCount titles (at most the page's 20).
  void FillTitles(int nListId, int nCount, bool bColumns);
  // A count typed: both fields validated, then the matching list refilled.
  void OnCountChanged(int nListId, bool bColumns);
  // Validates the fields and writes the counts; false (nothing written)
  // when one is refused.
  bool WriteGrid();

  CEdit m_editColumns, m_editRows;
  CSpinButtonCtrl m_spinColumns, m_spinRows;
  // The counts were shown: from now on typing refills the lists.
  bool m_bShown = false;
};
