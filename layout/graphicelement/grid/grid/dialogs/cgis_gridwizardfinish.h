// The last page of the grid wizard for the graticules, the kilometre grid
// and the index grid: whether the grid's own border gets a line symbol (and
// which), and whether the grid is stored as a grid that follows the map
// frame or converted into plain elements at once. The outline group stays
// disabled.
#pragma once

#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "platform/ui/propsheet.h"

enum {
  IDC_GIS_GF_BORDER = 5445,
  IDC_GIS_GF_BORDER_SYMBOL = 5446,
  IDC_GIS_GF_OUTLINE = 5447,
  IDC_GIS_GF_OUTLINE_SYMBOL = 5448,
  IDC_GIS_GF_STATIC = 5449,
  IDC_GIS_GF_FOLLOWING = 5450,
};

// How the finished grid is stored (the finish page's storage choice).
enum {
  GIS_GRIDWIZARD_STORE_ELEMENTS = 0,  // "作为可以编辑的静态图形存储"
  GIS_GRIDWIZARD_STORE_GRID = 1,      // "作为与数据框架同步更新的格网存储。"
};

class CGIS_GridWizardFinish : public CPropertyPage {
 public:
  CGIS_GridWizardFinish();

  // No border, the grid stored as a grid, the default line symbol (style
  // 0xD03) for the outline and a copy of it for the border.
  BOOL OnInitDialog() override;
  // The text of the grid type, Back and Finish.
  BOOL OnSetActive() override;
  // The axes page, or the second index page for an index grid.
  LRESULT OnWizardBack() override;
  // Takes the fields; stays when that fails.
  BOOL OnWizardFinish() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // The symbols the page holds (NULL before the page was first shown).
  IGIS_Symbol* GetBorderSymbol() const { return m_pBorderSymbol.get(); }
  IGIS_Symbol* GetOutlineSymbol() const { return m_pOutlineSymbol.get(); }

  int m_nBorder = 1;
  int m_nOutline = 0;
  int m_nStorage = GIS_GRIDWIZARD_STORE_ELEMENTS;

 private:
  void OnBorder();
  void OnBorderSymbol();

  md::basilo::ReleasePtr<IGIS_Symbol> m_pBorderSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pOutlineSymbol;
};
