// The page "索引标签" of the button, continuous and rounded tab styles'
// dialog: their fill and outline, thickness and inside flag.
#pragma once

#include "layout/graphicelement/grid/grid/igis_indexgridtabstyle.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_indextabpagebase.h"

enum {
  IDD_GIS_TABSTYLE_PAGE = 5018,
  IDC_GIS_TAB_INSIDE = 3076,
};

class CGIS_IndexGridTabStylePage final : public CGIS_IndexTabPageBase<IGIS_IndexGridTabStyle> {
 public:
  CGIS_IndexGridTabStylePage();
};
