// The grid wizard's second page of the index grid, "创建一个参考格网": the
// style of the tabs that carry the column and row designations (the list
// index plus 4 is the tab style's label type), their background fill and
// font, and whether the columns or the rows are lettered. The page only
// holds these until the wizard ends; whoever builds the grid after Finish
// reads the members.
#pragma once

#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "platform/ui/propsheet.h"

enum {
  IDD_GIS_INDEX_WIZARD2 = 5170,
  IDC_GIS_IW_TAB_STYLE = 5440,
  IDC_GIS_IW_BACKGROUND = 5441,
  IDC_GIS_IW_FONT = 5442,
  IDC_GIS_IW_LETTER_COLUMNS = 5443,
  IDC_GIS_IW_LETTER_ROWS = 5444,
};

class CGIS_GridIndexWizard2 : public CPropertyPage {
 public:
  CGIS_GridIndexWizard2();

  // Lettering 0, a 10-point text symbol and a fill of style 0xD22 when the
  // page has none yet, the four tab styles with the first selected.
  BOOL OnInitDialog() override;
  // Back and Next.
  BOOL OnSetActive() override;
  // The first index page.
  LRESULT OnWizardBack() override;
  // The grid wizard's finish page.
  LRESULT OnWizardNext() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // 0: columns lettered, rows numbered; 1: rows lettered, columns numbered.
  int m_nLettering = 0;
  // 0 background, 1 button, 2 continuous, 3 rounded tabs.
  int m_nTabStyle = 0;
  // The page's own background fill and text symbol (NULL until the page is
  // first shown).
  md::basilo::ReleasePtr<IGIS_Symbol> m_pSymbolPolygon;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pTextSymbol;

  // The chooser on the background fill; without one a level-3 record.
  void OnIndexWizardMarksymbol();

 private:
  void OnFont();
};
