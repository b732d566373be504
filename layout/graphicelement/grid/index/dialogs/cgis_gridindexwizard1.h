// The grid wizard's first page of the index grid, "创建一个参考格网": what
// the grid draws besides its tabs (nothing, its lines or marks where they
// cross), the line or marker symbol for it, and how many columns and rows
// the map frame is divided into. The page only holds these until the wizard
// ends; whoever builds the grid after Finish reads the members.
#pragma once

#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "platform/ui/cedit.h"
#include "platform/ui/cspinbuttonctrl.h"
#include "platform/ui/propsheet.h"

enum {
  IDD_GIS_INDEX_WIZARD1 = 5166,
  IDC_GIS_IW_TABS_ONLY = 5433,
  IDC_GIS_IW_LINES = 5434,
  IDC_GIS_IW_MARKS = 3095,
  IDC_GIS_IW_SYMBOL = 5435,
  IDC_GIS_IW_COLUMNS = 5436,
  IDC_GIS_IW_ROWS = 5437,
  IDC_GIS_IW_COLUMNS_SPIN = 5438,
  IDC_GIS_IW_ROWS_SPIN = 5439,
};

class CGIS_GridIndexWizard1 : public CPropertyPage {
 public:
  CGIS_GridIndexWizard1();

  // Sets the defaults (once per sheet, when the page is first shown) and
  // shows them.
  BOOL OnInitDialog() override;
  // Back and Next.
  BOOL OnSetActive() override;
  // The grid wizard's start page.
  LRESULT OnWizardBack() override;
  // The tab page.
  LRESULT OnWizardNext() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // 1 to 20 each.
  int m_nColumnCount = 5;
  int m_nRowCount = 5;
  // The grid's line type (GIS_GRIDLINE_*): 0 tabs only, 1 lines, 2 marks.
  int m_nAppearance = 0;
  // The page's own symbols (NULL until the page is first shown).
  md::basilo::ReleasePtr<IGIS_Symbol> m_pLineSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pMarkSymbol;

 private:
  // The chooser on the symbol of the appearance: the line symbol with
  // lines, the marker with marks, nothing with tabs only.
  void OnSymbol();

  CEdit m_editColumns, m_editRows;
  CSpinButtonCtrl m_spinColumns, m_spinRows;
};
