// The page "索引标签" of the background tab style's dialog: the other tab
// styles' fields and the shape of its boxes (round, rectangle, rounded
// rectangle).
#pragma once

#include "layout/graphicelement/grid/label/dialogs/cgis_indextabpagebase.h"
#include "layout/graphicelement/grid/label/igis_indexbackgroundtabstyle.h"

enum {
  IDD_GIS_TABBACKGROUND_PAGE = 30995,
  IDC_GIS_TAB_BACKGROUND_ROUND = 5269,
  IDC_GIS_TAB_BACKGROUND_RECTANGLE = 5270,
  IDC_GIS_TAB_BACKGROUND_ROUNDED = 5271,
  IDC_GIS_TAB_BACKGROUND_INSIDE = 3103,
};

class CGIS_IndexGridTabelBackgroundPage final : public CGIS_IndexTabPageBase<IGIS_IndexBackGroundTabStyle> {
 public:
  CGIS_IndexGridTabelBackgroundPage();

  void DoDataExchange(CDataExchange* pDX) override;

  // GIS_TABBACKGROUND_*: the radio group's index.
  int m_nBackgroundType = 0;

 private:
  void ReadOwn() override;
  void WriteOwn() override;
};
